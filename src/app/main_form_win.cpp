#include "app/main_form_win.h"

#include <commctrl.h>
#include <shlobj.h>

#include "app/app_commands.h"
#include "app/hand_off.h"
#include "app/hand_off_win.h"
#include "app/settings_host_win.h"
#include "base/file_io.h"
#include "base/step_times_win.h"
#include "base/utf.h"
#include "capture/capture_commands.h"
#include "capture/monitors_win.h"
#include "ids_app.h"
#include "ids_markup.h"
#include "tray/tray_model.h"
#include "ui/gen_msg_win.h"
#include "ui/help_win.h"
#include "ui/modal_state.h"
#include "ui/system_path_win.h"
#include "tray/countdown_icon_win.h"
#include "ui/ui_win.h"

namespace griv {

namespace {
constexpr UINT_PTR kTimer1 = 1;  // 2 is the captures' spare buffer
constexpr UINT kShowBannerMessage = WM_APP + 1;
constexpr UINT kRunWaitingMessage = WM_APP + 2;  // a modal window closed while requests waited for it
constexpr int kClientWidth = 597, kClientHeight = 271;  // at 96 DPI
constexpr int kPanelWidths[4] = {50, 65, 65, 75};

// The hidden owner keeps the main window off the task bar, like an application window.
class ApplicationWindow : public WindowBase {
 public:
  static HWND Get() {
    static ApplicationWindow owner;
    if (!owner.Handle())
      owner.CreateWin({L"TApplication"}, WS_EX_TOOLWINDOW, L"Grivanta", WS_POPUP, 0, 0, 0, 0, nullptr);
    return owner.Handle();
  }
};
}  // namespace

TfrmCaptureForm::TfrmCaptureForm(HINSTANCE inst, std::string commandParam)
    : inst_(inst), commandParam_(std::move(commandParam)) {}

TfrmCaptureForm::~TfrmCaptureForm() {
  Modal().OnFree = nullptr;
  Destroy();
}

void TfrmCaptureForm::Create() {
  mainMenu_ = LoadMenuW(inst_, MAKEINTRESOURCEW(IDM_MAINMENU));
  accel_ = LoadAcceleratorsW(inst_, MAKEINTRESOURCEW(IDA_MAIN));
  WindowClass cls{kMainClassName, CS_DBLCLKS, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)};
  cls.icon = LoadIconW(inst_, MAKEINTRESOURCEW(IDI_MAINICON));
  cls.smallIcon = static_cast<HICON>(LoadImageW(inst_, MAKEINTRESOURCEW(IDI_MAINICON), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  CreateWin(cls, WS_EX_CONTROLPARENT, L"Grivanta", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
            640, 400, ApplicationWindow::Get(), mainMenu_);
  MarkStep("main window");
  FormCreate();
}

LRESULT TfrmCaptureForm::WndProc(UINT m, WPARAM wp, LPARAM lp) {
  // Before the features exist (the window's own creation) and after
  // FormDestroy the window's messages get the default handling.
  if (destroyed_ || !features_) return DefaultProc(m, wp, lp);
  switch (m) {
    case WM_CAPTURE_FULL: features_->capture.Request(Capture::Full); return 0;
    case WM_CAPTURE_ACTIVE: features_->capture.Request(Capture::ActiveWindow); return 0;
    case WM_OPEN_HANDED_FILE: OpenHandedName(ReadHandOffFile()); return 0;
    case WM_COPYDATA: {
      const std::string name = HandedCopyDataName(reinterpret_cast<const COPYDATASTRUCT*>(lp));
      if (name.empty()) return FALSE;
      OpenHandedName(name);
      return TRUE;
    }
    case WM_SHOW_MAIN: ShowRequested(); return 0;
    case WM_OPEN_WEBSITE: features_->help.OpenWebSite(); return 0;
    case kRunWaitingMessage: Modal().RunWaiting(); return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wp), reinterpret_cast<HWND>(lp), HIWORD(wp) == 1 && lp == 0);
      return 0;
    case WM_CHAR:
      if (features_->markup.Char(static_cast<wchar_t>(wp))) return 0;
      break;
    case WM_SYSCOMMAND: {
      const UINT cmd = static_cast<UINT>(wp & 0xFFF0);
      if (cmd == SC_MINIMIZE || cmd == SC_CLOSE) {
        ShowWindow(Handle(), SW_HIDE);
        if (banner_.Handle()) banner_.SetTagLineEnabled(false);
        // Once a run, so nobody takes the close box for the end of the program.
        if (cmd == SC_CLOSE && !closeNoticeShown_ && atiTray_)
          closeNoticeShown_ = atiTray_->ShowBalloon(
              brand_.mainCaption, brand_.mainCaption + " keeps running in the notification area. Use Exit to end it.");
        return 0;
      }
      break;
    }
    case WM_SHOWWINDOW:
      // The banner follows once the window is shown and active: showing it in
      // the middle of the activation leaves the keyboard with nobody under Wine.
      if (wp) PostMessageW(Handle(), kShowBannerMessage, 0, 0);
      else FormHide();
      break;
    case WM_ACTIVATE:
      // The banner stays above the title bar it lies on when the window comes back to the front.
      if (LOWORD(wp) != WA_INACTIVE && IsWindowVisible(Handle())) PostMessageW(Handle(), kShowBannerMessage, 0, 0);
      break;
    case WM_NCPAINT:
    case WM_NCACTIVATE: {
      // Whenever the title bar is drawn, the banner over it is too.
      const LRESULT r = DefaultProc(m, wp, lp);
      if (IsWindowVisible(Handle())) PostMessageW(Handle(), kShowBannerMessage, 0, 0);
      return r;
    }
    case kShowBannerMessage:
      if (IsWindowVisible(Handle())) FormShow(wp != 0);
      return 0;
    case WM_MOVE:
      DefaultProc(m, wp, lp);
      if (IsWindowVisible(Handle())) FormResize();
      return 0;
    case WM_EXITSIZEMOVE:
    case WM_WINDOWPOSCHANGED: {
      // A drag by the title bar can leave the banner under the window it lies on.
      const LRESULT r = DefaultProc(m, wp, lp);
      if (bannerPresent_ && IsWindowVisible(Handle()) && !IsIconic(Handle())) {
        FormResize();
        if (TfTop* banner = Banner()) banner->Show();
        // Once more after the system has finished its own reordering.
        PostMessageW(Handle(), kShowBannerMessage, 0, 0);
      }
      return r;
    }
    case WM_TIMER:
      if (wp == kTimer1) Timer1Timer();
      return 0;
    case WM_MEASUREITEM: {
      auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      if (mi->CtlType != ODT_MENU) break;
      features_->stamp.MeasureItem(*mi);
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (di->CtlType != ODT_MENU) break;
      features_->stamp.DrawItem(*di);
      return TRUE;
    }
    case WM_DEVMODECHANGE:
    case WM_SETTINGCHANGE:
    case WM_INITMENUPOPUP:  // the menus show what can be printed now
      features_->print.RecheckPrinter();
      break;
    case WM_CHANGECBCHAIN:
      features_->clipboard.ChainChanged(reinterpret_cast<HWND>(wp), reinterpret_cast<HWND>(lp));
      return 0;
    case WM_DRAWCLIPBOARD:
      features_->clipboard.Changed();
      return 0;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wp);
      toolBar_.SetDpi(dpi_);
      if (banner_.Handle()) banner_.SetDpi(dpi_);
      auto* r = reinterpret_cast<RECT*>(lp);
      SetWindowPos(Handle(), nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_CLOSE:
      // Only the Exit commands and the system (end of session, a close request
      // from outside) get here; the close box hides through WM_SYSCOMMAND.
      // A modal window that runs meanwhile goes with the window; what it was
      // to restore afterwards is then left alone (HotKeysOff).
      Close();
      return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
      if (wp && !closing_) {
        closing_ = true;
        suppressPositionSave_ = true;
        FormClose();
        FormDestroy();
      }
      return 0;
    case WM_DESTROY:
      closing_ = true;
      FormDestroy();
      PostQuitMessage(0);
      return 0;
    case WM_USER:
      // Posted after the tray menu closes. A capture made from its loop
      // shows the window while the menu holds the pointer, and the display
      // can stack the title bar over the banner then: it is shown afresh.
      if (IsWindowVisible(Handle())) PostMessageW(Handle(), kShowBannerMessage, 1, 0);
      return 0;
  }
  return WindowBase::WndProc(m, wp, lp);
}

