// PNG saving and opening against libpng with zlib at its default level and
// default filters (png_write_png / png_read_png, BGR rows, memory in and out),
// on two 1920 x 1080 pictures: a real desktop captured under Xvfb (Wine's
// virtual desktop with Notepad, Winefile, Regedit and WordPad; data/desktop-1080.png)
// and the synthetic screenshot of the tests (text, gradients, a noisy patch).
// Goals: save time <= 0.5 x libpng's, file size <= 1.0 x, open time <= 1.0 x.
// Also prints every libdeflate level, to show why the written level was chosen.
// Best processor time of several runs, taken in turns; prints figures and
// never fails on time.
//   png_bench [runs] [--no-levels]
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <libdeflate.h>
#include <png.h>
#include <zlib.h>

#include "../tests/unit/image_craft.h"
#include "image/png_codec.h"
#include "base/file_io.h"

using namespace griv;
namespace {

// The thread's processor time: the machine is shared, and time spent waiting
// for a processor says nothing about either coder.
double CpuMs() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

template <typename... F>
std::vector<double> BestInTurns(int runs, F&&... f) {
  std::vector<double> best(sizeof...(F), 1e300);
  for (int i = 0; i < runs; ++i) {
    size_t k = 0;
    ((
         [&] {
           const double t0 = CpuMs();
           f();
           best[k] = std::min(best[k], CpuMs() - t0);
           ++k;
         }()),
     ...);
  }
  return best;
}

void WriteToVector(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void NoFlush(png_structp) {}

// libpng as an application would call it for a 24-bit BGR picture.
std::vector<uint8_t> LibpngEncode(const Picture& p) {
  std::vector<uint8_t> out;
  out.reserve(size_t(p.width) * p.height);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> rows(size_t(p.height));
  for (int y = 0; y < p.height; ++y) rows[size_t(y)] = const_cast<uint8_t*>(p.Row(y));
  if (setjmp(png_jmpbuf(png))) {
    std::fprintf(stderr, "libpng failed to write\n");
    std::exit(1);
  }
  png_set_write_fn(png, &out, WriteToVector, NoFlush);
  png_set_IHDR(png, info, png_uint_32(p.width), png_uint_32(p.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_rows(png, info, rows.data());
  png_write_png(png, info, PNG_TRANSFORM_BGR, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

struct Reader {
  const std::vector<uint8_t>* data;
  size_t at;
};
void ReadFromVector(png_structp png, png_bytep out, png_size_t n) {
  auto* r = static_cast<Reader*>(png_get_io_ptr(png));
  if (r->at + n > r->data->size()) png_error(png, "read past the end");
  std::memcpy(out, r->data->data() + r->at, n);
  r->at += n;
}

// libpng decoding into its own rows, as BGR: the same work DecodePng does.
int LibpngDecode(const std::vector<uint8_t>& file) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    std::fprintf(stderr, "libpng failed to read\n");
    std::exit(1);
  }
  Reader r{&file, 0};
  png_set_read_fn(png, &r, ReadFromVector);
  png_read_png(png, info, PNG_TRANSFORM_BGR | PNG_TRANSFORM_STRIP_16 | PNG_TRANSFORM_STRIP_ALPHA | PNG_TRANSFORM_EXPAND, nullptr);
  const int w = int(png_get_image_width(png, info));
  png_destroy_read_struct(&png, &info, nullptr);
  return w;
}

void Compare(const char* title, const char* shortName, const Picture& pic, int runs, bool levels) {
  std::printf("\n%s, %dx%d\n", title, pic.width, pic.height);
  const std::vector<uint8_t> theirs = LibpngEncode(pic);
  const std::vector<uint8_t> ours = EncodePng(pic);
  const std::vector<double> save = BestInTurns(runs, [&] { EncodePng(pic); }, [&] { LibpngEncode(pic); });
  const std::vector<double> open =
      BestInTurns(runs, [&] { DecodePng(theirs); }, [&] { LibpngDecode(theirs); }, [&] { DecodePng(ours); },
                  [&] { LibpngDecode(ours); });

  std::printf("  %-40s %9s %9s %9s\n", "", "GRIV", "libpng", "ratio");
  const std::string saveLabel = "save ms (GRIV at level " + std::to_string(kPngLevel) + ")";
  std::printf("  %-40s %9.2f %9.2f %9.2f   goal <= 0.50\n", saveLabel.c_str(), save[0], save[1], save[0] / save[1]);
  std::printf("  %-40s %9zu %9zu %9.3f   goal <= 1.00\n", "file KiB", ours.size() / 1024, theirs.size() / 1024,
              double(ours.size()) / double(theirs.size()));
  std::printf("  %-40s %9.2f %9.2f %9.2f   goal <= 1.00\n", "open ms, libpng's file", open[0], open[1],
              open[0] / open[1]);
  std::printf("  %-40s %9.2f %9.2f %9.2f\n", "open ms, GRIV's file", open[2], open[3], open[2] / open[3]);
  const Picture back = DecodePng(ours);
  if (back.pixels != pic.pixels) std::printf("  ** GRIV's file does not give the picture back\n");
  if (DecodePng(theirs).pixels != pic.pixels) std::printf("  ** libpng's file does not give the picture back\n");
  const std::string what =
      " " + std::to_string(pic.width) + "x" + std::to_string(pic.height) + ", " + shortName;
  std::printf("TABLE|PNG save%s (CPU)|libpng %.2f ms|%.2f ms|%.2f|<= 0.50\n", what.c_str(), save[1], save[0],
              save[0] / save[1]);
  std::printf("TABLE|PNG file size%s|libpng %zu KiB|%zu KiB|%.3f|<= 1.00\n", what.c_str(), theirs.size() / 1024,
              ours.size() / 1024, double(ours.size()) / double(theirs.size()));
  std::printf("TABLE|PNG open of libpng's file%s (CPU)|libpng %.2f ms|%.2f ms|%.2f|<= 1.00\n", what.c_str(), open[1],
              open[0], open[0] / open[1]);
  if (!levels) return;

  std::printf("  every libdeflate level (best of %d):\n  %-8s %9s %9s %11s %11s\n", std::max(2, runs / 3), "level",
              "save ms", "KiB", "time/libpng", "size/libpng");
  for (int level = 1; level <= 12; ++level) {
    size_t bytes = 0;
    const double ms = BestInTurns(std::max(2, runs / 3), [&] { bytes = EncodePng(pic, level).size(); })[0];
    std::printf("  %-8d %9.2f %9zu %11.2f %11.3f%s\n", level, ms, bytes / 1024, ms / save[1],
                double(bytes) / double(theirs.size()), level == kPngLevel ? "   <- written" : "");
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  const bool levels = !(argc > 2 && std::strcmp(argv[2], "--no-levels") == 0);
  std::printf("PNG: GRIV (libdeflate %s, own framing) against libpng %s with zlib %s at its default level\n",
              LIBDEFLATE_VERSION_STRING, PNG_LIBPNG_VER_STRING, zlibVersion());
  Picture desktop = DecodePng(ReadWholeFile(GRIV_BENCH_DATA "/desktop-1080.png"));
  if (desktop.bpp != 24) desktop = ConvertTo24(desktop);
  Compare("Desktop captured under Xvfb", "desktop", desktop, runs, levels);
  Compare("Synthetic screenshot", "synthetic", craft::TestPattern(1920, 1080, 24), runs, levels);
  return 0;
}
