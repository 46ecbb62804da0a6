#include "image/document.h"
#include "image/resample.h"

#include <gtest/gtest.h>

#include <cstring>

#include <stdexcept>

namespace griv {
namespace {

// Every pixel tells where it came from: blue = x, green = y, red = 7.
Picture Coords(int w, int h, int bpp) {
  Picture p;
  p.Resize(w, h, bpp);
  for (int i = 0; bpp == 8 && i < 256; ++i) p.palette.push_back(7u << 16 | uint32_t(i / w) << 8 | uint32_t(i % w));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* px = p.Row(y) + x * (bpp / 8);
      if (bpp == 8) px[0] = uint8_t(y * w + x);
      else px[0] = uint8_t(x), px[1] = uint8_t(y), px[2] = 7;
      if (bpp == 32) px[3] = 0xEE;
    }
  return p;
}

std::pair<int, int> From(const Picture& shown, int x, int y) {  // source of a 24-bit pixel
  const uint8_t* px = shown.Row(y) + 3 * x;
  EXPECT_EQ(px[2], 7);
  return {px[0], px[1]};
}

Picture Sized(int w, int h) {
  Picture p;
  p.Resize(w, h, 24);
  return p;
}

TEST(DocumentRender, SizesRoundHalvesToEven) {
  EXPECT_EQ(ScaledLength(1000, 1.0 / 3), 333);
  EXPECT_EQ(ScaledLength(700, 1.0 / 3), 233);
  EXPECT_EQ(ScaledLength(1023, 0.5), 512);  // 511.5
  EXPECT_EQ(ScaledLength(1025, 0.5), 512);  // 512.5
  EXPECT_EQ(ScaledLength(9, 1.0 / 6), 2);   // 1.5, however 1/6 rounds in binary
  EXPECT_EQ(ScaledLength(4, 0.1), 0);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(CropScaledSize(333, 1.0 / 3), 999);
  EXPECT_EQ(CropScaledSize(17, 0), 17);
  const PixelSize crop = CropScaledSize(200, 151, 2.0);  // a selection on a 2:1 view
  EXPECT_EQ(crop.width, 100);
  EXPECT_EQ(crop.height, 76);
}

TEST(DocumentRender, NearestNeighbourBlocksAndSkips) {
  for (int bpp : {8, 24, 32}) {
    const Picture big = RenderPicture(Coords(3, 2, bpp), 2.0);
    ASSERT_EQ(big.width, 6);
    ASSERT_EQ(big.height, 4);
    ASSERT_EQ(big.bpp, 24);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x) EXPECT_EQ(From(big, x, y), std::make_pair(x / 2, y / 2)) << bpp;
    for (int w : {7, 8}) {  // uneven and whole-number reductions
      const Picture small = RenderPicture(Coords(w, 5, bpp), 0.5);
      ASSERT_EQ(small.width, 4);
      ASSERT_EQ(small.height, 2);
      for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(From(small, x, y), std::make_pair(x * w / 4, y * 5 / 2)) << bpp;
    }
  }
  Picture d8;  // 8-bit targets keep indexes and palette; a true-colour source cannot go there
  d8.Resize(2, 2, 8);
  StretchInto(Coords(4, 4, 8), d8);
  EXPECT_EQ(d8.Row(1)[1], 10);
  EXPECT_EQ(d8.palette.size(), 256u);
  EXPECT_THROW(StretchInto(Coords(4, 4, 24), d8), std::invalid_argument);
}

