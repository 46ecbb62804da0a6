#include "capture/cap_area_win.h"

#include <windowsx.h>

#include "base/handles_win.h"
#include "capture/monitors_win.h"
#include "shell/help_topics.h"
#include "shell/help_win.h"

namespace griv {

namespace {
const wchar_t kClass[] = L"TfrmCapArea";
}

TfrmCapArea::TfrmCapArea(int monitorIndex) {
  const MonitorRect m = ChosenMonitorBounds(monitorIndex, &overlayMonitor_);
  monitor_ = RECT{m.left, m.top, m.left + m.width, m.top + m.height};
  GrabRect(monitor_, frozen_);
  if (!MakeDibSection(frozen_, frozenDib_, true)) throw std::runtime_error("Unable to make a bitmap of the screen");

  CreateWin({kClass, 0, LoadCursorW(nullptr, IDC_CROSS)}, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"frmCapArea", WS_POPUP,
            m.left, m.top, m.width, m.height, nullptr);
}

bool TfrmCapArea::ShowModal() {
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
  SetFocus(Handle());
  UpdateWindow(Handle());
  MSG msg;
  while (!done_) {
    BOOL r = GetMessageW(&msg, nullptr, 0, 0);
    if (r <= 0) {
      if (r == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  ShowWindow(Handle(), SW_HIDE);
  // Help read during the selection stays open, as an ordinary window again.
  if (help_ && IsWindow(help_)) SetWindowPos(help_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return ok_;
}

void TfrmCapArea::End(bool ok) {
  ok_ = ok;
  done_ = true;
}

void TfrmCapArea::DrawFocus() {
  RECT r = selRect_;
  // The focus frame of a rectangle dragged up or left is drawn normalised; the
  // selection itself keeps its corners.
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  WindowDC dc(Handle());
  DrawFocusRect(dc.get(), &r);
}

LRESULT TfrmCapArea::WndProc(UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      UniqueMemDC mem(CreateCompatibleDC(dc));
      SelectObj sel(mem.get(), frozenDib_.bitmap.get());
      BitBlt(dc, 0, 0, frozen_.width, frozen_.height, mem.get(), 0, 0, SRCCOPY);
      EndPaint(Handle(), &ps);
      if (dragging_) DrawFocus();
      return 0;
    }
    case WM_LBUTTONDOWN: {
      const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
      dragging_ = true;
      selRect_ = RECT{x, y, x, y};
      SetCapture(Handle());
      DrawFocus();
      return 0;
    }
    case WM_MOUSEMOVE:
      if (dragging_) {
        DrawFocus();
        selRect_.right = GET_X_LPARAM(lp);
        selRect_.bottom = GET_Y_LPARAM(lp);
        DrawFocus();
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if (dragging_) {
        DrawFocus();
        dragging_ = false;
        ReleaseCapture();
      }
      End(true);
      return 0;
    case WM_KEYDOWN:
      if (wp == VK_F1) {
        help_ = ShowHelpContext(nullptr, kHelpAreaOverlay);
        // The overlay stays on top of everything: the help has to come above it.
        if (help_) SetWindowPos(help_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return 0;
      }
      // Esc abandons the selection and leaves the picture as it was.
      if (wp == VK_ESCAPE) {
        if (dragging_) ReleaseCapture();
        dragging_ = false;
        End(false);
      }
      return 0;
    case WM_CLOSE:
      End(false);
      return 0;
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, IDC_CROSS));
      return TRUE;
  }
  return DefaultProc(m, wp, lp);
}

}  // namespace griv
