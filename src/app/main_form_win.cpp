#include "app/main_form_win.h"

#include "app/hand_off.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/jpeg_codec.h"
#include "app/settings_host_win.h"
#include "app/startup_rules.h"
#include "base/file_io.h"
#include "base/utf.h"
#include "capture/grab_win.h"
#include "capture/monitors_win.h"
#include "resource.h"
#include "shell/gen_msg_win.h"
#include "shell/help_win.h"
#include "shell/strings.h"
#include "shell/ui_win.h"

namespace griv {

namespace {
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kScreenCacheTimer = 2;
constexpr UINT kScreenCacheIdleMs = 5000;
constexpr UINT kShowBannerMessage = WM_APP + 1;
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

TagLineLook LookOf(const Branding& brand) {
  TagLineLook look;
  look.lines = brand.tagLines;
  look.hint = brand.captionHint;
  look.fontName = brand.taglineFontName;
  look.backColor = brand.taglineBackColor;
  look.fontColor = brand.taglineFontColor;
  const TagFontStyle style = TaglineFontStyle(brand.taglineFontBold, brand.taglineFontItalic);
  look.bold = style != TagFontStyle::Italic;
  look.italic = style != TagFontStyle::Bold;
  return look;
}
}  // namespace

TfrmCaptureForm::TfrmCaptureForm(HINSTANCE inst, std::string commandParam)
    : inst_(inst), commandParam_(std::move(commandParam)) {}

TfrmCaptureForm::~TfrmCaptureForm() { Destroy(); }

void TfrmCaptureForm::Create() {
  mainMenu_ = LoadMenuW(inst_, MAKEINTRESOURCEW(IDM_MAINMENU));
  accel_ = LoadAcceleratorsW(inst_, MAKEINTRESOURCEW(IDA_MAIN));
  WindowClass cls{kMainClassName, CS_DBLCLKS, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)};
  cls.icon = LoadIconW(inst_, MAKEINTRESOURCEW(IDI_MAINICON));
  cls.smallIcon = static_cast<HICON>(LoadImageW(inst_, MAKEINTRESOURCEW(IDI_MAINICON), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  CreateWin(cls, WS_EX_CONTROLPARENT, L"Grivanta", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
            640, 400, ApplicationWindow::Get(), mainMenu_);
  FormCreate();
}

LRESULT TfrmCaptureForm::WndProc(UINT m, WPARAM wp, LPARAM lp) {
  // After FormDestroy the window's last messages get the default handling.
  if (destroyed_) return DefaultProc(m, wp, lp);
  switch (m) {
    case WM_CAPTURE_FULL: CaptureFullScreen(); return 0;
    case WM_CAPTURE_ACTIVE: CaptureActiveWindow(); return 0;
    case WM_OPEN_HANDED_FILE: OpenHandedFile(); return 0;
    case WM_COPYDATA: {
      const auto* cd = reinterpret_cast<const COPYDATASTRUCT*>(lp);
      if (!cd || cd->dwData != kHandOffCopyData || !cd->lpData) return FALSE;
      const std::string name = HandedWideFileName({static_cast<const uint8_t*>(cd->lpData), cd->cbData});
      if (name.empty()) return FALSE;
      OpenHandedName(name);
      return TRUE;
    }
    case WM_SHOW_MAIN: RestoreMainWindow(); return 0;
    case WM_OPEN_WEBSITE: OpenWebSite(); return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp), HIWORD(wp) == 1 && lp == 0);
      return 0;
    case WM_SYSCOMMAND: {
      const UINT cmd = static_cast<UINT>(wp & 0xFFF0);
      if (cmd == SC_MINIMIZE || cmd == SC_CLOSE) {
        ShowWindow(Handle(), SW_HIDE);
        banner_.SetTagLineEnabled(false);
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
    case kShowBannerMessage:
      if (IsWindowVisible(Handle())) FormShow();
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
        banner_.Show();
        // Once more after the system has finished its own reordering.
        PostMessageW(Handle(), kShowBannerMessage, 0, 0);
      }
      return r;
    }
    case WM_TIMER:
      if (wp == kTimer1) Timer1Timer();
      if (wp == kScreenCacheTimer) {
        KillTimer(Handle(), kScreenCacheTimer);
        ReleaseScreenCache();
      }
      return 0;
    case WM_MEASUREITEM: {
      auto* mi = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      if (mi->CtlType != ODT_MENU) break;
      N39MeasureItem(*mi);
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* di = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (di->CtlType != ODT_MENU) break;
      DrawShapeItem(*di);
      return TRUE;
    }
    case WM_CHANGECBCHAIN:
      ClipboardChainChanged(reinterpret_cast<HWND>(wp), reinterpret_cast<HWND>(lp));
      return 0;
    case WM_DRAWCLIPBOARD:
      ClipboardChanged();
      return 0;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wp);
      toolBar_.SetDpi(dpi_);
      banner_.SetDpi(dpi_);
      auto* r = reinterpret_cast<RECT*>(lp);
      SetWindowPos(Handle(), nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_CLOSE:
      // Only the Exit commands and the system (end of session, a close request
      // from outside) get here; the close box hides through WM_SYSCOMMAND.
      Close();
      return 0;
    case WM_QUERYENDSESSION: return TRUE;
    case WM_ENDSESSION:
      if (wp && !closing_) {
        closing_ = true;
        FormCloseQuery();
        FormClose();
        FormDestroy();
      }
      return 0;
    case WM_DESTROY:
      closing_ = true;
      FormDestroy();
      PostQuitMessage(0);
      return 0;
    case WM_USER:  // posted after the tray menu closes
      return 0;
  }
  return WindowBase::WndProc(m, wp, lp);
}

