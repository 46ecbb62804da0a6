// Hand-made BMP and JPEG files and test pictures, shared by the unit tests,
// the fuzz targets (as seeds) and the benchmarks.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include "base/picture.h"

namespace griv::craft {

inline void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}
inline void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

struct BmpSpec {
  uint32_t headerSize = 40;       // 12, 40, 52, 56, 108, 124
  int32_t width = 0, height = 0;  // height < 0: top-down
  uint16_t bits = 24;
  uint32_t compression = 0;
  std::vector<uint32_t> palette;  // 0x00RRGGBB
  uint32_t clrUsed = 0xFFFFFFFF;  // default: palette.size()
  std::vector<uint32_t> masks;    // R, G, B[, A]: after a 40-byte header, inside larger ones
  std::vector<uint8_t> pixels;    // the stored pixel data
  int64_t offBits = -1;           // default: right after the colour table
};

inline std::vector<uint8_t> MakeBmp(const BmpSpec& s) {
  std::vector<uint8_t> info;
  if (s.headerSize == 12) {
    Put32(info, 12);
    Put16(info, uint32_t(s.width));
    Put16(info, uint32_t(s.height));
    Put16(info, 1);
    Put16(info, s.bits);
  } else {
    Put32(info, s.headerSize);
    Put32(info, uint32_t(s.width));
    Put32(info, uint32_t(s.height));
    Put16(info, 1);
    Put16(info, s.bits);
    Put32(info, s.compression);
    Put32(info, uint32_t(s.pixels.size()));
    Put32(info, 2835);
    Put32(info, 2835);
    Put32(info, s.clrUsed == 0xFFFFFFFF ? uint32_t(s.palette.size()) : s.clrUsed);
    Put32(info, 0);
    if (s.headerSize > 40) {
      for (size_t i = 0; i < 4; ++i) Put32(info, i < s.masks.size() ? s.masks[i] : 0);
      info.resize(s.headerSize, 0);
    } else {
      for (uint32_t m : s.masks) Put32(info, m);
    }
  }
  for (uint32_t c : s.palette) {
    info.push_back(uint8_t(c));
    info.push_back(uint8_t(c >> 8));
    info.push_back(uint8_t(c >> 16));
    if (s.headerSize != 12) info.push_back(0);
  }
  std::vector<uint8_t> f;
  f.push_back('B');
  f.push_back('M');
  const uint32_t off = s.offBits >= 0 ? uint32_t(s.offBits) : uint32_t(14 + info.size());
  Put32(f, uint32_t(14 + info.size() + s.pixels.size()));
  Put32(f, 0);
  Put32(f, off);
  f.insert(f.end(), info.begin(), info.end());
  f.insert(f.end(), s.pixels.begin(), s.pixels.end());
  return f;
}

// Packs rows of palette indexes (top row first) into stored rows of `bits`
// bits per pixel, 4-byte aligned, bottom-up unless topDown.
inline std::vector<uint8_t> PackIndexRows(const std::vector<std::vector<uint8_t>>& rows, int bits, bool topDown = false) {
  const size_t w = rows.empty() ? 0 : rows[0].size();
  const size_t stride = ((w * bits + 31) / 32) * 4;
  std::vector<uint8_t> out(stride * rows.size(), 0);
  for (size_t r = 0; r < rows.size(); ++r) {
    uint8_t* o = out.data() + stride * (topDown ? r : rows.size() - 1 - r);
    for (size_t x = 0; x < w; ++x) {
      const size_t bit = x * bits;
      o[bit / 8] |= uint8_t(rows[r][x] << (8 - bits - bit % 8));
    }
  }
  return out;
}

