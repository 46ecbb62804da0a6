#include "app/jpeg_codec.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "image_craft.h"

namespace griv {
namespace {

// 0x00RRGGBB of pixel (x, y), whatever the depth.
uint32_t Rgb(const Picture& p, int x, int y) {
  const uint8_t* r = p.Row(y);
  if (p.bpp == 8) return p.palette.at(r[x]);
  const uint8_t* px = r + x * (p.bpp / 8);
  return uint32_t(px[2]) << 16 | uint32_t(px[1]) << 8 | px[0];
}

double MeanChannelError(const Picture& a, const Picture& b) {
  double sum = 0;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) {
      const uint32_t p = Rgb(a, x, y), q = Rgb(b, x, y);
      for (int s = 0; s < 24; s += 8) sum += std::abs(int((p >> s) & 255) - int((q >> s) & 255));
    }
  return sum / (3.0 * a.width * a.height);
}

// Soft picture (no text edges) for tight error bounds.
Picture Gradient(int w, int h) {
  Picture p;
  p.Resize(w, h, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* px = p.Row(y) + 3 * x;
      px[0] = uint8_t(x * 255 / w), px[1] = uint8_t(y * 255 / h), px[2] = uint8_t(128 + 100 * std::sin(x * 0.05));
    }
  return p;
}

// Offset of the first marker `code` in a JPEG stream (markers only, no entropy data scan).
size_t FindMarker(const std::vector<uint8_t>& f, uint8_t code) {
  size_t i = 2;
  while (i + 4 <= f.size() && f[i] == 0xFF) {
    if (f[i + 1] == code) return i;
    if (f[i + 1] == 0xDA) break;  // start of scan
    i += 2 + (size_t(f[i + 2]) << 8 | f[i + 3]);
  }
  return std::string::npos;
}

TEST(JpegCodec, WritesBaselineJfifAtQuality90) {
  const Picture src = Gradient(64, 48);
  const std::vector<uint8_t> f = EncodeJpeg(src);
  ASSERT_GT(f.size(), 200u);
  EXPECT_EQ(f[0], 0xFF);
  EXPECT_EQ(f[1], 0xD8);
  const size_t app0 = FindMarker(f, 0xE0);
  ASSERT_NE(app0, std::string::npos);
  EXPECT_EQ(std::string(f.begin() + app0 + 4, f.begin() + app0 + 8), "JFIF");
  const size_t sof = FindMarker(f, 0xC0);  // baseline; progressive would be C2
  ASSERT_NE(sof, std::string::npos);
  EXPECT_EQ(FindMarker(f, 0xC2), std::string::npos);
  EXPECT_EQ(f[sof + 9], 3);  // components
  const size_t dqt = FindMarker(f, 0xDB);
  ASSERT_NE(dqt, std::string::npos);
  EXPECT_EQ(f[dqt + 5], 3);  // luminance DC step: 16 scaled to 20 % at quality 90, rounded
  EXPECT_EQ(f[f.size() - 2], 0xFF);
  EXPECT_EQ(f[f.size() - 1], 0xD9);
  EXPECT_THROW(EncodeJpeg(Picture()), EInvalidPicture);
}

TEST(JpegCodec, RoundTripKeepsSizeAndColours) {
  const Picture soft = Gradient(101, 37);
  const Picture back = DecodeJpeg(EncodeJpeg(soft));
  ASSERT_EQ(back.width, 101);
  ASSERT_EQ(back.height, 37);
  ASSERT_EQ(back.bpp, 24);
  EXPECT_LT(MeanChannelError(soft, back), 2.0);

  const Picture shot = craft::TestPattern(160, 120, 24);
  EXPECT_LT(MeanChannelError(shot, DecodeJpeg(EncodeJpeg(shot))), 6.0);
}

TEST(JpegCodec, EveryDepthCodesAsItsTwentyFourBitForm) {
  for (int bpp : {8, 32}) {
    Picture p = craft::TestPattern(45, 30, bpp);
    if (bpp == 32)
      for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) p.Row(y)[4 * x + 3] = uint8_t(x * 7);  // X byte must not matter
    EXPECT_EQ(EncodeJpeg(p), EncodeJpeg(ConvertTo24(p))) << bpp;
  }
}

TEST(JpegCodec, GreyDecodeGivesLuminanceWithGreyPalette) {
  const Picture src = craft::TestPattern(96, 64, 24);
  JpegDecodeOptions grey;
  grey.grey = true;
  grey.palette8 = true;  // grey wins
  const Picture g = DecodeJpeg(EncodeJpeg(src), grey);
  ASSERT_EQ(g.bpp, 8);
  ASSERT_EQ(g.palette.size(), 256u);
  EXPECT_EQ(g.palette[0], 0u);
  EXPECT_EQ(g.palette[200], 0xC8C8C8u);
  double err = 0;
  for (int y = 0; y < src.height; ++y)
    for (int x = 0; x < src.width; ++x) {
      const uint8_t* s = src.Row(y) + 3 * x;
      const double lum = 0.299 * s[2] + 0.587 * s[1] + 0.114 * s[0];
      err += std::fabs(lum - g.Row(y)[x]);
    }
  EXPECT_LT(err / (src.width * src.height), 5.0);
}

