#include "image/jpeg_codec.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "image_craft.h"

namespace griv {
namespace {

uint32_t Rgb(const Picture& p, int x, int y) {  // 0x00RRGGBB at any depth
  const uint8_t* r = p.Row(y);
  if (p.bpp == 8) return p.palette.at(r[x]);
  const uint8_t* px = r + x * (p.bpp / 8);
  return uint32_t(px[2]) << 16 | uint32_t(px[1]) << 8 | px[0];
}

double MeanError(const Picture& a, const Picture& b) {  // per channel
  double sum = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      for (int s = 0; s < 24; s += 8) sum += std::abs(int(Rgb(a, x, y) >> s & 255) - int(Rgb(b, x, y) >> s & 255));
  return sum / (3.0 * a.width * a.height);
}

uint8_t Luma(const Picture& p, int x, int y) {
  const uint32_t c = Rgb(p, x, y);
  return uint8_t(0.299 * (c >> 16 & 255) + 0.587 * (c >> 8 & 255) + 0.114 * (c & 255) + 0.5);
}

Picture Gradient(int w, int h) {  // soft picture for tight error bounds
  Picture p;
  p.Resize(w, h, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* px = p.Row(y) + 3 * x;
      px[0] = uint8_t(x * 255 / w), px[1] = uint8_t(y * 255 / h), px[2] = uint8_t(128 + 100 * std::sin(x * 0.05));
    }
  return p;
}

size_t FindMarker(const std::vector<uint8_t>& f, uint8_t code) {  // header segments only
  for (size_t i = 2; i + 4 <= f.size() && f[i] == 0xFF && f[i + 1] != 0xDA; i += 2 + (f[i + 2] << 8 | f[i + 3]))
    if (f[i + 1] == code) return i;
  return std::string::npos;
}

TEST(JpegCodec, WritesBaselineJfifQuality90AndRoundTrips) {
  const Picture soft = Gradient(101, 37);
  const std::vector<uint8_t> f = EncodeJpeg(soft);
  const size_t app0 = FindMarker(f, 0xE0), sof = FindMarker(f, 0xC0), dqt = FindMarker(f, 0xDB);
  ASSERT_NE(app0, std::string::npos);
  EXPECT_EQ(std::string(f.begin() + app0 + 4, f.begin() + app0 + 8), "JFIF");
  ASSERT_NE(sof, std::string::npos);  // baseline frame, not progressive
  EXPECT_EQ(f[sof + 9], 3);           // colour
  EXPECT_EQ(f[dqt + 5], 3);           // luminance DC step 16 at quality 90

  const Picture back = DecodeJpeg(f);
  ASSERT_EQ(back.width, 101);
  ASSERT_EQ(back.height, 37);
  ASSERT_EQ(back.bpp, 24);
  EXPECT_LT(MeanError(soft, back), 2.0);
  const Picture shot = craft::TestPattern(160, 120, 24);
  EXPECT_LT(MeanError(shot, DecodeJpeg(EncodeJpeg(shot))), 6.0);
  EXPECT_THROW(EncodeJpeg(Picture()), EInvalidPicture);
}

TEST(JpegCodec, EveryDepthCodesAsItsTwentyFourBitForm) {
  Picture p8 = craft::TestPattern(45, 30, 8), p32 = craft::TestPattern(45, 30, 32);
  for (int i = 3; i < int(p32.pixels.size()); i += 4) p32.pixels[i] = uint8_t(i);  // the X byte must not matter
  EXPECT_EQ(EncodeJpeg(p8), EncodeJpeg(ConvertTo24(p8)));
  EXPECT_EQ(EncodeJpeg(p32), EncodeJpeg(ConvertTo24(p32)));
}

TEST(JpegCodec, GreyAndPaletteOutputs) {
  const Picture src = craft::TestPattern(96, 64, 24);
  const std::vector<uint8_t> f = EncodeJpeg(src);
  JpegDecodeOptions grey;
  grey.grey = grey.palette8 = true;  // grey wins
  const Picture g = DecodeJpeg(f, grey);
  ASSERT_EQ(g.bpp, 8);
  ASSERT_EQ(g.palette, GreyPalette());
  double err = 0;
  for (int y = 0; y < src.height; ++y)
    for (int x = 0; x < src.width; ++x) err += std::abs(Luma(src, x, y) - g.Row(y)[x]);
  EXPECT_LT(err / (src.width * src.height), 5.0);

  JpegDecodeOptions pal;
  pal.palette8 = true;
  const Picture q = DecodeJpeg(f, pal);
  ASSERT_EQ(q.bpp, 8);
  ASSERT_GE(q.palette.size(), 16u);
  ASSERT_LE(q.palette.size(), 256u);
  EXPECT_LT(MeanError(src, q), 12.0);  // Rgb() checks each index against the palette
}

// Rows are saved and copied whole: their padding is zero in every output form.
TEST(JpegCodec, RowPaddingIsCleared) {
  const std::vector<uint8_t> f = EncodeJpeg(craft::TestPattern(5, 3, 24));
  for (int form = 0; form < 3; ++form) {
    JpegDecodeOptions o;
    o.grey = form == 1, o.palette8 = form == 2;
    const Picture p = DecodeJpeg(f, o);
    const int used = p.width * p.bpp / 8;
    ASSERT_LT(used, p.Stride());
    for (int y = 0; y < p.height; ++y)
      for (int i = used; i < p.Stride(); ++i) EXPECT_EQ(p.Row(y)[i], 0) << form << " " << y << " " << i;
  }
}

TEST(JpegCodec, DecodesKindsTheProgramDoesNotWrite) {
  const Picture src = Gradient(40, 80);
  JpegDecodeOptions grey;
  grey.grey = true;
  for (auto kind : {craft::JpegKind::Baseline444, craft::JpegKind::Progressive, craft::JpegKind::Arithmetic,
                    craft::JpegKind::CmykAdobe}) {
    const std::vector<uint8_t> f = craft::MakeJpeg(src, kind, 95);
    const Picture p = DecodeJpeg(f);
    ASSERT_EQ(p.bpp, 24);
    EXPECT_LT(MeanError(src, p), 3.0) << int(kind);
    EXPECT_NEAR(DecodeJpeg(f, grey).Row(10)[20], Luma(src, 20, 10), 6.0) << int(kind);
    JpegDecodeOptions pal;
    pal.palette8 = true;
    EXPECT_LT(MeanError(src, DecodeJpeg(f, pal)), 12.0) << int(kind);
  }
  const Picture g = DecodeJpeg(craft::MakeJpeg(src, craft::JpegKind::Grey, 95));  // one component: 24-bit grey
  ASSERT_EQ(g.bpp, 24);
  EXPECT_EQ(Rgb(g, 30, 5), (Rgb(g, 30, 5) & 255) * 0x010101u);
}

TEST(JpegCodec, CorruptTruncatedOrOversizedDataThrows) {
  const std::vector<uint8_t> good = EncodeJpeg(craft::TestPattern(64, 64, 24));
  EXPECT_THROW(DecodeJpeg(nullptr, 0), EInvalidPicture);
  for (size_t n = 1; n + 2 < good.size(); n += 37) ASSERT_THROW(DecodeJpeg(good.data(), n), EInvalidPicture) << n;
  EXPECT_NO_THROW(DecodeJpeg(good.data(), good.size() - 2));  // only the end marker missing
  // Arithmetic coding pads short data silently; the end of the file still gives it away.
  const std::vector<uint8_t> arith = craft::MakeJpeg(craft::TestPattern(64, 160, 24), craft::JpegKind::Arithmetic);
  EXPECT_THROW(DecodeJpeg(arith.data(), arith.size() / 2), EInvalidPicture);
  std::vector<uint8_t> cut(arith.begin(), arith.begin() + arith.size() / 2);  // ends with a marker instead
  cut.insert(cut.end(), {0xFF, 0xD9});
  EXPECT_THROW(DecodeJpeg(cut), EInvalidPicture);

  std::vector<uint8_t> damaged = good;  // may be repaired or refused, never a crash
  for (size_t i = good.size() / 2; i < good.size() / 2 + 40; ++i) damaged[i] ^= 0x5A;
  try {
    EXPECT_EQ(DecodeJpeg(damaged).width, 64);
  } catch (const EInvalidPicture&) {
  }

  // Frame headers that claim far more than the data holds fail at once.
  const auto t0 = std::chrono::steady_clock::now();
  for (auto [kind, sofCode, size] : {std::tuple{craft::JpegKind::Progressive, 0xC2, 60000},
                                     std::tuple{craft::JpegKind::Baseline444, 0xC0, 12000}}) {
    std::vector<uint8_t> f = craft::MakeJpeg(Gradient(16, 16), kind);
    const size_t sof = FindMarker(f, uint8_t(sofCode));
    f[sof + 5] = f[sof + 7] = uint8_t(size >> 8);
    f[sof + 6] = f[sof + 8] = uint8_t(size);
    EXPECT_THROW(DecodeJpeg(f), EInvalidPicture) << size;
  }
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
}

}  // namespace
}  // namespace griv
