#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "markup/mark_settings.h"
#include "markup/markup_session.h"

using namespace griv;

namespace {

Mark Make(MarkKind k, std::vector<PointF> pts, Rgb c = {255, 0, 0}) {
  Mark m;
  m.kind = k;
  m.points = std::move(pts);
  m.colour = c;
  return m;
}

// Stands in for GDI+: a stroke mark fills the pixels of its rectangle in its
// colour, sampled through the frame as the view samples the picture.
struct BoxRenderer : MarkRenderer {
  int calls = 0;
  void DrawStrokes(Picture& t, const MarkFrame& f, const std::vector<const Mark*>& marks) override {
    ++calls;
    for (const Mark* m : marks) {
      const PixelBox box = PixelCover(MarkRect(*m));
      for (int y = 0; y < t.height; ++y)
        for (int x = 0; x < t.width; ++x) {
          const int px = f.map.PictureColumn(x + f.left), py = f.map.PictureRow(y + f.top);
          if (px < box.left || px >= box.right || py < box.top || py >= box.bottom) continue;
          uint8_t* d = t.Row(y) + x * (t.bpp / 8);
          d[0] = m->colour.b, d[1] = m->colour.g, d[2] = m->colour.r;
        }
    }
  }
};

// Every channel of every pixel differs from the multiples of 17 that redaction colours take.
Picture Noise(int w, int h, int bpp) {
  Picture p;
  p.Resize(w, h, bpp);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < p.Stride(); ++x) p.Row(y)[x] = uint8_t(17 * ((x * 7 + y * 11) % 15) + 1 + (x * 3 + y) % 16);
  if (bpp == 8)
    for (uint32_t i = 0; i < 256; ++i)
      p.palette.push_back(((17 * (i % 15) + 3) << 16) | ((17 * (i / 3 % 15) + 5) << 8) | (17 * (i / 7 % 15) + 9));
  return p;
}

Rgb At(const Picture& p, int x, int y) {
  const uint8_t* d = p.Row(y) + x * (p.bpp / 8);
  return {d[2], d[1], d[0]};
}

}  // namespace

TEST(MarkGeometry, HitsOutlinesAreasAndHeadsWithTheToleranceOfTheZoom) {
  const Mark rect = Make(MarkKind::Rectangle, {{60, 40}, {10, 10}});  // dragged in either direction
  EXPECT_EQ(MarkRect(rect), (RectF{10, 10, 60, 40}));
  EXPECT_TRUE(HitMark(rect, {35, 11}, 0));
  EXPECT_FALSE(HitMark(rect, {35, 25}, 4));  // outline only
  EXPECT_TRUE(HitMark(Make(MarkKind::Redact, {{10, 10}, {60, 40}}), {35, 25}, 0));
  const Mark ell = Make(MarkKind::Ellipse, {{0, 0}, {100, 50}});
  EXPECT_TRUE(HitMark(ell, {50, 1}, 0));
  EXPECT_FALSE(HitMark(ell, {2, 2}, 1));  // the box's corner is off the ellipse
  const Mark arrow = Make(MarkKind::Arrow, {{0, 50}, {100, 50}});
  const ArrowHead h = ArrowHeadOf(arrow);
  EXPECT_EQ(h.tip, (PointF{100, 50}));
  EXPECT_GT(std::abs(h.left.y - 50), 5);
  EXPECT_TRUE(HitMark(arrow, {92, 53}, 0));  // inside the head, beyond the shaft's width
  EXPECT_FALSE(HitMark(arrow, {50, 56}, 2));
  const Mark number = Make(MarkKind::Number, {{30, 30}});
  EXPECT_TRUE(HitMark(number, {41, 30}, 0));
  EXPECT_EQ(MarkBounds(number), (RectF{17, 17, 43, 43}));
  // Bounds hold the whole stroke; pixel marks cover every pixel they touch.
  EXPECT_EQ(MarkBounds(rect), (RectF{7.5, 7.5, 62.5, 42.5}));
  EXPECT_EQ(PixelCover({2.5, 3, 7.2, 3}), (PixelBox{2, 3, 8, 4}));
  // A 4-pixel reach on the view is 12 picture pixels at 1:3 and 2 at 2:1.
  EXPECT_DOUBLE_EQ((ViewMapping{300, 300, 100, 100}.ToPictureLength(4)), 12);
  EXPECT_DOUBLE_EQ((ViewMapping{300, 300, 600, 600}.ToPictureLength(4)), 2);
}

