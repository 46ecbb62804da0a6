// One mark drawn on a picture: its kind, geometry in picture coordinates,
// colour and stroke width; and the geometry every user of marks shares
// (bounds, hit testing, moving, the arrow's head).
//
// Picture coordinates are continuous: pixel (i, j) covers [i, i+1) x [j, j+1),
// so a point at a pixel's centre has the coordinates i + 0.5, j + 0.5.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace griv {

struct PointF {
  double x = 0, y = 0;
  bool operator==(const PointF&) const = default;
};

struct RectF {
  double left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return !(right > left && bottom > top); }
  bool Contains(PointF p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
  RectF Inflated(double d) const { return {left - d, top - d, right + d, bottom + d}; }
  bool operator==(const RectF&) const = default;
};
// The smallest rectangle holding both (an empty one counts for nothing).
RectF Union(const RectF& a, const RectF& b);
// The rectangle with a and b as opposite corners.
RectF Corners(PointF a, PointF b);

// A rectangle of whole pixels, right and bottom exclusive.
struct PixelBox {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const PixelBox&) const = default;
};
PixelBox Intersect(const PixelBox& a, const PixelBox& b);
PixelBox Union(const PixelBox& a, const PixelBox& b);
// Every pixel that r touches, even in part (rounded outwards), so an area
// mark never leaves a sliver of what it covers.
PixelBox PixelCover(const RectF& r);

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

enum class MarkKind { Rectangle, Ellipse, Line, Arrow, Pen, Text, Highlight, Number, Redact };

// Sizes in picture pixels.
inline constexpr double kTextHeight = 16;      // the em height of a text mark's font
inline constexpr double kNumberDiameter = 24;  // the disc of a number mark
inline constexpr int kRedactBlock = 16;        // the side of a pixelated redaction's blocks

struct Mark {
  MarkKind kind = MarkKind::Rectangle;
  // Rectangle, Ellipse, Highlight, Redact: two opposite corners, as dragged.
  // Line, Arrow: start and end (the head is at the end). Pen: the path.
  // Text: the top-left corner. Number: the centre.
  std::vector<PointF> points;
  Rgb colour{255, 0, 0};
  double width = 3;       // strokes
  std::string text;       // Text: UTF-8, lines separated by '\n'
  PointF textSize;        // Text: the measured size of the text (0: estimated)
  int number = 0;         // Number
  bool pixelate = false;  // Redact: 16 x 16 blocks instead of black
};

// Highlight and Redact change the picture's pixels; the others are drawn on it.
inline bool IsPixelMark(MarkKind k) { return k == MarkKind::Highlight || k == MarkKind::Redact; }
// Marks made by dragging out a rectangle.
inline bool IsAreaMark(MarkKind k) { return k == MarkKind::Rectangle || k == MarkKind::Ellipse || IsPixelMark(k); }

// The size of a text mark: its measured size, or an estimate from the
// number of lines and characters while it has none.
PointF TextExtent(const Mark& m);

// The rectangle of an area mark (normalised), of a text mark (its extent)
// or of a number's disc.
RectF MarkRect(const Mark& m);

// Everything the mark paints, anti-aliased fringe included.
RectF MarkBounds(const Mark& m);

// The arrow's head: tip, then the two back corners. The shaft ends at the
// middle of the back (ArrowShaftEnd), so the head keeps a sharp tip.
struct ArrowHead {
  PointF tip, left, right;
};
ArrowHead ArrowHeadOf(const Mark& m);
PointF ArrowShaftEnd(const Mark& m);
// The whole arrow as one polygon: the shaft (its width the mark's) and the head.
std::vector<PointF> ArrowOutline(const Mark& m);

// True when p lies on what the mark shows, with tolerance (picture pixels)
// around strokes: outlines for rectangles and ellipses, the whole area for
// highlights, redactions, texts and numbers.
bool HitMark(const Mark& m, PointF p, double tolerance);

void TranslateMark(Mark& m, double dx, double dy);

// Distance from p to the segment a-b.
double SegmentDistance(PointF p, PointF a, PointF b);

// Points of the ellipse inscribed in r, as a closed polygon of n points.
std::vector<PointF> EllipsePolygon(const RectF& r, int n);

}  // namespace griv
