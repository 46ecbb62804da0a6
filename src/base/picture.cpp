#include "base/picture.h"

#include <algorithm>
#include <cstring>

namespace griv {

namespace {
// Storage of exactly `bytes`. A buffer of another size is freed before the
// new one is asked for, so the two never coexist.
void SizeStorage(PixelBuffer& px, size_t bytes) {
  if (px.capacity() == bytes) return;
  PixelBuffer().swap(px);
  px.reserve(bytes);
}
}  // namespace

void Picture::CheckSize(int w, int h, int bits) {
  if (w < 0 || h < 0 || w > kMaxPictureSide || h > kMaxPictureSide || (bits != 8 && bits != 24 && bits != 32))
    throw EInvalidPicture("Unsupported picture size or format");
  if (uint64_t(w) * uint64_t(h) > kMaxPicturePixels ||
      uint64_t(StrideFor(w, bits)) * uint64_t(h) > kMaxPictureBytes)
    throw EInvalidPicture("Picture too large");
}

Picture& Picture::operator=(const Picture& other) {
  if (this == &other) return *this;
  SizeStorage(pixels, other.pixels.size());
  pixels.assign(other.pixels.begin(), other.pixels.end());
  palette = other.palette;
  width = other.width;
  height = other.height;
  bpp = other.bpp;
  return *this;
}

void Picture::Resize(int w, int h, int bits) {
  CheckSize(w, h, bits);
  const size_t bytes = static_cast<size_t>(uint64_t(StrideFor(w, bits)) * uint64_t(h));
  width = height = 0;  // consistent even when the allocation below fails
  SizeStorage(pixels, bytes);
  pixels.assign(bytes, 0);
  width = w;
  height = h;
  bpp = bits;
  if (bits != 8) palette.clear();
}

void Picture::ResizeForOverwrite(int w, int h, int bits) {
  CheckSize(w, h, bits);
  const size_t bytes = static_cast<size_t>(uint64_t(StrideFor(w, bits)) * uint64_t(h));
  width = height = 0;
  SizeStorage(pixels, bytes);
  pixels.resize(bytes);
  width = w;
  height = h;
  bpp = bits;
  if (bits != 8) palette.clear();
}

Picture ConvertTo24(const Picture& src) {
  Picture out;
  out.Resize(src.width, src.height, 24);
  if (src.Empty()) return out;
  uint8_t lut[256][3] = {};
  if (src.bpp == 8) {
    size_t n = std::min<size_t>(src.palette.size(), 256);
    for (size_t i = 0; i < n; ++i) {
      lut[i][0] = uint8_t(src.palette[i]);
      lut[i][1] = uint8_t(src.palette[i] >> 8);
      lut[i][2] = uint8_t(src.palette[i] >> 16);
    }
  }
  for (int y = 0; y < src.height; ++y) {
    const uint8_t* s = src.Row(y);
    uint8_t* d = out.Row(y);
    switch (src.bpp) {
      case 24:
        std::memcpy(d, s, size_t(src.width) * 3);
        break;
      case 32:
        for (int x = 0; x < src.width; ++x, s += 4, d += 3) d[0] = s[0], d[1] = s[1], d[2] = s[2];
        break;
      default:
        for (int x = 0; x < src.width; ++x, d += 3) std::memcpy(d, lut[s[x]], 3);
        break;
    }
  }
  return out;
}

std::vector<uint32_t> GreyPalette() {
  std::vector<uint32_t> p(256);
  for (uint32_t i = 0; i < 256; ++i) p[i] = i | (i << 8) | (i << 16);
  return p;
}

}  // namespace griv
