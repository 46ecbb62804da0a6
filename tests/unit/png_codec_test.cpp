#include "image/png_codec.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include <libdeflate.h>

#include "base/file_io.h"
#include "image_craft.h"

namespace griv {
namespace {

using Bytes = std::vector<uint8_t>;

uint32_t Rgb(const Picture& p, int x, int y) {  // 0x00RRGGBB at any depth
  const uint8_t* r = p.Row(y);
  if (p.bpp == 8) return p.palette.at(r[x]);
  const uint8_t* px = r + x * (p.bpp / 8);
  return uint32_t(px[2]) << 16 | uint32_t(px[1]) << 8 | px[0];
}

// ---------------------------------------------------------------- hand-made files

void PutBe32(Bytes& v, uint32_t x) {
  for (int s = 24; s >= 0; s -= 8) v.push_back(uint8_t(x >> s));
}

Bytes Chunk(const char* type, const Bytes& body) {
  Bytes c;
  PutBe32(c, uint32_t(body.size()));
  c.insert(c.end(), type, type + 4);
  c.insert(c.end(), body.begin(), body.end());
  PutBe32(c, libdeflate_crc32(0, c.data() + 4, body.size() + 4));
  return c;
}

Bytes Ihdr(uint32_t w, uint32_t h, int depth, int colour, int interlace = 0) {
  Bytes b;
  PutBe32(b, w);
  PutBe32(b, h);
  b.insert(b.end(), {uint8_t(depth), uint8_t(colour), 0, 0, uint8_t(interlace)});
  return Chunk("IHDR", b);
}

Bytes Zlib(const Bytes& raw) {
  libdeflate_compressor* c = libdeflate_alloc_compressor(6);
  Bytes z(libdeflate_zlib_compress_bound(c, raw.size()));
  z.resize(libdeflate_zlib_compress(c, raw.data(), raw.size(), z.data(), z.size()));
  libdeflate_free_compressor(c);
  return z;
}

Bytes File(const std::vector<Bytes>& chunks) {
  Bytes f = {137, 'P', 'N', 'G', 13, 10, 26, 10};
  for (const Bytes& c : chunks) f.insert(f.end(), c.begin(), c.end());
  return f;
}

const Bytes kIend = Chunk("IEND", {});

// Straight from the PNG standard, one byte at a time: the oracle for the
// decoder's unfiltering.
Bytes Filter(const Bytes& rows, size_t rowBytes, int bpp, int type) {
  Bytes out;
  const Bytes zero(rowBytes, 0);
  for (size_t at = 0; at < rows.size(); at += rowBytes) {
    const uint8_t* cur = rows.data() + at;
    const uint8_t* up = at ? cur - rowBytes : zero.data();
    out.push_back(uint8_t(type));
    for (size_t i = 0; i < rowBytes; ++i) {
      const int a = i >= size_t(bpp) ? cur[i - bpp] : 0, b = up[i], c = i >= size_t(bpp) ? up[i - bpp] : 0;
      const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
      const int paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      const int pred[5] = {0, a, b, (a + b) / 2, paeth};
      out.push_back(uint8_t(cur[i] - pred[type]));
    }
  }
  return out;
}

// The filter byte of each row of a non-interlaced 24-bit file.
std::vector<int> RowFilters(const Bytes& file, int w, int h) {
  size_t at = 8;
  Bytes z;
  while (at < file.size()) {
    const uint32_t n = uint32_t(file[at]) << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
    if (std::memcmp(&file[at + 4], "IDAT", 4) == 0) z.insert(z.end(), &file[at + 8], &file[at + 8] + n);
    at += 12 + n;
  }
  const size_t rowBytes = size_t(w) * 3 + 1;
  Bytes raw(rowBytes * size_t(h));
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  EXPECT_EQ(libdeflate_zlib_decompress(d, z.data(), z.size(), raw.data(), raw.size(), nullptr), LIBDEFLATE_SUCCESS);
  libdeflate_free_decompressor(d);
  std::vector<int> f;
  for (int y = 0; y < h; ++y) f.push_back(raw[size_t(y) * rowBytes]);
  return f;
}

Picture Noise(int w, int h, int bpp, uint32_t seed) {
  Picture p;
  p.Resize(w, h, bpp);
  for (auto& b : p.pixels) b = uint8_t((seed = seed * 1103515245u + 12345u) >> 16);
  if (bpp == 8) p.palette = craft::TestPattern(1, 1, 8).palette;
  return p;
}

std::string Refusal(const Bytes& f) {
  try {
    DecodePng(f);
  } catch (const EInvalidPicture& e) {
    return e.what();
  }
  return "accepted";
}

// ---------------------------------------------------------------- writing

TEST(PngCodec, RoundTripsGiveIdenticalPixels) {
  // Odd widths leave part-filled vector steps and stride padding; 65535 is the widest picture.
  const int sizes[][2] = {{1, 1}, {2, 1}, {5, 3}, {6, 7}, {17, 2}, {33, 9}, {101, 13}, {65535, 1}, {1, 300}};
  for (const auto& s : sizes)
    for (int bpp : {8, 24, 32}) {
      for (const Picture& src : {craft::TestPattern(s[0], s[1], bpp), Noise(s[0], s[1], bpp, uint32_t(s[0] * 7 + bpp))}) {
        const Bytes file = EncodePng(src);
        ASSERT_TRUE(IsPngData(file.data(), file.size()));
        EXPECT_EQ(file[24], 8);   // bit depth
        EXPECT_EQ(file[25], 2);   // true colour, no alpha
        EXPECT_EQ(file[28], 0);   // not interlaced
        const Picture back = DecodePng(file);
        ASSERT_EQ(back.bpp, 24);
        ASSERT_EQ(back.width, s[0]);
        ASSERT_EQ(back.height, s[1]);
        EXPECT_EQ(back.pixels, ConvertTo24(src).pixels) << s[0] << "x" << s[1] << " at " << bpp;
      }
    }
}

TEST(PngCodec, WritesPalettePicturesInTheirColoursAndIgnoresTheXByte) {
  Picture pal;
  pal.Resize(4, 1, 8);
  pal.palette = {0x102030, 0xFFEEDD};
  pal.Row(0)[0] = 0, pal.Row(0)[1] = 1, pal.Row(0)[2] = 1, pal.Row(0)[3] = 200;  // 200: past the palette's end
  Picture back = DecodePng(EncodePng(pal));
  EXPECT_EQ(Rgb(back, 0, 0), 0x102030u);
  EXPECT_EQ(Rgb(back, 1, 0), 0xFFEEDDu);
  EXPECT_EQ(Rgb(back, 3, 0), 0u);
  pal.palette.clear();  // no palette: greys
  back = DecodePng(EncodePng(pal));
  EXPECT_EQ(Rgb(back, 3, 0), 0xC8C8C8u);

  Picture x = craft::TestPattern(9, 4, 32);
  Picture y = x;
  for (size_t i = 3; i < y.pixels.size(); i += 4) y.pixels[i] = 0x5A;
  EXPECT_EQ(EncodePng(x), EncodePng(y));
}

TEST(PngCodec, ChoosesTheFilterOfLeastCostPerRow) {
  // Every row the same ramp: Sub wins the first row (constant steps), Up
  // and Paeth then give all zeros and the tie goes to the lower type, Up.
  Picture ramp;
  ramp.Resize(70, 4, 24);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 70 * 3; ++x) ramp.Row(y)[x] = uint8_t(x * 3);
  EXPECT_EQ(RowFilters(EncodePng(ramp), 70, 4), (std::vector<int>{1, 2, 2, 2}));

