#include "markup/mark.h"

#include <algorithm>
#include <cmath>

namespace griv {

namespace {
// Anti-aliasing may tint one pixel beyond a stroke's edge.
constexpr double kFringe = 1;
constexpr double kPi = 3.14159265358979323846;

int FloorInt(double v) { return int(std::clamp(std::floor(v), -1e9, 1e9)); }
int CeilInt(double v) { return int(std::clamp(std::ceil(v), -1e9, 1e9)); }

RectF PointsBox(const std::vector<PointF>& pts) {
  if (pts.empty()) return {};
  RectF r{pts[0].x, pts[0].y, pts[0].x, pts[0].y};
  for (const PointF& p : pts) {
    r.left = std::min(r.left, p.x), r.right = std::max(r.right, p.x);
    r.top = std::min(r.top, p.y), r.bottom = std::max(r.bottom, p.y);
  }
  return r;
}

double HeadLength(const Mark& m) { return 4 * m.width + 6; }

bool InTriangle(PointF p, const ArrowHead& h) {
  auto side = [](PointF a, PointF b, PointF c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); };
  const double d1 = side(h.tip, h.left, p), d2 = side(h.left, h.right, p), d3 = side(h.right, h.tip, p);
  const bool neg = d1 < 0 || d2 < 0 || d3<0, pos = d1> 0 || d2 > 0 || d3 > 0;
  return !(neg && pos);
}

double PolylineDistance(PointF p, const std::vector<PointF>& pts, bool closed) {
  if (pts.empty()) return INFINITY;
  double d = std::hypot(p.x - pts[0].x, p.y - pts[0].y);
  for (size_t i = 1; i < pts.size(); ++i) d = std::min(d, SegmentDistance(p, pts[i - 1], pts[i]));
  if (closed && pts.size() > 2) d = std::min(d, SegmentDistance(p, pts.back(), pts.front()));
  return d;
}
}  // namespace

