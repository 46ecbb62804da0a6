#include "capture/cap_area_win.h"

#include <windowsx.h>

#include <algorithm>

#include "base/handles_win.h"
#include "base/system_dll_win.h"
#include "capture/monitors_win.h"
#include "ui/ui_win.h"

namespace griv {

namespace {
const wchar_t kClass[] = L"TfrmCapArea";

// Shown and on screen: a window Windows keeps out of sight (cloaked on
// another desktop, a minimised one) is no target of a click.
bool OnScreen(HWND w) {
  if (!IsWindowVisible(w) || IsIconic(w)) return false;
  using Fn = HRESULT WINAPI(HWND, DWORD, PVOID, DWORD);
  static const auto attribute = SystemProc<Fn>(L"dwmapi.dll", "DwmGetWindowAttribute");
  DWORD cloaked = 0;
  constexpr DWORD kCloaked = 14;  // DWMWA_CLOAKED
  return !(attribute && SUCCEEDED(attribute(w, kCloaked, &cloaked, sizeof cloaked)) && cloaked);
}

struct WindowsOnMonitor {
  RECT monitor;
  std::vector<Box> boxes;
};

BOOL CALLBACK AddWindow(HWND w, LPARAM p) {
  auto& c = *reinterpret_cast<WindowsOnMonitor*>(p);
  RECT r, common;
  if (!OnScreen(w) || !GetWindowRect(w, &r) || !IntersectRect(&common, &r, &c.monitor)) return TRUE;
  if (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TRANSPARENT) return TRUE;  // clicks go through it
  c.boxes.push_back({r.left - c.monitor.left, r.top - c.monitor.top, r.right - c.monitor.left, r.bottom - c.monitor.top});
  return TRUE;
}

// The top-level windows over a monitor, topmost first, as Alt+PrintScreen
// would take them: the whole window rectangle, frame and caption included.
std::vector<Box> WindowsOn(const RECT& monitor) {
  WindowsOnMonitor found{monitor, {}};
  EnumWindows(&AddWindow, reinterpret_cast<LPARAM>(&found));
  return found.boxes;
}
}  // namespace

TfrmCapArea::TfrmCapArea(int monitorIndex, bool adjust) : adjust_(adjust) {
  const MonitorRect m = ChosenMonitorBounds(monitorIndex);
  monitor_ = RECT{m.left, m.top, m.left + m.width, m.top + m.height};
  GrabRect(monitor_, frozen_);
  windows_ = WindowsOn(monitor_);
  CreateWin({kClass, 0, LoadCursorW(nullptr, IDC_CROSS)}, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"frmCapArea", WS_POPUP,
            m.left, m.top, m.width, m.height, nullptr);
  const int dpi = DpiOf(Handle());
  painter_ = std::make_unique<OverlayPainter>(frozen_, dpi);
  state_.handleSize = 7;
  POINT p;
  if (GetCursorPos(&p)) {
    state_.pointerX = p.x - monitor_.left;
    state_.pointerY = p.y - monitor_.top;
  }
  state_.hover = WindowUnder(windows_, state_.pointerX, state_.pointerY, frozen_.width, frozen_.height);
  layout_ = painter_->Layout(state_);
}

bool TfrmCapArea::ShowModal() {
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
  SetFocus(Handle());
  UpdateWindow(Handle());
  RunModal(Handle(), [this] { return done_; });
  ShowWindow(Handle(), SW_HIDE);
  return ok_;
}

void TfrmCapArea::End(bool ok) {
  if (GetCapture() == Handle()) ReleaseCapture();
  ok_ = ok;
  done_ = true;
}

void TfrmCapArea::Relayout() {
  const OverlayLayout next = painter_->Layout(state_);
  for (const Box& b : DirtyBoxes(layout_, next)) {
    const RECT r{b.left, b.top, b.right, b.bottom};
    InvalidateRect(Handle(), &r, FALSE);
  }
  layout_ = next;
}

void TfrmCapArea::MoveTo(int x, int y) {
  if (x == state_.pointerX && y == state_.pointerY) return;
  state_.pointerX = x;
  state_.pointerY = y;
  if (pressed_ && grip_ != Grip::None) {
    state_.adjusted = Adjusted(gripStart_, grip_, x - pressX_, y - pressY_, frozen_.width, frozen_.height);
  } else if (pressed_ && !state_.dragging &&
             (std::abs(x - pressX_) >= GetSystemMetrics(SM_CXDRAG) ||
              std::abs(y - pressY_) >= GetSystemMetrics(SM_CYDRAG))) {
    // Far enough from where the button went down: a drag, not a click.
    state_.dragging = true;
    state_.hintShown = false;
  } else if (!pressed_ && !state_.adjusting) {
    state_.hover = WindowUnder(windows_, x, y, frozen_.width, frozen_.height);
  }
  Relayout();
}

void TfrmCapArea::Press(int x, int y) {
  grip_ = Grip::None;
  if (state_.adjusting) {
    grip_ = GripAt(state_.adjusted, x, y, std::max(3, Scale(state_.handleSize, DpiOf(Handle()))) + 4);
    gripStart_ = state_.adjusted;
    // A press beside the selection starts a new one.
    if (grip_ == Grip::None) state_.adjusting = false;
  }
  if (grip_ == Grip::None) {
    state_.dragging = false;
    state_.hover = WindowUnder(windows_, x, y, frozen_.width, frozen_.height);
  }
  pressed_ = true;
  pressX_ = state_.anchorX = state_.pointerX = x;
  pressY_ = state_.anchorY = state_.pointerY = y;
  SetCapture(Handle());
  Relayout();
}

void TfrmCapArea::Release() {
  if (!pressed_) return;
  pressed_ = false;
  if (GetCapture() == Handle()) ReleaseCapture();
  if (grip_ != Grip::None) {  // an adjustment ends; the selection still waits for Enter
    grip_ = Grip::None;
    return;
  }
  if (state_.dragging) {
    state_.dragging = false;
    Choose(SelectionOf({state_.anchorX, state_.anchorY, state_.pointerX, state_.pointerY}, frozen_.width,
                       frozen_.height));
  } else {
    // A click takes the window it was made on.
    Choose(SelectionOfBox(WindowUnder(windows_, pressX_, pressY_, frozen_.width, frozen_.height), frozen_.width,
                          frozen_.height));
  }
}

void TfrmCapArea::Choose(const SelectedArea& sel) {
  if (adjust_ && sel.valid) {
    state_.adjusting = true;
    state_.hover = {};
    state_.adjusted = {sel.left, sel.top, sel.left + sel.width, sel.top + sel.height};
    Relayout();
    return;
  }
  selection_ = sel;
  End(true);
}

bool TfrmCapArea::Key(WPARAM key) {
  const int step = (GetKeyState(VK_SHIFT) & 0x8000) ? 10 : 1;
  int dx = 0, dy = 0;
  switch (key) {
    case VK_ESCAPE:
      // Esc abandons the selection and leaves the picture as it was.
      End(false);
      return true;
    case VK_F1:
      if (OnHelp) OnHelp();
      return true;
    case VK_RETURN:
    case VK_SPACE:
      if (state_.adjusting && !pressed_) {
        selection_ = SelectionOfBox(state_.adjusted, frozen_.width, frozen_.height);
        End(true);
      } else if (pressed_) {
        Release();
      } else {
        Press(state_.pointerX, state_.pointerY);
        ReleaseCapture();  // the keys drive it, not the mouse
      }
      return true;
    case VK_LEFT: dx = -step; break;
    case VK_RIGHT: dx = step; break;
    case VK_UP: dy = -step; break;
    case VK_DOWN: dy = step; break;
    default: return false;
  }
  if (state_.adjusting && !pressed_) {
    // The arrow keys move the waiting selection.
    state_.adjusted = Adjusted(state_.adjusted, Grip::Move, dx, dy, frozen_.width, frozen_.height);
    Relayout();
    return true;
  }
  // Otherwise they move the pointer itself, so mouse and keys can be mixed.
  const int x = std::clamp(state_.pointerX + dx, 0, frozen_.width - 1);
  const int y = std::clamp(state_.pointerY + dy, 0, frozen_.height - 1);
  SetCursorPos(x + monitor_.left, y + monitor_.top);
  MoveTo(x, y);
  return true;
}

void TfrmCapArea::OnPaint(HDC dc, const PAINTSTRUCT& ps) { painter_->Paint(dc, ps.rcPaint, state_, layout_); }

LRESULT TfrmCapArea::WndProc(UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
      Press(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return 0;
    case WM_MOUSEMOVE:
      MoveTo(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return 0;
    case WM_LBUTTONUP:
      Release();
      return 0;
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      // Another button selects nothing (the caller then offers to try again);
      // a selection waiting to be adjusted stays.
      if (!state_.adjusting && !pressed_) {
        selection_ = {};
        End(true);
      }
      return 0;
    case WM_KEYDOWN:
      Key(wp);
      return 0;
    case WM_CLOSE:
      End(false);
      return 0;
    case WM_SETCURSOR: {
      LPCWSTR cursor = IDC_CROSS;
      if (state_.adjusting) {
        POINT p;
        GetCursorPos(&p);
        ScreenToClient(Handle(), &p);
        const Grip g = pressed_ ? grip_ : GripAt(state_.adjusted, p.x, p.y, Scale(state_.handleSize, DpiOf(Handle())) + 4);
        switch (g) {
          case Grip::Move: cursor = IDC_SIZEALL; break;
          case Grip::Left:
          case Grip::Right: cursor = IDC_SIZEWE; break;
          case Grip::Top:
          case Grip::Bottom: cursor = IDC_SIZENS; break;
          case Grip::TopLeft:
          case Grip::BottomRight: cursor = IDC_SIZENWSE; break;
          case Grip::TopRight:
          case Grip::BottomLeft: cursor = IDC_SIZENESW; break;
          default: break;
        }
      }
      SetCursor(LoadCursorW(nullptr, cursor));
      return TRUE;
    }
  }
  return WindowBase::WndProc(m, wp, lp);
}

}  // namespace griv
