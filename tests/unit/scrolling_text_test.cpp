#include "ui/scrolling_text.h"

#include <gtest/gtest.h>

using namespace griv;

TEST(ScrollingTextColours, StepsBlendEachChannelWithRoundingAndCheckTheIndex) {
  // Ends of the range are the two colours.
  EXPECT_EQ(ColorStep(0xA0C8FF, 0x000080, 1, 25), 0xA0C8FFu);
  EXPECT_EQ(ColorStep(0xA0C8FF, 0x000080, 25, 25), 0x000080u);
  // Halfway rounds half away from zero, upwards and downwards.
  EXPECT_EQ(ColorStep(0x000000, 0xFFFFFF, 2, 3), 0x808080u);
  EXPECT_EQ(ColorStep(0xFFFFFF, 0x000000, 2, 3), 0x7F7F7Fu);
  // Channels move independently (blue up, green flat, red down).
  EXPECT_EQ(ColorStep(0x0010FF, 0xFF1000, 3, 5), 0x80107Fu);
  EXPECT_EQ(MulDivRound(-7, 1, 2), -4);
  EXPECT_EQ(MulDivRound(7, 1, 2), 4);
  // A single step is the start colour, not a division by zero.
  EXPECT_EQ(ColorStep(0x123456, 0xABCDEF, 1, 1), 0x123456u);

  for (int bad : {0, 26, -1}) {
    try {
      ColorStep(0, 0xFFFFFF, bad, 25);
      ADD_FAILURE() << bad;
    } catch (const EColorIndex& e) {
      EXPECT_STREQ(e.what(), "ColorIndex can't be less than 1 or greater than 25");
    }
  }
}

TEST(ScrollingTextColours, TransparentColourNeverMatchesTheBackground) {
  EXPECT_EQ(StencilTransparentColor(0x000080, 0xA0C8FF), kStencilGreen);
  EXPECT_EQ(StencilTransparentColor(0x008000, 0xA0C8FF), kStencilRed);
  EXPECT_EQ(StencilTransparentColor(0x000080, 0x008000), kStencilRed);
  // Green text on red: neither green nor red can be the hole.
  EXPECT_EQ(StencilTransparentColor(0x008000, 0x0000FF), kStencilBlue);
  EXPECT_EQ(StencilTransparentColor(0x0000FF, 0x008000), kStencilBlue);
  // Only the colour bits count.
  EXPECT_EQ(StencilTransparentColor(0x01008000, 0), kStencilRed);
}

TEST(ScrollingTextGeometry, TextPlacementFadeLinesAndBannerStrip) {
  EXPECT_EQ(StencilTextY(TTextLayout::tlTop, 19, 13), 0);
  EXPECT_EQ(StencilTextY(TTextLayout::tlCenter, 19, 13), 3);  // 9 - 6
  EXPECT_EQ(StencilTextY(TTextLayout::tlCenter, 18, 13), 3);
  EXPECT_EQ(StencilTextY(TTextLayout::tlBottom, 19, 13), 6);
  EXPECT_EQ(StencilWidth(60, 100), 260);

  EXPECT_TRUE(FadeLines(100, 0, 0xFFFFFF, 0).empty());
  EXPECT_TRUE(FadeLines(100, -3, 0xFFFFFF, 0).empty());
  auto lines = FadeLines(100, 25, 0xA0C8FF, 0x000080);
  ASSERT_EQ(lines.size(), 50u);
  EXPECT_EQ(lines[0].x, 0);
  EXPECT_EQ(lines[1].x, 99);
  EXPECT_EQ(lines[0].color, 0xA0C8FFu);  // outermost: the background
  EXPECT_EQ(lines[48].x, 24);
  EXPECT_EQ(lines[49].x, 75);
  EXPECT_EQ(lines[49].color, 0x000080u);  // innermost: the font colour

  BannerRect r = BannerPlacement(337, 112, 605, 23, 4, 200, 80);
  EXPECT_EQ(r.left, 537);
  EXPECT_EQ(r.top, 117);
  EXPECT_EQ(r.width, 325);
  EXPECT_EQ(r.height, 19);
  EXPECT_EQ(BannerPlacement(0, 0, 250, 23, 4, 200, 80).width, 0);
}

