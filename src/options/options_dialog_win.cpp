#include "options/options_dialog_win.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include "ui/file_dialogs_win.h"
#include "base/file_io.h"
#include "base/system_dll_win.h"
#include "base/utf.h"
#include "ids_options.h"
#include "ui/browse_folder_win.h"
#include "base/folder_path.h"
#include "ui/help_topics.h"
#include "ui/help_win.h"
#include "base/strings.h"
#include "ui/ui_win.h"

namespace griv {

namespace {

constexpr int kClientWidth = 426, kClientHeight = 303;
constexpr int kAllTabs = -1;
constexpr const wchar_t* kTabCaptions[] = {L"Capture Options", L"Print Options", L"Save Options", L"Other Options"};

// Where each control sits, in 96-DPI pixels of the client area, and on which tab.
struct ControlPlace {
  int id, tab, x, y, w, h;
  const char* hint;
};
// clang-format off
constexpr ControlPlace kPlaces[] = {
    {IDC_SET_TABS,            kAllTabs,   6,   6, 414, 256, nullptr},
    {IDC_SET_HELP,            kAllTabs,   8, 271,  75,  25, nullptr},
    {IDOK,                    kAllTabs, 262, 271,  75,  25, nullptr},
    {IDCANCEL,                kAllTabs, 345, 271,  75,  25, nullptr},
    // Capture Options
    {IDC_SET_INCLMOUSE,       0,  20,  40, 170,  20, nullptr},
    {IDC_SET_POPUP,           0,  20,  62, 170,  20, nullptr},
    {IDC_SET_CLIPGROUP,       0, 194,  34, 212,  72, nullptr},
    {IDC_SET_WATCHCLIPS,      0, 204,  54, 198,  20, nullptr},
    {IDC_SET_CLIPCOPY,        0, 204,  78, 198,  20, nullptr},
    {IDC_SET_HOTKEYS_LABEL,   0,  20, 114, 120,  16, nullptr},
    {IDC_SET_RESET,           0, 226, 108, 180,  24, nullptr},
    {IDC_SET_HKFULL_LABEL,    0,  20, 136, 200,  16, nullptr},
    {IDC_SET_HKFULL,          0,  20, 152, 304,  22, nullptr},
    {IDC_SET_CHGFULL,         0, 330, 151,  76,  24, nullptr},
    {IDC_SET_HKACTIVE_LABEL,  0,  20, 176, 200,  16, nullptr},
    {IDC_SET_HKACTIVE,        0,  20, 192, 304,  22, nullptr},
    {IDC_SET_CHGACTIVE,       0, 330, 191,  76,  24, nullptr},
    {IDC_SET_HKAREA_LABEL,    0,  20, 216, 200,  16, nullptr},
    {IDC_SET_HKAREA,          0,  20, 232, 304,  22, nullptr},
    {IDC_SET_CHGAREA,         0, 330, 231,  76,  24, nullptr},
    // Print Options
    {IDC_SET_PRTFULL,         1,  20,  40, 180,  20, "Image will be printed close to the full width or height of page"},
    {IDC_SET_PRTZOOM,         1,  20,  62, 180,  20, "The image will be printed at the zoom level shown"},
    {IDC_SET_PRTBEST,         1,  20,  84, 180,  20, "The image will be printed to fit appropriately on the page"},
    {IDC_SET_NOTES,           1, 216,  40, 190,  20, nullptr},
    {IDC_SET_PRTDATE,         1, 216,  62, 190,  20, nullptr},
    {IDC_SET_EJECT,           1, 216,  84, 190,  20, "This is required for some network printers."},
    {IDC_SET_AUTOORIENT,      1,  20, 116, 386,  20, nullptr},
    {IDC_SET_AUTOPRINT,       1,  20, 140, 386,  20, nullptr},
    {IDC_SET_DOSPRINT,        1,  20, 176, 386,  20, nullptr},
    {IDC_SET_PRINTWITH,       1,  40, 205,  70,  16, nullptr},
    {IDC_SET_ARIAL,           1, 112, 202, 110,  20, nullptr},
    {IDC_SET_SYSTEM,          1, 226, 202, 170,  20, nullptr},
    // Save Options
    {IDC_SET_AUTOSAVE,        2,  20,  40, 300,  20, nullptr},
    {IDC_SET_SAVEPATH_LABEL,  2,  20,  74, 150,  16, nullptr},
    {IDC_SET_SAVEPATH,        2,  20,  92, 350,  22, "This is the default path to save images"},
    {IDC_SET_BROWSEPATH,      2, 376,  91,  30,  24, "Browse to find folder"},
    {IDC_SET_EXT_LABEL,       2,  20, 134, 110,  16, nullptr},
    {IDC_SET_EXT,             2, 134, 131,  80, 120, "This is the default file extension"},
    {IDC_SET_PREFIX_LABEL,    2,  20, 168, 110,  16, nullptr},
    {IDC_SET_PREFIX,          2, 134, 165, 160,  22, "The prefix to use when auto saving images"},
    {IDC_SET_NEXTNO_LABEL,    2,  20, 202, 110,  16, nullptr},
    {IDC_SET_NEXTNO,          2, 134, 199,  80,  22, "This is teh next number to be assigned to an auto saved image"},
    {IDC_SET_ENCDES,          2,  20, 240, 386,  20, "Older versions of GRIV open only DES files; AES files are far safer"},
    // Other Options
    {IDC_SET_EDITOR_LABEL,    3,  20,  40, 150,  16, nullptr},
    {IDC_SET_EDITOR,          3,  20,  58, 350,  22, "This program is used to edit images"},
    {IDC_SET_BROWSEEDITOR,    3, 376,  57,  30,  24, "Browse for Editor Program"},
    {IDC_SET_AUTOSEND,        3,  20,  94, 386,  20, nullptr},
    {IDC_SET_EMAIL_LABEL,     3,  20, 134, 100,  16, nullptr},
    {IDC_SET_USEOUTLOOK,      3,  36, 152, 370,  20, nullptr},
};
// clang-format on

constexpr int kHotKeyBoxes[kCaptureHotKeyCount] = {IDC_SET_HKFULL, IDC_SET_HKACTIVE, IDC_SET_HKAREA};

TfrmSettings* g_active = nullptr;  // the dialog whose keys the message filter previews

std::string TextOf(HWND w) {
  std::wstring t(static_cast<size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
  t.resize(static_cast<size_t>(GetWindowTextW(w, t.data(), static_cast<int>(t.size()))));
  return Narrow(t);
}

// Tab pages take the look of the tab they lie on where the system draws tabs with a theme.
void UseTabBackground(HWND page) {
  using Fn = HRESULT WINAPI(HWND, DWORD);
  static const auto fn = SystemProc<Fn>(L"uxtheme.dll", "EnableThemeDialogTexture");
  constexpr DWORD ETDT_ENABLETAB = 0x00000006;
  if (fn) fn(page, ETDT_ENABLETAB);
}

FolderOps DiskFolders() {
  FolderOps ops;
  ops.exists = [](const std::string& f) { return DirectoryExists(f); };
  ops.create = [](const std::string& f) {
    return CreateDirectoryW(Widen(f).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
  };
  return ops;
}

}  // namespace

// A tab page: the controls of one tab, whose notifications go on to the dialog.
class TfrmSettings::Page : public DialogBase {
 public:
  explicit Page(HWND dialog) : dialog_(dialog) {}
  using DialogBase::Handle;

 private:
  INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_COMMAND || msg == WM_NOTIFY) {
      SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, SendMessageW(dialog_, msg, wp, lp));
      return TRUE;
    }
    return FALSE;
  }
  HWND dialog_;
};

