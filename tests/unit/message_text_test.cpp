#include <gtest/gtest.h>

#include <algorithm>

#include "ui/message_text.h"

namespace griv {
namespace {

// One pixel a character (UTF-8 continuation bytes are no characters).
int Chars(std::string_view s) {
  int n = 0;
  for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

TEST(MessageText, LongRunsBreakAfterFoldersOrWhereFullAndTooLongOnesLoseTheirMiddle) {
  const std::string plain = "Printer problem - Unable to print image";
  EXPECT_EQ(FitMessageText(plain, 10, 5, Chars), plain);  // words are the system's to wrap
  EXPECT_EQ(FitMessageText("Overwrite C:\\Users\\someone\\Pictures\\captures-of-the-week\\GRIV-00017.bmp?\r\nSure?", 30, 10,
                           Chars),
            "Overwrite C:\\Users\\someone\\Pictures\\\r\ncaptures-of-the-week\\GRIV-\r\n00017.bmp?\r\nSure?");
  std::string e;  // no separator: cut where the line is full, never inside a character
  for (int i = 0; i < 25; ++i) e += "\xC3\xA9";
  EXPECT_EQ(FitMessageText(e, 10, 5, Chars), e.substr(0, 20) + "\r\n" + e.substr(20, 20) + "\r\n" + e.substr(40));

  std::string name = "D:\\";
  for (int i = 0; i < 60; ++i) name += "folder" + std::to_string(i) + "\\";
  const std::string fitted = FitMessageText(name + "last.bmp", 40, 4, Chars);
  EXPECT_LE(std::count(fitted.begin(), fitted.end(), '\n'), 3);
  for (size_t at = 0, end; at < fitted.size(); at = end + 2) {
    end = std::min(fitted.find("\r\n", at), fitted.size());
    EXPECT_LE(Chars(fitted.substr(at, end - at)), 40);
  }
  EXPECT_EQ(fitted.rfind("D:\\folder0\\", 0), 0u);  // both ends stay, the middle goes
  EXPECT_EQ(fitted.substr(fitted.size() - 8), "last.bmp");
  EXPECT_NE(fitted.find("\xE2\x80\xA6"), std::string::npos);
}

}  // namespace
}  // namespace griv
