// DES file cipher: key and IV from text, four chaining modes, whole files
// streamed through one fixed buffer. The encrypted form is the padded plain
// bytes (1..8 bytes of value k appended, k = 8 - L mod 8) with no header.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace griv {

enum class TCipherMode : uint8_t { CBC = 0, ECB = 1, CFB = 2, OFB = 3 };
enum class TStringMode : uint8_t { smEncode = 0, smNormal = 1 };

// Names as the form layouts store them ("CBC", "smEncode", ...).
const char* CipherModeName(TCipherMode m);
bool ParseCipherMode(std::string_view name, TCipherMode& out);
const char* StringModeName(TStringMode m);
bool ParseStringMode(std::string_view name, TStringMode& out);

class EKeyError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kDesKeyNotSet = "DES: Key not set";
inline constexpr const char* kDesIVNotSet = "DES: IV not set";
inline constexpr const char* kDesInputNotFound = "DES: Input file not found";
inline constexpr const char* kDesCannotOpenOutput = "DES: Could not open output file";
inline constexpr const char* kDesWriteError = "DES: Error writing output file";
inline constexpr const char* kDesReadError = "DES: Error reading input file";
inline constexpr const char* kDesBadLength = "DES: Input is not a whole number of blocks";
inline constexpr const char* kDesBadPadding = "DES: Wrong key or damaged file";

class TDES {
 public:
  static constexpr size_t kChunk = 4096;

  TDES();
  ~TDES();  // wipes the key state
  TDES(const TDES&) = delete;
  TDES& operator=(const TDES&) = delete;

  TCipherMode CipherMode() const { return cipherMode_; }
  void SetCipherMode(TCipherMode m) { cipherMode_ = m; }
  // Stored with the form only; no operation reads it.
  TStringMode StringMode() const { return stringMode_; }
  void SetStringMode(TStringMode m) { stringMode_ = m; }

  // Texts are raw bytes (ANSI code page on Windows). Character p lands in key
  // byte p mod 8, later ones replacing earlier ones; the IV XOR-folds instead.
  void SetKey(std::string_view keyText);
  void SetIV(std::string_view ivText);
  void ClearKeys();

  // Output is replaced only when complete: on any failure an existing target
  // is left as it was and no partial file remains.
  void EncryptFile(const std::string& inName, const std::string& outName);
  // Fails with EFileError when the input is empty, not whole blocks, or its
  // padding does not check out (in practice: a wrong key).
  void DecryptFile(const std::string& inName, const std::string& outName);

  // The same operations in memory; they advance the chaining register exactly
  // as the file operations do.
  std::vector<uint8_t> EncryptBytes(std::span<const uint8_t> plain);
  std::vector<uint8_t> DecryptBytes(std::span<const uint8_t> cipher);

  bool KeyIsSet() const { return ks_.keySet; }
  bool IVIsSet() const { return ks_.ivSet; }
  std::array<uint8_t, 8> ChainingRegister() const;
  // True when every byte of the key state (flags, registers, subkeys) is zero.
  bool KeyStateIsClear() const;

  // Key and IV bytes as derived from text, for callers that need them in hex.
  static std::array<uint8_t, 8> KeyBytesFromText(std::string_view keyText);
  static std::array<uint8_t, 8> IVBytesFromText(std::string_view ivText);

 private:
  struct KeyState {
    bool keySet;
    bool ivSet;
    uint8_t chain[8];
    uint8_t saved[8];
    uint32_t encKeys[32];
    uint32_t decKeys[32];
    uint8_t work[8];
  };

  void CheckKeys() const;
  // One pass over n bytes (a multiple of 8) at p, in the current mode.
  void EncryptBuffer(uint8_t* p, size_t n);
  void DecryptBuffer(uint8_t* p, size_t n);
  // Checks the padding of the n decrypted bytes ending the data; returns the pad length.
  static size_t PaddingLength(const uint8_t* p, size_t n);

  KeyState ks_{};
  alignas(16) uint8_t buffer_[kChunk + 9]{};
  TCipherMode cipherMode_ = TCipherMode::CBC;
  TStringMode stringMode_ = TStringMode::smEncode;
};

}  // namespace griv
