#include "base/codepage.h"

#include <gtest/gtest.h>

#include "app/hand_off.h"
#include "base/file_io.h"
#include "crypto/des.h"
#include "crypto/ktx_names.h"

namespace griv {
namespace {

std::string InCodePage(std::string_view text, unsigned cp) {
  std::string out = "untouched";
  const CodePageResult r = TextToCodePageExact(text, cp, out);
  return r == CodePageResult::Ok ? out : "refused:" + out;
}

// The bytes every program must derive from the same key text: GRIV on a
// Western Windows (ANSI code page 1252) and griv-ktx on any system.
TEST(CodePage, KeyTextToExactBytes) {
  EXPECT_EQ(InCodePage("p\xC3\xA4ssw\xC3\xB6rd1", 1252), "p\xE4ssw\xF6rd1");  // pässwörd1
  EXPECT_EQ(InCodePage("\xE2\x82\xAC uro", 1252), "\x80 uro");                 // the euro sign
  EXPECT_EQ(InCodePage("\xD0\x9F\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C", 1251), "\xCF\xE0\xF0\xEE\xEB\xFC");
  EXPECT_EQ(InCodePage("plain key", 1252), "plain key");
  EXPECT_EQ(InCodePage("", 1252), "");
  EXPECT_EQ(InCodePage("p\xC3\xA4ss", kAnsiCodePage), "p\xE4ss");  // 1252 away from Windows
  // No best fit and no default character: the refusal leaves out alone.
  for (const char* bad : {"\xE6\x97\xA5\xE6\x9C\xAC" " key!",  // Japanese
                          "\xC5\x81\xC3\xB3" "d\xC5\xBA key",   // Polish Ł and ź have no 1252 byte
                          "\xEF\xBC\xA1" " full-width A",       // would best-fit to "A"
                          "\xC3\x28 broken UTF-8", "\xC0\xAF overlong"})
    EXPECT_EQ(InCodePage(bad, 1252), "refused:untouched") << bad;
  EXPECT_EQ(InCodePage("\xC3\xA4", 1251), "refused:untouched");  // ä is not Cyrillic
  std::string out;
  EXPECT_EQ(TextToCodePageExact("key", 9999, out), CodePageResult::UnknownCodePage);
  EXPECT_EQ(InCodePage("\xC3\xA4", 65001), "\xC3\xA4");
}

// A file made on Linux by griv-ktx with the key "pässwörd1" (1252 bytes).
TEST(CodePage, NativelyMadeFileOpensWithTheCodePageKey) {
  const std::string dir = std::string(GRIV_TEST_DATA) + "/des/";
  std::string key;
  ASSERT_EQ(TextToCodePageExact("p\xC3\xA4ssw\xC3\xB6rd1", 1252, key), CodePageResult::Ok);
  const auto bytes = TDES::KeyBytesFromText(key);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string("1\xE4ssw\xF6rd", 8));
  TDES d;
  d.SetCipherMode(TCipherMode::CBC);
  d.SetIV(kKtxIVText);
  d.SetKey(key);
  const std::vector<uint8_t> cipher = ReadWholeFile(dir + "umlaut.txt.ktx");
  EXPECT_EQ(d.DecryptBytes(cipher), ReadWholeFile(dir + "umlaut.txt"));
  // The UTF-8 bytes of the same text are another key.
  TDES utf8;
  utf8.SetCipherMode(TCipherMode::CBC);
  utf8.SetIV(kKtxIVText);
  utf8.SetKey("p\xC3\xA4ssw\xC3\xB6rd1");
  EXPECT_THROW(utf8.DecryptBytes(cipher), EFileError);
}

TEST(CodePage, Cp1252AndUtf8Checks) {
  EXPECT_EQ(Cp1252ToUtf8("Caf\xE9 Capture"), "Caf\xC3\xA9 Capture");
  EXPECT_EQ(Cp1252ToUtf8("\x80\x9F\xFF"), "\xE2\x82\xAC\xC5\xB8\xC3\xBF");
  EXPECT_EQ(Cp1252ToUtf8("\x81"), "\xEF\xBF\xBD");  // undefined in 1252
  EXPECT_EQ(Cp1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
  for (const char* ok : {"", "ascii", "Caf\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF"})
    EXPECT_TRUE(IsValidUtf8(ok)) << ok;
  for (const char* bad : {"Caf\xE9", "\x80", "\xC3", "\xE2\x82", "\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80",
                          "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xC3\xA9\xA9"})
    EXPECT_FALSE(IsValidUtf8(bad)) << bad;
}

// The hand-off file holds one name in the ANSI code page; anything that
// cannot be a name gives none.
TEST(HandOff, NameFromTheFileBytes) {
  EXPECT_EQ(HandedFileName("C:\\shots\\a.bmp"), "C:\\shots\\a.bmp");
  EXPECT_EQ(HandedFileName("C:\\Caf\xE9.jpg", Cp1252ToUtf8), "C:\\Caf\xC3\xA9.jpg");
  EXPECT_EQ(HandedFileName(""), "");
  EXPECT_EQ(HandedFileName("C:\\a.bmp\r\n"), "");
  EXPECT_EQ(HandedFileName(std::string("C:\\a.bmp\0junk", 13)), "");
  EXPECT_EQ(HandedFileName(std::string(kHandOffMaxBytes + 1, 'a')), "");
  EXPECT_EQ(HandedFileName(std::string(kHandOffMaxBytes, 'a')).size(), kHandOffMaxBytes);
}

// A name the code page cannot spell comes as UTF-16LE, by the same rules.
TEST(HandOff, NameFromUtf16) {
  auto wide = [](std::u16string_view s) {
    std::vector<uint8_t> b;
    for (char16_t c : s) b.push_back(uint8_t(c)), b.push_back(uint8_t(c >> 8));
    return b;
  };
  // "C:\сн😀.bmp": two- and four-byte UTF-8 forms.
  EXPECT_EQ(HandedWideFileName(wide(u"C:\\\u0441\u043d\U0001F600.bmp")), "C:\\\xD1\x81\xD0\xBD\xF0\x9F\x98\x80.bmp");
  const std::u16string_view bads[] = {u"", u"a\r", u"a\nb", {u"a\0b", 3}, u"\xD83D", u"\xDE00" u"a", u"\xD83D" u"a"};
  for (std::u16string_view bad : bads)
    EXPECT_EQ(HandedWideFileName(wide(bad)), "") << bad.size();
  std::vector<uint8_t> odd = wide(u"ab");
  odd.pop_back();
  EXPECT_EQ(HandedWideFileName(odd), "");
  EXPECT_EQ(HandedWideFileName(wide(std::u16string(kHandOffMaxBytes / 2 + 1, u'a'))), "");
}

}  // namespace
}  // namespace griv
