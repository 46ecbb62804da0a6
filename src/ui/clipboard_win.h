// The clipboard, opened for the length of a scope. Another program may hold
// it for a moment (a clipboard manager reading it): opening waits a little
// before it gives up.
#pragma once
#include <windows.h>

namespace griv {

class ClipboardSession {
 public:
  explicit ClipboardSession(HWND owner);
  ~ClipboardSession();
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;
  explicit operator bool() const { return open_; }

 private:
  bool open_ = false;
};

}  // namespace griv
