// Which monitor a capture takes, which pixels a dragged rectangle selects,
// the window a click on the overlay takes, and the adjusting of a selection
// by its handles and the arrow keys.
#pragma once
#include <vector>

#include "capture/overlay_layout.h"

namespace griv {

// The monitor a full-screen grab or the area overlay uses: index, or the
// other one while Ctrl is held and there are two or more; an index that names
// no monitor falls back to 0.
int ChooseMonitorIndex(int index, bool ctrlDown, int monitorCount);

// A rectangle as the overlay reports a drag: the corner where it started and
// the pointer's last position, in either order.
struct DragRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct SelectedArea {
  bool valid = false;  // false: nothing selected (no width or no height)
  int left = 0, top = 0, width = 0, height = 0;
};

// The pixels a drag selects on a monitor of monitorWidth x monitorHeight,
// from either corner to the opposite one: the rectangle between the two
// points, so the column and row of its right and bottom edges are left out.
// The pointer can never pass the last column and row, so an edge that ends on
// them takes them too; otherwise the screen's edge could never be selected.
SelectedArea SelectionOf(const DragRect& drag, int monitorWidth, int monitorHeight);
// A box (right and bottom excluded) as a selection, cut to the monitor.
SelectedArea SelectionOfBox(const Box& box, int monitorWidth, int monitorHeight);

// The window under a point: the first of the windows' boxes, topmost first,
// that holds it, cut to the monitor; the whole monitor over the desktop.
Box WindowUnder(const std::vector<Box>& topFirst, int x, int y, int monitorWidth, int monitorHeight);

// What a press on an adjustable selection takes hold of.
enum class Grip { None, Move, Left, Top, Right, Bottom, TopLeft, TopRight, BottomLeft, BottomRight };
// The handles (squares of handleSize centred on the corners and the middles
// of the edges) come first, then the inside.
Grip GripAt(const Box& sel, int x, int y, int handleSize);
// The selection as it was when the press began, dragged by (dx, dy) at the
// grip: its edges follow (crossing over turns it round), it stays on the
// monitor and at least one pixel wide and high; Move keeps its size.
Box Adjusted(const Box& start, Grip grip, int dx, int dy, int monitorWidth, int monitorHeight);

}  // namespace griv
