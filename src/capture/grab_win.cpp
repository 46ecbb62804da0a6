#include "capture/grab_win.h"

#include <cstring>
#include <vector>

#include "base/handles_win.h"
#include "image/picture_area.h"
#include "capture/selection.h"
#include "capture/monitors_win.h"

namespace griv {

namespace {
int ChooseFrom(int index, int count) {
  return ChooseMonitorIndex(index, (GetAsyncKeyState(VK_CONTROL) & 0x8001) != 0, count);
}
}  // namespace

int ChooseMonitor(int index) { return ChooseFrom(index, static_cast<int>(EnumerateMonitors().size())); }

MonitorRect ChosenMonitorBounds(int monitorIndex) {
  // One list for the choice and the bounds: a monitor that comes or goes meanwhile cannot mislead.
  const auto monitors = EnumerateMonitors();
  const int i = ChooseFrom(monitorIndex, static_cast<int>(monitors.size()));
  return monitors[static_cast<size_t>(i)].bounds;
}

int ScreenPictureBits() {
  WindowDC screen(nullptr);
  return GetDeviceCaps(screen.get(), BITSPIXEL) >= 32 ? 32 : 24;
}

namespace {
// Copies w x h screen pixels from (x, y) into target. The picture's pixels
// live in a bitmap of their own that GDI copies the screen into: no copy
// follows, and a picture of the same size keeps its bitmap from one grab to
// the next.
void CopyScreen(int x, int y, int w, int h, Picture& target) {
  const int bits = ScreenPictureBits();
  HBITMAP bitmap = target.width == w && target.height == h && target.bpp == bits ? PictureBitmap(target) : nullptr;
  if (!bitmap) {
    ResizeIntoBitmap(target, w, h, bits);
    if (w == 0 || h == 0) return;
    bitmap = PictureBitmap(target);
  }
  UniqueMemDC mem(CreateCompatibleDC(nullptr));
  {
    SelectObj sel(mem.get(), bitmap);
    WindowDC screen(nullptr);  // released in every case
    if (!BitBlt(mem.get(), 0, 0, w, h, screen.get(), x, y, SRCCOPY))
      throw std::runtime_error("Unable to copy the screen");
  }
  GdiFlush();
}
}  // namespace

POINT GrabMonitor(Picture& target, int monitorIndex) {
  const MonitorRect m = ChosenMonitorBounds(monitorIndex);
  CopyScreen(m.left, m.top, m.width, m.height, target);
  return POINT{m.left, m.top};
}

void GrabRect(const RECT& r, Picture& target) {
  CopyScreen(r.left, r.top, std::max(0L, r.right - r.left), std::max(0L, r.bottom - r.top), target);
}

void GrabWindow(HWND w, Picture& target) {
  RECT r{};
  GetWindowRect(w, &r);
  GrabRect(r, target);
}

void DrawCursorAt(Picture& target, HCURSOR cursor, int x, int y) {
  if (target.Empty() || !cursor) return;
  if (HBITMAP bitmap = PictureBitmap(target)) {  // a grab: drawn straight into it, cut off at its edges
    UniqueMemDC mem(CreateCompatibleDC(nullptr));
    SelectObj sel(mem.get(), bitmap);
    DrawIconEx(mem.get(), x, y, cursor, 0, 0, 0, nullptr, DI_NORMAL);
    GdiFlush();
    return;
  }
  ICONINFO ii{};
  int cw = GetSystemMetrics(SM_CXCURSOR), ch = GetSystemMetrics(SM_CYCURSOR);
  if (GetIconInfo(cursor, &ii)) {
    const UniqueBitmap color(ii.hbmColor), mask(ii.hbmMask);  // GetIconInfo hands over copies
    BITMAP bm{};
    if (ii.hbmColor && GetObjectW(ii.hbmColor, sizeof bm, &bm)) {
      cw = bm.bmWidth;
      ch = bm.bmHeight;
    } else if (ii.hbmMask && GetObjectW(ii.hbmMask, sizeof bm, &bm)) {
      cw = bm.bmWidth;
      ch = bm.bmHeight / 2;
    }
  }
  // Only the pointer's own square is drawn, through a small bitmap of that part
  // of the picture, so a large picture is not copied twice.
  const int x0 = std::max(0, x), y0 = std::max(0, y);
  const int x1 = std::min(target.width, x + cw), y1 = std::min(target.height, y + ch);
  if (x0 >= x1 || y0 >= y1) return;
  Picture part = CopyArea(target, x0, y0, x1 - x0, y1 - y0);
  DibSection dib;
  if (!MakeDibSection(part, dib, true)) return;
  {
    UniqueMemDC mem(CreateCompatibleDC(nullptr));
    SelectObj sel(mem.get(), dib.bitmap.get());
    DrawIconEx(mem.get(), x - x0, y - y0, cursor, 0, 0, 0, nullptr, DI_NORMAL);  // at its own size
    GdiFlush();
  }
  std::memcpy(part.pixels.data(), dib.bits, part.pixels.size());
  PasteArea(target, part, x0, y0);
}

void DrawMouseCursor(Picture& target, int originX, int originY) {
  POINT pt;
  // Captures are never palette pictures.
  if (target.Empty() || target.bpp == 8 || !GetCursorPos(&pt)) return;
  DrawCursorAt(target, LoadCursorW(nullptr, IDC_ARROW), pt.x - originX, pt.y - originY);
}

}  // namespace griv
