// Stamping a pointer shape onto the image: the shape menu with its pictures,
// the choice kept across runs, arming and the stamp itself.
#include <windows.h>
#include <commctrl.h>

#include "app/main_form_win.h"
#include "capture/grab_win.h"
#include "resource.h"
#include "ui/ui_win.h"

namespace griv {

namespace {
constexpr int kShapePicture = 24;  // the pictures of the shape menu, at 96 DPI
constexpr int kShapeItemWidth = 18;
constexpr COLORREF kTransparent = RGB(255, 0, 255);

HCURSOR CursorOf(StampCursor c) {
  static const struct {
    StampCursor cursor;
    const wchar_t* system;  // a system cursor, or
    const wchar_t* own;     // one of the program's own
  } kSources[] = {
      {StampCursor::Arrow, IDC_ARROW, nullptr},        {StampCursor::Cross, IDC_CROSS, nullptr},
      {StampCursor::IBeam, IDC_IBEAM, nullptr},        {StampCursor::SizeNESW, IDC_SIZENESW, nullptr},
      {StampCursor::SizeNS, IDC_SIZENS, nullptr},      {StampCursor::SizeNWSE, IDC_SIZENWSE, nullptr},
      {StampCursor::SizeWE, IDC_SIZEWE, nullptr},      {StampCursor::UpArrow, IDC_UPARROW, nullptr},
      {StampCursor::HourGlass, IDC_WAIT, nullptr},     {StampCursor::Drag, nullptr, L"CRDRAG"},
      {StampCursor::NoDrop, nullptr, L"CRNODROP"},     {StampCursor::HSplit, nullptr, L"CRHSPLIT"},
      {StampCursor::VSplit, nullptr, L"CRVSPLIT"},     {StampCursor::MultiDrag, nullptr, L"CRMULTIDRAG"},
      {StampCursor::SQLWait, nullptr, L"CRSQLWAIT"},   {StampCursor::No, IDC_NO, nullptr},
      {StampCursor::AppStart, IDC_APPSTARTING, nullptr}, {StampCursor::Help, IDC_HELP, nullptr},
      {StampCursor::HandPoint, nullptr, L"CRHANDPOINT"}, {StampCursor::SizeAll, IDC_SIZEALL, nullptr},
  };
  for (const auto& s : kSources)
    if (s.cursor == c) {
      HCURSOR h = s.own ? LoadCursorW(GetModuleHandleW(nullptr), s.own) : LoadCursorW(nullptr, s.system);
      return h ? h : LoadCursorW(nullptr, IDC_ARROW);
    }
  return LoadCursorW(nullptr, IDC_ARROW);
}
}  // namespace

// Drawn when first shown rather than at start-up, which they would slow down.
HIMAGELIST TfrmCaptureForm::StampImages() {
  if (imgIcons_) return imgIcons_.get();
  const int size = Scale(kShapePicture, dpi_);
  imgIcons_.reset(ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, kStampShapeCount, 0));
  WindowDC screen(nullptr);
  UniqueMemDC mem(CreateCompatibleDC(screen.get()));
  for (int i = 0; i < kStampShapeCount; ++i) {
    UniqueBitmap bmp(CreateCompatibleBitmap(screen.get(), size, size));
    {
      SelectObj sel(mem.get(), bmp.get());
      RECT all{0, 0, size, size};
      UniqueBrush back(CreateSolidBrush(kTransparent));
      FillRect(mem.get(), &all, back.get());
      DrawIconEx(mem.get(), 0, 0, CursorOf(StampShapeAt(i).cursor), size, size, 0, nullptr, DI_NORMAL);
    }
    ImageList_AddMasked(imgIcons_.get(), bmp.get(), kTransparent);
  }
  return imgIcons_.get();
}

void TfrmCaptureForm::SetStampGlyph() {
  toolBar_.SetGlyph(CM_STAMPICON, [this](HDC dc, const RECT& r, bool, int) {
    int w = 0, h = 0;
    ImageList_GetIconSize(StampImages(), &w, &h);
    ImageList_Draw(StampImages(), stampIconIndex_, dc, (r.left + r.right - w) / 2, (r.top + r.bottom - h) / 2,
                   ILD_TRANSPARENT);
  });
}

