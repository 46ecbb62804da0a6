// Putting marks on pixels: the mapping between the view and the picture at
// any zoom, the pixel marks (redaction, highlight) as operations on
// pixels, and the one routine that paints marks in their order, used both
// for the view and for the flattened picture that every output takes.
// Strokes and text go through a MarkRenderer (GDI+ on Windows).
#pragma once
#include <vector>

#include "base/picture.h"
#include "markup/mark.h"

namespace griv {

// How the view shows the picture: the picture's size and the shown size
// (what the zoom made of it; any scale, not only whole ratios). View
// coordinates are those of the shown picture, before scrolling.
struct ViewMapping {
  int pictureWidth = 0, pictureHeight = 0;
  int shownWidth = 0, shownHeight = 0;

  static ViewMapping OneToOne(int width, int height) { return {width, height, width, height}; }
  double ScaleX() const { return pictureWidth > 0 ? double(shownWidth) / pictureWidth : 1; }
  double ScaleY() const { return pictureHeight > 0 ? double(shownHeight) / pictureHeight : 1; }

  PointF ToPicture(PointF view) const { return {view.x / ScaleX(), view.y / ScaleY()}; }
  PointF ToView(PointF picture) const { return {picture.x * ScaleX(), picture.y * ScaleY()}; }
  // Where a click on view pixel (x, y) lands: that pixel's centre.
  PointF PixelToPicture(int x, int y) const { return ToPicture({x + 0.5, y + 0.5}); }
  // A length in view pixels (a tolerance) in picture pixels; the larger of
  // the two axes' lengths.
  double ToPictureLength(double viewLength) const;
  // The picture column or row that view column or row v shows, as the
  // view's nearest-neighbour stretch picks it.
  int PictureColumn(int v) const;
  int PictureRow(int v) const;
  // View pixels that cover r (rounded outwards).
  PixelBox ToViewBox(const RectF& r) const;
};

// Where a target picture lies: its pixel (x, y) is the view pixel
// (x + left, y + top) of the picture shown at map. Flattening uses the
// whole picture at 1:1.
struct MarkFrame {
  ViewMapping map;
  int left = 0, top = 0;
  static MarkFrame Whole(const Picture& p) { return {ViewMapping::OneToOne(p.width, p.height), 0, 0}; }
  // Picture coordinates to the target's: x * scale - left.
  PointF ToTarget(PointF picture) const {
    const PointF v = map.ToView(picture);
    return {v.x - left, v.y - top};
  }
};

// Draws the stroke marks (all but Highlight and Redact) over a 24- or
// 32-bit target, bottom to top, through frame.
class MarkRenderer {
 public:
  virtual ~MarkRenderer() = default;
  virtual void DrawStrokes(Picture& target, const MarkFrame& frame, const std::vector<const Mark*>& marks) = 0;
};

// The colour of a pixelated block: the block's mean of each channel,
// rounded to one of 16 levels (0, 17 ... 255), so neither the original
// pixels nor their exact mean survive.
uint8_t RedactLevel(unsigned sum, unsigned count);

// Pixel marks over target through frame. original is the picture as
// captured (any depth): pixelated blocks take their colours from it, so the
// view and the flattened picture show the same blocks.
void ApplyRedaction(Picture& target, const MarkFrame& frame, const Picture& original, const Mark& m);
void ApplyHighlight(Picture& target, const MarkFrame& frame, const Mark& m);

// Paints marks bottom to top over target (24 or 32 bpp) through frame:
// consecutive strokes in one call to the renderer, pixel marks in between.
// Marks that miss the target are skipped.
void PaintMarks(Picture& target, const MarkFrame& frame, const Picture& original, const std::vector<const Mark*>& marks,
                MarkRenderer& renderer);

// The picture every output takes: picture with its marks painted in, at
// 24 bits a pixel for an 8-bit picture and at its own depth otherwise.
// Every redacted pixel of the result is black or a block colour. Without
// marks, a copy of picture.
Picture FlattenMarks(const Picture& picture, const std::vector<Mark>& marks, MarkRenderer& renderer);

// The points where a selected mark shows its handles (picture coordinates).
std::vector<PointF> HandlePoints(const Mark& m);
// Squares of size view pixels (white, dark edge) centred on the handles.
void PaintHandles(Picture& target, const MarkFrame& frame, const Mark& m, int size);
// The view pixels a selected mark's handles take.
PixelBox HandlesViewBox(const Mark& m, const ViewMapping& map, int size);

}  // namespace griv
