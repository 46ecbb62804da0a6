// BMP reader on arbitrary bytes: it must throw EInvalidPicture or return a
// consistent picture that survives a write/read round trip.
// GRIV_FUZZ_SEEDS=<dir> writes a small seed corpus there first.
#include <cstdlib>
#include <fstream>
#include <string>

#include "../tests/unit/image_craft.h"
#include "image/bmp_codec.h"
#include "render_check.h"

using namespace griv;

namespace {

void Save(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream(dir + "/" + name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void WriteSeeds(const std::string& dir) {
  for (int bpp : {8, 24, 32}) Save(dir, "plain" + std::to_string(bpp) + ".bmp", WriteBmp(craft::TestPattern(13, 9, bpp)));
  std::vector<std::vector<uint8_t>> rows = {{0, 1, 1, 0, 1, 0, 0, 1, 1}, {1, 0, 0, 1, 0, 1, 1, 0, 0}};
  for (int bits : {1, 4}) {
    craft::BmpSpec s;
    s.width = 9, s.height = 2, s.bits = uint16_t(bits);
    s.palette = {0x102030, 0xF0E0D0};
    s.pixels = craft::PackIndexRows(rows, bits);
    Save(dir, "pal" + std::to_string(bits) + ".bmp", craft::MakeBmp(s));
  }
  craft::BmpSpec rle8;
  rle8.width = 8, rle8.height = 4, rle8.bits = 8, rle8.compression = 1;
  rle8.palette.assign(256, 0x808080);
  rle8.pixels = {4, 1, 0, 4, 2, 3, 4, 5, 0, 0, 0, 2, 1, 1, 3, 7, 0, 0, 8, 9, 0, 1};
  Save(dir, "rle8.bmp", craft::MakeBmp(rle8));
  craft::BmpSpec rle4 = rle8;
  rle4.bits = 4, rle4.compression = 2, rle4.palette.assign(16, 0x405060);
  rle4.pixels = {6, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 2, 1, 1, 2, 0x77, 0, 1};
  Save(dir, "rle4.bmp", craft::MakeBmp(rle4));
  craft::BmpSpec f16;
  f16.width = 3, f16.height = 2, f16.bits = 16, f16.compression = 3, f16.masks = {0xF800, 0x07E0, 0x001F};
  f16.pixels = {0, 0xF8, 0xE0, 0x07, 0x1F, 0, 0, 0, 0xFF, 0xFF, 0x10, 0x84, 0x21, 0x08, 0, 0};
  Save(dir, "bf16.bmp", craft::MakeBmp(f16));
  craft::BmpSpec v5;
  v5.headerSize = 124, v5.width = 2, v5.height = -2, v5.bits = 32, v5.compression = 3;
  v5.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
  v5.pixels.assign(16, 0x5A);
  Save(dir, "v5.bmp", craft::MakeBmp(v5));
  craft::BmpSpec core;
  core.headerSize = 12, core.width = 3, core.height = 2, core.bits = 24;
  core.pixels.assign(24, 0x33);
  Save(dir, "core.bmp", craft::MakeBmp(core));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* dir = std::getenv("GRIV_FUZZ_SEEDS")) WriteSeeds(dir);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Picture p;
  try {
    p = ReadBmp(data, size);
  } catch (const EInvalidPicture&) {
    return 0;
  }
  if (p.Empty() || p.pixels.size() != size_t(p.Stride()) * size_t(p.height)) std::abort();
  if (p.bpp == 8 && p.palette.empty()) std::abort();
  if (p.pixels.size() <= (1u << 20)) {
    const Picture q = ReadBmp(WriteBmp(p));
    if (q.width != p.width || q.height != p.height || q.bpp != p.bpp || q.pixels != p.pixels) std::abort();
  }
  CheckRenders(p);
  return 0;
}
