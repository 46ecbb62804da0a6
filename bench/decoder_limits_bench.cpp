// Decoder bombs and the largest picture a small input may still declare:
// time of each decode or refusal (best of three) and the process's peak
// resident size afterwards. Goal: every input up to 64 KB within 1 s and
// 128 MB. Run from the source folder or give the folder of the test data.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "image/image_files.h"
#include "base/file_io.h"

using namespace griv;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
  double slowest = 0;
  std::string slowestName;
  const std::string dir = std::string(argc > 1 ? argv[1] : "tests/data") + "/bombs/";
  for (const char* name : {"arith_8448x16149.jpg", "arith_8000x8000.jpg", "arith_progressive_6000x6000.jpg",
                           "huffman_379_scans_3000x3000.jpg", "arith_5000x6000_60k.jpg", "rle8_20000x20000.bmp",
                           "rle8_8000x8000.bmp", "rle4_8000x8000.bmp"}) {
    std::vector<uint8_t> data;
    try {
      data = ReadWholeFile(dir + name);
    } catch (const EFileIO& e) {
      std::fprintf(stderr, "%s\n", e.what());
      return 1;
    }
    for (bool grey : {false, true}) {
      JpegDecodeOptions o;
      o.grey = grey;
      double best = 1e300;
      std::string result;
      for (int run = 0; run < 3; ++run) {
        const auto t0 = Clock::now();
        try {
          const Picture p = DecodeImageFile(data[0] == 'B' ? "x.bmp" : "x.jpg", data, o);
          result = "decoded " + std::to_string(p.width) + "x" + std::to_string(p.height);
        } catch (const EInvalidPicture& e) {
          result = std::string("refused: ") + e.what();
        }
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
      }
      if (best > slowest) {
        slowest = best;
        slowestName = std::string(name) + (grey ? " grey" : "");
      }
      rusage u{};
      getrusage(RUSAGE_SELF, &u);
      std::printf("%-34s %6zu bytes %-5s %8.1f ms  peak RSS %6.1f MB  %s\n", name, data.size(),
                  grey ? "grey" : "color", best, double(u.ru_maxrss) / 1024, result.c_str());
    }
  }
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  std::printf("TABLE|decoder bombs <= 64 KB: slowest decode or refusal|-|%.1f ms (%s)|-|<= 1 s\n", slowest,
              slowestName.c_str());
  std::printf("TABLE|decoder bombs <= 64 KB: peak resident memory|-|%.1f MB|-|<= 128 MB\n",
              double(u.ru_maxrss) / 1024);
  return 0;
}
