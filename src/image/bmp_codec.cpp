#include "image/bmp_codec.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

namespace griv {
namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
constexpr size_t kFileHeader = 14;
// Run-length data can describe any area in a few bytes (end-of-line and
// end-of-bitmap codes skip the rest), so a tiny file could make us hold a
// huge picture. Pictures up to kFreeRlePixels are always accepted; beyond
// that each byte of run data may stand for at most kRlePixelsPerByte pixels.
// Runs of one colour give at most 127 pixels a byte, so real files pass.
constexpr uint64_t kFreeRlePixels = 16ull << 20;
constexpr uint64_t kRlePixelsPerByte = 512;

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }
void Put16(uint8_t* p, uint32_t v) { p[0] = uint8_t(v), p[1] = uint8_t(v >> 8); }
void Put32(uint8_t* p, uint32_t v) { p[0] = uint8_t(v), p[1] = uint8_t(v >> 8), p[2] = uint8_t(v >> 16), p[3] = uint8_t(v >> 24); }

[[noreturn]] void Bad(const char* why) { throw EInvalidPicture(std::string("Invalid bitmap: ") + why); }

struct Header {
  int width = 0, height = 0;  // height positive; topDown tells the row order
  bool topDown = false;
  int bits = 0;
  uint32_t compression = kRgb;
  uint32_t masks[3] = {0, 0, 0};  // red, green, blue
  std::vector<uint32_t> palette;
  size_t pixelOffset = 0;
  size_t pixelBytes = 0;  // bytes available for pixel data from pixelOffset
};

// One colour channel of a bit-field pixel, scaled to 0..255.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint64_t max = 0;
  explicit Channel(uint32_t m) : mask(m) {
    if (!m) return;
    while (!((m >> shift) & 1)) ++shift;
    max = m >> shift;
  }
  uint8_t operator()(uint32_t pix) const {
    if (!max) return 0;
    return uint8_t(((uint64_t((pix & mask) >> shift)) * 255 + max / 2) / max);
  }
};

Header ParseHeader(const uint8_t* d, size_t size) {
  if (size < kFileHeader + 12) Bad("file too short");
  if (d[0] != 'B' || d[1] != 'M') Bad("not a bitmap file");
  Header h;
  const uint32_t offBits = U32(d + 10);
  const uint32_t hs = U32(d + 14);
  const uint8_t* ih = d + kFileHeader;
  size_t paletteAt = 0, entrySize = 4;
  uint64_t colours = 0;
  int64_t height = 0;

  if (hs == 12) {  // old OS/2 core header
    h.width = U16(ih + 4);
    height = U16(ih + 6);
    h.bits = U16(ih + 10);
    if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 24) Bad("unsupported bit depth");
    entrySize = 3;
    paletteAt = kFileHeader + 12;
    colours = h.bits <= 8 ? (1u << h.bits) : 0;
  } else if (hs == 40 || hs == 52 || hs == 56 || hs == 64 || hs == 108 || hs == 124) {
    if (size < kFileHeader + hs) Bad("header truncated");
    int32_t w = int32_t(U32(ih + 4));
    height = int32_t(U32(ih + 8));
    if (w <= 0) Bad("bad width");
    h.width = w > kMaxPictureSide ? kMaxPictureSide + 1 : w;
    h.bits = U16(ih + 14);
    h.compression = U32(ih + 16);
    colours = U32(ih + 32);
    paletteAt = kFileHeader + hs;
    const bool fields = h.compression == kBitFields || h.compression == kAlphaBitFields;
    if (hs == 64 && h.compression != kRgb && h.compression != kRle8 && h.compression != kRle4)
      Bad("unsupported compression");  // OS/2 2.x numbers its methods differently
    if (fields) {
      if (h.bits != 16 && h.bits != 32) Bad("bit fields need 16 or 32 bpp");
      const uint8_t* m = ih + 40;
      if (hs == 40) {  // masks follow the header
        size_t n = h.compression == kAlphaBitFields ? 16 : 12;
        if (size < paletteAt + n) Bad("masks truncated");
        paletteAt += n;
      }
      for (int i = 0; i < 3; ++i) h.masks[i] = U32(m + 4 * i);
    } else if (h.compression == kRle8) {
      if (h.bits != 8) Bad("RLE8 needs 8 bpp");
    } else if (h.compression == kRle4) {
      if (h.bits != 4) Bad("RLE4 needs 4 bpp");
    } else if (h.compression != kRgb) {
      Bad("unsupported compression");
    }
    if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32)
      Bad("unsupported bit depth");
    if (h.bits <= 8 && colours == 0) colours = 1u << h.bits;
    if (h.bits > 8) colours = 0;  // a colour table for true-colour files is only a display hint
  } else {
    Bad("unsupported header");
  }

  if (height < 0) {
    h.topDown = true;
    height = -height;
  }
  if (height == 0 || h.width == 0) Bad("empty picture");
  if (height > kMaxPictureSide || h.width > kMaxPictureSide ||
      uint64_t(height) * uint64_t(h.width) > kMaxPicturePixels)
    Bad("picture too large");
  h.height = int(height);
  if (h.topDown && (h.compression == kRle8 || h.compression == kRle4)) Bad("top-down RLE");

  // Pixel data: normally at offBits; a zero offset means "right after the colour table".
  const size_t paletteEnd = paletteAt + size_t(std::min<uint64_t>(colours, 1u << 16)) * entrySize;
  if (offBits == 0) {
    h.pixelOffset = paletteEnd;
  } else {
    if (offBits < paletteAt) Bad("pixel data overlaps the header");
    h.pixelOffset = offBits;
  }
  if (h.pixelOffset > size) Bad("pixel data missing");
  h.pixelBytes = size - h.pixelOffset;

  if (h.bits <= 8) {
    uint64_t n = std::min<uint64_t>(colours, 1u << h.bits);
    if (h.pixelOffset >= paletteAt) n = std::min<uint64_t>(n, (h.pixelOffset - paletteAt) / entrySize);
    if (paletteAt + n * entrySize > size) Bad("colour table truncated");
    if (n == 0) Bad("colour table missing");
    h.palette.assign(size_t(1) << h.bits, 0);
    for (size_t i = 0; i < n; ++i) {
      const uint8_t* e = d + paletteAt + i * entrySize;
      h.palette[i] = uint32_t(e[0]) | (uint32_t(e[1]) << 8) | (uint32_t(e[2]) << 16);
    }
  }
  return h;
}