// ---------------------------------------------------------------- commands and keys

void TfrmCaptureForm::OnCommand(int id, HWND control, bool fromAccelerator) {
  // Menus and buttons cannot be clicked while greyed; a short cut key can.
  // A printer added since the state was last set counts.
  if (fromAccelerator && !commands_.Enabled(id, kMainMenu, commands_.State())) {
    features_->print.RecheckPrinter();
    if (!commands_.Enabled(id, kMainMenu, commands_.State())) return;
  }
  if (control && control == toolBar_.ButtonHandle(id) && !toolBar_.IsEnabled(id)) return;
  commands_.Run(id);
}

void TfrmCaptureForm::UpdateCommands() {
  commandUi_.Apply(commands_);
  SetStatusPanel(1, settings_.AutoPrint ? "Auto Print" : "", true);
  SetStatusPanel(2, settings_.AutoSave ? "Auto Save" : "", true);
  SetStatusPanel(3, settings_.PrintNotes ? "Print Notes" : "");
  if (atiTray_)
    atiTray_->SetHint(features_->delayed.Counting()
                          ? CountdownTip(dialogCaption_, features_->delayed.SecondsLeft())
                          : FitTrayTip(dialogCaption_ + settings_.AutoPrintHint + settings_.AutoSaveHint, hotKeys_.Note()));
}

