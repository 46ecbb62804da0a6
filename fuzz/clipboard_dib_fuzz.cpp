// Packed DIBs as another program may put them on the clipboard: the reader
// must throw EInvalidPicture or return a consistent picture, which reads back
// the same from the packed form of a bitmap file and can be shown.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "image/bmp_codec.h"
#include "image/clipboard_dib.h"
#include "render_check.h"

using namespace griv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Picture p;
  try {
    p = ReadPackedDib(data, size);
  } catch (const EInvalidPicture&) {
    return 0;
  }
  if (p.Empty() || p.pixels.size() != size_t(p.Stride()) * size_t(p.height)) std::abort();
  if (p.bpp == 8 && p.palette.empty()) std::abort();
  if (p.pixels.size() <= (1u << 20)) {
    constexpr size_t kFileHeader = 14;
    const std::vector<uint8_t> file = WriteBmp(p);
    const Picture q = ReadPackedDib(file.data() + kFileHeader, file.size() - kFileHeader);
    if (q.width != p.width || q.height != p.height || q.bpp != p.bpp || q.pixels != p.pixels) std::abort();
  }
  CheckRenders(p);
  return 0;
}
