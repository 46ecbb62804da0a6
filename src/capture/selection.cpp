#include "capture/selection.h"

#include <algorithm>

namespace griv {

int ChooseMonitorIndex(int index, bool ctrlDown, int monitorCount) {
  if (ctrlDown && monitorCount > 1) index = index == 0 ? 1 : 0;
  if (index < 0 || index >= monitorCount) index = 0;
  return index;
}

SelectedArea SelectionOf(const DragRect& d, int monitorWidth, int monitorHeight) {
  const int l = std::min(d.left, d.right), t = std::min(d.top, d.bottom);
  int r = std::max(d.left, d.right), b = std::max(d.top, d.bottom);
  if (l >= r || t >= b) return {};
  if (r == monitorWidth - 1) r = monitorWidth;
  if (b == monitorHeight - 1) b = monitorHeight;
  return SelectionOfBox({l, t, r, b}, monitorWidth, monitorHeight);
}

SelectedArea SelectionOfBox(const Box& box, int monitorWidth, int monitorHeight) {
  const int l = std::max(box.left, 0), t = std::max(box.top, 0);
  const int r = std::min(box.right, monitorWidth), b = std::min(box.bottom, monitorHeight);
  if (l >= r || t >= b) return {};
  return {true, l, t, r - l, b - t};
}

Box WindowUnder(const std::vector<Box>& topFirst, int x, int y, int monitorWidth, int monitorHeight) {
  const Box screen{0, 0, monitorWidth, monitorHeight};
  for (const Box& w : topFirst) {
    if (x < w.left || x >= w.right || y < w.top || y >= w.bottom) continue;
    const Box cut{std::max(w.left, 0), std::max(w.top, 0), std::min(w.right, monitorWidth),
                  std::min(w.bottom, monitorHeight)};
    if (!cut.Empty()) return cut;
  }
  return screen;
}

Grip GripAt(const Box& sel, int x, int y, int handleSize) {
  if (sel.Empty()) return Grip::None;
  const std::vector<Box> handles = HandleBoxes(sel, handleSize);
  // Corners before edges: on a small selection they overlap, and a corner does both.
  for (int i : {4, 5, 6, 7, 0, 1, 2, 3}) {
    const Box& b = handles[size_t(i)];
    if (x >= b.left && x < b.right && y >= b.top && y < b.bottom) return static_cast<Grip>(int(Grip::Left) + i);
  }
  if (x >= sel.left && x < sel.right && y >= sel.top && y < sel.bottom) return Grip::Move;
  return Grip::None;
}

Box Adjusted(const Box& start, Grip grip, int dx, int dy, int w, int h) {
  if (grip == Grip::Move) {
    const int x = std::clamp(start.left + dx, 0, std::max(0, w - start.Width()));
    const int y = std::clamp(start.top + dy, 0, std::max(0, h - start.Height()));
    return {x, y, x + start.Width(), y + start.Height()};
  }
  int l = start.left, t = start.top, r = start.right, b = start.bottom;
  const bool left = grip == Grip::Left || grip == Grip::TopLeft || grip == Grip::BottomLeft;
  const bool right = grip == Grip::Right || grip == Grip::TopRight || grip == Grip::BottomRight;
  const bool top = grip == Grip::Top || grip == Grip::TopLeft || grip == Grip::TopRight;
  const bool bottom = grip == Grip::Bottom || grip == Grip::BottomLeft || grip == Grip::BottomRight;
  if (left) l = std::clamp(l + dx, 0, w);
  if (right) r = std::clamp(r + dx, 0, w);
  if (top) t = std::clamp(t + dy, 0, h);
  if (bottom) b = std::clamp(b + dy, 0, h);
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  // At least a pixel: the edge that moved gives way.
  if (r == l) {
    if (r < w) ++r;
    else --l;
  }
  if (b == t) {
    if (b < h) ++b;
    else --t;
  }
  return {l, t, r, b};
}

}  // namespace griv
