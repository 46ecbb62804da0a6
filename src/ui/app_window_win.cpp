#include "ui/app_window_win.h"

#include "ui/modal_state.h"

namespace griv {

namespace {
struct Search {
  DWORD thread;
  HWND found;
};

// Message boxes and the system's dialogs give no handle to their scope: they
// are the thread's top dialog-class window.
BOOL CALLBACK FindTopDialog(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  if (GetWindowThreadProcessId(w, nullptr) != s->thread || !IsWindowVisible(w)) return TRUE;
  wchar_t cls[16] = {};
  GetClassNameW(w, cls, 16);
  if (wcscmp(cls, L"#32770") != 0) return TRUE;
  s->found = w;
  return FALSE;
}
}  // namespace

HWND ModalWindow() {
  if (!Modal().Shown()) return nullptr;
  const HWND known = reinterpret_cast<HWND>(Modal().Innermost());
  if (known && IsWindow(known)) return known;
  Search s{GetCurrentThreadId(), nullptr};
  EnumWindows(&FindTopDialog, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

bool BringModalToFront() {
  const HWND w = ModalWindow();
  if (!w) return Modal().Shown();
  // Its last active pop-up: a question it asks has the keyboard.
  const HWND front = GetLastActivePopup(w);
  SetForegroundWindow(front ? front : w);
  return true;
}

}  // namespace griv
