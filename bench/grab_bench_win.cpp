// What a full-screen capture costs up to the shown image: GrabMonitor into a
// new picture, then the document's RenderView at 1:1, against a bare BitBlt
// of the same monitor into a ready 32-bit DIB section. Cases run in turns,
// best of several runs each; prints both times and the ratio (goal: at most
// 1.5), then where the capture's time goes.
//   grab_bench_win [runs] [monitor]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/document.h"
#include "base/handles_win.h"
#include "capture/grab_win.h"
#include "capture/monitors_win.h"

using namespace griv;
using Clock = std::chrono::steady_clock;

namespace {

struct Best {
  double ms = 1e300;
  template <typename F>
  void Time(F&& f) {
    const auto t0 = Clock::now();
    f();
    ms = std::min(ms, std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
  }
};

void Row(const char* what, double ms, double base) {
  std::printf("%-50s %9.3f ms %7.2f x BitBlt\n", what, ms, ms / base);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  const int index = argc > 2 ? std::atoi(argv[2]) : 0;
  const auto monitors = EnumerateMonitors();
  const MonitorRect m = monitors[static_cast<size_t>(ChooseMonitor(index))].bounds;
  const int bits = ScreenPictureBits();
  std::printf("monitor %d of %zu: %d x %d at (%d, %d), pictures of %d bpp, best of %d runs\n", ChooseMonitor(index),
              monitors.size(), m.width, m.height, m.left, m.top, bits, runs);

  // The floor: one BitBlt of the monitor into a DIB section made beforehand.
  Picture shape;
  shape.width = m.width;
  shape.height = m.height;
  shape.bpp = 32;
  DibSection dib;
  if (!MakeDibSection(shape, dib, false)) {
    std::fprintf(stderr, "no DIB section\n");
    return 1;
  }
  auto bltInto = [&](HBITMAP target) {
    UniqueMemDC mem(CreateCompatibleDC(nullptr));
    SelectObj sel(mem.get(), target);
    HDC screen = GetDC(nullptr);
    BitBlt(mem.get(), 0, 0, m.width, m.height, screen, m.left, m.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
  };
  auto blt = [&] { bltInto(dib.bitmap.get()); };
  // A DIB section made for one copy alone, as GrabMonitor does.
  auto bltFresh = [&](DibSection& fresh) {
    MakeDibSection(shape, fresh, false);
    bltInto(fresh.bitmap.get());
  };

  ImageDocument doc;
  auto capture = [&] {  // as the full-screen command does it, less the pointer
    Picture pic;
    GrabMonitor(pic, index);
    doc.SetFullImage(std::move(pic));
    doc.RenderView(doc.FullImage(), 1.0);
  };
  capture();  // the first render allocates the view; later captures rewrite it in place
  blt();

  const size_t bytes = doc.FullImage().pixels.size();
  std::vector<uint8_t> from(bytes, 1), to(bytes, 2);
  Best tBlt, tCapture, tGrab, tRender, tCopy, tUndo, tQuery, tFreshBlt, tAlloc, tKept, tReused;
  Picture spare;  // stands for a picture buffer kept from the previous capture
  spare.Resize(m.width, m.height, 32);
  ImageDocument alt;
  alt.RenderView(spare, 1.0);
  for (int i = 0; i < runs; ++i) {
    tBlt.Time(blt);
    tCapture.Time(capture);
    tGrab.Time([&] {
      Picture pic;
      GrabMonitor(pic, index);
      asm volatile("" : : "r"(pic.pixels.data()) : "memory");
    });
    tRender.Time([&] { doc.RenderView(doc.FullImage(), 1.0); });
    tQuery.Time([&] {  // what GrabMonitor asks before copying
      volatile size_t n = EnumerateMonitors().size() + EnumerateMonitors().size();
      volatile int b = ScreenPictureBits();
      (void)n, (void)b;
    });
    tFreshBlt.Time([&] {
      DibSection fresh;
      bltFresh(fresh);
    });
    // Two ways a capture could go: the pixels copied into a picture buffer
    // that is kept, with the DIB section kept too or made for each grab.
    tKept.Time([&] {
      blt();
      std::memcpy(spare.pixels.data(), dib.bits, bytes);
      alt.RenderView(spare, 1.0);
    });
    tReused.Time([&] {
      DibSection fresh;
      bltFresh(fresh);
      std::memcpy(spare.pixels.data(), fresh.bits, bytes);
      alt.RenderView(spare, 1.0);
    });
    tAlloc.Time([&] {
      Picture pic;
      pic.Resize(m.width, m.height, 32);
      asm volatile("" : : "r"(pic.pixels.data()) : "memory");
    });
    tCopy.Time([&] {
      std::memcpy(to.data(), from.data(), bytes);
      asm volatile("" : : "r"(to.data()) : "memory");
    });
    tUndo.Time([&] {  // the undo record a capture saves first: a copy of the old full image
      Picture copy = doc.FullImage();
      asm volatile("" : : "r"(copy.pixels.data()) : "memory");
    });
  }

  // The timed capture must have read what the BitBlt read (the screen is
  // still), and the view must show it.
  const Picture &full = doc.FullImage(), &shown = doc.ShownImage();
  bool same = full.bpp == 32 && full.pixels.size() == bytes && shown.bpp == 24 && shown.width == m.width &&
              shown.height == m.height;
  for (int y = 0; same && y < full.height; ++y)
    for (int x = 0; same && x < full.width; ++x) {
      const uint8_t* b = static_cast<const uint8_t*>(dib.bits) + (size_t(y) * m.width + x) * 4;
      same = std::memcmp(full.Row(y) + x * 4, b, 3) == 0 && std::memcmp(shown.Row(y) + x * 3, b, 3) == 0;
    }

  std::printf("%-50s %9.3f ms\n", "BitBlt into a DIB section", tBlt.ms);
  Row("capture: GrabMonitor + RenderView 1:1", tCapture.ms, tBlt.ms);
  std::printf("ratio %.2f (goal <= 1.5)%s\n", tCapture.ms / tBlt.ms, same ? "" : "  [capture, view and BitBlt differ]");
  std::printf("where the time goes:\n");
  Row("  GrabMonitor alone", tGrab.ms, tBlt.ms);
  Row("  monitor list twice and the screen depth", tQuery.ms, tBlt.ms);
  Row("  BitBlt into a DIB section made for it", tFreshBlt.ms, tBlt.ms);
  Row("  new zero-filled picture", tAlloc.ms, tBlt.ms);
  Row("  RenderView 1:1 alone (32 -> 24 bpp, in place)", tRender.ms, tBlt.ms);
  char what[64];
  std::snprintf(what, sizeof what, "  memcpy of the %.1f MB picture", bytes / 1e6);
  Row(what, tCopy.ms, tBlt.ms);
  Row("  undo copy of the full image (before a capture)", tUndo.ms, tBlt.ms);
  std::printf("alternatives (BitBlt, copy into a kept picture buffer, RenderView 1:1):\n");
  Row("  DIB section kept between grabs", tKept.ms, tBlt.ms);
  Row("  DIB section made for each grab", tReused.ms, tBlt.ms);
  return 0;
}
