#include "capture/overlay_layout.h"

#include <algorithm>


namespace griv {

namespace {
int Scaled(int v, int dpi) { return (v * dpi + 48) / 96; }

Box Inflate(Box b, int by) {
  if (b.Empty()) return b;
  return {b.left - by, b.top - by, b.right + by, b.bottom + by};
}

Box Bound(const Box& a, const Box& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

Box Common(const Box& a, const Box& b) {
  Box c{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  return c.Empty() ? Box{} : c;
}

// A box of size w x h beside the pointer, below and to the right, or on the
// other side where the screen ends.
Box BesidePointer(int px, int py, int w, int h, int gap, const OverlayMetrics& m) {
  int x = px + gap, y = py + gap;
  if (x + w > m.screenWidth) x = px - gap - w;
  if (y + h > m.screenHeight) y = py - gap - h;
  x = std::clamp(x, 0, std::max(0, m.screenWidth - w));
  y = std::clamp(y, 0, std::max(0, m.screenHeight - h));
  return {x, y, x + w, y + h};
}

// The selection a drag gives, normalised, the last row and column included
// when the pointer stands on them.
Box SelectionBox(const OverlayState& s, int width, int height) {
  if (s.adjusting) return s.adjusted;
  if (!s.dragging) return s.hover;
  const int l = std::min(s.anchorX, s.pointerX), t = std::min(s.anchorY, s.pointerY);
  int r = std::max(s.anchorX, s.pointerX), b = std::max(s.anchorY, s.pointerY);
  if (r == width - 1) r = width;
  if (b == height - 1) b = height;
  return {l, t, r, b};
}
}  // namespace

std::string OverlayLabel(const OverlayState& s, int screenWidth, int screenHeight) {
  if (!s.dragging && !s.adjusting) return std::to_string(s.pointerX) + ", " + std::to_string(s.pointerY);
  const Box b = SelectionBox(s, screenWidth, screenHeight);
  return std::to_string(b.Width()) + " \xC3\x97 " + std::to_string(b.Height());  // U+00D7
}

std::vector<Box> HandleBoxes(const Box& s, int size) {
  const int h = size / 2, mx = (s.left + s.right) / 2, my = (s.top + s.bottom) / 2;
  auto at = [&](int x, int y) { return Box{x - h, y - h, x - h + size, y - h + size}; };
  // Left, Top, Right, Bottom, TopLeft, TopRight, BottomLeft, BottomRight.
  return {at(s.left, my),    at(mx, s.top),      at(s.right, my),       at(mx, s.bottom),
          at(s.left, s.top), at(s.right, s.top), at(s.left, s.bottom), at(s.right, s.bottom)};
}

const char* OverlayHint(const OverlayState& s) {
  return s.adjusting ? "Drag the edges or use the arrow keys \xE2\x80\x94 Enter to capture, Esc to cancel"
                     : "Drag to select, or click a window \xE2\x80\x94 Esc to cancel";
}

OverlayLayout LayOutOverlay(const OverlayState& s, const OverlayMetrics& m) {
  OverlayLayout o;
  const int border = std::max(1, Scaled(1, m.dpi));
  o.selection = SelectionBox(s, m.screenWidth, m.screenHeight);
  o.frame = Inflate(o.selection, border);
  const int gap = Scaled(18, m.dpi);
  // The magnifier shows 15 x 15 pixels around the pointer (more at high DPI), about eight times larger.
  const int span = 15 * std::max(1, Scaled(1, m.dpi));
  const int half = span / 2;
  o.zoom = std::max(2, Scaled(120, m.dpi) / span);
  const int size = span * o.zoom + 2 * border;
  o.magnifier = BesidePointer(s.pointerX, s.pointerY, size, size, gap, m);
  o.magnifierSource = {s.pointerX - half, s.pointerY - half, s.pointerX - half + span, s.pointerY - half + span};
  // The label sits under the magnifier, or above it when there is no room.
  int lx = o.magnifier.left, ly = o.magnifier.bottom + Scaled(4, m.dpi);
  if (ly + m.labelHeight > m.screenHeight) ly = o.magnifier.top - Scaled(4, m.dpi) - m.labelHeight;
  lx = std::clamp(lx, 0, std::max(0, m.screenWidth - m.labelWidth));
  o.label = {lx, ly, lx + m.labelWidth, ly + m.labelHeight};
  if (s.adjusting) {
    o.handles = HandleBoxes(o.selection, std::max(3, Scaled(s.handleSize, m.dpi)));
  }
  if (s.adjusting || (s.hintShown && !s.dragging)) {
    const int hx = (m.screenWidth - m.hintWidth) / 2, hy = Scaled(24, m.dpi);
    o.hint = {hx, hy, hx + m.hintWidth, hy + m.hintHeight};
  }
  return o;
}

std::vector<Box> DirtyBoxes(const OverlayLayout& before, const OverlayLayout& after) {
  std::vector<Box> out;
  auto add = [&](const Box& b) {
    if (!b.Empty()) out.push_back(b);
  };
  if (!(before.frame == after.frame)) {
    // Only the bands between the old and the new edges change; the inside stays clear.
    const Box all = Bound(before.frame, after.frame);
    const Box both = Common(before.selection, after.selection);
    if (both.Empty()) {
      add(before.frame);
      add(after.frame);
    } else {
      add({all.left, all.top, both.left, all.bottom});
      add({both.right, all.top, all.right, all.bottom});
      add({both.left, all.top, both.right, both.top});
      add({both.left, both.bottom, both.right, all.bottom});
    }
  }
  // The label and the magnifier show something new at every move, even where they stay.
  if (!(before.label == after.label)) add(before.label);
  if (!(before.magnifier == after.magnifier)) add(before.magnifier);
  add(after.label);
  add(after.magnifier);
  if (before.handles != after.handles) {
    for (const Box& b : before.handles) add(b);
    for (const Box& b : after.handles) add(b);
  }
  if (!(before.hint == after.hint)) {
    add(before.hint);
    add(after.hint);
  }
  return out;
}

}  // namespace griv