TEST(DocumentZoom, TextsStatusAndAddCursor) {
  ImageDocument doc;
  doc.SetFullImage(Sized(1024, 768));
  doc.Render();
  doc.SetStatusAction("Full Screen capture");
  EXPECT_EQ(doc.StatusText(), "(1024 x 768) - Full Screen capture");

  ZoomResult r = doc.ZoomTo(1, 2);
  EXPECT_FALSE(r.addCursorEnabled);
  EXPECT_EQ(doc.ZoomText(), "1:2");
  EXPECT_EQ(doc.StatusText(), "(512 x 384) - Full Screen capture -  Viewed at: 1:2");
  doc.ZoomTo(3, 1);
  EXPECT_EQ(doc.StatusText(), "(3072 x 2304) - Full Screen capture -  Viewed at: 3:1");

  doc.ResetZoom();  // ratio 1 and no viewed-at text; view and ZoomText stay
  EXPECT_DOUBLE_EQ(doc.ZoomRatio(), 1.0);
  EXPECT_EQ(doc.ViewedAtText(), "");
  EXPECT_EQ(doc.ZoomText(), "3:1");
  EXPECT_EQ(doc.ShownImage().width, 3072);

  r = doc.ZoomTo(1, 1);
  EXPECT_TRUE(r.addCursorEnabled);
  EXPECT_EQ(doc.ZoomText(), "");
  EXPECT_EQ(doc.StatusText(), "(1024 x 768) - Full Screen capture");
  EXPECT_FALSE(doc.UndoAvailable());  // zooming never fills the undo record
  EXPECT_THROW(doc.ZoomTo(0, 1), std::invalid_argument);
}

TEST(DocumentZoom, AFittedScaleShowsPercentAndShrinksSmoothly) {
  ImageDocument doc;
  Picture stripes;  // columns alternately black and white: thinning out would keep one of them
  stripes.Resize(1000, 10, 24);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 1000; ++x) std::memset(stripes.Row(y) + 3 * x, x % 2 ? 255 : 0, 3);
  doc.SetFullImage(std::move(stripes));
  doc.SetStatusAction("Full Screen capture");
  doc.ZoomToScale(0.537);
  EXPECT_EQ(doc.StatusText(), "(537 x 5) - Full Screen capture -  Viewed at: 54%");
  const Picture& shown = doc.ShownImage();
  for (int x = 0; x < shown.width; ++x) ASSERT_NEAR(shown.Row(2)[3 * x], 128, 43) << x;  // a grey, never black or white
  // A zoom menu's ratio thins out again, as it always has.
  doc.ZoomTo(1, 2);
  EXPECT_TRUE(doc.ShownImage().Row(0)[0] == 0 || doc.ShownImage().Row(0)[0] == 255);
  EXPECT_THROW(doc.ZoomToScale(0), std::invalid_argument);
}

TEST(DocumentRender, SmoothShrinkAveragesEveryCoveredPixelAtAnyDepth) {
  for (int bpp : {8, 24, 32}) {
    const Picture src = Coords(5, 3, bpp);  // blue = x, green = y
    const Picture out = ShrinkSmooth(src, 2, 1);
    // Columns 0-1 and 2-4, rows 0-2: the means of their coordinates.
    EXPECT_EQ(out.Row(0)[0], 1) << bpp;  // (0 + 1) / 2 rounded
    EXPECT_EQ(out.Row(0)[3], 3) << bpp;
    EXPECT_EQ(out.Row(0)[1], 1) << bpp;
    EXPECT_EQ(out.Row(0)[2], 7) << bpp;
  }
  EXPECT_THROW(ShrinkSmooth(Coords(5, 3, 24), 6, 3), std::invalid_argument);  // only ever smaller
}

TEST(DocumentZoom, FailedRenderKeepsRatioAndSameSizeRenderRefreshes) {
  ImageDocument doc;
  doc.SetFullImage(Sized(7000, 2));
  EXPECT_FALSE(doc.ZoomTo(10, 1).rendered);  // 70000 wide: past the picture limit
  EXPECT_TRUE(doc.ShownImage().Empty());
  EXPECT_DOUBLE_EQ(doc.ZoomRatio(), 10.0);
  EXPECT_EQ(doc.ViewedAtText(), " -  Viewed at: 10:1");
  EXPECT_EQ(doc.ZoomFailureMessage(), "Zooming this image to 10:1 is not possible\r\nTry a smaller ratio");
  EXPECT_TRUE(doc.ZoomTo(2, 1).rendered);
  EXPECT_EQ(doc.ShownImage().width, 14000);

  doc.SetFullImage(Coords(6, 4, 24));
  doc.ZoomTo(1, 2);
  Picture flipped = Coords(6, 4, 32);  // same size again: the view is rewritten in place
  for (int y = 0; y < 4; ++y) flipped.Row(y)[0] = 5;
  doc.SetFullImage(flipped);
  doc.Render();
  EXPECT_EQ(From(doc.ShownImage(), 0, 1), std::make_pair(5, 2));
  EXPECT_EQ(From(doc.ShownImage(), 1, 1), std::make_pair(2, 2));
}

