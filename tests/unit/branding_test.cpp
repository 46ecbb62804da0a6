#include "tray/branding.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "base/file_io.h"
#include "crypto/des.h"

using namespace griv;
namespace fs = std::filesystem;

namespace {

size_t Utf8Chars(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

}  // namespace

TEST(Branding, DefaultsWhenKeysAreMissing) {
  for (const char* text : {"", "[Settings]\n", "[Other]\nMainCaption=X\n"}) {
    Branding b = ParseBranding(text);
    EXPECT_EQ(b.mainCaption, "Grivanta");
    EXPECT_EQ(b.webSite, "https://www.grivanta.com");
    EXPECT_EQ(b.printCaption, "Captured with Grivanta - www.grivanta.com");
    EXPECT_EQ(b.captionHint, "");
    EXPECT_EQ(b.leftBorder, 200);
    EXPECT_EQ(b.rightBorder, 80);
    EXPECT_EQ(b.taglineFontName, "Verdana");
    EXPECT_EQ(b.taglineBackColor, 0xA0C8FFu);
    EXPECT_EQ(b.taglineFontColor, 0x000080u);
    EXPECT_TRUE(b.taglineFontBold);
    EXPECT_TRUE(b.taglineFontItalic);
    EXPECT_EQ(b.tagLines, std::vector<std::string>{b.printCaption});
    EXPECT_EQ(b.DialogCaption(), "Grivanta   ");
  }
}

TEST(Branding, ValuesAndTagLines) {
  std::string longLine(250, 'x');
  Branding b = ParseBranding(
      "[Settings]\r\nMainCaption=Acme Snap\r\nWebSite=https://acme.example\r\n"
      "PrintCaption=By Acme\r\nCaptionHint=Visit us\r\nLeftBorder=150\r\nRightBorder=0\r\n"
      "TaglineFontName=Arial\r\nTaglineBackColor=0x00FF00\r\nTaglineFontColor=255\r\n"
      "TaglineFontBold=0\r\nTaglineFontItalic=0\r\n"
      "[TagLines]\r\nb=second first\r\nk=a=b\r\nlong=" + longLine + "\r\nempty=\r\n");
  EXPECT_EQ(b.mainCaption, "Acme Snap");
  EXPECT_EQ(b.DialogCaption(), "Acme Snap   ");
  EXPECT_EQ(b.webSite, "https://acme.example");
  EXPECT_EQ(b.printCaption, "By Acme");
  EXPECT_EQ(b.captionHint, "Visit us");
  EXPECT_EQ(b.leftBorder, 150);
  EXPECT_EQ(b.rightBorder, 0);
  EXPECT_EQ(b.taglineFontName, "Arial");
  EXPECT_EQ(b.taglineBackColor, 0x00FF00u);
  EXPECT_EQ(b.taglineFontColor, 255u);
  EXPECT_FALSE(b.taglineFontBold);
  EXPECT_FALSE(b.taglineFontItalic);
  // File order, text after the first "=", cut to 200 characters.
  ASSERT_EQ(b.tagLines.size(), 4u);
  EXPECT_EQ(b.tagLines[0], "second first");
  EXPECT_EQ(b.tagLines[1], "a=b");
  EXPECT_EQ(b.tagLines[2], std::string(200, 'x'));
  EXPECT_EQ(b.tagLines[3], "");

  // An empty section falls back to the print caption.
  b = ParseBranding("[Settings]\nPrintCaption=Only line\n[TagLines]\n; nothing\n");
  EXPECT_EQ(b.tagLines, std::vector<std::string>{"Only line"});
}

TEST(Branding, TheVisitItemsOpenTheProductAddressUnlessTheBrandNamesOne) {
  // The brand's own site is the banner's; the menu item names what it opens.
  Branding b = ParseBranding("[Settings]\nWebSite=https://acme.example\n");
  EXPECT_EQ(b.visitUrl, kProductWebAddress);
  EXPECT_EQ(VisitMenuText(b.visitUrl), "&Visit www.grivanta.com");
  b = ParseBranding("[Settings]\nWebSite=https://acme.example\nVisitUrl=http://snap.acme.example/help\n");
  EXPECT_EQ(b.visitUrl, "http://snap.acme.example/help");
  EXPECT_EQ(VisitMenuText(b.visitUrl), "&Visit snap.acme.example/help");
  EXPECT_EQ(ParseBranding("[Settings]\nVisitUrl=\n").visitUrl, kProductWebAddress);
}

TEST(Branding, TagLineCutCountsCharacters) {
  std::string e;  // 250 two-byte characters
  for (int i = 0; i < 250; ++i) e += "\xC3\xA9";
  std::string cut = CutTagLine(e);
  EXPECT_EQ(Utf8Chars(cut), 200u);
  EXPECT_EQ(cut.size(), 400u);
  std::string mixed = std::string(199, 'a') + "\xE2\x82\xAC" + "tail";  // euro sign is the 200th
  EXPECT_EQ(CutTagLine(mixed), std::string(199, 'a') + "\xE2\x82\xAC");
  EXPECT_EQ(CutTagLine(std::string(200, 'z')), std::string(200, 'z'));
  EXPECT_EQ(CutTagLine(""), "");
}

TEST(Branding, StartIndexAndFontStyle) {
  // Three lines and a stored 5: start at the first and store 0.
  TagStart s = StartTagIndex(5, 3);
  EXPECT_EQ(s.index, 0);
  EXPECT_TRUE(s.writeBack);
  s = StartTagIndex(3, 3);
  EXPECT_EQ(s.index, 0);
  EXPECT_TRUE(s.writeBack);
  s = StartTagIndex(2, 3);
  EXPECT_EQ(s.index, 2);
  EXPECT_FALSE(s.writeBack);
  s = StartTagIndex(0, 1);
  EXPECT_EQ(s.index, 0);
  EXPECT_FALSE(s.writeBack);
  s = StartTagIndex(-1, 3);  // a damaged stored value
  EXPECT_EQ(s.index, 0);
  EXPECT_TRUE(s.writeBack);

  EXPECT_EQ(TaglineFontStyle(true, true), TagFontStyle::BoldItalic);
  EXPECT_EQ(TaglineFontStyle(true, false), TagFontStyle::Bold);
  EXPECT_EQ(TaglineFontStyle(false, true), TagFontStyle::Italic);
  EXPECT_EQ(TaglineFontStyle(false, false), TagFontStyle::Italic);
}

TEST(Branding, BuiltInTexts) {
  EXPECT_EQ(kBrandKeyText.size(), 25u);
  EXPECT_NE(kBrandKeyText.find(' '), std::string_view::npos);
  EXPECT_EQ(kBrandIVText.size(), 16u);
  bool lower = false, upper = false;
  for (char c : kBrandIVText) {
    ASSERT_TRUE(std::isalpha(static_cast<unsigned char>(c)));
    lower |= std::islower(static_cast<unsigned char>(c)) != 0;
    upper |= std::isupper(static_cast<unsigned char>(c)) != 0;
  }
  EXPECT_TRUE(lower && upper);
  EXPECT_EQ(VisitMenuText("https://www.grivanta.com"), "&Visit www.grivanta.com");
  EXPECT_EQ(VisitMenuText("www.example.org/http://"), "&Visit www.example.org/http://");
}

class BrandFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) / ("griv_brand_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string P(const std::string& n) const { return (dir_ / n).string(); }
  fs::path dir_;
};

