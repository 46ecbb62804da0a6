#include "capture/selection.h"

namespace griv {

int ChooseMonitorIndex(int index, bool ctrlDown, int monitorCount) {
  if (ctrlDown && monitorCount > 1) index = index == 0 ? 1 : 0;
  if (index < 0 || index >= monitorCount) index = 0;
  return index;
}

SelectedArea SelectionOf(const DragRect& d, int monitorWidth, int monitorHeight) {
  SelectedArea a;
  if (d.left >= d.right || d.top >= d.bottom) return a;
  const int right = d.right == monitorWidth - 1 ? monitorWidth : d.right;
  const int bottom = d.bottom == monitorHeight - 1 ? monitorHeight : d.bottom;
  a.valid = true;
  a.left = d.left;
  a.top = d.top;
  a.width = right - d.left;
  a.height = bottom - d.top;
  return a;
}

}  // namespace griv
