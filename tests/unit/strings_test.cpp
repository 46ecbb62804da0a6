#include <gtest/gtest.h>

#include "base/ini.h"
#include "base/strings.h"

using namespace griv;

TEST(Strings, SlicingAndFields) {
  EXPECT_EQ(LeftStr("abcdef", 3), "abc");
  EXPECT_EQ(LeftStr("ab", 5), "ab");
  EXPECT_EQ(RightStr("0000042", 5), "00042");
  EXPECT_EQ(RightStr("abc", 0), "abc");
  EXPECT_EQ(RightStr("abc", -2), "abc");
  EXPECT_EQ(FieldN("1.2.3.4", '.', 2), "2");
  EXPECT_EQ(FieldN("1.2.3.4", '.', 4), "4");
  EXPECT_EQ(FieldN("1.2.3.4", '.', 5), "");
  EXPECT_EQ(FieldN("a,,c", ',', 2), "");
  EXPECT_EQ(FieldN("abc", ',', 1), "abc");
  std::string s = "a-b-c";
  ReplaceChar(s, '-', '_');
  EXPECT_EQ(s, "a_b_c");
}

TEST(Strings, LeadingNumber) {
  EXPECT_EQ(LeadingNumber("12ab"), 12);
  EXPECT_EQ(LeadingNumber("x12"), 0);
  EXPECT_EQ(LeadingNumber("X12"), 0);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("337"), 337);
  EXPECT_EQ(LeadingNumber("-25"), -25);
  EXPECT_EQ(LeadingNumber("abc"), 0);
  EXPECT_EQ(LeadingNumber("99999999999"), 0);  // does not fit in 32 bits
  EXPECT_EQ(LeadingNumber("2 "), 2);
}

TEST(Strings, PathsAndExtensions) {
  EXPECT_EQ(IncludeTrailingBackslash("C:\\a"), "C:\\a\\");
  EXPECT_EQ(IncludeTrailingBackslash("C:\\a\\"), "C:\\a\\");
  EXPECT_EQ(IncludeTrailingBackslash(""), "\\");
  EXPECT_EQ(ExtractFilePath("C:\\x\\shot.bmp"), "C:\\x\\");
  EXPECT_EQ(ExtractFileName("C:\\x\\shot.bmp.ktx"), "shot.bmp.ktx");
  EXPECT_EQ(ExtractFileExt("C:\\x\\shot.bmp.ktx"), ".ktx");
  EXPECT_EQ(ExtractFileExt("C:\\x.y\\shot"), "");
  EXPECT_EQ(ChangeFileExt("a\\b.png", ".bmp"), "a\\b.bmp");
  EXPECT_EQ(FiveDigits(42), "00042");
  EXPECT_EQ(FiveDigits(99999), "99999");
  EXPECT_EQ(FiveDigits(100000), "00000");
  EXPECT_EQ(FiveDigits(-1), "000-1");
}

TEST(Strings, ExpandsOnlyTheLastVariable) {
  auto env = [](const std::string& n) -> std::optional<std::string> {
    if (n == "USERPROFILE") return std::string("C:\\users\\me");
    if (n == "A") return std::string("aa");
    return std::nullopt;
  };
  EXPECT_EQ(ExpandLastEnvVar("%USERPROFILE%\\Application Data", env), "C:\\users\\me\\Application Data");
  EXPECT_EQ(ExpandLastEnvVar("%A%\\%USERPROFILE%", env), "%A%\\C:\\users\\me");
  EXPECT_EQ(ExpandLastEnvVar("%NOPE%\\x", env), "%NOPE%\\x");
  EXPECT_EQ(ExpandLastEnvVar("C:\\plain", env), "C:\\plain");
  EXPECT_EQ(ExpandLastEnvVar("50%", env), "50%");
}

TEST(WindowPosition, ParseFormatAndMonitorTest) {
  Bounds b = ParsePosition("337,112,605,325");
  EXPECT_EQ(b.left, 337);
  EXPECT_EQ(b.top, 112);
  EXPECT_EQ(b.width, 605);
  EXPECT_EQ(b.height, 325);
  EXPECT_EQ(FormatPosition(b), "337,112,605,325");
  Bounds junk = ParsePosition("12px,x,,");
  EXPECT_EQ(junk.left, 12);
  EXPECT_EQ(junk.top, 0);
  EXPECT_EQ(junk.width, 0);

  std::vector<MonitorRect> mons{{0, 0, 1280, 800}, {1280, 0, 1024, 768}};
  EXPECT_TRUE(CornerOnAnyMonitor(1280, 800, {mons[0]}));  // right and bottom edges count
  EXPECT_TRUE(CornerOnAnyMonitor(0, 0, mons));
  EXPECT_FALSE(CornerOnAnyMonitor(-1, 0, mons));
  EXPECT_TRUE(CornerOnAnyMonitor(2000, 700, mons));
  EXPECT_FALSE(CornerOnAnyMonitor(2000, 769, mons));
  EXPECT_FALSE(CornerOnAnyMonitor(5000, 100, mons));
  Bounds c = CentreOnScreen(1280, 800, 605, 325);
  EXPECT_EQ(c.left, 337);
  EXPECT_EQ(c.top, 237);
  EXPECT_EQ(CentreOnScreen(100, 100, 105, 101).left, -2);  // halves toward zero
}

TEST(Ini, SectionsKeysAndLines) {
  IniFile ini(
      "\xEF\xBB\xBF; comment\r\n[General]\r\n AutoPrint = on \r\nPrintDateTime=\"yes\"\r\n"
      "[Printer]\nwidth=Best\nName=hp\n[TagLines]\nk=a=b\nx = second \nnot a line\n[general]\nAutoPrint=off\n");
  EXPECT_EQ(ini.ReadString("general", "autoprint", "?"), "on");  // first section and key win
  EXPECT_EQ(ini.ReadString("General", "PrintDateTime", ""), "yes");
  EXPECT_EQ(ini.ReadString("Printer", "Width", ""), "Best");
  EXPECT_EQ(ini.ReadString("Printer", "Missing", "def"), "def");
  EXPECT_FALSE(ini.HasSection("Nope"));
  auto lines = ini.SectionLines("TagLines");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].second, "a=b");
  EXPECT_EQ(lines[1].first, "x");
  IniFile n("[S]\nA=200\nB=0x10\nC=12z\nD=\n");
  EXPECT_EQ(n.ReadInteger("S", "A", 1), 200);
  EXPECT_EQ(n.ReadInteger("S", "B", 1), 16);
  EXPECT_EQ(n.ReadInteger("S", "C", 1), 1);
  EXPECT_EQ(n.ReadInteger("S", "D", 7), 7);
}