// ---------------------------------------------------------------- start-up

void TfrmCaptureForm::FormCreate() {
  dpi_ = DpiOf(Handle());
  // The hot-key component is active from the start; the capture keys are added further down.
  shk1_ = std::make_unique<TSysHotKey>();
  shk1_->SetActive(true);
  shk1_->Loaded();
  shk1_->OnHotKey = [this](TSysHotKey&, int index) { shk1HotKey(index); };
  // The banner and its tag lines.
  splashTicks_ = 0;
  banner_.Create(Handle());
  bannerPresent_ = true;
  // Folders of the program and its help.
  exeFolder_ = ExeFolder();
  helpFile_ = exeFolder_ + "griv.chm";
  SetHelpFolder(exeFolder_);
  LoadBranding();
  // The data folder.
  if (IsPlatformNT()) {
    std::string appData = pbPath_.AppData;
    if (appData.empty()) {
      // No Shell Folders value: ask the shell rather than writing to the drive's root.
      wchar_t buf[MAX_PATH];
      if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, buf))) appData = Narrow(buf);
    }
    dataFolder_ = appData.empty() ? exeFolder_ : IncludeTrailingBackslash(appData) + "GRIV\\";
  } else {
    dataFolder_ = exeFolder_;
  }
  dataFolder_ = IncludeTrailingBackslash(dataFolder_);
  // The branding defaults file: used when it holds something, deleted when empty.
  Guarded([&] {
    const std::string ini = exeFolder_ + "KTCustom.ini";
    const int64_t size = FileSize(ini);
    if (size > 0) {
      auto bytes = ReadWholeFile(ini);
      customIni_ =
          std::make_unique<IniFile>(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    } else if (size == 0) {
      DeleteFileUtf8(ini);
    }
  });
  CreateChildren();
  nextClipboardViewer_ = SetClipboardViewer(Handle());
  printSetupEnabled_ = !ListPrinters().empty();
  dialogCaption_ = brand_.mainCaption + "   ";
  {
    WindowDC screen(nullptr);
    trueColorDisplay_ = GetDeviceCaps(screen.get(), NUMCOLORS) == -1;
  }
  des1_.SetCipherMode(TCipherMode::CBC);
  encryptedFiles_ = std::make_unique<EncryptedFiles>(static_cast<EncryptedFilesHost&>(*this));
  ResetZoom();
  areaCaptureDelay_ = 100;
  // The settings.
  try {
    store_ = std::make_unique<RegistrySettingsStore>(HKEY_CURRENT_USER, kSettingsKey);
  } catch (const ERegistryError&) {
    store_.reset();
  }
  LoadSettings();
  workFolder_ = IncludeTrailingBackslash(dataFolder_ + "ework");
  ForceDirectoriesUtf8(workFolder_);
  // Plain copies left by a run that was killed must not survive it; only one
  // instance runs, so nothing in the folder is in use.
  Guarded([&] { EmptyWorkFolder(); });
  customIni_.reset();
  // The window stays hidden when the message loop starts. The tray icon, with
  // the image commands disabled and no task-bar button:
  atiTray_ = std::make_unique<TAnimatedTrayIcon>(Handle());
  atiTray_->SetIcon(reinterpret_cast<HICON>(GetClassLongPtrW(Handle(), GCLP_HICONSM)));
  atiTray_->SetStyle(TTrayIconStyle::tsNormal);
  atiTray_->SetPopupMenu(trayMenu_);
  atiTray_->OnPopup = [this] { ppmTrayMenuPopup(); };
  atiTray_->OnDblClick = [this] { RestoreMainWindow(); };
  UpdateStatusPanels();
  atiTray_->SetActive(true);
  EnableImageCommands(false);
  TAnimatedTrayIcon::HideApplicationButton(ApplicationWindow::Get());
  RegisterCaptureHotKeys();
  TellRefusedHotKeys();
  ApplyWindowPosition();
  if (store_) settings_.LoadUseMonitor(*store_);
  monitorIndex_ = settings_.UseMonitor;
  UpdateMonitorItems();
  if (store_) settings_.LoadStampChoice(*store_);
  LoadStampChoice();
  SetTimer(Handle(), kTimer1, 2000, nullptr);
  // Without a task bar there is no tray to reach the program from.
  if (!FindWindowW(L"Shell_TrayWnd", nullptr)) ShowWindow(Handle(), SW_SHOWMINNOACTIVE);
  RunCommandLine();
  startupDone_ = true;
}

