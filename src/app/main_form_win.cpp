#include "app/main_form_win.h"

#include "app/hand_off.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windowsx.h>

#include "app/app_win.h"
#include "app/settings_host_win.h"
#include "base/file_io.h"
#include "base/utf.h"
#include "capture/monitors_win.h"
#include "resource.h"
#include "shell/gen_msg_win.h"
#include "shell/strings.h"
#include "shell/windowed_component_win.h"

namespace griv {

namespace {
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kShowBannerMessage = WM_APP + 1;
constexpr int kClientWidth = 597, kClientHeight = 271;  // at 96 DPI
constexpr int kPanelWidths[4] = {50, 65, 65, 75};
const wchar_t kOwnerClass[] = L"TApplication";

// The hidden owner keeps the main window off the task bar, like an application window.
HWND ApplicationWindow(HINSTANCE inst) {
  static HWND owner = nullptr;
  if (owner) return owner;
  WNDCLASSEXW wc{sizeof wc};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = inst;
  wc.lpszClassName = kOwnerClass;
  RegisterClassExW(&wc);
  owner = CreateWindowExW(WS_EX_TOOLWINDOW, kOwnerClass, L"Grivanta", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, inst,
                          nullptr);
  return owner;
}
}  // namespace

TfrmCaptureForm::TfrmCaptureForm(HINSTANCE inst, std::string commandParam)
    : inst_(inst), commandParam_(std::move(commandParam)) {}

TfrmCaptureForm::~TfrmCaptureForm() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void TfrmCaptureForm::Create() {
  WNDCLASSEXW wc{sizeof wc};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = StaticWndProc;
  wc.hInstance = inst_;
  wc.hIcon = LoadIconW(inst_, MAKEINTRESOURCEW(IDI_MAINICON));
  wc.hIconSm = static_cast<HICON>(LoadImageW(inst_, MAKEINTRESOURCEW(IDI_MAINICON), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainClassName;
  RegisterClassExW(&wc);

  mainMenu_ = LoadMenuW(inst_, MAKEINTRESOURCEW(IDM_MAINMENU));
  accel_ = LoadAcceleratorsW(inst_, MAKEINTRESOURCEW(IDA_MAIN));
  hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kMainClassName, L"Grivanta", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                          CW_USEDEFAULT, CW_USEDEFAULT, 640, 400, ApplicationWindow(inst_), mainMenu_, inst_, this);
  if (!hwnd_) throw std::runtime_error("Unable to create the main window");
  FormCreate();
}

LRESULT CALLBACK TfrmCaptureForm::StaticWndProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  TfrmCaptureForm* self;
  if (m == WM_NCCREATE) {
    self = static_cast<TfrmCaptureForm*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = w;
    SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<TfrmCaptureForm*>(GetWindowLongPtrW(w, GWLP_USERDATA));
  }
  // After FormDestroy the window's last messages get the default handling.
  if (!self || !self->hwnd_) return DefWindowProcW(w, m, wp, lp);
  LRESULT r = 0;
  bool handled = false;
  Guarded([&] {
    r = self->WndProc(m, wp, lp);
    handled = true;
  });
  return handled ? r : DefWindowProcW(w, m, wp, lp);
}

LRESULT TfrmCaptureForm::WndProc(UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_CAPTURE_FULL:
      CaptureFullScreen();
      return 0;
    case WM_CAPTURE_ACTIVE:
      CaptureActiveWindow();
      return 0;
    case WM_OPEN_HANDED_FILE:
      OpenHandedFile();
      return 0;
    case WM_SHOW_MAIN:
      RestoreMainWindow();
      return 0;
    case WM_OPEN_WEBSITE:
      OpenWebSite();
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wp));
      return 0;
    case WM_SYSCOMMAND: {
      UINT cmd = static_cast<UINT>(wp & 0xFFF0);
      if (cmd == SC_MINIMIZE || cmd == SC_CLOSE) {
        ShowWindow(hwnd_, SW_HIDE);
        banner_.SetTagLineEnabled(false);
        return 0;
      }
      return DefWindowProcW(hwnd_, m, wp, lp);
    }
    case WM_SHOWWINDOW:
      // The banner follows once the window is shown and active: showing it in
      // the middle of the activation leaves the keyboard with nobody under Wine.
      if (wp) PostMessageW(hwnd_, kShowBannerMessage, 0, 0);
      else FormHide();
      return DefWindowProcW(hwnd_, m, wp, lp);
    case WM_ACTIVATE:
      // The banner stays above the title bar it lies on when the window comes back to the front.
      if (LOWORD(wp) != WA_INACTIVE && IsWindowVisible(hwnd_)) PostMessageW(hwnd_, kShowBannerMessage, 0, 0);
      return DefWindowProcW(hwnd_, m, wp, lp);
    case kShowBannerMessage:
      if (IsWindowVisible(hwnd_)) FormShow();
      return 0;
    case WM_SIZE:
      FormResize();
      return 0;
    case WM_MOVE:
      DefWindowProcW(hwnd_, m, wp, lp);
      if (IsWindowVisible(hwnd_)) FormResize();
      return 0;
    case WM_TIMER:
      if (wp == kTimer1) Timer1Timer();
      return 0;
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wp) == scrollBox_) {
        POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (pt.x == -1 && pt.y == -1) {
          pt = {0, 0};
          ClientToScreen(scrollBox_, &pt);
        }
        ShowImageMenu(pt);
        return 0;
      }
      return DefWindowProcW(hwnd_, m, wp, lp);
    case WM_CHANGECBCHAIN:
      if (reinterpret_cast<HWND>(wp) == nextClipboardViewer_)
        nextClipboardViewer_ = reinterpret_cast<HWND>(lp);
      else if (nextClipboardViewer_)
        SendMessageW(nextClipboardViewer_, m, wp, lp);
      return 0;
    case WM_DRAWCLIPBOARD:
      if (nextClipboardViewer_) SendMessageW(nextClipboardViewer_, m, wp, lp);
      return 0;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wp);
      toolBar_.SetDpi(dpi_);
      auto* r = reinterpret_cast<RECT*>(lp);
      SetWindowPos(hwnd_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_CLOSE:
      // Only the Exit commands and the system (end of session, a close request
      // from outside) get here; the close box hides through WM_SYSCOMMAND.
      Close();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
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
  return DefWindowProcW(hwnd_, m, wp, lp);
}

