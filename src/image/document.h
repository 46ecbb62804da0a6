// The one image of the main window: the full image, the copy shown at the
// zoom ratio, the status texts and one level of undo. Pure data and pixels;
// the window layer puts the shown image on screen and applies the texts and
// command states to its controls.
//
// A producer of new content (capture, load, clipboard, stamping) does:
//   doc.SaveUndo();                // enable the Undo commands when it returns true
//   doc.ResetZoom();               // all producers except area capture and crop
//   doc.SetFullImage(std::move(picture));
//   if (!doc.Render()) show doc.ZoomFailureMessage();
//   apply the command table (app/commands.h) to the window;
//   doc.SetStatusAction("Full Screen capture"); status panel := doc.StatusText();
#pragma once
#include <cstdint>
#include <string>
#include <utility>

#include "base/picture.h"

namespace griv {

// What lies over the picture without being part of its pixels (the marks):
// the document starts it afresh with every new picture and paints it into
// what the outputs take.
class PictureOverlay {
 public:
  virtual ~PictureOverlay() = default;
  // A new picture (capture, open, paste, clear, the document's undo): nothing over it.
  virtual void NewPicture() = 0;
  virtual bool Empty() const = 0;
  // Changes with every change of what lies over the picture.
  virtual uint64_t Revision() const = 0;
  // Paints it over target (24 or 32 bits), which shows picture at target's size.
  virtual void PaintOver(Picture& target, const Picture& picture) const = 0;
  // target holds picture (at its size) with what lay over it at revision
  // since: brings it up to date by painting only where something changed.
  // False when that cannot be told; target is then as it was.
  virtual bool PaintChanges(Picture& target, const Picture& picture, uint64_t since) const = 0;
};

// Round to nearest, halves to the even neighbour.
long long RoundHalfEven(double v);

// Size of `length` pixels shown at `ratio` (round-half-even of length * ratio).
// Ratios that are small fractions (3, 1/2, 2/7 ...) are computed exactly, so
// 1023 at 1:2 gives 512 and never an accident of binary fractions.
int ScaledLength(int length, double ratio);

// Size of the full image for an area of `length` screen pixels selected on
// a view at `ratio`: round-half-even(length / ratio); a ratio of 0 counts as 1.
int CropScaledSize(int length, double ratio);
struct PixelSize {
  int width = 0, height = 0;
};
// Both sides: the full-image size for a w x h selection made at ratio.
inline PixelSize CropScaledSize(int w, int h, double ratio) { return {CropScaledSize(w, ratio), CropScaledSize(h, ratio)}; }

// Nearest-neighbour stretch of all of src onto all of dst, as a colour-on-colour
// StretchBlt does: dst pixel (x, y) takes src pixel (x * W / w, y * H / h) in
// integer arithmetic (blocks when enlarging, rows and columns skipped when
// reducing, no smoothing). dst must already have its size and depth:
// 24 or 32 bpp from any source (8-bit through the palette; the X byte of a
// 32-bit result is 0 unless the source is 32-bit), or 8 bpp from an 8-bit
// source (the palette is copied). Throws std::invalid_argument for an 8-bit
// target of a true-colour source.
void StretchInto(const Picture& src, Picture& dst);

// Renders src at ratio into a new 24-bit picture. Throws EInvalidPicture when
// the result would exceed the picture limits and std::bad_alloc when memory
// runs out.
Picture RenderPicture(const Picture& src, double ratio);

struct ZoomResult {
  bool addCursorEnabled = true;  // "&Add a cursor" is enabled only at 1:1
  bool rendered = true;          // false: show ZoomFailureMessage()
};

class ImageDocument {
 public:
  // ---- the pictures
  // The capture or loaded picture at its own size and depth (8, 24 or 32 bpp).
  const Picture& FullImage() const { return full_; }
  // For in-place drawing (stamping): call SaveUndo first. The view keeps
  // what it showed until Render.
  Picture& MutableFullImage();
  // Replaces the full image; the shown image is not touched until Render().
  // The old full image goes to the undo record when SaveUndo asked for it,
  // by moving it: a capture copies no picture.
  void SetFullImage(Picture pic);
  // A picture buffer a producer may fill and hand to SetFullImage: the undo
  // record's previous picture, which SaveUndo let go. Reusing it spares a
  // fresh allocation (and its page faults) for every capture of the same
  // size. Empty when there is none.
  Picture TakeSpare();
  // Lets the spare go (a few idle seconds after the last capture).
  void ReleaseSpare() { spare_.Clear(); }
  // The full image rendered at ZoomRatio, always 24 bpp; empty after Clear
  // or a failed render.
  // At 1:1 a 24- or 32-bit full image is shown as it is (no copy); use
  // ShownImage24 where 24 bits a pixel are required (it has the marks in).
  const Picture& ShownImage() const { return viewIsFull_ ? full_ : shown_; }
  Picture ShownImage24() const;
  // For drawing into what is on show only (stamping); the next render replaces it.
  Picture& MutableShownImage();
  // An image is in the document and on show (false at start and after Clear).
  bool Present() const { return present_; }

