#include "capture/stamping.h"

#include <gtest/gtest.h>

#include <set>

namespace griv {
namespace {

TEST(Stamping, KnownTagsSetTheirOffsetsAndOthersChangeNothing) {
  const auto hand = SelectStampCursor(21);
  ASSERT_TRUE(hand);
  EXPECT_EQ(hand->cursorId, -21);
  EXPECT_EQ(hand->offsetX, -7);
  EXPECT_EQ(hand->offsetY, -1);
  EXPECT_EQ(hand->cursor, StampCursor::HandPoint);
  const auto up = SelectStampCursor(10);
  ASSERT_TRUE(up);
  EXPECT_EQ(up->offsetY, -11);
  EXPECT_EQ(SelectStampCursor(12)->offsetX, 0);  // the drag shape is drawn where it was clicked
  for (int tag : {0, 1, 5, 23, -2, 1000}) EXPECT_FALSE(SelectStampCursor(tag)) << tag;
}

TEST(Stamping, TheMenuHoldsTwentyShapesInOrderWithDistinctTags) {
  std::set<int> tags;
  for (int i = 0; i < kStampShapeCount; ++i) tags.insert(StampShapeAt(i).tag);
  EXPECT_EQ(tags.size(), 20u);
  EXPECT_FALSE(tags.count(5));
  EXPECT_EQ(StampShapeAt(0).tag, 2);
  EXPECT_EQ(StampShapeAt(18).tag, 21);
  EXPECT_EQ(StampShapeAt(19).tag, 22);
  EXPECT_EQ(StampShapeAt(99).tag, 2);  // a stored index out of range shows the arrow
}

TEST(Stamping, TheShapeMenuStaysOnTheScreen) {
  EXPECT_EQ(PopupIconMenuY(700, 1024), 544);
  EXPECT_EQ(PopupIconMenuY(100, 1024), 100);
  EXPECT_EQ(PopupIconMenuY(544, 1024), 544);  // exactly fits
}

}  // namespace
}  // namespace griv
