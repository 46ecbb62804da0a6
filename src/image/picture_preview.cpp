#include "image/picture_preview.h"

#include "image/png_codec.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "image/image_files.h"
#include "image/jpeg_codec.h"
#include "base/file_io.h"

namespace griv {

namespace {
uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }

// Each side first: a PNG may declare 2^32 - 1 on both, a product that int64 cannot hold.
bool WithinPreviewLimit(int64_t w, int64_t h) {
  return w <= kPreviewMaxPixels && h <= kPreviewMaxPixels && w * h <= kPreviewMaxPixels;
}
}  // namespace

bool DeclaredSize(const uint8_t* d, size_t n, int64_t& w, int64_t& h) {
  if (!d || n < 2) return false;
  if (d[0] == 'B' && d[1] == 'M') {
    if (n < 26) return false;
    if (Le32(&d[14]) == 12) {
      w = d[18] | (d[19] << 8);
      h = d[20] | (d[21] << 8);
    } else {
      w = int32_t(Le32(&d[18]));
      h = int32_t(Le32(&d[22]));
    }
    w = w < 0 ? -w : w;
    h = h < 0 ? -h : h;
    return true;
  }
  if (d[0] == 0xFF && d[1] == 0xD8) {
    int jw = 0, jh = 0;
    if (!JpegDeclaredSize(d, n, jw, jh)) return false;
    w = jw;
    h = jh;
    return true;
  }
  return PngDeclaredSize(d, n, w, h);
}

Picture PreviewPictureFromBytes(const uint8_t* data, size_t size) {
  try {
    int64_t w = 0, h = 0;
    if (!DeclaredSize(data, size, w, h) || !WithinPreviewLimit(w, h)) return Picture();
    return DecodeImageBytes(data, size);
  } catch (...) {
    // Not a picture, or too large for memory: no preview.
    return Picture();
  }
}

Picture LoadPreviewPicture(const std::string& fileName) {
  try {
    const int64_t size = FileSize(fileName);  // -1 for folders and missing files
    if (size < 2 || size > kPreviewMaxFileBytes) return Picture();
    const std::vector<uint8_t> bytes = ReadWholeFile(fileName);
    return PreviewPictureFromBytes(bytes.data(), bytes.size());
  } catch (...) {
    return Picture();
  }
}

Picture ScalePicture(const Picture& pic, int w, int h) {
  Picture out;
  if (pic.Empty() || w <= 0 || h <= 0) return out;
  out.Resize(w, h, 24);
  const int bytes = pic.bpp / 8;
  // Source column span of every target column.
  std::vector<int> x0(size_t(w) + 1);
  for (int x = 0; x <= w; ++x) x0[size_t(x)] = int(int64_t(x) * pic.width / w);
  uint32_t colors[256] = {};
  if (pic.bpp == 8)
    for (size_t i = 0; i < pic.palette.size() && i < 256; ++i) colors[i] = pic.palette[i];
  for (int y = 0; y < h; ++y) {
    const int sy0 = int(int64_t(y) * pic.height / h);
    const int sy1 = std::max(sy0 + 1, int(int64_t(y + 1) * pic.height / h));
    uint8_t* dst = out.Row(y);
    for (int x = 0; x < w; ++x) {
      const int sx0 = x0[size_t(x)], sx1 = std::max(sx0 + 1, x0[size_t(x) + 1]);
      uint32_t b = 0, g = 0, r = 0;
      for (int sy = sy0; sy < sy1; ++sy) {
        const uint8_t* row = pic.Row(sy);
        if (bytes == 1) {
          for (int sx = sx0; sx < sx1; ++sx) {
            const uint32_t c = colors[row[sx]];
            b += c & 0xFF, g += (c >> 8) & 0xFF, r += (c >> 16) & 0xFF;
          }
        } else {
          for (const uint8_t* px = row + size_t(sx0) * bytes; px < row + size_t(sx1) * bytes; px += bytes)
            b += px[0], g += px[1], r += px[2];
        }
      }
      const uint32_t n = uint32_t(sy1 - sy0) * uint32_t(sx1 - sx0);
      dst[0] = uint8_t((b + n / 2) / n), dst[1] = uint8_t((g + n / 2) / n), dst[2] = uint8_t((r + n / 2) / n);
      dst += 3;
    }
  }
  return out;
}

}  // namespace griv
