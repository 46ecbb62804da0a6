#include "ui/ui_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <exception>
#include <new>

#include "base/handles_win.h"
#include "base/system_dll_win.h"
#include "base/utf.h"
#include "ui/message_text.h"
#include "ui/modal_state.h"
#include "ui/ole_win.h"
#include "base/settings_store.h"

namespace griv {

namespace {
std::string& Title() {
  static std::string t = "Grivanta";
  return t;
}
}  // namespace

void SetApplicationTitle(const std::string& title) { Title() = title; }
const std::string& ApplicationTitle() { return Title(); }

void HandleCurrentException() noexcept {
  std::string msg;
  try {
    throw;
  } catch (const ERegistryError&) {
    return;  // registry problems never reach the user
  } catch (const std::bad_alloc&) {
    msg = "Out of memory";
  } catch (const std::exception& e) {
    msg = e.what();
  } catch (...) {
    msg = "An unexpected error occurred";
  }
  try {
    ShowMessage(nullptr, msg, Title(), MB_OK | MB_ICONERROR);
  } catch (...) {
  }
}

namespace {
// The text broken to fit the work area of owner's monitor, measured in the
// font message boxes use.
std::wstring FittedMessage(HWND owner, const std::string& text) {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof ncm;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) return Widen(text);
  UniqueFont font(CreateFontIndirectW(&ncm.lfMessageFont));
  WindowDC screen(nullptr);
  SelectObj sel(screen.get(), font ? static_cast<HGDIOBJ>(font.get()) : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW tm{};
  GetTextMetricsW(screen.get(), &tm);
  const RECT work = WorkAreaOf(owner);
  // Room for the icon, the margins and the frame beside the text.
  const int maxWidth = std::max(200, static_cast<int>(work.right - work.left) * 2 / 3 - 120);
  const int lineHeight = std::max(1, static_cast<int>(tm.tmHeight + tm.tmExternalLeading));
  const int maxLines = std::max(2, static_cast<int>(work.bottom - work.top) / 2 / lineHeight);
  return Widen(FitMessageText(text, maxWidth, maxLines, [&](std::string_view piece) {
    const std::wstring w = Widen(std::string(piece));
    SIZE size{};
    GetTextExtentPoint32W(screen.get(), w.c_str(), static_cast<int>(w.size()), &size);
    return static_cast<int>(size.cx);
  }));
}
}  // namespace

int ShowMessage(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
  if (!owner || !IsWindow(owner)) owner = GetActiveWindow();
  const HWND focus = GetFocus();
  const std::wstring fitted = FittedMessage(owner, text);
  int answer;
  {
    ModalScope modal;
    // Without an owner every window of the program waits for the answer.
    answer = MessageBoxW(owner, fitted.c_str(), Widen(caption).c_str(), flags | (owner ? 0 : MB_TASKMODAL));
  }
  GiveFocusBack(owner, focus);
  return answer;
}

void GiveFocusBack(HWND owner, HWND focus) {
  if (!owner || !IsWindow(owner) || !IsWindowVisible(owner) || !IsWindowEnabled(owner)) return;
  SetForegroundWindow(owner);
  SetFocus(focus && IsWindow(focus) && (focus == owner || IsChild(owner, focus)) ? focus : owner);
}

void PlaceOverOwner(HWND w, HWND owner) {
  RECT r, around;
  if (!GetWindowRect(w, &r)) return;
  const RECT work = WorkAreaOf(owner);
  if (!owner || !IsWindowVisible(owner) || IsIconic(owner) || !GetWindowRect(owner, &around)) around = work;
  const int width = r.right - r.left, height = r.bottom - r.top;
  const int x = std::max<int>(work.left, std::min<int>((around.left + around.right - width) / 2, work.right - width));
  const int y = std::max<int>(work.top, std::min<int>((around.top + around.bottom - height) / 2, work.bottom - height));
  SetWindowPos(w, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

UniqueFont MakeFont(const wchar_t* face, int height, int weight, BYTE quality, bool underline) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfUnderline = underline;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = quality;
  wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return UniqueFont(CreateFontIndirectW(&lf));
}

HWND CreateHintWindow(HWND owner) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
}

void AddHint(HWND hints, HWND parent, HWND control, const wchar_t* text) {
  TOOLINFOW ti{};
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = parent;
  ti.uId = reinterpret_cast<UINT_PTR>(control);
  ti.lpszText = const_cast<wchar_t*>(text);  // the hint window keeps a copy
  SendMessageW(hints, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void OpenWithShell(const std::string& target, const std::string& params, HWND owner) {
  ole::Start();
  ShellExecuteW(owner, L"Open", Widen(target).c_str(), params.empty() ? nullptr : Widen(params).c_str(), nullptr,
                SW_SHOWNORMAL);
}

void ProcessMessages() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(m.wParam));
      return;
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

void WidenShortCutGaps(HMENU menu, int dpi) {
  const int blanks = (dpi - 96) / 48;
  if (!menu || blanks <= 0) return;
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) WidenShortCutGaps(sub, dpi);
    wchar_t text[256] = {};
    MENUITEMINFOW mi{sizeof mi};
    mi.fMask = MIIM_FTYPE | MIIM_STRING;
    mi.dwTypeData = text;
    mi.cch = 255;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi) || (mi.fType & (MFT_OWNERDRAW | MFT_SEPARATOR)))
      continue;
    std::wstring t(text);
    const size_t tab = t.find(L'\t');
    if (tab == std::wstring::npos) continue;
    t.insert(tab, static_cast<size_t>(blanks), L' ');
    MENUITEMINFOW set{sizeof set};
    set.fMask = MIIM_STRING;
    set.dwTypeData = t.data();
    SetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &set);
  }
}

int DpiOf(HWND w) {
  using Fn = UINT WINAPI(HWND);
  static const auto fn = SystemProc<Fn>(L"user32.dll", "GetDpiForWindow");
  if (fn && w) {
    UINT d = fn(w);
    if (d) return static_cast<int>(d);
  }
  WindowDC screen(nullptr);
  const int d = GetDeviceCaps(screen.get(), LOGPIXELSX);
  return d > 0 ? d : 96;
}

SIZE WindowSizeForClient(HWND w, int width, int height) {
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(w, GWL_STYLE)), GetMenu(w) != nullptr,
                     static_cast<DWORD>(GetWindowLongPtrW(w, GWL_EXSTYLE)));
  return SIZE{r.right - r.left, r.bottom - r.top};
}

RECT WorkAreaOf(HWND w) {
  MONITORINFO mi{sizeof mi};
  if (GetMonitorInfoW(MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), &mi)) return mi.rcWork;
  RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  return r;
}

void KeepInWorkArea(HWND w) {
  RECT r;
  if (!GetWindowRect(w, &r)) return;
  const RECT work = WorkAreaOf(w);
  const int width = r.right - r.left, height = r.bottom - r.top;
  const int x = std::max<int>(work.left, std::min<int>(r.left, work.right - width));
  const int y = std::max<int>(work.top, std::min<int>(r.top, work.bottom - height));
  if (x != r.left || y != r.top) SetWindowPos(w, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace griv
