#include "app/document.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace griv {
namespace {

// Every pixel tells where it came from: blue = x, green = y.
Picture Coords(int w, int h, int bpp) {
  Picture p;
  p.Resize(w, h, bpp);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (bpp == 8) {
        p.Row(y)[x] = uint8_t(y * w + x);
      } else {
        uint8_t* px = p.Row(y) + x * (bpp / 8);
        px[0] = uint8_t(x), px[1] = uint8_t(y), px[2] = 7;
        if (bpp == 32) px[3] = 0xEE;
      }
    }
  if (bpp == 8)
    for (int i = 0; i < 256; ++i) p.palette.push_back(uint32_t(7) << 16 | uint32_t(i / w) << 8 | uint32_t(i % w));
  return p;
}

// (source x, source y) of a rendered 24-bit pixel.
std::pair<int, int> From(const Picture& shown, int x, int y) {
  const uint8_t* px = shown.Row(y) + 3 * x;
  EXPECT_EQ(px[2], 7);
  return {px[0], px[1]};
}

Picture Sized(int w, int h) {
  Picture p;
  p.Resize(w, h, 24);
  return p;
}

TEST(DocumentRender, ShownSizeRoundsHalvesToEven) {
  EXPECT_EQ(ScaledLength(1000, 1.0 / 3), 333);
  EXPECT_EQ(ScaledLength(700, 1.0 / 3), 233);
  EXPECT_EQ(ScaledLength(1023, 0.5), 512);  // 511.5
  EXPECT_EQ(ScaledLength(1025, 0.5), 512);  // 512.5
  EXPECT_EQ(ScaledLength(1027, 0.5), 514);  // 513.5
  EXPECT_EQ(ScaledLength(9, 1.0 / 6), 2);   // 1.5, however 1/6 rounds in binary
  EXPECT_EQ(ScaledLength(15, 1.0 / 6), 2);  // 2.5
  EXPECT_EQ(ScaledLength(4, 0.1), 0);
  EXPECT_EQ(ScaledLength(1024, 10), 10240);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);

  EXPECT_EQ(CropScaledSize(101, 2.0), 50);
  EXPECT_EQ(CropScaledSize(103, 2.0), 52);
  EXPECT_EQ(CropScaledSize(333, 1.0 / 3), 999);
  EXPECT_EQ(CropScaledSize(17, 0), 17);

  ImageDocument doc;
  doc.SetFullImage(Sized(1000, 700));
  doc.ZoomTo(1, 3);
  EXPECT_EQ(doc.ShownImage().width, 333);
  EXPECT_EQ(doc.ShownImage().height, 233);
  EXPECT_EQ(doc.ShownImage().bpp, 24);
}

TEST(DocumentRender, NearestNeighbourBlocksAndSkips) {
  for (int bpp : {8, 24, 32}) {
    SCOPED_TRACE(bpp);
    const Picture src = Coords(3, 2, bpp);
    const Picture big = RenderPicture(src, 2.0);
    ASSERT_EQ(big.width, 6);
    ASSERT_EQ(big.height, 4);
    ASSERT_EQ(big.bpp, 24);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x) EXPECT_EQ(From(big, x, y), std::make_pair(x / 2, y / 2)) << x << "," << y;

    const Picture src2 = Coords(7, 5, bpp);
    const Picture small = RenderPicture(src2, 0.5);  // 3.5 -> 4, 2.5 -> 2
    ASSERT_EQ(small.width, 4);
    ASSERT_EQ(small.height, 2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 4; ++x) EXPECT_EQ(From(small, x, y), std::make_pair(x * 7 / 4, y * 5 / 2)) << x << "," << y;
  }
  // 1:1 gives an exact 24-bit copy.
  const Picture src = Coords(5, 3, 32);
  const Picture same = RenderPicture(src, 1.0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(From(same, x, y), std::make_pair(x, y));
}

TEST(DocumentRender, SameSizeRenderShowsNewContent) {
  ImageDocument doc;
  doc.SetFullImage(Coords(6, 4, 24));
  doc.ZoomTo(1, 2);
  Picture flipped = Coords(6, 4, 32);
  for (int y = 0; y < 4; ++y) flipped.Row(y)[0] = uint8_t(5 - flipped.Row(y)[0]);
  doc.SetFullImage(flipped);
  doc.Render();
  EXPECT_EQ(From(doc.ShownImage(), 0, 1), std::make_pair(5, 2));
  EXPECT_EQ(From(doc.ShownImage(), 1, 1), std::make_pair(2, 2));
}

TEST(DocumentRender, StretchIntoKeepsTargetFormat) {
  const Picture src = Coords(4, 4, 8);
  Picture dst;
  dst.Resize(2, 2, 8);
  StretchInto(src, dst);
  EXPECT_EQ(dst.palette, src.palette);
  EXPECT_EQ(dst.Row(1)[1], src.Row(2)[2]);

  Picture d32;
  d32.Resize(8, 1, 32);
  StretchInto(Coords(4, 1, 32), d32);
  EXPECT_EQ(d32.Row(0)[4 * 7], 3);
  EXPECT_EQ(d32.Row(0)[4 * 7 + 3], 0xEE);

  Picture d8;
  d8.Resize(2, 2, 8);
  EXPECT_THROW(StretchInto(Coords(4, 4, 24), d8), std::invalid_argument);
}