TEST(ViewMapping, ViewAndPictureMeetAtEveryZoom) {
  const ViewMapping twice{100, 50, 200, 100}, third{1000, 700, 333, 233}, half{1023, 10, 512, 5};
  EXPECT_EQ(twice.PixelToPicture(21, 9), (PointF{10.75, 4.75}));
  EXPECT_EQ(twice.ToView({10.75, 4.75}), (PointF{21.5, 9.5}));
  EXPECT_EQ(twice.PictureColumn(21), 10);
  // The columns the view shows are those its nearest-neighbour stretch picks.
  for (int v : {0, 1, 100, 332}) EXPECT_EQ(third.PictureColumn(v), v * 1000 / 333);
  EXPECT_EQ(half.PictureColumn(511), 1021);
  EXPECT_NEAR(third.PixelToPicture(100, 0).x, 100.5 * 1000 / 333, 1e-9);
  EXPECT_EQ(third.ToViewBox({30, 30, 60, 60}), (PixelBox{9, 9, 20, 20}));
  const ViewMapping fit{1920, 1080, 1280, 720};  // a scale of 2/3
  EXPECT_NEAR(fit.ToPicture(fit.ToView({123.25, 77})).x, 123.25, 1e-9);
}

TEST(MarkList, UndoesAddMoveAndDeleteManyLevelsAndTheNumbersFollow) {
  MarkList list;
  for (int i = 0; i < 3; ++i) list.Add(Make(MarkKind::Number, {{10.0 + 30 * i, 10}}));
  EXPECT_EQ(list[2].number, 3);
  list.Delete(1);  // the others keep their numbers
  EXPECT_EQ(list[1].number, 3);
  EXPECT_EQ(list.NextNumber(), 4);
  list.Add(Make(MarkKind::Rectangle, {{0, 0}, {100, 100}}));
  list.Move(2, 5, -5);
  EXPECT_EQ(list[2].points[0], (PointF{5, -5}));
  EXPECT_EQ(list.HitTest({5, 10}, 2), 2);  // the topmost: the rectangle's edge over number 1
  EXPECT_EQ(list.HitTest({70, 10}, 0), 1);
  list.Select(2);
  list.BeginMove(2);
  list.MoveTo(3, 3);
  list.MoveTo(10, 20);  // offsets from the start, not steps
  list.EndMove();
  EXPECT_EQ(list[2].points[0], (PointF{15, 15}));
  ASSERT_TRUE(list.Undo());  // the drag, as one action
  EXPECT_EQ(list[2].points[0], (PointF{5, -5}));
  EXPECT_EQ(list.Selected(), -1);
  ASSERT_TRUE(list.Undo());
  ASSERT_TRUE(list.Undo());
  EXPECT_EQ(list.Size(), 2u);
  ASSERT_TRUE(list.Undo());  // the deletion: number 2 is back in its place
  ASSERT_EQ(list.Size(), 3u);
  EXPECT_EQ(list[1].number, 2);
  ASSERT_TRUE(list.Undo());
  EXPECT_EQ(list.NextNumber(), 3);  // undoing a number takes its number back
  list.Add(Make(MarkKind::Number, {{0, 0}}));
  EXPECT_EQ(list[2].number, 3);
  while (list.Undo()) {
  }
  EXPECT_TRUE(list.Empty());
  EXPECT_EQ(list.NextNumber(), 1);
}

TEST(Redaction, LeavesNoOriginalPixelAtEdgesOutsideAndAtAnyDepth) {
  for (int bpp : {8, 24, 32}) {
    SCOPED_TRACE(bpp);
    const Picture pic = Noise(70, 50, bpp);
    Mark solid = Make(MarkKind::Redact, {{5.6, 4.2}, {20.1, 12}});  // fractional edges round outwards
    Mark blocks = Make(MarkKind::Redact, {{40, 30}, {90, 80}});     // past the picture's corner
    blocks.pixelate = true;
    BoxRenderer r;
    const Picture out = FlattenMarks(pic, {solid, blocks}, r);
    const Picture orig24 = bpp == 8 ? ConvertTo24(pic) : pic;
    ASSERT_EQ(out.bpp, bpp == 8 ? 24 : bpp);
    for (int y = 0; y < 50; ++y)
      for (int x = 0; x < 70; ++x) {
        const Rgb o = At(orig24, x, y), c = At(out, x, y);
        if (x >= 5 && x < 21 && y >= 4 && y < 12) {
          ASSERT_EQ(c, (Rgb{0, 0, 0})) << x << "," << y;
        } else if (x >= 40 && y >= 30) {
          ASSERT_TRUE(c.r != o.r && c.g != o.g && c.b != o.b) << x << "," << y;
          ASSERT_EQ(c.r % 17 + c.g % 17 + c.b % 17, 0);
          ASSERT_EQ(c, At(out, 40 + (x - 40) / 16 * 16, 30 + (y - 30) / 16 * 16));  // one colour a block
        } else {
          ASSERT_EQ(c, o) << x << "," << y;
        }
      }
    EXPECT_EQ(r.calls, 0);
  }
  EXPECT_EQ(RedactLevel(16 * 255 + 100, 16), 255);
  EXPECT_EQ(RedactLevel(0, 0), 0);
}

