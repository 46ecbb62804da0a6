// Which monitor a capture takes, and which pixels a dragged rectangle selects.
#pragma once

namespace griv {

// The monitor a full-screen grab or the area overlay uses: index, or the
// other one while Ctrl is held and there are two or more; an index that names
// no monitor falls back to 0.
int ChooseMonitorIndex(int index, bool ctrlDown, int monitorCount);

// A rectangle as the overlay reports it: the corner where the drag started
// and the pointer's last position, never normalised.
struct DragRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct SelectedArea {
  bool valid = false;  // false: nothing selected, or dragged up or to the left
  int left = 0, top = 0, width = 0, height = 0;
};

// The pixels a drag selects on a monitor of monitorWidth x monitorHeight:
// from the start corner up to, but not including, the pointer's column and
// row. The pointer can never pass the last column and row, so a drag that
// ends on them takes them too; otherwise the screen's edge could never be
// selected.
SelectedArea SelectionOf(const DragRect& drag, int monitorWidth, int monitorHeight);

}  // namespace griv
