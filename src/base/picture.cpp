#include "base/picture.h"

namespace griv {

void Picture::Resize(int w, int h, int bits) {
  if (w < 0 || h < 0 || w > kMaxPictureSide || h > kMaxPictureSide || (bits != 8 && bits != 24 && bits != 32))
    throw EInvalidPicture("Unsupported picture size or format");
  uint64_t bytes = uint64_t(StrideFor(w, bits)) * uint64_t(h);
  if (bytes > kMaxPictureBytes) throw EInvalidPicture("Picture too large");
  width = w;
  height = h;
  bpp = bits;
  pixels.assign(static_cast<size_t>(bytes), 0);
  if (bits != 8) palette.clear();
}

}  // namespace griv
