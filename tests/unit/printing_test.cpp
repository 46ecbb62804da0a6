#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "printing/preview_math.h"
#include "printing/print_layout.h"
#include "printing/text_stream.h"

namespace griv {
namespace {

using P = PrintPlacement;

TEST(PrintNearest, HalvesGoToTheEvenNeighbourAndHugeValuesSaturate) {
  EXPECT_EQ(Nearest(3532.5), 3532);
  EXPECT_EQ(Nearest(5074.5), 5074);
  EXPECT_EQ(Nearest(3.5), 4);
  EXPECT_EQ(Nearest(-2.5), -2);
  EXPECT_EQ(Nearest(-3.5), -4);
  EXPECT_EQ(Nearest(2.4999), 2);
  EXPECT_EQ(Nearest(2.5001), 3);
  EXPECT_EQ(Nearest(1e12), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(Nearest(-1e12), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(Nearest(std::nan("")), 0);
}

TEST(PrintPlacement, FullAndBestFillTheirBoxFromItsLeftEdge) {
  EXPECT_EQ(PlaceImage(PrintFit::Full, 1000, 500, 1, 4960, 7016, false), (P{125, 125, 4710, 2355}));
  // Best: both box sides are exact halves and go to the even neighbour.
  EXPECT_EQ(PlaceImage(PrintFit::Best, 1000, 500, 1, 4960, 7016, false), (P{714, 125, 3532, 1766}));
  // Limited by its height, the picture is not centred: it keeps the box's left edge.
  EXPECT_EQ(PlaceImage(PrintFit::Full, 500, 2000, 1, 4960, 7016, false), (P{125, 125, 1692, 6766}));
  EXPECT_EQ(PlaceImage(PrintFit::Best, 500, 2000, 1, 4960, 7016, true), (P{714, 125, 1268, 5074}));
  // The zoom factor plays no part outside Zoom.
  EXPECT_EQ(PlaceImage(PrintFit::Full, 1000, 500, 7, 4960, 7016, true), (P{125, 125, 4710, 2355}));
}

TEST(PrintPlacement, ZoomCentresLessHalfAMarginInLandscapeAndNeverStartsLeftOf125) {
  EXPECT_EQ(PlaceImage(PrintFit::Zoom, 1000, 400, 1, 7016, 4960, true), (P{2945, 125, 1000, 400}));
  EXPECT_EQ(PlaceImage(PrintFit::Zoom, 1000, 400, 1, 7016, 4960, false), (P{3008, 125, 1000, 400}));
  EXPECT_EQ(PlaceImage(PrintFit::Zoom, 300, 200, 0.5, 2329, 3358, false), (P{1089, 125, 150, 100}));
  EXPECT_EQ(PlaceImage(PrintFit::Zoom, 333, 200, 3, 2329, 3358, false), (P{665, 125, 999, 600}));
  // Wider than the page: starts at 125 and is squeezed into what is left.
  EXPECT_EQ(PlaceImage(PrintFit::Zoom, 6000, 100, 1, 4960, 7016, false), (P{125, 125, 4835, 100}));
  // Taller than the page: squeezed to the bottom edge.
  EXPECT_EQ(PlaceImage(PrintFit::Zoom, 100, 9000, 1, 4960, 7016, false), (P{2430, 125, 100, 6891}));
}

TEST(PrintPlacement, HighResolutionPagesNeedMoreThanSixteenBits) {
  // 1200 dpi A4 and a zoomed capture: every number is past 32767.
  EXPECT_EQ(PlaceImage(PrintFit::Full, 1000, 500, 1, 9921, 14031, false), (P{125, 125, 9671, 4836}));
  EXPECT_EQ(PlaceImage(PrintFit::Zoom, 4000, 3000, 10, 40000, 56000, false), (P{125, 125, 39875, 30000}));
  EXPECT_EQ(PlaceImage(PrintFit::Zoom, 65535, 65535, 10, 9921, 14031, false), (P{125, 125, 9796, 13906}));
}

TEST(PrintPlacement, StyleNamesAndDegenerateInput) {
  EXPECT_EQ(ParsePrintFit("Zoom"), PrintFit::Zoom);
  EXPECT_EQ(ParsePrintFit("BEST"), PrintFit::Best);
  for (const char* s : {"Full", "", "Fit", "Zoom ", "Bestest"}) EXPECT_EQ(ParsePrintFit(s), PrintFit::Full) << s;
  EXPECT_TRUE(PlaceImage(PrintFit::Full, 0, 10, 1, 2329, 3358, false).Empty());
  EXPECT_TRUE(PlaceImage(PrintFit::Full, 10, 10, 1, 0, 0, false).Empty());
  // A page narrower than its margins leaves nothing to print on, never a negative size.
  P tiny = PlaceImage(PrintFit::Zoom, 50, 50, 1, 100, 100, false);
  EXPECT_TRUE(tiny.Empty());
  EXPECT_GE(tiny.Width, 0);
  EXPECT_GE(tiny.Height, 0);
  EXPECT_TRUE(PlaceImage(PrintFit::Best, 50, 50, 1, 200, 200, false).Empty());
}

TEST(PrintPlacement, AutoOrientationTurnsOnlyForWidePictures) {
  EXPECT_TRUE(AutoOrientLandscape(1280, 800));
  EXPECT_FALSE(AutoOrientLandscape(800, 1280));
  EXPECT_FALSE(AutoOrientLandscape(500, 500));
}

TEST(PrintHeader, DateTimeAndCaptionOrCaptionAlone) {
  EXPECT_EQ(HeaderText(true, "12/7/2026", "11:19 AM", "Captured with Grivanta"),
            "12/7/2026     11:19 AM     Captured with Grivanta");
  EXPECT_EQ(HeaderText(false, "12/7/2026", "11:19 AM", "Captured with Grivanta"), "Captured with Grivanta");
  EXPECT_EQ(HeaderText(false, "d", "t", ""), "");
  EXPECT_EQ(HeaderText(true, "d", "t", ""), "d     t     ");
  EXPECT_EQ(HeaderTop(P{125, 125, 10, 10}, 42), 68);
}

TEST(PrintNotes, StartUnderThePictureAndMoveLeftWhenItStartsFarRight) {
  EXPECT_TRUE(LayoutNotes(P{125, 125, 100, 100}, 3358, 40, 0).empty());
  auto ops = LayoutNotes(P{714, 125, 3532, 1766}, 7016, 40, 2);
  EXPECT_EQ(ops, (std::vector<NoteOp>{{false, 225, 1936, 45, 0}, {false, 225, 1981, 45, 1}}));
  EXPECT_EQ(LayoutNotes(P{700, 125, 10, 10}, 7016, 40, 1)[0].x, 700);
}

TEST(PrintNotes, ContinueAtTheTopOfANewPagePastNineTenths) {
  // Page 1000 high: limit 900. Lines every 50 rows from 775.
  auto ops = LayoutNotes(P{125, 125, 600, 600}, 1000, 45, 5);
  std::vector<NoteOp> want{{false, 125, 775, 50, 0}, {false, 125, 825, 50, 1}, {false, 125, 875, 50, 2},
                           {true},
                           {false, 125, 125, 50, 3}, {false, 125, 175, 50, 4}};
  EXPECT_EQ(ops, want);
  // y equal to the limit still fits on the page.
  ops = LayoutNotes(P{125, 125, 600, 725}, 1000, 45, 2);
  EXPECT_EQ(ops[0], (NoteOp{false, 125, 900, 50, 0}));
  EXPECT_TRUE(ops[1].newPage);
  // A picture that fills the page sends the first line to a new page; lines
  // taller than the page each get a page of their own and the list still ends.
  EXPECT_TRUE(LayoutNotes(P{125, 125, 600, 875}, 1000, 45, 1)[0].newPage);
  ops = LayoutNotes(P{125, 125, 10, 10}, 1000, 2000, 3);
  EXPECT_EQ(ops.size(), 6u);
  EXPECT_EQ(ops[5], (NoteOp{false, 125, 125, 2005, 2}));
}

// A monospace printer page that records what is drawn: every character is
// 10 wide and 20 high.
class FakePage : public TextPage {
 public:
  FakePage(int w, int h) : w_(w), h_(h) {}
  struct Item {
    int page, x, y;
    std::string text;
    bool operator==(const Item&) const = default;
  };
  std::vector<Item> items;
  int page = 0;
  int measures = 0;
  int avg = 10;

  int32_t PageWidth() override { return w_; }
  int32_t PageHeight() override { return h_; }
  int32_t TextWidth(std::u16string_view t) override {
    ++measures;
    return static_cast<int32_t>(t.size()) * 10;
  }
  int32_t TextHeight(std::u16string_view t) override { return t.empty() ? 0 : 20; }
  int32_t AverageCharWidth() override { return avg; }
  int32_t CharHeight() override { return 20; }
  void Draw(int32_t x, int32_t y, std::u16string_view t) override {
    items.push_back({page, x, y, std::string(t.begin(), t.end())});
  }
  void NewPage() override { ++page; }

 private:
  int w_, h_;
};

using Items = std::vector<FakePage::Item>;

Items Stream(const std::u16string& text, int w = 200, int h = 1000) {
  FakePage p(w, h);
  StreamText(text, p);
  return p.items;
}

TEST(TextStream, TabStopsAreEightAverageCharactersApart) {
  EXPECT_EQ(NextTabStop(0, 10), 80);
  EXPECT_EQ(NextTabStop(10, 10), 80);
  EXPECT_EQ(NextTabStop(79, 10), 160);
  EXPECT_EQ(NextTabStop(78, 10), 80);
  EXPECT_EQ(NextTabStop(80, 10), 160);
  EXPECT_GT(NextTabStop(5, 0), 5);  // a font without width still moves on
  EXPECT_EQ(Stream(u"a\tb\tc"), (Items{{0, 0, 0, "a"}, {0, 80, 0, "b"}, {0, 160, 0, "c"}}));
  // A tab that lands past the right edge starts a new line.
  EXPECT_EQ(Stream(u"abcdefghijklmnopq\tX"), (Items{{0, 0, 0, "abcdefghijklmnopq"}, {0, 0, 22, "X"}}));
}

TEST(TextStream, LineEndsCarriageReturnsAndFormFeeds) {
  EXPECT_EQ(Stream(u"ab\r\ncd\r\n\r\nef"), (Items{{0, 0, 0, "ab"}, {0, 0, 22, "cd"}, {0, 0, 64, "ef"}}));
  // A lone CR does not go back to the left edge.
  EXPECT_EQ(Stream(u"ab\rcd"), (Items{{0, 0, 0, "ab"}, {0, 20, 0, "cd"}}));
  // Empty lines move down by the font's height.
  EXPECT_EQ(Stream(u"\n\nab"), (Items{{0, 0, 40, "ab"}}));
  EXPECT_EQ(Stream(u"ab\fcd\f"), (Items{{0, 0, 0, "ab"}, {1, 0, 0, "cd"}}));
  // Other control characters end a run and print nothing.
  EXPECT_EQ(Stream(std::u16string(u"ab\x01" "cd\0ef", 8)), (Items{{0, 0, 0, "ab"}, {0, 20, 0, "cd"}, {0, 40, 0, "ef"}}));
  EXPECT_TRUE(Stream(u"").empty());
}

TEST(TextStream, LongLinesWrapMidWordAtTheRightEdge) {
  EXPECT_EQ(Stream(u"abcdefghijklmnopqrstuvwxy"), (Items{{0, 0, 0, "abcdefghijklmnopqrst"}, {0, 0, 22, "uvwxy"}}));
  // Exactly full: the next run starts the next line.
  EXPECT_EQ(Stream(u"abcdefghijklmnopqrst\rz"), (Items{{0, 0, 0, "abcdefghijklmnopqrst"}, {0, 0, 22, "z"}}));
  EXPECT_EQ(Stream(u"0123456789\r0123456789ab"),
            (Items{{0, 0, 0, "0123456789"}, {0, 100, 0, "0123456789"}, {0, 0, 22, "ab"}}));
  // A character wider than the page gets a line of its own instead of looping.
  EXPECT_EQ(Stream(u"abc", 5), (Items{{0, 0, 0, "a"}, {0, 0, 22, "b"}, {0, 0, 44, "c"}}));
  // A surrogate pair is never cut in two.
  EXPECT_EQ(Stream(u"abcdefghijklmnopqrs\U0001F600x")[1].text.size(), 3u);  // two units and "x"
}

TEST(TextStream, LongRunsAreMeasuredFewTimes) {
  FakePage p(800, 1000000);
  StreamText(std::u16string(8000, u'x'), p);
  EXPECT_EQ(p.items.size(), 100u);
  EXPECT_LT(p.measures, 100 * 20);  // not one per character dropped
}

TEST(TextStream, NewPageWhenTheNextLineWouldNotFit) {
  // Page 100 high, lines 22: three lines a page (100 - 2 * 22 < 66).
  auto items = Stream(u"1\n2\n3\n4\n5", 200, 100);
  EXPECT_EQ(items, (Items{{0, 0, 0, "1"}, {0, 0, 22, "2"}, {0, 0, 44, "3"}, {1, 0, 0, "4"}, {1, 0, 22, "5"}}));
}

TEST(PreviewPage, RatioSizeAndMarginFollowResolutionAndOrientation) {
  EXPECT_EQ(PreviewPageRatio(300, false), 4);
  EXPECT_EQ(PreviewPageRatio(600, false), 8);
  EXPECT_EQ(PreviewPageRatio(600, true), 10);
  EXPECT_EQ(PreviewPageRatio(300, true), 5);
  EXPECT_EQ(PreviewPageRatio(0, false), 1);
  EXPECT_EQ(SetupPreviewPage(4960, 7016, 600, false), (PreviewPage{8, 620, 877, 16, false}));
  EXPECT_EQ(SetupPreviewPage(2329, 3358, 300, false), (PreviewPage{4, 582, 840, 31, false}));
  EXPECT_EQ(SetupPreviewPage(7016, 4960, 600, true), (PreviewPage{10, 702, 496, 12, true}));
}

TEST(PreviewPage, BoxIsCentredHalfAMarginFurtherLeftInLandscape) {
  PreviewPage portrait{10, 702, 496, 12, false}, landscape{10, 702, 496, 12, true};
  EXPECT_EQ(PlacePreviewBox(portrait, 1000, 500, 2), (PreviewBox{251, 12, 200, 100}));
  EXPECT_EQ(PlacePreviewBox(landscape, 1000, 500, 2), (PreviewBox{245, 12, 200, 100}));
  // Wider than the page: the box starts at the margin.
  EXPECT_EQ(PlacePreviewBox(portrait, 1000, 500, 8).left, 12);
}

TEST(PreviewPage, OpeningScaleAndThePrintedPlacement) {
  EXPECT_DOUBLE_EQ(InitialPreviewScale(PrintFit::Zoom, 0.5, 400, 300, 2329, 3358), 0.5);
  EXPECT_DOUBLE_EQ(InitialPreviewScale(PrintFit::Full, 1, 400, 300, 2329, 3358), 2079.0 / 400);
  EXPECT_DOUBLE_EQ(InitialPreviewScale(PrintFit::Best, 1, 400, 300, 2329, 3358), 2079.0 * 0.75 / 400);
  EXPECT_DOUBLE_EQ(InitialPreviewScale(PrintFit::Full, 1, 300, 3000, 2329, 3358), 3108.0 / 3000);

  PreviewPage page = SetupPreviewPage(2329, 3358, 300, false);  // ratio 4, margin 31
  PreviewBox box = PlacePreviewBox(page, 400, 300, 2.5);      // 250 x 188 at 166
  EXPECT_EQ(box, (PreviewBox{166, 31, 250, 188}));
  // The margin comes back as 124, not 125: it went through preview pixels.
  EXPECT_EQ(PreviewPrintPlacement(page, box, 400, 300, 2.5, 2329, 3358), (P{664, 124, 1000, 750}));
  // Too big for the page: cut, so the picture is squeezed.
  EXPECT_EQ(PreviewPrintPlacement(page, PlacePreviewBox(page, 400, 300, 8), 400, 300, 8, 2329, 3358),
            (P{124, 124, 2205, 2400}));
}

TEST(PreviewZoom, TypedPercentagesAreClampedAndMoveTheTrackBar) {
  PreviewZoom z(1.0);
  z.Typed("250");
  EXPECT_DOUBLE_EQ(z.Scale(), 2.5);
  EXPECT_EQ(z.Position(), 15);
  EXPECT_EQ(z.Text(), "250%");
  z.Typed("0");
  EXPECT_EQ(z.Text(), "1%");
  EXPECT_EQ(z.Position(), 0);
  z.Typed("20000");
  EXPECT_EQ(z.Text(), "10000%");
  EXPECT_EQ(z.Position(), 70);
  z.Typed("abc");
  EXPECT_EQ(z.Text(), "1%");
  z.Typed("175%");
  EXPECT_EQ(z.Text(), "175%");
  z.Typed("99999999999999999999999");
  EXPECT_EQ(z.Text(), "10000%");
}

TEST(PreviewZoom, ClicksStepByATenthAndZoomingOutStopsAtOne) {
  PreviewZoom z(4.6);
  z.Plus();
  EXPECT_EQ(z.Text(), "470%");
  EXPECT_EQ(z.Position(), 37);
  PreviewZoom one(1.0);
  EXPECT_FALSE(one.Minus());
  EXPECT_DOUBLE_EQ(one.Scale(), 1.0);
  // Tenths do not add up in binary: 39 steps down from 490 % end a hair above 1,
  // which must still count as 1.
  PreviewZoom near(4.9);
  int steps = 0;
  while (near.Minus()) ++steps;
  EXPECT_EQ(steps, 39);
  EXPECT_EQ(near.Text(), "100%");
  PreviewZoom small(0.5);
  EXPECT_FALSE(small.Minus());
  EXPECT_EQ(small.Position(), 0);
  // No upper limit for clicks; the track bar stays at its end.
  PreviewZoom big(8.0);
  big.Plus();
  EXPECT_EQ(big.Text(), "810%");
  EXPECT_EQ(big.Position(), 70);
}

TEST(PreviewZoom, TrackBarKeysStopAtItsEnds) {
  PreviewZoom z(1.0);
  z.TrackMoved(15);
  EXPECT_DOUBLE_EQ(z.Scale(), 2.5);
  EXPECT_TRUE(z.TrackStep(+2));
  EXPECT_DOUBLE_EQ(z.Scale(), 2.7);
  PreviewZoom top(9.0);
  EXPECT_EQ(top.Position(), 70);
  EXPECT_FALSE(top.TrackStep(+2));
  EXPECT_DOUBLE_EQ(top.Scale(), 9.0);
  EXPECT_TRUE(top.TrackStep(-2));
  EXPECT_DOUBLE_EQ(top.Scale(), 7.8);
  PreviewZoom bottom(0.5);
  EXPECT_FALSE(bottom.TrackStep(-2));
  EXPECT_DOUBLE_EQ(bottom.Scale(), 0.5);
  EXPECT_EQ(TrackPositionForScale(1.04), 0);
  EXPECT_EQ(TrackPositionForScale(1.25), 2);  // an exact half goes to the even 2
  EXPECT_EQ(TrackPositionForScale(-3), 0);
}

}  // namespace
}  // namespace griv
