// Copying pixels from the screen: a monitor, a rectangle, a window, and the
// mouse pointer painted into a grabbed picture.
#pragma once
#include <windows.h>

#include "base/dib_win.h"
#include "base/picture.h"
#include "base/strings.h"

namespace griv {

// The monitor a capture uses: index, or the other one while Ctrl is held and
// there are two; an index that names no monitor falls back to 0.
int ChooseMonitor(int monitorIndex);
// Bounds of that monitor.
MonitorRect ChosenMonitorBounds(int monitorIndex);

// Grabs copy the screen straight into the target's pixels, which then live in
// a bitmap (ResizeIntoBitmap); a target of the same size and depth keeps its
// bitmap.
// Copies the chosen monitor into target; returns its desktop origin.
POINT GrabMonitor(Picture& target, int monitorIndex);
// Copies the desktop rectangle r (not clipped to the monitors) into target.
void GrabRect(const RECT& r, Picture& target);
// Copies a window's rectangle, frame included, as the screen shows it.
void GrabWindow(HWND w, Picture& target);
// Draws the standard arrow at the pointer, relative to the picture's origin.
void DrawMouseCursor(Picture& target, int originX, int originY);
// Draws a cursor at its own size with its picture's top-left corner at (x, y);
// what falls outside the picture is cut off.
void DrawCursorAt(Picture& target, HCURSOR cursor, int x, int y);

// Bits per pixel of pictures grabbed from this display: 32, else 24.
int ScreenPictureBits();

}  // namespace griv
