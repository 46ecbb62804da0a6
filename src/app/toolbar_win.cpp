#include "app/toolbar_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include "base/handles_win.h"
#include "resource.h"
#include "ui/ui_win.h"

namespace griv {

namespace {
const wchar_t kPanelClass[] = L"GrivToolPanel";
const int kSeparators[] = {80, 164, 321, 403, 478};

const ToolButtonDef kButtons[] = {
    {CM_OPENFILE, 3, 6, 25, 25, L"File open", Glyph::Open},
    {CM_SAVE, 28, 6, 25, 25, L"Save Image", Glyph::Save},
    {CM_SENDMAIL, 53, 6, 25, 25, L"Send Image as Email", Glyph::Email},
    {CM_PRINTSETUP, 86, 6, 25, 25, L"Printer Setup", Glyph::PrintSetup},
    {CM_PRINTPREVIEW, 111, 6, 25, 25, L"Print Preview", Glyph::Preview},
    {CM_PRINT, 136, 6, 25, 25, L"Print", Glyph::Print},
    {CM_UNDO, 169, 6, 25, 25, L"Undo", Glyph::Undo},
    {CM_COPY, 194, 6, 25, 25, L"Copy Image to Clipboard", Glyph::Copy},
    {CM_PASTE, 219, 6, 25, 25, L"Paste Image from the Clipboard", Glyph::Paste},
    {CM_CLEAR, 244, 6, 25, 25, L"Clear Capture", Glyph::Clear},
    {CM_CROP, 269, 6, 25, 25, L"Crop Current Image", Glyph::Crop},
    {CM_SELECTAREA, 294, 6, 25, 25, L"Select an Area", Glyph::Select},
    {CM_STAMPICON, 326, 5, 26, 26, L"Click to enable adding of the cursor to the image", Glyph::Stamp, nullptr, true},
    {CM_GETCURSOR, 353, 5, 15, 26, L"Click to select a cursor to add to the image.  ", Glyph::StampMenu},
    {CM_MARKUPTOOLS, 373, 5, 26, 26, L"Mark up the image", Glyph::None, nullptr, true},
    {CM_OPTIONS, 408, 6, 68, 25, L"Option Settings", Glyph::None, L"Options"},
    {CM_HELPCONTENT, 483, 6, 25, 25, L"Help", Glyph::Help},
    {CM_EXIT, 508, 6, 25, 25, L"Exit", Glyph::Exit},
};

}  // namespace

std::span<const ToolButtonDef> ToolButtons() { return kButtons; }

void ToolBar::Create(HWND parent, int dpi) {
  dpi_ = dpi;
  CreateWin({kPanelClass, 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)}, 0, L"",
            WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 100, S(34), parent,
            reinterpret_cast<HMENU>(IDC_TOOLBAR));
  tips_ = CreateHintWindow(parent);
  buttons_.clear();
  for (const auto& d : kButtons) {
    auto b = std::make_unique<SpeedButton>();
    SpeedButton::Options o;
    o.toggle = d.toggle;
    o.notify = parent;
    b->Create(Handle(), d.command, d.caption ? d.caption : L"", 0, 0, 1, 1, o);
    if (d.glyph != Glyph::None) {
      b->SetGlyph(GlyphPainterOf(d.glyph));
    }
    AddHint(tips_, Handle(), b->Handle(), d.hint);
    buttons_.push_back(std::move(b));
  }
  Layout();
}

void ToolBar::SetDpi(int dpi) {
  dpi_ = dpi;
  Layout();
}

int ToolBar::Height() const { return S(34); }

void ToolBar::Layout() {
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const ToolButtonDef& d = kButtons[i];
    MoveWindow(buttons_[i]->Handle(), S(d.x), S(d.y), S(d.w), S(d.h), TRUE);
  }
  InvalidateRect(Handle(), nullptr, TRUE);
}

SpeedButton* ToolBar::Find(int command) {
  for (auto& b : buttons_)
    if (b->Id() == command) return b.get();
  return nullptr;
}

const SpeedButton* ToolBar::Find(int command) const {
  for (auto& b : buttons_)
    if (b->Id() == command) return b.get();
  return nullptr;
}

void ToolBar::Enable(int command, bool on) {
  if (SpeedButton* b = Find(command)) b->Enable(on);
}

bool ToolBar::IsEnabled(int command) const {
  const SpeedButton* b = Find(command);
  return b && b->Enabled();
}

void ToolBar::SetDown(int command, bool down) {
  if (SpeedButton* b = Find(command)) b->SetDown(down);
}

void ToolBar::SetCaption(int command, const std::wstring& caption) {
  if (SpeedButton* b = Find(command)) b->SetCaption(caption);
}

void ToolBar::SetGlyph(int command, SpeedButton::GlyphPainter painter) {
  if (SpeedButton* b = Find(command)) b->SetGlyph(std::move(painter));
}

void ToolBar::Repaint(int command) {
  if (SpeedButton* b = Find(command)) InvalidateRect(b->Handle(), nullptr, FALSE);
}

HWND ToolBar::ButtonHandle(int command) const {
  const SpeedButton* b = Find(command);
  return b ? b->Handle() : nullptr;
}

void ToolBar::OnPaint(HDC dc, const PAINTSTRUCT&) {
  RECT rc;
  GetClientRect(Handle(), &rc);
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  for (int x : kSeparators) {
    RECT line{S(x), S(5), S(x) + 2, S(31)};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
  }
  RECT bottom{rc.left, rc.bottom - 2, rc.right, rc.bottom};
  DrawEdge(dc, &bottom, EDGE_ETCHED, BF_TOP);
}

}  // namespace griv