void ReadUncompressed(const Header& h, const uint8_t* src, Picture& pic) {
  const uint64_t stride = ((uint64_t(h.width) * h.bits + 31) / 32) * 4;
  const uint64_t rowBytes = (uint64_t(h.width) * h.bits + 7) / 8;
  if (stride * uint64_t(h.height - 1) + rowBytes > h.pixelBytes) Bad("pixel data truncated");

  const int outBits = h.bits <= 8 ? 8 : (h.bits == 32 ? 32 : 24);
  pic.Resize(h.width, h.height, outBits);
  if (outBits == 8) pic.palette = h.palette;

  const bool fields = h.compression == kBitFields || h.compression == kAlphaBitFields;
  uint32_t masks[3] = {h.masks[0], h.masks[1], h.masks[2]};
  if (!fields) {
    if (h.bits == 16) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    if (h.bits == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
  }
  const Channel r(masks[0]), g(masks[1]), b(masks[2]);
  const bool plain32 = masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF;
  const int w = h.width;

  for (int fileRow = 0; fileRow < h.height; ++fileRow) {
    const uint8_t* s = src + stride * uint64_t(fileRow);
    uint8_t* o = pic.Row(h.topDown ? fileRow : h.height - 1 - fileRow);
    switch (h.bits) {
      case 1:
        for (int x = 0; x < w; ++x) o[x] = (s[x >> 3] >> (7 - (x & 7))) & 1;
        break;
      case 4:
        for (int x = 0; x < w; ++x) o[x] = (x & 1) ? (s[x >> 1] & 15) : (s[x >> 1] >> 4);
        break;
      case 8:
      case 24:
        std::memcpy(o, s, size_t(rowBytes));
        break;
      case 16:
        for (int x = 0; x < w; ++x, o += 3) {
          uint32_t p = U16(s + 2 * x);
          o[0] = b(p), o[1] = g(p), o[2] = r(p);
        }
        break;
      case 32:
        if (plain32) {
          for (int x = 0; x < w; ++x, o += 4, s += 4) o[0] = s[0], o[1] = s[1], o[2] = s[2], o[3] = 0;
        } else {
          for (int x = 0; x < w; ++x, o += 4) {
            uint32_t p = U32(s + 4 * x);
            o[0] = b(p), o[1] = g(p), o[2] = r(p), o[3] = 0;
          }
        }
        break;
    }
  }
}

// Run-length data, rows bottom-up. Output is clipped to the picture, so no
// stream can write outside it; every step consumes input, so it always ends.
void ReadRle(const Header& h, const uint8_t* src, Picture& pic) {
  const uint64_t pixels = uint64_t(h.width) * uint64_t(h.height);
  if (pixels > kFreeRlePixels && pixels > uint64_t(h.pixelBytes) * kRlePixelsPerByte)
    Bad("run-length data too short for the picture size");
  pic.Resize(h.width, h.height, 8);
  pic.palette = h.palette;
  const bool four = h.compression == kRle4;
  const size_t n = h.pixelBytes;
  const int w = h.width, ht = h.height;
  size_t p = 0;
  int x = 0, row = 0;  // row counts from the bottom
  auto put = [&](uint8_t v) {
    if (x < w) pic.Row(ht - 1 - row)[x] = v;
    ++x;
  };
  while (row < ht && p + 2 <= n) {
    const uint8_t a = src[p], c = src[p + 1];
    p += 2;
    if (a > 0) {  // a pixels of colour c (two alternating colours for RLE4)
      const int count = std::min<int>(a, std::max(0, w - x));
      if (!four) {
        std::memset(pic.Row(ht - 1 - row) + x, c, size_t(count));
      } else {
        uint8_t* o = pic.Row(ht - 1 - row) + x;
        for (int i = 0; i < count; ++i) o[i] = (i & 1) ? (c & 15) : (c >> 4);
      }
      x = std::min(x + a, w);
    } else if (c == 0) {  // end of line
      x = 0;
      ++row;
    } else if (c == 1) {  // end of bitmap
      break;
    } else if (c == 2) {  // move right and up
      if (p + 2 > n) Bad("RLE data truncated");
      x = std::min(x + src[p], w);
      row += src[p + 1];
      p += 2;
    } else {  // c literal pixels, padded to a 16-bit boundary
      const size_t bytes = four ? (size_t(c) + 1) / 2 : c;
      if (p + bytes > n) Bad("RLE data truncated");
      for (int i = 0; i < c && x < w; ++i) {
        uint8_t v = four ? ((i & 1) ? (src[p + i / 2] & 15) : (src[p + i / 2] >> 4)) : src[p + i];
        put(v);
      }
      x = std::min(x, w);
      p = std::min(n, p + ((bytes + 1) & ~size_t(1)));
    }
  }
}

}  // namespace

