// The program's small drawings on a 16 x 16 grid: the tool bar's glyphs,
// also drawn on the print preview's buttons.
#pragma once
#include <windows.h>

#include "ui/speed_button_win.h"

namespace griv {

enum class Glyph {
  None, Open, Save, Email, PrintSetup, Preview, Print, Undo, Copy, Paste, Clear, Crop, Select, Stamp, StampMenu,
  Help, Exit
};

// Draws a glyph centred in r, greyed when not enabled.
void DrawGlyph(HDC dc, const RECT& r, Glyph g, bool enabled, int dpi);
// A speed button's painter for the glyph.
SpeedButton::GlyphPainter GlyphPainterOf(Glyph g);

}  // namespace griv
