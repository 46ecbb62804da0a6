#include "capture/capture_commands_win.h"

#include "base/scope_exit.h"
#include "base/utf.h"
#include "capture/cap_area_win.h"
#include "capture/capture_commands.h"
#include "capture/grab_win.h"
#include "capture/monitors_win.h"
#include "capture/selection.h"
#include "ids_app.h"
#include "image/picture_area.h"
#include "ui/help_topics.h"
#include "ui/help_win.h"
#include "ui/modal_state.h"
#include "ui/system_path_win.h"
#include "ui/ui_win.h"

namespace griv {

namespace {
// Said for a selection without width or height, or a release of another button.
constexpr char kEmptySelectionMessage[] =
    "Hold the mouse buton down from the Upper Left corner\r\nto Lower Right corner of the area to be selected.  "
    "\r\nRelease mouse button when complete.  Try Again?";
// A spare picture buffer costs a screen's worth of memory: it is kept only
// while captures follow each other.
constexpr UINT_PTR kSpareTimer = 2;
constexpr UINT kSpareIdleMs = 5000;
ImageDocument* spareHolder = nullptr;  // the one document; it outlives the window and its timers

void CALLBACK ReleaseSpare(HWND w, UINT, UINT_PTR id, DWORD) {
  KillTimer(w, id);
  if (spareHolder) spareHolder->ReleaseSpare();
}

std::wstring MenuText(HMENU menu, UINT id) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, id, text, 128, MF_BYCOMMAND);
  return text;
}

int PositionOf(HMENU menu, UINT id) {
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i)
    if (GetMenuItemID(menu, i) == id) return i;
  return -1;
}
}  // namespace

bool ConsoleInFront() {
  wchar_t cls[256] = {};
  GetClassNameW(GetForegroundWindow(), cls, 256);
  return IsConsoleClass(Narrow(cls), IsPlatformNT());
}

void CaptureCommands::AddTo(CommandTable& table) {
  auto request = [this](Capture what) { return [this, what](int) { Request(what); }; };
  table.Add(CaptureCommandRules(), {{CM_CAPSCREENNOW, CM_CAPSCREENNOW, request(Capture::Full)},
                                    {CM_CAPACTIVENOW, CM_CAPACTIVENOW, request(Capture::ActiveWindow)},
                                    {CM_CAPAREANOW, CM_CAPAREANOW, request(Capture::SelectArea)},
                                    {CM_SELECTAREA, CM_SELECTAREA, request(Capture::SelectArea)},
                                    {CM_CROP, CM_CROP, request(Capture::Crop)},
                                    {CM_MONITOR1, CM_MONITOR2, [this](int id) { SetMonitor(id - CM_MONITOR1); }},
                                    {CM_SETSCREEN, CM_SETAREA, [this](int id) {
                                       settings_.SetSaveMode(id == CM_SETSCREEN ? "S" : "A");
                                       app_.UpdateCommands();
                                     }}});
  table.AddChecks([this](std::vector<CheckMark>& marks) {
    AddCaptureChecks(settings_.CaptureScreenChecked, monitorIndex_, marks);
  });
}

// ---------------------------------------------------------------- requests

bool CaptureCommands::Gate(const std::function<void()>& capture) {
  if (Modal().Shown() || busy_) return false;
  busy_ = true;
  ScopeExit done([&] { busy_ = false; });
  capture();
  return true;
}

void CaptureCommands::Request(Capture what) {
  Gate([&] {
    switch (what) {
      case Capture::Full: CaptureFullScreen(); break;
      case Capture::ActiveWindow: CaptureActiveWindow(); break;
      case Capture::Area: CaptureArea(); break;
      case Capture::SelectArea: SelectArea(); break;
      case Capture::Crop: {
        ImageDocument& doc = doc_.Document();
        doc.SetCropMode(true);
        ScopeExit reset([&] { doc.SetCropMode(false); });
        CaptureArea();
        break;
      }
    }
  });
}

void CaptureCommands::OnHotKey(int index) {
  if (ConsoleInFront()) return;
  HotKeysOff keys(app_);
  switch (index) {
    case 0: Request(settings_.CaptureScreenChecked ? Capture::Full : Capture::Area); break;
    case 1: Request(Capture::ActiveWindow); break;
    case 2: Request(Capture::SelectArea); break;
    default: break;
  }
}