RectF Union(const RectF& a, const RectF& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

RectF Corners(PointF a, PointF b) {
  return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

PixelBox Intersect(const PixelBox& a, const PixelBox& b) {
  PixelBox r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
             std::min(a.bottom, b.bottom)};
  return r.Empty() ? PixelBox{} : r;
}

PixelBox Union(const PixelBox& a, const PixelBox& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

PixelBox PixelCover(const RectF& r) {
  PixelBox b{FloorInt(r.left), FloorInt(r.top), CeilInt(r.right), CeilInt(r.bottom)};
  // A rectangle without width still touches the pixels it lies in.
  if (b.right == b.left) ++b.right;
  if (b.bottom == b.top) ++b.bottom;
  return b;
}

double SegmentDistance(PointF p, PointF a, PointF b) {
  const double vx = b.x - a.x, vy = b.y - a.y, len2 = vx * vx + vy * vy;
  double t = len2 > 0 ? ((p.x - a.x) * vx + (p.y - a.y) * vy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(p.x - (a.x + t * vx), p.y - (a.y + t * vy));
}

std::vector<PointF> EllipsePolygon(const RectF& r, int n) {
  std::vector<PointF> pts(size_t(std::max(n, 3)));
  const double cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  const double rx = (r.right - r.left) / 2, ry = (r.bottom - r.top) / 2;
  for (size_t i = 0; i < pts.size(); ++i) {
    const double a = 2 * kPi * double(i) / double(pts.size());
    pts[i] = {cx + rx * std::cos(a), cy + ry * std::sin(a)};
  }
  return pts;
}

PointF TextExtent(const Mark& m) {
  if (m.textSize.x > 0 && m.textSize.y > 0) return m.textSize;
  size_t lines = 1, longest = 0, run = 0;
  for (char c : m.text) {
    if (c == '\n') {
      ++lines, run = 0;
    } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {  // count characters, not UTF-8 bytes
      longest = std::max(longest, ++run);
    }
  }
  return {std::max<double>(1, double(longest)) * kTextHeight * 0.6, double(lines) * kTextHeight * 1.25};
}

RectF MarkRect(const Mark& m) {
  if (m.points.empty()) return {};
  const PointF a = m.points.front();
  switch (m.kind) {
    case MarkKind::Text: {
      const PointF e = TextExtent(m);
      return {a.x, a.y, a.x + e.x, a.y + e.y};
    }
    case MarkKind::Number: {
      const double r = kNumberDiameter / 2;
      return {a.x - r, a.y - r, a.x + r, a.y + r};
    }
    default: return PointsBox(m.points);
  }
}

ArrowHead ArrowHeadOf(const Mark& m) {
  if (m.points.size() < 2) return {};
  const PointF a = m.points.front(), b = m.points.back();
  const double len = std::hypot(b.x - a.x, b.y - a.y);
  // A head never longer than the arrow itself.
  const double head = std::min(HeadLength(m), len);
  const double ux = len > 0 ? (b.x - a.x) / len : 1, uy = len > 0 ? (b.y - a.y) / len : 0;
  const PointF back{b.x - ux * head, b.y - uy * head};
  const double half = head * 0.5;
  return {b, {back.x - uy * half, back.y + ux * half}, {back.x + uy * half, back.y - ux * half}};
}

PointF ArrowShaftEnd(const Mark& m) {
  const ArrowHead h = ArrowHeadOf(m);
  return {(h.left.x + h.right.x) / 2, (h.left.y + h.right.y) / 2};
}

std::vector<PointF> ArrowOutline(const Mark& m) {
  const ArrowHead h = ArrowHeadOf(m);
  const PointF start = m.points.empty() ? h.tip : m.points.front(), back = ArrowShaftEnd(m);
  const double len = std::hypot(back.x - start.x, back.y - start.y);
  if (len <= 0) return {h.tip, h.left, h.right};
  const double nx = -(back.y - start.y) / len * m.width / 2, ny = (back.x - start.x) / len * m.width / 2;
  return {{start.x + nx, start.y + ny}, {back.x + nx, back.y + ny},  h.left, h.tip, h.right,
          {back.x - nx, back.y - ny},   {start.x - nx, start.y - ny}};
}

RectF MarkBounds(const Mark& m) {
  if (m.points.empty()) return {};
  switch (m.kind) {
    case MarkKind::Rectangle:
    case MarkKind::Ellipse:
    case MarkKind::Line:
    case MarkKind::Pen:
      // Miter corners of a rectangle reach half a width beyond each side too.
      return PointsBox(m.points).Inflated(m.width / 2 + kFringe);
    case MarkKind::Arrow: {
      const ArrowHead h = ArrowHeadOf(m);
      return Union(PointsBox(m.points).Inflated(m.width / 2 + kFringe),
                   PointsBox({h.tip, h.left, h.right}).Inflated(kFringe));
    }
    case MarkKind::Text: return MarkRect(m).Inflated(kFringe + 2);  // glyph overhangs
    case MarkKind::Number: return MarkRect(m).Inflated(kFringe);
    case MarkKind::Highlight:
    case MarkKind::Redact: {
      const PixelBox b = PixelCover(MarkRect(m));
      return {double(b.left), double(b.top), double(b.right), double(b.bottom)};
    }
  }
  return {};
}

bool HitMark(const Mark& m, PointF p, double tolerance) {
  if (m.points.empty()) return false;
  const double reach = m.width / 2 + tolerance;
  switch (m.kind) {
    case MarkKind::Rectangle: {
      const RectF r = MarkRect(m);
      const std::vector<PointF> c{{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
      return PolylineDistance(p, c, true) <= reach;
    }
    case MarkKind::Ellipse: return PolylineDistance(p, EllipsePolygon(MarkRect(m), 72), true) <= reach;
    case MarkKind::Line:
    case MarkKind::Pen: return PolylineDistance(p, m.points, false) <= reach;
    case MarkKind::Arrow: {
      const ArrowHead h = ArrowHeadOf(m);
      return PolylineDistance(p, {m.points.front(), ArrowShaftEnd(m)}, false) <= reach || InTriangle(p, h) ||
             PolylineDistance(p, {h.tip, h.left, h.right}, true) <= tolerance;
    }
    case MarkKind::Number: {
      const PointF c = m.points.front();
      return std::hypot(p.x - c.x, p.y - c.y) <= kNumberDiameter / 2 + tolerance;
    }
    case MarkKind::Text:
    case MarkKind::Highlight:
    case MarkKind::Redact: return MarkRect(m).Inflated(tolerance).Contains(p);
  }
  return false;
}

void TranslateMark(Mark& m, double dx, double dy) {
  for (PointF& p : m.points) p.x += dx, p.y += dy;
}

}  // namespace griv
