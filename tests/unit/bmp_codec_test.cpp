#include "image/bmp_codec.h"

#include <gtest/gtest.h>

#include <climits>

#include "image_craft.h"

namespace griv {
namespace {

using craft::BmpSpec;
using craft::MakeBmp;

uint32_t Rgb(const Picture& p, int x, int y) {  // 0x00RRGGBB at any depth
  const uint8_t* r = p.Row(y);
  if (p.bpp == 8) return p.palette.at(r[x]);
  const uint8_t* px = r + x * (p.bpp / 8);
  return uint32_t(px[2]) << 16 | uint32_t(px[1]) << 8 | px[0];
}

TEST(BmpCodec, RoundTripsEachDepthBottomUpWithZeroXByte) {
  for (int bpp : {8, 24, 32}) {
    Picture src = craft::TestPattern(13, 7, bpp);
    if (bpp == 32)
      for (int i = 3; i < int(src.pixels.size()); i += 4) src.pixels[i] = 0xAB;
    const std::vector<uint8_t> file = WriteBmp(src);
    const uint32_t off = file[10] | file[11] << 8;
    ASSERT_EQ(file.size(), off + size_t(src.Stride()) * 7) << bpp;
    EXPECT_EQ(file[22], 7) << bpp;  // positive height: bottom-up
    const size_t topRow = off + size_t(src.Stride()) * 6;
    EXPECT_EQ(file[topRow], src.Row(0)[0]) << bpp;
    if (bpp == 32) {
      EXPECT_EQ(file[topRow + 3], 0);
    }

    const Picture back = ReadBmp(file);
    ASSERT_EQ(back.bpp, bpp);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 13; ++x) ASSERT_EQ(Rgb(back, x, y), Rgb(src, x, y)) << bpp << ": " << x << "," << y;
  }
  Picture noPalette;
  noPalette.Resize(3, 2, 8);
  noPalette.Row(0)[1] = 200;
  EXPECT_EQ(Rgb(ReadBmp(WriteBmp(noPalette)), 1, 0), 0xC8C8C8u);  // grey ramp
  EXPECT_THROW(WriteBmp(Picture()), EInvalidPicture);
}

TEST(BmpCodec, ReadsPaletteDepthsAndOldHeader) {
  const std::vector<std::vector<uint8_t>> rows = {{1, 0, 2, 15, 1, 0, 0, 0, 1, 2}, {2, 2, 0, 1, 14, 1, 1, 0, 0, 3}};
  BmpSpec s4;  // 4 bpp with a short colour table: the rest reads as black
  s4.width = 10, s4.height = 2, s4.bits = 4, s4.palette = {0x112233, 0x445566, 0x778899};
  s4.pixels = craft::PackIndexRows(rows, 4);
  const Picture p4 = ReadBmp(MakeBmp(s4));
  ASSERT_EQ(p4.palette.size(), 16u);
  EXPECT_EQ(Rgb(p4, 2, 0), 0x778899u);
  EXPECT_EQ(Rgb(p4, 3, 0), 0u);
  EXPECT_EQ(p4.Row(1)[4], 14);

  std::vector<std::vector<uint8_t>> bits = rows;
  for (auto& r : bits)
    for (auto& v : r) v &= 1;
  BmpSpec s1 = s4;
  s1.bits = 1, s1.pixels = craft::PackIndexRows(bits, 1);
  const Picture p1 = ReadBmp(MakeBmp(s1));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(p1.Row(y)[x], bits[y][x]) << x << "," << y;

  BmpSpec core;  // OS/2 core header: 16-bit sizes, 3-byte colours
  core.headerSize = 12, core.width = 2, core.height = 2, core.bits = 8;
  core.palette.assign(256, 0);
  core.palette[7] = 0xABCDEF;
  core.pixels = craft::PackIndexRows({{7, 0}, {0, 7}}, 8);
  const Picture pc = ReadBmp(MakeBmp(core));
  EXPECT_EQ(Rgb(pc, 0, 0), 0xABCDEFu);
  EXPECT_EQ(Rgb(pc, 1, 0), 0u);
}

TEST(BmpCodec, ReadsSixteenBitAndBitFieldFormats) {
  BmpSpec s;
  s.width = 3, s.height = 1, s.bits = 16;
  s.pixels = {0x00, 0x7C, 0xE0, 0x03, 0x10, 0x00, 0, 0};  // 5-5-5: red, green, 16/31 blue
  Picture p = ReadBmp(MakeBmp(s));
  ASSERT_EQ(p.bpp, 24);
  EXPECT_EQ(Rgb(p, 0, 0), 0xFF0000u);
  EXPECT_EQ(Rgb(p, 1, 0), 0x00FF00u);
  EXPECT_EQ(Rgb(p, 2, 0), 0x000084u);

  s.compression = 3, s.masks = {0xF800, 0x07E0, 0x001F};  // 5-6-5 after a 40-byte header
  s.pixels = {0x00, 0xF8, 0x00, 0x04, 0xFF, 0xFF, 0, 0};
  p = ReadBmp(MakeBmp(s));
  EXPECT_EQ(Rgb(p, 0, 0), 0xFF0000u);
  EXPECT_EQ(Rgb(p, 1, 0), 0x008200u);  // 32/63 green
  EXPECT_EQ(Rgb(p, 2, 0), 0xFFFFFFu);

  BmpSpec v5;  // V5 header, 10-bit channels in the header's masks, top-down
  v5.headerSize = 124, v5.width = 2, v5.height = -2, v5.bits = 32, v5.compression = 3;
  v5.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
  for (uint32_t px : {0x3FF00000u, 0x000003FFu, 0x000FFC00u, 0x20080200u}) craft::Put32(v5.pixels, px);
  p = ReadBmp(MakeBmp(v5));
  ASSERT_EQ(p.bpp, 32);
  EXPECT_EQ(Rgb(p, 0, 0), 0xFF0000u);
  EXPECT_EQ(Rgb(p, 1, 0), 0x0000FFu);
  EXPECT_EQ(Rgb(p, 0, 1), 0x00FF00u);
  EXPECT_EQ(Rgb(p, 1, 1), 0x808080u);
  EXPECT_EQ(p.Row(0)[3], 0);
}

void ExpectIndexes(const Picture& p, const std::vector<std::vector<uint8_t>>& want) {
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) EXPECT_EQ(p.Row(y)[x], want[y][x]) << x << "," << y;
}

