// Application-wide pieces: the top-level exception handler, message boxes with
// the dialog caption, DPI scaling and the pump used by long commands.
#pragma once
#include <windows.h>

#include <string>

#include "base/handles_win.h"

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

// A message box owned by the window it speaks for (null: the thread's
// active window), inside the work area of that window's monitor (long file
// names are broken over lines), giving the keyboard back to the control
// that had it.
int ShowMessage(HWND owner, const std::string& text, const std::string& caption, UINT flags);
// After a modal window owned by owner has closed: owner in front again,
// with the keyboard at focus (a control of owner) or owner itself.
void GiveFocusBack(HWND owner, HWND focus);
// Centres w over owner, or on owner's monitor while owner is hidden, and
// keeps it inside that monitor's work area.
void PlaceOverOwner(HWND w, HWND owner);

// Lets pending window messages run (the program's ProcessMessages).
void ProcessMessages();

// A font of the face in the default character set; height as in LOGFONT
// (negative: the character height in pixels).
UniqueFont MakeFont(const wchar_t* face, int height, int weight, BYTE quality = DEFAULT_QUALITY,
                    bool underline = false);
// A hint (tooltip) window for the controls of owner; null when none can be made.
HWND CreateHintWindow(HWND owner);
// Shows text while the pointer rests on control. parent is the window whose
// messages the hint window watches (the control's parent, or the control).
void AddHint(HWND hints, HWND parent, HWND control, const wchar_t* text);
// Opens a document, program or web address with the shell's "Open" verb.
void OpenWithShell(const std::string& target, const std::string& params = {}, HWND owner = GetDesktopWindow());

// Menus draw a short cut after a gap that does not grow with the DPI, so at
// 144 DPI a long label runs into its short cut: a blank for every 48 DPI
// above 96 goes before each tab of menu and its submenus.
void WidenShortCutGaps(HMENU menu, int dpi);

int DpiOf(HWND w);
inline int Scale(int v, int dpi) { return MulDiv(v, dpi, 96); }

// Outer size of w for a client area of width x height (device pixels), from
// its own styles and menu.
SIZE WindowSizeForClient(HWND w, int width, int height);
// Moves w so that all of it lies inside the work area of the monitor it is
// mostly on (a dialog at 144 DPI must not run off a small screen).
void KeepInWorkArea(HWND w);
// The work area of the monitor w is mostly on.
RECT WorkAreaOf(HWND w);

// Paints through an off-screen bitmap of r's size, so repainting never flickers.
template <class Paint>
void PaintBuffered(HDC target, const RECT& r, Paint paint) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return;
  UniqueMemDC mem(CreateCompatibleDC(target));
  UniqueBitmap bmp(mem ? CreateCompatibleBitmap(target, w, h) : nullptr);
  if (!bmp) {
    paint(target);
    return;
  }
  SelectObj sel(mem.get(), bmp.get());
  SetWindowOrgEx(mem.get(), r.left, r.top, nullptr);
  paint(mem.get());
  SetWindowOrgEx(mem.get(), 0, 0, nullptr);
  BitBlt(target, r.left, r.top, w, h, mem.get(), 0, 0, SRCCOPY);
}

}  // namespace griv
