// CNG back end: bcrypt.dll from the system folder, bound at first use.
#include <windows.h>
#include <bcrypt.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "base/system_dll_win.h"
#include "crypto/crypto_backend.h"

namespace griv {

namespace {

constexpr NTSTATUS kAuthTagMismatch = NTSTATUS(0xC000A002L);
constexpr ULONG kMaxPiece = 1u << 30;  // whole AES blocks

template <typename Fn>
Fn* Bcrypt(const char* name) {
  Fn* fn = SystemProc<Fn>(L"bcrypt.dll", name);
  if (!fn) throw ECryptoBackend(std::string("The system's cryptography lacks ") + name);
  return fn;
}

#define GRIV_BCRYPT(name) static const auto p##name = Bcrypt<decltype(name)>(#name)

void Check(NTSTATUS status, const char* what) {
  if (status < 0) {
    char code[16];
    wsprintfA(code, "%08lX", static_cast<unsigned long>(status));
    throw ECryptoBackend(std::string(what) + " failed (status 0x" + code + ")");
  }
}

// Algorithm providers are opened once and kept for the life of the process.
BCRYPT_ALG_HANDLE Provider(const wchar_t* algorithm, ULONG flags, const wchar_t* chainMode) {
  GRIV_BCRYPT(BCryptOpenAlgorithmProvider);
  GRIV_BCRYPT(BCryptSetProperty);
  BCRYPT_ALG_HANDLE alg = nullptr;
  Check(pBCryptOpenAlgorithmProvider(&alg, algorithm, nullptr, flags), "Opening a cipher");
  if (chainMode)
    Check(pBCryptSetProperty(alg, BCRYPT_CHAINING_MODE, reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(chainMode)),
                             ULONG((wcslen(chainMode) + 1) * sizeof(wchar_t)), 0),
          "Choosing GCM");
  return alg;
}

class CngGcm final : public GcmStream {
 public:
  CngGcm(bool encrypt, const uint8_t* key, const uint8_t* nonce, const uint8_t* aad, size_t aadBytes)
      : encrypt_(encrypt) {
    static const BCRYPT_ALG_HANDLE aes = Provider(BCRYPT_AES_ALGORITHM, 0, BCRYPT_CHAIN_MODE_GCM);
    GRIV_BCRYPT(BCryptGenerateSymmetricKey);
    std::memcpy(nonce_, nonce, kGcmNonceBytes);
    if (aadBytes > sizeof aad_) throw ECryptoBackend("AES-GCM: too much additional data");
    std::memcpy(aad_, aad, aadBytes);
    uint8_t k[kAesKeyBytes];
    std::memcpy(k, key, sizeof k);
    const NTSTATUS status = pBCryptGenerateSymmetricKey(aes, &key_, nullptr, 0, k, sizeof k, 0);
    WipeBytes(k, sizeof k);
    Check(status, "Making an AES key");
    BCRYPT_INIT_AUTH_MODE_INFO(info_);
    info_.pbNonce = nonce_;
    info_.cbNonce = kGcmNonceBytes;
    info_.pbAuthData = aadBytes ? aad_ : nullptr;
    info_.cbAuthData = ULONG(aadBytes);
    info_.pbTag = tag_;
    info_.cbTag = kGcmTagBytes;
    info_.pbMacContext = mac_;
    info_.cbMacContext = sizeof mac_;
    info_.dwFlags = BCRYPT_AUTH_MODE_CHAIN_CALLS_FLAG;
  }

  ~CngGcm() override {
    GRIV_BCRYPT(BCryptDestroyKey);
    if (key_) pBCryptDestroyKey(key_);
    WipeBytes(mac_, sizeof mac_);
    WipeBytes(iv_, sizeof iv_);
    WipeBytes(tag_, sizeof tag_);
  }

  void Update(const uint8_t* in, uint8_t* out, size_t n) override {
    while (n) {
      const ULONG piece = n > kMaxPiece ? kMaxPiece : ULONG(n);
      Call(in, out, piece);
      in += piece;
      out += piece;
      n -= piece;
    }
  }

  bool Final(const uint8_t* in, uint8_t* out, size_t n, uint8_t* tag) override {
    const size_t done = n > kMaxPiece ? (n - 1) / kMaxPiece * kMaxPiece : 0;
    Update(in, out, done);
    info_.dwFlags &= ~ULONG(BCRYPT_AUTH_MODE_CHAIN_CALLS_FLAG);
    if (!encrypt_) std::memcpy(tag_, tag, kGcmTagBytes);
    uint8_t none = 0;  // a valid address for an empty last piece
    const NTSTATUS status = Call(n > done ? in + done : &none, n > done ? out + done : &none, ULONG(n - done), true);
    if (!encrypt_) return status != kAuthTagMismatch;
    std::memcpy(tag, tag_, kGcmTagBytes);
    return true;
  }

