// PNG reader on arbitrary bytes: it must throw EInvalidPicture or return a
// consistent picture; small results are written and read back unchanged.
// Seeds: fuzz/png_seeds (committed), or GRIV_FUZZ_SEEDS=<dir> writes the
// program's own files there first.
#include <cstdlib>
#include <fstream>
#include <string>

#include "../tests/unit/image_craft.h"
#include "app/png_codec.h"

using namespace griv;

namespace {

void Save(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream(dir + "/" + name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void WriteSeeds(const std::string& dir) {
  for (int bpp : {8, 24, 32}) Save(dir, "own" + std::to_string(bpp) + ".png", EncodePng(craft::TestPattern(13, 9, bpp)));
  Save(dir, "own-1x1.png", EncodePng(craft::TestPattern(1, 1, 24)));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* dir = std::getenv("GRIV_FUZZ_SEEDS")) WriteSeeds(dir);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Picture p;
  try {
    p = DecodePng(data, size);
  } catch (const EInvalidPicture&) {
    return 0;
  }
  if (p.Empty() || (p.bpp != 8 && p.bpp != 24) || p.pixels.size() != size_t(p.Stride()) * size_t(p.height)) std::abort();
  if (p.bpp == 8) {
    if (p.palette.empty() || p.palette.size() > 256) std::abort();
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x)
        if (p.Row(y)[x] >= p.palette.size()) std::abort();
  }
  if (p.pixels.size() <= (256u << 10)) {
    const Picture q = DecodePng(EncodePng(p));
    if (q.width != p.width || q.height != p.height || q.pixels != ConvertTo24(p).pixels) std::abort();
  }
  return 0;
}