bool CaptureCommands::TrackForeground() {
  const HWND w = GetForegroundWindow();
  if (w && w != app_.Window()) {
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    if (!TrackableForegroundClass(Narrow(cls))) return false;
    lastActiveWindow_ = w;
  }
  return true;
}

// ---------------------------------------------------------------- the captures

void CaptureCommands::NewPicture() {
  if (steps_.cancelStamping) steps_.cancelStamping();
  if (steps_.forgetFileName) steps_.forgetFileName();
  doc_.SaveUndo();
}

void CaptureCommands::CaptureFullScreen() {
  NewPicture();
  doc_.ResetZoom();
  Picture pic = doc_.Document().TakeSpare();  // a buffer of the same size fills without page faults
  const POINT origin = GrabMonitor(pic, monitorIndex_);
  if (settings_.InclMouse) DrawMouseCursor(pic, origin.x, origin.y);
  PresentCapture(std::move(pic));
  doc_.Document().SetStatusAction("Full Screen capture");
  doc_.ShowImageStatus();
}

// The capture becomes the image at 1:1, the window pops up and the automatic steps run in their order.
void CaptureCommands::PresentCapture(Picture pic) {
  KeepSpareAWhile();
  doc_.Document().SetFullImage(std::move(pic));
  doc_.RenderView(1.0);
  Recorded();
  app_.UpdateCommands();
  if (settings_.PopUp) doc_.PopUp(true);
  AutoCopy();
  AutoPrint();
  AutoSave();
  AutoEdit();
}

void CaptureCommands::CaptureActiveWindow() {
  if (steps_.cancelStamping) steps_.cancelStamping();
  const HWND target = lastActiveWindow_;
  if (!target || !IsWindow(target)) return;
  if (steps_.forgetFileName) steps_.forgetFileName();
  SetForegroundWindow(target);
  doc_.SaveUndo();
  doc_.ResetZoom();
  Picture pic = doc_.Document().TakeSpare();
  GrabWindow(target, pic);
  RECT r{};
  GetWindowRect(target, &r);
  if (settings_.InclMouse) DrawMouseCursor(pic, r.left, r.top);
  PresentCapture(std::move(pic));
  wchar_t title[255] = {};
  GetWindowTextW(target, title, 255);
  std::wstring t(title);
  if (t.size() > 254) t.resize(254);
  doc_.Document().SetStatusAction("Captured: [" + Narrow(t) + "]");
  doc_.ShowImageStatus();
}

void CaptureCommands::SelectArea() {
  const HWND window = app_.Window();
  const bool wasShown = IsWindowVisible(window) != FALSE;
  ShowWindow(window, SW_HIDE);
  CaptureArea();
  // An abandoned selection leaves the window as the user had it.
  if (wasShown && app_.Window() && !IsWindowVisible(window)) app_.RestoreMainWindow();
}

