// Rendering the view: 2:1 of a 1920 x 1080 32-bit screenshot against a plain
// memcpy of as many bytes as the rendered picture holds (goal: at most 3), 1:2
// against a memcpy of the source's bytes, which any reduction must read (goal:
// at most 1.5). Best of several runs.
//   render_bench [runs]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../tests/unit/image_craft.h"
#include "image/document.h"

using namespace griv;
using Clock = std::chrono::steady_clock;

template <typename F>
double BestMs(int runs, F&& f) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = Clock::now();
    f();
    best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
  }
  return best;
}

int main(int argc, char** argv) {
  const Picture full = craft::TestPattern(1920, 1080, 32);
  ImageDocument doc;
  doc.SetFullImage(full);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  std::printf("%-44s %10s %10s %8s\n", "case", "render ms", "memcpy ms", "ratio");
  for (double ratio : {2.0, 0.5}) {
    doc.RenderView(doc.FullImage(), ratio);
    const size_t bytes = doc.ShownImage().pixels.size();
    std::vector<uint8_t> from(bytes, 1), to(bytes, 2);
    const double copy = BestMs(runs, [&] {
      std::memcpy(to.data(), from.data(), bytes);
      asm volatile("" : : "r"(to.data()) : "memory");
    });
    // Zooming: a new view picture every time.
    const double zoom = BestMs(runs, [&] {
      const Picture shown = RenderPicture(doc.FullImage(), ratio);
      asm volatile("" : : "r"(shown.pixels.data()) : "memory");
    });
    // Rendering again at the same size (a new capture, undo): the view is rewritten in place.
    const double again = BestMs(runs, [&] { doc.RenderView(doc.FullImage(), ratio); });
    char size[32];
    std::snprintf(size, sizeof size, "%s -> %dx%d", ratio > 1 ? "2:1" : "1:2", doc.ShownImage().width,
                  doc.ShownImage().height);
    std::printf("%-44s %10.3f %10.3f %8.2f\n", (std::string("zoom ") + size).c_str(), zoom, copy, zoom / copy);
    std::printf("%-44s %10.3f %10.3f %8.2f\n", (std::string("same-size render ") + size).c_str(), again, copy,
                again / copy);
    if (ratio > 1) {
      std::printf("TABLE|view zoom 2:1 of a %dx%d 32-bit picture|memcpy of the view's bytes %.3f ms|%.3f ms|%.2f|<= 3\n",
                  full.width, full.height, copy, zoom, zoom / copy);
      continue;
    }
    // A reduction reads the whole source (every other pixel of a row shares
    // its cache lines with the one taken): the memcpy of the source's bytes
    // is the floor for any nearest-neighbour reduction.
    const size_t read = full.pixels.size();
    std::vector<uint8_t> a(read, 1), b(read, 2);
    const double floor = BestMs(runs, [&] {
      std::memcpy(b.data(), a.data(), read);
      asm volatile("" : : "r"(b.data()) : "memory");
    });
    std::printf("  context: memcpy of the view's bytes %.3f ms (zoom / that = %.2f)\n", copy, zoom / copy);
    std::printf("TABLE|view zoom 1:2 of a %dx%d 32-bit picture|memcpy of the source's bytes %.3f ms|%.3f ms|%.2f|<= 1.5\n",
                full.width, full.height, floor, zoom, zoom / floor);
  }
  return 0;
}
