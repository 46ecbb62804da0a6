// How fast the area overlay follows the pointer on a 1920 x 1080 screen: a
// drag across the screen in 240 moves, each move laid out and only its
// changed parts drawn (as the overlay does), against drawing the whole
// screen at every move. Prints the frames a second of each (goal: 60 for a
// drag); never fails on time.
//   overlay_bench_win [width height [runs]]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "base/dib_win.h"
#include "base/handles_win.h"
#include "capture/overlay_paint_win.h"
#include "pattern_picture.h"

using namespace griv;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
  const int w = argc > 2 ? std::atoi(argv[1]) : 1920, h = argc > 2 ? std::atoi(argv[2]) : 1080;
  Picture screen = PatternPicture(w, h);
  const auto t0 = Clock::now();
  OverlayPainter painter(screen, 96);
  const double setupMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();

  // The window's surface: a DIB section of the screen's size.
  Picture shape;
  shape.width = w, shape.height = h, shape.bpp = 32;
  DibSection target;
  if (!MakeDibSection(shape, target, false)) return 1;
  UniqueMemDC dc(CreateCompatibleDC(nullptr));
  SelectObj sel(dc.get(), target.bitmap.get());

  const int moves = 240;
  auto drag = [&](bool onlyChanges) {
    OverlayState s;
    s.pointerX = 50, s.pointerY = 40;
    OverlayLayout layout = painter.Layout(s);
    const RECT all{0, 0, w, h};
    painter.Paint(dc.get(), all, s, layout);
    s.dragging = true;
    s.hintShown = false;
    s.anchorX = 50, s.anchorY = 40;
    const auto start = Clock::now();
    for (int i = 1; i <= moves; ++i) {
      s.pointerX = 50 + (w - 100) * i / moves;
      s.pointerY = 40 + (h - 80) * i / moves;
      const OverlayLayout next = painter.Layout(s);
      if (onlyChanges) {
        for (const Box& b : DirtyBoxes(layout, next)) {
          const RECT r{b.left, b.top, b.right, b.bottom};
          painter.Paint(dc.get(), r, s, next);
        }
      } else {
        painter.Paint(dc.get(), all, s, next);
      }
      layout = next;
    }
    GdiFlush();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / moves;
  };
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  double changed = 1e300, whole = 1e300;
  for (int run = 0; run < runs; ++run) {
    changed = std::min(changed, drag(true));
    whole = std::min(whole, drag(false));
  }
  std::printf("overlay %d x %d: setup (dimmed copy) %.1f ms\n", w, h, setupMs);
  std::printf("%-40s %8.3f ms a move  %7.0f frames/s\n", "changed parts only (the overlay)", changed, 1000 / changed);
  std::printf("%-40s %8.3f ms a move  %7.0f frames/s\n", "whole screen every move", whole, 1000 / whole);
  std::printf("TABLE|area overlay drag on %dx%d, frames a second|whole screen every move %.0f/s|%.0f/s|-|>= 60/s\n",
              w, h, 1000 / whole, 1000 / changed);
  return 0;
}
