// What a full-screen capture costs up to the shown image, timed as the
// command runs it: the undo record, the spare picture buffer, GrabMonitor,
// the pointer drawn in (the setting is on by default), the new full image
// and the view at 1:1. The floor is a bare BitBlt of the same monitor into a
// DIB section made beforehand. The grab copies the screen straight into the
// picture's own bitmap. Three states (goal for each: at most 1.2 x the
// BitBlt):
//  - first capture of a process, nothing cached (no picture bitmap, no spare
//    buffer, no view), each in a fresh process against the first BitBlt of
//    a fresh process; best of a few processes;
//  - after a pause: what the idle timer lets go (the spare buffer) is gone;
//  - back to back: the undo record's old picture, with its bitmap, is the
//    buffer the next grab fills.
// The last two and the pieces run in turns in one process, best of several
// runs each. Prints TABLE lines, then where the time goes; never fails on time.
//   grab_bench_win [runs] [monitor]
//   grab_bench_win --first capture|blt [monitor]   one cold case, prints its ms
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "image/document.h"
#include "base/handles_win.h"
#include "capture/grab_win.h"
#include "capture/monitors_win.h"

using namespace griv;
using Clock = std::chrono::steady_clock;

namespace {

double MsSince(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

struct Best {
  double ms = 1e300;
  template <typename F>
  void Time(F&& f) {
    const auto t0 = Clock::now();
    f();
    ms = std::min(ms, MsSince(t0));
  }
};

// The full-screen command's own steps on the document, less the window's
// bookkeeping (status texts, command states, the timer that lets the spare
// buffer go after a few idle seconds, the deferred paint).
void CaptureAsTheCommand(ImageDocument& doc, int index, bool pointer) {
  doc.SaveUndo();
  doc.ResetZoom();
  Picture pic = doc.TakeSpare();
  const POINT origin = GrabMonitor(pic, index);
  if (pointer) DrawMouseCursor(pic, origin.x, origin.y);
  doc.SetFullImage(std::move(pic));
  doc.RenderView(doc.FullImage(), 1.0);
}

// One BitBlt of rectangle m of the screen into a bitmap.
void BltInto(HBITMAP target, const MonitorRect& m) {
  UniqueMemDC mem(CreateCompatibleDC(nullptr));
  SelectObj sel(mem.get(), target);
  HDC screen = GetDC(nullptr);
  BitBlt(mem.get(), 0, 0, m.width, m.height, screen, m.left, m.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
}

Picture ShapeOf(const MonitorRect& m) {
  Picture shape;
  shape.width = m.width;
  shape.height = m.height;
  shape.bpp = 32;
  return shape;
}

// The cold cases, each the first of its process. Both first do what a
// running program has long done by its first capture (asked for the
// monitors, the screen's depth and the pointer's place), so only the
// capture's own first-time costs differ from the BitBlt's. (A process's
// first GetCursorPos costs Wine some 20 ms; timed inside GRIV, the first
// capture's pointer takes under a millisecond.)
int RunFirst(const std::string& what, int index) {
  const MonitorRect m = EnumerateMonitors()[static_cast<size_t>(ChooseMonitor(index))].bounds;
  (void)ScreenPictureBits();
  POINT pointer;
  GetCursorPos(&pointer);
  double ms;
  if (what == "capture") {
    ImageDocument doc;
    const auto t0 = Clock::now();
    CaptureAsTheCommand(doc, index, true);
    ms = MsSince(t0);
  } else if (what == "blt") {
    DibSection dib;
    if (!MakeDibSection(ShapeOf(m), dib, false)) return 1;
    const auto t0 = Clock::now();
    BltInto(dib.bitmap.get(), m);
    ms = MsSince(t0);
  } else {
    std::fprintf(stderr, "--first takes capture or blt\n");
    return 2;
  }
  std::printf("%.3f\n", ms);
  return 0;
}

// Runs this program again for one cold case; its time in ms, or negative when it failed.
double FirstInFreshProcess(const wchar_t* what, int index) {
  wchar_t exe[MAX_PATH];
  if (!GetModuleFileNameW(nullptr, exe, MAX_PATH)) return -1;
  std::wstring cmd = L"\"" + std::wstring(exe) + L"\" --first " + what + L" " + std::to_wstring(index);
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return -1;
  UniqueKernelHandle reader(readEnd);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = writeEnd;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi{};
  const BOOL started = CreateProcessW(exe, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  CloseHandle(writeEnd);  // the child holds the only writer: reading ends when it does
  if (!started) return -1;
  UniqueKernelHandle process(pi.hProcess), thread(pi.hThread);
  std::string out;
  char buf[256];
  DWORD n = 0;
  while (ReadFile(readEnd, buf, sizeof buf, &n, nullptr) && n) out.append(buf, n);
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  return code == 0 && !out.empty() ? std::atof(out.c_str()) : -1;
}

void Row(const char* what, double ms, double base) {
  std::printf("%-56s %9.3f ms %7.2f x BitBlt\n", what, ms, ms / base);
}

void Table(const char* measure, const char* anchor, double base, double ms) {
  std::printf("TABLE|%s|%s %.2f ms|%.2f ms|%.2f|<= 1.2\n", measure, anchor, base, ms, ms / base);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2 && std::strcmp(argv[1], "--first") == 0) return RunFirst(argv[2], argc > 3 ? std::atoi(argv[3]) : 0);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  const int index = argc > 2 ? std::atoi(argv[2]) : 0;
  const auto monitors = EnumerateMonitors();
  const MonitorRect m = monitors[static_cast<size_t>(ChooseMonitor(index))].bounds;
  const int bits = ScreenPictureBits();
  std::printf("monitor %d of %zu: %d x %d at (%d, %d), pictures of %d bpp, pointer drawn in, best of %d runs\n",
              ChooseMonitor(index), monitors.size(), m.width, m.height, m.left, m.top, bits, runs);

  // First captures, each in a fresh process, in turns with first BitBlts.
  const int processes = std::min(3, runs);
  double firstCapture = 1e300, firstBlt = 1e300;
  for (int i = 0; i < processes; ++i) {
    const double c = FirstInFreshProcess(L"capture", index), b = FirstInFreshProcess(L"blt", index);
    if (c < 0 || b < 0) {
      std::fprintf(stderr, "a first-capture process failed\n");
      return 1;
    }
    std::printf("first of a process: capture %.3f ms, BitBlt %.3f ms\n", c, b);
    firstCapture = std::min(firstCapture, c);
    firstBlt = std::min(firstBlt, b);
  }

  const Picture shape = ShapeOf(m);
  DibSection dib;
  if (!MakeDibSection(shape, dib, false)) {
    std::fprintf(stderr, "no DIB section\n");
    return 1;
  }
  auto blt = [&] { BltInto(dib.bitmap.get(), m); };

  ImageDocument doc;
  // Two captures fill the cycle of buffers: from the third on, the undo
  // record's old picture is the spare the next grab fills.
  CaptureAsTheCommand(doc, index, true);
  CaptureAsTheCommand(doc, index, true);
  blt();

  const size_t bytes = doc.FullImage().pixels.size();
  std::vector<uint8_t> from(bytes, 1), to(bytes, 2);
  Picture kept = doc.FullImage();  // a picture buffer grabs refill
  ImageDocument steps;  // the document's part: the pictures change places, none is copied
  auto documentSteps = [&] {
    steps.SaveUndo();
    steps.ResetZoom();
    Picture pic = steps.TakeSpare();
    if (pic.Empty()) pic = kept;  // only while the cycle fills
    steps.SetFullImage(std::move(pic));
    steps.RenderView(steps.FullImage(), 1.0);
  };
  for (int i = 0; i < 3; ++i) documentSteps();
  Best tBlt, tCapture, tAfterPause, tNoPointer, tGrab, tPointer, tSteps, tFreshBlt, tAlloc, tCopy;
  for (int i = 0; i < runs; ++i) {
    tBlt.Time(blt);
    tCapture.Time([&] { CaptureAsTheCommand(doc, index, true); });
    doc.ReleaseSpare();  // what the idle timer does
    tAfterPause.Time([&] { CaptureAsTheCommand(doc, index, true); });
    tNoPointer.Time([&] { CaptureAsTheCommand(doc, index, false); });
    tGrab.Time([&] { GrabMonitor(kept, index); });
    tPointer.Time([&] { DrawMouseCursor(kept, m.left, m.top); });
    tSteps.Time(documentSteps);
    tFreshBlt.Time([&] {
      DibSection fresh;
      MakeDibSection(shape, fresh, false);
      BltInto(fresh.bitmap.get(), m);
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
  }

  // A capture without the pointer must hold what the BitBlt read (the
  // screen is still), and the view must show it.
  CaptureAsTheCommand(doc, index, false);
  blt();
  const Picture &full = doc.FullImage(), &shown = doc.ShownImage();
  const int px = full.bpp / 8;
  bool same = (px == 3 || px == 4) && full.width == m.width && full.height == m.height && &shown == &full;
  for (int y = 0; same && y < full.height; ++y)
    for (int x = 0; same && x < full.width; ++x) {
      const uint8_t* b = static_cast<const uint8_t*>(dib.bits) + (size_t(y) * m.width + x) * 4;
      same = std::memcmp(full.Row(y) + x * px, b, 3) == 0;
    }

  char measure[96];
  std::snprintf(measure, sizeof measure, "full-screen capture %dx%d, first of a process", m.width, m.height);
  Table(measure, "first BitBlt of a process", firstBlt, firstCapture);
  std::snprintf(measure, sizeof measure, "full-screen capture %dx%d, after a pause", m.width, m.height);
  Table(measure, "BitBlt into a kept DIB", tBlt.ms, tAfterPause.ms);
  std::snprintf(measure, sizeof measure, "full-screen capture %dx%d, back to back", m.width, m.height);
  Table(measure, "BitBlt into a kept DIB", tBlt.ms, tCapture.ms);

  std::printf("%-56s %9.3f ms\n", "BitBlt into a kept DIB section", tBlt.ms);
  Row("capture as the command does it, back to back", tCapture.ms, tBlt.ms);
  Row("  after a pause (the spare let go)", tAfterPause.ms, tBlt.ms);
  std::printf("%-56s %9.3f ms %7.2f x its first BitBlt\n", "  first of a process", firstCapture,
              firstCapture / firstBlt);
  if (!same) std::printf("  ** the capture, its view and the BitBlt differ\n");
  std::printf("where the time goes:\n");
  Row("  capture without the pointer", tNoPointer.ms, tBlt.ms);
  Row("  GrabMonitor into a kept picture", tGrab.ms, tBlt.ms);
  Row("  the pointer drawn in", tPointer.ms, tBlt.ms);
  Row("  undo record, spare buffer, full image, view at 1:1", tSteps.ms, tBlt.ms);
  Row("  BitBlt into a DIB section made for it", tFreshBlt.ms, tBlt.ms);
  Row("  new zero-filled picture", tAlloc.ms, tBlt.ms);
  char what[64];
  std::snprintf(what, sizeof what, "  memcpy of the %.1f MB picture", bytes / 1e6);
  Row(what, tCopy.ms, tBlt.ms);
  return 0;
}