  // Rows of one grey each, a step lighter every row. Sub leaves only the
  // first pixel; below the first row Paeth does better still, predicting
  // that pixel from above and the rest from the left.
  Picture steps;
  steps.Resize(70, 3, 24);
  for (int y = 0; y < 3; ++y) std::memset(steps.Row(y), 40 * y + 7, 70 * 3);
  EXPECT_EQ(RowFilters(EncodePng(steps), 70, 3), (std::vector<int>{1, 4, 4}));

  // A diagonal gradient: only Paeth predicts every pixel but the first exactly.
  Picture diagonal;
  diagonal.Resize(64, 8, 24);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 64; ++x) std::memset(diagonal.Row(y) + 3 * x, 3 * x + 5 * y + 10, 3);
  EXPECT_EQ(RowFilters(EncodePng(diagonal), 64, 8), (std::vector<int>{1, 4, 4, 4, 4, 4, 4, 4}));
}

TEST(PngCodec, DeclaredSizeReadsOnlyTheHeader) {
  int64_t w = 0, h = 0;
  const Bytes big = File({Ihdr(0x7FFFFFFF, 3, 8, 2)});  // nothing behind it
  ASSERT_TRUE(PngDeclaredSize(big.data(), big.size(), w, h));
  EXPECT_EQ(w, 0x7FFFFFFF);
  EXPECT_EQ(h, 3);
  EXPECT_FALSE(PngDeclaredSize(big.data(), 23, w, h));
  const Bytes noHeader = File({Chunk("IDAT", {}), Ihdr(1, 1, 8, 2)});
  EXPECT_FALSE(PngDeclaredSize(noHeader.data(), noHeader.size(), w, h));
}