// ---------------------------------------------------------------- start-up

void TfrmCaptureForm::FormCreate() {
  dpi_ = DpiOf(hwnd_);
  SetComponentExceptionHandler([](std::exception_ptr e) {
    try {
      std::rethrow_exception(e);
    } catch (...) {
      HandleCurrentException();
    }
  });
  // The hot-key component is active in the layout; its keys are added in step 14.
  shk1_ = std::make_unique<TSysHotKey>();
  shk1_->SetActive(true);
  shk1_->Loaded();
  shk1_->OnHotKey = [this](TSysHotKey&, int index) { shk1HotKey(index); };
  // 1. banner and tag lines
  splashTicks_ = 0;
  banner_.Create(hwnd_);
  bannerPresent_ = true;
  // 2. folders of the program and its help
  exeFolder_ = ExeFolder();
  helpFile_ = exeFolder_ + "griv.hlp";
  // 3. brand
  LoadBranding();
  // 4. data folder
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
  // 5. branding defaults file
  Guarded([&] {
    const std::string ini = exeFolder_ + "KTCustom.ini";
    int64_t size = FileSize(ini);
    if (size > 0) {
      auto bytes = ReadWholeFile(ini);
      customIni_ = std::make_unique<IniFile>(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    } else if (size == 0) {
      DeleteFileUtf8(ini);
    }
  });
  // 6. the window's children; clipboard viewer chain
  CreateChildren();
  nextClipboardViewer_ = SetClipboardViewer(hwnd_);
  // 7. printer setup needs a printer
  bool havePrinter = !ListPrinters().empty();
  EnableMenuItem(mainMenu_, CM_PRINTSETUP, MF_BYCOMMAND | (havePrinter ? MF_ENABLED : MF_GRAYED));
  toolBar_.Enable(CM_PRINTSETUP, havePrinter);
  // 8. dialog caption
  dialogCaption_ = brand_.mainCaption + "   ";
  // 9. image state
  {
    WindowDC screen(nullptr);
    trueColorDisplay_ = GetDeviceCaps(screen.get(), NUMCOLORS) == -1;
  }
  des1_.SetCipherMode(TCipherMode::CBC);
  encryptedFiles_ = std::make_unique<EncryptedFiles>(*this);
  ResetZoom();
  areaCaptureDelay_ = 100;
  // 10./11. settings
  try {
    store_ = std::make_unique<RegistrySettingsStore>(HKEY_CURRENT_USER, kSettingsKey);
  } catch (const ERegistryError&) {
    store_.reset();
  }
  LoadSettings();
  workFolder_ = IncludeTrailingBackslash(dataFolder_ + "ework");
  ForceDirectoriesUtf8(workFolder_);
  customIni_.reset();
  // 12. The window stays hidden when the message loop starts.
  // 13. tray icon; no task-bar button
  atiTray_ = std::make_unique<TAnimatedTrayIcon>(hwnd_);
  atiTray_->SetIcon(reinterpret_cast<HICON>(GetClassLongPtrW(hwnd_, GCLP_HICONSM)));
  atiTray_->SetStyle(TTrayIconStyle::tsNormal);
  atiTray_->SetPopupMenu(trayMenu_);
  atiTray_->OnPopup = [this] { ppmTrayMenuPopup(); };
  atiTray_->OnDblClick = [this] { atiTrayDblClick(); };
  UpdateStatusPanels();
  atiTray_->SetActive(true);
  EnableImageCommands(false);
  TAnimatedTrayIcon::HideApplicationButton(ApplicationWindow(inst_));
  // 14. hot keys
  RegisterCaptureHotKeys();
  // 15. position
  ApplyWindowPosition();
  // 16. monitor
  if (store_) settings_.LoadUseMonitor(*store_);
  monitorIndex_ = settings_.UseMonitor;
  UpdateMonitorItems();
  // 18. stamping choice
  if (store_) settings_.LoadStampChoice(*store_);
  // 19.
  SetTimer(hwnd_, kTimer1, 2000, nullptr);
  // 20.
  RunCommandLine();
}

void TfrmCaptureForm::CreateChildren() {
  toolBar_.Create(hwnd_, inst_, dpi_);
  statusBar_ = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, hwnd_,
                               reinterpret_cast<HMENU>(IDC_STATUSBAR), inst_, nullptr);
  CreateScrollBox();
  trayMenuRoot_.reset(LoadMenuW(inst_, MAKEINTRESOURCEW(IDM_TRAYMENU)));
  trayMenu_ = GetSubMenu(trayMenuRoot_.get(), 0);
  imageMenuRoot_.reset(LoadMenuW(inst_, MAKEINTRESOURCEW(IDM_IMAGEMENU)));
  imageMenu_ = GetSubMenu(imageMenuRoot_.get(), 0);
  // The tool buttons start in the state of their menu items.
  for (int id : {CM_SAVE, CM_SENDMAIL, CM_PRINTSETUP, CM_PRINTPREVIEW, CM_PRINT, CM_UNDO, CM_COPY, CM_PASTE,
                 CM_CLEAR, CM_CROP})
    toolBar_.Enable(id, false);
  // Client area of 597 x 271 at 96 DPI below the menu.
  RECT r{0, 0, Scale(kClientWidth, dpi_), Scale(kClientHeight, dpi_)};
  AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_CONTROLPARENT);
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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
    std::string outlook = RegReadString(HKEY_LOCAL_MACHINE,
                                        "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE", "", "");
    host.outlookPresent = !outlook.empty() && FileExists(outlook);
  }
  if (store_) {
    settings_.Load(*store_, customIni_.get(), host);
    settings_.LoadHotKeys(*store_);
  } else {
    MemorySettingsStore none;
    settings_.Load(none, customIni_.get(), host);
  }
  if (!settings_.PrintSetupEnabled) {
    EnableMenuItem(mainMenu_, CM_PRINTSETUP, MF_BYCOMMAND | MF_GRAYED);
    toolBar_.Enable(CM_PRINTSETUP, false);
  }
  // " Send To Editor" is enabled exactly when an editor is configured.
  EnableMenuItem(imageMenu_, CM_SENDTOEDITOR,
                 MF_BYCOMMAND | (settings_.ImageEditor.empty() ? MF_GRAYED : MF_ENABLED));
  SetMenuCheck(CM_AUTOPRINT, settings_.AutoPrint);
  SetMenuCheck(CM_AUTOSAVE, settings_.AutoSave);
  UpdateNotesCommands();
}

