#include "base/dib_win.h"

#include <algorithm>
#include <cstring>

namespace griv {

BITMAPINFO TopDownInfo(int width, int height, int bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = static_cast<WORD>(bits);
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

void FillPictureInfo(const Picture& pic, PictureInfo& info) {
  std::memset(&info, 0, sizeof info);
  info.header = TopDownInfo(pic.width, pic.height, pic.bpp).bmiHeader;
  if (pic.bpp == 8) {
    const size_t n = std::min<size_t>(pic.palette.size(), 256);
    info.header.biClrUsed = static_cast<DWORD>(n);
    std::memcpy(info.colors, pic.palette.data(), n * sizeof(RGBQUAD));
  }
}

bool MakeDibSection(const Picture& pic, DibSection& dib, bool copyPixels) {
  dib.Reset();
  PictureInfo info;
  FillPictureInfo(pic, info);
  dib.bitmap.reset(CreateDIBSection(nullptr, info.get(), DIB_RGB_COLORS, &dib.bits, nullptr, 0));
  if (!dib.bitmap || !dib.bits) return false;
  if (copyPixels && !pic.pixels.empty()) std::memcpy(dib.bits, pic.pixels.data(), pic.pixels.size());
  return true;
}

}  // namespace griv