TEST(JpegCodec, PaletteDecodeQuantisesTo256Colours) {
  const Picture src = craft::TestPattern(120, 90, 24);
  JpegDecodeOptions pal;
  pal.palette8 = true;
  const Picture q = DecodeJpeg(EncodeJpeg(src), pal);
  ASSERT_EQ(q.bpp, 8);
  ASSERT_GE(q.palette.size(), 16u);
  ASSERT_LE(q.palette.size(), 256u);
  for (int y = 0; y < q.height; ++y)
    for (int x = 0; x < q.width; ++x) ASSERT_LT(q.Row(y)[x], q.palette.size());
  EXPECT_LT(MeanChannelError(src, q), 12.0);
}

TEST(JpegCodec, DecodesKindsTheProgramDoesNotWrite) {
  const Picture src = Gradient(40, 24);
  for (auto kind : {craft::JpegKind::Baseline444, craft::JpegKind::Progressive, craft::JpegKind::Arithmetic,
                    craft::JpegKind::CmykAdobe}) {
    SCOPED_TRACE(int(kind));
    const Picture p = DecodeJpeg(craft::MakeJpeg(src, kind, 95));
    ASSERT_EQ(p.bpp, 24);
    ASSERT_EQ(p.width, 40);
    EXPECT_LT(MeanChannelError(src, p), 3.0);
    JpegDecodeOptions grey;
    grey.grey = true;
    const Picture g = DecodeJpeg(craft::MakeJpeg(src, kind, 95), grey);
    ASSERT_EQ(g.bpp, 8);
    const uint8_t* s = src.Row(10) + 3 * 20;
    EXPECT_NEAR(g.Row(10)[20], 0.299 * s[2] + 0.587 * s[1] + 0.114 * s[0], 6.0);
  }
  // A one-component file comes out as 24-bit grey.
  const Picture g = DecodeJpeg(craft::MakeJpeg(src, craft::JpegKind::Grey, 95));
  ASSERT_EQ(g.bpp, 24);
  EXPECT_EQ(g.Row(5)[30], g.Row(5)[31]);
  EXPECT_EQ(g.Row(5)[30], g.Row(5)[32]);
}

TEST(JpegCodec, CorruptAndTruncatedDataThrow) {
  const std::vector<uint8_t> good = EncodeJpeg(craft::TestPattern(64, 64, 24));
  EXPECT_THROW(DecodeJpeg(nullptr, 0), EInvalidPicture);
  EXPECT_THROW(DecodeJpeg(good.data(), 0), EInvalidPicture);
  for (size_t n = 1; n + 2 < good.size(); n += 37) EXPECT_THROW(DecodeJpeg(good.data(), n), EInvalidPicture) << n;
  // Without its end marker the picture is still complete.
  EXPECT_NO_THROW(DecodeJpeg(good.data(), good.size() - 2));
  // Arithmetic coding pads short data silently; the end of the file still gives it away.
  const std::vector<uint8_t> arith = craft::MakeJpeg(craft::TestPattern(64, 64, 24), craft::JpegKind::Arithmetic);
  EXPECT_NO_THROW(DecodeJpeg(arith));
  EXPECT_THROW(DecodeJpeg(arith.data(), arith.size() / 2), EInvalidPicture);

  std::vector<uint8_t> garbage(500);
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = uint8_t(i * 37 + 11);
  EXPECT_THROW(DecodeJpeg(garbage), EInvalidPicture);

  // Damaged entropy data: the decoder may repair or refuse, never crash.
  std::vector<uint8_t> damaged = good;
  for (size_t i = good.size() / 2; i < good.size() / 2 + 40; ++i) damaged[i] ^= 0x5A;
  try {
    const Picture p = DecodeJpeg(damaged);
    EXPECT_EQ(p.width, 64);
  } catch (const EInvalidPicture&) {
  }
}

TEST(JpegCodec, HugeDeclaredSizeFailsFastAndSmall) {
  // A valid small file whose frame header claims 60000 x 60000.
  std::vector<uint8_t> f = craft::MakeJpeg(Gradient(16, 16), craft::JpegKind::Progressive);
  const size_t sof = FindMarker(f, 0xC2);
  ASSERT_NE(sof, std::string::npos);
  f[sof + 5] = 0xEA, f[sof + 6] = 0x60, f[sof + 7] = 0xEA, f[sof + 8] = 0x60;
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_THROW(DecodeJpeg(f), EInvalidPicture);
  std::vector<uint8_t> b = EncodeJpeg(Gradient(16, 16));
  const size_t bsof = FindMarker(b, 0xC0);
  b[bsof + 5] = 0x2E, b[bsof + 6] = 0xE0, b[bsof + 7] = 0x2E, b[bsof + 8] = 0xE0;  // 12000 x 12000, data for 16 x 16
  EXPECT_THROW(DecodeJpeg(b), EInvalidPicture);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
}

}  // namespace
}  // namespace griv
