#include <gtest/gtest.h>

#include <sstream>

#include "ui/message_text.h"

namespace griv {
namespace {

// One pixel a character (UTF-8 continuation bytes are no characters).
int Chars(std::string_view s) {
  int n = 0;
  for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

std::vector<std::string> Lines(const std::string& s) {
  std::vector<std::string> out;
  std::string line;
  std::istringstream in(s);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  return out;
}

TEST(MessageText, LongPathsBreakAfterFoldersAndOrdinaryTextStays) {
  const std::string plain = "Printer problem - Unable to print image";
  EXPECT_EQ(FitMessageText(plain, 10, 5, Chars), plain);  // words are the system's to wrap

  const std::string path = "C:\\Users\\someone\\Pictures\\captures-of-the-week\\GRIV-00017.bmp";
  const std::string fitted = FitMessageText("Overwrite " + path + "?\r\nSure?", 30, 10, Chars);
  EXPECT_EQ(Lines(fitted), (std::vector<std::string>{"Overwrite C:\\Users\\someone\\Pictures\\",
                                                      "captures-of-the-week\\GRIV-",
                                                      "00017.bmp?", "Sure?"}));

  // No separator at all: cut where the line is full, never inside a character.
  std::string e;
  for (int i = 0; i < 25; ++i) e += "\xC3\xA9";
  EXPECT_EQ(Lines(FitMessageText(e, 10, 5, Chars)), (std::vector<std::string>{e.substr(0, 20), e.substr(20, 20), e.substr(40)}));
}

TEST(MessageText, ARunTooLongForItsLinesLosesItsMiddle) {
  std::string name = "D:\\";
  for (int i = 0; i < 60; ++i) name += "folder" + std::to_string(i) + "\\";
  name += "last.bmp";
  const std::vector<std::string> lines = Lines(FitMessageText(name, 40, 4, Chars));
  ASSERT_LE(lines.size(), 4u);
  for (const auto& l : lines) EXPECT_LE(Chars(l), 40);
  EXPECT_EQ(lines.front().rfind("D:\\folder0\\", 0), 0u);  // both ends stay
  EXPECT_EQ(lines.back().substr(lines.back().size() - 8), "last.bmp");
  std::string all;
  for (const auto& l : lines) all += l;
  EXPECT_NE(all.find("\xE2\x80\xA6"), std::string::npos);
}

}  // namespace
}  // namespace griv