void TfrmCaptureForm::CreateChildren() {
  toolBar_.Create(Handle(), dpi_);
  statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, Handle(),
                               reinterpret_cast<HMENU>(IDC_STATUSBAR), inst_, nullptr);
  SetStatusText(0, "");  // a panel never set reads back as garbage under Wine
  view_.Create(Handle(), IDC_SCROLLBOX);
  SetStampGlyph();
  trayMenuRoot_.reset(LoadMenuW(inst_, MAKEINTRESOURCEW(IDM_TRAYMENU)));
  trayMenu_ = GetSubMenu(trayMenuRoot_.get(), 0);
  SetMenuDefaultItem(trayMenu_, CM_RESTORE, FALSE);  // what a double click does
  imageMenuRoot_.reset(LoadMenuW(inst_, MAKEINTRESOURCEW(IDM_IMAGEMENU)));
  imageMenu_ = GetSubMenu(imageMenuRoot_.get(), 0);
  commandUi_.Attach(Handle(), mainMenu_, trayMenu_, imageMenu_, &toolBar_);
  // Client area of 597 x 271 at 96 DPI below the menu.
  RECT r{0, 0, Scale(kClientWidth, dpi_), Scale(kClientHeight, dpi_)};
  AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_CONTROLPARENT);
  SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  std::string visit = brand_.webSite;
  for (const char* p : {"https://", "http://"})
    if (visit.rfind(p, 0) == 0) visit = visit.substr(strlen(p));
  ModifyMenuW(mainMenu_, CM_WEBLINK, MF_BYCOMMAND | MF_STRING, CM_WEBLINK, Widen("&Visit " + visit).c_str());
}

