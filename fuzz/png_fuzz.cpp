// PNG reader on arbitrary bytes: it must throw EInvalidPicture or return a
// consistent picture; small results are written and read back unchanged.
//
// Mutated files mostly stop at a CRC or at the Adler-32 of the image data.
// So an input that starts with 'R' describes a picture instead, and the
// target frames it into a file with correct checksums, which lets mutations
// reach the filters, the interlacing and the colour conversion:
//   'R', IHDR body (13 bytes), n, n palette entries (3 bytes each),
//   m, m tRNS bytes, then the image data before compression.
//
// Seeds: fuzz/corpus/png_fuzz. GRIV_FUZZ_SEEDS=<dir> first writes the program's
// own files there and an 'R' form of every PNG file in it:
//   GRIV_FUZZ_SEEDS=fuzz/corpus/png_fuzz build/fuzz/fuzz/png_fuzz -runs=0
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <libdeflate.h>

#include "../tests/unit/image_craft.h"
#include "image/png_codec.h"

using namespace griv;
using Bytes = std::vector<uint8_t>;

namespace {

void PutBe32(Bytes& v, uint32_t x) {
  for (int s = 24; s >= 0; s -= 8) v.push_back(uint8_t(x >> s));
}
uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

void PutChunk(Bytes& f, const char* type, const uint8_t* body, size_t n) {
  PutBe32(f, uint32_t(n));
  const size_t at = f.size();
  f.insert(f.end(), type, type + 4);
  f.insert(f.end(), body, body + n);
  PutBe32(f, libdeflate_crc32(0, f.data() + at, n + 4));
}

bool Frame(const uint8_t* d, size_t size, Bytes& file) {
  size_t at = 1 + 13;
  if (size < at + 1) return false;
  const size_t palette = size_t(d[at]) * 3;
  if (size < at + 1 + palette + 1) return false;
  const size_t trns = d[at + 1 + palette];
  const size_t raw = at + 1 + palette + 1 + trns;
  if (size < raw) return false;
  file = {137, 'P', 'N', 'G', 13, 10, 26, 10};
  PutChunk(file, "IHDR", d + 1, 13);
  if (palette) PutChunk(file, "PLTE", d + at + 1, palette);
  if (trns) PutChunk(file, "tRNS", d + at + 1 + palette + 1, trns);
  libdeflate_compressor* c = libdeflate_alloc_compressor(1);
  Bytes z(libdeflate_zlib_compress_bound(c, size - raw));
  z.resize(libdeflate_zlib_compress(c, d + raw, size - raw, z.data(), z.size()));
  libdeflate_free_compressor(c);
  PutChunk(file, "IDAT", z.data(), z.size());
  PutChunk(file, "IEND", nullptr, 0);
  return true;
}

// The 'R' form of a well-formed file; empty when it is not one.
Bytes Unframe(const Bytes& f) {
  Bytes ihdr, plte, trns, z;
  for (size_t at = 8; at + 12 <= f.size();) {
    const size_t n = Be32(&f[at]);
    if (at + 12 + n > f.size()) return {};
    const std::string type(f.begin() + long(at) + 4, f.begin() + long(at) + 8);
    const Bytes body(f.begin() + long(at) + 8, f.begin() + long(at + 8 + n));
    if (type == "IHDR") ihdr = body;
    if (type == "PLTE") plte = body;
    if (type == "tRNS") trns = body;
    if (type == "IDAT") z.insert(z.end(), body.begin(), body.end());
    at += 12 + n;
  }
  if (ihdr.size() != 13 || plte.size() > 765 || trns.size() > 255) return {};
  Bytes raw(1 << 20);
  size_t got = 0;
  libdeflate_decompressor* d = libdeflate_alloc_decompressor();
  const bool ok = libdeflate_zlib_decompress(d, z.data(), z.size(), raw.data(), raw.size(), &got) == LIBDEFLATE_SUCCESS;
  libdeflate_free_decompressor(d);
  if (!ok) return {};
  Bytes r = {'R'};
  r.insert(r.end(), ihdr.begin(), ihdr.end());
  r.push_back(uint8_t(plte.size() / 3));
  r.insert(r.end(), plte.begin(), plte.end());
  r.push_back(uint8_t(trns.size()));
  r.insert(r.end(), trns.begin(), trns.end());
  r.insert(r.end(), raw.begin(), raw.begin() + long(got));
  return r;
}

void Save(const std::filesystem::path& p, const Bytes& bytes) {
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void WriteSeeds(const std::filesystem::path& dir) {
  for (int bpp : {8, 24, 32}) Save(dir / ("own" + std::to_string(bpp) + ".png"), EncodePng(craft::TestPattern(13, 9, bpp)));
  Save(dir / "own-1x1.png", EncodePng(craft::TestPattern(1, 1, 24)));
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    if (e.path().extension() != ".png") continue;
    std::ifstream in(e.path(), std::ios::binary);
    const Bytes r = Unframe(Bytes(std::istreambuf_iterator<char>(in), {}));
    if (!r.empty()) Save(std::filesystem::path(e.path()).replace_extension(".raw"), r);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (const char* dir = std::getenv("GRIV_FUZZ_SEEDS")) WriteSeeds(dir);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Bytes framed;
  if (size > 0 && data[0] == 'R') {
    if (!Frame(data, size, framed)) return 0;
    data = framed.data(), size = framed.size();
  }
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
