#include "capture/stamping.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace griv {
namespace {

TEST(Stamping, EveryShapeHasItsTagCursorAndOffsets) {
  using C = StampCursor;
  const struct {
    int tag;
    StampCursor cursor;
    int dx, dy;
  } kShapes[kStampShapeCount] = {
      {2, C::Arrow, -10, -10},     {3, C::Cross, -10, -10},      {4, C::IBeam, -10, -9},     {6, C::SizeNESW, -10, -10},
      {7, C::SizeNS, -10, -9},     {8, C::SizeNWSE, -10, -10},   {9, C::SizeWE, -10, -10},   {10, C::UpArrow, -10, -11},
      {11, C::HourGlass, -10, -10}, {12, C::Drag, 0, 0},         {13, C::NoDrop, -10, -9},   {14, C::HSplit, -16, -14},
      {15, C::VSplit, -14, -12},   {16, C::MultiDrag, 0, 0},     {17, C::SQLWait, -16, -13}, {18, C::No, -10, -10},
      {19, C::AppStart, -10, -10}, {20, C::Help, -10, -10},      {21, C::HandPoint, -7, -1}, {22, C::SizeAll, -10, -10},
  };
  for (int i = 0; i < kStampShapeCount; ++i) {
    const auto& want = kShapes[i];
    EXPECT_EQ(StampShapeAt(i).tag, want.tag) << i;
    const auto s = SelectStampCursor(want.tag);
    ASSERT_TRUE(s) << want.tag;
    EXPECT_EQ(s->cursorId, -want.tag);
    EXPECT_EQ(s->cursor, want.cursor) << want.tag;
    EXPECT_EQ(s->offsetX, want.dx) << want.tag;
    EXPECT_EQ(s->offsetY, want.dy) << want.tag;
  }
  // Other tags change nothing; a stored index out of range shows the arrow.
  for (int tag : {0, 1, 5, 23, -2, 1000}) EXPECT_FALSE(SelectStampCursor(tag)) << tag;
  EXPECT_EQ(StampShapeAt(99).tag, 2);
  EXPECT_EQ(StoredStampIconIndex(19), 19);
  EXPECT_EQ(StoredStampIconIndex(20), 0);
  EXPECT_EQ(StoredStampIconIndex(-1), 0);
}

TEST(Stamping, TheShapeMenuStaysOnTheScreen) {
  EXPECT_EQ(PopupIconMenuY(700, 1024), 544);
  EXPECT_EQ(PopupIconMenuY(100, 1024), 100);
  EXPECT_EQ(PopupIconMenuY(544, 1024), 544);  // exactly fits
  // At 144 DPI the menu is half as tall again.
  EXPECT_EQ(PopupIconMenuY(700, 1024, 144), 304);
  EXPECT_EQ(PopupIconMenuY(304, 1024, 144), 304);
}

TEST(Stamping, ShapePicturesTakeTheirAlphaFromTwoGrounds) {
  // Per pixel (B, G, R, X) on black and on white: opaque red, half-covered
  // grey, bare ground, and an inverting part (white on black, black on white).
  const uint8_t black[] = {0, 0, 200, 0, 64, 64, 64, 0, 0, 0, 0, 0, 255, 255, 255, 0};
  const uint8_t white[] = {0, 0, 200, 0, 191, 191, 191, 0, 255, 255, 255, 0, 0, 0, 0, 0};
  uint8_t out[16];
  AlphaFromTwoGrounds(black, white, out, 4);
  const uint8_t want[] = {0, 0, 200, 255, 64, 64, 64, 128, 0, 0, 0, 0, 0, 0, 0, 255};
  EXPECT_TRUE(std::equal(out, out + 16, want));
}

}  // namespace
}  // namespace griv
