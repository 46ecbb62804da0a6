#include "crypto/ktx2.h"

#include <algorithm>
#include <cstring>

namespace griv {

namespace {

constexpr uint8_t kMagic[4] = {'K', 'T', 'X', '2'};
constexpr uint8_t kVersion = 1, kKdfPbkdf2Sha256 = 1, kCipherAes256Gcm = 1;
constexpr size_t kIterationsAt = 8, kSaltAt = 12, kNonceAt = 28;

void CheckChunk(size_t chunk) {
  if (chunk == 0 || chunk % kAesBlockBytes != 0) throw std::invalid_argument("KTX2 pieces must be whole AES blocks");
}

}  // namespace

std::array<uint8_t, kKtx2HeaderBytes> BuildKtx2Header(const Ktx2Header& h) {
  std::array<uint8_t, kKtx2HeaderBytes> b{};
  std::memcpy(b.data(), kMagic, 4);
  b[4] = kVersion;
  b[5] = kKdfPbkdf2Sha256;
  b[6] = kCipherAes256Gcm;
  for (int i = 0; i < 4; ++i) b[kIterationsAt + i] = uint8_t(h.iterations >> (8 * i));
  std::memcpy(b.data() + kSaltAt, h.salt.data(), h.salt.size());
  std::memcpy(b.data() + kNonceAt, h.nonce.data(), h.nonce.size());
  return b;
}

bool HasKtx2Magic(std::span<const uint8_t> first) {
  return first.size() >= 4 && std::memcmp(first.data(), kMagic, 4) == 0;
}

bool ParseKtx2Header(std::span<const uint8_t> b, Ktx2Header& out) {
  if (b.size() < kKtx2HeaderBytes || !HasKtx2Magic(b) || b[4] != kVersion || b[5] != kKdfPbkdf2Sha256 ||
      b[6] != kCipherAes256Gcm || b[7] != 0)
    return false;
  uint32_t iterations = 0;
  for (int i = 0; i < 4; ++i) iterations |= uint32_t(b[kIterationsAt + i]) << (8 * i);
  if (iterations < kKtx2MinIterations || iterations > kKtx2MaxIterations) return false;
  out.iterations = iterations;
  std::memcpy(out.salt.data(), b.data() + kSaltAt, out.salt.size());
  std::memcpy(out.nonce.data(), b.data() + kNonceAt, out.nonce.size());
  return true;
}

void DeriveKtx2Key(CryptoBackend& crypto, std::string_view keyUtf8, const Ktx2Header& h, Ktx2Key& out) {
  crypto.Pbkdf2Sha256(keyUtf8, h.salt.data(), h.salt.size(), h.iterations, out.bytes.data(), out.bytes.size());
}

void WipedBuffer::Reserve(size_t n, size_t keep, size_t limit) {
  if (n <= bytes_.size()) return;
  constexpr size_t kFirst = 64 * 1024;
  std::vector<uint8_t> grown(std::min(std::max({n, 2 * bytes_.size(), kFirst}), std::max(n, limit)));
  if (keep) std::memcpy(grown.data(), bytes_.data(), keep);
  WipeBytes(bytes_.data(), bytes_.size());
  bytes_.swap(grown);
}

// ---------------------------------------------------------------- writing

Ktx2Writer::Ktx2Writer(CryptoBackend& crypto, std::string_view keyUtf8, const Ktx2Sink& sink, uint32_t iterations,
                       size_t chunk)
    : sink_(sink), whole_(!crypto.StreamsGcm()) {
  CheckChunk(chunk);
  chunk_ = whole_ ? kKtx2WholeLimit : chunk;
  Ktx2Header h;
  h.iterations = iterations;
  crypto.Random(h.salt.data(), h.salt.size());
  crypto.Random(h.nonce.data(), h.nonce.size());
  const auto header = BuildKtx2Header(h);
  Ktx2Key key;
  DeriveKtx2Key(crypto, keyUtf8, h, key);
  gcm_ = crypto.Gcm(true, key.bytes.data(), h.nonce.data(), header.data(), header.size());
  sink_(header.data(), header.size());
}

void Ktx2Writer::Flush(size_t n, bool last) {
  total_ += n;
  if (total_ > kKtx2MaxPlainBytes) throw std::length_error("The file is too large to encrypt.");
  buf_.Reserve(n + kGcmTagBytes, n, chunk_ + kGcmTagBytes);
  if (last) {
    gcm_->Final(buf_.data(), buf_.data(), n, buf_.data() + n);
    n += kGcmTagBytes;
  } else {
    gcm_->Update(buf_.data(), buf_.data(), n);
  }
  sink_(buf_.data(), n);
  used_ = 0;
}

void Ktx2Writer::Feed(const uint8_t* p, size_t n) {
  if (finished_) throw std::logic_error("KTX2 writer already finished");
  while (n) {
    // A full piece goes out only once more follows: the last call must have bytes when the file has.
    if (used_ == chunk_) {
      if (whole_) throw ECryptoBackend(kKtx2TooLargeHere);
      Flush(chunk_, false);
    }
    const size_t take = std::min(n, chunk_ - used_);
    buf_.Reserve(used_ + take + kGcmTagBytes, used_, chunk_ + kGcmTagBytes);
    std::memcpy(buf_.data() + used_, p, take);
    used_ += take;
    p += take;
    n -= take;
  }
}

void Ktx2Writer::Finish() {
  if (finished_) throw std::logic_error("KTX2 writer already finished");
  finished_ = true;
  Flush(used_, true);
}

// ---------------------------------------------------------------- reading

Ktx2Reader::Ktx2Reader(CryptoBackend& crypto, KeySource key, const Ktx2Sink& sink, size_t chunk)
    : crypto_(crypto), key_(std::move(key)), sink_(sink), whole_(!crypto.StreamsGcm()) {
  CheckChunk(chunk);
  chunk_ = whole_ ? kKtx2WholeLimit : chunk;
  buf_.Reserve(kKtx2HeaderBytes, 0, kKtx2HeaderBytes);
}

Ktx2Reader::KeySource Ktx2Reader::FromText(CryptoBackend& crypto, std::string_view keyUtf8) {
  return [&crypto, keyUtf8](const Ktx2Header& h, Ktx2Key& out) { DeriveKtx2Key(crypto, keyUtf8, h, out); };
}

void Ktx2Reader::Start() {
  Ktx2Header h;
  if (!ParseKtx2Header(std::span(buf_.data(), kKtx2HeaderBytes), h)) throw EKtxDamaged();
  Ktx2Key key;
  key_(h, key);
  gcm_ = crypto_.Gcm(false, key.bytes.data(), h.nonce.data(), buf_.data(), kKtx2HeaderBytes);
  used_ = 0;
}

void Ktx2Reader::Flush(size_t n) {
  total_ += n;
  if (total_ > kKtx2MaxPlainBytes) throw EKtxDamaged();
  gcm_->Update(buf_.data(), buf_.data(), n);
  sink_(buf_.data(), n);
  // What follows may be the tag: it stays for the next piece or the end.
  std::memmove(buf_.data(), buf_.data() + n, used_ - n);
  used_ -= n;
}

void Ktx2Reader::Feed(const uint8_t* p, size_t n) {
  if (finished_) throw std::logic_error("KTX2 reader already finished");
  while (n) {
    const size_t room = gcm_ ? chunk_ + kGcmTagBytes : kKtx2HeaderBytes;
    if (gcm_ && used_ == room) {
      if (whole_) throw ECryptoBackend(kKtx2TooLargeHere);
      Flush(chunk_);
    }
    const size_t take = std::min(n, room - used_);
    buf_.Reserve(used_ + take, used_, room);
    std::memcpy(buf_.data() + used_, p, take);
    used_ += take;
    p += take;
    n -= take;
    if (!gcm_ && used_ == kKtx2HeaderBytes) Start();
  }
}

void Ktx2Reader::Finish() {
  if (finished_) throw std::logic_error("KTX2 reader already finished");
  finished_ = true;
  if (!gcm_ || used_ < kGcmTagBytes) throw EKtxDamaged();
  const size_t n = used_ - kGcmTagBytes;
  total_ += n;
  if (total_ > kKtx2MaxPlainBytes) throw EKtxDamaged();
  uint8_t tag[kGcmTagBytes];
  std::memcpy(tag, buf_.data() + n, kGcmTagBytes);
  if (!gcm_->Final(buf_.data(), buf_.data(), n, tag)) throw EKtxDamaged();
  sink_(buf_.data(), n);
}

}  // namespace griv
