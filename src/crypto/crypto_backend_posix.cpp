// libcrypto back end of native builds (tools, tests, benchmarks, fuzzing).
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <climits>

#include "crypto/crypto_backend.h"

namespace griv {

namespace {

class OpenSslGcm final : public GcmStream {
 public:
  OpenSslGcm(bool encrypt, const uint8_t* key, const uint8_t* nonce, const uint8_t* aad, size_t aadBytes)
      : ctx_(EVP_CIPHER_CTX_new()), encrypt_(encrypt) {
    if (!ctx_ || EVP_CipherInit_ex(ctx_, EVP_aes_256_gcm(), nullptr, nullptr, nullptr, encrypt) != 1 ||
        EVP_CIPHER_CTX_ctrl(ctx_, EVP_CTRL_GCM_SET_IVLEN, int(kGcmNonceBytes), nullptr) != 1 ||
        EVP_CipherInit_ex(ctx_, nullptr, nullptr, key, nonce, encrypt) != 1) {
      EVP_CIPHER_CTX_free(ctx_);
      throw ECryptoBackend("AES-GCM is not available");
    }
    int n = 0;
    if (aadBytes) Check(aadBytes <= INT_MAX && EVP_CipherUpdate(ctx_, nullptr, &n, aad, int(aadBytes)) == 1);
  }
  ~OpenSslGcm() override { EVP_CIPHER_CTX_free(ctx_); }  // cleanses the key schedule

  void Update(const uint8_t* in, uint8_t* out, size_t n) override {
    while (n) {
      const int piece = n > (1u << 30) ? 1 << 30 : int(n);
      int done = 0;
      Check(EVP_CipherUpdate(ctx_, out, &done, in, piece) == 1 && done == piece);
      in += piece;
      out += piece;
      n -= size_t(piece);
    }
  }

  bool Final(const uint8_t* in, uint8_t* out, size_t n, uint8_t* tag) override {
    Update(in, out, n);
    int done = 0;
    if (encrypt_) {
      Check(EVP_CipherFinal_ex(ctx_, out + n, &done) == 1 &&
            EVP_CIPHER_CTX_ctrl(ctx_, EVP_CTRL_GCM_GET_TAG, int(kGcmTagBytes), tag) == 1);
      return true;
    }
    Check(EVP_CIPHER_CTX_ctrl(ctx_, EVP_CTRL_GCM_SET_TAG, int(kGcmTagBytes), tag) == 1);
    return EVP_CipherFinal_ex(ctx_, out + n, &done) == 1;
  }

 private:
  static void Check(bool ok) {
    if (!ok) throw ECryptoBackend("AES-GCM failed");
  }
  EVP_CIPHER_CTX* ctx_;
  bool encrypt_;
};

class OpenSslBackend final : public CryptoBackend {
 public:
  bool StreamsGcm() override { return true; }
  void Random(uint8_t* out, size_t n) override {
    if (n > INT_MAX || RAND_bytes(out, int(n)) != 1) throw ECryptoBackend("no random numbers");
  }
  void Pbkdf2Sha256(std::string_view secret, const uint8_t* salt, size_t saltBytes, uint32_t iterations,
                    uint8_t* key, size_t keyBytes) override {
    if (secret.size() > INT_MAX || iterations > INT_MAX ||
        PKCS5_PBKDF2_HMAC(secret.data(), int(secret.size()), salt, int(saltBytes), int(iterations), EVP_sha256(),
                          int(keyBytes), key) != 1)
      throw ECryptoBackend("key derivation failed");
  }
  std::unique_ptr<GcmStream> Gcm(bool encrypt, const uint8_t* key, const uint8_t* nonce, const uint8_t* aad,
                                 size_t aadBytes) override {
    return std::make_unique<OpenSslGcm>(encrypt, key, nonce, aad, aadBytes);
  }
};

}  // namespace

CryptoBackend& SystemCrypto() {
  static OpenSslBackend backend;
  return backend;
}

void WipeBytes(void* p, size_t n) {
  if (p && n) OPENSSL_cleanse(p, n);
}

}  // namespace griv
