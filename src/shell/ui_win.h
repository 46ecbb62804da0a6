// Application-wide pieces: the top-level exception handler, message boxes with
// the dialog caption, DPI scaling and the pump used by long commands.
#pragma once
#include <windows.h>

#include <string>

namespace griv {

// Called from inside a catch block: registry errors are dropped silently, any
// other exception is shown in the standard error box.
void HandleCurrentException() noexcept;

// Runs f; exceptions never leave it (window procedures wrap their handlers in this).
template <class F>
void Guarded(F&& f) noexcept {
  try {
    f();
  } catch (...) {
    HandleCurrentException();
  }
}

// Application title used by the standard error box (MainCaption).
void SetApplicationTitle(const std::string& title);
const std::string& ApplicationTitle();

// Message box without owner window, titled with the dialog caption.
int ShowMessage(const std::string& text, const std::string& caption, UINT flags);

// Lets pending window messages run (the program's ProcessMessages).
void ProcessMessages();

int DpiOf(HWND w);
inline int Scale(int v, int dpi) { return MulDiv(v, dpi, 96); }

}  // namespace griv
