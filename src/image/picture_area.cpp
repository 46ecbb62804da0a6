#include "image/picture_area.h"

#include <algorithm>
#include <cstring>

namespace griv {

namespace {
// The columns and rows of a rectangle at (left, top) that lie inside `big`.
struct Overlap {
  int x0, x1, y0, y1;
  bool Empty() const { return x0 >= x1 || y0 >= y1; }
};
Overlap Clip(const Picture& big, int left, int top, int w, int h) {
  return {std::max(0, left), std::min(big.width, left + w), std::max(0, top), std::min(big.height, top + h)};
}
}  // namespace

Picture CopyArea(const Picture& src, int left, int top, int w, int h) {
  Picture part;
  part.Resize(std::max(0, w), std::max(0, h), src.bpp);
  if (src.bpp == 8) part.palette = src.palette;
  const Overlap o = Clip(src, left, top, part.width, part.height);
  if (o.Empty()) return part;
  const int bytes = src.bpp / 8;
  for (int y = o.y0; y < o.y1; ++y)
    std::memcpy(part.Row(y - top) + size_t(o.x0 - left) * bytes, src.Row(y) + size_t(o.x0) * bytes,
                size_t(o.x1 - o.x0) * bytes);
  return part;
}

void PasteArea(Picture& dst, const Picture& part, int left, int top) {
  if (part.bpp != dst.bpp) throw std::invalid_argument("PasteArea: pictures of different depths");
  const Overlap o = Clip(dst, left, top, part.width, part.height);
  if (o.Empty()) return;
  const int bytes = dst.bpp / 8;
  for (int y = o.y0; y < o.y1; ++y)
    std::memcpy(dst.Row(y) + size_t(o.x0) * bytes, part.Row(y - top) + size_t(o.x0 - left) * bytes,
                size_t(o.x1 - o.x0) * bytes);
}

}  // namespace griv
