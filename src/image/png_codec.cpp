#include "image/png_codec.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include <libdeflate.h>

// Row filtering in SSE2 on x86. Every processor that runs the Windows
// versions the program supports has SSE2, so the 32-bit build may use it
// without asking, only compiled for it function by function.
#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>
#define GRIV_PNG_SSE2 1
#if defined(__i386__)
#define GRIV_PNG_SSE2_FN __attribute__((target("sse2")))
#else
#define GRIV_PNG_SSE2_FN
#endif
#else
#define GRIV_PNG_SSE2 0
#endif

namespace griv {
namespace {

constexpr uint8_t kSignature[8] = {137, 'P', 'N', 'G', 13, 10, 26, 10};
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFF;
// DEFLATE cannot do better than 258 bytes for two bits; data shorter than
// that cannot hold the picture, however it claims to.
constexpr uint64_t kMaxDeflateRatio = 1032;

enum ColourType { kGrey = 0, kRgb = 2, kPalette = 3, kGreyAlpha = 4, kRgba = 6 };

[[noreturn]] void Bad(const char* why) { throw EInvalidPicture(std::string("Invalid PNG: ") + why); }

uint32_t Be32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
uint16_t Be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }
void PutBe32(uint8_t* p, uint32_t v) { p[0] = uint8_t(v >> 24), p[1] = uint8_t(v >> 16), p[2] = uint8_t(v >> 8), p[3] = uint8_t(v); }

struct FreeDecompressor {
  void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
};
struct FreeCompressor {
  void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

// ---------------------------------------------------------------- geometry

struct Pass {
  int x0, y0, dx, dy;
};
constexpr Pass kWhole[1] = {{0, 0, 1, 1}};
constexpr Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                            {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

int PassSide(int side, int start, int step) { return side > start ? (side - start + step - 1) / step : 0; }

struct Header {
  int width = 0, height = 0;
  int depth = 0;
  int colour = 0;
  bool interlaced = false;

  int Channels() const {
    switch (colour) {
      case kRgb: return 3;
      case kGreyAlpha: return 2;
      case kRgba: return 4;
      default: return 1;
    }
  }
  int BitsPerPixel() const { return depth * Channels(); }
  // Distance in bytes to the corresponding byte of the previous pixel, for filtering.
  int FilterStep() const { return std::max(1, BitsPerPixel() / 8); }
  uint64_t RowBytes(int w) const { return (uint64_t(w) * uint64_t(BitsPerPixel()) + 7) / 8; }
  const Pass* Passes() const { return interlaced ? kAdam7 : kWhole; }
  int PassCount() const { return interlaced ? 7 : 1; }
  // Every row of every non-empty pass with its filter byte.
  uint64_t InflatedSize() const {
    uint64_t n = 0;
    for (int i = 0; i < PassCount(); ++i) {
      const Pass& p = Passes()[i];
      const int w = PassSide(width, p.x0, p.dx), h = PassSide(height, p.y0, p.dy);
      if (w > 0 && h > 0) n += uint64_t(h) * (1 + RowBytes(w));
    }
    return n;
  }
  // Forms whose every colour fits a 256-entry palette stay 8-bit.
  int OutputBits() const { return colour == kPalette || (colour == kGrey && depth <= 8) ? 8 : 24; }
};

Header ParseHeader(const uint8_t* d, uint32_t len) {
  if (len != 13) Bad("bad header length");
  const uint32_t w = Be32(d), h = Be32(d + 4);
  if (w == 0 || h == 0 || w > kMaxChunkLength || h > kMaxChunkLength) Bad("bad picture size");
  if (w > uint32_t(kMaxPictureSide) || h > uint32_t(kMaxPictureSide)) Bad("picture too large");
  Header hd;
  hd.width = int(w), hd.height = int(h);
  hd.depth = d[8];
  hd.colour = d[9];
  bool ok = false;
  switch (hd.colour) {
    case kGrey: ok = hd.depth == 1 || hd.depth == 2 || hd.depth == 4 || hd.depth == 8 || hd.depth == 16; break;
    case kPalette: ok = hd.depth == 1 || hd.depth == 2 || hd.depth == 4 || hd.depth == 8; break;
    case kRgb: case kGreyAlpha: case kRgba: ok = hd.depth == 8 || hd.depth == 16; break;
  }
  if (!ok) Bad("unsupported colour type or bit depth");
  if (d[10] != 0) Bad("unknown compression method");
  if (d[11] != 0) Bad("unknown filter method");
  if (d[12] > 1) Bad("unknown interlace method");
  hd.interlaced = d[12] == 1;
  return hd;
}

// ---------------------------------------------------------------- chunks

struct Span {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
};

struct Parsed {
  Header header;
  Span palette, transparency;
  std::vector<Span> idat;
  uint64_t idatBytes = 0;
};

bool IsChunkLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

Parsed ParseChunks(const uint8_t* d, size_t size) {
  if (!IsPngData(d, size)) Bad("not a PNG file");
  Parsed out;
  size_t pos = sizeof kSignature;
  bool haveHeader = false, inIdat = false, idatDone = false;
  for (;;) {
    if (size - pos < 12) Bad("file truncated");
    const uint32_t len = Be32(d + pos);
    if (len > kMaxChunkLength) Bad("bad chunk length");
    if (len > size - pos - 12) Bad("file truncated");
    const uint8_t* type = d + pos + 4;
    const uint8_t* body = type + 4;
    for (int i = 0; i < 4; ++i)
      if (!IsChunkLetter(type[i])) Bad("bad chunk type");
    if (Be32(body + len) != libdeflate_crc32(0, type, size_t(len) + 4)) Bad("bad CRC");
    pos += size_t(len) + 12;
    const std::string_view t(reinterpret_cast<const char*>(type), 4);

    if (!haveHeader) {
      if (t != "IHDR") Bad("header missing");
      out.header = ParseHeader(body, len);
      haveHeader = true;
      continue;
    }
    if (t == "IDAT") {
      if (idatDone) Bad("image data not in one run");
      out.idat.push_back({body, len});
      out.idatBytes += len;
      inIdat = true;
      continue;
    }
    if (inIdat) idatDone = true;
    if (t == "IEND") break;
    if (t == "IHDR") Bad("second header");
    if (t == "PLTE") {
      if (inIdat) Bad("palette after image data");
      if (out.palette.data) Bad("second palette");
      if (len == 0 || len % 3 != 0 || len > 256 * 3) Bad("bad palette");
      out.palette = {body, len};
    } else if (t == "tRNS") {
      // Only meaningful before the image data; a stray one changes nothing.
      if (!inIdat && !out.transparency.data) out.transparency = {body, len};
    } else if (!(type[0] & 0x20)) {
      Bad("unknown critical chunk");
    }
  }
  if (out.idat.empty()) Bad("no image data");
  if (out.header.colour == kPalette && !out.palette.data) Bad("palette missing");
  return out;
}

// ---------------------------------------------------------------- pixels

uint8_t Scale16(uint32_t v) { return uint8_t((v * 255 + 32767) / 65535); }
uint8_t Over8(uint32_t c, uint32_t a) { return uint8_t((c * a + 255 * (255 - a) + 127) / 255); }
uint8_t Over16(uint32_t c, uint32_t a) {
  return Scale16(uint32_t((uint64_t(c) * a + uint64_t(65535) * (65535 - a) + 32767) / 65535));
}

struct Colours {
  std::vector<uint32_t> palette;  // 8-bit output
  bool hasKey = false;            // a tRNS colour key: pixels of that colour become white
  uint16_t key[3] = {0, 0, 0};    // grey, or red, green, blue
};

Colours MakeColours(const Parsed& p) {
  const Header& h = p.header;
  const Span& t = p.transparency;
  Colours c;
  if (h.colour == kPalette) {
    const size_t n = p.palette.size / 3;
    c.palette.assign(std::max<size_t>(n, size_t(1) << h.depth), 0);
    for (size_t i = 0; i < n; ++i) {
      const uint8_t* e = p.palette.data + 3 * i;
      const uint32_t a = i < t.size ? t.data[i] : 255;
      c.palette[i] = uint32_t(Over8(e[0], a)) << 16 | uint32_t(Over8(e[1], a)) << 8 | Over8(e[2], a);
    }
  } else if (h.colour == kGrey) {
    if (t.size >= 2) c.hasKey = true, c.key[0] = Be16(t.data);
    if (h.depth <= 8) {
      const uint32_t top = (1u << h.depth) - 1;
      c.palette.resize(top + 1);
      for (uint32_t i = 0; i <= top; ++i) {
        const uint32_t g = i * 255 / top;
        c.palette[i] = c.hasKey && c.key[0] == i ? 0xFFFFFF : g << 16 | g << 8 | g;
      }
    }
  } else if (h.colour == kRgb && t.size >= 6) {
    c.hasKey = true;
    c.key[0] = Be16(t.data), c.key[1] = Be16(t.data + 2), c.key[2] = Be16(t.data + 4);
  }
  return c;
}

// One unfiltered row of n pixels into the output, every `step` bytes from o.
void ConvertRow(const Header& h, const Colours& c, const uint8_t* s, int n, uint8_t* o, size_t step) {
  auto put = [](uint8_t* px, uint8_t r, uint8_t g, uint8_t b) { px[0] = b, px[1] = g, px[2] = r; };
  const bool key = c.hasKey;
  switch (h.colour * 100 + h.depth) {
    case kGrey * 100 + 8:
    case kPalette * 100 + 8:
      for (int x = 0; x < n; ++x, o += step) *o = s[x];
      break;
    case kGrey * 100 + 1: case kGrey * 100 + 2: case kGrey * 100 + 4:
    case kPalette * 100 + 1: case kPalette * 100 + 2: case kPalette * 100 + 4: {
      const int d = h.depth, mask = (1 << d) - 1;
      for (int x = 0; x < n; ++x, o += step) {
        const int bit = x * d;
        *o = uint8_t((s[bit >> 3] >> (8 - d - (bit & 7))) & mask);
      }
      break;
    }
    case kGrey * 100 + 16:
      for (int x = 0; x < n; ++x, o += step, s += 2) {
        const uint16_t v = Be16(s);
        const uint8_t g = key && v == c.key[0] ? 255 : Scale16(v);
        put(o, g, g, g);
      }
      break;
    case kRgb * 100 + 8:
      if (!key && step == 3) {
        for (int x = 0; x < n; ++x, o += 3, s += 3) o[0] = s[2], o[1] = s[1], o[2] = s[0];
        break;
      }
      for (int x = 0; x < n; ++x, o += step, s += 3) {
        if (key && s[0] == c.key[0] && s[1] == c.key[1] && s[2] == c.key[2]) put(o, 255, 255, 255);
        else put(o, s[0], s[1], s[2]);
      }
      break;
    case kRgb * 100 + 16:
      for (int x = 0; x < n; ++x, o += step, s += 6) {
        const uint16_t r = Be16(s), g = Be16(s + 2), b = Be16(s + 4);
        if (key && r == c.key[0] && g == c.key[1] && b == c.key[2]) put(o, 255, 255, 255);
        else put(o, Scale16(r), Scale16(g), Scale16(b));
      }
      break;
    case kGreyAlpha * 100 + 8:
      for (int x = 0; x < n; ++x, o += step, s += 2) {
        const uint8_t g = Over8(s[0], s[1]);
        put(o, g, g, g);
      }
      break;
    case kGreyAlpha * 100 + 16:
      for (int x = 0; x < n; ++x, o += step, s += 4) {
        const uint8_t g = Over16(Be16(s), Be16(s + 2));
        put(o, g, g, g);
      }
      break;
    case kRgba * 100 + 8:
      for (int x = 0; x < n; ++x, o += step, s += 4) put(o, Over8(s[0], s[3]), Over8(s[1], s[3]), Over8(s[2], s[3]));
      break;
    case kRgba * 100 + 16:
      for (int x = 0; x < n; ++x, o += step, s += 8) {
        const uint16_t a = Be16(s + 6);
        put(o, Over16(Be16(s), a), Over16(Be16(s + 2), a), Over16(Be16(s + 4), a));
      }
      break;
  }
}

int Paeth(int a, int b, int c) {
  const int p = b - c, q = a - c;
  const int pa = std::abs(p), pb = std::abs(q), pc = std::abs(p + q);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// Undoes the filters of `rows` rows in place (each a filter byte and n bytes).
void Unfilter(uint8_t* p, size_t n, int rows, int bpp) {
  const uint8_t* prev = nullptr;
  for (int r = 0; r < rows; ++r, p += n + 1) {
    uint8_t* cur = p + 1;
    const uint8_t type = p[0];
    const size_t k = std::min<size_t>(size_t(bpp), n);
    switch (type) {
      case 0:
        break;
      case 1:
        for (size_t i = k; i < n; ++i) cur[i] = uint8_t(cur[i] + cur[i - bpp]);
        break;
      case 2:
        if (prev)
          for (size_t i = 0; i < n; ++i) cur[i] = uint8_t(cur[i] + prev[i]);
        break;
      case 3:
        if (prev) {
          for (size_t i = 0; i < k; ++i) cur[i] = uint8_t(cur[i] + (prev[i] >> 1));
          for (size_t i = k; i < n; ++i) cur[i] = uint8_t(cur[i] + ((cur[i - bpp] + prev[i]) >> 1));
        } else {
          for (size_t i = k; i < n; ++i) cur[i] = uint8_t(cur[i] + (cur[i - bpp] >> 1));
        }
        break;
      case 4:
        if (prev) {
          for (size_t i = 0; i < k; ++i) cur[i] = uint8_t(cur[i] + prev[i]);
          for (size_t i = k; i < n; ++i) cur[i] = uint8_t(cur[i] + Paeth(cur[i - bpp], prev[i], prev[i - bpp]));
        } else {  // above is all zero: Paeth picks the left byte
          for (size_t i = k; i < n; ++i) cur[i] = uint8_t(cur[i] + cur[i - bpp]);
        }
        break;
      default:
        Bad("bad filter type");
    }
    prev = cur;
  }
}

Picture Decode(const uint8_t* data, size_t size) {
  const Parsed parsed = ParseChunks(data, size);
  const Header& h = parsed.header;
  const int outBits = h.OutputBits();
  Picture::CheckSize(h.width, h.height, outBits);
  const uint64_t inflated = h.InflatedSize();
  if (inflated > kMaxPictureBytes) Bad("picture needs too much memory");
  if (inflated > parsed.idatBytes * kMaxDeflateRatio + 1024)  // (slack for tiny pictures)
    Bad("image data too short for the picture size");
  const Colours colours = MakeColours(parsed);

  // libdeflate inflates from one contiguous buffer.
  PixelBuffer joined;
  const uint8_t* z = parsed.idat[0].data;
  if (parsed.idat.size() > 1) {
    joined.resize(size_t(parsed.idatBytes));
    size_t at = 0;
    for (const Span& s : parsed.idat) std::memcpy(joined.data() + at, s.data, s.size), at += s.size;
    z = joined.data();
  }
  PixelBuffer raw(static_cast<size_t>(inflated));
  std::unique_ptr<libdeflate_decompressor, FreeDecompressor> dec(libdeflate_alloc_decompressor());
  if (!dec) throw std::bad_alloc();
  size_t used = 0;
  // The exact size as the limit: more data than the header implies stops
  // the inflater instead of growing anything.
  switch (libdeflate_zlib_decompress_ex(dec.get(), z, size_t(parsed.idatBytes), raw.data(), raw.size(), &used, nullptr)) {
    case LIBDEFLATE_SUCCESS: break;
    case LIBDEFLATE_SHORT_OUTPUT: Bad("image data ends early");
    case LIBDEFLATE_INSUFFICIENT_SPACE: Bad("more image data than the picture holds");
    default: Bad("corrupt image data");
  }
  if (used != parsed.idatBytes) Bad("other data after the image data");
  joined = PixelBuffer();

  Picture pic;
  pic.ResizeForOverwrite(h.width, h.height, outBits);
  if (outBits == 8) pic.palette = colours.palette;
  const size_t bytes = size_t(outBits / 8);
  const size_t rowUse = size_t(h.width) * bytes;
  for (int y = 0; y < h.height; ++y)  // stride padding
    std::memset(pic.Row(y) + rowUse, 0, size_t(pic.Stride()) - rowUse);

  uint8_t* p = raw.data();
  for (int i = 0; i < h.PassCount(); ++i) {
    const Pass& pass = h.Passes()[i];
    const int w = PassSide(h.width, pass.x0, pass.dx), rows = PassSide(h.height, pass.y0, pass.dy);
    if (w == 0 || rows == 0) continue;
    const size_t n = size_t(h.RowBytes(w));
    Unfilter(p, n, rows, h.FilterStep());
    for (int r = 0; r < rows; ++r, p += n + 1)
      ConvertRow(h, colours, p + 1, w, pic.Row(pass.y0 + r * pass.dy) + size_t(pass.x0) * bytes, bytes * size_t(pass.dx));
  }
  return pic;
}

// ---------------------------------------------------------------- encoding

uint32_t Cost(uint8_t v) { return v < 128 ? v : 256u - v; }  // |v as signed|

// The four filters of bytes [from, to) of a row, and their costs added to
// cost[1..4] (cost[0]: the unfiltered bytes). Needs from >= bpp.
void FilterSpan(const uint8_t* cur, const uint8_t* prev, size_t from, size_t to, uint8_t* const out[4], uint32_t cost[5]) {
  constexpr size_t bpp = 3;
  for (size_t i = from; i < to; ++i) {
    const int x = cur[i], a = cur[i - bpp], b = prev[i], c = prev[i - bpp];
    const uint8_t f[4] = {uint8_t(x - a), uint8_t(x - b), uint8_t(x - ((a + b) >> 1)), uint8_t(x - Paeth(a, b, c))};
    cost[0] += Cost(uint8_t(x));
    for (int k = 0; k < 4; ++k) out[k][i] = f[k], cost[k + 1] += Cost(f[k]);
  }
}

#if GRIV_PNG_SSE2
// FilterSpan sixteen bytes at a time; returns where it stopped.
GRIV_PNG_SSE2_FN size_t FilterSpanSse2(const uint8_t* cur, const uint8_t* prev, size_t from, size_t to,
                                       uint8_t* const out[4], uint32_t cost[5]) {
  constexpr size_t bpp = 3;
  const __m128i zero = _mm_setzero_si128(), one = _mm_set1_epi8(1);
  __m128i sums[5] = {zero, zero, zero, zero, zero};
  // (Macros, not lambdas: a lambda would not be compiled for SSE2.)
  // |v as signed| of each byte, added up in two 64-bit halves.
#define GRIV_ADD_COST(k, v) \
  sums[k] = _mm_add_epi64(sums[k], _mm_sad_epu8(_mm_min_epu8((v), _mm_sub_epi8(zero, (v))), zero))
#define GRIV_ABS16(v) _mm_max_epi16((v), _mm_sub_epi16(zero, (v)))
  size_t i = from;
  for (; i + 16 <= to; i += 16) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cur + i));
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cur + i - bpp));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(prev + i));
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(prev + i - bpp));
    // Rounded-down mean: the rounded-up one less the carried-away low bit.
    const __m128i mean = _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), one));
    // Paeth's distances need nine bits: work in 16-bit halves, then pack the masks.
    __m128i takeA[2], takeB[2];
    for (int h = 0; h < 2; ++h) {
      const __m128i a16 = h ? _mm_unpackhi_epi8(a, zero) : _mm_unpacklo_epi8(a, zero);
      const __m128i b16 = h ? _mm_unpackhi_epi8(b, zero) : _mm_unpacklo_epi8(b, zero);
      const __m128i c16 = h ? _mm_unpackhi_epi8(c, zero) : _mm_unpacklo_epi8(c, zero);
      const __m128i p = _mm_sub_epi16(b16, c16), q = _mm_sub_epi16(a16, c16);
      const __m128i pq = _mm_add_epi16(p, q);
      const __m128i pa = GRIV_ABS16(p), pb = GRIV_ABS16(q), pc = GRIV_ABS16(pq);
      const __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
      takeA[h] = notA;  // inverted: set where a is not taken
      takeB[h] = _mm_andnot_si128(_mm_cmpgt_epi16(pb, pc), notA);
    }
    const __m128i notA = _mm_packs_epi16(takeA[0], takeA[1]);
    const __m128i useB = _mm_packs_epi16(takeB[0], takeB[1]);
    const __m128i useC = _mm_andnot_si128(useB, notA);
    const __m128i pred = _mm_or_si128(_mm_andnot_si128(notA, a),
                                      _mm_or_si128(_mm_and_si128(useB, b), _mm_and_si128(useC, c)));
    const __m128i f[4] = {_mm_sub_epi8(x, a), _mm_sub_epi8(x, b), _mm_sub_epi8(x, mean), _mm_sub_epi8(x, pred)};
    GRIV_ADD_COST(0, x);
    for (int k = 0; k < 4; ++k) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out[k] + i), f[k]);
      GRIV_ADD_COST(k + 1, f[k]);
    }
  }