TEST(Flatten, PaintsInOrderAndTheViewShowsWhatTheOutputHolds) {
  const Picture pic = Noise(90, 60, 32);
  Mark under = Make(MarkKind::Rectangle, {{10, 10}, {30, 30}}, {0, 0, 255});
  Mark redact = Make(MarkKind::Redact, {{20, 20}, {50, 40}});
  redact.pixelate = true;
  Mark over = Make(MarkKind::Rectangle, {{45, 35}, {60, 50}}, {0, 255, 0});
  Mark high = Make(MarkKind::Highlight, {{0, 45}, {90, 60}});
  Mark white = Make(MarkKind::Rectangle, {{70, 50}, {80, 58}}, {255, 255, 255});
  const std::vector<Mark> marks{under, redact, over, high, white};
  BoxRenderer r;
  const Picture out = FlattenMarks(pic, marks, r);
  EXPECT_EQ(r.calls, 3);  // strokes between pixel marks are drawn in separate runs
  EXPECT_EQ(At(out, 15, 15), (Rgb{0, 0, 255}));
  EXPECT_NE(At(out, 25, 25), (Rgb{0, 0, 255}));      // the redaction hid the rectangle under it
  EXPECT_EQ(At(out, 47, 37), (Rgb{0, 255, 0}));      // the rectangle over it stays
  EXPECT_EQ(At(out, 50, 48), (Rgb{0, 255, 0}));      // green times yellow is green
  EXPECT_EQ(At(out, 75, 55), (Rgb{255, 255, 255}));  // drawn after the highlight
  const Rgb before = At(pic, 5, 50), after = At(out, 5, 50);
  EXPECT_EQ(after, (Rgb{before.r, before.g, 0}));
  EXPECT_EQ(At(out, 5, 5), At(pic, 5, 5));
  // The view at 2:1 and 1:3, painted in parts, shows the pixels of the output.
  std::vector<const Mark*> all;
  for (const Mark& m : marks) all.push_back(&m);
  for (const ViewMapping map : {ViewMapping{90, 60, 180, 120}, ViewMapping{90, 60, 30, 20}}) {
    const PixelBox part{map.shownWidth / 4, map.shownHeight / 3, map.shownWidth, map.shownHeight};
    Picture view;
    view.Resize(part.Width(), part.Height(), 32);
    for (int y = 0; y < view.height; ++y)
      for (int x = 0; x < view.width; ++x)
        std::memcpy(view.Row(y) + 4 * x, pic.Row(map.PictureRow(y + part.top)) + 4 * map.PictureColumn(x + part.left),
                    4);
    PaintMarks(view, {map, part.left, part.top}, pic, all, r);
    for (int y = 0; y < view.height; ++y)
      for (int x = 0; x < view.width; ++x)
        ASSERT_EQ(At(view, x, y), At(out, map.PictureColumn(x + part.left), map.PictureRow(y + part.top)))
            << map.shownWidth << ": " << x << "," << y;
  }
  EXPECT_EQ(FlattenMarks(pic, {}, r).pixels, pic.pixels);
}