TEST(PngCodec, RefusesWhatItCannotWrite) {
  EXPECT_THROW(EncodePng(Picture()), EInvalidPicture);
  Picture cut = craft::TestPattern(8, 8, 24);
  cut.pixels.resize(cut.pixels.size() - 1);
  EXPECT_THROW(EncodePng(cut), EInvalidPicture);
}

// ---------------------------------------------------------------- reading outside files

// The pictures of tests/data/png/make_samples.py.
uint32_t Colour(int i) {
  return uint32_t((i * 53 + 17) % 256) << 16 | uint32_t((i * 97 + 5) % 256) << 8 | uint32_t((i * 151 + 100) % 256);
}
int Index(int x, int y, int n) { return (x + 3 * y) % n; }
int Grey8(int x, int y) { return (x * 19 + y * 23) % 256; }
int Alpha(int x, int y) { return std::array<int, 5>{255, 0, 128, 64, 200}[(x + y) % 5]; }
int LevelGrey(int x, int y, int depth) {
  const int top = (1 << depth) - 1;
  return Index(x, y, top + 1) * 255 / top;
}
uint32_t Grey(int g) { return uint32_t(g) * 0x010101u; }
// Composited onto white, rounded to the nearest level.
uint32_t OnWhite(uint32_t rgb, int a) {
  uint32_t out = 0;
  for (int s = 0; s < 24; s += 8) {
    const double c = (rgb >> s) & 255;
    out |= uint32_t(std::lround((c * a + 255.0 * (255 - a)) / 255.0)) << s;
  }
  return out;
}
uint32_t Many(int x, int y) { return uint32_t(Grey8(x, y)) << 16 | uint32_t(x * 40 % 256) << 8 | uint32_t((y * 60 + x) % 256); }

struct Sample {
  const char* name;
  int bpp;  // what the reader gives
  std::function<uint32_t(int, int)> pixel;
  int width = 13, height = 11;
  int tolerance = 0;  // per channel
};

bool Near(uint32_t a, uint32_t b, int tolerance) {
  for (int s = 0; s < 24; s += 8)
    if (std::abs(int(a >> s & 255) - int(b >> s & 255)) > tolerance) return false;
  return true;
}

