// Image files of a 1920 x 1080 synthetic screenshot. JPEG at quality 90:
// EncodeImageFile and DecodeImageFile in memory against libjpeg-turbo alone
// on the same pixels (BGR or BGRX rows in, memory out; memory in, BGR rows
// out), processor time (goal: at most 1.1). The whole save (encoding and the
// atomic write) is shown beside it. BMP saving against one fwrite of the
// same bytes (goal: at most 1.5). Best of several runs taken in turns;
// prints the ratios and never fails on time.
//   imagefile_bench [runs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "../tests/unit/image_craft.h"
#include "image/bmp_codec.h"
#include "image/image_files.h"
#include "base/file_io.h"

using namespace griv;
using Clock = std::chrono::steady_clock;

namespace {

double WallMs() { return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count(); }

// The thread's processor time: on a shared machine, time spent waiting for a
// processor says nothing about either coder.
double CpuMs() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Best times of each function by the clock, run in turns so all see the same machine state.
template <typename... F>
std::vector<double> BestInTurns(double (*clock)(), int runs, F&&... f) {
  std::vector<double> best(sizeof...(F), 1e300);
  for (int i = 0; i < runs; ++i) {
    size_t k = 0;
    ((
         [&] {
           const double t0 = clock();
           f();
           best[k] = std::min(best[k], clock() - t0);
           ++k;
         }()),
     ...);
  }
  return best;
}

// libjpeg-turbo alone: the picture's own rows in, default settings at quality 90, memory out.
size_t PlainJpegEncode(const Picture& p) {
  jpeg_compress_struct c;
  jpeg_error_mgr err;
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buf = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buf, &size);
  c.image_width = JDIMENSION(p.width);
  c.image_height = JDIMENSION(p.height);
  c.input_components = p.bpp / 8;
  c.in_color_space = p.bpp == 32 ? JCS_EXT_BGRX : JCS_EXT_BGR;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, kJpegQuality, TRUE);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(p.Row(int(c.next_scanline)));
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::free(buf);
  return size;
}

// libjpeg-turbo alone: memory in, BGR rows of a new picture out.
Picture PlainJpegDecode(const std::vector<uint8_t>& file) {
  jpeg_decompress_struct d;
  jpeg_error_mgr err;
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, file.data(), static_cast<unsigned long>(file.size()));
  jpeg_read_header(&d, TRUE);
  d.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&d);
  Picture p;
  p.ResizeForOverwrite(int(d.output_width), int(d.output_height), 24);
  while (d.output_scanline < d.output_height) {
    JSAMPROW row = p.Row(int(d.output_scanline));
    jpeg_read_scanlines(&d, &row, 1);
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  return p;
}

void Table(const std::string& measure, const char* anchor, double base, double ours, const char* goal) {
  std::printf("TABLE|%s|%s %.2f ms|%.2f ms|%.2f|%s\n", measure.c_str(), anchor, base, ours, ours / base, goal);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "griv_imagefile_bench";
  std::filesystem::create_directories(dir);
  std::printf("1920 x 1080 synthetic screenshot, best of %d in turns\n", runs);
  std::printf("JPEG q90, processor ms: GRIV in memory, libjpeg-turbo alone, ratio; the whole save (wall ms)\n");

  for (int bpp : {24, 32}) {
    const Picture pic = craft::TestPattern(1920, 1080, bpp);
    const std::string jpg = (dir / "bench.jpg").string();
    const std::vector<uint8_t> file = EncodeImageFile(jpg, pic);
    const std::vector<double> enc = BestInTurns(
        CpuMs, runs, [&] { EncodeImageFile(jpg, pic); }, [&] { PlainJpegEncode(pic); });
    const double save = BestInTurns(WallMs, std::max(1, runs / 3), [&] { WriteImageFileBytes(jpg, pic); })[0];
    std::printf("  encode %d-bit (%zu KiB)   %9.3f %9.3f %7.2f   save %.3f\n", bpp, file.size() / 1024, enc[0],
                enc[1], enc[0] / enc[1], save);
    Table("JPEG q90 encode 1920x1080 " + std::to_string(bpp) + "-bit (CPU)", "libjpeg-turbo", enc[1], enc[0],
          "<= 1.1");
    if (bpp == 24) {
      const std::vector<double> dec = BestInTurns(
          CpuMs, runs, [&] { DecodeImageFile(jpg, file); }, [&] { PlainJpegDecode(file); });
      std::printf("  decode                   %9.3f %9.3f %7.2f\n", dec[0], dec[1], dec[0] / dec[1]);
      if (DecodeImageFile(jpg, file).pixels != PlainJpegDecode(file).pixels)
        std::printf("  ** GRIV and libjpeg-turbo decode different pixels\n");
      Table("JPEG decode 1920x1080 (CPU)", "libjpeg-turbo", dec[1], dec[0], "<= 1.1");
    }
  }

  std::printf("BMP save, wall ms: GRIV, one fwrite over the old file, ratio; 'atomic' writes the same bytes\n"
              "to a temporary and renames it over the old file, as every save does, and shows what the\n"
              "encoding adds\n");
  for (int bpp : {24, 32}) {
    const Picture pic = craft::TestPattern(1920, 1080, bpp);
    const std::string bmp = (dir / "bench.bmp").string();
    const std::string raw = (dir / "plain.bmp").string();
    const std::vector<uint8_t> bytes = WriteBmp(pic);
    const std::string same = (dir / "atomic.bmp").string();
    const std::vector<double> b = BestInTurns(
        WallMs, runs, [&] { WriteImageFileBytes(bmp, pic); },
        [&] {
          std::FILE* f = std::fopen(raw.c_str(), "wb");
          std::fwrite(bytes.data(), 1, bytes.size(), f);
          std::fclose(f);
        },
        [&] { WriteFileAtomic(same, bytes.data(), bytes.size()); });
    std::printf("  %d-bit (%zu KiB)          %9.3f %9.3f %7.2f   (atomic %.3f ms, GRIV/atomic %.2f)\n", bpp,
                bytes.size() / 1024, b[0], b[1], b[0] / b[1], b[2], b[0] / b[2]);
    Table("BMP save 1920x1080 " + std::to_string(bpp) + "-bit", "one fwrite", b[1], b[0], "<= 1.5");
  }
  std::filesystem::remove_all(dir);
  return 0;
}
