#include "markup/markup_commands_win.h"

#include <commdlg.h>

#include "ids_markup.h"
#include "markup/markup_commands.h"
#include "markup/tool_glyphs_win.h"
#include "ui/modal_state.h"
#include "ui/ui_win.h"

namespace griv {

namespace {
constexpr int kHandleSize = 7, kHitTolerance = 4, kCursorSize = 32;  // at 96 DPI

COLORREF ColorOf(Rgb c) { return RGB(c.r, c.g, c.b); }

// The "&Markup" menu inside a menu bar: the pop-up whose first item is Select.
HMENU MarkupMenuOf(HMENU bar) {
  for (int i = 0, n = GetMenuItemCount(bar); i < n; ++i)
    if (HMENU sub = GetSubMenu(bar, i); sub && GetMenuItemID(sub, 0) == CM_MARKSELECT) return sub;
  return nullptr;
}
}  // namespace

MarkupCommands::MarkupCommands(AppWindow& app, DocumentHost& doc, MarkupViewHost& view)
    : app_(app), doc_(doc), view_(view), overlay_(session_, []() -> MarkRenderer& { return SharedMarkRenderer(); }) {
  session_.SetTextMeasure([](const std::string& text) { return SharedMarkRenderer().MeasureText(text); });
  doc_.Document().SetOverlay(&overlay_);
}

MarkupCommands::~MarkupCommands() {
  doc_.Document().SetOverlay(nullptr);
  for (HCURSOR& c : cursors_)
    if (c && c != LoadCursorW(nullptr, IDC_IBEAM)) DestroyCursor(c);
}

void MarkupCommands::AddTo(CommandTable& table) {
  table.Add(MarkupCommandRules(), {{CM_MARKSELECT, CM_MARKREDACT, [this](int id) { Pick(ToolOfCommand(id)); }},
                                   {CM_MARKCOLOUR, CM_MARKCOLOUR, [this](int) { ChooseColour(); }},
                                   // The submenu itself: enabled as one command, never run.
                                   {CM_MARKWIDTH_MENU, CM_MARKWIDTH_MENU, [](int) {}},
                                   {CM_MARKWIDTH2, CM_MARKWIDTH8, [this](int id) { SetWidth(WidthOfCommand(id)); }},
                                   {CM_MARKPIXELATE, CM_MARKPIXELATE, [this](int) { TogglePixelate(); }},
                                   {CM_MARKUPTOOLS, CM_MARKUPTOOLS, [this](int) { DropDown(); }}});
  // Undo takes back marks first, so it is there while a mark action is.
  table.AddState([this](CommandContext& c) {
    if (Present() && session_.CanUndo()) c.undo = true;
  });
  table.AddChecks([this](std::vector<CheckMark>& marks) {
    AddMarkupChecks(Present() ? session_.Tool() : MarkupTool::None, session_.Settings(), marks);
  });
}

// ---------------------------------------------------------------- settings

void MarkupCommands::LoadSettings() {
  SettingsStore* store = app_.Store();
  if (!store) return;
  session_.Settings() = ReadMarkSettings([store](const char* name) -> std::optional<std::string> {
    try {
      return store->ReadString(name);
    } catch (const ERegistryError&) {
      return std::nullopt;  // another type: the default
    }
  });
  if (OnGlyphChanged) OnGlyphChanged();
}

void MarkupCommands::StoreSettings() {
  // Written the moment they change, as the stamping choice is.
  if (SettingsStore* store = app_.Store())
    WriteMarkSettings(session_.Settings(), [store](const char* name, const std::string& v) { store->WriteString(name, v); });
  app_.UpdateCommands();
  if (OnGlyphChanged) OnGlyphChanged();
}

void MarkupCommands::ChooseColour() {
  static COLORREF custom[16] = {};  // the chooser's own colours, kept for the run
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = app_.Window();
  cc.rgbResult = ColorOf(session_.Settings().colour);
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  BOOL chosen;
  {
    ModalScope modal;
    chosen = ChooseColorW(&cc);
  }
  if (!chosen || !app_.Window()) return;
  session_.Settings().colour = {GetRValue(cc.rgbResult), GetGValue(cc.rgbResult), GetBValue(cc.rgbResult)};
  StoreSettings();
}

void MarkupCommands::SetWidth(int width) {
  session_.Settings().width = width;
  StoreSettings();
}

void MarkupCommands::TogglePixelate() {
  session_.Settings().pixelate = !session_.Settings().pixelate;
  StoreSettings();
}

// ---------------------------------------------------------------- tools

void MarkupCommands::Pick(MarkupTool tool) {
  if (!Present()) return;
  Sync();
  session_.PickTool(tool);
  Flush();
  if (tool != MarkupTool::None) {
    lastTool_ = tool;
    if (OnToolPicked) OnToolPicked();
  }
  view_.PointerChanged();
  app_.UpdateCommands();
  if (OnGlyphChanged) OnGlyphChanged();
}

void MarkupCommands::DropDown() {
  HMENU menu = MarkupMenuOf(GetMenu(app_.Window()));
  if (!menu) return;
  POINT at;
  GetCursorPos(&at);
  // The chosen tool arrives as a command of the menu, like the menu bar's.
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, app_.Window(), nullptr);
  app_.UpdateCommands();  // the button stays down only while a tool is picked
}