bool TfrmCaptureForm::PreviewKeyDown(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  if (!Handle() || !features_ || (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd))) return false;
  bool handled = false;
  FormKeyDown(msg.wParam, (GetKeyState(VK_CONTROL) & 0x8000) != 0, handled);
  return handled;
}

void TfrmCaptureForm::FormKeyDown(WPARAM key, bool ctrl, bool& handled) {
  handled = true;
  Features& f = *features_;
  if (key == VK_F1 && !ctrl) {
    f.help.ShowHelpContents();
  } else if (key == VK_ESCAPE && !ctrl) {
    f.stamp.Cancel();
    f.markup.KeyDown(key);
  } else if (ctrl && (key == VK_PRIOR || key == VK_NEXT)) {
    f.files.OpenAdjacentNumbered(key == VK_NEXT);
  } else if (ctrl && key == 'N') {
    f.print.PrintWithNotesKey();
  } else if (ctrl && key == VK_F2) {
    if (commands_.Enabled(CM_SAVEAS, kMainMenu, commands_.State())) f.files.AutoSaveImage();
  } else {
    handled = f.markup.KeyDown(key);  // tool letters, and the keys of a text being typed
  }
}

// ---------------------------------------------------------------- start-up

void TfrmCaptureForm::FormCreate() {
  dpi_ = DpiOf(Handle());
  Modal().OnFree = [this] {
    if (Handle()) PostMessageW(Handle(), kRunWaitingMessage, 0, 0);
  };
  // The hot-key component is active from the start; the capture keys are added further down.
  hotKeys_.Create();
  MarkStep("hot-key component");
  // The banner and its tag lines: the window is made when first shown.
  splashTicks_ = 0;
  bannerPresent_ = true;
  // Folders of the program and its help.
  folders_.exe = ExeFolder();
  SetHelpFolder(folders_.exe);
  LoadBranding();
  MarkStep("brand file");
  // The data folder.
  std::string& data = folders_.data;
  if (IsPlatformNT()) {
    std::string appData = ShellFolder("AppData");
    if (appData.empty()) {
      // No Shell Folders value: ask the shell rather than writing to the drive's root.
      wchar_t buf[MAX_PATH];
      if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, buf))) appData = Narrow(buf);
    }
    data = appData.empty() ? folders_.exe : IncludeTrailingBackslash(appData) + "GRIV\\";
  } else {
    data = folders_.exe;
  }
  data = IncludeTrailingBackslash(data);
  folders_.work = IncludeTrailingBackslash(data + "ework");
  // The branding defaults file: used when it holds something, deleted when empty.
  Guarded([&] {
    const std::string ini = folders_.exe + "KTCustom.ini";
    const int64_t size = FileSize(ini);
    if (size > 0) {
      auto bytes = ReadWholeFile(ini);
      customIni_ =
          std::make_unique<IniFile>(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    } else if (size == 0) {
      DeleteFileUtf8(ini);
    }
  });
  MarkStep("folders");
  features_ = std::make_unique<Features>(static_cast<AppWindow&>(*this), viewCommands_, settings_, brand_, folders_, hotKeys_, hkSet_, commands_);
  commands_.Add(WindowCommandRules(), {{CM_RESTORE, CM_RESTORE, [this](int) { ShowRequested(); }},
                                       {CM_EXIT, CM_EXIT, [this](int) { Exit1Click(); }},
                                       {CM_CLOSE, CM_CLOSE, [this](int) { Exit1Click(); }}});
  MarkStep("features");
  CreateChildren();
  MarkStep("tool bar, status bar, view, menus");
  features_->clipboard.JoinViewerChain();
  MarkStep("clipboard viewer");
  dialogCaption_ = brand_.mainCaption + "   ";
  viewCommands_.ResetZoom();
  // The settings.
  try {
    store_ = std::make_unique<RegistrySettingsStore>(HKEY_CURRENT_USER, kSettingsKey);
  } catch (const ERegistryError&) {
    store_.reset();
  }
  LoadSettings();
  MarkStep("settings");
  ForceDirectoriesUtf8(folders_.work);
  // Plain copies left by a run that was killed must not survive it; only one
  // instance runs, so nothing in the folder is in use.
  Guarded([&] { EmptyFolder(folders_.work, Handle()); });
  customIni_.reset();
  MarkStep("work folder");
  // The window stays hidden when the message loop starts. The tray icon, with
  // the image commands disabled and no task-bar button:
  atiTray_ = std::make_unique<TAnimatedTrayIcon>(Handle());
  atiTray_->SetIcon(reinterpret_cast<HICON>(GetClassLongPtrW(Handle(), GCLP_HICONSM)));
  atiTray_->SetStyle(TTrayIconStyle::tsNormal);
  atiTray_->SetPopupMenu(trayMenu_);
  atiTray_->OnPopup = [this] { features_->capture.UpdateMonitorItems(trayMenu_); };
  atiTray_->OnDblClick = [this] { ShowRequested(); };
  // The keys first: the icon is added once, with the tip that names them.
  hotKeys_.Register(settings_.CaptureHotKeyTexts());
  MarkStep("hot keys");
  UpdateCommands();
  MarkStep("commands applied");
  atiTray_->SetActive(true);
  TAnimatedTrayIcon::HideApplicationButton(ApplicationWindow::Get());
  MarkStep("tray icon");
  // One balloon at start-up when another program holds a capture key.
  const std::string refused = hotKeys_.RefusedBalloon(settings_.CaptureHotKeyTexts());
  if (!refused.empty()) atiTray_->ShowBalloon(brand_.mainCaption, refused);
  ApplyWindowPosition();
  viewCommands_.KeepWindowSize(hadStoredPosition_);
  if (store_) settings_.LoadUseMonitor(*store_);
  features_->capture.Start(trayMenu_);
  features_->delayed.Attach(trayMenu_);
  features_->delayed.OnCountdown = [this](int left) {
    if (!atiTray_) return;
    if (left > 0) {
      const UniqueIcon count = MakeCountdownIcon(left, GetSystemMetrics(SM_CXSMICON));
      if (count) atiTray_->SetIcon(count.get());  // the icon keeps a copy
    } else {
      atiTray_->SetIcon(reinterpret_cast<HICON>(GetClassLongPtrW(Handle(), GCLP_HICONSM)));
    }
    UpdateCommands();
  };
  if (store_) settings_.LoadStampChoice(*store_);
  features_->stamp.LoadChoice();
  features_->markup.LoadSettings();
  SetTimer(Handle(), kTimer1, 2000, nullptr);
  // Without a task bar there is no tray to reach the program from.
  if (!FindWindowW(L"Shell_TrayWnd", nullptr)) ShowWindow(Handle(), SW_SHOWMINNOACTIVE);
  RunCommandLine();
  startupDone_ = true;
  MarkStep("window place, monitors, timer, command line");
}