TfrmSettings::TfrmSettings(Host host, OptionValues values) : host_(std::move(host)), values_(std::move(values)) {}

TfrmSettings::~TfrmSettings() {
  if (filter_) UnhookWindowsHookEx(filter_);
  if (g_active == this) g_active = nullptr;
}

bool TfrmSettings::ShowModal(HWND owner, int x, int y) {
  x_ = x;
  y_ = y;
  return DialogBase::ShowModal(host_.resources, IDD_SETTINGS, owner) == IDOK;
}

// ---------------------------------------------------------------- set-up

BOOL TfrmSettings::OnInitDialog() {
  const HWND dlg = Handle();
  g_active = this;
  filter_ = SetWindowsHookExW(WH_MSGFILTER, &TfrmSettings::MessageFilter, nullptr, GetCurrentThreadId());
  if (host_.icon) {
    SendMessageW(dlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(host_.icon));
    SendMessageW(dlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(host_.icon));
  }
  for (const ControlPlace& p : kPlaces) controls_[p.id] = Item(p.id);
  const HWND tabs = Item(IDC_SET_TABS);
  for (int i = 0; i < 4; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(kTabCaptions[i]);
    SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  for (const char* ext : kAutoExtChoices)
    SendMessageW(Ctl(IDC_SET_EXT), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(ext).c_str()));
  MakePages();
  // On the main window's monitor first, so the layout is made for that monitor's DPI.
  SetWindowPos(dlg, nullptr, x_, y_, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  MakeFonts();
  Layout();
  MoveTo(x_, y_);
  AddHints();
  FillControls();
  ShowTab(0);
  SetForegroundWindow(dlg);
  return TRUE;
}

HWND TfrmSettings::Ctl(int id) const {
  const auto it = controls_.find(id);
  return it != controls_.end() ? it->second : Item(id);
}
bool TfrmSettings::Checked(int id) const { return SendMessageW(Ctl(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
void TfrmSettings::Check(int id, bool on) { SendMessageW(Ctl(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
std::string TfrmSettings::Text(int id) const { return TextOf(Ctl(id)); }
void TfrmSettings::SetText(int id, const std::string& text) { SetWindowTextW(Ctl(id), Widen(text).c_str()); }

void TfrmSettings::MakePages() {
  for (int i = 0; i < 4; ++i) {
    pages_[i] = std::make_unique<Page>(Handle());
    pages_[i]->CreateModeless(host_.resources, IDD_SETTINGS_PAGE, Handle());
    UseTabBackground(pages_[i]->Handle());
  }
  // Each control moves onto its page in list order, which is also its tab order.
  for (const ControlPlace& p : kPlaces) {
    if (p.tab == kAllTabs) continue;
    const HWND c = Ctl(p.id), page = pages_[p.tab]->Handle();
    SetParent(c, page);
    SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  // Pages over the tab control, before the buttons below it in the tab order.
  for (int i = 3; i >= 0; --i)
    SetWindowPos(pages_[i]->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TfrmSettings::MakeFonts() {
  const int height = -MulDiv(8, Dpi(), 72);
  UniqueFont normal = MakeFont(L"Arial", height, FW_NORMAL, CLEARTYPE_QUALITY);
  UniqueFont bold = MakeFont(L"Arial", height, FW_BOLD, CLEARTYPE_QUALITY);
  if (!normal || !bold) return;  // the template's font stays
  for (const auto& [id, c] : controls_) {
    const HFONT f = id == IDC_SET_HOTKEYS_LABEL ? bold.get() : normal.get();
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(f), FALSE);
  }
  // The old fonts go only after no control uses them any more.
  font_ = std::move(normal);
  boldFont_ = std::move(bold);
}

void TfrmSettings::Layout() {
  SetClientSize(kClientWidth, kClientHeight);
  for (const ControlPlace& p : kPlaces)
    if (p.tab == kAllTabs) PlaceItem(p.id, p.x, p.y, p.w, p.h);
  // The pages fill the tab's display area; their controls keep dialog coordinates.
  RECT area;
  GetClientRect(Item(IDC_SET_TABS), &area);
  SendMessageW(Item(IDC_SET_TABS), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  MapWindowPoints(Item(IDC_SET_TABS), Handle(), reinterpret_cast<POINT*>(&area), 2);
  for (const auto& page : pages_)
    if (page) MoveWindow(page->Handle(), area.left, area.top, area.right - area.left, area.bottom - area.top, FALSE);
  for (const ControlPlace& p : kPlaces)
    if (p.tab != kAllTabs) MoveWindow(Ctl(p.id), S(p.x) - area.left, S(p.y) - area.top, S(p.w), S(p.h), FALSE);
  SendMessageW(Ctl(IDC_SET_EXT), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), S(16));
  RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TfrmSettings::AddHints() {
  tips_ = CreateHintWindow(Handle());
  if (!tips_) return;
  SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, S(400));
  for (const ControlPlace& p : kPlaces) {
    if (!p.hint) continue;
    AddHint(tips_, GetParent(Ctl(p.id)), Ctl(p.id), Widen(p.hint).c_str());
  }
}

void TfrmSettings::FillControls() {
  const OptionValues& v = values_;
  Check(IDC_SET_INCLMOUSE, v.inclMouse);
  Check(IDC_SET_POPUP, v.popUp);
  EnableWindow(Ctl(IDC_SET_POPUP), FALSE);
  Check(IDC_SET_WATCHCLIPS, v.watchClips);
  Check(IDC_SET_CLIPCOPY, v.clipCopy);
  for (int i = 0; i < kCaptureHotKeyCount; ++i) RefreshHotKeyRow(i);

  Check(IDC_SET_PRTFULL, v.rbPrtFull);
  Check(IDC_SET_PRTZOOM, v.rbPrtZoom);
  Check(IDC_SET_PRTBEST, v.rbPrtBest);
  Check(IDC_SET_AUTOORIENT, v.autoOrient);
  Check(IDC_SET_AUTOPRINT, v.autoPrint);
  Check(IDC_SET_NOTES, v.notes);
  Check(IDC_SET_PRTDATE, v.printDate);
  Check(IDC_SET_EJECT, v.eject);
  Check(IDC_SET_DOSPRINT, v.dosPrint);
  Check(IDC_SET_SYSTEM, v.rbSystem);
  Check(IDC_SET_ARIAL, !v.rbSystem);
  chkDosPrintClick();

  Check(IDC_SET_AUTOSAVE, v.autoSave);
  SetText(IDC_SET_SAVEPATH, v.savePath);
  SendMessageW(Ctl(IDC_SET_EXT), CB_SETCURSEL, v.extIndex, 0);
  SetText(IDC_SET_PREFIX, v.savePrefix);
  SetText(IDC_SET_NEXTNO, v.nextSaveNo);
  Check(IDC_SET_ENCDES, v.encryptDes);

  SetText(IDC_SET_EDITOR, v.imageEditor);
  Check(IDC_SET_AUTOSEND, v.autoSend);
  Check(IDC_SET_USEOUTLOOK, v.useOutlook);
  EnableWindow(Ctl(IDC_SET_USEOUTLOOK), v.outlookEnabled);
}

void TfrmSettings::ReadControls() {
  OptionValues& v = values_;
  v.inclMouse = Checked(IDC_SET_INCLMOUSE);
  v.popUp = Checked(IDC_SET_POPUP);
  v.watchClips = Checked(IDC_SET_WATCHCLIPS);
  v.clipCopy = Checked(IDC_SET_CLIPCOPY);

  v.rbPrtFull = Checked(IDC_SET_PRTFULL);
  v.rbPrtZoom = Checked(IDC_SET_PRTZOOM);
  v.rbPrtBest = Checked(IDC_SET_PRTBEST);
  v.autoOrient = Checked(IDC_SET_AUTOORIENT);
  v.autoPrint = Checked(IDC_SET_AUTOPRINT);
  v.notes = Checked(IDC_SET_NOTES);
  v.printDate = Checked(IDC_SET_PRTDATE);
  v.eject = Checked(IDC_SET_EJECT);
  v.dosPrint = Checked(IDC_SET_DOSPRINT);
  v.rbSystem = Checked(IDC_SET_SYSTEM);

  v.autoSave = Checked(IDC_SET_AUTOSAVE);
  v.savePath = Text(IDC_SET_SAVEPATH);
  v.extIndex = static_cast<int>(SendMessageW(Ctl(IDC_SET_EXT), CB_GETCURSEL, 0, 0));
  v.savePrefix = Text(IDC_SET_PREFIX);
  v.nextSaveNo = Text(IDC_SET_NEXTNO);
  v.encryptDes = Checked(IDC_SET_ENCDES);

  v.imageEditor = Text(IDC_SET_EDITOR);
  v.autoSend = Checked(IDC_SET_AUTOSEND);
  v.useOutlook = Checked(IDC_SET_USEOUTLOOK);
}

// ---------------------------------------------------------------- tabs and keys

int TfrmSettings::CurrentTab() const {
  const int t = static_cast<int>(SendMessageW(Item(IDC_SET_TABS), TCM_GETCURSEL, 0, 0));
  return t < 0 ? 0 : t;
}

void TfrmSettings::ShowTab(int tab) {
  const HWND tabs = Item(IDC_SET_TABS);
  if (CurrentTab() != tab) SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
  const HWND focus = GetFocus();
  bool focusHidden = false;
  for (int i = 0; i < 4; ++i) {
    const HWND page = pages_[i] ? pages_[i]->Handle() : nullptr;
    if (!page) continue;
    if (i != tab && focus && IsChild(page, focus)) focusHidden = true;
    ShowWindow(page, i == tab ? SW_SHOWNA : SW_HIDE);
  }
  if (focusHidden) SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(tabs), TRUE);
}

bool TfrmSettings::PreviewKey(const MSG& m) {
  if (m.message != WM_KEYDOWN && m.message != WM_SYSKEYDOWN) return false;
  if (m.hwnd != Handle() && !IsChild(Handle(), m.hwnd)) return false;
  const bool ctrl = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  if (m.wParam == VK_F1 && !ctrl) {
    btnHelpClick();
    return true;
  }
  if (ctrl && (m.wParam == VK_TAB || m.wParam == VK_NEXT || m.wParam == VK_PRIOR)) {
    const bool back = m.wParam == VK_PRIOR || (m.wParam == VK_TAB && shift);
    ShowTab((CurrentTab() + (back ? 3 : 1)) % 4);
    return true;
  }
  return false;
}

LRESULT CALLBACK TfrmSettings::MessageFilter(int code, WPARAM wp, LPARAM lp) {
  if (code >= 0 && g_active && g_active->Handle()) {
    bool handled = false;
    Guarded([&] { handled = g_active->PreviewKey(*reinterpret_cast<const MSG*>(lp)); });
    if (handled) return TRUE;
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

INT_PTR TfrmSettings::DlgProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NOTIFY: {
      const auto* n = reinterpret_cast<const NMHDR*>(lp);
      if (n->idFrom == IDC_SET_TABS && n->code == TCN_SELCHANGE) {
        ShowTab(CurrentTab());
        return TRUE;
      }
      break;
    }
    case WM_HELP:
      // The system follows F1 with this as well; the key preview has opened the help already.
      SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_DPICHANGED: {
      // Follow the monitor it was moved to: its fonts and every size anew.
      const auto* r = reinterpret_cast<const RECT*>(lp);
      SetWindowPos(Handle(), nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      MakeFonts();
      Layout();
      KeepInWorkArea(Handle());
      if (tips_) SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, S(400));
      SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, 0);
      return TRUE;
    }
    case WM_DESTROY:
      for (auto& page : pages_) page.reset();
      if (filter_) {
        UnhookWindowsHookEx(filter_);
        filter_ = nullptr;
      }
      if (g_active == this) g_active = nullptr;
      break;
  }
  return DialogBase::DlgProc(msg, wp, lp);
}

bool TfrmSettings::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED && code != 1 /* accelerator */) return false;
  switch (id) {
    case IDOK: BitBtn1Click(); return true;
    case IDCANCEL: End(IDCANCEL); return true;
    case IDC_SET_HELP: btnHelpClick(); return true;
    case IDC_SET_BROWSEPATH: btnSavePathClick(); return true;
    case IDC_SET_BROWSEEDITOR: btnImgEditorClick(); return true;
    case IDC_SET_DOSPRINT: chkDosPrintClick(); return true;
    case IDC_SET_CHGFULL: btnChgClick(0); return true;
    case IDC_SET_CHGACTIVE: btnChgClick(1); return true;
    case IDC_SET_CHGAREA: btnChgClick(2); return true;
    case IDC_SET_RESET: btnResetClick(); return true;
  }
  return false;
}

// ---------------------------------------------------------------- handlers

void TfrmSettings::BitBtn1Click() {
  ReadControls();
  // Said here rather than by the first save that fails with another cause.
  if (const std::string problem = SavePrefixProblem(values_.savePrefix); !problem.empty()) {
    RefuseSaveOption(problem, IDC_SET_PREFIX);
    return;
  }
  const std::string path = values_.savePath;
  if (path == values_.savePathAtOpen) {
    End(IDOK);
    return;
  }
  if (const std::string problem = SaveFolderProblem(path); !problem.empty()) {
    RefuseSaveOption(problem, IDC_SET_SAVEPATH);
    return;
  }
  if (DirectoryExists(path)) {
    End(IDOK);
    return;
  }
  const int answer = ShowMessage(Handle(), "Auto Save Folder - " + path + "  Does not exist -- Create it?",
                                 kSettingsCaption, MB_YESNOCANCEL | MB_ICONINFORMATION);
  if (answer == IDCANCEL) return;
  if (answer == IDNO) {
    values_.savePath = values_.savePathAtOpen;
    SetText(IDC_SET_SAVEPATH, values_.savePath);
    End(IDOK);
    return;
  }
  if (CreateFolderPath(path, DiskFolders())) {
    End(IDOK);
    return;
  }
  RefuseSaveOption(path + " - is not a valid path", IDC_SET_SAVEPATH);
}

void TfrmSettings::RefuseSaveOption(const std::string& message, int control) {
  ShowMessage(Handle(), message, kSettingsCaption, MB_OK | MB_ICONWARNING);
  ShowTab(2);
  SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Ctl(control)), TRUE);
}

void TfrmSettings::btnHelpClick() { ShowHelpContext(host_.helpCaller, OptionsTabHelpContext(CurrentTab())); }

void TfrmSettings::btnSavePathClick() {
  TBrowseForFolderDialog browse(Handle());
  browse.SetTitle("Choose a folder below:");
  if (browse.Execute()) SetText(IDC_SET_SAVEPATH, browse.Folder());
}

void TfrmSettings::btnImgEditorClick() {
  FileDialogOptions o;
  o.filter = "Programs (*.exe)|*.exe";
  o.flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
  const std::string current = Text(IDC_SET_EDITOR);
  o.initialDir = ExtractFilePath(current);
  o.fileName = ExtractFileName(current);
  if (o.initialDir.empty()) {
    // Where programs are, rather than wherever the program happened to be started from.
    wchar_t programs[MAX_PATH];
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programs))) o.initialDir = Narrow(programs);
  }
  if (RunOpenDialog(Handle(), o)) SetText(IDC_SET_EDITOR, o.fileName);
}

