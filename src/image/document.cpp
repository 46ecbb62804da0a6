#include "image/document.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

#include "image/resample.h"

namespace griv {

long long RoundHalfEven(double v) {
  const double f = std::floor(v);
  const double diff = v - f;
  long long r = static_cast<long long>(f);
  if (diff > 0.5 || (diff == 0.5 && (r & 1))) ++r;
  return r;
}

namespace {

// ratio as n/d with small terms, when it is one (within rounding noise).
bool SmallFraction(double ratio, long long& n, long long& d) {
  if (!(ratio > 0) || ratio > 1e6) return false;
  for (d = 1; d <= 64; ++d) {
    n = std::llround(ratio * double(d));
    if (n >= 1 && std::fabs(double(n) / double(d) - ratio) <= 1e-12 * ratio) return true;
  }
  return false;
}

int ClampLength(long long v) { return v < 0 ? 0 : (v > INT_MAX ? INT_MAX : int(v)); }

uint32_t Load3(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16); }

// One output row: pixel x takes the source pixel at byte offset off(x).
template <int SB, int DB, typename Off>
inline void StretchRow(const uint8_t* s, uint8_t* d, int w, const uint32_t* lut, Off off) {
  auto load = [&](int x) -> uint32_t {
    if constexpr (SB == 8) {
      return lut[s[off(x)]];
    } else if constexpr (SB == 24) {
      return Load3(s + off(x));
    } else {
      uint32_t v;
      std::memcpy(&v, s + off(x), 4);
      return v;
    }
  };
  if constexpr (DB == 8) {
    for (int x = 0; x < w; ++x) d[x] = s[off(x)];
  } else if constexpr (DB == 32) {
    for (int x = 0; x < w; ++x) {
      const uint32_t v = load(x);
      std::memcpy(d + 4 * size_t(x), &v, 4);
    }
  } else {
    // Four-byte stores; each pixel's spare byte is overwritten by the next.
    for (int x = 0; x + 1 < w; ++x) {
      const uint32_t v = load(x);
      std::memcpy(d + 3 * size_t(x), &v, 4);
    }
    const uint32_t v = load(w - 1);
    std::memcpy(d + 3 * size_t(w - 1), &v, 3);
  }
}

template <int SB, int DB>
void StretchRows(const Picture& src, Picture& dst, const uint32_t* lut) {
  const int W = src.width, H = src.height, w = dst.width, h = dst.height;
  constexpr size_t kSrcBytes = SB / 8;
  // Source column of each output column, as a byte offset into the row.
  std::vector<uint32_t> xoff(static_cast<size_t>(w));
  for (int x = 0; x < w; ++x) xoff[x] = uint32_t(uint64_t(x) * uint64_t(W) / uint64_t(w) * kSrcBytes);
  // Whole-number reductions (1:2 of an even width ...) step evenly through the row.
  const bool even = W % w == 0;
  const size_t step = size_t(W / w) * kSrcBytes;
  const size_t rowBytes = size_t(w) * (DB / 8);
  const bool sameWidth = W == w && SB == DB;
  int prev = -1;
  for (int y = 0; y < h; ++y) {
    const int sy = int(uint64_t(y) * uint64_t(H) / uint64_t(h));
    uint8_t* d = dst.Row(y);
    if (sy == prev) {  // enlarging: the row above is this row
      std::memcpy(d, dst.Row(y - 1), rowBytes);
      continue;
    }
    prev = sy;
    const uint8_t* s = src.Row(sy);
    if (sameWidth)
      std::memcpy(d, s, rowBytes);
    else if (even)
      StretchRow<SB, DB>(s, d, w, lut, [step](int x) { return size_t(x) * step; });
    else
      StretchRow<SB, DB>(s, d, w, lut, [&xoff](int x) { return size_t(xoff[x]); });
  }
}

template <int DB>
void StretchFrom(const Picture& src, Picture& dst, const uint32_t* lut) {
  switch (src.bpp) {
    case 8: StretchRows<8, DB>(src, dst, lut); break;
    case 24: StretchRows<24, DB>(src, dst, lut); break;
    case 32: StretchRows<32, DB>(src, dst, lut); break;
    default: throw std::invalid_argument("unsupported source depth");
  }
}

}  // namespace

int ScaledLength(int length, double ratio) {
  long long n, d;
  if (SmallFraction(ratio, n, d)) {
    const long long num = (long long)length * n;
    long long q = num / d;
    const long long rem2 = 2 * (num % d);
    if (rem2 > d || (rem2 == d && (q & 1))) ++q;
    return ClampLength(q);
  }
  const double v = double(length) * ratio;
  if (!(v < double(INT_MAX))) return v > 0 ? INT_MAX : 0;
  return ClampLength(RoundHalfEven(v));
}

int CropScaledSize(int length, double ratio) {
  if (ratio == 0) ratio = 1;
  return ScaledLength(length, 1.0 / ratio);
}

