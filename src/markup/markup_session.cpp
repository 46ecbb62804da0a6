#include "markup/markup_session.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace griv {

MarkupTool ToolForLetter(char c) {
  static constexpr char kKeys[] = "SRELAPTHND";  // in the order of MarkupTool, from Select
  const char upper = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
  for (int i = 0; i < 10; ++i)
    if (kKeys[i] == upper) return MarkupTool(int(MarkupTool::Select) + i);
  return MarkupTool::None;
}

MarkKind KindForTool(MarkupTool t) {
  switch (t) {
    case MarkupTool::Ellipse: return MarkKind::Ellipse;
    case MarkupTool::Line: return MarkKind::Line;
    case MarkupTool::Arrow: return MarkKind::Arrow;
    case MarkupTool::Pen: return MarkKind::Pen;
    case MarkupTool::Text: return MarkKind::Text;
    case MarkupTool::Highlight: return MarkKind::Highlight;
    case MarkupTool::Number: return MarkKind::Number;
    case MarkupTool::Redact: return MarkKind::Redact;
    default: return MarkKind::Rectangle;
  }
}

namespace {
void AppendUtf8(std::string& s, uint32_t c) {
  if (c < 0x80) {
    s += char(c);
  } else if (c < 0x800) {
    s += char(0xC0 | (c >> 6)), s += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += char(0xE0 | (c >> 12)), s += char(0x80 | ((c >> 6) & 0x3F)), s += char(0x80 | (c & 0x3F));
  } else {
    s += char(0xF0 | (c >> 18)), s += char(0x80 | ((c >> 12) & 0x3F));
    s += char(0x80 | ((c >> 6) & 0x3F)), s += char(0x80 | (c & 0x3F));
  }
}

std::string LastLine(const std::string& text) {
  const size_t nl = text.rfind('\n');
  return nl == std::string::npos ? text : text.substr(nl + 1);
}
}  // namespace

void MarkupSession::SetMapping(const ViewMapping& m) {
  if (m.pictureWidth == map_.pictureWidth && m.pictureHeight == map_.pictureHeight && m.shownWidth == map_.shownWidth &&
      m.shownHeight == map_.shownHeight)
    return;
  map_ = m;
  TouchAll();
}

void MarkupSession::Touch(const Mark& m) {
  // A pixel of anti-aliasing around whatever a rounding leaves out.
  PixelBox b = map_.ToViewBox(MarkBounds(m));
  b = {b.left - 1, b.top - 1, b.right + 1, b.bottom + 1};
  dirty_ = Union(dirty_, b);
  Changed(MarkBounds(m));
}

void MarkupSession::Changed(std::optional<RectF> area) {
  changes_.push_back({++revision_, area});
  if (changes_.size() > 256) changes_.pop_front();  // older outputs are painted afresh
}

std::optional<RectF> MarkupSession::ChangedSince(uint64_t revision) const {
  if (revision >= revision_) return RectF{};  // nothing
  if (changes_.empty() || changes_.front().revision > revision + 1) return std::nullopt;
  RectF all;
  for (auto it = changes_.rbegin(); it != changes_.rend() && it->revision > revision; ++it) {
    if (!it->area) return std::nullopt;
    all = Union(all, *it->area);
  }
  return all;
}

void MarkupSession::TouchSelection() {
  if (const Mark* m = Selection()) {
    Touch(*m);
    dirty_ = Union(dirty_, HandlesViewBox(*m, map_, handleSize_));
  }
}

void MarkupSession::TouchAll() {
  dirty_ = Union(dirty_, PixelBox{0, 0, map_.shownWidth, map_.shownHeight});
  Changed(std::nullopt);
}

PixelBox MarkupSession::TakeDirty() {
  const PixelBox d = Intersect(dirty_, {0, 0, map_.shownWidth, map_.shownHeight});
  dirty_ = {};
  return d;
}

const Mark* MarkupSession::Selection() const {
  const int i = marks_.Selected();
  return i >= 0 ? &marks_[size_t(i)] : nullptr;
}

std::vector<const Mark*> MarkupSession::ShownMarks() const {
  std::vector<const Mark*> v;
  v.reserve(marks_.Size() + 1);
  for (const Mark& m : marks_.Marks()) v.push_back(&m);
  if (live_) v.push_back(&*live_);
  if (text_) v.push_back(&*text_);
  return v;
}

// ---------------------------------------------------------------- tools and keys

void MarkupSession::PickTool(MarkupTool t) {
  EndText(true);
  if (live_) Touch(*live_), live_.reset();
  if (marks_.Moving()) TouchSelection(), marks_.CancelMove(), TouchSelection();
  if (t != MarkupTool::Select) TouchSelection(), marks_.Select(-1);
  tool_ = t;
}