void TfrmSettings::chkDosPrintClick() {
  const BOOL on = Checked(IDC_SET_DOSPRINT);
  EnableWindow(Ctl(IDC_SET_SYSTEM), on);
  EnableWindow(Ctl(IDC_SET_ARIAL), on);
}

void TfrmSettings::btnChgClick(int index) {
  if (!host_.hotKeyEditor) return;
  RECT r;
  GetWindowRect(Handle(), &r);
  TfrmHKSet& editor = *host_.hotKeyEditor;
  editor.LoadHotKeyText(values_.hotKeys.Text(index));
  if (!editor.ShowModal(Handle(), r.left + S(40), r.top + S(120), std::string(kHotKeyEditorCaptions[index]))) return;
  values_.hotKeys.Change(index, editor.BuildHotKeyText());
  RefreshHotKeyRow(index);
}

void TfrmSettings::btnResetClick() {
  values_.hotKeys.Reset();
  for (int i = 0; i < kCaptureHotKeyCount; ++i) RefreshHotKeyRow(i);
}

void TfrmSettings::RefreshHotKeyRow(int index) {
  const std::string& text = values_.hotKeys.Text(index);
  const bool inUse = host_.hotKeyInUse && host_.hotKeyInUse(text);
  SetText(kHotKeyBoxes[index], HotKeyRowText(text, inUse));
}

}  // namespace griv
