#include "capture/cap_area_win.h"

#include <windowsx.h>

#include "base/handles_win.h"
#include "capture/monitors_win.h"
#include "ui/ui_win.h"

namespace griv {

namespace {
const wchar_t kClass[] = L"TfrmCapArea";
}

TfrmCapArea::TfrmCapArea(int monitorIndex) {
  const MonitorRect m = ChosenMonitorBounds(monitorIndex);
  monitor_ = RECT{m.left, m.top, m.left + m.width, m.top + m.height};
  GrabRect(monitor_, frozen_);
  CreateWin({kClass, 0, LoadCursorW(nullptr, IDC_CROSS)}, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"frmCapArea", WS_POPUP,
            m.left, m.top, m.width, m.height, nullptr);
  painter_ = std::make_unique<OverlayPainter>(frozen_, DpiOf(Handle()));
  POINT p;
  if (GetCursorPos(&p)) {
    state_.pointerX = p.x - monitor_.left;
    state_.pointerY = p.y - monitor_.top;
  }
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
  if (state_.dragging) {
    // The corner where the drag started stays the left and top, whichever way it goes.
    selRect_.right = x;
    selRect_.bottom = y;
  }
  Relayout();
}

void TfrmCapArea::StartDrag(int x, int y) {
  state_.dragging = true;
  state_.hintShown = false;
  state_.anchorX = state_.pointerX = x;
  state_.anchorY = state_.pointerY = y;
  selRect_ = RECT{x, y, x, y};
  SetCapture(Handle());
  Relayout();
}

void TfrmCapArea::EndDrag() {
  if (state_.dragging) {
    state_.dragging = false;
    ReleaseCapture();
  }
  End(true);
}

void TfrmCapArea::OnPaint(HDC dc, const PAINTSTRUCT& ps) { painter_->Paint(dc, ps.rcPaint, state_, layout_); }

LRESULT TfrmCapArea::WndProc(UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_ERASEBKGND:
      return 1;
    case WM_LBUTTONDOWN:
      StartDrag(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return 0;
    case WM_MOUSEMOVE:
      MoveTo(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      EndDrag();
      return 0;
    case WM_KEYDOWN: {
      const int step = (GetKeyState(VK_SHIFT) & 0x8000) ? 10 : 1;
      POINT p{state_.pointerX, state_.pointerY};
      switch (wp) {
        case VK_ESCAPE:
          // Esc abandons the selection and leaves the picture as it was.
          if (state_.dragging) ReleaseCapture();
          state_.dragging = false;
          End(false);
          return 0;
        case VK_F1:
          if (OnHelp) OnHelp();
          return 0;
        case VK_RETURN:
        case VK_SPACE:
          if (state_.dragging) EndDrag();
          else StartDrag(p.x, p.y);
          return 0;
        case VK_LEFT: p.x -= step; break;
        case VK_RIGHT: p.x += step; break;
        case VK_UP: p.y -= step; break;
        case VK_DOWN: p.y += step; break;
        default: return 0;
      }
      // The keys move the pointer itself, so mouse and keys can be mixed.
      p.x = std::clamp<int>(p.x, 0, frozen_.width - 1);
      p.y = std::clamp<int>(p.y, 0, frozen_.height - 1);
      SetCursorPos(p.x + monitor_.left, p.y + monitor_.top);
      MoveTo(p.x, p.y);
      return 0;
    }
    case WM_CLOSE:
      End(false);
      return 0;
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, IDC_CROSS));
      return TRUE;
  }
  return WindowBase::WndProc(m, wp, lp);
}

}  // namespace griv
