#include "ui/clipboard_win.h"

namespace griv {

ClipboardSession::ClipboardSession(HWND owner) {
  // About 100 ms in all, then the caller says that the clipboard is busy.
  for (int attempt = 0; attempt < 8 && !open_; ++attempt) {
    if (attempt) Sleep(attempt < 4 ? 5 : 25);
    open_ = OpenClipboard(owner) != FALSE;
  }
}

ClipboardSession::~ClipboardSession() {
  if (open_) CloseClipboard();
}

}  // namespace griv
