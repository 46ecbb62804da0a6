#include <gtest/gtest.h>

#include "app/hand_off.h"
#include "capture/capture_commands.h"
#include "image/picture_area.h"
#include "capture/selection.h"

namespace griv {
namespace {

TEST(Selection, ExcludesThePointersColumnAndRowExceptAtTheEdge) {
  SelectedArea a = SelectionOf({10, 10, 110, 60}, 1280, 800);
  EXPECT_TRUE(a.valid);
  EXPECT_EQ(a.width, 100);
  EXPECT_EQ(a.height, 50);
  // The pointer stops on the last column and row: corner to corner is the whole monitor.
  a = SelectionOf({0, 0, 1279, 799}, 1280, 800);
  EXPECT_EQ(a.width, 1280);
  EXPECT_EQ(a.height, 800);
  a = SelectionOf({1270, 790, 1278, 798}, 1280, 800);
  EXPECT_EQ(a.width, 8);
  EXPECT_EQ(a.height, 8);
}

TEST(Selection, ADragInAnyDirectionTakesTheRectangleBetweenItsCorners) {
  for (DragRect d : {DragRect{110, 60, 10, 10}, DragRect{10, 60, 110, 10}, DragRect{110, 10, 10, 60}}) {
    const SelectedArea a = SelectionOf(d, 1280, 800);
    EXPECT_TRUE(a.valid && a.left == 10 && a.top == 10 && a.width == 100 && a.height == 50) << d.left << "," << d.top;
  }
  // Up and to the left from the last pixel: the edge is still taken.
  const SelectedArea edge = SelectionOf({1279, 799, 1270, 790}, 1280, 800);
  EXPECT_EQ(edge.width, 10);
  EXPECT_EQ(edge.height, 10);
  EXPECT_FALSE(SelectionOf({50, 50, 50, 80}, 1280, 800).valid);        // no width
  EXPECT_FALSE(SelectionOf({50, 50, 20, 50}, 1280, 800).valid);        // no height
  EXPECT_FALSE(SelectionOf({1279, 799, 1279, 799}, 1280, 800).valid);  // a click on the corner
  EXPECT_FALSE(SelectionOf({0, 0, 0, 0}, 1280, 800).valid);            // another button, no drag
}

TEST(Selection, AClickTakesTheTopmostWindowUnderItCutToTheMonitor) {
  const std::vector<Box> windows{{100, 100, 300, 200}, {50, 50, 1400, 700}, {-8, -8, 1288, 780}};
  EXPECT_EQ(WindowUnder(windows, 150, 150, 1280, 800), (Box{100, 100, 300, 200}));
  EXPECT_EQ(WindowUnder(windows, 60, 60, 1280, 800), (Box{50, 50, 1280, 700}));
  EXPECT_EQ(WindowUnder(windows, 10, 750, 1280, 800), (Box{0, 0, 1280, 780}));  // a maximised window's frame
  EXPECT_EQ(WindowUnder(windows, 10, 790, 1280, 800), (Box{0, 0, 1280, 800}));  // the desktop: the monitor
  const SelectedArea a = SelectionOfBox({50, 50, 1280, 700}, 1280, 800);
  EXPECT_TRUE(a.valid && a.width == 1230 && a.height == 650);
}

TEST(Selection, AdjustingMovesEdgesAndKeepsTheSelectionOnTheMonitor) {
  const Box s{100, 100, 300, 200};
  EXPECT_EQ(GripAt(s, 100, 100, 7), Grip::TopLeft);
  EXPECT_EQ(GripAt(s, 300, 150, 7), Grip::Right);
  EXPECT_EQ(GripAt(s, 200, 150, 7), Grip::Move);
  EXPECT_EQ(GripAt(s, 50, 50, 7), Grip::None);
  EXPECT_EQ(Adjusted(s, Grip::Right, 40, 99, 1280, 800), (Box{100, 100, 340, 200}));
  EXPECT_EQ(Adjusted(s, Grip::TopLeft, -20, -30, 1280, 800), (Box{80, 70, 300, 200}));
  EXPECT_EQ(Adjusted(s, Grip::Left, 250, 0, 1280, 800), (Box{300, 100, 350, 200}));  // dragged past the other edge
  EXPECT_EQ(Adjusted(s, Grip::Bottom, 0, -100, 1280, 800), (Box{100, 100, 300, 101}));  // never empty
  EXPECT_EQ(Adjusted(s, Grip::Move, 2000, -500, 1280, 800), (Box{1080, 0, 1280, 100}));
  EXPECT_EQ(Adjusted(s, Grip::BottomRight, 5000, 5000, 1280, 800), (Box{100, 100, 1280, 800}));
}

TEST(Selection, MonitorChoice) {
  EXPECT_EQ(ChooseMonitorIndex(0, false, 2), 0);
  EXPECT_EQ(ChooseMonitorIndex(0, true, 2), 1);
  EXPECT_EQ(ChooseMonitorIndex(1, true, 2), 0);
  EXPECT_EQ(ChooseMonitorIndex(0, true, 1), 0);   // Ctrl means nothing with one monitor
  EXPECT_EQ(ChooseMonitorIndex(1, false, 1), 0);  // a monitor that is gone
  EXPECT_EQ(ChooseMonitorIndex(-3, false, 2), 0);
}

TEST(StartupRules, CommandParameter) {
  auto exists = [](const std::string& f) { return f == "C:\\pics\\a.bmp"; };
  EXPECT_EQ(ParseCommandParam("", exists), CommandRequest::None);
  EXPECT_EQ(ParseCommandParam("\\F", exists), CommandRequest::CaptureFull);
  EXPECT_EQ(ParseCommandParam("\\f", exists), CommandRequest::ShowMain);  // case matters
  EXPECT_EQ(ParseCommandParam("\\A", exists), CommandRequest::CaptureActive);
  EXPECT_EQ(ParseCommandParam("C:\\pics\\a.bmp", exists), CommandRequest::OpenFile);
  EXPECT_EQ(ParseCommandParam("C:\\pics\\gone.bmp", exists), CommandRequest::ShowMain);
}

TEST(StartupRules, TheTrackerIgnoresTheTaskBarAndTheConsoleTestIgnoresCase) {
  for (const char* c : {"Shell_TrayWnd", "SysTabControl32", "TrayNotifyWnd", "traymenu"})
    EXPECT_FALSE(TrackableForegroundClass(c)) << c;
  for (const char* c : {"Notepad", "TfrmCaptureForm", "#32770", "XTray"}) EXPECT_TRUE(TrackableForegroundClass(c)) << c;
  EXPECT_TRUE(IsConsoleClass("consolewindowclass", true));
  EXPECT_FALSE(IsConsoleClass("tty", true));
  EXPECT_TRUE(IsConsoleClass("TTY", false));
}

Picture Numbered(int w, int h, int bpp) {
  Picture p;
  p.Resize(w, h, bpp);
  if (bpp == 8) p.palette.assign(256, 0x123456);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) p.Row(y)[x * (bpp / 8)] = uint8_t(y * 16 + x + 1);
  return p;
}

TEST(PictureArea, CopyClipsToThePictureAndLeavesTheRestBlack) {
  const Picture src = Numbered(8, 6, 24);
  const Picture part = CopyArea(src, 6, 4, 4, 3);  // two columns and two rows inside
  ASSERT_EQ(part.width, 4);
  ASSERT_EQ(part.height, 3);
  EXPECT_EQ(part.Row(0)[0], src.Row(4)[6 * 3]);
  EXPECT_EQ(part.Row(1)[3], src.Row(5)[7 * 3]);
  EXPECT_EQ(part.Row(0)[2 * 3], 0);  // right of the picture
  EXPECT_EQ(part.Row(2)[0], 0);      // below it
  const Picture outside = CopyArea(src, -10, -10, 3, 3);
  EXPECT_EQ(outside.width, 3);
  for (uint8_t b : outside.pixels) EXPECT_EQ(b, 0);
  const Picture indexed = CopyArea(Numbered(4, 4, 8), 1, 1, 2, 2);
  EXPECT_EQ(indexed.palette.size(), 256u);
  EXPECT_EQ(indexed.Row(0)[0], 16 + 1 + 1);
}

TEST(PictureArea, PasteDropsWhatFallsOutside) {
  Picture dst = Numbered(4, 4, 32);
  Picture part;
  part.Resize(3, 3, 32);
  for (auto& b : part.pixels) b = 0xEE;
  PasteArea(dst, part, 2, -1);
  EXPECT_EQ(dst.Row(0)[2 * 4], 0xEE);
  EXPECT_EQ(dst.Row(1)[3 * 4], 0xEE);
  EXPECT_EQ(dst.Row(2)[3 * 4], 3 * 16 + 1 - 16 + 3);  // untouched: row 2, column 3
  EXPECT_EQ(dst.Row(0)[1 * 4], 2);
  Picture other;
  other.Resize(1, 1, 24);
  EXPECT_THROW(PasteArea(dst, other, 0, 0), std::invalid_argument);
}

}  // namespace
}  // namespace griv