TEST(PngCodec, ReadsImageMagickFilesOfEveryKind) {
  const uint32_t white = 0xFFFFFF;
  auto keyed = [&](int n, int x, int y) { return Index(x, y, n) == 1 ? white : Colour(Index(x, y, n)); };
  auto rgba = [&](int x, int y) { return OnWhite(Colour(Index(x, y, 20)), Alpha(x, y)); };
  auto greyAlpha = [&](int x, int y) { return OnWhite(Grey(Grey8(x, y)), Alpha(x, y)); };
  const std::vector<Sample> samples = {
      {"grey1.png", 8, [](int x, int y) { return Grey(LevelGrey(x, y, 1)); }},
      {"grey2.png", 8, [](int x, int y) { return Grey(LevelGrey(x, y, 2)); }},
      {"grey4.png", 8, [](int x, int y) { return Grey(LevelGrey(x, y, 4)); }},
      {"grey8.png", 8, [](int x, int y) { return Grey(Grey8(x, y)); }},
      {"grey16.png", 24, [](int x, int y) { return Grey(Grey8(x, y)); }},
      {"grey8-key.png", 8, [&](int x, int y) { return Index(x, y, 4) == 1 ? white : Grey(LevelGrey(x, y, 2)); }},
      {"grey-alpha8.png", 24, greyAlpha},
      {"grey-alpha16.png", 24, greyAlpha},
      {"palette1.png", 8, [](int x, int y) { return Colour(Index(x, y, 2)); }},
      {"palette2.png", 8, [](int x, int y) { return Colour(Index(x, y, 4)); }},
      {"palette4.png", 8, [](int x, int y) { return Colour(Index(x, y, 16)); }},
      {"palette8.png", 8, [](int x, int y) { return Colour(Index(x, y, 20)); }},
      {"palette8-key.png", 8, [&](int x, int y) { return keyed(20, x, y); }},
      // ImageMagick nudges a few colours by a level when it makes a palette with alpha.
      {"palette8-alpha.png", 8, rgba, 13, 11, 2},
      {"rgb8.png", 24, Many},
      {"rgb8-key.png", 24, [&](int x, int y) { return keyed(20, x, y); }},
      {"rgb16.png", 24, Many},
      {"rgba8.png", 24, rgba},
      {"rgba16.png", 24, rgba},
      {"grey2-adam7.png", 8, [](int x, int y) { return Grey(LevelGrey(x, y, 2)); }},
      {"palette4-adam7.png", 8, [](int x, int y) { return Colour(Index(x, y, 16)); }},
      {"grey-alpha16-adam7.png", 24, greyAlpha},
      {"rgb8-adam7.png", 24, Many},
      {"rgb16-adam7.png", 24, Many},
      {"rgba8-adam7.png", 24, rgba},
      {"palette8-alpha-adam7.png", 8, rgba, 13, 11, 2},
      {"rgb8-1x1-adam7.png", 24, [](int, int) { return Colour(7); }, 1, 1},
      {"rgb8-3x2-adam7.png", 24, [](int x, int y) { return Colour(Index(x, y, 20)); }, 3, 2},
  };
  for (const Sample& s : samples) {
    SCOPED_TRACE(s.name);
    const Picture p = DecodePng(ReadWholeFile(std::string(GRIV_TEST_DATA) + "/png/" + s.name));
    ASSERT_EQ(p.width, s.width);
    ASSERT_EQ(p.height, s.height);
    ASSERT_EQ(p.bpp, s.bpp);
    ASSERT_EQ(p.pixels.size(), size_t(p.Stride()) * size_t(p.height));
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x)
        ASSERT_TRUE(Near(Rgb(p, x, y), s.pixel(x, y), s.tolerance))
            << x << "," << y << ": " << std::hex << Rgb(p, x, y) << " for " << s.pixel(x, y);
  }
}

TEST(PngCodec, EveryFilterAtEveryPixelSize) {
  // colour type, bit depth: pixels of 1 (sub-byte and byte), 2, 3, 4, 6 and 8 bytes.
  const int forms[][2] = {{0, 2}, {0, 8}, {3, 4}, {0, 16}, {4, 8}, {2, 8}, {6, 8}, {4, 16}, {2, 16}, {6, 16}};
  const int w = 7, h = 4;
  for (const auto& form : forms) {
    const int colour = form[0], depth = form[1];
    const int channels = colour == 2 ? 3 : colour == 4 ? 2 : colour == 6 ? 4 : 1;
    const size_t rowBytes = (size_t(w) * channels * depth + 7) / 8;
    Bytes rows(rowBytes * h);
    uint32_t seed = uint32_t(colour * 31 + depth);
    for (auto& b : rows) b = uint8_t((seed = seed * 1103515245u + 12345u) >> 20);
    if (colour == 4 || colour == 6)  // opaque, so that every sample shows
      for (size_t r = 0; r < size_t(h); ++r)
        for (int x = 0; x < w; ++x)
          for (int k = 0; k < depth / 8; ++k) rows[r * rowBytes + ((x + 1) * channels - 1) * (depth / 8) + k] = 255;
    Bytes entries;
    for (int i = 0; i < 16 * 3; ++i) entries.push_back(uint8_t(i * 5));
    const Bytes palette = Chunk("PLTE", entries);
    Picture first;
    for (int type = 0; type < 5; ++type) {
      SCOPED_TRACE(std::to_string(colour) + "/" + std::to_string(depth) + " filter " + std::to_string(type));
      const Bytes idat = Chunk("IDAT", Zlib(Filter(rows, rowBytes, std::max(1, channels * depth / 8), type)));
      const Bytes file = colour == 3 ? File({Ihdr(w, h, depth, colour), palette, idat, kIend})
                                     : File({Ihdr(w, h, depth, colour), idat, kIend});
      const Picture p = DecodePng(file);
      if (type == 0) {
        first = p;
        if (colour == 2 && depth == 8) {
          const uint8_t* r = &rows[2 * rowBytes];
          for (int x = 0; x < w; ++x)
            ASSERT_EQ(Rgb(p, x, 2), uint32_t(r[3 * x]) << 16 | uint32_t(r[3 * x + 1]) << 8 | r[3 * x + 2]);
        }
      } else {
        EXPECT_EQ(p.pixels, first.pixels);
      }
    }
  }
}

