#include "markup/mark_paint.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace griv {

namespace {

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

int TargetBytes(const Picture& target) {
  if (target.bpp != 24 && target.bpp != 32) throw std::invalid_argument("marks are painted on 24- or 32-bit pixels");
  return target.bpp / 8;
}

// The target pixels whose picture pixels lie in a box: for each target
// column (row) the picture column (row) it shows, and the range of those
// in the box.
struct Span {
  std::vector<int> pic;  // per target column or row
  int first = 0, last = 0;
};
Span SpanOf(int count, int offset, int from, int to, int (ViewMapping::*which)(int) const, const ViewMapping& map) {
  Span s;
  s.pic.resize(size_t(std::max(count, 0)));
  for (int i = 0; i < count; ++i) s.pic[size_t(i)] = (map.*which)(i + offset);
  // The mapping never decreases, so the box's pixels form one run.
  s.first = int(std::lower_bound(s.pic.begin(), s.pic.end(), from) - s.pic.begin());
  s.last = int(std::lower_bound(s.pic.begin(), s.pic.end(), to) - s.pic.begin());
  return s;
}

// The part of a pixel mark inside the picture.
PixelBox ClippedArea(const Mark& m, const ViewMapping& map) {
  return Intersect(PixelCover(MarkRect(m)), {0, 0, map.pictureWidth, map.pictureHeight});
}

// B, G, R of a pixel of a picture of any depth.
void ReadPixel(const Picture& p, const uint8_t* row, int x, unsigned out[3]) {
  switch (p.bpp) {
    case 8: {
      const uint8_t i = row[x];
      const uint32_t c = i < p.palette.size() ? p.palette[i] : 0;
      out[0] = c & 0xFF, out[1] = (c >> 8) & 0xFF, out[2] = (c >> 16) & 0xFF;
      break;
    }
    case 24: out[0] = row[3 * x], out[1] = row[3 * x + 1], out[2] = row[3 * x + 2]; break;
    default: out[0] = row[4 * x], out[1] = row[4 * x + 1], out[2] = row[4 * x + 2]; break;
  }
}

}  // namespace

double ViewMapping::ToPictureLength(double viewLength) const { return viewLength / std::min(ScaleX(), ScaleY()); }

int ViewMapping::PictureColumn(int v) const {
  return shownWidth > 0 ? int(FloorDiv(int64_t(v) * pictureWidth, shownWidth)) : v;
}

int ViewMapping::PictureRow(int v) const {
  return shownHeight > 0 ? int(FloorDiv(int64_t(v) * pictureHeight, shownHeight)) : v;
}

PixelBox ViewMapping::ToViewBox(const RectF& r) const {
  return PixelCover({r.left * ScaleX(), r.top * ScaleY(), r.right * ScaleX(), r.bottom * ScaleY()});
}

uint8_t RedactLevel(unsigned sum, unsigned count) {
  if (count == 0) return 0;
  const unsigned mean = (sum + count / 2) / count;
  return uint8_t(std::min(255u, (mean + 8) / 17 * 17));
}

void ApplyRedaction(Picture& target, const MarkFrame& frame, const Picture& original, const Mark& m) {
  const int bytes = TargetBytes(target);
  const PixelBox area = ClippedArea(m, frame.map);
  if (area.Empty()) return;
  const Span cols = SpanOf(target.width, frame.left, area.left, area.right, &ViewMapping::PictureColumn, frame.map);
  const Span rows = SpanOf(target.height, frame.top, area.top, area.bottom, &ViewMapping::PictureRow, frame.map);
  if (cols.first >= cols.last || rows.first >= rows.last) return;
  if (!m.pixelate) {
    for (int y = rows.first; y < rows.last; ++y)
      std::memset(target.Row(y) + size_t(cols.first) * bytes, 0, size_t(cols.last - cols.first) * bytes);
    return;
  }
  // Blocks line up with the redaction's own corner, also where it starts
  // outside the picture; only the blocks in view are worked out.
  const PixelBox whole = PixelCover(MarkRect(m));
  auto blockX = [&](int px) { return (px - whole.left) / kRedactBlock; };
  auto blockY = [&](int py) { return (py - whole.top) / kRedactBlock; };
  const int bx0 = blockX(cols.pic[size_t(cols.first)]), bx1 = blockX(cols.pic[size_t(cols.last - 1)]);
  const int by0 = blockY(rows.pic[size_t(rows.first)]), by1 = blockY(rows.pic[size_t(rows.last - 1)]);
  const int nbx = bx1 - bx0 + 1, nby = by1 - by0 + 1;
  std::vector<uint8_t> colour(size_t(nbx) * size_t(nby) * 3);
  std::vector<unsigned> sum(size_t(nbx) * 3), count(static_cast<size_t>(nbx));
  const int px0 = std::max(area.left, whole.left + bx0 * kRedactBlock);
  const int px1 = std::min(area.right, whole.left + (bx1 + 1) * kRedactBlock);
  const bool sameSize = original.width == frame.map.pictureWidth && original.height == frame.map.pictureHeight;
  for (int by = 0; by < nby; ++by) {
    std::fill(sum.begin(), sum.end(), 0u);
    std::fill(count.begin(), count.end(), 0u);
    const int py0 = std::max(area.top, whole.top + (by0 + by) * kRedactBlock);
    const int py1 = std::min(area.bottom, whole.top + (by0 + by + 1) * kRedactBlock);
    for (int py = py0; py < py1 && sameSize; ++py) {
      const uint8_t* row = original.Row(py);
      for (int px = px0; px < px1; ++px) {
        const size_t b = size_t(blockX(px) - bx0);
        unsigned c[3];
        ReadPixel(original, row, px, c);
        sum[3 * b] += c[0], sum[3 * b + 1] += c[1], sum[3 * b + 2] += c[2];
        ++count[b];
      }
    }
    for (size_t b = 0; b < size_t(nbx); ++b)
      for (size_t k = 0; k < 3; ++k) colour[(size_t(by) * nbx + b) * 3 + k] = RedactLevel(sum[3 * b + k], count[b]);
  }
  for (int y = rows.first; y < rows.last; ++y) {
    const uint8_t* blockRow = colour.data() + size_t(blockY(rows.pic[size_t(y)]) - by0) * nbx * 3;
    uint8_t* d = target.Row(y) + size_t(cols.first) * bytes;
    for (int x = cols.first; x < cols.last; ++x, d += bytes) {
      std::memcpy(d, blockRow + size_t(blockX(cols.pic[size_t(x)]) - bx0) * 3, 3);
      if (bytes == 4) d[3] = 0;
    }
  }
}