TEST_F(BrandFiles, LoadsTheShippedBrand) {
  std::vector<uint8_t> ini = ReadWholeFile(std::string(GRIV_TEST_DATA) + "/../../resources/brand.ini");
  std::string text(ini.begin(), ini.end());
  std::vector<uint8_t> dat = EncryptBrand(text);
  EXPECT_EQ(DecryptBrand(dat), text);
  WriteFileAtomic(P("griv.dat"), dat.data(), dat.size());
  BrandingLoad r = LoadBrandingFile(P("griv.dat"));
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.branding.mainCaption, "Grivanta");
  EXPECT_GE(r.branding.tagLines.size(), 3u);
  for (const auto& t : r.branding.tagLines) {
    EXPECT_FALSE(t.empty());
    EXPECT_LE(Utf8Chars(t), 200u);
  }
  // The plain text never lands beside the brand file.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(BrandFiles, UnusableFilesGiveDefaults) {
  BrandingLoad r = LoadBrandingFile(P("missing.dat"));
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.empty());
  EXPECT_EQ(r.branding.mainCaption, "Grivanta");

  // Same ini, other key: the padding check refuses it.
  TDES des;
  des.SetIV(kBrandIVText);
  des.SetKey("a different brand key text");
  std::string ini = "[Settings]\nMainCaption=Pirate\n";
  std::vector<uint8_t> other = des.EncryptBytes({reinterpret_cast<const uint8_t*>(ini.data()), ini.size()});
  std::vector<uint8_t> plain(ini.begin(), ini.end());
  std::vector<uint8_t> oversized(kBrandFileMaxSize + 8, 0);
  for (const auto& data : {other, plain, std::vector<uint8_t>{}, oversized}) {
    WriteFileAtomic(P("griv.dat"), data.data(), data.size());
    r = LoadBrandingFile(P("griv.dat"));
    EXPECT_FALSE(r.ok) << data.size();
    EXPECT_EQ(r.branding.mainCaption, "Grivanta");
    EXPECT_EQ(r.branding.tagLines.size(), 1u);
  }
}

