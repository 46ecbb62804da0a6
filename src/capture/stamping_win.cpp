#include "capture/stamping_win.h"

#include "base/dib_win.h"
#include "capture/capture_commands.h"
#include "capture/grab_win.h"
#include "ids_app.h"
#include "ui/ui_win.h"

namespace griv {

namespace {
constexpr int kShapePicture = 24;  // the pictures of the shape menu, at 96 DPI
constexpr int kShapeItemWidth = 18;

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

void StampCommands::AddTo(CommandTable& table) {
  auto popup = [this](int left, int extra) {
    RECT w;
    GetWindowRect(app_.Window(), &w);
    PopupIconMenu(Scale(left, app_.Dpi()) + w.left + extra);
  };
  table.Add(StampCommandRules(), {{CM_STAMPICON, CM_STAMPICON, [this](int) {
                                     armed_ = true;
                                     app_.UpdateCommands();
                                   }},
                                  {CM_GETCURSOR, CM_GETCURSOR, [popup](int) { popup(353, 4); }},
                                  {CM_ADDCURSOR, CM_ADDCURSOR, [popup](int) { popup(136, 0); }}});  // below the Print button
  table.AddChecks([this](std::vector<CheckMark>& marks) { marks.push_back({CM_STAMPICON, armed_}); });
}

// Drawn when first shown rather than at start-up, which they would slow down.
// Each picture is the pointer with its own transparency, shrunk smoothly.
HIMAGELIST StampCommands::StampImages() {
  if (images_) return images_.get();
  const int size = Scale(kShapePicture, app_.Dpi());
  images_.reset(ImageList_Create(size, size, ILC_COLOR32, kStampShapeCount, 0));
  const BITMAPINFO info = TopDownInfo(size, size, 32);
  WindowDC screen(nullptr);
  UniqueMemDC mem(CreateCompatibleDC(screen.get()));
  DibSection grounds[2], picture;
  for (DibSection* d : {&grounds[0], &grounds[1], &picture})
    d->bitmap.reset(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &d->bits, nullptr, 0));
  if (!picture.bits || !grounds[0].bits || !grounds[1].bits) return images_.get();
  const size_t pixels = static_cast<size_t>(size) * static_cast<size_t>(size);
  for (int i = 0; i < kStampShapeCount; ++i) {
    const HCURSOR cursor = CursorOf(StampShapeAt(i).cursor);
    for (int g = 0; g < 2; ++g) {
      SelectObj sel(mem.get(), grounds[g].bitmap.get());
      RECT all{0, 0, size, size};
      FillRect(mem.get(), &all, static_cast<HBRUSH>(GetStockObject(g ? WHITE_BRUSH : BLACK_BRUSH)));
      DrawIconEx(mem.get(), 0, 0, cursor, size, size, 0, nullptr, DI_NORMAL);
    }
    GdiFlush();
    AlphaFromTwoGrounds(static_cast<const uint8_t*>(grounds[0].bits), static_cast<const uint8_t*>(grounds[1].bits),
                        static_cast<uint8_t*>(picture.bits), pixels);
    ImageList_Add(images_.get(), picture.bitmap.get(), nullptr);
  }
  return images_.get();
}

void StampCommands::PaintGlyph(HDC dc, const RECT& r) {
  int w = 0, h = 0;
  ImageList_GetIconSize(StampImages(), &w, &h);
  ImageList_Draw(StampImages(), iconIndex_, dc, (r.left + r.right - w) / 2, (r.top + r.bottom - h) / 2,
                 ILD_TRANSPARENT);
}

void StampCommands::LoadChoice() {
  iconIndex_ = StoredStampIconIndex(settings_.LastIconIx);
  SelectStampCursor(settings_.LastCursorIx);
  if (OnGlyphChanged) OnGlyphChanged();
}

void StampCommands::SelectStampCursor(int tag) {
  if (const auto s = griv::SelectStampCursor(tag)) stamp_ = *s;
}

void StampCommands::PopupIconMenu(int x) {
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
  GetWindowRect(app_.Window(), &w);
  const int y = PopupIconMenuY(w.top, GetSystemMetrics(SM_CYSCREEN), app_.Dpi());
  const UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTBUTTON, x, y, 0, app_.Window(), nullptr);
  if (chosen >= CM_STAMPSHAPE0 && chosen < CM_STAMPSHAPE0 + kStampShapeCount) ChooseShape(int(chosen) - CM_STAMPSHAPE0);
}

void StampCommands::ChooseShape(int imageIndex) {
  const StampShape& shape = StampShapeAt(imageIndex);
  iconIndex_ = imageIndex;
  settings_.LastIconIx = imageIndex;
  settings_.LastCursorIx = shape.tag;
  if (SettingsStore* store = app_.Store()) {
    store->WriteInteger("LastIconIx", imageIndex);
    store->WriteInteger("LastCursorIx", shape.tag);
  }
  SelectStampCursor(shape.tag);
  armed_ = true;  // choosing a shape arms the next click at once
  if (OnGlyphChanged) OnGlyphChanged();
  app_.UpdateCommands();
}

void StampCommands::MeasureItem(MEASUREITEMSTRUCT& m) {
  int w = 0, h = 0;
  ImageList_GetIconSize(StampImages(), &w, &h);
  m.itemWidth = static_cast<UINT>(Scale(kShapeItemWidth, app_.Dpi()));
  m.itemHeight = static_cast<UINT>(h + Scale(2, app_.Dpi()));
}

void StampCommands::DrawItem(const DRAWITEMSTRUCT& d) {
  const bool selected = (d.itemState & ODS_SELECTED) != 0;
  FillRect(d.hDC, &d.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  int w = 0, h = 0;
  ImageList_GetIconSize(StampImages(), &w, &h);
  ImageList_Draw(StampImages(), static_cast<int>(d.itemData), d.hDC, d.rcItem.left + Scale(2, app_.Dpi()),
                 (d.rcItem.top + d.rcItem.bottom - h) / 2, ILD_TRANSPARENT);
}

bool StampCommands::MouseDown(int button, int x, int y) {
  if (!armed_) return false;
  if (button != 0) return true;  // armed: no panning either
  const HCURSOR cursor = stamp_.cursorId ? CursorOf(stamp_.cursor) : LoadCursorW(nullptr, IDC_ARROW);
  doc_.SaveUndo();
  // The full image gets the pointer where the click was, the view the same
  // pointer moved by the shape's offsets; the next rendering shows the full image's.
  ImageDocument& doc = doc_.Document();
  DrawCursorAt(doc.MutableFullImage(), cursor, x, y);
  DrawCursorAt(doc.MutableShownImage(), cursor, x + stamp_.offsetX, y + stamp_.offsetY);
  doc_.RepaintView();
  Cancel();
  return true;
}

void StampCommands::Cancel() {
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  if (armed_) {
    armed_ = false;
    app_.UpdateCommands();
  }
}

}  // namespace griv