void ApplyHighlight(Picture& target, const MarkFrame& frame, const Mark& m) {
  const int bytes = TargetBytes(target);
  const PixelBox area = ClippedArea(m, frame.map);
  if (area.Empty()) return;
  const Span cols = SpanOf(target.width, frame.left, area.left, area.right, &ViewMapping::PictureColumn, frame.map);
  const Span rows = SpanOf(target.height, frame.top, area.top, area.bottom, &ViewMapping::PictureRow, frame.map);
  // Each channel times yellow (255, 255, 0): red and green stay, blue goes.
  for (int y = rows.first; y < rows.last; ++y) {
    uint8_t* d = target.Row(y) + size_t(cols.first) * bytes;
    for (int x = cols.first; x < cols.last; ++x, d += bytes) d[0] = 0;
  }
}

void PaintMarks(Picture& target, const MarkFrame& frame, const Picture& original, const std::vector<const Mark*>& marks,
                MarkRenderer& renderer) {
  TargetBytes(target);
  const double sx = frame.map.ScaleX(), sy = frame.map.ScaleY();
  const RectF region{frame.left / sx, frame.top / sy, (frame.left + target.width) / sx,
                     (frame.top + target.height) / sy};
  std::vector<const Mark*> strokes;
  auto flush = [&] {
    if (!strokes.empty()) renderer.DrawStrokes(target, frame, strokes);
    strokes.clear();
  };
  for (const Mark* m : marks) {
    const RectF b = MarkBounds(*m);
    if (b.right < region.left || b.left > region.right || b.bottom < region.top || b.top > region.bottom) continue;
    if (m->kind == MarkKind::Redact) {
      flush();
      ApplyRedaction(target, frame, original, *m);
    } else if (m->kind == MarkKind::Highlight) {
      flush();
      ApplyHighlight(target, frame, *m);
    } else {
      strokes.push_back(m);
    }
  }
  flush();
}

Picture FlattenMarks(const Picture& picture, const std::vector<Mark>& marks, MarkRenderer& renderer) {
  if (marks.empty() || picture.Empty()) return picture;
  Picture out = picture.bpp == 8 ? ConvertTo24(picture) : picture;
  std::vector<const Mark*> all;
  all.reserve(marks.size());
  for (const Mark& m : marks) all.push_back(&m);
  PaintMarks(out, MarkFrame::Whole(picture), picture, all, renderer);
  return out;
}

std::vector<PointF> HandlePoints(const Mark& m) {
  if (m.points.empty()) return {};
  if (m.kind == MarkKind::Line || m.kind == MarkKind::Arrow) return {m.points.front(), m.points.back()};
  const RectF r = MarkRect(m);
  return {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}};
}

namespace {
PixelBox HandleSquare(PointF view, int size) {
  const int x = int(std::lround(view.x)) - size / 2, y = int(std::lround(view.y)) - size / 2;
  return {x, y, x + size, y + size};
}
}  // namespace

void PaintHandles(Picture& target, const MarkFrame& frame, const Mark& m, int size) {
  const int bytes = TargetBytes(target);
  for (const PointF& p : HandlePoints(m)) {
    const PixelBox sq = HandleSquare(frame.ToTarget(p), size);
    const PixelBox in = Intersect(sq, {0, 0, target.width, target.height});
    for (int y = in.top; y < in.bottom; ++y) {
      uint8_t* d = target.Row(y) + size_t(in.left) * bytes;
      for (int x = in.left; x < in.right; ++x, d += bytes) {
        const bool edge = x == sq.left || y == sq.top || x == sq.right - 1 || y == sq.bottom - 1;
        std::memset(d, edge ? 64 : 255, 3);
      }
    }
  }
}

PixelBox HandlesViewBox(const Mark& m, const ViewMapping& map, int size) {
  PixelBox box;
  for (const PointF& p : HandlePoints(m)) box = Union(box, HandleSquare(map.ToView(p), size));
  return box;
}

}  // namespace griv