TEST(MarkupSession, ToolsKeysTypingAndUndoAsTheUserMeetsThem) {
  MarkupSession s;
  s.SetMapping({200, 100, 400, 200});  // 2:1
  EXPECT_FALSE(s.MouseDown(10, 10));   // no tool: the view pans
  EXPECT_FALSE(s.Key(MarkupKey::Escape));
  EXPECT_TRUE(s.Letter('r'));
  EXPECT_EQ(s.Tool(), MarkupTool::Rectangle);
  EXPECT_FALSE(s.Letter('x'));
  s.MouseDown(20, 20);
  s.MouseUp(20, 20);  // a click is no mark
  EXPECT_TRUE(s.Marks().Empty());
  s.TakeDirty();
  s.MouseDown(20, 20);
  s.MouseMove(60, 40);
  const PixelBox dirty = s.TakeDirty();
  EXPECT_TRUE(dirty.left <= 20 && dirty.top <= 20 && dirty.right >= 61 && dirty.bottom >= 41);
  EXPECT_LT(dirty.Width() * dirty.Height(), 400 * 200 / 8);  // only the mark's area
  s.MouseUp(60, 40);
  ASSERT_EQ(s.Marks().Size(), 1u);
  EXPECT_EQ(MarkRect(s.Marks()[0]), (RectF{10.25, 10.25, 30.25, 20.25}));
  EXPECT_EQ(s.Tool(), MarkupTool::Rectangle);  // stays for the next one
  EXPECT_TRUE(s.Key(MarkupKey::Escape));
  EXPECT_EQ(s.Tool(), MarkupTool::None);

  // Text: Shift+Enter breaks the line, letters are typed rather than picking tools, Enter commits.
  s.SetTextMeasure([](const std::string& t) { return PointF{8.0 * double(t.size()), 19}; });
  s.PickTool(MarkupTool::Text);
  s.MouseDown(100, 100);
  EXPECT_TRUE(s.Typing());
  EXPECT_FALSE(s.Letter('r'));
  for (uint32_t c : {uint32_t('a'), 0x20ACu, uint32_t('b')}) s.Char(c);
  EXPECT_TRUE(s.Key(MarkupKey::Backspace));
  EXPECT_TRUE(s.Key(MarkupKey::Enter, true));
  s.Char('c');
  EXPECT_TRUE(s.Key(MarkupKey::Delete));  // typing: never clears the capture
  PointF caret;
  double height;
  ASSERT_TRUE(s.Caret(caret, height));
  EXPECT_EQ(caret, (PointF{50.25 + 8, 50.25 + 19}));
  EXPECT_TRUE(s.Key(MarkupKey::Enter));
  ASSERT_EQ(s.Marks().Size(), 2u);
  EXPECT_EQ(s.Marks()[1].text, "a\xE2\x82\xAC\nc");
  s.MouseDown(300, 100);
  s.Char('z');
  EXPECT_TRUE(s.Key(MarkupKey::Escape));  // cancels the text, keeps the tool
  EXPECT_EQ(s.Marks().Size(), 2u);
  EXPECT_EQ(s.Tool(), MarkupTool::Text);

  // Select picks the topmost mark, a drag moves it, Delete removes it; undo walks back.
  s.PickTool(MarkupTool::Select);
  EXPECT_FALSE(s.Key(MarkupKey::Delete));  // nothing picked: Delete clears the capture
  s.MouseDown(41, 21);                     // on the rectangle's top-left corner
  EXPECT_EQ(s.Selection(), &s.Marks()[0]);
  s.MouseMove(81, 61);
  s.MouseUp(81, 61);
  EXPECT_EQ(MarkRect(s.Marks()[0]).left, 30.25);
  EXPECT_TRUE(s.Key(MarkupKey::Delete));
  EXPECT_EQ(s.Marks().Size(), 1u);
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(s.Undo());
  EXPECT_FALSE(s.CanUndo());  // Ctrl+Z goes to the picture's own undo now
  EXPECT_FALSE(s.Undo());
  s.PickTool(MarkupTool::Number);
  s.MouseDown(10, 10);
  s.NewPicture();
  EXPECT_TRUE(s.Marks().Empty());
  EXPECT_EQ(s.Marks().NextNumber(), 1);
}

TEST(MarkSettings, ReadsStoredValuesAndFallsBackOnGarbage) {
  std::map<std::string, std::string> reg{{"MarkColour", "#00a0Ff"}, {"MarkWidth", "8"}, {"PixelateRedactions", "On"}};
  auto read = [&](const char* n) -> std::optional<std::string> {
    auto it = reg.find(n);
    return it == reg.end() ? std::nullopt : std::optional(it->second);
  };
  EXPECT_EQ(ReadMarkSettings(read), (MarkSettings{{0, 0xA0, 0xFF}, 8, true}));
  reg = {{"MarkColour", "red"}, {"MarkWidth", "0"}, {"PixelateRedactions", "on"}};
  EXPECT_EQ(ReadMarkSettings(read), MarkSettings{});
  for (const char* bad : {"#12345", "#1234567", "#12345G", "123456#"}) EXPECT_FALSE(ParseMarkColour(bad)) << bad;
  for (const char* bad : {"", "-3", "3px", "65", "1e1", " 3"}) EXPECT_FALSE(ParseMarkWidth(bad)) << bad;
  reg.clear();
  WriteMarkSettings({{1, 2, 255}, 5, false}, [&](const char* n, const std::string& v) { reg[n] = v; });
  EXPECT_EQ(reg["MarkColour"], "#0102FF");
  EXPECT_EQ(reg["MarkWidth"], "5");
  EXPECT_EQ(reg["PixelateRedactions"], "Off");
}

