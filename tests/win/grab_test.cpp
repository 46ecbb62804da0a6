#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "base/dib_win.h"
#include "base/handles_win.h"
#include "capture/grab_win.h"

using namespace griv;

// A grab lands in the picture's own bitmap, which the next grab of the same
// size reuses; the pointer is drawn into it as into a picture on the heap.
TEST(Grab, IntoThePicturesOwnBitmap) {
  const RECT r{10, 20, 10 + 97, 20 + 61};  // rows with padding at 24 bits
  Picture pic;
  GrabRect(r, pic);
  const HBITMAP first = PictureBitmap(pic);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(pic.width, 97);
  EXPECT_EQ(pic.height, 61);
  EXPECT_EQ(pic.bpp, ScreenPictureBits());
  // What a plain BitBlt of the same rectangle gives.
  Picture ref;
  ref.Resize(97, 61, pic.bpp);
  DibSection dib;
  ASSERT_TRUE(MakeDibSection(ref, dib, false));
  {
    UniqueMemDC mem(CreateCompatibleDC(nullptr));
    SelectObj sel(mem.get(), dib.bitmap.get());
    WindowDC screen(nullptr);
    BitBlt(mem.get(), 0, 0, 97, 61, screen.get(), r.left, r.top, SRCCOPY);
    GdiFlush();
  }
  std::memcpy(ref.pixels.data(), dib.bits, ref.pixels.size());
  GrabRect(r, pic);
  EXPECT_EQ(PictureBitmap(pic), first);
  EXPECT_EQ(pic.pixels, ref.pixels);

  Picture onHeap = pic;
  ASSERT_EQ(PictureBitmap(onHeap), nullptr);
  const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
  DrawCursorAt(pic, arrow, 90, -3);  // cut off at two edges
  DrawCursorAt(onHeap, arrow, 90, -3);
  EXPECT_EQ(pic.pixels, onHeap.pixels);
  EXPECT_NE(pic.pixels, ref.pixels);

  GrabRect(RECT{0, 0, 40, 30}, pic);
  EXPECT_NE(PictureBitmap(pic), nullptr);
  EXPECT_EQ(pic.width, 40);
  GrabRect(RECT{5, 5, 5, 9}, pic);  // nothing to grab
  EXPECT_TRUE(pic.Empty());
}
