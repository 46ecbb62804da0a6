// Packed DIBs as another program may put them on the clipboard: the reader
// must throw EInvalidPicture or return a consistent picture.
#include <cstddef>
#include <cstdint>

#include "image/clipboard_dib.h"

using namespace griv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const Picture p = ReadPackedDib(data, size);
    if (p.pixels.size() != size_t(p.Stride()) * size_t(p.height)) __builtin_trap();
  } catch (const EInvalidPicture&) {
  }
  return 0;
}
