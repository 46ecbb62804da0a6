// Marking up the picture of the main window, as the user does it: the tool
// picked (and its letter key), the mark being dragged out, the text being
// typed, selecting and moving marks, undo, and which part of the view must
// be painted again. The window layer feeds it mouse positions in view
// coordinates (scroll added) and keys, and paints with PaintMarkupView.
//
// How the main window drives it:
//   after every render:   session.SetMapping({full.width, full.height, shown.width, shown.height});
//   new picture:          session.NewPicture();   (capture, Open, Paste, Clear, the picture's own undo)
//   left button:          if (session.MouseDown(x, y)) capture the mouse, else pan; then MouseMove, MouseUp
//   WM_KEYDOWN:           Letter(c) for A-Z without Ctrl/Alt, Key(Escape/Enter/Backspace/Delete, shift)
//   WM_CHAR:              Char(c) while Typing()
//   Ctrl+Z:               if (!session.Undo()) the document's own undo
//   after each of these:  invalidate TakeDirty() (view coordinates, minus the scroll position)
//   WM_PAINT:             MarkViewPainter::Paint
//   every output:         FlattenMarks(full, session.Marks().Marks(), SharedMarkRenderer())
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "image/document.h"
#include "markup/mark_list.h"
#include "markup/mark_paint.h"
#include "markup/mark_settings.h"

namespace griv {

enum class MarkupTool { None, Select, Rectangle, Ellipse, Line, Arrow, Pen, Text, Highlight, Number, Redact };

// The tool of a letter key: S R E L A P T H N D (either case); None for others.
MarkupTool ToolForLetter(char c);
// The mark a drawing tool makes (Rectangle for None and Select).
MarkKind KindForTool(MarkupTool t);

enum class MarkupKey { Escape, Enter, Backspace, Delete };

class MarkupSession {
 public:
  // The size of a text in picture pixels, in the text marks' font.
  using TextMeasure = std::function<PointF(const std::string& text)>;

  MarkSettings& Settings() { return settings_; }
  const MarkSettings& Settings() const { return settings_; }
  void SetTextMeasure(TextMeasure m) { measure_ = std::move(m); }
  // Sizes in view pixels (scaled for the window's DPI by the caller): the
  // handles of the selected mark and the reach of a click around a stroke.
  void SetHandleSize(int viewPixels) { handleSize_ = viewPixels; }
  int HandleSize() const { return handleSize_; }
  void SetHitTolerance(int viewPixels) { tolerance_ = viewPixels; }

  // The view's zoom: set whenever the shown picture changes size.
  void SetMapping(const ViewMapping& m);
  const ViewMapping& Mapping() const { return map_; }

  // ---- tools
  MarkupTool Tool() const { return tool_; }
  // Finishes the text being typed and drops a drag in progress first. The
  // selection stays only with Select.
  void PickTool(MarkupTool t);

  // ---- keys; each returns true when it used the key
  // A letter without Ctrl or Alt: picks its tool, unless a text is being typed.
  bool Letter(char c);
  // Esc: cancels the text being typed or the drag, else drops the tool
  // (false when no tool is picked, so the key keeps its other meaning).
  // Enter: commits the text (with shift: a new line). Backspace: takes the
  // last character back. Delete: removes the selected mark (false without
  // one, so it clears the capture); ignored while typing.
  bool Key(MarkupKey k, bool shift = false);
  // A typed character (Unicode code point); true while a text is being typed.
  bool Char(uint32_t codePoint);
  bool Typing() const { return text_.has_value(); }

  // ---- mouse, in view coordinates
  // True when a tool took the click (so the view does not pan).
  bool MouseDown(int x, int y);
  void MouseMove(int x, int y);
  void MouseUp(int x, int y);
  bool Dragging() const { return live_.has_value() || marks_.Moving(); }

  // ---- marks
  const MarkList& Marks() const { return marks_; }
  // The last mark action back (or the text being typed dropped); false when
  // there is none, and then Ctrl+Z is the document's own undo.
  bool CanUndo() const { return Typing() || Dragging() || marks_.CanUndo(); }
  bool Undo();
  // Puts a finished mark on top, as one undoable action.
  void AddMark(Mark m);
  // Back to a clean picture: no marks, no mark undo.
  void NewPicture();

  // What the view shows, bottom to top: the marks and the one being drawn or typed.
  std::vector<const Mark*> ShownMarks() const;
  const Mark* Selection() const;
  // The caret of the text being typed: its top (picture coordinates) and height.
  bool Caret(PointF& top, double& height) const;

  // The view pixels to paint again since the last call; empty when none.
  PixelBox TakeDirty();
  // Changes with everything the view shows changing (marks, the one being
  // drawn or typed, the selection).
  uint64_t Revision() const { return revision_; }
  // The picture area where what the view shows may have changed since
  // revision; nothing when that is no longer known (or it is everywhere).
  std::optional<RectF> ChangedSince(uint64_t revision) const;

 private:
  PointF ToPicture(int x, int y) const { return map_.PixelToPicture(x, y); }
  void Touch(const Mark& m);
  void TouchAll();
  void TouchSelection();
  void EndText(bool commit);
  void Measure();
  double LineHeight() const;

  MarkSettings settings_;
  TextMeasure measure_;
  ViewMapping map_;
  MarkList marks_;
  MarkupTool tool_ = MarkupTool::None;
  std::optional<Mark> live_;  // the mark being dragged out
  std::optional<Mark> text_;  // the text being typed
  PointF dragStart_;
  int handleSize_ = 7, tolerance_ = 4;
  PixelBox dirty_;
  uint64_t revision_ = 0;
  // The areas of the last changes, in picture coordinates, each with the
  // revision it made (nothing: everywhere).
  struct Change {
    uint64_t revision;
    std::optional<RectF> area;
  };
  std::deque<Change> changes_;
  void Changed(std::optional<RectF> area);
};

// Paints the marks as the view shows them over target, a 24- or 32-bit copy
// of the shown picture's pixels from (frame.left, frame.top): the marks,
// the handles of the selected one and the caret of the text being typed.
// original is the picture as captured.
void PaintMarkupView(Picture& target, const MarkFrame& frame, const Picture& original, const MarkupSession& session,
                     MarkRenderer& renderer);

// The session's marks as what lies over the document's picture: every
// output gets them from here, painted in as the view shows them (the one
// being drawn or typed included; handles and caret left out).
class MarkOverlay : public PictureOverlay {
 public:
  MarkOverlay(MarkupSession& session, std::function<MarkRenderer&()> renderer)
      : session_(session), renderer_(std::move(renderer)) {}
  void NewPicture() override { session_.NewPicture(); }
  bool Empty() const override { return session_.ShownMarks().empty(); }
  uint64_t Revision() const override { return session_.Revision(); }
  void PaintOver(Picture& target, const Picture& picture) const override;
  bool PaintChanges(Picture& target, const Picture& picture, uint64_t since) const override;

 private:
  MarkupSession& session_;
  std::function<MarkRenderer&()> renderer_;
};

}  // namespace griv