void TfrmCaptureForm::CreateChildren() {
  toolBar_.Create(Handle(), dpi_);
  toolBar_.SetGlyph(CM_STAMPICON, [this](HDC dc, const RECT& r, bool, int) { features_->stamp.PaintGlyph(dc, r); });
  features_->stamp.OnGlyphChanged = [this] { toolBar_.Repaint(CM_STAMPICON); };
  toolBar_.SetGlyph(CM_MARKUPTOOLS, [this](HDC dc, const RECT& r, bool on, int) { features_->markup.PaintGlyph(dc, r, on); });
  features_->markup.OnGlyphChanged = [this] { toolBar_.Repaint(CM_MARKUPTOOLS); };
  statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, Handle(),
                               reinterpret_cast<HMENU>(IDC_STATUSBAR), inst_, nullptr);
  SetStatusPanel(0, "");  // a panel never set reads back as garbage under Wine
  view_.Create(Handle(), IDC_SCROLLBOX);
  view_.SetMarkup(&features_->markup);
  trayMenuRoot_.reset(LoadMenuW(inst_, MAKEINTRESOURCEW(IDM_TRAYMENU)));
  trayMenu_ = GetSubMenu(trayMenuRoot_.get(), 0);
  SetMenuDefaultItem(trayMenu_, CM_RESTORE, FALSE);  // what a double click does
  imageMenuRoot_.reset(LoadMenuW(inst_, MAKEINTRESOURCEW(IDM_IMAGEMENU)));
  imageMenu_ = GetSubMenu(imageMenuRoot_.get(), 0);
  viewCommands_.Attach(view_, imageMenu_);
  commandUi_.Attach(Handle(), mainMenu_, trayMenu_, imageMenu_, &toolBar_);
  // Client area of 597 x 271 at 96 DPI below the menu.
  RECT r{0, 0, Scale(kClientWidth, dpi_), Scale(kClientHeight, dpi_)};
  AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_CONTROLPARENT);
  SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ModifyMenuW(mainMenu_, CM_WEBLINK, MF_BYCOMMAND | MF_STRING, CM_WEBLINK, Widen(VisitMenuText(brand_.visitUrl)).c_str());
  for (HMENU m : {mainMenu_, trayMenu_, imageMenu_}) WidenShortCutGaps(m, dpi_);
}