void StretchInto(const Picture& src, Picture& dst) {
  if (dst.Empty()) return;
  if (src.Empty()) {
    std::fill(dst.pixels.begin(), dst.pixels.end(), uint8_t(0));
    return;
  }
  if (dst.bpp == 8 && src.bpp != 8) throw std::invalid_argument("8-bit target needs an 8-bit source");
  uint32_t lut[256] = {};
  if (src.bpp == 8)
    for (size_t i = 0; i < src.palette.size() && i < 256; ++i) lut[i] = src.palette[i] & 0xFFFFFF;
  switch (dst.bpp) {
    case 8:
      dst.palette = src.palette;
      StretchRows<8, 8>(src, dst, lut);
      break;
    case 24: StretchFrom<24>(src, dst, lut); break;
    case 32: StretchFrom<32>(src, dst, lut); break;
    default: throw std::invalid_argument("unsupported target depth");
  }
}

Picture RenderPicture(const Picture& src, double ratio) {
  Picture out;
  // Every pixel is written by the stretch; only the row padding needs clearing.
  out.ResizeForOverwrite(ScaledLength(src.width, ratio), ScaledLength(src.height, ratio), 24);
  const size_t used = size_t(out.width) * 3, stride = size_t(out.Stride());
  if (used < stride)
    for (int y = 0; y < out.height; ++y) std::memset(out.Row(y) + used, 0, stride - used);
  StretchInto(src, out);
  return out;
}

void ImageDocument::SetFullImage(Picture pic) {
  // A view that showed the old picture itself shows nothing until Render.
  viewIsFull_ = false;
  if (undoIsFull_) {
    undoBitmap_ = std::move(full_);
    undoIsFull_ = false;
  }
  full_ = std::move(pic);
  spare_.Clear();  // not taken by this producer: no picture is kept for nothing
  present_ = true;
  Renew();
}

void ImageDocument::Renew() {
  ++revision_;
  if (overlay_) overlay_->NewPicture();
  edits_ = savedEdits_ = 0;
  savedOverlay_ = OverlayRevision();
  output_.picture.Clear();
  shownOutput_.picture.Clear();
}

bool ImageDocument::Changed() const { return edits_ != savedEdits_ || OverlayRevision() != savedOverlay_; }

void ImageDocument::NoteSaved() {
  savedEdits_ = edits_;
  savedOverlay_ = OverlayRevision();
}

namespace {
// out := what with the overlay over it, unless out already holds that for
// these revisions. Where out holds the full image of this revision with an
// older overlay, only what changed is painted again.
const Picture& Painted(const Picture& what, const Picture& full, const PictureOverlay& overlay, uint64_t source,
                       Picture& out, uint64_t& outSource, uint64_t& outOverlay) {
  if (!out.Empty() && outSource == source && outOverlay == overlay.Revision()) return out;
  const bool kept = !out.Empty() && outSource == source && &what == &full;
  const uint64_t since = outOverlay;
  outSource = ~0ull;  // a paint that fails leaves nothing to take
  if (!kept || !overlay.PaintChanges(out, full, since)) {
    if (what.bpp == 8) out = ConvertTo24(what);
    else out = what;  // a buffer of the same size is reused
    overlay.PaintOver(out, full);
  }
  outSource = source;
  outOverlay = overlay.Revision();
  return out;
}
}  // namespace

const Picture& ImageDocument::OutputPicture() const {
  if (!overlay_ || overlay_->Empty() || full_.Empty()) return full_;
  return Painted(full_, full_, *overlay_, revision_, output_.picture, output_.source, output_.overlay);
}

const Picture& ImageDocument::OutputShown() const {
  const Picture& shown = ShownImage();
  if (!overlay_ || overlay_->Empty() || shown.Empty()) return shown;
  if (!viewIsFull_ && smooth_ && ratio_ < 1.0) {
    // An averaged view mixes every pixel into its neighbours, a redacted one
    // too: the output is the marked picture made small instead.
    Output& o = shownOutput_;
    if (o.picture.Empty() || o.source != revision_ || o.overlay != overlay_->Revision()) {
      o.source = ~0ull;  // a shrink that fails leaves nothing to take
      o.picture = ShrinkSmooth(OutputPicture(), shown.width, shown.height);
      o.source = revision_;
      o.overlay = overlay_->Revision();
    }
    return o.picture;
  }
  return Painted(shown, full_, *overlay_, revision_, shownOutput_.picture, shownOutput_.source,
                 shownOutput_.overlay);
}

Picture ImageDocument::TakeSpare() { return std::move(spare_); }

void ImageDocument::DetachView() {
  if (!viewIsFull_) return;
  viewIsFull_ = false;
  shown_ = ConvertTo24(full_);
}

Picture& ImageDocument::MutableFullImage() {
  ++revision_;
  ++edits_;
  if (undoIsFull_) {
    undoBitmap_ = full_;  // the record keeps the picture from before the drawing
    undoIsFull_ = false;
  }
  DetachView();
  return full_;
}