namespace {
// A control 100 wide with a 60-pixel text: stencil 260, far offset -160.
ScrollingTextModel Model(TTextDirection dir, int jump) {
  ScrollingTextModel m;
  m.SetMetrics(100, 18, 60, 13);
  m.SetPixelJump(jump);
  m.SetTextDirection(dir);
  m.ResetOffset();
  return m;
}
int TicksToDone(ScrollingTextModel& m) {
  int done = 0, ticks = 0;
  m.OnTextDone = [&] { ++done; };
  while (done == 0 && ticks < 10000) {
    m.Tick();
    ++ticks;
  }
  return ticks;
}
}  // namespace

TEST(ScrollingTextSteps, RightToLeftPassWrapsToZeroAndRaisesTheEvent) {
  auto m = Model(TTextDirection::tdRightToLeft, 4);
  EXPECT_EQ(m.Offset(), 0);
  m.Tick();
  EXPECT_EQ(m.Offset(), -4);
  int done = 0;
  m.OnTextDone = [&] { ++done; };
  for (int i = 1; i < 39; ++i) m.Tick();
  EXPECT_EQ(m.Offset(), -156);
  EXPECT_EQ(done, 0);
  m.Tick();  // reaches -160: the text has left on the left
  EXPECT_EQ(done, 1);
  EXPECT_EQ(m.Offset(), 0);

  // PixelJump 1 takes four times as many steps for the same pass.
  auto slow = Model(TTextDirection::tdRightToLeft, 1);
  auto fast = Model(TTextDirection::tdRightToLeft, 4);
  EXPECT_EQ(TicksToDone(slow), 160);
  EXPECT_EQ(TicksToDone(fast), 40);
}

TEST(ScrollingTextSteps, LeftToRightPassStartsAtTheFarOffsetAndWrapsThere) {
  auto m = Model(TTextDirection::tdLeftToRight, 4);
  EXPECT_EQ(m.Offset(), -160);
  EXPECT_EQ(TicksToDone(m), 40);
  EXPECT_EQ(m.Offset(), -160);
  // A jump that overshoots still ends the pass.
  auto odd = Model(TTextDirection::tdLeftToRight, 7);
  EXPECT_EQ(TicksToDone(odd), 23);

  // The handler changes the text: the next pass starts from the new width.
  auto n = Model(TTextDirection::tdLeftToRight, 4);
  n.OnTextDone = [&] { n.SetMetrics(100, 18, 200, 13); };
  for (int i = 0; i < 40; ++i) n.Tick();
  EXPECT_EQ(n.Offset(), -300);
}

TEST(ScrollingTextSteps, PropertiesDefaultsVisibilityAndDirectionChanges) {
  ScrollingTextModel d(0xC0C0C0, 0x000000);
  EXPECT_EQ(d.Text(), "Text");
  EXPECT_EQ(d.Speed(), 50);
  EXPECT_EQ(d.PixelJump(), 1);
  EXPECT_EQ(d.EdgeFadeWidth(), 15);
  EXPECT_EQ(d.Layout(), TTextLayout::tlCenter);
  EXPECT_EQ(d.TextDirection(), TTextDirection::tdLeftToRight);
  EXPECT_EQ(d.BackgroundColor(), 0xC0C0C0u);
  EXPECT_TRUE(d.Visible() && d.Enabled());
  EXPECT_FALSE(d.SetText("Text"));
  EXPECT_TRUE(d.SetText("Other"));

  auto m = Model(TTextDirection::tdRightToLeft, 4);
  m.Tick();
  m.SetEnabled(false);
  EXPECT_FALSE(m.Tick());
  EXPECT_EQ(m.Offset(), -4);
  m.SetEnabled(true);
  m.SetVisible(false);  // hiding stops the stepping
  EXPECT_FALSE(m.Enabled());
  m.SetVisible(true);
  EXPECT_FALSE(m.Enabled());
  EXPECT_FALSE(m.Tick());

  // A new direction restarts from its entry edge; the same one keeps the offset.
  m.SetEnabled(true);
  m.Tick();
  EXPECT_FALSE(m.SetTextDirection(TTextDirection::tdRightToLeft));
  EXPECT_EQ(m.Offset(), -8);
  EXPECT_TRUE(m.SetTextDirection(TTextDirection::tdLeftToRight));
  EXPECT_EQ(m.Offset(), -160);
}
