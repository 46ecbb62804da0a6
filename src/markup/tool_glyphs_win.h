// The pictures of the markup tools: the tool bar button's glyph and the
// pointer of each tool, drawn with GDI at the window's size.
#pragma once
#include <windows.h>

#include "markup/markup_session.h"

namespace griv {

// The tool's picture in box, strokes in ink (greyed when not enabled).
void DrawToolGlyph(HDC dc, const RECT& box, MarkupTool tool, COLORREF ink, bool enabled = true);

// The pointer of a tool, size pixels square: a cross hair with the tool's
// picture beside it (an arrow for Select, the text beam for Text). Null for None.
HCURSOR MakeToolCursor(MarkupTool tool, int size);

}  // namespace griv
