#include "image/clipboard_dib.h"

#include <gtest/gtest.h>

#include "image/bmp_codec.h"

namespace griv {
namespace {

std::vector<uint8_t> PackedFrom(const Picture& pic) {
  const std::vector<uint8_t> file = WriteBmp(pic);
  return std::vector<uint8_t>(file.begin() + 14, file.end());
}

void Put32(std::vector<uint8_t>& d, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) d[at + i] = uint8_t(v >> (8 * i));
}

TEST(ClipboardDib, ReadsWhatABitmapFileHoldsWithoutItsFileHeader) {
  for (int bits : {8, 24, 32}) {
    Picture pic;
    pic.Resize(5, 3, bits);
    if (bits == 8) pic.palette = GreyPalette();
    for (size_t i = 0; i < pic.pixels.size(); ++i) pic.pixels[i] = uint8_t(i * 7);
    if (bits == 32)
      for (size_t i = 3; i < pic.pixels.size(); i += 4) pic.pixels[i] = 0;
    const std::vector<uint8_t> dib = PackedFrom(pic);
    const Picture back = ReadPackedDib(dib.data(), dib.size());
    EXPECT_EQ(back.width, 5);
    EXPECT_EQ(back.height, 3);
    EXPECT_EQ(back.bpp, bits);
    for (int y = 0; y < 3; ++y)
      EXPECT_EQ(0, memcmp(back.Row(y), pic.Row(y), size_t(5) * (bits / 8))) << bits << " row " << y;
  }
}

TEST(ClipboardDib, BitFieldMasksAfterAnInfoHeaderAreSkipped) {
  // 16-bit 5-6-5 with its three masks behind a 40-byte header, as programs put it on the clipboard.
  std::vector<uint8_t> d(40 + 12 + 4, 0);
  Put32(d, 0, 40);
  Put32(d, 4, 2);
  Put32(d, 8, 1);
  d[12] = 1;
  d[14] = 16;
  Put32(d, 16, 3);
  Put32(d, 40, 0xF800);
  Put32(d, 44, 0x07E0);
  Put32(d, 48, 0x001F);
  d[52] = 0x00, d[53] = 0xF8;  // pure red
  d[54] = 0x1F, d[55] = 0x00;  // pure blue
  const Picture p = ReadPackedDib(d.data(), d.size());
  ASSERT_EQ(p.bpp, 24);
  EXPECT_GT(p.Row(0)[2], 240);
  EXPECT_LT(p.Row(0)[0], 10);
  EXPECT_GT(p.Row(0)[3], 240);
}

// The colour of pixel x of row 0, 0x00RRGGBB, through the palette of an 8-bit picture.
uint32_t ColourAt(const Picture& p, int x) {
  const uint8_t* px = p.Row(0) + x * (p.bpp / 8);
  return p.bpp == 8 ? p.palette.at(px[0]) : uint32_t(px[2]) << 16 | px[1] << 8 | px[0];
}

TEST(ClipboardDib, LargerAndSmallerHeadersFindTheirPixels) {
  // A version-5 header holds its masks itself: nothing follows it but the pixels.
  std::vector<uint8_t> v5(124 + 4, 0);
  Put32(v5, 0, 124);
  Put32(v5, 4, 2);
  Put32(v5, 8, 1);
  v5[12] = 1, v5[14] = 16;
  Put32(v5, 16, 3);
  Put32(v5, 40, 0xF800), Put32(v5, 44, 0x07E0), Put32(v5, 48, 0x001F);
  v5[124] = 0x00, v5[125] = 0xF8, v5[126] = 0x1F, v5[127] = 0x00;  // red, blue
  Picture p = ReadPackedDib(v5.data(), v5.size());
  EXPECT_GT(ColourAt(p, 0) >> 16, 240u);
  EXPECT_GT(ColourAt(p, 1) & 0xFF, 240u);

  // ... and with a palette of two four-byte entries behind it.
  std::vector<uint8_t> pal(124 + 8 + 4, 0);
  Put32(pal, 0, 124);
  Put32(pal, 4, 2);
  Put32(pal, 8, 1);
  pal[12] = 1, pal[14] = 8;
  Put32(pal, 32, 2);
  Put32(pal, 124, 0x00FF0000), Put32(pal, 128, 0x000000FF);
  pal[132] = 1, pal[133] = 0;
  p = ReadPackedDib(pal.data(), pal.size());
  EXPECT_EQ(ColourAt(p, 0), 0x0000FFu);
  EXPECT_EQ(ColourAt(p, 1), 0xFF0000u);

  // The old 12-byte header has three-byte palette entries.
  std::vector<uint8_t> core(12 + 6 + 4, 0);
  core[0] = 12, core[4] = 8, core[6] = 1, core[8] = 1, core[10] = 1;
  core[12] = 0, core[13] = 0, core[14] = 0xFF;  // 0: red
  core[15] = 0xFF, core[16] = 0, core[17] = 0;  // 1: blue
  core[18] = 0xA0;                              // 1 0 1 0 0 0 0 0
  p = ReadPackedDib(core.data(), core.size());
  for (int x = 0; x < 8; ++x) EXPECT_EQ(ColourAt(p, x), x == 0 || x == 2 ? 0x0000FFu : 0xFF0000u) << x;
}

TEST(ClipboardDib, DamagedOrHugePicturesAreRefusedBeforeAnythingLargeIsMade) {
  Picture pic;
  pic.Resize(4, 4, 24);
  std::vector<uint8_t> dib = PackedFrom(pic);
  EXPECT_THROW(ReadPackedDib(dib.data(), 30), EInvalidPicture);               // cut inside the header
  EXPECT_THROW(ReadPackedDib(dib.data(), dib.size() - 20), EInvalidPicture);  // cut inside the pixels
  EXPECT_THROW(ReadPackedDib(nullptr, 0), EInvalidPicture);
  std::vector<uint8_t> huge = dib;
  Put32(huge, 4, 60000);
  Put32(huge, 8, 60000);  // 3.6 gigapixels declared by a few bytes
  EXPECT_THROW(ReadPackedDib(huge.data(), huge.size()), EInvalidPicture);
  std::vector<uint8_t> odd = dib;
  Put32(odd, 0, 1000);  // a header longer than the data
  EXPECT_THROW(ReadPackedDib(odd.data(), odd.size()), EInvalidPicture);
}

}  // namespace
}  // namespace griv
