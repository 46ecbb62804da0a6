// Where the area overlay draws what helps the user aim: the selection, its
// size next to the pointer, the magnifier and the one-line hint; and which
// parts of the screen must be drawn again when the pointer moves, so a drag
// stays smooth on a large screen.
#pragma once
#include <string>
#include <vector>

namespace griv {

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool operator==(const Box&) const = default;
};

struct OverlayState {
  int pointerX = 0, pointerY = 0;
  bool dragging = false;
  int anchorX = 0, anchorY = 0;  // where the drag started
  bool hintShown = true;         // until the first drag
  Box hover;                     // the window under the pointer while nothing is dragged
  bool adjusting = false;        // the selection waits, with handles, for Enter
  Box adjusted;                  // the selection being adjusted
  int handleSize = 7;
};

struct OverlayMetrics {
  int screenWidth = 0, screenHeight = 0;
  int dpi = 96;
  int labelWidth = 0, labelHeight = 0;  // the measured text box of the label
  int hintWidth = 0, hintHeight = 0;
};

struct OverlayLayout {
  Box selection;  // normalised; empty before a drag
  Box frame;      // the selection with its border around it
  Box label;      // the size (while dragging) or the position (before)
  Box magnifier;
  Box magnifierSource;  // the screen pixels the magnifier enlarges
  Box hint;             // empty once the drag has started
  std::vector<Box> handles;  // while a selection is adjusted
  int zoom = 8;
};

// The label's text: "W × H" while dragging or adjusting (what the capture
// will be), the pointer's position before.
std::string OverlayLabel(const OverlayState& s, int screenWidth, int screenHeight);
// The eight handles of an adjustable selection, squares of size centred on
// the middles of its edges (left, top, right, bottom) and on its corners
// (top left, top right, bottom left, bottom right).
std::vector<Box> HandleBoxes(const Box& selection, int size);
// The line at the top: how to select, or how to adjust.
const char* OverlayHint(const OverlayState& s);

OverlayLayout LayOutOverlay(const OverlayState& s, const OverlayMetrics& m);

// The parts that differ between two layouts: the selection's edges as they
// move (not the whole selection), and the old and new label, magnifier and hint.
std::vector<Box> DirtyBoxes(const OverlayLayout& before, const OverlayLayout& after);

}  // namespace griv
