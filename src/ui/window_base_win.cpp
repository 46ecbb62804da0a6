#include "ui/window_base_win.h"

#include <stdexcept>

#include "ui/modal_state.h"
#include "ui/ui_win.h"

namespace griv {

HINSTANCE CodeModule() {
  HMODULE m = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&CodeModule), &m);
  return m;
}

// ---------------------------------------------------------------- WindowBase

WindowBase::~WindowBase() { Destroy(); }

void WindowBase::Destroy() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);  // WM_NCDESTROY clears hwnd_
  hwnd_ = nullptr;
}

HWND WindowBase::CreateWin(const WindowClass& cls, DWORD exStyle, const wchar_t* title, DWORD style, int x, int y,
                           int w, int h, HWND parent, HMENU menuOrId) {
  const HINSTANCE inst = CodeModule();
  WNDCLASSEXW wc{sizeof wc};
  if (!GetClassInfoExW(inst, cls.name, &wc)) {
    wc = WNDCLASSEXW{sizeof wc};
    wc.style = cls.style;
    wc.lpfnWndProc = &WindowBase::StaticWndProc;
    wc.hInstance = inst;
    wc.hCursor = cls.cursor ? cls.cursor : LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = cls.background;
    wc.hIcon = cls.icon;
    wc.hIconSm = cls.smallIcon;
    wc.lpszClassName = cls.name;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
      throw std::runtime_error("Unable to register a window class");
  }
  HWND made = CreateWindowExW(exStyle, cls.name, title, style, x, y, w, h, parent, menuOrId, inst, this);
  if (!made) throw std::runtime_error("Unable to create a window");
  return made;
}

LRESULT WindowBase::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      if (OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp))) return 0;
      break;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      OnPaint(dc, ps);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_SIZE: OnSize(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))); break;
  }
  return DefaultProc(msg, wp, lp);
}

LRESULT CALLBACK WindowBase::StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    if (self) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      self->hwnd_ = hwnd;
    }
  }
  if (!self || !self->hwnd_) return DefWindowProcW(hwnd, msg, wp, lp);
  LRESULT result = 0;
  bool handled = false;
  Guarded([&] {
    result = self->WndProc(msg, wp, lp);
    handled = true;
  });
  if (!handled) {
    // A painting handler that failed must still validate, or WM_PAINT repeats forever.
    if (msg == WM_PAINT) ValidateRect(hwnd, nullptr);
    result = msg == WM_PAINT ? 0 : DefWindowProcW(hwnd, msg, wp, lp);
  }
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    Guarded([&] { self->OnFinalMessage(); });
  }
  return result;
}

void RunModal(HWND window, const std::function<bool()>& done, const std::function<bool(const MSG&)>& filter) {
  ModalScope modal(reinterpret_cast<std::uintptr_t>(window));
  MSG m;
  while (!done() && IsWindow(window)) {
    const BOOL r = GetMessageW(&m, nullptr, 0, 0);
    if (r == 0) {
      PostQuitMessage(static_cast<int>(m.wParam));
      break;
    }
    if (r < 0) break;
    if (filter && filter(m)) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

bool ClickTracker::Track(HWND w, UINT msg, LPARAM lp, bool& clicked) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pressed_ = true;
      SetCapture(w);
      return true;
    case WM_LBUTTONUP:
      if (pressed_) {
        pressed_ = false;
        ReleaseCapture();
        POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        RECT rc;
        GetClientRect(w, &rc);
        clicked = PtInRect(&rc, pt) != FALSE;
      }
      return true;
    case WM_CAPTURECHANGED: pressed_ = false; return true;
  }
  return false;
}

// ---------------------------------------------------------------- DialogBase

DialogBase::~DialogBase() {
  if (hwnd_ && IsWindow(hwnd_)) {
    if (modal_) EndDialog(hwnd_, IDCANCEL);
    else DestroyWindow(hwnd_);
  }
}

INT_PTR DialogBase::ShowModal(HINSTANCE resources, int templateId, HWND owner) {
  modal_ = true;
  const HWND focus = GetFocus();
  INT_PTR r;
  {
    ModalScope modal;  // the handle is known at WM_INITDIALOG
    r = DialogBoxParamW(resources, MAKEINTRESOURCEW(templateId), owner, &DialogBase::StaticDlgProc,
                        reinterpret_cast<LPARAM>(this));
  }
  if (r == -1) throw std::runtime_error("Unable to show a dialog");
  GiveFocusBack(owner, focus);
  return r;
}

HWND DialogBase::CreateModeless(HINSTANCE resources, int templateId, HWND owner) {
  modal_ = false;
  HWND made = CreateDialogParamW(resources, MAKEINTRESOURCEW(templateId), owner, &DialogBase::StaticDlgProc,
                                 reinterpret_cast<LPARAM>(this));
  if (!made) throw std::runtime_error("Unable to create a dialog");
  return made;
}

void DialogBase::End(INT_PTR result) {
  if (!hwnd_) return;
  if (modal_) EndDialog(hwnd_, result);
  else DestroyWindow(hwnd_);
}

int DialogBase::Dpi() const { return DpiOf(hwnd_); }

void DialogBase::SetClientSize(int width, int height) {
  const SIZE size = WindowSizeForClient(hwnd_, S(width), S(height));
  SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DialogBase::PlaceItem(int id, int x, int y, int width, int height) {
  MoveWindow(Item(id), S(x), S(y), S(width), S(height), FALSE);
}

void DialogBase::CentreOnScreen() {
  RECT r;
  GetWindowRect(hwnd_, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  MoveTo((sw - w) / 2, (sh - h) / 2);
}

void DialogBase::MoveTo(int x, int y) {
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  KeepInWorkArea(hwnd_);
}

INT_PTR DialogBase::DlgProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_COMMAND: return OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)) ? TRUE : FALSE;
  }
  return FALSE;
}

bool DialogBase::OnCommand(int id, int code, HWND) {
  if (id == IDOK || id == IDCANCEL) {
    End(id);
    return true;
  }
  return false;
}

INT_PTR CALLBACK DialogBase::StaticDlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  return Dispatch(hwnd, msg, wp, lp, msg == WM_INITDIALOG ? reinterpret_cast<DialogBase*>(lp) : nullptr);
}

INT_PTR DialogBase::Dispatch(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DialogBase* initSelf) {
  DialogBase* self = initSelf;
  if (self) {
    SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
    if (self->modal_ && !griv::Modal().Innermost()) griv::Modal().SetInnermost(reinterpret_cast<std::uintptr_t>(hwnd));
  } else {
    self = reinterpret_cast<DialogBase*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!self || !self->hwnd_) return FALSE;
  INT_PTR result = FALSE;
  Guarded([&] { result = self->DlgProc(msg, wp, lp); });
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
    Guarded([&] { self->OnFinalMessage(); });
  }
  return result;
}

}  // namespace griv
