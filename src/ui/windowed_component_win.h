// Base of the non-visual components that need a window of their own to
// receive messages (hot keys, tray notifications, the animation clock).
#pragma once
#include <windows.h>

#include "ui/window_base_win.h"

namespace griv {

class TWindowedComponent : protected WindowBase {
 public:
  enum class WindowKind {
    MessageOnly,     // never enumerated, gets no broadcasts
    HiddenTopLevel,  // invisible, but receives broadcasts such as "TaskbarCreated"
  };

  explicit TWindowedComponent(WindowKind kind = WindowKind::MessageOnly) : kind_(kind) {}

  // The hidden window, created on first use on the calling thread.
  HWND Handle();
  bool HandleAllocated() const { return WindowBase::Handle() != nullptr; }

 protected:
  // Overrides pass what they do not handle on to DefaultHandler.
  LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override { return DefaultHandler(msg, wParam, lParam); }
  LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) { return DefaultProc(msg, wParam, lParam); }
  // Derived destructors call this while their own WndProc still applies.
  void DestroyHandle() { Destroy(); }

 private:
  WindowKind kind_;
};

}  // namespace griv
