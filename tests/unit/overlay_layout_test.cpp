#include "capture/overlay_layout.h"

#include <gtest/gtest.h>

namespace griv {
namespace {

OverlayMetrics Screen(int w = 1920, int h = 1080) {
  OverlayMetrics m;
  m.screenWidth = w;
  m.screenHeight = h;
  m.labelWidth = 80;
  m.labelHeight = 20;
  m.hintWidth = 300;
  m.hintHeight = 30;
  return m;
}

OverlayState Dragging(int ax, int ay, int px, int py) {
  OverlayState s;
  s.dragging = true;
  s.hintShown = false;
  s.anchorX = ax, s.anchorY = ay, s.pointerX = px, s.pointerY = py;
  return s;
}

long Area(const std::vector<Box>& boxes) {
  long a = 0;
  for (const Box& b : boxes) a += long(b.Width()) * b.Height();
  return a;
}

TEST(OverlayLayout, TheLabelSaysWhatTheCaptureWillBe) {
  EXPECT_EQ(OverlayLabel(Dragging(300, 250, 500, 380), 1280, 800), "200 \xC3\x97 130");
  EXPECT_EQ(OverlayLabel(Dragging(0, 0, 1279, 799), 1280, 800), "1280 \xC3\x97 800");  // the corner pixel too
  OverlayState before;
  before.pointerX = 17, before.pointerY = 4;
  EXPECT_EQ(OverlayLabel(before, 1280, 800), "17, 4");
}

TEST(OverlayLayout, TheHelpersStayOnTheScreenBesideThePointer) {
  const OverlayMetrics m = Screen();
  const OverlayLayout mid = LayOutOverlay(Dragging(100, 100, 500, 400), m);
  EXPECT_GT(mid.magnifier.left, 500);
  EXPECT_GT(mid.magnifier.top, 400);
  EXPECT_EQ(mid.magnifier.Width(), 122);  // 15 pixels eight times, and its frame
  EXPECT_EQ(mid.label.top, mid.magnifier.bottom + 4);
  EXPECT_TRUE(mid.hint.Empty());
  const OverlayLayout corner = LayOutOverlay(Dragging(100, 100, 1910, 1075), m);
  EXPECT_LT(corner.magnifier.right, 1910);  // flipped to the pointer's other side
  EXPECT_LT(corner.magnifier.bottom, 1075);
  EXPECT_GE(corner.label.top, 0);
  EXPECT_LE(corner.label.bottom, 1080);
  OverlayState start;
  start.pointerX = 10, start.pointerY = 10;
  const OverlayLayout first = LayOutOverlay(start, m);
  EXPECT_FALSE(first.hint.Empty());
  EXPECT_EQ(first.hint.left, (1920 - 300) / 2);
  EXPECT_TRUE(first.selection.Empty());
}

TEST(OverlayLayout, AMoveRepaintsTheMovedEdgesNotTheWholeSelection) {
  const OverlayMetrics m = Screen();
  const OverlayLayout a = LayOutOverlay(Dragging(100, 100, 1500, 900), m);
  const OverlayLayout b = LayOutOverlay(Dragging(100, 100, 1504, 903), m);
  const auto dirty = DirtyBoxes(a, b);
  const long selection = long(b.selection.Width()) * b.selection.Height();
  EXPECT_LT(Area(dirty), selection / 20);
  // Every pixel whose look changes is covered: the new columns and rows of the selection.
  auto covered = [&](int x, int y) {
    for (const Box& d : dirty)
      if (x >= d.left && x < d.right && y >= d.top && y < d.bottom) return true;
    return false;
  };
  EXPECT_TRUE(covered(1502, 500));  // newly inside
  EXPECT_TRUE(covered(800, 902));
  EXPECT_TRUE(covered(1504, 903));  // the new frame's corner
  EXPECT_TRUE(covered(1500, 900));  // the old frame's corner, now inside
  EXPECT_FALSE(covered(800, 500));  // deep inside, unchanged
  // Shrinking uncovers the same bands.
  EXPECT_EQ(Area(DirtyBoxes(b, a)), Area(dirty));
}

}  // namespace
}  // namespace griv