void TfrmCaptureForm::ApplyWindowPosition() {
  RECT wr;
  GetWindowRect(hwnd_, &wr);
  int w = wr.right - wr.left, h = wr.bottom - wr.top;
  std::string posn;
  if (store_) posn = ReadStringOrFail(*store_, "MainPosn").value_or("");
  const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
  auto centre = [&] {
    RECT cur;
    GetWindowRect(hwnd_, &cur);
    Bounds c = CentreOnScreen(screenW, screenH, cur.right - cur.left, cur.bottom - cur.top);
    SetWindowPos(hwnd_, nullptr, c.left, c.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  if (!posn.empty()) {
    Bounds b = ParsePosition(posn);
    // A stored size too small to use (garbage in the registry) keeps the designed size.
    if (b.width < 100 || b.height < 60) {
      b.width = w;
      b.height = h;
    }
    suppressPositionSave_ = true;
    SetWindowPos(hwnd_, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
    suppressPositionSave_ = false;
  } else {
    centre();
  }
  RECT now;
  GetWindowRect(hwnd_, &now);
  std::vector<MonitorRect> mons;
  for (const auto& m : EnumerateMonitors()) mons.push_back(m.bounds);
  if (!CornerOnAnyMonitor(now.left, now.top, mons)) centre();
}

void TfrmCaptureForm::RunCommandLine() {
  if (commandParam_ == "\\F") {
    CaptureFullScreen();
  } else if (!commandParam_.empty() && FileExists(commandParam_)) {
    RestoreMainWindow();
    ProcessMessages();
    OpenFileByName(commandParam_);
  }
}

// ---------------------------------------------------------------- showing and hiding

void TfrmCaptureForm::RestoreMainWindow() {
  banner_.SetTagLineEnabled(true);
  banner_.ShowNextTagLine();
  ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOWNORMAL);
  SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(hwnd_);
  SetFocus(hwnd_);
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TfrmCaptureForm::FormShow() {
  if (!bannerPresent_) return;
  banner_.Show();
  // The banner never keeps the keyboard: it stays with the window it lies over.
  HWND focus = GetFocus();
  if (focus == banner_.Handle() || (focus && IsChild(banner_.Handle(), focus))) SetFocus(hwnd_);
}

void TfrmCaptureForm::FormHide() {
  if (bannerPresent_) banner_.Hide();
}

void TfrmCaptureForm::LoadBranding() {
  // A plain copy left behind by an older run is removed; the brand is decrypted in memory.
  const std::string leftover = IncludeTrailingBackslash(TempFolder()) + "~sys.dat";
  if (FileExists(leftover)) DeleteFileUtf8(leftover);
  brand_ = LoadBrandingFile(exeFolder_ + "griv.dat").branding;  // defaults when missing or unreadable
  TagStart start = StartTagIndex(RegReadInteger(HKEY_CURRENT_USER, kSettingsKey, "NextTagToShow", 0),
                                 brand_.tagLines.size());
  if (start.writeBack) RegWriteInteger(HKEY_CURRENT_USER, kSettingsKey, "NextTagToShow", 0);
  banner_.ApplyBranding(brand_, start.index);
  SetApplicationTitle(brand_.mainCaption);
  SetWindowTextW(hwnd_, Widen(brand_.mainCaption).c_str());
  SetWindowTextW(ApplicationWindow(inst_), Widen(brand_.mainCaption).c_str());
}

void TfrmCaptureForm::OpenWebSite() {
  ShellExecuteW(GetDesktopWindow(), L"Open", Widen(brand_.webSite).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TfrmCaptureForm::About1Click() {
  TdlgAbout about(inst_, AboutInfo{brand_.mainCaption, brand_.webSite});
  about.ShowModal(hwnd_);
}

void TfrmCaptureForm::FormResize() {
  if (!hwnd_) return;
  // The brand's borders are 96-DPI pixels, like every other size of the window.
  if (bannerPresent_ && IsWindowVisible(hwnd_))
    banner_.PlaceOver(hwnd_, Scale(brand_.leftBorder, dpi_), Scale(brand_.rightBorder, dpi_));
  RECT rc;
  GetClientRect(hwnd_, &rc);
  int top = toolBar_.Height();
  if (toolBar_.Handle()) MoveWindow(toolBar_.Handle(), 0, 0, rc.right, top, TRUE);
  int sbh = 0;
  if (statusBar_) {
    SendMessageW(statusBar_, WM_SIZE, 0, 0);
    RECT sr;
    GetWindowRect(statusBar_, &sr);
    sbh = sr.bottom - sr.top;
  }
  if (scrollBox_) MoveWindow(scrollBox_, 0, top, rc.right, std::max(0L, rc.bottom - top - sbh), TRUE);
  if (!suppressPositionSave_) {
    LayoutStatusPanels();
    SaveWindowPosition();
  }
}

void TfrmCaptureForm::LayoutStatusPanels() {
  if (!statusBar_) return;
  RECT rc;
  GetClientRect(statusBar_, &rc);
  int w1 = Scale(kPanelWidths[1], dpi_), w2 = Scale(kPanelWidths[2], dpi_), w3 = Scale(kPanelWidths[3], dpi_);
  int w0 = std::max(0, static_cast<int>(rc.right) - w1 - w2 - w3);
  int edges[4] = {w0, w0 + w1, w0 + w1 + w2, -1};
  SendMessageW(statusBar_, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
}

void TfrmCaptureForm::SetStatusText(int panel, const std::string& text, bool centred) {
  statusTexts_[panel] = text;
  std::wstring w = Widen(text);
  if (centred) w = L"\t" + w;
  SendMessageW(statusBar_, SB_SETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(w.c_str()));
}

void TfrmCaptureForm::SaveWindowPosition() {
  if (!store_ || IsIconic(hwnd_) || IsZoomed(hwnd_)) return;
  RECT r;
  GetWindowRect(hwnd_, &r);
  store_->WriteString("MainPosn", FormatPosition({r.left, r.top, r.right - r.left, r.bottom - r.top}));
}

// ---------------------------------------------------------------- timer

void TfrmCaptureForm::Timer1Timer() {
  HWND w = GetForegroundWindow();
  if (w && w != hwnd_) {
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    std::string name = UpperCase(Narrow(cls));
    if (name == "SYSTABCONTROL32" || name.rfind("TRAY", 0) == 0 || name == "SHELL_TRAYWND") return;
    lastActiveWindow_ = w;
  }
  if (splashTicks_ > 3) return;
  if (splashTicks_ == 0) {
    splash_ = std::make_unique<TdlgAbout>(inst_, AboutInfo{brand_.mainCaption, brand_.webSite});
    splash_->CreateSplash();
  }
  ++splashTicks_;
  if (splashTicks_ == 3) {
    splash_.reset();
    ShowWindow(hwnd_, SW_HIDE);
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
  CheckMenuRadioItem(trayMenu_, CM_MONITOR1, CM_MONITOR2, monitorIndex_ == 0 ? CM_MONITOR1 : CM_MONITOR2,
                     MF_BYCOMMAND);
}

void TfrmCaptureForm::mnuMonitor1Click(int tag) {
  monitorIndex_ = tag;
  CheckMenuRadioItem(trayMenu_, CM_MONITOR1, CM_MONITOR2, tag == 0 ? CM_MONITOR1 : CM_MONITOR2, MF_BYCOMMAND);
  if (store_) store_->WriteInteger("UseMonitor", tag);
}

void TfrmCaptureForm::ppmTrayMenuPopup() { UpdateMonitorItems(); }

void TfrmCaptureForm::ShowImageMenu(POINT pt) {
  TrackPopupMenu(imageMenu_, TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd_, nullptr);
}

// ---------------------------------------------------------------- options toggles

void TfrmCaptureForm::SetMenuCheck(int id, bool on) {
  UINT f = MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED);
  CheckMenuItem(mainMenu_, id, f);
  if (trayMenu_) CheckMenuItem(trayMenu_, id, f);
  if (imageMenu_) CheckMenuItem(imageMenu_, id, f);
}

void TfrmCaptureForm::mnuAutoPrintClick() {
  settings_.SetAutoPrint(!settings_.AutoPrint);
  // " Send To Editor" is enabled exactly when an editor is configured.
  EnableMenuItem(imageMenu_, CM_SENDTOEDITOR,
                 MF_BYCOMMAND | (settings_.ImageEditor.empty() ? MF_GRAYED : MF_ENABLED));
  SetMenuCheck(CM_AUTOPRINT, settings_.AutoPrint);
  UpdateStatusPanels();
}

void TfrmCaptureForm::mnuAutoSaveClick() {
  settings_.SetAutoSave(!settings_.AutoSave, true);
  SetMenuCheck(CM_AUTOSAVE, settings_.AutoSave);
  UpdateStatusPanels();
}

void TfrmCaptureForm::mnuSWNotesClick() {
  settings_.PrintNotes = !settings_.PrintNotes;
  UpdateNotesCommands();
}

void TfrmCaptureForm::mnuSetScreenClick() { settings_.SetSaveMode("S"); }
void TfrmCaptureForm::mnuSetAreaClick() { settings_.SetSaveMode("A"); }

void TfrmCaptureForm::UpdateNotesCommands() {
  SetMenuCheck(CM_SWNOTES, settings_.PrintNotes);
  UpdateStatusPanels();
}

void TfrmCaptureForm::UpdateStatusPanels() {
  SetStatusText(1, settings_.AutoPrint ? "Auto Print" : "", true);
  SetStatusText(2, settings_.AutoSave ? "Auto Save" : "", true);
  SetStatusText(3, settings_.PrintNotes ? "Print Notes" : "");
  if (atiTray_) atiTray_->SetHint(dialogCaption_ + settings_.AutoPrintHint + settings_.AutoSaveHint);
}

// ---------------------------------------------------------------- hot keys

void TfrmCaptureForm::RegisterCaptureHotKeys() {
  const std::string texts[3] = {settings_.HotKeyFull, settings_.HotKeyActive, settings_.HotKeyArea};
  for (int i = 0; i < 3; ++i) {
    // A damaged stored text would grab a key such as Backspace system-wide; use the default instead.
    std::string t = EffectiveHotKeyText(i, texts[i]);
    shk1_->AddHotKey(HotKeyTextToKey(t), HotKeyTextToModifiers(t));
  }
}

void TfrmCaptureForm::RemoveCaptureHotKeys() {
  for (int i = 2; i >= 0; --i)
    if (i < shk1_->Count()) shk1_->DeleteHotKey(i);
}

bool TfrmCaptureForm::IsConsoleForeground() {
  wchar_t cls[256] = {};
  GetClassNameW(GetForegroundWindow(), cls, 256);
  return SameText(Narrow(cls), IsPlatformNT() ? "ConsoleWindowClass" : "tty");
}

void TfrmCaptureForm::shk1HotKey(int index) {
  if (IsConsoleForeground()) return;
  shk1_->SetActive(false);
  if (captureBusy_) return;
  captureBusy_ = true;
  struct Done {
    TfrmCaptureForm* f;
    ~Done() {
      f->shk1_->SetActive(true);
      f->captureBusy_ = false;
    }
  } done{this};
  switch (index) {
    case 0:
      if (settings_.CaptureScreenChecked) CaptureFullScreen();
      else CaptureArea();
      break;
    case 1:
      CaptureActiveWindow();
      break;
    case 2:
      btnSelectClick();
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------- commands

void TfrmCaptureForm::OnCommand(int id) {
  switch (id) {
    case CM_EXIT:
    case CM_CLOSE:
      Exit1Click();
      break;
    case CM_RESTORE:
      mnuRestoreClick();
      break;
    case CM_AUTOPRINT:
      mnuAutoPrintClick();
      break;
    case CM_AUTOSAVE:
      mnuAutoSaveClick();
      break;
    case CM_SWNOTES:
      mnuSWNotesClick();
      break;
    case CM_MONITOR1:
      mnuMonitor1Click(0);
      break;
    case CM_MONITOR2:
      mnuMonitor1Click(1);
      break;
    case CM_SETSCREEN:
      mnuSetScreenClick();
      break;
    case CM_SETAREA:
      mnuSetAreaClick();
      break;
    case CM_CAPSCREENNOW:
      CaptureFullScreen();
      break;
    case CM_CAPACTIVENOW:
      CaptureActiveWindow();
      break;
    case CM_CAPAREANOW:
    case CM_SELECTAREA:
      btnSelectClick();
      break;
    case CM_OPENFILE:
      mnuOpenFileClick();
      break;
    case CM_SAVE:
      Save1Click();
      break;
    case CM_SAVEAS:
      SaveAs1Click();
      break;
    case CM_SAVEASSHOWN:
      SaveAs2Click();
      break;
    case CM_UNDO:
      mnuUndoClick();
      break;
    case CM_CLEAR:
      Clear1Click();
      break;
    case CM_CROP:
      btnCropClick();
      break;
    case CM_GREY:
      mOptGreyClick();
      break;
    case CM_SAVEENCRYPTED:
      encryptedFiles_->mnuSaveEncryptedClick();
      break;
    case CM_ENCRYPTFILE:
      encryptedFiles_->EncryptaFile1Click();
      break;
    case CM_OPENENCRYPTED:
      encryptedFiles_->OpenanEncryptedFile1Click();
      break;
    case CM_ABOUT:
      About1Click();
      break;
    case CM_WEBLINK:
    case CM_VISIT1:
      OpenWebSite();
      break;
    default:
      if (id >= CM_ZMI01 && id <= CM_ZMI10) zmiClick(id - CM_ZMI01 + 1);
      else if (id >= CM_ZMO01 && id <= CM_ZMO10) zmoClick(id - CM_ZMO01 + 1);
      break;
  }
}

bool TfrmCaptureForm::PreviewKeyDown(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  if (!hwnd_ || (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd))) return false;
  bool handled = false;
  FormKeyDown(msg.wParam, (GetKeyState(VK_CONTROL) & 0x8000) != 0, handled);
  return handled;
}

// ---------------------------------------------------------------- exit

void TfrmCaptureForm::Exit1Click() {
  if (ConfirmExit()) Close();
}

bool TfrmCaptureForm::ConfirmExit() {
  std::string check = store_ ? ReadStringOrFail(*store_, "CheckClose").value_or("") : "";
  if (check == "N") return true;
  GenMsgResult r = TfrmGenMsg1::Ask(inst_, "Are you sure you wish to exit?", dialogCaption_);
  if (r.dontAskAgain && store_) store_->WriteString("CheckClose", "N");
  return r.yes;
}

void TfrmCaptureForm::Close() {
  if (closing_) return;
  if (!FormCloseQuery()) return;
  closing_ = true;
  FormClose();
  DestroyWindow(hwnd_);
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
  HANDLE h = FindFirstFileW(Widen(workFolder_ + "*.*").c_str(), &fd);
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
  op.hwnd = hwnd_;
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  SHFileOperationW(&op);
}

void TfrmCaptureForm::FormDestroy() {
  if (!hwnd_) return;
  KillTimer(hwnd_, kTimer1);
  ChangeClipboardChain(hwnd_, nextClipboardViewer_);
  nextClipboardViewer_ = nullptr;
  suppressPositionSave_ = false;
  Guarded([&] {
    if (IsWindowVisible(hwnd_)) SaveWindowPosition();
  });
  atiTray_.reset();
  if (shk1_) {
    shk1_->ClearHotKeys();
    shk1_.reset();
  }
  store_.reset();
  splash_.reset();
  bannerPresent_ = false;
  hwnd_ = nullptr;
}

// ---------------------------------------------------------------- hand-over from a second start

void TfrmCaptureForm::OpenHandedFile() {
  const std::string name = IncludeTrailingBackslash(TempFolder()) + kHandOffFileName;
  std::string handed;
  {
    UniqueFileHandle f(CreateFileW(Widen(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return;
    DWORD size = GetFileSize(f.get(), nullptr);
    if (size == INVALID_FILE_SIZE || size > 65536) return;
    if (!LockFileRegion(f.get(), 0, size ? size : 1)) return;
    std::string bytes(size, '\0');
    DWORD got = 0;
    bool ok = size == 0 || (ReadFile(f.get(), bytes.data(), size, &got, nullptr) && got == size);
    UnlockFileRegion(f.get(), 0, size ? size : 1);
    if (!ok) return;
    handed = HandedFileName(bytes);
  }
  if (handed.empty() || !FileExists(handed)) return;
  RestoreMainWindow();
  ProcessMessages();
  OpenFileByName(handed);
}



}  // namespace griv
