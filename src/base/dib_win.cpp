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

namespace {
class DibPixels : public ExternalPixels {
 public:
  DibPixels(int w, int h, int bits) : width(w), height(h), bpp(bits) {
    BITMAPINFO bi = TopDownInfo(w, h, bits);
    dib.bitmap.reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &dib.bits, nullptr, 0));
  }
  uint8_t* Bytes() override { return static_cast<uint8_t*>(dib.bits); }
  size_t Capacity() const override { return size_t(Picture::StrideFor(width, bpp)) * size_t(height); }

  const int width, height, bpp;
  DibSection dib;
};
}  // namespace

void ResizeIntoBitmap(Picture& pic, int w, int h, int bits) {
  Picture::CheckSize(w, h, bits);
  if (bits == 8) throw EInvalidPicture("Unsupported picture format");
  pic.Clear();  // the old storage goes before the new is asked for
  if (w == 0 || h == 0) {
    pic.ResizeForOverwrite(w, h, bits);
    return;
  }
  auto dib = std::make_unique<DibPixels>(w, h, bits);
  if (!dib->dib.bitmap || !dib->dib.bits) throw std::bad_alloc();
  const size_t bytes = dib->Capacity();
  pic.pixels.Adopt(std::move(dib), bytes);
  pic.width = w;
  pic.height = h;
  pic.bpp = bits;
}

HBITMAP PictureBitmap(const Picture& pic) {
  const auto* dib = dynamic_cast<const DibPixels*>(pic.pixels.External());
  if (!dib || dib->width != pic.width || dib->height != pic.height || dib->bpp != pic.bpp ||
      pic.pixels.size() != dib->Capacity())
    return nullptr;
  return dib->dib.bitmap.get();
}

}  // namespace griv