TEST(DocumentUndo, FirstChangeArmsLaterOnesRecord) {
  ImageDocument doc;
  EXPECT_FALSE(doc.SaveUndo());  // first capture since start: arms only
  doc.SetFullImage(Coords(20, 10, 24));
  doc.ZoomTo(1, 2);
  doc.SetStatusAction("Full Screen capture");
  EXPECT_FALSE(doc.Undo());

  EXPECT_TRUE(doc.SaveUndo());  // second capture
  doc.ResetZoom();
  doc.SetFullImage(Coords(8, 6, 32));
  doc.Render();
  doc.SetStatusAction("Selected area captured");
  EXPECT_TRUE(doc.Undo());
  EXPECT_EQ(doc.FullImage().bpp, 24);
  EXPECT_EQ(doc.StatusText(), "(10 x 5) - Full Screen capture -  Viewed at: 1:2");
  EXPECT_FALSE(doc.Undo());  // once only until the next change

  doc.Clear();  // the full image stays for undo
  EXPECT_FALSE(doc.Present());
  EXPECT_TRUE(doc.ShownImage().Empty());
  EXPECT_TRUE(doc.Undo());
  EXPECT_TRUE(doc.Present());
  EXPECT_EQ(From(doc.ShownImage(), 5, 3), std::make_pair(10, 6));
}

}  // namespace
}  // namespace griv

namespace griv {
namespace {

TEST(DocumentCopies, ACaptureMovesPicturesInsteadOfCopyingThem) {
  ImageDocument doc;
  doc.SaveUndo();
  doc.SetFullImage(Coords(40, 30, 32));
  doc.Render();
  const uint8_t* first = doc.FullImage().pixels.data();
  EXPECT_EQ(doc.ShownImage().pixels.data(), first);  // 1:1 shows the picture itself
  EXPECT_EQ(doc.ShownImage24().bpp, 24);
  EXPECT_EQ(From(doc.ShownImage24(), 7, 5), std::make_pair(7, 5));

  doc.SaveUndo();
  EXPECT_TRUE(doc.TakeSpare().Empty());  // nothing to recycle yet
  doc.SetFullImage(Coords(40, 30, 32));
  doc.Render();
  EXPECT_EQ(doc.UndoBitmap().pixels.data(), first);  // moved into the record, not copied
  const uint8_t* second = doc.FullImage().pixels.data();

  doc.SaveUndo();  // a third capture gets the first picture's buffer to fill
  Picture spare = doc.TakeSpare();
  EXPECT_EQ(spare.pixels.data(), first);
  doc.SetFullImage(std::move(spare));
  EXPECT_EQ(doc.UndoBitmap().pixels.data(), second);
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(doc.FullImage().pixels.data(), second);
}

TEST(DocumentCopies, AbandonedChangesAndDrawingsKeepTheRecordRight) {
  ImageDocument doc;
  doc.SaveUndo();
  doc.SetFullImage(Coords(8, 6, 24));
  doc.Render();
  doc.SetStatusAction("first");
  // An area selection that was abandoned: the record was asked for, nothing replaced the picture.
  doc.SaveUndo();
  doc.SetStatusAction("changed");
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(doc.StatusAction(), "first");
  EXPECT_EQ(From(doc.FullImage(), 3, 2), std::make_pair(3, 2));

  // Drawing into the full image (a stamp) copies it into the record first.
  doc.SaveUndo();
  doc.MutableFullImage().Row(2)[3 * 3] = 99;
  EXPECT_EQ(From(doc.UndoBitmap(), 3, 2), std::make_pair(3, 2));
  // Drawing into what is on show leaves the full image alone.
  doc.Render();
  doc.MutableShownImage().Row(1)[0] = 55;
  EXPECT_EQ(doc.FullImage().Row(1)[0], 0);
  EXPECT_EQ(doc.ShownImage().Row(1)[0], 55);
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(From(doc.FullImage(), 3, 2), std::make_pair(3, 2));
}

}  // namespace
}  // namespace griv
