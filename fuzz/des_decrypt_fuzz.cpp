// Decrypts arbitrary bytes in every mode under a key taken from the input;
// must fail cleanly or succeed, and what encrypts must decrypt back.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "crypto/des.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const auto mode = static_cast<griv::TCipherMode>(data[0] & 3);
  size_t keyLen = (data[0] >> 2) & 31;
  if (keyLen > size - 1) keyLen = size - 1;
  std::string key(reinterpret_cast<const char*>(data + 1), keyLen);
  std::span<const uint8_t> body(data + 1 + keyLen, size - 1 - keyLen);

  griv::TDES des;
  des.SetCipherMode(mode);
  des.SetKey(key);
  des.SetIV(key);
  try {
    std::vector<uint8_t> plain = des.DecryptBytes(body);
    if (plain.size() >= body.size() || body.size() - plain.size() > 8) std::abort();
  } catch (const griv::EFileError&) {
  }

  des.SetIV(key);
  std::vector<uint8_t> cipher = des.EncryptBytes(body);
  if (cipher.size() != (body.size() / 8 + 1) * 8) std::abort();
  des.SetIV(key);
  std::vector<uint8_t> back = des.DecryptBytes(cipher);
  if (back.size() != body.size() || !std::equal(back.begin(), back.end(), body.begin())) std::abort();
  des.ClearKeys();
  if (!des.KeyStateIsClear()) std::abort();
  return 0;
}
