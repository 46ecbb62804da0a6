#include <gtest/gtest.h>
#include <windows.h>

#include "markup/mark_renderer_win.h"
#include "markup/tool_glyphs_win.h"

using namespace griv;

namespace {

constexpr Rgb kInk{30, 140, 200};  // distinct channels: a swapped byte order shows

Picture White(int w, int h, int bpp) {
  Picture p;
  p.Resize(w, h, bpp);
  std::fill(p.pixels.begin(), p.pixels.end(), uint8_t(255));
  return p;
}

Rgb At(const Picture& p, int x, int y) {
  const uint8_t* d = p.Row(y) + size_t(x) * (p.bpp / 8);
  return {d[2], d[1], d[0]};
}

Mark Make(MarkKind k, std::vector<PointF> pts, std::string text = {}) {
  Mark m;
  m.kind = k;
  m.points = std::move(pts);
  m.colour = kInk;
  m.text = std::move(text);
  return m;
}

}  // namespace

TEST(MarkRenderer, StrokeCoresAreExactlyTheColourAtOneToOneAndTwoToOne) {
  const Mark rect = Make(MarkKind::Rectangle, {{20.5, 20.5}, {80.5, 60.5}});
  const Mark arrow = Make(MarkKind::Arrow, {{100.5, 100.5}, {180.5, 100.5}});
  Mark text = Make(MarkKind::Text, {{20, 90}}, "HIH");
  text.textSize = SharedMarkRenderer().MeasureText(text.text);
  EXPECT_GT(text.textSize.y, kTextHeight * 0.9);
  EXPECT_LT(text.textSize.y, kTextHeight * 1.6);
  for (int scale : {1, 2}) {
    SCOPED_TRACE(scale);
    for (int bpp : {24, 32}) {
      Picture target = White(200 * scale, 150 * scale, bpp);
      const MarkFrame frame{{200, 150, 200 * scale, 150 * scale}, 0, 0};
      SharedMarkRenderer().DrawStrokes(target, frame, {&rect, &arrow, &text});
      auto at = [&](double x, double y) { return At(target, int(x * scale), int(y * scale)); };
      EXPECT_EQ(at(50, 20.5), kInk);                // top edge
      EXPECT_EQ(at(80.5, 40), kInk);                // right edge
      EXPECT_EQ(at(50, 40), (Rgb{255, 255, 255}));  // outline only
      EXPECT_EQ(at(50, 24), (Rgb{255, 255, 255}));
      EXPECT_EQ(at(130, 100.5), kInk);  // shaft
      EXPECT_EQ(at(176, 100.5), kInk);  // head, near the tip
      EXPECT_EQ(at(170, 104.5), kInk);  // head, wider than the shaft
      EXPECT_EQ(at(130, 104.5), (Rgb{255, 255, 255}));
      // Some pixels of the glyphs' stems carry the colour itself, and the text stays in its box.
      int exact = 0, outside = 0;
      for (int y = 0; y < target.height; ++y)
        for (int x = 0; x < target.width; ++x) {
          const bool inBox = x >= 18 * scale && x < (22 + text.textSize.x) * scale && y >= 88 * scale &&
                             y < (92 + text.textSize.y) * scale;
          const Rgb c = At(target, x, y);
          if (inBox && c == kInk) ++exact;
          if (!inBox && y > 70 * scale && x < 95 * scale && c != Rgb{255, 255, 255}) ++outside;
        }
      EXPECT_GT(exact, 10 * scale * scale);
      EXPECT_EQ(outside, 0);
    }
  }
}

TEST(MarkRenderer, FlatteningWithRedactionLeavesNoOriginalPixel) {
  // Channel values that no redaction colour takes (those are multiples of 17).
  Picture pic;
  pic.Resize(120, 90, 32);
  for (int y = 0; y < pic.height; ++y)
    for (int x = 0; x < pic.width; ++x) {
      uint8_t* d = pic.Row(y) + 4 * x;
      for (int k = 0; k < 3; ++k) d[k] = uint8_t(17 * ((x * 7 + y * 13 + k * 5) % 15) + 1 + (x + y + k) % 16);
    }
  std::vector<Mark> marks{Make(MarkKind::Rectangle, {{10.5, 10.5}, {50.5, 40.5}}),
                          Make(MarkKind::Redact, {{30.3, 5.7}, {60.2, 30.9}}),
                          Make(MarkKind::Redact, {{100, 60}, {140, 100}})};
  marks[2].pixelate = true;
  const Picture out = FlattenMarks(pic, marks, SharedMarkRenderer());
  ASSERT_EQ(out.bpp, 32);
  int kept = 0, black = 0;
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      const bool solid = x >= 30 && x < 61 && y >= 5 && y < 31, pixelated = x >= 100 && y >= 60;
      if (!solid && !pixelated) continue;
      for (int k = 0; k < 3; ++k) kept += out.Row(y)[4 * x + k] == pic.Row(y)[4 * x + k];
      if (solid) black += At(out, x, y) == Rgb{0, 0, 0};
    }
  EXPECT_EQ(kept, 0);
  EXPECT_EQ(black, 31 * 26);         // the rectangle's edge under the redaction is gone too
  EXPECT_EQ(At(out, 20, 10), kInk);  // outside the redaction the rectangle stays
}

TEST(MarkupTools, EachToolHasAPointer) {
  const int size = 48;
  for (int t = int(MarkupTool::Select); t <= int(MarkupTool::Redact); ++t) {
    HCURSOR c = MakeToolCursor(MarkupTool(t), size);
    ASSERT_TRUE(c) << t;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(c, &info)) << t;
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (MarkupTool(t) == MarkupTool::Text) continue;  // the system's text beam
    EXPECT_FALSE(info.fIcon);
    // The point that draws: the arrow's tip, else the middle of the cross hair.
    EXPECT_EQ(info.xHotspot, MarkupTool(t) == MarkupTool::Select ? 1u : DWORD(size / 3)) << t;
    DestroyCursor(c);
  }
  EXPECT_EQ(MakeToolCursor(MarkupTool::None, size), nullptr);
}
