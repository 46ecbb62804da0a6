// JPEG decoder on arbitrary bytes, in each of its three output forms: it must
// throw EInvalidPicture or return a consistent picture; small results are
// coded again. GRIV_FUZZ_SEEDS=<dir> writes a small seed corpus there first.
#include <cstdlib>
#include <fstream>
#include <string>

#include "../tests/unit/image_craft.h"
#include "image/jpeg_codec.h"
#include "render_check.h"

using namespace griv;

namespace {

void Save(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream(dir + "/" + name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void WriteSeeds(const std::string& dir) {
  const Picture pic = craft::TestPattern(33, 21, 24);
  Save(dir, "own.jpg", EncodeJpeg(pic));
  Save(dir, "own8.jpg", EncodeJpeg(craft::TestPattern(17, 9, 8)));
  const char* names[] = {"b444.jpg", "prog.jpg", "grey.jpg", "cmyk.jpg", "arith.jpg"};
  int i = 0;
  for (auto kind : {craft::JpegKind::Baseline444, craft::JpegKind::Progressive, craft::JpegKind::Grey,
                    craft::JpegKind::CmykAdobe, craft::JpegKind::Arithmetic})
    Save(dir, names[i++], craft::MakeJpeg(pic, kind, 75));
}

void Check(const Picture& p, int bits) {
  if (p.Empty() || p.bpp != bits || p.pixels.size() != size_t(p.Stride()) * size_t(p.height)) std::abort();
  if (bits == 8 && (p.palette.empty() || p.palette.size() > 256)) std::abort();
  if (bits == 8)
    for (int y = 0; y < p.height; ++y)
      for (int x = 0; x < p.width; ++x)
        if (p.Row(y)[x] >= p.palette.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* dir = std::getenv("GRIV_FUZZ_SEEDS")) WriteSeeds(dir);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (int mode = 0; mode < 3; ++mode) {
    JpegDecodeOptions o;
    o.grey = mode == 1;
    o.palette8 = mode == 2;
    try {
      const Picture p = DecodeJpeg(data, size, o);
      Check(p, mode == 0 || (mode == 2 && p.bpp == 24) ? 24 : 8);  // CMYK files stay 24-bit
      CheckRenders(p);
      if (mode == 0 && p.pixels.size() <= (64u << 10)) {
        const Picture q = DecodeJpeg(EncodeJpeg(p));
        if (q.width != p.width || q.height != p.height) std::abort();
      }
      // Huge pictures from tiny arithmetic-coded files are legal but slow;
      // one form of them is enough to keep the fuzzer moving.
      if (mode == 0 && uint64_t(p.width) * uint64_t(p.height) > (4u << 20)) return 0;
    } catch (const EInvalidPicture&) {
      if (mode == 0) return 0;  // invalid data is invalid in every form
    }
  }
  return 0;
}
