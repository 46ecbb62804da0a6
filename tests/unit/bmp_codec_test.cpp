#include "app/bmp_codec.h"

#include <gtest/gtest.h>

#include <climits>

#include "image_craft.h"

namespace griv {
namespace {

using craft::BmpSpec;
using craft::MakeBmp;

uint32_t Rd32(const std::vector<uint8_t>& v, size_t at) {
  return uint32_t(v[at]) | uint32_t(v[at + 1]) << 8 | uint32_t(v[at + 2]) << 16 | uint32_t(v[at + 3]) << 24;
}

// Colour of pixel (x, y) as 0x00RRGGBB, whatever the depth.
uint32_t Rgb(const Picture& p, int x, int y) {
  const uint8_t* r = p.Row(y);
  if (p.bpp == 8) return p.palette.at(r[x]);
  const uint8_t* px = r + x * (p.bpp / 8);
  return uint32_t(px[2]) << 16 | uint32_t(px[1]) << 8 | px[0];
}

TEST(BmpCodec, RoundTripsEachDepthWithOddWidths) {
  for (int bpp : {8, 24, 32}) {
    SCOPED_TRACE(bpp);
    Picture src = craft::TestPattern(13, 7, bpp);
    if (bpp == 32)
      for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x) src.Row(y)[4 * x + 3] = 0xAB;
    const std::vector<uint8_t> file = WriteBmp(src);

    ASSERT_GE(file.size(), 54u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(Rd32(file, 2), file.size());
    EXPECT_EQ(Rd32(file, 14), 40u);
    EXPECT_EQ(int32_t(Rd32(file, 22)), 7);  // positive: bottom-up
    EXPECT_EQ(Rd32(file, 30), 0u);          // BI_RGB
    const uint32_t off = Rd32(file, 10);
    EXPECT_EQ(off, 54u + (bpp == 8 ? 216u * 4 : 0u));
    EXPECT_EQ(file.size(), off + size_t(src.Stride()) * 7);
    if (bpp == 32) {  // the X byte is written as 0; the last stored row is the top row
      const size_t lastRow = off + size_t(src.Stride()) * 6;
      EXPECT_EQ(file[lastRow + 3], 0);
      EXPECT_EQ(file[lastRow + 0], src.Row(0)[0]);
    }

    const Picture back = ReadBmp(file);
    ASSERT_EQ(back.width, 13);
    ASSERT_EQ(back.height, 7);
    ASSERT_EQ(back.bpp, bpp);
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 13; ++x) ASSERT_EQ(Rgb(back, x, y), Rgb(src, x, y)) << x << "," << y;
    if (bpp == 8) {
      EXPECT_EQ(back.Row(3)[5], src.Row(3)[5]);
    }
    if (bpp == 32) {
      EXPECT_EQ(back.Row(0)[3], 0);
    }
  }
}

TEST(BmpCodec, EightBitWithoutPaletteIsWrittenWithGreyRamp) {
  Picture p;
  p.Resize(3, 2, 8);
  p.Row(0)[1] = 200;
  const Picture back = ReadBmp(WriteBmp(p));
  EXPECT_EQ(Rgb(back, 1, 0), 0xC8C8C8u);
  EXPECT_THROW(WriteBmp(Picture()), EInvalidPicture);
}

TEST(BmpCodec, ReadsLowDepthsThroughThePalette) {
  // 1 bpp, 10 wide (two bytes a row), bottom-up.
  std::vector<std::vector<uint8_t>> rows1 = {{1, 0, 0, 0, 0, 0, 0, 0, 0, 1}, {0, 1, 1, 0, 0, 0, 0, 0, 1, 0}};
  BmpSpec s1;
  s1.width = 10, s1.height = 2, s1.bits = 1;
  s1.palette = {0x000000, 0xFFFFFF};
  s1.pixels = craft::PackIndexRows(rows1, 1);
  Picture p1 = ReadBmp(MakeBmp(s1));
  ASSERT_EQ(p1.bpp, 8);
  ASSERT_EQ(p1.palette.size(), 2u);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(p1.Row(y)[x], rows1[y][x]) << x << "," << y;

  // 4 bpp, odd width, a short colour table (3 of 16): the rest reads as black.
  std::vector<std::vector<uint8_t>> rows4 = {{0, 1, 2, 15, 1}, {2, 2, 0, 1, 14}, {1, 0, 2, 2, 2}};
  BmpSpec s4;
  s4.width = 5, s4.height = 3, s4.bits = 4;
  s4.palette = {0x112233, 0x445566, 0x778899};
  s4.pixels = craft::PackIndexRows(rows4, 4);
  Picture p4 = ReadBmp(MakeBmp(s4));
  ASSERT_EQ(p4.palette.size(), 16u);
  EXPECT_EQ(Rgb(p4, 0, 0), 0x112233u);
  EXPECT_EQ(Rgb(p4, 1, 0), 0x445566u);
  EXPECT_EQ(Rgb(p4, 2, 0), 0x778899u);
  EXPECT_EQ(Rgb(p4, 3, 0), 0u);
  EXPECT_EQ(p4.Row(1)[4], 14);
  EXPECT_EQ(p4.Row(2)[0], 1);

  // Old OS/2 core header: 3-byte palette entries, 8 bpp.
  BmpSpec sc;
  sc.headerSize = 12, sc.width = 2, sc.height = 2, sc.bits = 8;
  sc.palette.assign(256, 0);
  sc.palette[7] = 0xABCDEF;
  sc.pixels = craft::PackIndexRows({{7, 0}, {0, 7}}, 8);
  Picture pc = ReadBmp(MakeBmp(sc));
  EXPECT_EQ(Rgb(pc, 0, 0), 0xABCDEFu);
  EXPECT_EQ(Rgb(pc, 1, 1), 0xABCDEFu);
  EXPECT_EQ(Rgb(pc, 1, 0), 0u);
}

TEST(BmpCodec, ReadsSixteenBitFormatsAndBitFields) {
  auto pixels16 = [](std::vector<uint16_t> v) {  // one row, padded
    std::vector<uint8_t> out;
    for (uint16_t x : v) craft::Put16(out, x);
    while (out.size() % 4) out.push_back(0);
    return out;
  };
  BmpSpec s;
  s.width = 3, s.height = 1, s.bits = 16;
  s.pixels = pixels16({0x7C00, 0x03E0, 0x0010});  // 5-5-5: red, green, half blue
  Picture p = ReadBmp(MakeBmp(s));
  ASSERT_EQ(p.bpp, 24);
  EXPECT_EQ(Rgb(p, 0, 0), 0xFF0000u);
  EXPECT_EQ(Rgb(p, 1, 0), 0x00FF00u);
  EXPECT_EQ(Rgb(p, 2, 0), 0x000084u);  // 16 of 31

  s.compression = 3;  // 5-6-5 bit fields after a 40-byte header
  s.masks = {0xF800, 0x07E0, 0x001F};
  s.pixels = pixels16({0xF800, 0x0400, 0xFFFF});
  p = ReadBmp(MakeBmp(s));
  EXPECT_EQ(Rgb(p, 0, 0), 0xFF0000u);
  EXPECT_EQ(Rgb(p, 1, 0), 0x008200u);  // 32 of 63
  EXPECT_EQ(Rgb(p, 2, 0), 0xFFFFFFu);

  // V5 header, 32 bpp with 10-bit channels (2-10-10-10), top-down.
  BmpSpec v5;
  v5.headerSize = 124, v5.width = 2, v5.height = -2, v5.bits = 32, v5.compression = 3;
  v5.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
  for (uint32_t px : {0x3FF00000u, 0x000003FFu, 0x000FFC00u, 0x20080200u}) craft::Put32(v5.pixels, px);
  p = ReadBmp(MakeBmp(v5));
  ASSERT_EQ(p.bpp, 32);
  EXPECT_EQ(Rgb(p, 0, 0), 0xFF0000u);  // first stored row is the top row
  EXPECT_EQ(Rgb(p, 1, 0), 0x0000FFu);
  EXPECT_EQ(Rgb(p, 0, 1), 0x00FF00u);
  EXPECT_EQ(Rgb(p, 1, 1), 0x808080u);
  EXPECT_EQ(p.Row(0)[3], 0);
}

TEST(BmpCodec, ReadsTopDownAndPlain32) {
  BmpSpec s;
  s.width = 1, s.height = -2, s.bits = 24;
  s.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
  Picture p = ReadBmp(MakeBmp(s));
  EXPECT_EQ(Rgb(p, 0, 0), 0x030201u);
  EXPECT_EQ(Rgb(p, 0, 1), 0x060504u);

  BmpSpec s32;
  s32.width = 1, s32.height = 2, s32.bits = 32;
  s32.pixels = {1, 2, 3, 0xFF, 4, 5, 6, 0xFF};  // bottom row first; alpha dropped
  p = ReadBmp(MakeBmp(s32));
  EXPECT_EQ(Rgb(p, 0, 0), 0x060504u);
  EXPECT_EQ(p.Row(0)[3], 0);
}

TEST(BmpCodec, DecodesRle8WithClippingAndAllOpcodes) {
  BmpSpec s;
  s.width = 6, s.height = 3, s.bits = 8, s.compression = 1;
  s.palette.assign(256, 0);
  for (int i = 0; i < 256; ++i) s.palette[i] = uint32_t(i);
  s.pixels = {
      3, 9,              // bottom row: 9 9 9
      0, 3, 1, 2, 3, 0,  // literal 1 2 3 (padded to even)
      0, 0,              // end of line
      0, 2, 2, 1,        // delta: right 2, up 1 -> top row at x 2
      20, 5,             // run past the right edge is cut off
      0, 1,              // end of bitmap
      7, 7,              // after the end: ignored
  };
  Picture p = ReadBmp(MakeBmp(s));
  ASSERT_EQ(p.bpp, 8);
  const std::vector<std::vector<uint8_t>> want = {{0, 0, 5, 5, 5, 5}, {0, 0, 0, 0, 0, 0}, {9, 9, 9, 1, 2, 3}};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(p.Row(y)[x], want[y][x]) << x << "," << y;

  // A stream without its end mark keeps what it decoded; a delta past the
  // top ends it; a literal run past the edge is cut and its data skipped.
  s.pixels = {0, 8, 1, 2, 3, 4, 5, 6, 7, 8, 0, 0, 2, 4, 0, 2, 0, 200, 1, 1};
  p = ReadBmp(MakeBmp(s));
  EXPECT_EQ(p.Row(2)[5], 6);
  EXPECT_EQ(p.Row(1)[0], 4);
  EXPECT_EQ(p.Row(1)[1], 4);
  EXPECT_EQ(p.Row(1)[2], 0);
}

TEST(BmpCodec, DecodesRle4) {
  BmpSpec s;
  s.width = 5, s.height = 2, s.bits = 4, s.compression = 2;
  s.palette.assign(16, 0);
  s.pixels = {5, 0x12, 0, 0,           // bottom: 1 2 1 2 1
              0, 3, 0xAB, 0xC0, 0, 1};  // top: literal A B C, then end
  Picture p = ReadBmp(MakeBmp(s));
  const std::vector<std::vector<uint8_t>> want = {{10, 11, 12, 0, 0}, {1, 2, 1, 2, 1}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(p.Row(y)[x], want[y][x]) << x << "," << y;
}

TEST(BmpCodec, EveryTruncationOfAPlainFileThrows) {
  const std::vector<uint8_t> file = WriteBmp(craft::TestPattern(9, 5, 24));
  for (size_t n = 0; n < file.size() - 1; ++n)  // the last row's padding may be missing
    EXPECT_THROW(ReadBmp(file.data(), n), EInvalidPicture) << n;
  EXPECT_NO_THROW(ReadBmp(file.data(), file.size() - 1));
  EXPECT_THROW(ReadBmp(nullptr, 0), EInvalidPicture);
}

TEST(BmpCodec, HostileHeadersThrowWithoutAllocating) {
  auto base = [] {
    BmpSpec s;
    s.width = 2, s.height = 2, s.bits = 24;
    s.pixels.assign(16, 0x40);
    return s;
  };
  auto expectBad = [](const BmpSpec& s, const char* what) {
    EXPECT_THROW(ReadBmp(MakeBmp(s)), EInvalidPicture) << what;
  };
  BmpSpec s = base();
  EXPECT_NO_THROW(ReadBmp(MakeBmp(s)));
  s = base(), s.width = 0, expectBad(s, "zero width");
  s = base(), s.width = -4, expectBad(s, "negative width");
  s = base(), s.height = 0, expectBad(s, "zero height");
  s = base(), s.height = INT_MIN, expectBad(s, "INT_MIN height");
  s = base(), s.width = 70000, expectBad(s, "too wide");
  s = base(), s.width = 60000, s.height = 60000, expectBad(s, "huge size, tiny file");
  s = base(), s.bits = 7, expectBad(s, "bit depth");
  s = base(), s.compression = 4, expectBad(s, "embedded JPEG");
  s = base(), s.compression = 1, expectBad(s, "RLE8 at 24 bpp");
  s = base(), s.compression = 3, expectBad(s, "bit fields at 24 bpp");
  s = base(), s.headerSize = 20, expectBad(s, "header size");
  s = base(), s.offBits = 5000, expectBad(s, "offset past the end");
  s = base(), s.offBits = 20, expectBad(s, "offset inside the header");

  BmpSpec pal;
  pal.width = 2, pal.height = 1, pal.bits = 8, pal.palette = {0xFF};
  pal.pixels = {0, 0, 0, 0};
  pal.clrUsed = 0xFFFFFFF0;  // absurd count: capped, the table still fits
  EXPECT_NO_THROW(ReadBmp(MakeBmp(pal)));
  pal.palette.clear(), pal.clrUsed = 200, pal.offBits = 54 + 800;  // table promised, file too short
  expectBad(pal, "colour table past the end");

  BmpSpec rle;
  rle.width = 4, rle.height = -2, rle.bits = 8, rle.compression = 1;
  rle.palette.assign(256, 0);
  rle.pixels = {0, 1};
  expectBad(rle, "top-down RLE");
  rle.height = 2, rle.pixels = {0, 10, 1, 2, 3};  // literal run cut short
  expectBad(rle, "truncated literal");
  rle.pixels = {0, 2, 1};  // delta without its operands
  expectBad(rle, "truncated delta");

  std::vector<uint8_t> bad = MakeBmp(base());
  bad[1] = 'X';
  EXPECT_THROW(ReadBmp(bad), EInvalidPicture);
}

}  // namespace
}  // namespace griv