TEST(DocumentZoom, TextsStatusAndAddCursor) {
  ImageDocument doc;
  doc.SaveUndo();
  doc.SetFullImage(Sized(1024, 768));
  doc.Render();
  doc.SetStatusAction("Full Screen capture");
  EXPECT_EQ(doc.StatusText(), "(1024 x 768) - Full Screen capture");

  ZoomResult r = doc.ZoomTo(1, 2);
  EXPECT_FALSE(r.addCursorEnabled);
  EXPECT_TRUE(r.rendered);
  EXPECT_DOUBLE_EQ(doc.ZoomRatio(), 0.5);
  EXPECT_EQ(doc.ZoomText(), "1:2");
  EXPECT_EQ(doc.ViewedAtText(), " -  Viewed at: 1:2");
  EXPECT_EQ(doc.StatusText(), "(512 x 384) - Full Screen capture -  Viewed at: 1:2");

  r = doc.ZoomTo(3, 1);
  EXPECT_EQ(doc.StatusText(), "(3072 x 2304) - Full Screen capture -  Viewed at: 3:1");

  // ResetZoom: ratio 1, no viewed-at text, the view and ZoomText stay as they were.
  doc.ResetZoom();
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

TEST(DocumentZoom, FailedRenderKeepsRatioWithEmptyView) {
  ImageDocument doc;
  doc.SetFullImage(Sized(7000, 2));
  doc.Render();
  const ZoomResult r = doc.ZoomTo(10, 1);  // 70000 wide: past the picture limit
  EXPECT_FALSE(r.rendered);
  EXPECT_TRUE(doc.RenderFailed());
  EXPECT_TRUE(doc.ShownImage().Empty());
  EXPECT_DOUBLE_EQ(doc.ZoomRatio(), 10.0);
  EXPECT_EQ(doc.ViewedAtText(), " -  Viewed at: 10:1");
  EXPECT_EQ(doc.ZoomFailureMessage(), "Zooming this image to 10:1 is not possible\r\nTry a smaller ratio");
  EXPECT_TRUE(doc.ZoomTo(2, 1).rendered);
  EXPECT_FALSE(doc.RenderFailed());
  EXPECT_EQ(doc.ShownImage().width, 14000);
}

TEST(DocumentUndo, FirstChangeArmsSecondRecords) {
  ImageDocument doc;
  EXPECT_FALSE(doc.SaveUndo());  // first capture since start: arms only
  EXPECT_TRUE(doc.UndoArmed());
  doc.SetFullImage(Coords(20, 10, 24));
  doc.ZoomTo(1, 2);
  doc.SetStatusAction("Full Screen capture");
  EXPECT_FALSE(doc.Undo());
  EXPECT_EQ(doc.FullImage().width, 20);

  EXPECT_TRUE(doc.SaveUndo());  // second capture (an area capture keeps the ratio)
  doc.SetFullImage(Coords(8, 6, 32));
  doc.Render();
  doc.SetStatusAction("Selected area captured");
  doc.ResetZoom();
  doc.Render();
  EXPECT_EQ(doc.StatusText(), "(8 x 6) - Selected area captured");

  EXPECT_TRUE(doc.Undo());
  EXPECT_FALSE(doc.UndoAvailable());
  EXPECT_EQ(doc.FullImage().width, 20);
  EXPECT_EQ(doc.FullImage().bpp, 24);
  EXPECT_DOUBLE_EQ(doc.ZoomRatio(), 0.5);
  EXPECT_EQ(doc.StatusText(), "(10 x 5) - Full Screen capture -  Viewed at: 1:2");
  EXPECT_FALSE(doc.Undo());  // once only until the next change
  EXPECT_EQ(doc.UndoBitmap().width, 20);  // the record keeps its content
}

TEST(DocumentUndo, ClearThenUndoBringsThePictureBack) {
  ImageDocument doc;
  doc.SaveUndo();
  doc.SetFullImage(Coords(16, 12, 24));
  doc.Render();
  doc.SetStatusAction("Full Screen capture");
  EXPECT_TRUE(doc.Present());

  doc.Clear();
  EXPECT_FALSE(doc.Present());
  EXPECT_TRUE(doc.ShownImage().Empty());
  EXPECT_EQ(doc.FullImage().width, 16);  // kept for undo
  EXPECT_TRUE(doc.UndoAvailable());

  EXPECT_TRUE(doc.Undo());
  EXPECT_TRUE(doc.Present());
  EXPECT_EQ(doc.StatusText(), "(16 x 12) - Full Screen capture");
  EXPECT_EQ(From(doc.ShownImage(), 5, 3), std::make_pair(5, 3));
}

TEST(DocumentCommands, EnableTableFollowsItsInputs) {
  Picture full = Sized(4, 4);
  ImageCommandState off = ComputeImageCommands(false, true, true, full);
  EXPECT_FALSE(off.saveAs || off.clear || off.copy || off.btnCrop || off.zoomIn || off.addCursor || off.editor ||
               off.print || off.printPreview || off.popPreview);
  EXPECT_TRUE(off.encryption && off.btnSelect && off.captureAreaNow && off.autoSave && off.popAutoSave &&
              off.popSendEmail);

  ImageCommandState on = ComputeImageCommands(true, true, false, full);
  EXPECT_TRUE(on.saveAs && on.saveAsShown && on.saveEncrypted && on.greys && on.popSave && on.sendEmail);
  EXPECT_FALSE(on.editor);
  EXPECT_TRUE(on.print && on.btnPrint && on.printPreview && on.btnPreview && on.popPrint && on.popPreview);
  EXPECT_TRUE(ComputeImageCommands(true, false, true, full).editor);
  EXPECT_FALSE(ComputeImageCommands(true, false, true, full).popPreview);  // no printer set up
  EXPECT_FALSE(ComputeImageCommands(true, true, true, Picture()).print);   // nothing to print
}

}  // namespace
}  // namespace griv