#undef GRIV_ADD_COST
#undef GRIV_ABS16
  for (int k = 0; k < 5; ++k)
    cost[k] += uint32_t(_mm_cvtsi128_si32(sums[k])) + uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(sums[k], 8)));
  return i;
}
#endif

// Filters row `cur` (above it `prev`, zeros for the first row) with the
// filter of least cost; writes the filter byte and the row to out.
void FilterRow(const uint8_t* cur, const uint8_t* prev, size_t n, uint8_t* scratch, uint8_t* out) {
  constexpr size_t bpp = 3;
  uint8_t* const rows[4] = {scratch, scratch + n, scratch + 2 * n, scratch + 3 * n};  // sub, up, avg, paeth
  uint32_t cost[5] = {0, 0, 0, 0, 0};
  const size_t k = std::min(bpp, n);
  for (size_t i = 0; i < k; ++i) {  // no left neighbour
    const uint8_t f[4] = {cur[i], uint8_t(cur[i] - prev[i]), uint8_t(cur[i] - (prev[i] >> 1)), uint8_t(cur[i] - prev[i])};
    cost[0] += Cost(cur[i]);
    for (int j = 0; j < 4; ++j) rows[j][i] = f[j], cost[j + 1] += Cost(f[j]);
  }
  size_t done = k;
#if GRIV_PNG_SSE2
  done = FilterSpanSse2(cur, prev, done, n, rows, cost);
#endif
  FilterSpan(cur, prev, done, n, rows, cost);
  int best = 0;
  for (int f = 1; f < 5; ++f)
    if (cost[f] < cost[best]) best = f;
  out[0] = uint8_t(best);
  std::memcpy(out + 1, best ? rows[best - 1] : cur, n);
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const uint8_t* body, size_t len) {
  const size_t at = out.size();
  out.resize(at + 12 + len);
  uint8_t* p = out.data() + at;
  PutBe32(p, uint32_t(len));
  std::memcpy(p + 4, type, 4);
  if (len) std::memcpy(p + 8, body, len);
  PutBe32(p + 8 + len, libdeflate_crc32(0, p + 4, len + 4));
}