TEST(PngCodec, SixteenBitSamplesRoundAndKeysCompareAllBits) {
  // 16-bit grey 0x7F80 rounds to 0x7F; the key 0x1234 blanks only that exact value.
  const Bytes trns = Chunk("tRNS", {0x12, 0x34});
  const Bytes raw = {0, 0x7F, 0x80, 0x12, 0x34, 0x12, 0x35, 0xFF, 0xFF};
  const Picture p = DecodePng(File({Ihdr(4, 1, 16, 0), trns, Chunk("IDAT", Zlib(raw)), kIend}));
  EXPECT_EQ(Rgb(p, 0, 0), 0x7F7F7Fu);
  EXPECT_EQ(Rgb(p, 1, 0), 0xFFFFFFu);
  EXPECT_EQ(Rgb(p, 2, 0), 0x121212u);
  EXPECT_EQ(Rgb(p, 3, 0), 0xFFFFFFu);
}

TEST(PngCodec, PaletteIndexesPastTheEndAreBlack) {
  const Bytes plte = Chunk("PLTE", {10, 20, 30, 40, 50, 60});
  const Picture p = DecodePng(File({Ihdr(3, 1, 8, 3), plte, Chunk("IDAT", Zlib({0, 1, 0, 9})), kIend}));
  EXPECT_EQ(Rgb(p, 0, 0), 0x28323Cu);
  EXPECT_EQ(Rgb(p, 1, 0), 0x0A141Eu);
  EXPECT_EQ(Rgb(p, 2, 0), 0u);
  EXPECT_EQ(p.palette.size(), 256u);
}

// ---------------------------------------------------------------- damaged and hostile files

TEST(PngCodec, AcceptsWhatTheFormatAllows) {
  const Picture src = craft::TestPattern(21, 5, 24);
  const Bytes own = EncodePng(src);
  // The picture's stream in IDAT chunks of 1 byte after an empty one, unknown
  // ancillary chunks around them, and bytes after IEND.
  Bytes raw;
  for (int y = 0; y < 5; ++y) {
    raw.push_back(0);
    for (int x = 0; x < 21; ++x) raw.insert(raw.end(), {src.Row(y)[3 * x + 2], src.Row(y)[3 * x + 1], src.Row(y)[3 * x]});
  }
  const Bytes stream = Zlib(raw);
  std::vector<Bytes> chunks = {Ihdr(21, 5, 8, 2), Chunk("gAMA", {0, 0, 0xB1, 0x8F}), Chunk("prVt", {1, 2, 3})};
  chunks.push_back(Chunk("IDAT", {}));
  for (uint8_t b : stream) chunks.push_back(Chunk("IDAT", {b}));
  chunks.push_back(Chunk("tEXt", {'a', 0, 'b'}));
  chunks.push_back(kIend);
  Bytes file = File(chunks);
  file.insert(file.end(), {'j', 'u', 'n', 'k'});
  EXPECT_EQ(DecodePng(file).pixels, DecodePng(own).pixels);
}

