#include <gtest/gtest.h>

#include "base/text_lines.h"

using namespace griv;
using Lines = std::vector<std::string>;

TEST(MemoLines, LineBreaksOfEveryKindSplitAndOneTrailingBreakIsNoLine) {
  EXPECT_EQ(SplitMemoLines(""), Lines{});
  EXPECT_EQ(SplitMemoLines("one"), Lines{"one"});
  EXPECT_EQ(SplitMemoLines("one\r\ntwo"), (Lines{"one", "two"}));
  EXPECT_EQ(SplitMemoLines("one\r\ntwo\r\n"), (Lines{"one", "two"}));
  EXPECT_EQ(SplitMemoLines("one\ntwo\rthree"), (Lines{"one", "two", "three"}));
  // Blank lines inside and a second break at the end are lines of their own.
  EXPECT_EQ(SplitMemoLines("a\r\n\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitMemoLines("a\r\n\r\n"), (Lines{"a", ""}));
  EXPECT_EQ(SplitMemoLines("\r\n"), Lines{""});
}

TEST(MemoLines, JoinIsTheInverseForTextWithoutATrailingBreak) {
  for (const char* text : {"", "x", "a\r\nb", "a\r\n\r\nb", "\r\nlead"}) {
    EXPECT_EQ(JoinMemoLines(SplitMemoLines(text)), text) << text;
  }
}
