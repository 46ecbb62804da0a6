// Key text to code-page bytes through the system's conversion: the same
// bytes as griv-ktx derives on Linux, and the same refusals.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/codepage.h"
#include "crypto/des.h"
#include "crypto/ktx_names.h"

namespace griv {
namespace {

std::string Exact(std::string_view utf8, unsigned cp) {
  std::string out = "untouched";
  return TextToCodePageExact(utf8, cp, out) == CodePageResult::Ok ? out : "refused:" + out;
}

TEST(CodePageWin, SameBytesAndRefusalsAsTheLinuxTool) {
  EXPECT_EQ(Exact("p\xC3\xA4ssw\xC3\xB6rd1", 1252), "p\xE4ssw\xF6rd1");
  EXPECT_EQ(Exact("\xE2\x82\xAC uro", 1252), "\x80 uro");
  EXPECT_EQ(Exact("\xD0\x9F\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C", 1251), "\xCF\xE0\xF0\xEE\xEB\xFC");
  for (const char* bad : {"\xE6\x97\xA5\xE6\x9C\xAC" " key!", "\xC5\x81\xC3\xB3" "d\xC5\xBA key", "\xEF\xBC\xA1" " full-width A",
                          "\xC3\x28 broken UTF-8"})
    EXPECT_EQ(Exact(bad, 1252), "refused:untouched") << bad;
  std::string out;
  EXPECT_EQ(TextToCodePageExact("key", 9999, out), CodePageResult::UnknownCodePage);
  // The program's own code page: a plain ASCII key passes whatever it is.
  EXPECT_EQ(Exact("plain key", kAnsiCodePage), "plain key");
}

// umlaut.txt.ktx of the test data, made on Linux by griv-ktx with the key
// "pässwörd1": the Windows rule derives the key that opens it.
TEST(CodePageWin, OpensAFileMadeOnLinux) {
  const std::vector<uint8_t> cipher = {
      0xc0, 0xe1, 0xc8, 0xfe, 0x20, 0x96, 0x53, 0x82, 0x0b, 0x74, 0x5e, 0x0b, 0x4b, 0x47, 0xe0, 0x31,
      0x48, 0xa8, 0x65, 0x57, 0xb9, 0x2b, 0xd9, 0x8d, 0xd1, 0xd7, 0x0f, 0xb6, 0x3e, 0x63, 0x9c, 0x38,
      0x67, 0x6c, 0xf0, 0xbd, 0x7d, 0x83, 0xc7, 0x2c, 0x80, 0x53, 0xb3, 0xdc, 0x57, 0x2b, 0x72, 0xc6};
  std::string key;
  ASSERT_EQ(TextToCodePageExact("p\xC3\xA4ssw\xC3\xB6rd1", 1252, key), CodePageResult::Ok);
  TDES d;
  d.SetCipherMode(TCipherMode::CBC);
  d.SetIV(kKtxIVText);
  d.SetKey(key);
  const std::vector<uint8_t> plain = d.DecryptBytes(cipher);
  EXPECT_EQ(std::string(plain.begin(), plain.end()), "Made on Linux with a key that is not ASCII.\n");
}

}  // namespace
}  // namespace griv