// A synthetic screenshot: window-like panels, a title bar, "text" lines of
// glyph-sized dark strokes on light ground, a gradient and a photo-like patch.
inline Picture TestPattern(int w, int h, int bpp) {
  Picture p;
  p.Resize(w, h, bpp == 8 ? 24 : bpp);
  const int bytes = p.bpp / 8;
  uint32_t seed = 12345;
  auto rnd = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
  for (int y = 0; y < h; ++y) {
    uint8_t* row = p.Row(y);
    for (int x = 0; x < w; ++x) {
      uint8_t r, g, b;
      if (y < h / 20) {  // title bar gradient
        r = uint8_t(20 + 60 * x / w), g = uint8_t(60 + 80 * x / w), b = uint8_t(160 + 80 * x / w);
      } else if (x < w / 6) {  // side panel with icons
        const bool icon = ((x / 24) % 2 == 0) && ((y / 24) % 3 == 1);
        r = icon ? uint8_t(200 - (x * 7 + y * 3) % 90) : 236;
        g = icon ? uint8_t(120 + (x * 5) % 100) : 236;
        b = icon ? uint8_t(40 + (y * 11) % 120) : 240;
      } else if (y > h * 3 / 4 && x > w * 2 / 3) {  // photo-like patch
        const int v = (x * 3 + y * 5) % 200 + int(rnd() % 40);
        r = uint8_t(std::min(255, v)), g = uint8_t(std::min(255, v * 3 / 4 + 30)), b = uint8_t(std::min(255, v / 2 + 50));
      } else {  // text lines: glyph cells 7x13 with strokes
        const int line = y % 18, cell = x % 8;
        const int glyph = (x / 8 * 31 + y / 18 * 17) % 23;
        const bool ink = line >= 3 && line < 14 && cell < 6 && glyph > 4 &&
                         ((cell == glyph % 6) || (line == 3 + glyph % 11) || ((cell + line + glyph) % 7 == 0));
        r = g = b = ink ? uint8_t(30) : uint8_t(250);
        if (ink && glyph % 9 == 0) r = 10, g = 40, b = 190;  // a link
      }
      uint8_t* px = row + size_t(x) * bytes;
      px[0] = b, px[1] = g, px[2] = r;
    }
  }
  if (bpp == 8) {  // 6x6x6 colour cube
    Picture q;
    q.Resize(w, h, 8);
    for (int i = 0; i < 216; ++i) q.palette.push_back(uint32_t((i / 36) * 51) << 16 | uint32_t((i / 6 % 6) * 51) << 8 | uint32_t(i % 6 * 51));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint8_t* s = p.Row(y) + 3 * x;
        q.Row(y)[x] = uint8_t((s[2] + 25) / 51 * 36 + (s[1] + 25) / 51 * 6 + (s[0] + 25) / 51);
      }
    return q;
  }
  return p;
}

enum class JpegKind { Baseline444, Progressive, Grey, CmykAdobe, Arithmetic };

// Encodes a 24-bit picture with libjpeg directly, in kinds the program
// itself never writes.
inline std::vector<uint8_t> MakeJpeg(const Picture& pic, JpegKind kind, int quality = 85) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buf = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buf, &size);
  c.image_width = JDIMENSION(pic.width);
  c.image_height = JDIMENSION(pic.height);
  if (kind == JpegKind::Grey) {
    c.input_components = 1, c.in_color_space = JCS_GRAYSCALE;
  } else if (kind == JpegKind::CmykAdobe) {
    c.input_components = 4, c.in_color_space = JCS_CMYK;
  } else {
    c.input_components = 3, c.in_color_space = JCS_EXT_BGR;
  }
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  if (kind == JpegKind::Baseline444) c.comp_info[0].h_samp_factor = c.comp_info[0].v_samp_factor = 1;
  if (kind == JpegKind::Progressive) jpeg_simple_progression(&c);
  if (kind == JpegKind::Arithmetic) c.arith_code = TRUE;
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(size_t(pic.width) * 4);
  while (c.next_scanline < c.image_height) {
    const uint8_t* s = pic.Row(int(c.next_scanline));
    for (int x = 0; x < pic.width; ++x) {
      const uint8_t b = s[3 * x], g = s[3 * x + 1], r = s[3 * x + 2];
      if (kind == JpegKind::Grey) {
        row[x] = uint8_t((r * 299 + g * 587 + b * 114 + 500) / 1000);
      } else if (kind == JpegKind::CmykAdobe) {  // inverted, as Adobe writes it; no black
        row[4 * x] = r, row[4 * x + 1] = g, row[4 * x + 2] = b, row[4 * x + 3] = 255;
      } else {
        row[3 * x] = b, row[3 * x + 1] = g, row[3 * x + 2] = r;
      }
    }
    JSAMPROW rp = row.data();
    jpeg_write_scanlines(&c, &rp, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::vector<uint8_t> out(buf, buf + size);
  std::free(buf);
  return out;
}

}  // namespace griv::craft
