// The operating system's cryptography behind one small interface: PBKDF2
// with HMAC-SHA256, AES-256-GCM over a stream of pieces, random bytes. The
// program uses Windows CNG; native builds use OpenSSL's libcrypto.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string_view>

namespace griv {

inline constexpr size_t kAesKeyBytes = 32;
inline constexpr size_t kGcmNonceBytes = 12;
inline constexpr size_t kGcmTagBytes = 16;
inline constexpr size_t kAesBlockBytes = 16;

// The system's cryptography failed or is missing (not a wrong key).
class ECryptoBackend : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One AES-256-GCM message, encrypted or decrypted in pieces.
class GcmStream {
 public:
  virtual ~GcmStream() = default;
  // A piece that is not the last: n is a multiple of kAesBlockBytes. out may be in.
  virtual void Update(const uint8_t* in, uint8_t* out, size_t n) = 0;
  // The last piece (n of any size, 0 included). Encrypting: tag receives the
  // tag and the result is true. Decrypting: tag holds the expected tag and the
  // result tells whether it matched.
  virtual bool Final(const uint8_t* in, uint8_t* out, size_t n, uint8_t* tag) = 0;
};

class CryptoBackend {
 public:
  virtual ~CryptoBackend() = default;
  virtual void Random(uint8_t* out, size_t n) = 0;
  virtual void Pbkdf2Sha256(std::string_view secret, const uint8_t* salt, size_t saltBytes, uint32_t iterations,
                            uint8_t* key, size_t keyBytes) = 0;
  // key: kAesKeyBytes, nonce: kGcmNonceBytes; aad is authenticated, not encrypted.
  virtual std::unique_ptr<GcmStream> Gcm(bool encrypt, const uint8_t* key, const uint8_t* nonce, const uint8_t* aad,
                                         size_t aadBytes) = 0;
  // False when a GcmStream gives right results only for a message in one
  // Final call (Wine's CNG restarts the counter at every call): callers then
  // hold the whole message.
  virtual bool StreamsGcm() = 0;
};

// CNG on Windows, libcrypto elsewhere. Throws ECryptoBackend when unusable.
CryptoBackend& SystemCrypto();

// Overwrites secrets in a way the compiler keeps.
void WipeBytes(void* p, size_t n);

}  // namespace griv