TEST(PngCodec, RefusesTruncatedAndCorruptFiles) {
  const Bytes own = EncodePng(craft::TestPattern(19, 7, 24));
  const Bytes theirs = ReadWholeFile(std::string(GRIV_TEST_DATA) + "/png/palette8-alpha-adam7.png");
  for (const Bytes* f : {&own, &theirs}) {
    for (size_t n = 0; n < f->size(); ++n)  // every cut, up to the last byte of IEND's CRC
      ASSERT_THROW(DecodePng(f->data(), n), EInvalidPicture) << n;
    // One flipped bit anywhere after the signature breaks some chunk's CRC
    // or its length; even a bit of an ancillary chunk is not let through.
    for (size_t i = 8; i < f->size(); ++i) {
      Bytes bad = *f;
      bad[i] ^= 0x10;
      ASSERT_THROW(DecodePng(bad), EInvalidPicture) << i;
    }
  }
  EXPECT_THROW(DecodePng(nullptr, 0), EInvalidPicture);
  Bytes notPng = own;
  notPng[1] = 'J';
  EXPECT_THROW(DecodePng(notPng), EInvalidPicture);
}

TEST(PngCodec, RefusesImageDataThatDoesNotMatchItsHeader) {
  const Bytes header = Ihdr(16, 16, 8, 2);  // 16 rows of 1 + 48 bytes
  Bytes exact(16 * 49, 0);
  EXPECT_EQ(Refusal(File({header, Chunk("IDAT", Zlib(exact)), kIend})), "accepted");

  // A bomb: megabytes of zeros behind a 16 x 16 header.
  const Bytes bomb = Zlib(Bytes(8 << 20, 0));
  EXPECT_LT(bomb.size(), 10000u);
  EXPECT_EQ(Refusal(File({header, Chunk("IDAT", bomb), kIend})), "Invalid PNG: more image data than the picture holds");
  Bytes oneMore = exact;
  oneMore.push_back(0);
  EXPECT_EQ(Refusal(File({header, Chunk("IDAT", Zlib(oneMore)), kIend})),
            "Invalid PNG: more image data than the picture holds");
  exact.pop_back();
  EXPECT_EQ(Refusal(File({header, Chunk("IDAT", Zlib(exact)), kIend})), "Invalid PNG: image data ends early");
  exact.push_back(0);
  // Garbage after the end of the compressed stream, in the same or a later IDAT chunk.
  Bytes tail = Zlib(exact);
  tail.push_back(0);
  EXPECT_EQ(Refusal(File({header, Chunk("IDAT", tail), kIend})), "Invalid PNG: other data after the image data");
  EXPECT_EQ(Refusal(File({header, Chunk("IDAT", Zlib(exact)), Chunk("IDAT", {1, 2}), kIend})),
            "Invalid PNG: other data after the image data");
  Bytes corrupt = Zlib(exact);
  corrupt[corrupt.size() - 1] ^= 1;  // Adler-32 of the stream
  EXPECT_NE(Refusal(File({header, Chunk("IDAT", corrupt), kIend})), "accepted");
  // A filter type beyond Paeth.
  Bytes badFilter(16 * 49, 0);
  badFilter[49 * 3] = 5;
  EXPECT_EQ(Refusal(File({header, Chunk("IDAT", Zlib(badFilter)), kIend})), "Invalid PNG: bad filter type");
}

TEST(PngCodec, RefusesHugeClaimsBeforeAllocating) {
  const Bytes idat = Chunk("IDAT", Zlib(Bytes(100, 0)));
  // Beyond the picture limits.
  EXPECT_EQ(Refusal(File({Ihdr(65536, 1, 8, 0), idat, kIend})), "Invalid PNG: picture too large");
  EXPECT_EQ(Refusal(File({Ihdr(0x7FFFFFFF, 0x7FFFFFFF, 8, 6), idat, kIend})), "Invalid PNG: picture too large");
  EXPECT_EQ(Refusal(File({Ihdr(0x80000000u, 1, 8, 0), idat, kIend})), "Invalid PNG: bad picture size");
  EXPECT_THROW(DecodePng(File({Ihdr(65535, 65535, 8, 2), idat, kIend})), EInvalidPicture);
  // Within the limits, but no DEFLATE stream this short can hold the picture.
  EXPECT_EQ(Refusal(File({Ihdr(6000, 6000, 8, 0), idat, kIend})),
            "Invalid PNG: image data too short for the picture size");
  // 16-bit RGBA inflates to 8/3 of the picture it gives: a picture within
  // the limit whose inflated data is not.
  const int side = int(std::sqrt(double(kMaxPictureBytes) / 5));
  const Bytes rgba16 = File({Ihdr(uint32_t(side), uint32_t(side), 16, 6), idat, kIend});
  bool fits = true;
  try {
    Picture::CheckSize(side, side, 24);
  } catch (const EInvalidPicture&) {
    fits = false;  // a limit on pixels rather than bytes refuses it first
  }
  if (fits) {
    EXPECT_EQ(Refusal(rgba16), "Invalid PNG: picture needs too much memory");
  }
  EXPECT_THROW(DecodePng(rgba16), EInvalidPicture);
}

