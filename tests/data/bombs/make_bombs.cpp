// Makes the decoder bombs in this folder: files of a few hundred bytes to a
// few kilobytes that declare pictures far larger than their data could hold.
//   g++ -O2 -o /tmp/make_bombs make_bombs.cpp -ljpeg && /tmp/make_bombs .
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

// A solid picture, arithmetic or Huffman coded; progressive with a script
// of many scans when asked.
void Jpeg(const std::string& path, int w, int h, int components, bool arith, bool progressive, bool manyScans) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::exit(1);
  jpeg_stdio_dest(&c, f);
  c.image_width = JDIMENSION(w);
  c.image_height = JDIMENSION(h);
  c.input_components = components;
  c.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&c);
  c.arith_code = arith ? TRUE : FALSE;
  std::vector<jpeg_scan_info> scans;
  if (manyScans) {
    // Greyscale: DC, then every AC coefficient alone, first at 1/32 and
    // refined bit by bit: 1 + 63 * 6 = 379 scans.
    scans.push_back({1, {0}, 0, 0, 0, 0});
    for (int k = 1; k <= 63; ++k) {
      scans.push_back({1, {0}, k, k, 0, 5});
      for (int al = 4; al >= 0; --al) scans.push_back({1, {0}, k, k, al + 1, al});
    }
    c.scan_info = scans.data();
    c.num_scans = int(scans.size());
  } else if (progressive) {
    jpeg_simple_progression(&c);
  }
  jpeg_start_compress(&c, TRUE);
  std::vector<JSAMPLE> row(size_t(w) * components, 0x80);
  JSAMPROW rows[1] = {row.data()};
  while (c.next_scanline < c.image_height) jpeg_write_scanlines(&c, rows, 1);
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::fclose(f);
}

// Zero bytes before the end marker: the arithmetic decoder reads them as
// coded data that keeps saying "same as before", so it never meets the
// marker early and goes on through every row of the declared picture.
void PadBeforeEnd(const std::string& path, size_t zeros) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) std::exit(1);
  std::vector<unsigned char> d;
  for (int c; (c = std::fgetc(f)) != EOF;) d.push_back((unsigned char)c);
  std::fclose(f);
  if (d.size() < 2 || d[d.size() - 2] != 0xFF || d.back() != 0xD9) std::exit(1);
  if (zeros == 0) zeros = 60000 - d.size();  // up to a given total size
  d.insert(d.end() - 2, zeros, 0);
  f = std::fopen(path.c_str(), "wb");
  std::fwrite(d.data(), 1, d.size(), f);
  std::fclose(f);
}

void Put16(std::vector<unsigned char>& v, unsigned x) { v.push_back(x & 255), v.push_back(x >> 8 & 255); }
void Put32(std::vector<unsigned char>& v, unsigned x) { Put16(v, x & 0xFFFF), Put16(v, x >> 16); }

// Run-length bitmap of w x h whose data is one short run, then end of bitmap,
// padded with end-of-line codes to `bytes` of run data.
void Rle(const std::string& path, int w, int h, bool four, size_t bytes) {
  const int bits = four ? 4 : 8, colours = 1 << bits;
  std::vector<unsigned char> run;
  while (run.size() + 4 < bytes) run.push_back(0), run.push_back(0);  // end of line
  run.push_back(10), run.push_back(1);                                 // 10 pixels of colour 1
  run.push_back(0), run.push_back(1);                                  // end of bitmap
  const unsigned offBits = 14 + 40 + colours * 4;
  std::vector<unsigned char> f{'B', 'M'};
  Put32(f, unsigned(offBits + run.size()));
  Put32(f, 0);
  Put32(f, offBits);
  Put32(f, 40);
  Put32(f, unsigned(w));
  Put32(f, unsigned(h));
  Put16(f, 1);
  Put16(f, unsigned(bits));
  Put32(f, four ? 2 : 1);
  Put32(f, unsigned(run.size()));
  Put32(f, 0), Put32(f, 0), Put32(f, unsigned(colours)), Put32(f, 0);
  for (int i = 0; i < colours; ++i) Put32(f, unsigned(i * 0x010101 & 0xFFFFFF));
  f.insert(f.end(), run.begin(), run.end());
  FILE* o = std::fopen(path.c_str(), "wb");
  if (!o) std::exit(1);
  std::fwrite(f.data(), 1, f.size(), o);
  std::fclose(o);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string d = argc > 1 ? std::string(argv[1]) + "/" : "";
  Jpeg(d + "arith_8448x16149.jpg", 8448, 16149, 1, true, false, false);  // beyond the picture limit
  PadBeforeEnd(d + "arith_8448x16149.jpg", 100);
  Jpeg(d + "arith_8000x8000.jpg", 8000, 8000, 3, true, false, false);    // within it, but no data
  PadBeforeEnd(d + "arith_8000x8000.jpg", 100);
  // The worst an input of 60 000 bytes may still be: 30 Mi pixels, decoded.
  Jpeg(d + "arith_5000x6000_60k.jpg", 5000, 6000, 1, true, false, false);
  PadBeforeEnd(d + "arith_5000x6000_60k.jpg", 0);
  Jpeg(d + "arith_progressive_6000x6000.jpg", 6000, 6000, 1, true, true, false);
  Jpeg(d + "huffman_379_scans_3000x3000.jpg", 3000, 3000, 1, false, true, true);
  Rle(d + "rle8_20000x20000.bmp", 20000, 20000, false, 1024);
  Rle(d + "rle8_8000x8000.bmp", 8000, 8000, false, 1024);
  Rle(d + "rle4_8000x8000.bmp", 8000, 8000, true, 1024);
  return 0;
}
