// One KTX2 encryption through CNG, timed in the process: the key derivation
// (600000 iterations) and then the streaming AES-GCM encryption of a file,
// the latter without the derivation. bench/aes_bench.py runs it in turns with
// openssl and checks the file it writes.
//   ktx2_bench_win.exe PLAIN OUT KEY SALT-HEX
// prints "kdf_ms <ms> <derived key hex>", "encrypt_s <seconds>" and
// "bare_gcm_s <seconds>" (the system's GCM alone on as many bytes in memory).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "crypto/des.h"
#include "crypto/ktx2.h"
#include "crypto/ktx_file.h"

using namespace griv;

namespace {

double Now() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) / double(f.QuadPart);
}

// CNG with the salt given and the key derived once beforehand.
struct Prepared : CryptoBackend {
  std::vector<uint8_t> salt;
  uint8_t key[kAesKeyBytes];
  int draws = 0;
  bool StreamsGcm() override { return SystemCrypto().StreamsGcm(); }
  void Random(uint8_t* out, size_t n) override {
    if (draws++ == 0 && n == salt.size())
      std::memcpy(out, salt.data(), n);
    else
      SystemCrypto().Random(out, n);
  }
  void Pbkdf2Sha256(std::string_view, const uint8_t*, size_t, uint32_t, uint8_t* k, size_t n) override {
    std::memcpy(k, key, n);
  }
  std::unique_ptr<GcmStream> Gcm(bool e, const uint8_t* k, const uint8_t* n, const uint8_t* a, size_t an) override {
    return SystemCrypto().Gcm(e, k, n, a, an);
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: ktx2_bench_win PLAIN OUT KEY SALT-HEX\n");
    return 2;
  }
  // ASCII arguments: the script's paths and key.
  const std::string plain = argv[1], out = argv[2], key = argv[3], saltHex = argv[4];
  Prepared p;
  for (size_t i = 0; i + 1 < saltHex.size(); i += 2) p.salt.push_back(uint8_t(std::stoul(saltHex.substr(i, 2), nullptr, 16)));
  try {
    double t0 = Now();
    SystemCrypto().Pbkdf2Sha256(key, p.salt.data(), p.salt.size(), kKtx2Iterations, p.key, sizeof p.key);
    const double kdf = Now() - t0;
    std::printf("kdf_ms %.1f ", kdf * 1000);
    for (uint8_t b : p.key) std::printf("%02x", b);
    std::printf("\n");

    TDES des;
    t0 = Now();
    EncryptKtxFile(KtxFormat::Aes, key, plain, out, KtxCiphers{des, 0, p});
    std::printf("encrypt_s %.4f\n", Now() - t0);
    // The system's GCM alone on the same amount in memory: what the file path adds shows beside it.
    std::vector<uint8_t> bytes(size_t(FileSize(plain)) + kGcmTagBytes, 0x5A);
    const uint8_t nonce[kGcmNonceBytes] = {};
    t0 = Now();
    SystemCrypto().Gcm(true, p.key, nonce, nullptr, 0)->Final(bytes.data(), bytes.data(), bytes.size() - kGcmTagBytes,
                                                             bytes.data() + bytes.size() - kGcmTagBytes);
    std::printf("bare_gcm_s %.4f\n", Now() - t0);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "ktx2_bench_win: %s\n", e.what());
    return 1;
  }
  return 0;
}