bool MarkupSession::Letter(char c) {
  if (Typing()) return false;
  const MarkupTool t = ToolForLetter(c);
  if (t == MarkupTool::None) return false;
  PickTool(t);
  return true;
}

bool MarkupSession::Key(MarkupKey k, bool shift) {
  switch (k) {
    case MarkupKey::Escape:
      if (Typing()) return EndText(false), true;
      if (live_) return Touch(*live_), live_.reset(), true;
      if (marks_.Moving()) return TouchSelection(), marks_.CancelMove(), TouchSelection(), true;
      if (tool_ == MarkupTool::None) return false;
      PickTool(MarkupTool::None);
      return true;
    case MarkupKey::Enter:
      if (!Typing()) return false;
      if (shift) {
        Touch(*text_);
        text_->text += '\n';
        Measure();
        Touch(*text_);
      } else {
        EndText(true);
      }
      return true;
    case MarkupKey::Backspace:
      if (!Typing()) return false;
      if (!text_->text.empty()) {
        Touch(*text_);
        std::string& s = text_->text;
        size_t n = s.size() - 1;
        while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;  // a whole UTF-8 character
        s.erase(n);
        Measure();
        Touch(*text_);
      }
      return true;
    case MarkupKey::Delete:
      if (Typing()) return true;
      if (Dragging() || marks_.Selected() < 0) return false;
      TouchSelection();
      marks_.Delete(size_t(marks_.Selected()));
      return true;
  }
  return false;
}