void TfrmCaptureForm::LoadSettings() {
  PrinterChoice printer;
  WinSettingsHost host(printer);
  host.dataFolder = dataFolder_;
  host.personalFolder = pbPath_.Personal;
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
  if (!settings_.PrintSetupEnabled) printSetupEnabled_ = false;
  ApplyPrinterChoice(printer);
  UpdateNotesCommands();
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
    case CommandRequest::CaptureFull: CaptureFullScreen(); break;
    case CommandRequest::OpenFile:
      RestoreMainWindow();
      ProcessMessages();
      OpenFileByName(commandParam_);
      break;
    default:  // the last active window is known only to a running instance
      break;
  }
}

// ---------------------------------------------------------------- showing and hiding

void TfrmCaptureForm::RestoreMainWindow() {
  if (startupDone_) shownSinceStartup_ = true;
  banner_.SetTagLineEnabled(true);
  banner_.ShowNextTagLine();
  ShowWindow(Handle(), IsIconic(Handle()) ? SW_RESTORE : SW_SHOWNORMAL);
  SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(Handle());
  SetFocus(Handle());
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TfrmCaptureForm::KeepScreenCacheAWhile() {
  // The screen's bitmap costs a screen's worth of memory: it is kept only
  // while captures follow each other.
  SetTimer(Handle(), kScreenCacheTimer, kScreenCacheIdleMs, nullptr);
}

void TfrmCaptureForm::GrowForFirstCapture() {
  // A size the user has given the window (a stored position) is kept.
  if (firstCaptureShown_ || hadStoredPosition_) return;
  firstCaptureShown_ = true;
  const Picture& shown = doc_.ShownImage();
  RECT view, win;
  GetClientRect(view_.Handle(), &view);
  GetWindowRect(Handle(), &win);
  if (shown.width <= view.right && shown.height <= view.bottom) return;
  const RECT work = WorkAreaOf(Handle());
  const int w = std::min<int>(win.right - win.left + std::max(0, shown.width - int(view.right)), work.right - work.left);
  const int h =
      std::min<int>(win.bottom - win.top + std::max(0, shown.height - int(view.bottom)), work.bottom - work.top);
  const int x = std::clamp<int>(win.left, work.left, work.right - w), y = std::clamp<int>(win.top, work.top, work.bottom - h);
  if (IsZoomed(Handle())) return;
  SetWindowPos(Handle(), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmCaptureForm::FormShow() {
  if (!bannerPresent_ || IsIconic(Handle())) return;
  banner_.Show();
  // The banner never keeps the keyboard: it stays with the window it lies over.
  const HWND focus = GetFocus();
  if (focus == banner_.Handle() || (focus && IsChild(banner_.Handle(), focus))) SetFocus(Handle());
}

void TfrmCaptureForm::FormHide() {
  if (bannerPresent_) banner_.Hide();
}

void TfrmCaptureForm::LoadBranding() {
  // A plain copy left behind by an older run is removed; the brand is decrypted in memory.
  const std::string leftover = IncludeTrailingBackslash(TempFolder()) + "~sys.dat";
  if (FileExists(leftover)) DeleteFileUtf8(leftover);
  brand_ = LoadBrandingFile(exeFolder_ + "griv.dat").branding;  // defaults when missing or unreadable
  const TagStart start =
      StartTagIndex(RegReadInteger(HKEY_CURRENT_USER, kSettingsKey, "NextTagToShow", 0), brand_.tagLines.size());
  if (start.writeBack) RegWriteInteger(HKEY_CURRENT_USER, kSettingsKey, "NextTagToShow", 0);
  banner_.ApplyLook(LookOf(brand_), start.index);
  SetApplicationTitle(brand_.mainCaption);
  SetWindowTextW(Handle(), Widen(brand_.mainCaption).c_str());
  SetWindowTextW(ApplicationWindow::Get(), Widen(brand_.mainCaption).c_str());
}

void TfrmCaptureForm::OpenWebSite() {
  OpenWithShell(brand_.webSite);
}

namespace {
// The About box's picture is kept as a JPEG: a bitmap would be a fifth of the program.
Picture SplashPicture(HINSTANCE inst) {
  HRSRC res = FindResourceW(inst, L"SPLASH", RT_RCDATA);
  HGLOBAL data = res ? LoadResource(inst, res) : nullptr;
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) return {};
  try {
    return DecodeJpeg(static_cast<const uint8_t*>(bytes), SizeofResource(inst, res));
  } catch (const std::exception&) {
    return {};
  }
}
}  // namespace

AboutInfo TfrmCaptureForm::AboutBoxInfo() const {
  return AboutInfo{brand_.mainCaption, brand_.webSite, SplashPicture(inst_)};
}

void TfrmCaptureForm::About1Click() {
  TdlgAbout about(inst_, AboutBoxInfo());
  about.ShowModal(Handle());
}

void TfrmCaptureForm::FormResize() {
  if (!Handle()) return;
  // The brand's borders are 96-DPI pixels, like every other size of the window.
  if (bannerPresent_ && IsWindowVisible(Handle()))
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

void TfrmCaptureForm::SetStatusText(int panel, const std::string& text, bool centred) {
  std::wstring w = Widen(text);
  if (centred) w = L"\t" + w;
  SendMessageW(statusBar_, SB_SETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(w.c_str()));
}

void TfrmCaptureForm::SaveWindowPosition() {
  if (!store_ || IsIconic(Handle()) || IsZoomed(Handle())) return;
  RECT r;
  GetWindowRect(Handle(), &r);
  store_->WriteString("MainPosn", FormatPosition({r.left, r.top, r.right - r.left, r.bottom - r.top}));
}

// ---------------------------------------------------------------- timer

void TfrmCaptureForm::Timer1Timer() {
  const HWND w = GetForegroundWindow();
  if (w && w != Handle()) {
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    if (!TrackableForegroundClass(Narrow(cls))) return;
    lastActiveWindow_ = w;
  }
  if (splashTicks_ > 3) return;
  if (splashTicks_ == 0) {
    splash_ = std::make_unique<TdlgAbout>(inst_, AboutBoxInfo());
    splash_->CreateSplash(ApplicationWindow::Get());
  }
  ++splashTicks_;
  if (splashTicks_ == 3) {
    splash_.reset();
    // Start-up's own showing ends here; a window the user has called up since stays.
    if (!shownSinceStartup_) ShowWindow(Handle(), SW_HIDE);
  }
}

// ---------------------------------------------------------------- monitors

void TfrmCaptureForm::UpdateMonitorItems() {
  const bool two = EnumerateMonitors().size() > 1;
  // Items and the separator above them are taken out of the menu when there is one monitor.
  const int sepPos = 5;
  if (!two) {
    monitorIndex_ = 0;
    if (monitorItemsShown_) {
      DeleteMenu(trayMenu_, CM_MONITOR2, MF_BYCOMMAND);
      DeleteMenu(trayMenu_, CM_MONITOR1, MF_BYCOMMAND);
      DeleteMenu(trayMenu_, sepPos, MF_BYPOSITION);
      monitorItemsShown_ = false;
    }
    return;
  }
  if (!monitorItemsShown_) {
    InsertMenuW(trayMenu_, sepPos, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    InsertMenuW(trayMenu_, sepPos + 1, MF_BYPOSITION | MF_STRING, CM_MONITOR1, L"Use Monitor &1");
    InsertMenuW(trayMenu_, sepPos + 2, MF_BYPOSITION | MF_STRING, CM_MONITOR2, L"Use Monitor &2");
    for (int id : {CM_MONITOR1, CM_MONITOR2}) {
      MENUITEMINFOW mi{sizeof mi};
      mi.fMask = MIIM_FTYPE;
      mi.fType = MFT_STRING | MFT_RADIOCHECK;
      SetMenuItemInfoW(trayMenu_, id, FALSE, &mi);
    }
    monitorItemsShown_ = true;
  }
  UpdateCommands();
}

void TfrmCaptureForm::mnuMonitor1Click(int tag) {
  monitorIndex_ = tag;
  UpdateCommands();
  if (store_) store_->WriteInteger("UseMonitor", tag);
}

// ---------------------------------------------------------------- exit

void TfrmCaptureForm::Exit1Click() {
  if (ConfirmExit()) Close();
}

bool TfrmCaptureForm::ConfirmExit() {
  const std::string check = store_ ? ReadStringOrFail(*store_, "CheckClose").value_or("") : "";
  if (check == "N") return true;
  const GenMsgResult r = TfrmGenMsg1::Ask(inst_, "Are you sure you wish to exit?", dialogCaption_);
  if (r.dontAskAgain && store_) store_->WriteString("CheckClose", "N");
  return r.yes;
}

void TfrmCaptureForm::Close() {
  if (closing_) return;
  if (!FormCloseQuery()) return;
  closing_ = true;
  FormClose();
  DestroyWindow(Handle());
}

bool TfrmCaptureForm::FormCloseQuery() {
  suppressPositionSave_ = true;
  return true;
}

void TfrmCaptureForm::FormClose() {
  Guarded([&] { EmptyWorkFolder(); });
  Guarded([&] {
    if (store_) settings_.Save(*store_);
  });
  Guarded([&] {
    if (store_) store_->WriteInteger("NextTagToShow", banner_.NextTagToShow());
  });
}

void TfrmCaptureForm::EmptyWorkFolder() {
  if (!DirectoryExists(workFolder_)) return;
  WIN32_FIND_DATAW fd;
  const HANDLE h = FindFirstFileW(Widen(workFolder_ + "*.*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  bool any = false;
  do {
    if (wcscmp(fd.cFileName, L".") != 0 && wcscmp(fd.cFileName, L"..") != 0) any = true;
  } while (!any && FindNextFileW(h, &fd));
  FindClose(h);
  if (!any) return;
  std::wstring from = Widen(workFolder_ + "*.*");
  from.push_back(L'\0');  // double terminator
  SHFILEOPSTRUCTW op{};
  op.hwnd = Handle();
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  SHFileOperationW(&op);
}

void TfrmCaptureForm::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  KillTimer(Handle(), kTimer1);
  ChangeClipboardChain(Handle(), nextClipboardViewer_);
  nextClipboardViewer_ = nullptr;
  suppressPositionSave_ = false;
  Guarded([&] {
    if (IsWindowVisible(Handle())) SaveWindowPosition();
  });
  atiTray_.reset();
  CloseHelp();
  if (shk1_) shk1_->ClearHotKeys();
  shk1_.reset();
  store_.reset();
  splash_.reset();
  bannerPresent_ = false;
}

// ---------------------------------------------------------------- hand-over from a second start

void TfrmCaptureForm::OpenHandedFile() {
  const std::string name = IncludeTrailingBackslash(TempFolder()) + kHandOffFileName;
  std::string handed;
  {
    UniqueFileHandle f(CreateFileW(Widen(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return;
    const DWORD size = GetFileSize(f.get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > 65536) return;
    if (!LockFileRegion(f.get(), 0, size ? size : 1)) return;
    std::string bytes(size, '\0');
    DWORD got = 0;
    const bool ok = size == 0 || (ReadFile(f.get(), bytes.data(), size, &got, nullptr) && got == size);
    UnlockFileRegion(f.get(), 0, size ? size : 1);
    if (!ok) return;
    handed = HandedFileName(bytes);
  }
  OpenHandedName(handed);
}

void TfrmCaptureForm::OpenHandedName(const std::string& handed) {
  if (handed.empty() || !FileExists(handed)) return;
  RestoreMainWindow();
  ProcessMessages();
  OpenFileByName(handed);
}

}  // namespace griv
