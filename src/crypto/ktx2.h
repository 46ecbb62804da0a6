// KTX2: the authenticated encrypted-file format. A 40-byte header (magic
// "KTX2", version, key derivation, cipher, reserved, iteration count, salt,
// nonce; integers little-endian), the plain bytes encrypted with AES-256-GCM
// (header as additional data, key from PBKDF2-HMAC-SHA256 over the key's
// UTF-8 bytes), then the 16-byte tag. Files without the magic are DES files.
//
// Reading and writing stream through pieces of a fixed size, so any file
// takes the same memory. A reader hands out plain bytes before the tag is
// checked: callers keep them only once Finish has said the tag holds. Where
// the system's GCM cannot stream, the message is held whole up to a limit.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "crypto/crypto_backend.h"

namespace griv {

inline constexpr char kWrongKeyOrDamaged[] = "Wrong key, or the file is damaged.";

// Any fault of a KTX2 file or its key; GCM cannot tell the two apart.
class EKtxDamaged : public std::runtime_error {
 public:
  EKtxDamaged() : std::runtime_error(kWrongKeyOrDamaged) {}
};

inline constexpr size_t kKtx2HeaderBytes = 40;
inline constexpr size_t kKtx2SaltBytes = 16;
inline constexpr uint32_t kKtx2Iterations = 600000;
// A reader refuses counts outside these at once: a hostile file must not make it spin.
inline constexpr uint32_t kKtx2MinIterations = 100000;
inline constexpr uint32_t kKtx2MaxIterations = 10000000;
// Pieces of at most this many bytes go through the cipher at a time.
inline constexpr size_t kKtx2Chunk = 1u << 20;
// Where the system's GCM cannot take pieces, the largest file held whole.
inline constexpr size_t kKtx2WholeLimit = 256u << 20;
inline constexpr char kKtx2TooLargeHere[] =
    "This system's cryptography cannot take a file in pieces: files over 256 MB cannot be encrypted or decrypted here.";
// GCM's limit for one message (2^39 - 256 bits).
inline constexpr uint64_t kKtx2MaxPlainBytes = (uint64_t(1) << 36) - 32;

struct Ktx2Header {
  uint32_t iterations = kKtx2Iterations;
  std::array<uint8_t, kKtx2SaltBytes> salt{};
  std::array<uint8_t, kGcmNonceBytes> nonce{};
};

std::array<uint8_t, kKtx2HeaderBytes> BuildKtx2Header(const Ktx2Header& h);
// False for anything but the one known version, key derivation and cipher,
// a non-zero reserved byte, or an iteration count out of range.
bool ParseKtx2Header(std::span<const uint8_t> bytes, Ktx2Header& out);
// The first bytes of a file are a KTX2 file's (fewer than four never are).
bool HasKtx2Magic(std::span<const uint8_t> first);

// The derived key, wiped when it goes.
struct Ktx2Key {
  std::array<uint8_t, kAesKeyBytes> bytes{};
  Ktx2Key() = default;
  Ktx2Key(const Ktx2Key&) = delete;
  Ktx2Key& operator=(const Ktx2Key&) = delete;
  ~Ktx2Key() { WipeBytes(bytes.data(), bytes.size()); }
};
void DeriveKtx2Key(CryptoBackend& crypto, std::string_view keyUtf8, const Ktx2Header& h, Ktx2Key& out);

using Ktx2Sink = std::function<void(const uint8_t* data, size_t n)>;

// Bytes that are wiped when they go, and when the buffer grows.
class WipedBuffer {
 public:
  ~WipedBuffer() { WipeBytes(bytes_.data(), bytes_.size()); }
  uint8_t* data() { return bytes_.data(); }
  // At least n bytes, growing at most to limit (or n), keeping the first `keep`.
  void Reserve(size_t n, size_t keep, size_t limit);

 private:
  std::vector<uint8_t> bytes_;
};

class Ktx2Writer {
 public:
  // Draws salt and nonce, derives the key and hands the header to sink.
  Ktx2Writer(CryptoBackend& crypto, std::string_view keyUtf8, const Ktx2Sink& sink,
             uint32_t iterations = kKtx2Iterations, size_t chunk = kKtx2Chunk);
  Ktx2Writer(const Ktx2Writer&) = delete;
  Ktx2Writer& operator=(const Ktx2Writer&) = delete;
  void Feed(const uint8_t* p, size_t n);
  // Encrypts what is left and hands out the tag.
  void Finish();

 private:
  void Flush(size_t n, bool last);

  Ktx2Sink sink_;
  std::unique_ptr<GcmStream> gcm_;
  WipedBuffer buf_;
  size_t chunk_, used_ = 0;
  uint64_t total_ = 0;
  bool whole_, finished_ = false;
};

class Ktx2Reader {
 public:
  // Called once the header is known to be sound, to derive the key.
  using KeySource = std::function<void(const Ktx2Header&, Ktx2Key&)>;
  // Plain bytes go to sink as they are decrypted.
  Ktx2Reader(CryptoBackend& crypto, KeySource key, const Ktx2Sink& sink, size_t chunk = kKtx2Chunk);
  Ktx2Reader(const Ktx2Reader&) = delete;
  Ktx2Reader& operator=(const Ktx2Reader&) = delete;
  // The derivation with PBKDF2 from a typed key (which must outlive the reader).
  static KeySource FromText(CryptoBackend& crypto, std::string_view keyUtf8);

  // The file's bytes in order, header included, in pieces of any size.
  // Throws EKtxDamaged as soon as the header is refused.
  void Feed(const uint8_t* p, size_t n);
  // After the last byte: throws EKtxDamaged unless the file was whole and the tag holds.
  void Finish();

 private:
  void Start();
  void Flush(size_t n);

  CryptoBackend& crypto_;
  KeySource key_;
  Ktx2Sink sink_;
  size_t chunk_;
  std::unique_ptr<GcmStream> gcm_;
  WipedBuffer buf_;
  size_t used_ = 0;
  uint64_t total_ = 0;
  bool whole_, finished_ = false;
};

}  // namespace griv