void CaptureCommands::CaptureArea() {
  ImageDocument& doc = doc_.Document();
  const bool crop = doc.CropMode();
  for (;;) {
    if (steps_.cancelStamping) steps_.cancelStamping();
    ProcessMessages();
    Sleep(200);  // a window that was just hidden must be gone from the screen
    doc_.SaveUndo();
    TfrmCapArea overlay(monitorIndex_, settings_.AdjustArea);
    KeepSpareAWhile();
    HWND help = nullptr;
    overlay.OnHelp = [&help] {
      help = ShowHelpContext(nullptr, kHelpAreaOverlay);
      // The overlay stays on top of everything: the help has to come above it.
      if (help) SetWindowPos(help, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    };
    const bool chosen = overlay.ShowModal();
    // Help read during the selection stays open, as an ordinary window again.
    if (help && IsWindow(help)) SetWindowPos(help, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!chosen || !app_.Window()) return;  // abandoned (or GRIV closed): the document stays as it was
    const Picture& frozen = overlay.FrozenScreen();
    const SelectedArea& sel = overlay.Selection();
    if (!sel.valid) {
      if (ShowMessage(app_.Window(), kEmptySelectionMessage, app_.DialogCaption(), MB_OKCANCEL | MB_ICONWARNING) == IDOK) continue;
      return;
    }
    Sleep(static_cast<DWORD>(areaCaptureDelay_));
    // Only now: an abandoned selection keeps the name for "Save".
    if (steps_.forgetFileName) steps_.forgetFileName();
    Picture part = CopyArea(frozen, sel.left, sel.top, sel.width, sel.height);
    // A crop is made on the zoomed view and keeps the image at its own scale;
    // an area of the screen is taken pixel for pixel.
    double ratio = crop ? doc.ZoomRatio() : 1.0;
    if (ratio == 0) ratio = 1;
    if (!crop) doc_.ResetZoom();
    if (ratio == 1) {
      doc.SetFullImage(std::move(part));
    } else {
      const PixelSize size = CropScaledSize(sel.width, sel.height, ratio);
      Picture full;
      full.Resize(size.width, size.height, part.bpp);
      StretchInto(part, full);
      doc.SetFullImage(std::move(full));
    }
    doc_.RenderView(ratio);
    if (crop) doc.NoteEdit();  // a part of the same picture
    else Recorded();
    break;
  }
  app_.UpdateCommands();
  if (settings_.PopUp) doc_.PopUp(!crop);
  AutoCopy();
  if (!crop) {
    AutoPrint();
    AutoSave();
    AutoEdit();
  }
  doc.SetStatusAction("Selected area captured");
  doc_.ShowImageStatus();
}

void CaptureCommands::AutoCopy() {
  if (settings_.AutoClipCopy && steps_.copy) steps_.copy();
}

void CaptureCommands::AutoPrint() {
  if (settings_.AutoPrint && steps_.print) steps_.print();
}

void CaptureCommands::AutoSave() {
  if (settings_.AutoSave && steps_.save) steps_.save();
}

void CaptureCommands::AutoEdit() {
  if (settings_.AutoEdit && steps_.edit) steps_.edit();
}

void CaptureCommands::KeepSpareAWhile() {
  spareHolder = &doc_.Document();
  if (app_.Window()) SetTimer(app_.Window(), kSpareTimer, kSpareIdleMs, &ReleaseSpare);
}

// ---------------------------------------------------------------- monitors

void CaptureCommands::Start(HMENU trayMenu) {
  monitorIndex_ = settings_.UseMonitor;
  UpdateMonitorItems(trayMenu);
}

void CaptureCommands::SetMonitor(int index) {
  monitorIndex_ = index;
  app_.UpdateCommands();
  if (SettingsStore* store = app_.Store()) store->WriteInteger("UseMonitor", index);
}

void CaptureCommands::UpdateMonitorItems(HMENU menu) {
  const bool two = EnumerateMonitors().size() > 1;
  if (!two) {
    monitorIndex_ = 0;
    const int at = PositionOf(menu, CM_MONITOR1);
    if (at >= 0) {
      // The separator above them goes with them.
      MENUITEMINFOW above{sizeof above};
      above.fMask = MIIM_FTYPE;
      const bool separator = at > 0 && GetMenuItemInfoW(menu, at - 1, TRUE, &above) && (above.fType & MFT_SEPARATOR);
      hidden_.position = separator ? at - 1 : at;
      for (int k = 0; k < 2; ++k) {
        hidden_.texts[k] = MenuText(menu, CM_MONITOR1 + k);
        DeleteMenu(menu, CM_MONITOR1 + k, MF_BYCOMMAND);
      }
      if (separator) DeleteMenu(menu, at - 1, MF_BYPOSITION);
    }
    return;
  }
  if (hidden_.position >= 0) {
    const UINT at = static_cast<UINT>(hidden_.position);
    InsertMenuW(menu, at, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    for (int k = 0; k < 2; ++k) {
      MENUITEMINFOW mi{sizeof mi};
      mi.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
      mi.fType = MFT_STRING | MFT_RADIOCHECK;
      mi.wID = static_cast<UINT>(CM_MONITOR1 + k);
      mi.dwTypeData = hidden_.texts[k].data();
      InsertMenuItemW(menu, at + 1 + k, TRUE, &mi);
    }
    hidden_.position = -1;
  }
  app_.UpdateCommands();
}

}  // namespace griv