HCURSOR MarkupCommands::Cursor() {
  const MarkupTool tool = session_.Tool();
  if (tool == MarkupTool::None || !Present()) return nullptr;
  const int size = Scale(kCursorSize, app_.Dpi());
  if (size != cursorSize_) {
    for (HCURSOR& c : cursors_) {
      if (c && c != LoadCursorW(nullptr, IDC_IBEAM)) DestroyCursor(c);
      c = nullptr;
    }
    cursorSize_ = size;
  }
  HCURSOR& c = cursors_[int(tool)];
  if (!c) c = MakeToolCursor(tool, size);
  return c;
}

void MarkupCommands::PaintGlyph(HDC dc, const RECT& r, bool enabled) {
  const MarkupTool tool = session_.Tool() != MarkupTool::None ? session_.Tool() : lastTool_;
  const int inset = (r.bottom - r.top) / 5;
  DrawToolGlyph(dc, {r.left + inset, r.top + inset, r.right - inset, r.bottom - inset}, tool,
                ColorOf(session_.Settings().colour), enabled);
}

// ---------------------------------------------------------------- the view

void MarkupCommands::Sync() {
  const ImageDocument& doc = doc_.Document();
  session_.SetMapping({doc.FullImage().width, doc.FullImage().height, doc.ShownImage().width, doc.ShownImage().height});
  session_.SetHandleSize(Scale(kHandleSize, app_.Dpi()));
  session_.SetHitTolerance(Scale(kHitTolerance, app_.Dpi()));
}

void MarkupCommands::Flush() {
  const PixelBox dirty = session_.TakeDirty();
  if (!dirty.Empty()) view_.RepaintPicture(dirty);
}

bool MarkupCommands::MouseDown(int button, int x, int y) {
  if (button != 0 || !Present()) return false;
  Sync();
  const bool took = session_.MouseDown(x, y);
  Flush();
  if (took && !session_.Dragging()) app_.UpdateCommands();  // a number placed, a text begun
  return took;
}

void MarkupCommands::MouseMove(int x, int y) {
  session_.MouseMove(x, y);
  Flush();
}

void MarkupCommands::MouseUp(int x, int y) {
  session_.MouseUp(x, y);
  Flush();
  app_.UpdateCommands();
}

void MarkupCommands::DragLost() {
  if (!session_.Dragging()) return;
  session_.Key(MarkupKey::Escape);
  Flush();
}

bool MarkupCommands::Paint(HDC dc, int destX, int destY, const PixelBox& area) {
  Sync();
  session_.TakeDirty();  // what a new zoom or picture touched is being painted now
  if (session_.ShownMarks().empty() && !session_.Selection()) return false;
  const ImageDocument& doc = doc_.Document();
  painter_.Paint(dc, destX, destY, area, doc.ShownImage(), doc.FullImage(), session_);
  return true;
}

// ---------------------------------------------------------------- keys

bool MarkupCommands::KeyDown(WPARAM key) {
  if (!Present()) return false;
  const bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0, alt = GetKeyState(VK_MENU) < 0;
  Sync();
  bool used = false;
  switch (key) {
    case VK_ESCAPE: used = session_.Key(MarkupKey::Escape); break;
    case VK_RETURN: used = session_.Key(MarkupKey::Enter, shift); break;
    case VK_BACK: used = session_.Key(MarkupKey::Backspace); break;
    case VK_DELETE: used = session_.Key(MarkupKey::Delete); break;
    default:
      if (key >= 'A' && key <= 'Z' && !ctrl && !alt && !session_.Typing()) {
        const MarkupTool tool = ToolForLetter(char(key));
        if (tool == MarkupTool::None) return false;
        Pick(tool);
        return true;
      }
      return false;
  }
  if (!used) return false;
  Flush();
  view_.PointerChanged();  // Esc may have dropped the tool
  app_.UpdateCommands();
  if (OnGlyphChanged) OnGlyphChanged();
  return true;
}

bool MarkupCommands::Char(wchar_t c) {
  if (!session_.Typing()) {
    highSurrogate_ = 0;
    return false;
  }
  uint32_t code = c;
  if (c >= 0xD800 && c < 0xDC00) {
    highSurrogate_ = c;  // the rest of the character comes with the next message
    return true;
  }
  if (c >= 0xDC00 && c < 0xE000) {
    if (!highSurrogate_) return true;
    code = 0x10000 + ((uint32_t(highSurrogate_) - 0xD800) << 10) + (c - 0xDC00);
  }
  highSurrogate_ = 0;
  session_.Char(code);
  Flush();
  return true;
}

bool MarkupCommands::Undo() {
  if (!Present() || !session_.CanUndo()) return false;
  Sync();
  session_.Undo();
  Flush();
  app_.UpdateCommands();
  return true;
}

}  // namespace griv