Picture ReadBmp(const uint8_t* data, size_t size) {
  if (!data) Bad("no data");
  Header h = ParseHeader(data, size);
  Picture pic;
  try {
    if (h.compression == kRle8 || h.compression == kRle4)
      ReadRle(h, data + h.pixelOffset, pic);
    else
      ReadUncompressed(h, data + h.pixelOffset, pic);
  } catch (const std::bad_alloc&) {
    Bad("not enough memory for the picture");
  }
  return pic;
}

std::vector<uint8_t> BmpHeaders(const Picture& pic) {
  if (pic.Empty()) throw EInvalidPicture("Cannot write an empty picture");
  Picture::CheckSize(pic.width, pic.height, pic.bpp);
  const size_t stride = size_t(pic.Stride());
  if (pic.pixels.size() < stride * size_t(pic.height)) throw EInvalidPicture("Picture data incomplete");

  std::vector<uint32_t> palette;
  if (pic.bpp == 8) palette = pic.palette.empty() ? GreyPalette() : pic.palette;
  if (palette.size() > 256) palette.resize(256);
  const size_t infoSize = 40;
  const size_t offBits = kFileHeader + infoSize + palette.size() * 4;
  const size_t imageSize = stride * size_t(pic.height);
  std::vector<uint8_t> out(offBits, 0);
  uint8_t* d = out.data();
  d[0] = 'B', d[1] = 'M';
  Put32(d + 2, uint32_t(offBits + imageSize));
  Put32(d + 10, uint32_t(offBits));
  uint8_t* ih = d + kFileHeader;
  Put32(ih, uint32_t(infoSize));
  Put32(ih + 4, uint32_t(pic.width));
  Put32(ih + 8, uint32_t(pic.height));  // positive: bottom-up
  Put16(ih + 12, 1);
  Put16(ih + 14, uint32_t(pic.bpp));
  Put32(ih + 16, kRgb);
  Put32(ih + 20, uint32_t(imageSize));
  Put32(ih + 32, uint32_t(palette.size()));
  for (size_t i = 0; i < palette.size(); ++i) Put32(ih + infoSize + 4 * i, palette[i] & 0xFFFFFF);
  return out;
}

void BmpFileRows(const Picture& pic, int firstFileRow, int count, uint8_t* out) {
  const size_t stride = size_t(pic.Stride());
  // The X byte of 32-bit pixels is written as 0: copied and cleared a pixel
  // at a time, in one pass the compiler turns into vector code.
  const uint8_t keep[4] = {0xFF, 0xFF, 0xFF, 0};
  uint32_t mask;
  std::memcpy(&mask, keep, 4);
  for (int r = firstFileRow; r < firstFileRow + count; ++r, out += stride) {
    const uint8_t* row = pic.Row(pic.height - 1 - r);
    if (pic.bpp != 32) {
      std::memcpy(out, row, stride);
      continue;
    }
    for (size_t i = 0; i < stride; i += 4) {
      uint32_t v;
      std::memcpy(&v, row + i, 4);
      v &= mask;
      std::memcpy(out + i, &v, 4);
    }
  }
}

std::vector<uint8_t> WriteBmp(const Picture& pic) {
  std::vector<uint8_t> out = BmpHeaders(pic);
  const size_t offBits = out.size();
  out.resize(offBits + size_t(pic.Stride()) * size_t(pic.height));
  BmpFileRows(pic, 0, pic.height, out.data() + offBits);
  return out;
}

}  // namespace griv