// Brand files come from any editor: marked UTF-8, plain UTF-8 or the
// Windows code page. Only text that is not UTF-8 goes through the code page.
TEST(Branding, TextEncodings) {
  static int calls;
  calls = 0;
  auto counting = [](std::string_view s) {
    ++calls;
    return Cp1252ToUtf8(s);
  };
  const std::string cafe = "Caf\xC3\xA9 Capture";
  EXPECT_EQ(BrandTextToUtf8("\xEF\xBB\xBF[Settings]\nMainCaption=Caf\xC3\xA9 Capture\n", counting),
            "[Settings]\nMainCaption=" + cafe + "\n");
  EXPECT_EQ(BrandTextToUtf8("MainCaption=" + cafe, counting), "MainCaption=" + cafe);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(BrandTextToUtf8("MainCaption=Caf\xE9 Capture", counting), "MainCaption=" + cafe);
  EXPECT_EQ(calls, 1);

  const fs::path dir = fs::temp_directory_path() / ("griv_brand_cp_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string path = (dir / "griv.dat").string();
  const std::vector<uint8_t> dat =
      EncryptBrand("[Settings]\r\nMainCaption=Caf\xE9 Capture\r\n[TagLines]\r\n1=\x93Quoted\x94 \x80 5\r\n");
  WriteFileAtomic(path, dat.data(), dat.size());
  const BrandingLoad load = LoadBrandingFile(path, Cp1252ToUtf8);
  ASSERT_TRUE(load.ok) << load.error;
  EXPECT_EQ(load.branding.mainCaption, cafe);
  EXPECT_EQ(load.branding.DialogCaption(), cafe + "   ");
  ASSERT_EQ(load.branding.tagLines.size(), 1u);
  EXPECT_EQ(load.branding.tagLines[0], "\xE2\x80\x9CQuoted\xE2\x80\x9D \xE2\x82\xAC 5");
  // The default decoder away from Windows is code page 1252 as well.
  EXPECT_EQ(LoadBrandingFile(path).branding.mainCaption, cafe);
  fs::remove_all(dir);
}