TEST(PngCodec, RefusesMalformedStructure) {
  const Bytes idat = Chunk("IDAT", Zlib(Bytes(2 * 4, 0)));  // 2 rows of a 3-pixel 8-bit grey picture
  const Bytes ihdr = Ihdr(3, 2, 8, 0);
  const Bytes plte = Chunk("PLTE", {1, 2, 3});
  EXPECT_EQ(Refusal(File({ihdr, idat, kIend})), "accepted");
  EXPECT_EQ(Refusal(File({ihdr, plte, idat, kIend})), "accepted");  // allowed to be pointless
  EXPECT_EQ(Refusal(File({Ihdr(3, 2, 8, 3), plte, idat, kIend})), "accepted");

  EXPECT_NE(Refusal(File({idat, ihdr, kIend})), "accepted");          // header not first
  EXPECT_NE(Refusal(File({ihdr, ihdr, idat, kIend})), "accepted");    // two headers
  EXPECT_NE(Refusal(File({ihdr, kIend})), "accepted");                // no image data
  EXPECT_NE(Refusal(File({ihdr, idat})), "accepted");                 // no end
  EXPECT_NE(Refusal(File({Ihdr(3, 2, 8, 3), idat, kIend})), "accepted");              // palette missing
  EXPECT_NE(Refusal(File({Ihdr(3, 2, 8, 3), idat, plte, kIend})), "accepted");        // palette too late
  EXPECT_NE(Refusal(File({Ihdr(3, 2, 8, 3), plte, plte, idat, kIend})), "accepted");  // two palettes
  EXPECT_NE(Refusal(File({Ihdr(3, 2, 8, 3), Chunk("PLTE", {1, 2}), idat, kIend})), "accepted");
  EXPECT_NE(Refusal(File({ihdr, Chunk("IDAT", {}), Chunk("tEXt", {'a', 0}), idat, kIend})), "accepted");  // IDAT split
  EXPECT_NE(Refusal(File({ihdr, Chunk("CgBI", {0}), idat, kIend})), "accepted");  // unknown critical chunk
  EXPECT_NE(Refusal(File({ihdr, Chunk("id@t", {0}), idat, kIend})), "accepted");  // not a chunk name
  for (const auto& bad : std::vector<std::array<int, 3>>{{3, 16, 0}, {2, 4, 0}, {0, 3, 0}, {6, 1, 0}, {1, 8, 0},
                                                         {7, 8, 0}, {0, 8, 2}}) {
    Bytes h = Ihdr(3, 2, bad[1], bad[0], bad[2]);
    EXPECT_NE(Refusal(File({h, idat, kIend})), "accepted") << bad[0] << "/" << bad[1] << "/" << bad[2];
  }
  for (int field : {10, 11}) {  // compression and filter methods other than 0
    Bytes body = {0, 0, 0, 3, 0, 0, 0, 2, 8, 0, 0, 0, 0};
    body[size_t(field)] = 1;
    EXPECT_NE(Refusal(File({Chunk("IHDR", body), idat, kIend})), "accepted") << field;
  }
  Bytes longHeader = {0, 0, 0, 3, 0, 0, 0, 2, 8, 0, 0, 0, 0, 0};
  EXPECT_NE(Refusal(File({Chunk("IHDR", longHeader), idat, kIend})), "accepted");
}

}  // namespace
}  // namespace griv