Picture& ImageDocument::MutableShownImage() {
  ++revision_;
  DetachView();
  return shown_;
}

Picture ImageDocument::ShownImage24() const {
  const Picture& shown = OutputShown();
  return shown.bpp == 24 ? shown : ConvertTo24(shown);
}

std::string ImageDocument::StatusText() const {
  std::string s = "(";
  s += std::to_string(ShownImage().width);
  s += " x ";
  s += std::to_string(ShownImage().height);
  s += ") - ";
  s += action_;
  s += viewedAt_;
  return s;
}

std::string ImageDocument::ZoomFailureMessage() const {
  return "Zooming this image to " + zoomText_ + " is not possible" + "\r\n" + "Try a smaller ratio";
}

bool ImageDocument::RenderView(const Picture& source, double ratio) {
  if (&source == &shown_) {
    Picture copy = source;
    return RenderView(copy, ratio);
  }
  renderFailed_ = false;
  ++revision_;
  if (&source == &full_ && ratio == 1.0 && (full_.bpp == 24 || full_.bpp == 32)) {
    // Shown as it is: the view is the full image, and no copy is made.
    shown_.Clear();
    viewIsFull_ = true;
    return true;
  }
  viewIsFull_ = false;
  try {
    const int w = ScaledLength(source.width, ratio), h = ScaledLength(source.height, ratio);
    if (smooth_ && ratio < 1.0) {
      shown_.Clear();
      shown_ = ShrinkSmooth(source, std::max(1, w), std::max(1, h));
    } else if (shown_.width == w && shown_.height == h && shown_.bpp == 24 &&
        shown_.pixels.size() == size_t(shown_.Stride()) * size_t(h)) {
      StretchInto(source, shown_);  // same size again: every pixel is rewritten in place
    } else {
      shown_.Clear();  // free the old view before asking for the new one
      shown_ = RenderPicture(source, ratio);
    }
  } catch (const EInvalidPicture&) {
    renderFailed_ = true;
  } catch (const std::bad_alloc&) {
    renderFailed_ = true;
  }
  if (renderFailed_) shown_.Clear();
  return !renderFailed_;
}

ZoomResult ImageDocument::ZoomToScale(double scale) {
  if (!(scale > 0)) throw std::invalid_argument("the scale must be positive");
  ratio_ = scale;
  smooth_ = true;
  zoomText_ = std::to_string(RoundHalfEven(scale * 100)) + "%";
  viewedAt_ = " -  Viewed at: " + zoomText_;
  ZoomResult r;
  r.addCursorEnabled = scale == 1.0;
  r.rendered = Render();
  return r;
}

ZoomResult ImageDocument::ZoomTo(int n, int d) {
  if (n < 1 || d < 1) throw std::invalid_argument("zoom terms must be positive");
  smooth_ = false;
  ZoomResult r;
  ratio_ = double(n) / double(d);
  if (n + d == 2) {
    viewedAt_.clear();
    zoomText_.clear();
    r.addCursorEnabled = true;
  } else {
    zoomText_ = std::to_string(n) + ":" + std::to_string(d);
    viewedAt_ = " -  Viewed at: " + zoomText_;
    r.addCursorEnabled = false;
  }
  r.rendered = Render();
  return r;
}

void ImageDocument::ResetZoom() {
  ratio_ = 1.0;
  smooth_ = false;
  viewedAt_.clear();
}

bool ImageDocument::SaveUndo() {
  statusNote_.clear();  // a new picture is coming
  if (!undoArmed_) {
    undoArmed_ = true;
    return undoAvailable_;
  }
  // The record takes the full image itself once something replaces it; the
  // picture it held before is kept as a spare buffer for the next producer.
  spare_ = std::move(undoBitmap_);
  undoBitmap_.Clear();
  undoIsFull_ = true;
  undoRatio_ = ratio_;
  undoViewedAt_ = viewedAt_;
  undoAction_ = action_;
  undoAvailable_ = true;
  return true;
}

bool ImageDocument::Undo() {
  if (!undoAvailable_) return false;
  undoAvailable_ = false;
  if (undoIsFull_) {
    undoIsFull_ = false;  // nothing replaced the picture since: it is the one to bring back
  } else {
    // The record cannot be used again before the next SaveUndo, which drops
    // it: the pictures change places instead of being copied.
    viewIsFull_ = false;  // rendered again below
    std::swap(full_, undoBitmap_);
  }
  ++revision_;
  ratio_ = undoRatio_;
  viewedAt_ = undoViewedAt_;
  action_ = undoAction_;
  present_ = !full_.Empty();
  Renew();
  Render();
  return true;
}

void ImageDocument::Clear() {
  SaveUndo();
  spare_.Clear();  // no producer follows to fill it
  shown_.Clear();
  viewIsFull_ = false;
  present_ = false;
  Renew();
}

}  // namespace griv