void TfrmCaptureForm::LoadStampChoice() {
  stampIconIndex_ = settings_.LastIconIx >= 0 && settings_.LastIconIx < kStampShapeCount ? settings_.LastIconIx : 0;
  SelectStampCursor(settings_.LastCursorIx);
  toolBar_.Repaint(CM_STAMPICON);
}

void TfrmCaptureForm::SelectStampCursor(int tag) {
  if (const auto s = griv::SelectStampCursor(tag)) stamp_ = *s;
}

void TfrmCaptureForm::PopupIconMenu(int x) {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  UniqueMenu own(menu);
  for (int i = 0; i < kStampShapeCount; ++i) {
    MENUITEMINFOW mi{sizeof mi};
    mi.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
    mi.fType = MFT_OWNERDRAW;
    mi.wID = static_cast<UINT>(CM_STAMPSHAPE0 + i);
    mi.dwItemData = static_cast<ULONG_PTR>(i);
    InsertMenuItemW(menu, static_cast<UINT>(i), TRUE, &mi);
  }
  RECT w;
  GetWindowRect(Handle(), &w);
  const int y = PopupIconMenuY(w.top, GetSystemMetrics(SM_CYSCREEN));
  const UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTBUTTON, x, y, 0, Handle(), nullptr);
  if (chosen >= CM_STAMPSHAPE0 && chosen < CM_STAMPSHAPE0 + kStampShapeCount) mnuIcon0Click(int(chosen) - CM_STAMPSHAPE0);
}

void TfrmCaptureForm::btnGetCursorClick() {
  RECT w;
  GetWindowRect(Handle(), &w);
  PopupIconMenu(Scale(353, dpi_) + w.left + 4);
}

void TfrmCaptureForm::mnuAddCursorClick() {
  RECT w;
  GetWindowRect(Handle(), &w);
  PopupIconMenu(Scale(136, dpi_) + w.left);  // below the Print button
}

void TfrmCaptureForm::mnuIcon0Click(int imageIndex) {
  const StampShape& shape = StampShapeAt(imageIndex);
  stampIconIndex_ = imageIndex;
  settings_.LastIconIx = imageIndex;
  settings_.LastCursorIx = shape.tag;
  if (store_) {
    store_->WriteInteger("LastIconIx", imageIndex);
    store_->WriteInteger("LastCursorIx", shape.tag);
  }
  SelectStampCursor(shape.tag);
  stampArmed_ = true;  // choosing a shape arms the next click at once
  toolBar_.Repaint(CM_STAMPICON);
  UpdateCommands();
}

void TfrmCaptureForm::N39MeasureItem(MEASUREITEMSTRUCT& m) {
  int w = 0, h = 0;
  ImageList_GetIconSize(StampImages(), &w, &h);
  m.itemWidth = static_cast<UINT>(Scale(kShapeItemWidth, dpi_));
  m.itemHeight = static_cast<UINT>(h + Scale(2, dpi_));
}

void TfrmCaptureForm::DrawShapeItem(const DRAWITEMSTRUCT& d) {
  const bool selected = (d.itemState & ODS_SELECTED) != 0;
  FillRect(d.hDC, &d.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  int w = 0, h = 0;
  ImageList_GetIconSize(StampImages(), &w, &h);
  ImageList_Draw(StampImages(), static_cast<int>(d.itemData), d.hDC, d.rcItem.left + Scale(2, dpi_),
                 (d.rcItem.top + d.rcItem.bottom - h) / 2, ILD_TRANSPARENT);
}

bool TfrmCaptureForm::Image1MouseDown(int button, int x, int y) {
  if (!stampArmed_) return false;
  if (button != 0) return true;  // armed: no panning either
  const HCURSOR cursor = stamp_.cursorId ? CursorOf(stamp_.cursor) : LoadCursorW(nullptr, IDC_ARROW);
  SaveUndo();
  // The full image gets the pointer where the click was, the view the same
  // pointer moved by the shape's offsets; the next rendering shows the full image's.
  DrawCursorAt(doc_.MutableFullImage(), cursor, x, y);
  DrawCursorAt(doc_.MutableShownImage(), cursor, x + stamp_.offsetX, y + stamp_.offsetY);
  InvalidateRect(view_.Handle(), nullptr, FALSE);
  CancelStamping();
  return true;
}

}  // namespace griv
