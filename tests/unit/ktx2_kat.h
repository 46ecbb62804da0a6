// Known answers for KTX2 and helpers that run the reader and writer over
// bytes in memory, for the native tests and the Windows (CNG) tests alike.
#pragma once
#include <algorithm>
#include <cstring>
#include <vector>

#include "crypto/ktx2.h"

namespace griv::test {

using Bytes = std::vector<uint8_t>;
// known.txt.ktx was made with libcrypto alone (PBKDF2, then one-shot GCM over
// the header as additional data) from known.txt, 100000 iterations, salt
// A0..AF, nonce C0..CB, and this key.
inline const char kKnownKey[] = "p\xC3\xA4ssw\xC3\xB6rd \xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87";

// The system's cryptography with the randomness fixed to what made the known
// file, and optionally a cheap stand-in for the key derivation.
struct FixedCrypto : CryptoBackend {
  bool fakeKdf = false;
  bool whole = false;  // as a system whose GCM cannot take pieces
  bool StreamsGcm() override { return !whole && SystemCrypto().StreamsGcm(); }
  int draws = 0;
  void Random(uint8_t* out, size_t n) override {
    for (size_t i = 0; i < n; ++i) out[i] = uint8_t((draws == 0 ? 0xA0 : 0xC0) + i);
    ++draws;
  }
  void Pbkdf2Sha256(std::string_view s, const uint8_t* salt, size_t sn, uint32_t it, uint8_t* k, size_t kn) override {
    if (fakeKdf)
      for (size_t i = 0; i < kn; ++i) k[i] = uint8_t((s.empty() ? 0 : s[i % s.size()]) ^ i);
    else
      SystemCrypto().Pbkdf2Sha256(s, salt, sn, it, k, kn);
  }
  std::unique_ptr<GcmStream> Gcm(bool e, const uint8_t* k, const uint8_t* n, const uint8_t* a, size_t an) override {
    return SystemCrypto().Gcm(e, k, n, a, an);
  }
};

inline Bytes Encrypt(FixedCrypto& c, std::string_view key, const Bytes& plain, size_t chunk, size_t feed,
              uint32_t iterations = kKtx2MinIterations) {
  Bytes out;
  c.draws = 0;
  Ktx2Writer w(c, key, [&](const uint8_t* p, size_t n) { out.insert(out.end(), p, p + n); }, iterations, chunk);
  for (size_t i = 0; i < plain.size(); i += feed) w.Feed(plain.data() + i, std::min(feed, plain.size() - i));
  w.Finish();
  return out;
}

// Decrypts in pieces of `feed`; throws EKtxDamaged as the reader does. keyCalls counts derivations.
inline Bytes Decrypt(CryptoBackend& c, std::string_view key, const Bytes& file, size_t chunk, size_t feed,
              int* keyCalls = nullptr) {
  Bytes out;
  auto derive = Ktx2Reader::FromText(c, key);
  Ktx2Reader r(c, [&](const Ktx2Header& h, Ktx2Key& k) {
    if (keyCalls) ++*keyCalls;
    derive(h, k);
  }, [&](const uint8_t* p, size_t n) { out.insert(out.end(), p, p + n); }, chunk);
  for (size_t i = 0; i < file.size(); i += feed) r.Feed(file.data() + i, std::min(feed, file.size() - i));
  r.Finish();
  return out;
}

}  // namespace griv::test
