// Saving an image file: JPEG at quality 90 (EncodeImageFile and the atomic
// write) against libjpeg-turbo compressing the same 24-bit pixels straight
// into memory (goal: at most 1.2), and BMP against one fwrite of the same
// bytes (goal: at most 1.5). 1920 x 1080 synthetic screenshot; best of
// several runs; prints the ratios.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "../tests/unit/image_craft.h"
#include "app/bmp_codec.h"
#include "app/image_files.h"
#include "base/file_io.h"

using namespace griv;
using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

// Best times of each function, run in turns so all see the same machine state.
template <typename... F>
std::vector<double> BestInTurns(int runs, F&&... f) {
  std::vector<double> best(sizeof...(F), 1e300);
  for (int i = 0; i < runs; ++i) {
    size_t k = 0;
    ((
         [&] {
           const auto t0 = Clock::now();
           f();
           best[k] = std::min(best[k], Ms(t0));
           ++k;
         }()),
     ...);
  }
  return best;
}

// libjpeg-turbo alone: BGR rows in, default settings at quality 90, memory out.
size_t PlainJpeg(const Picture& p24) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buf = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buf, &size);
  c.image_width = JDIMENSION(p24.width);
  c.image_height = JDIMENSION(p24.height);
  c.input_components = 3;
  c.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 90, TRUE);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(p24.Row(int(c.next_scanline)));
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::free(buf);
  return size;
}

int main() {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "griv_imagefile_bench";
  std::filesystem::create_directories(dir);
  const int runs = 21;
  std::printf("%-34s %9s %9s %7s\n", "case", "ours ms", "base ms", "ratio");
  std::printf("(BMP: base is one fwrite over the old file; 'atomic' writes the same bytes to a temporary\n"
              " and renames it over the old file, as every save does, and shows what the encoding adds)\n");

  for (int bpp : {24, 32}) {
    const Picture pic = craft::TestPattern(1920, 1080, bpp);
    const Picture p24 = ConvertTo24(pic);
    const std::string jpg = (dir / "bench.jpg").string();
    const std::vector<double> j = BestInTurns(runs, [&] { WriteImageFileBytes(jpg, pic); }, [&] { PlainJpeg(p24); });
    const double ours = j[0], base = j[1];
    char name[64];
    std::snprintf(name, sizeof name, "JPEG q90 %d-bit (%lld KiB)", bpp,
                  static_cast<long long>(std::filesystem::file_size(jpg) / 1024));
    std::printf("%-34s %9.3f %9.3f %7.2f\n", name, ours, base, ours / base);

    const std::string bmp = (dir / "bench.bmp").string();
    const std::string raw = (dir / "plain.bmp").string();
    const std::vector<uint8_t> bytes = WriteBmp(pic);
    const std::string same = (dir / "atomic.bmp").string();
    std::vector<double> b = BestInTurns(
        runs, [&] { WriteImageFileBytes(bmp, pic); },
        [&] {
          std::FILE* f = std::fopen(raw.c_str(), "wb");
          std::fwrite(bytes.data(), 1, bytes.size(), f);
          std::fclose(f);
        },
        [&] { WriteFileAtomic(same, bytes.data(), bytes.size()); });
    const double oursBmp = b[0], baseBmp = b[1];
    std::snprintf(name, sizeof name, "BMP %d-bit (%zu KiB)", bpp, bytes.size() / 1024);
    std::printf("%-34s %9.3f %9.3f %7.2f   (atomic %.3f ms, ours/atomic %.2f)\n", name, oursBmp, baseBmp,
                oursBmp / baseBmp, b[2], oursBmp / b[2]);
  }
  std::filesystem::remove_all(dir);
  return 0;
}