bool MarkupSession::Char(uint32_t c) {
  if (!Typing()) return false;
  // Control characters arrive as keys (Enter, Backspace, Esc) or not at all.
  if (c < 0x20 || c == 0x7F || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return true;
  Touch(*text_);
  AppendUtf8(text_->text, c);
  Measure();
  Touch(*text_);
  return true;
}

double MarkupSession::LineHeight() const { return measure_ ? std::max(1.0, measure_("Ag").y) : kTextHeight * 1.25; }

void MarkupSession::Measure() {
  Mark& m = *text_;
  size_t lines = 1 + size_t(std::count(m.text.begin(), m.text.end(), '\n'));
  const PointF size = measure_ && !m.text.empty() ? measure_(m.text) : PointF{};
  // A new line just begun has no measurable text yet, and still takes its room.
  m.textSize = {std::max(size.x, 2.0), std::max(size.y, double(lines) * LineHeight())};
}

void MarkupSession::EndText(bool commit) {
  if (!text_) return;
  Touch(*text_);
  if (commit && !text_->text.empty()) marks_.Add(std::move(*text_));
  text_.reset();
}

bool MarkupSession::Caret(PointF& top, double& height) const {
  if (!text_ || text_->points.empty()) return false;
  const std::string& s = text_->text;
  const double line = LineHeight();
  const std::string last = LastLine(s);
  double x = 0;
  if (!last.empty() && measure_) {
    x = measure_(last).x;
  } else if (!last.empty()) {
    Mark estimate;
    estimate.text = last;
    x = TextExtent(estimate).x;
  }
  const size_t row = size_t(std::count(s.begin(), s.end(), '\n'));
  top = {text_->points.front().x + x, text_->points.front().y + double(row) * line};
  height = line;
  return true;
}

// ---------------------------------------------------------------- mouse

bool MarkupSession::MouseDown(int x, int y) {
  if (tool_ == MarkupTool::None || Dragging()) return tool_ != MarkupTool::None;
  EndText(true);
  const PointF p = ToPicture(x, y);
  dragStart_ = p;
  Mark m;
  m.kind = KindForTool(tool_);
  m.colour = settings_.colour;
  m.width = settings_.width;
  m.pixelate = settings_.pixelate;
  m.points = {p};
  switch (tool_) {
    case MarkupTool::Select: {
      TouchSelection();
      marks_.Select(marks_.HitTest(p, map_.ToPictureLength(tolerance_)));
      TouchSelection();
      if (marks_.Selected() >= 0) marks_.BeginMove(size_t(marks_.Selected()));
      break;
    }
    case MarkupTool::Number: AddMark(std::move(m)); break;
    case MarkupTool::Text:
      text_ = std::move(m);
      Measure();
      Touch(*text_);
      break;
    default:
      m.points.push_back(p);
      live_ = std::move(m);
      Touch(*live_);
      break;
  }
  return true;
}

void MarkupSession::MouseMove(int x, int y) {
  const PointF p = ToPicture(x, y);
  if (marks_.Moving()) {
    TouchSelection();
    marks_.MoveTo(p.x - dragStart_.x, p.y - dragStart_.y);
    TouchSelection();
    return;
  }
  if (!live_) return;
  if (live_->kind == MarkKind::Pen) {
    // Only the new piece of the path needs painting.
    const PointF last = live_->points.back();
    if (std::hypot(p.x - last.x, p.y - last.y) < map_.ToPictureLength(1)) return;
    live_->points.push_back(p);
    Mark piece = *live_;
    piece.points = {last, p};
    Touch(piece);
    return;
  }
  Touch(*live_);
  live_->points.back() = p;
  Touch(*live_);
}

void MarkupSession::MouseUp(int x, int y) {
  if (marks_.Moving()) {
    MouseMove(x, y);
    marks_.EndMove();
    return;
  }
  if (!live_) return;
  MouseMove(x, y);
  Mark m = std::move(*live_);
  live_.reset();
  Touch(m);
  // A click without a drag makes no mark.
  const RectF r = Corners(m.points.front(), m.points.back());
  const bool drawn = m.kind == MarkKind::Pen ? m.points.size() > 1 : std::max(r.right - r.left, r.bottom - r.top) >= 1;
  if (drawn) marks_.Add(std::move(m));
}

bool MarkupSession::Undo() {
  if (Typing()) return EndText(false), true;
  if (live_) return Touch(*live_), live_.reset(), true;
  if (marks_.Moving()) return TouchSelection(), marks_.CancelMove(), TouchSelection(), true;
  if (!marks_.CanUndo()) return false;
  // What changes: the selection goes, and the mark taken away, put back or
  // moved back, where it is and where it will be.
  TouchSelection();
  Touch(*marks_.UndoSubject());
  const size_t index = marks_.UndoIndex();
  marks_.Undo();
  if (index < marks_.Size()) Touch(marks_[index]);
  return true;
}

void MarkupSession::AddMark(Mark m) { Touch(marks_[marks_.Add(std::move(m))]); }

void MarkupSession::NewPicture() {
  text_.reset();
  live_.reset();
  marks_.Clear();
  TouchAll();
}

// ---------------------------------------------------------------- view

void PaintMarkupView(Picture& target, const MarkFrame& frame, const Picture& original, const MarkupSession& session,
                     MarkRenderer& renderer) {
  PaintMarks(target, frame, original, session.ShownMarks(), renderer);
  if (const Mark* sel = session.Selection()) PaintHandles(target, frame, *sel, session.HandleSize());
  PointF top;
  double height;
  const Mark* typed = session.Typing() ? session.ShownMarks().back() : nullptr;
  if (typed && session.Caret(top, height)) {
    const PointF a = frame.ToTarget(top), b = frame.ToTarget({top.x, top.y + height});
    const int x = int(std::floor(a.x));
    if (x < 0 || x >= target.width) return;
    const int bytes = target.bpp / 8;
    for (int y = std::max(0, int(std::floor(a.y))); y < std::min(target.height, int(std::ceil(b.y))); ++y) {
      uint8_t* d = target.Row(y) + size_t(x) * bytes;
      d[0] = typed->colour.b, d[1] = typed->colour.g, d[2] = typed->colour.r;
    }
  }
}

void MarkOverlay::PaintOver(Picture& target, const Picture& picture) const {
  const MarkFrame frame{{picture.width, picture.height, target.width, target.height}, 0, 0};
  PaintMarks(target, frame, picture, session_.ShownMarks(), renderer_());
}

bool MarkOverlay::PaintChanges(Picture& target, const Picture& picture, uint64_t since) const {
  if (target.width != picture.width || target.height != picture.height) return false;
  const std::optional<RectF> changed = session_.ChangedSince(since);
  if (!changed) return false;
  if (changed->Empty()) return true;
  const PixelBox box = Intersect(PixelCover(changed->Inflated(1)), {0, 0, picture.width, picture.height});
  if (box.Empty()) return true;
  // That area afresh from the picture, every mark over it painted again in
  // its order (pixelated blocks take the same colours as in the whole).
  Picture part;
  part.ResizeForOverwrite(box.Width(), box.Height(), target.bpp);
  const int bytes = target.bpp / 8;
  for (int y = 0; y < part.height; ++y) {
    const uint8_t* s = picture.Row(box.top + y);
    uint8_t* d = part.Row(y);
    if (picture.bpp == target.bpp) {
      std::memcpy(d, s + size_t(box.left) * bytes, size_t(box.Width()) * bytes);
      continue;
    }
    for (int x = 0; x < box.Width(); ++x, d += bytes) {  // 8 bits through the palette
      const uint8_t i = s[box.left + x];
      const uint32_t c = i < picture.palette.size() ? picture.palette[i] : 0;
      d[0] = uint8_t(c), d[1] = uint8_t(c >> 8), d[2] = uint8_t(c >> 16);
    }
  }
  PaintMarks(part, {ViewMapping::OneToOne(picture.width, picture.height), box.left, box.top}, picture,
             session_.ShownMarks(), renderer_());
  for (int y = 0; y < part.height; ++y)
    std::memcpy(target.Row(box.top + y) + size_t(box.left) * bytes, part.Row(y), size_t(box.Width()) * bytes);
  return true;
}

}  // namespace griv