void TfrmCaptureForm::LoadSettings() {
  PrinterChoice printer;
  WinSettingsHost host(printer);
  host.dataFolder = folders_.data;
  host.personalFolder = ShellFolder("Personal");
  host.windowsFolder = WindowsFolder();
  {
    const std::string outlook = RegReadString(
        HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE", "", "");
    host.outlookPresent = !outlook.empty() && FileExists(outlook);
  }
  if (store_) {
    settings_.Load(*store_, customIni_.get(), host);
    settings_.LoadHotKeys(*store_);
  } else {
    MemorySettingsStore none;
    settings_.Load(none, customIni_.get(), host);
  }
  features_->print.Start(printer);  // the commands are applied once the keys are in
  features_->history.Start();
}

void TfrmCaptureForm::ApplyWindowPosition() {
  RECT wr;
  GetWindowRect(Handle(), &wr);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  std::string posn;
  if (store_) posn = ReadStringOrFail(*store_, "MainPosn").value_or("");
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  auto centre = [&] {
    RECT cur;
    GetWindowRect(Handle(), &cur);
    const Bounds c = CentreOnScreen(screenW, screenH, cur.right - cur.left, cur.bottom - cur.top);
    SetWindowPos(Handle(), nullptr, c.left, c.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  hadStoredPosition_ = !posn.empty();
  if (!posn.empty()) {
    Bounds b = ParsePosition(posn);
    // A stored size too small to use (garbage in the registry) keeps the designed size.
    if (b.width < 100 || b.height < 60) {
      b.width = w;
      b.height = h;
    }
    suppressPositionSave_ = true;
    SetWindowPos(Handle(), nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
    suppressPositionSave_ = false;
  } else {
    centre();
  }
  RECT now;
  GetWindowRect(Handle(), &now);
  std::vector<MonitorRect> mons;
  for (const auto& m : EnumerateMonitors()) mons.push_back(m.bounds);
  if (!CornerOnAnyMonitor(now.left, now.top, mons)) centre();
}

void TfrmCaptureForm::RunCommandLine() {
  switch (ParseCommandParam(commandParam_, [](const std::string& f) { return FileExists(f); })) {
    case CommandRequest::CaptureFull: features_->capture.Request(Capture::Full); break;
    case CommandRequest::OpenFile:
      RestoreMainWindow();
      ProcessMessages();
      features_->files.OpenFileByName(commandParam_);
      break;
    default:  // the last active window is known only to a running instance
      break;
  }
}

void TfrmCaptureForm::LoadBranding() {
  // A plain copy left behind by an older run is removed; the brand is decrypted in memory.
  const std::string leftover = IncludeTrailingBackslash(TempFolder()) + "~sys.dat";
  if (FileExists(leftover)) DeleteFileUtf8(leftover);
  brand_ = LoadBrandingFile(folders_.exe + "griv.dat").branding;  // defaults when missing or unreadable
  const TagStart start =
      StartTagIndex(RegReadInteger(HKEY_CURRENT_USER, kSettingsKey, "NextTagToShow", 0), brand_.tagLines.size());
  if (start.writeBack) RegWriteInteger(HKEY_CURRENT_USER, kSettingsKey, "NextTagToShow", 0);
  bannerStart_ = start.index;
  SetApplicationTitle(brand_.mainCaption);
  SetWindowTextW(Handle(), Widen(brand_.mainCaption).c_str());
  SetWindowTextW(ApplicationWindow::Get(), Widen(brand_.mainCaption).c_str());
}

TfTop* TfrmCaptureForm::Banner() {
  if (!bannerPresent_) return nullptr;
  if (!banner_.Handle()) {
    try {
      banner_.Create(Handle());
    } catch (const std::runtime_error&) {
      bannerPresent_ = false;  // the window goes without it
      return nullptr;
    }
    banner_.ApplyLook(TagLineLookOf(brand_), bannerStart_);
  }
  return &banner_;
}

void TfrmCaptureForm::Timer1Timer() {
  if (!features_->capture.TrackForeground()) return;
  if (splashTicks_ > 3) return;
  if (splashTicks_ == 0) features_->help.ShowSplash(ApplicationWindow::Get());
  ++splashTicks_;
  if (splashTicks_ == 3) {
    features_->help.CloseSplash();
    // Start-up's own showing ends here; a window the user has called up since stays.
    if (!shownSinceStartup_) ShowWindow(Handle(), SW_HIDE);
  }
}

// ---------------------------------------------------------------- showing and hiding

void TfrmCaptureForm::ShowRequested() {
  if (!BringModalToFront()) RestoreMainWindow();
}

void TfrmCaptureForm::RestoreMainWindow() {
  if (!Handle()) return;
  if (startupDone_) shownSinceStartup_ = true;
  if (TfTop* banner = Banner()) {
    banner->SetTagLineEnabled(true);
    banner->ShowNextTagLine();
  }
  ShowWindow(Handle(), IsIconic(Handle()) ? SW_RESTORE : SW_SHOWNORMAL);
  SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(Handle());
  SetFocus(Handle());
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  // Also when the window was shown and active already (no show or activation follows).
  PostMessageW(Handle(), kShowBannerMessage, 1, 0);
}

void TfrmCaptureForm::FormShow(bool anew) {
  if (!bannerPresent_ || IsIconic(Handle()) || !Banner()) return;
  if (anew) banner_.ShowAnew();
  else banner_.Show();
  // The banner never keeps the keyboard: it stays with the window it lies over.
  const HWND focus = GetFocus();
  if (focus == banner_.Handle() || (focus && IsChild(banner_.Handle(), focus))) SetFocus(Handle());
}

void TfrmCaptureForm::FormHide() {
  if (banner_.Handle()) banner_.Hide();
}

void TfrmCaptureForm::FormResize() {
  if (!Handle()) return;
  // The brand's borders are 96-DPI pixels, like every other size of the window.
  if (bannerPresent_ && IsWindowVisible(Handle()) && Banner())
    banner_.PlaceOver(Handle(), Scale(brand_.leftBorder, dpi_), Scale(brand_.rightBorder, dpi_));
  RECT rc;
  GetClientRect(Handle(), &rc);
  const int top = toolBar_.Height();
  if (toolBar_.Handle()) MoveWindow(toolBar_.Handle(), 0, 0, rc.right, top, TRUE);
  int sbh = 0;
  if (statusBar_) {
    SendMessageW(statusBar_, WM_SIZE, 0, 0);
    RECT sr;
    GetWindowRect(statusBar_, &sr);
    sbh = sr.bottom - sr.top;
  }
  if (view_.Handle()) MoveWindow(view_.Handle(), 0, top, rc.right, std::max(0L, rc.bottom - top - sbh), TRUE);
  if (!suppressPositionSave_) {
    LayoutStatusPanels();
    SaveWindowPosition();
  }
}

void TfrmCaptureForm::LayoutStatusPanels() {
  if (!statusBar_) return;
  RECT rc;
  GetClientRect(statusBar_, &rc);
  const int w1 = Scale(kPanelWidths[1], dpi_), w2 = Scale(kPanelWidths[2], dpi_), w3 = Scale(kPanelWidths[3], dpi_);
  const int w0 = std::max(0, static_cast<int>(rc.right) - w1 - w2 - w3);
  int edges[4] = {w0, w0 + w1, w0 + w1 + w2, -1};
  SendMessageW(statusBar_, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
}

void TfrmCaptureForm::SetStatusPanel(int panel, const std::string& text, bool centred) {
  if (!statusBar_) return;
  std::wstring w = Widen(text);
  if (centred) w = L"\t" + w;
  SendMessageW(statusBar_, SB_SETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(w.c_str()));
}

void TfrmCaptureForm::SetStatusText(const std::string& text) {
  SetStatusPanel(0, text);
  // Said at once: the command that sets it may keep the window busy a while.
  if (statusBar_) UpdateWindow(statusBar_);
}

void TfrmCaptureForm::SaveWindowPosition() {
  if (!store_ || IsIconic(Handle()) || IsZoomed(Handle())) return;
  RECT r;
  GetWindowRect(Handle(), &r);
  store_->WriteString("MainPosn", FormatPosition({r.left, r.top, r.right - r.left, r.bottom - r.top}));
}

// ---------------------------------------------------------------- hand-over from a second start

void TfrmCaptureForm::OpenHandedName(const std::string& handed) {
  if (handed.empty() || !FileExists(handed)) return;
  // While a modal window runs (a Save As, the options) the picture must not
  // change under it: the file opens once it has closed.
  Modal().WhenFree([this, handed] {
    Guarded([&] {
      if (!Handle()) return;
      RestoreMainWindow();
      ProcessMessages();
      features_->files.OpenFileByName(handed);
    });
  });
  BringModalToFront();
}

// ---------------------------------------------------------------- exit

void TfrmCaptureForm::Exit1Click() {
  const std::string check = store_ ? ReadStringOrFail(*store_, "CheckClose").value_or("") : "";
  if (check != "N") {
    // Owned by the window when it is shown, which has the keyboard back after "No".
    const HWND owner = IsWindowVisible(Handle()) ? Handle() : nullptr;
    const GenMsgResult r = TfrmGenMsg1::Ask(inst_, owner, "Are you sure you wish to exit?", dialogCaption_);
    if (r.dontAskAgain && store_) store_->WriteString("CheckClose", "N");
    if (!r.yes) return;
  }
  Close();
}

void TfrmCaptureForm::Close() {
  if (closing_ || !Handle()) return;
  suppressPositionSave_ = true;
  closing_ = true;
  FormClose();
  DestroyWindow(Handle());
}

void TfrmCaptureForm::FormClose() {
  // The picture's changes are stored and every capture is on disk before the end.
  Guarded([&] {
    if (features_) features_->history.Exit();
  });
  Guarded([&] { EmptyFolder(folders_.work, Handle()); });
  Guarded([&] {
    if (store_) settings_.Save(*store_);
  });
  Guarded([&] {
    if (store_) store_->WriteInteger("NextTagToShow", banner_.Handle() ? banner_.NextTagToShow() : bannerStart_);
  });
}

void TfrmCaptureForm::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  KillTimer(Handle(), kTimer1);
  if (features_) features_->clipboard.LeaveViewerChain();
  suppressPositionSave_ = false;
  Guarded([&] {
    if (IsWindowVisible(Handle())) SaveWindowPosition();
  });
  atiTray_.reset();
  CloseHelp();
  hotKeys_.Destroy();
  store_.reset();
  if (features_) features_->help.CloseSplash();
  bannerPresent_ = false;
}

}  // namespace griv