TEST(BmpCodec, DecodesRunLengthDataClippedToThePicture) {
  BmpSpec s;
  s.width = 6, s.height = 3, s.bits = 8, s.compression = 1;
  s.palette.assign(256, 0);
  // run 9; literal 1 2 3 (padded); end of line; delta to the top row at x 2;
  // a run past the right edge is cut; end of bitmap; anything after is ignored.
  s.pixels = {3, 9, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 1, 20, 5, 0, 1, 7, 7};
  ExpectIndexes(ReadBmp(MakeBmp(s)), {{0, 0, 5, 5, 5, 5}, {0, 0, 0, 0, 0, 0}, {9, 9, 9, 1, 2, 3}});
  // A literal run past the edge is cut and its data skipped; a delta past the
  // top ends the picture; no end mark is needed.
  s.pixels = {0, 8, 1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 2, 4, 0, 2, 0, 200, 1, 1};
  ExpectIndexes(ReadBmp(MakeBmp(s)), {{0, 0, 0, 0, 0, 0}, {4, 4, 0, 0, 0, 0}, {1, 2, 3, 4, 5, 6}});

  BmpSpec s4 = s;
  s4.width = 5, s4.height = 2, s4.bits = 4, s4.compression = 2, s4.palette.assign(16, 0);
  s4.pixels = {5, 0x12, 0, 0, 0, 3, 0xAB, 0xC0, 0, 1};  // alternating run; literal of three nibbles
  ExpectIndexes(ReadBmp(MakeBmp(s4)), {{10, 11, 12, 0, 0}, {1, 2, 1, 2, 1}});
}

TEST(BmpCodec, TruncatedCorruptOrHostileDataThrows) {
  const std::vector<uint8_t> file = WriteBmp(craft::TestPattern(9, 5, 24));
  for (size_t n = 0; n < file.size() - 1; ++n) ASSERT_THROW(ReadBmp(file.data(), n), EInvalidPicture) << n;
  EXPECT_NO_THROW(ReadBmp(file.data(), file.size() - 1));  // the last row's padding may be missing

  struct Case {
    const char* what;
    void (*edit)(BmpSpec&);
  } cases[] = {
      {"zero width", [](BmpSpec& s) { s.width = 0; }},
      {"negative width", [](BmpSpec& s) { s.width = -4; }},
      {"INT_MIN height", [](BmpSpec& s) { s.height = INT_MIN; }},
      {"too wide", [](BmpSpec& s) { s.width = 70000; }},
      {"huge size, tiny file", [](BmpSpec& s) { s.width = s.height = 60000; }},
      {"bit depth", [](BmpSpec& s) { s.bits = 7; }},
      {"embedded JPEG", [](BmpSpec& s) { s.compression = 4; }},
      {"RLE8 at 24 bpp", [](BmpSpec& s) { s.compression = 1; }},
      {"header size", [](BmpSpec& s) { s.headerSize = 20; }},
      {"offset past the end", [](BmpSpec& s) { s.offBits = 5000; }},
      {"offset inside the header", [](BmpSpec& s) { s.offBits = 20; }},
      {"top-down RLE", [](BmpSpec& s) { s.bits = 8, s.compression = 1, s.height = -2, s.palette.assign(256, 0); }},
      {"literal cut short", [](BmpSpec& s) { s.bits = 8, s.compression = 1, s.pixels = {0, 10, 1, 2, 3}; }},
      {"delta cut short", [](BmpSpec& s) { s.bits = 8, s.compression = 1, s.pixels = {0, 2, 1}; }},
  };
  for (const Case& c : cases) {
    BmpSpec s;
    s.width = 2, s.height = 2, s.bits = 24, s.pixels.assign(16, 0x40);
    c.edit(s);
    if (s.bits == 8 && s.palette.empty()) s.palette.assign(256, 0);
    EXPECT_THROW(ReadBmp(MakeBmp(s)), EInvalidPicture) << c.what;
  }
  std::vector<uint8_t> bad = file;
  bad[1] = 'X';
  EXPECT_THROW(ReadBmp(bad), EInvalidPicture);
  EXPECT_THROW(ReadBmp(nullptr, 0), EInvalidPicture);
}

}  // namespace
}  // namespace griv