 private:
  // One BCryptEncrypt/BCryptDecrypt; the additional data goes with the first call only.
  NTSTATUS Call(const uint8_t* in, uint8_t* out, ULONG n, bool last = false) {
    GRIV_BCRYPT(BCryptEncrypt);
    GRIV_BCRYPT(BCryptDecrypt);
    ULONG done = 0;
    const auto fn = encrypt_ ? pBCryptEncrypt : pBCryptDecrypt;
    const NTSTATUS status = fn(key_, const_cast<PUCHAR>(in), n, &info_, iv_, sizeof iv_, out, n, &done, 0);
    info_.pbAuthData = nullptr;
    info_.cbAuthData = 0;
    if (last && !encrypt_ && status == kAuthTagMismatch) return status;
    Check(status, encrypt_ ? "AES-GCM encryption" : "AES-GCM decryption");
    if (done != n) throw ECryptoBackend("AES-GCM: short output");
    return status;
  }

  bool encrypt_;
  BCRYPT_KEY_HANDLE key_ = nullptr;
  BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info_;
  uint8_t nonce_[kGcmNonceBytes];
  uint8_t aad_[64];
  uint8_t tag_[kGcmTagBytes] = {};
  uint8_t mac_[kGcmTagBytes] = {};
  uint8_t iv_[kAesBlockBytes] = {};  // CNG carries the chain's state here between calls
};

// Whether chained calls give what one call gives, both ways. Windows chains
// GCM calls; Wine 8 restarts the counter at each call and checks a tag at
// each decryption call.
bool ChainedCallsWork() {
  uint8_t key[kAesKeyBytes] = {1}, nonce[kGcmNonceBytes] = {2}, aad[8] = {3}, plain[48] = {4};
  uint8_t once[48], onceTag[kGcmTagBytes], chained[48], chainedTag[kGcmTagBytes], back[48];
  try {
    CngGcm(true, key, nonce, aad, sizeof aad).Final(plain, once, sizeof plain, onceTag);
    CngGcm enc(true, key, nonce, aad, sizeof aad);
    enc.Update(plain, chained, 32);
    enc.Final(plain + 32, chained + 32, 16, chainedTag);
    CngGcm dec(false, key, nonce, aad, sizeof aad);
    dec.Update(once, back, 32);
    return dec.Final(once + 32, back + 32, 16, onceTag) && std::memcmp(once, chained, sizeof once) == 0 &&
           std::memcmp(onceTag, chainedTag, sizeof onceTag) == 0 && std::memcmp(back, plain, sizeof plain) == 0;
  } catch (const ECryptoBackend&) {
    return false;
  }
}

class CngBackend final : public CryptoBackend {
 public:
  bool StreamsGcm() override {
    static const bool chains = ChainedCallsWork();
    return chains;
  }

  void Random(uint8_t* out, size_t n) override {
    GRIV_BCRYPT(BCryptGenRandom);
    while (n) {
      const ULONG piece = n > kMaxPiece ? kMaxPiece : ULONG(n);
      Check(pBCryptGenRandom(nullptr, out, piece, BCRYPT_USE_SYSTEM_PREFERRED_RNG), "Drawing random numbers");
      out += piece;
      n -= piece;
    }
  }

  void Pbkdf2Sha256(std::string_view secret, const uint8_t* salt, size_t saltBytes, uint32_t iterations,
                    uint8_t* key, size_t keyBytes) override {
    static const BCRYPT_ALG_HANDLE hmac = Provider(BCRYPT_SHA256_ALGORITHM, BCRYPT_ALG_HANDLE_HMAC_FLAG, nullptr);
    GRIV_BCRYPT(BCryptDeriveKeyPBKDF2);
    Check(pBCryptDeriveKeyPBKDF2(hmac, reinterpret_cast<PUCHAR>(const_cast<char*>(secret.data())),
                                 ULONG(secret.size()), const_cast<PUCHAR>(salt), ULONG(saltBytes), iterations, key,
                                 ULONG(keyBytes), 0),
          "Key derivation");
  }

  std::unique_ptr<GcmStream> Gcm(bool encrypt, const uint8_t* key, const uint8_t* nonce, const uint8_t* aad,
                                 size_t aadBytes) override {
    return std::make_unique<CngGcm>(encrypt, key, nonce, aad, aadBytes);
  }
};

}  // namespace

CryptoBackend& SystemCrypto() {
  static CngBackend backend;
  return backend;
}

void WipeBytes(void* p, size_t n) {
  if (!p || !n) return;
  // SecureZeroMemory stores byte by byte (8x slower on a large buffer); a
  // memset whose result the compiler must assume is read is kept just as surely.
  std::memset(p, 0, n);
  __asm__ __volatile__("" : : "r"(p) : "memory");
}

}  // namespace griv
