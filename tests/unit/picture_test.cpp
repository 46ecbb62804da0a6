#include "base/picture.h"

#include <gtest/gtest.h>

#include "image/document.h"

namespace griv {
namespace {

Picture Filled(int w, int h, int bpp, uint8_t v) {
  Picture p;
  p.Resize(w, h, bpp);
  std::fill(p.pixels.begin(), p.pixels.end(), v);
  return p;
}

size_t Bytes(const Picture& p) { return size_t(p.Stride()) * size_t(p.height); }

// Sides up to 65535, at most 64 Mi pixels: three 4K monitors pass, a square
// of 8193 does not, and nothing is allocated for a refused size.
TEST(PictureLimits, PixelsAndSides) {
  EXPECT_NO_THROW(Picture::CheckSize(3 * 3840, 2160, 32));
  EXPECT_NO_THROW(Picture::CheckSize(8192, 8192, 32));
  EXPECT_NO_THROW(Picture::CheckSize(65535, 1024, 8));
  EXPECT_THROW(Picture::CheckSize(8192, 8193, 8), EInvalidPicture);
  EXPECT_THROW(Picture::CheckSize(65536, 1, 24), EInvalidPicture);
  EXPECT_THROW(Picture::CheckSize(20000, 20000, 8), EInvalidPicture);
  EXPECT_THROW(Picture::CheckSize(65535, 8191, 8), EInvalidPicture);
  EXPECT_THROW(Picture::CheckSize(10, 10, 16), EInvalidPicture);

  Picture p = Filled(40, 30, 24, 9);
  EXPECT_THROW(p.Resize(20000, 20000, 8), EInvalidPicture);
  EXPECT_EQ(p.width, 40);  // a refused size leaves the picture as it was
  EXPECT_EQ(p.pixels.size(), Bytes(p));
}

// The buffer always has the picture's own size: copies of a small picture
// into one that held a large picture, and resizes down, give memory back.
TEST(PictureStorage, FollowsTheSize) {
  const Picture big = Filled(1000, 800, 32, 1), small = Filled(30, 20, 24, 2);
  Picture p = big;
  EXPECT_EQ(p.pixels.capacity(), Bytes(big));
  p = small;
  EXPECT_EQ(p.pixels.capacity(), Bytes(small));
  EXPECT_EQ(p.pixels, small.pixels);
  EXPECT_EQ(p.bpp, 24);
  p = big;
  p.Resize(10, 10, 8);
  EXPECT_EQ(p.pixels.capacity(), Bytes(p));
  EXPECT_EQ(p.pixels[0], 0);
  p = big;
  p.ResizeForOverwrite(100, 100, 24);
  EXPECT_EQ(p.pixels.capacity(), Bytes(p));
  // A same-sized overwrite keeps its storage (screen grabs reuse it).
  const uint8_t* before = p.pixels.data();
  p.ResizeForOverwrite(100, 100, 24);
  EXPECT_EQ(p.pixels.data(), before);
  // Self-assignment and palettes.
  Picture pal = Filled(4, 4, 8, 3);
  pal.palette = GreyPalette();
  pal = *&pal;
  EXPECT_EQ(pal.palette.size(), 256u);
  p = pal;
  EXPECT_EQ(p.palette, pal.palette);
  EXPECT_EQ(p.pixels.capacity(), Bytes(pal));
}

// Three small pictures after a huge one leave nothing of it held: neither
// in the full image nor in the undo record, which is copied into.
TEST(PictureStorage, DocumentDropsTheLargePicture) {
  ImageDocument doc;
  doc.SaveUndo();
  doc.SetFullImage(Filled(1500, 1000, 32, 5));
  ASSERT_TRUE(doc.Render());
  for (int i = 0; i < 3; ++i) {
    doc.SaveUndo();
    doc.SetFullImage(Filled(64 + i, 48, 24, uint8_t(i)));
    ASSERT_TRUE(doc.Render());
  }
  EXPECT_EQ(doc.UndoBitmap().width, 65);
  EXPECT_EQ(doc.UndoBitmap().pixels.capacity(), Bytes(doc.UndoBitmap()));
  EXPECT_EQ(doc.FullImage().pixels.capacity(), Bytes(doc.FullImage()));
  EXPECT_EQ(doc.ShownImage().pixels.capacity(), Bytes(doc.ShownImage()));
  ASSERT_TRUE(doc.Undo());
  EXPECT_EQ(doc.FullImage().pixels.capacity(), Bytes(doc.FullImage()));
}

// Pixels kept in the platform's memory (a grab's bitmap): reused by a
// same-sized overwrite, left for the heap when the buffer must grow or the
// picture changes size, never shared by a copy, and freed exactly once.
TEST(PictureStorage, ExternalPixels) {
  struct Block : ExternalPixels {
    explicit Block(int* freed) : freed(freed) {}
    ~Block() override { ++*freed; }
    uint8_t* Bytes() override { return bytes; }
    size_t Capacity() const override { return sizeof bytes; }
    uint8_t bytes[48] = {};
    int* freed;
  };
  int freed = 0;
  Picture p;
  auto block = std::make_unique<Block>(&freed);
  uint8_t* const bytes = block->bytes;
  p.pixels.Adopt(std::move(block), 48);
  p.width = 4, p.height = 4, p.bpp = 24;
  p.pixels[47] = 7;
  p.ResizeForOverwrite(4, 4, 24);
  EXPECT_EQ(p.pixels.data(), bytes);
  const Picture copy = p;
  EXPECT_NE(copy.pixels.data(), bytes);
  EXPECT_EQ(copy.pixels, p.pixels);
  EXPECT_EQ(copy.pixels.External(), nullptr);
  Picture moved = std::move(p);
  EXPECT_EQ(moved.pixels.data(), bytes);
  EXPECT_EQ(freed, 0);
  moved.pixels.resize(49);  // grows onto the heap with the bytes it had
  EXPECT_EQ(freed, 1);
  EXPECT_EQ(moved.pixels.External(), nullptr);
  EXPECT_EQ(moved.pixels[47], 7);
  block = std::make_unique<Block>(&freed);
  moved.pixels.Adopt(std::move(block), 100);  // no more than the block holds
  EXPECT_EQ(moved.pixels.size(), 48u);
  moved.Resize(5, 4, 24);
  EXPECT_EQ(freed, 2);
  EXPECT_EQ(moved.pixels.capacity(), Bytes(moved));
}

}  // namespace
}  // namespace griv