TEST(MarkOverlay, EveryOutputCarriesTheMarksAndANewPictureStartsClean) {
  BoxRenderer r;
  MarkupSession s;
  MarkOverlay overlay(s, [&]() -> MarkRenderer& { return r; });
  ImageDocument doc;
  doc.SetOverlay(&overlay);
  doc.SaveUndo();
  doc.SetFullImage(Noise(60, 40, 32));
  doc.Render();
  EXPECT_EQ(&doc.OutputPicture(), &doc.FullImage());  // nothing over it: no copy
  // A redaction dragged on the view at 2:1 and a rectangle, as the controller feeds them.
  doc.ZoomTo(2, 1);
  s.SetMapping({60, 40, 120, 80});
  s.PickTool(MarkupTool::Redact);
  s.MouseDown(20, 20), s.MouseMove(61, 41), s.MouseUp(61, 41);  // picture pixels 10..30 x 10..20
  s.PickTool(MarkupTool::Rectangle);
  s.MouseDown(80, 60), s.MouseMove(100, 70), s.MouseUp(100, 70);
  EXPECT_TRUE(doc.Changed());
  const Picture& out = doc.OutputPicture();
  const Picture& shown = doc.OutputShown();
  ASSERT_EQ(shown.width, 120);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) {
      const bool redacted = x >= 10 && x <= 30 && y >= 10 && y <= 20, boxed = x >= 40 && x <= 50 && y >= 30 && y <= 35;
      const Rgb want = redacted ? Rgb{0, 0, 0} : boxed ? Rgb{255, 0, 0} : At(doc.FullImage(), x, y);
      ASSERT_EQ(At(out, x, y), want) << x << "," << y;
      ASSERT_EQ(At(shown, 2 * x + 1, 2 * y), At(out, x, y));  // the view's copy holds the same
    }
  EXPECT_EQ(&doc.OutputPicture(), &out);  // kept while nothing changes
  // Later outputs are painted again only where marks changed, and hold what a fresh flatten holds.
  auto fresh = [&] { return doc.OutputPicture().pixels == FlattenMarks(doc.FullImage(), s.Marks().Marks(), r).pixels; };
  s.PickTool(MarkupTool::Select);
  s.MouseDown(20, 20), s.MouseMove(40, 60), s.MouseUp(40, 60);  // the redaction, now under the rectangle
  EXPECT_TRUE(fresh());
  ASSERT_TRUE(s.Undo());
  EXPECT_TRUE(fresh());
  doc.NoteSaved();
  EXPECT_FALSE(doc.Changed());
  ASSERT_TRUE(s.Undo());
  EXPECT_TRUE(doc.Changed());
  EXPECT_TRUE(fresh());
  EXPECT_EQ(At(doc.OutputPicture(), 45, 32), At(doc.FullImage(), 45, 32));
  // A new picture, Clear and the picture's own undo each start clean, with no mark undo.
  for (int step = 0; step < 3; ++step) {
    SCOPED_TRACE(step);
    s.AddMark(Make(MarkKind::Redact, {{1, 1}, {5, 5}}));
    if (step == 0) doc.SaveUndo(), doc.SetFullImage(Noise(60, 40, 8));
    if (step == 1) doc.Clear();
    if (step == 2) {
      ASSERT_TRUE(doc.Undo());
    }
    EXPECT_TRUE(s.Marks().Empty());
    EXPECT_FALSE(s.CanUndo());
    EXPECT_FALSE(doc.Changed());
  }
  // A stamp is a change; an 8-bit picture's output has 24 bits.
  doc.MutableFullImage();
  EXPECT_TRUE(doc.Changed());
  s.AddMark(Make(MarkKind::Redact, {{1, 1}, {5, 5}}));
  EXPECT_EQ(doc.OutputPicture().bpp, 24);
  EXPECT_EQ(At(doc.OutputPicture(), 3, 3), (Rgb{0, 0, 0}));
}