  // ---- what the outputs take (Save, Print, Mail, the clipboard, the editor...)
  void SetOverlay(PictureOverlay* overlay) { overlay_ = overlay; }
  // The full image with what lies over it painted in (24 bits for an 8-bit
  // picture); the full image itself when nothing does. Valid until the
  // picture or the overlay changes.
  const Picture& OutputPicture() const;
  // What is on show with what lies over it, at the zoom (24 or 32 bits as ShownImage).
  const Picture& OutputShown() const;
  // Changes since the picture came in (capture, open, paste) or was last
  // written to its file: marks, stamps, and the producers that change the
  // picture rather than bring a new one (greys, crop) say so with NoteEdit.
  bool Changed() const;
  void NoteEdit() { ++edits_; }
  void NoteSaved();
  // Differs after every edit of the picture or of what lies over it since it came in.
  std::pair<uint64_t, uint64_t> EditState() const { return {edits_, OverlayRevision()}; }

  // ---- zoom and texts
  double ZoomRatio() const { return ratio_; }
  const std::string& ZoomText() const { return zoomText_; }          // "3:1", "1:4"; "" after 1:1
  const std::string& ViewedAtText() const { return viewedAt_; }      // " -  Viewed at: 3:1" or ""
  const std::string& StatusAction() const { return action_; }
  void SetStatusAction(std::string action) { action_ = std::move(action); }
  // "(" shown width " x " shown height ") - " StatusAction ViewedAtText.
  std::string StatusText() const;
  // Said after the status text until the next SaveUndo (a numbered save that skipped names).
  const std::string& StatusNote() const { return statusNote_; }
  void SetStatusNote(std::string note) { statusNote_ = std::move(note); }
  // "Zooming this image to " ZoomText " is not possible\r\nTry a smaller ratio"
  std::string ZoomFailureMessage() const;

  // Rebuilds the shown image from source (normally FullImage()) at ratio.
  // The old shown image is dropped first. When the result cannot be made
  // (too large, out of memory) the shown image stays empty and false is
  // returned; the ratio and texts are not changed either way. source must
  // not be ShownImage().
  bool RenderView(const Picture& source, double ratio);
  bool Render() { return RenderView(full_, ratio_); }
  bool RenderFailed() const { return renderFailed_; }

  // New ratio n:d (both >= 1; std::invalid_argument otherwise) and its
  // texts, then renders. 1:1 empties ZoomText and ViewedAtText.
  ZoomResult ZoomTo(int n, int d);
  // Any scale (Fit to Window): the texts give it in percent ("54%"), and a
  // picture shown smaller is smoothly filtered rather than thinned out.
  ZoomResult ZoomToScale(double scale);
  // Ratio 1 and no ViewedAtText, without rendering; ZoomText is kept.
  void ResetZoom();

  // ---- crop
  bool CropMode() const { return cropMode_; }
  void SetCropMode(bool on) { cropMode_ = on; }

  // ---- undo (one level)
  // Called before every change of the full image (not for zooming). The
  // first call after start only arms the record; later calls copy the full
  // image, ratio, viewed-at text and action. Returns UndoAvailable(): when
  // true the window enables its three Undo commands.
  bool SaveUndo();
  // Brings the record back (full image, ratio, viewed-at text, action) and
  // renders; the record stays but cannot be used again until the next
  // SaveUndo. False when there was nothing to undo. ZoomText is not touched.
  // Afterwards Present() is true when the restored image is not empty, and
  // the window disables its Undo commands (and re-enables the image
  // commands if the view had been cleared).
  bool Undo();
  bool UndoAvailable() const { return undoAvailable_; }
  const Picture& UndoBitmap() const { return undoIsFull_ ? full_ : undoBitmap_; }

  // SaveUndo, then an empty view. Full image, ratio and action stay, so
  // Undo brings the picture back.
  void Clear();

 private:
  // Gives the view a picture of its own where it shares the full image's.
  void DetachView();
  // A new picture: nothing over it, nothing changed, no output kept.
  void Renew();
  uint64_t OverlayRevision() const { return overlay_ ? overlay_->Revision() : 0; }

  Picture full_, shown_, undoBitmap_, spare_;
  bool undoIsFull_ = false;  // the undo record's picture is still the full image (nothing replaced it yet)
  bool viewIsFull_ = false;  // the view shows the full image itself
  double ratio_ = 1.0, undoRatio_ = 1.0;
  std::string zoomText_, viewedAt_, action_, undoViewedAt_, undoAction_, statusNote_;
  bool smooth_ = false;  // the scale is Fit to Window's
  bool present_ = false, undoAvailable_ = false, undoArmed_ = false, cropMode_ = false, renderFailed_ = false;

  PictureOverlay* overlay_ = nullptr;
  // Outputs with the overlay painted in, kept (and their buffers reused)
  // while neither the picture, the view nor the overlay changes.
  struct Output {
    Picture picture;
    uint64_t source = ~0ull, overlay = 0;
  };
  mutable Output output_, shownOutput_;
  uint64_t revision_ = 0;  // of the full image and the view
  uint64_t edits_ = 0, savedEdits_ = 0, savedOverlay_ = 0;
};

}  // namespace griv