std::vector<uint8_t> Encode(const Picture& pic, int level) {
  const int w = pic.width, h = pic.height;
  const size_t n = size_t(w) * 3;
  if (uint64_t(n + 1) * uint64_t(h) > kMaxPictureBytes + uint64_t(h)) throw EInvalidPicture("Picture too large for PNG");

  uint8_t lut[256][3] = {};
  if (pic.bpp == 8) {
    const size_t count = std::min<size_t>(pic.palette.size(), 256);
    for (size_t i = 0; i < count; ++i)
      lut[i][0] = uint8_t(pic.palette[i] >> 16), lut[i][1] = uint8_t(pic.palette[i] >> 8), lut[i][2] = uint8_t(pic.palette[i]);
    if (pic.palette.empty())
      for (int i = 0; i < 256; ++i) lut[i][0] = lut[i][1] = lut[i][2] = uint8_t(i);
  }

  PixelBuffer filtered(size_t(n + 1) * size_t(h));
  std::vector<uint8_t> rows(2 * n, 0), scratch(4 * n);
  uint8_t* prev = rows.data();
  uint8_t* cur = rows.data() + n;
  for (int y = 0; y < h; ++y) {
    const uint8_t* s = pic.Row(y);
    switch (pic.bpp) {
      case 8:
        for (int x = 0; x < w; ++x) std::memcpy(cur + 3 * x, lut[s[x]], 3);
        break;
      case 24:
        for (int x = 0; x < w; ++x, s += 3) cur[3 * x] = s[2], cur[3 * x + 1] = s[1], cur[3 * x + 2] = s[0];
        break;
      default:
        for (int x = 0; x < w; ++x, s += 4) cur[3 * x] = s[2], cur[3 * x + 1] = s[1], cur[3 * x + 2] = s[0];
        break;
    }
    FilterRow(cur, prev, n, scratch.data(), filtered.data() + size_t(y) * (n + 1));
    std::swap(prev, cur);
  }

  std::unique_ptr<libdeflate_compressor, FreeCompressor> comp(libdeflate_alloc_compressor(std::clamp(level, 0, 12)));
  if (!comp) throw std::bad_alloc();
  PixelBuffer z(libdeflate_zlib_compress_bound(comp.get(), filtered.size()));
  const size_t zSize = libdeflate_zlib_compress(comp.get(), filtered.data(), filtered.size(), z.data(), z.size());
  if (zSize == 0 || zSize > kMaxChunkLength) throw EInvalidPicture("PNG coding failed");
  filtered = PixelBuffer();

  uint8_t ihdr[13];
  PutBe32(ihdr, uint32_t(w));
  PutBe32(ihdr + 4, uint32_t(h));
  ihdr[8] = 8, ihdr[9] = kRgb, ihdr[10] = ihdr[11] = ihdr[12] = 0;
  std::vector<uint8_t> out;
  out.reserve(sizeof kSignature + 25 + 12 + zSize + 12);
  out.assign(kSignature, kSignature + sizeof kSignature);
  PutChunk(out, "IHDR", ihdr, sizeof ihdr);
  PutChunk(out, "IDAT", z.data(), zSize);
  PutChunk(out, "IEND", nullptr, 0);
  return out;
}

}  // namespace

bool IsPngData(const uint8_t* data, size_t size) {
  return data && size >= sizeof kSignature && std::memcmp(data, kSignature, sizeof kSignature) == 0;
}

bool PngDeclaredSize(const uint8_t* data, size_t size, int64_t& width, int64_t& height) {
  if (!IsPngData(data, size) || size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0) return false;
  width = Be32(data + 16);
  height = Be32(data + 20);
  return true;
}

Picture DecodePng(const uint8_t* data, size_t size) {
  try {
    return Decode(data, size);
  } catch (const std::bad_alloc&) {
    Bad("out of memory");
  }
}

std::vector<uint8_t> EncodePng(const Picture& pic, int level) {
  if (pic.Empty()) throw EInvalidPicture("Cannot write an empty picture");
  Picture::CheckSize(pic.width, pic.height, pic.bpp);
  if (pic.pixels.size() < size_t(pic.Stride()) * size_t(pic.height)) throw EInvalidPicture("Picture data incomplete");
  try {
    return Encode(pic, level);
  } catch (const std::bad_alloc&) {
    throw EInvalidPicture("PNG coding failed: out of memory");
  }
}

}  // namespace griv
