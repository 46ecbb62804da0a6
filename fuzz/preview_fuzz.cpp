// The open dialog's preview on arbitrary bytes: the size sniffer and the
// bounded loader. A picture comes back only within the preview's limit, and
// then at the size the header declared.
#include <cstdint>
#include <cstdlib>

#include "image/picture_preview.h"

using namespace griv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int64_t w = -1, h = -1;
  const bool declared = DeclaredSize(data, size, w, h);
  if (declared && (w < 0 || h < 0)) std::abort();
  const Picture p = PreviewPictureFromBytes(data, size);
  if (p.Empty()) return 0;
  if (!declared || __int128(w) * h > kPreviewMaxPixels) std::abort();
  if (int64_t(p.width) != w || int64_t(p.height) != h) std::abort();
  if (p.pixels.size() != size_t(p.Stride()) * size_t(p.height)) std::abort();
  const Picture s = ScalePicture(p, 1 + int(size % 169), 1 + int(size % 200));
  if (s.bpp != 24 || s.pixels.size() != size_t(s.Stride()) * size_t(s.height)) std::abort();
  return 0;
}
