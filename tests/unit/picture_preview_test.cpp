#include "image/picture_preview.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "image/image_files.h"
#include "base/file_io.h"
#include "image_craft.h"

namespace griv {
namespace {

// A JPEG with stray bytes between two markers: the decoder skips them (with
// a warning), so the size the preview checks must be found past them too.
std::vector<uint8_t> WithStrayBytes(const std::vector<uint8_t>& jpg) {
  // After SOI comes APP0 (FF E0, length); the stray bytes go right after it.
  EXPECT_EQ(jpg[2], 0xFF);
  EXPECT_EQ(jpg[3], 0xE0);
  const size_t app0End = 4 + size_t(jpg[4] << 8 | jpg[5]);
  std::vector<uint8_t> out(jpg.begin(), jpg.begin() + long(app0End));
  for (uint8_t b : {0x00, 0x13, 0x37, 0xFF, 0x00, 0x42}) out.push_back(b);
  out.insert(out.end(), jpg.begin() + long(app0End), jpg.end());
  return out;
}

TEST(PicturePreview, DeclaredSizeOfBothFormats) {
  const Picture p = craft::TestPattern(37, 23, 24);
  int64_t w = 0, h = 0;
  const std::vector<uint8_t> bmp = EncodeImageFile("a.bmp", p), jpg = EncodeImageFile("a.jpg", p);
  ASSERT_TRUE(DeclaredSize(bmp.data(), bmp.size(), w, h));
  EXPECT_EQ(std::make_pair(w, h), std::make_pair(int64_t(37), int64_t(23)));
  w = h = 0;
  ASSERT_TRUE(DeclaredSize(jpg.data(), jpg.size(), w, h));
  EXPECT_EQ(std::make_pair(w, h), std::make_pair(int64_t(37), int64_t(23)));
  const std::vector<uint8_t> stray = WithStrayBytes(jpg);
  w = h = 0;
  ASSERT_TRUE(DeclaredSize(stray.data(), stray.size(), w, h));
  EXPECT_EQ(w, 37);
  EXPECT_EQ(PreviewPictureFromBytes(stray.data(), stray.size()).width, 37);
  // Top-down bitmaps declare a negative height.
  craft::BmpSpec s;
  s.width = 3, s.height = -70000, s.bits = 24;
  const std::vector<uint8_t> td = craft::MakeBmp(s);
  ASSERT_TRUE(DeclaredSize(td.data(), td.size(), w, h));
  EXPECT_EQ(h, 70000);
  for (size_t n : {size_t(0), size_t(1), size_t(2), size_t(25)}) EXPECT_FALSE(DeclaredSize(bmp.data(), n, w, h)) << n;
  EXPECT_FALSE(DeclaredSize(jpg.data(), 12, w, h));
  const uint8_t png[] = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
  EXPECT_FALSE(DeclaredSize(png, sizeof png, w, h));
}

// The preview refuses what declares too many pixels before decoding, even
// when stray bytes hide the frame header from a simple marker walk.
TEST(PicturePreview, TooManyPixelsAreNotDecoded) {
  const std::vector<uint8_t> jpg = EncodeImageFile("a.jpg", craft::TestPattern(64, 64, 24));
  std::vector<uint8_t> huge = WithStrayBytes(jpg);
  // Patch the frame header to 8448 x 16149 (138 Mpx beyond the preview's limit).
  for (size_t i = 2; i + 9 < huge.size(); ++i)
    if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
      huge[i + 5] = 16149 >> 8, huge[i + 6] = 16149 & 255, huge[i + 7] = 8448 >> 8, huge[i + 8] = 8448 & 255;
      break;
    }
  int64_t w = 0, h = 0;
  ASSERT_TRUE(DeclaredSize(huge.data(), huge.size(), w, h));
  EXPECT_EQ(w * h, int64_t(8448) * 16149);
  EXPECT_TRUE(PreviewPictureFromBytes(huge.data(), huge.size()).Empty());
  EXPECT_TRUE(PreviewPictureFromBytes(nullptr, 0).Empty());
  // PNG sides go up to 2^32 - 1, whose products overflow a 64-bit count.
  std::vector<uint8_t> png = EncodeImageFile("a.png", craft::TestPattern(4, 4, 24));
  for (uint32_t side : {0xFFFFFFFFu, 0x80000000u, 50'000'001u}) {
    for (int i = 0; i < 8; ++i) png[16 + size_t(i)] = uint8_t(side >> (24 - 8 * (i % 4)));
    EXPECT_TRUE(PreviewPictureFromBytes(png.data(), png.size()).Empty()) << side;
  }
}

TEST(PicturePreview, LoadsFilesWithinBounds) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "griv_preview_test";
  std::filesystem::create_directories(dir);
  const std::string bmp = (dir / "a.bmp").string(), empty = (dir / "e.jpg").string();
  WriteImageFileBytes(bmp, craft::TestPattern(5, 4, 8));
  WriteFileAtomic(empty, "x", 1);
  EXPECT_EQ(LoadPreviewPicture(bmp).height, 4);
  EXPECT_TRUE(LoadPreviewPicture(empty).Empty());
  EXPECT_TRUE(LoadPreviewPicture(dir.string()).Empty());
  EXPECT_TRUE(LoadPreviewPicture((dir / "none.bmp").string()).Empty());
  std::filesystem::remove_all(dir);
}

// Reductions average the pixels they cover; enlargements repeat them.
TEST(PicturePreview, ScalesByAveraging) {
  Picture stripes;
  stripes.Resize(4, 1, 24);
  for (int x = 0; x < 4; ++x) std::fill_n(stripes.Row(0) + 3 * x, 3, uint8_t(x % 2 ? 255 : 0));
  const Picture half = ScalePicture(stripes, 2, 1);
  ASSERT_EQ(half.width, 2);
  EXPECT_EQ(half.Row(0)[0], 128);
  const Picture twice = ScalePicture(stripes, 8, 2);
  EXPECT_EQ(twice.Row(1)[3 * 3], 255);
  EXPECT_EQ(twice.Row(1)[3 * 4], 0);
  EXPECT_TRUE(ScalePicture(stripes, 0, 5).Empty());
}

}  // namespace
}  // namespace griv
