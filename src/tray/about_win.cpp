#include "tray/about_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <stdexcept>

#include "ui/ui_win.h"
#include "base/utf.h"
#include "ids_shell.h"
#include "ui/system_path_win.h"

namespace griv {

namespace {
constexpr wchar_t kBackClass[] = L"TdlgAboutBack";

// A hint about to show (TTN_SHOW) goes below the box, or above it at the
// screen's bottom: under the pointer it would cover the box's button.
bool PlaceHintOutside(LPARAM lp, HWND box) {
  const auto* n = reinterpret_cast<const NMHDR*>(lp);
  if (n->code != TTN_SHOW) return false;
  RECT b, tip;
  GetWindowRect(box, &b);
  GetWindowRect(n->hwndFrom, &tip);
  const int height = tip.bottom - tip.top;
  const RECT work = WorkAreaOf(box);
  const int y = b.bottom + height + 2 <= work.bottom ? b.bottom + 2 : b.top - height - 2;
  SetWindowPos(n->hwndFrom, nullptr, b.left, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}
// Positions on the picture, in its own pixels.
constexpr int kVersionX = 242, kVersionY = 61;
constexpr int kCloseX = 247, kCloseY = 134, kCloseW = 75, kCloseH = 25;
constexpr int kLinkX = 28, kLinkY = 196;
constexpr int kNameX = 140, kNameY = 12, kNameRight = 406;
constexpr int kStrip = 8;  // the box's own band above the picture
constexpr COLORREF kStripColor = RGB(0x1E, 0x5A, 0xB4);
constexpr COLORREF kLabelColor = RGB(255, 255, 255);

std::string WithoutScheme(const std::string& site) {
  for (const char* s : {"https://", "http://"}) {
    size_t n = strlen(s);
    if (site.size() > n && _strnicmp(site.c_str(), s, n) == 0) return site.substr(n);
  }
  return site;
}


}  // namespace

TdlgAbout::TdlgAbout(HINSTANCE resources, AboutInfo info) : res_(resources), info_(std::move(info)) {}

TdlgAbout::~TdlgAbout() { CloseSplash(); }

std::string TdlgAbout::VersionCaption() { return "Ver: " + FileVersionText(ExeFileName()); }

void TdlgAbout::ShowModal(HWND owner) {
  if (Handle()) return;
  owner_ = owner;
  DialogBase::ShowModal(res_, IDD_ABOUT, owner);
}

void TdlgAbout::CreateSplash(HWND owner) {
  if (Handle()) return;
  owner_ = nullptr;  // centred on the screen, not on the owner
  HWND h = CreateModeless(res_, IDD_ABOUT, owner);
  // No task-bar button of its own; it appears beside whatever the user is doing.
  SetWindowLongPtrW(h, GWL_EXSTYLE, GetWindowLongPtrW(h, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
  Centre();
  SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TdlgAbout::CloseSplash() {
  if (Handle() && !Modal()) End(IDOK);
}

void TdlgAbout::Close() { End(IDOK); }

void TdlgAbout::imgSplashClick() {
  if (OpenWebSite) {
    OpenWebSite(info_.webSite);
    return;
  }
  WaitCursor wait;
  OpenWithShell(info_.webSite);
}

void TdlgAbout::FormCreate() {
  if (!info_.splash.Empty() && MakeDibSection(info_.splash, splash_, true)) {
    picW_ = info_.splash.width;
    picH_ = info_.splash.height;
  }
  info_.splash = Picture();  // the section holds it now
  const int dpi = DpiOf(Handle());
  auto S = [&](int v) { return Scale(v, dpi); };
  const int pw = S(picW_), ph = S(picH_);

  RECT r{0, 0, pw, ph + S(kStrip)};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
  SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
  stripBrush_.reset(CreateSolidBrush(kStripColor));

  PaintBackground(pw, ph);
  back_.Create(S(kStrip), pw, ph);

  labelFont_ = MakeFont(L"Tahoma", -S(11), FW_BOLD);
  linkFont_ = MakeFont(L"Tahoma", -S(11), FW_NORMAL, DEFAULT_QUALITY, true);
  HWND version = GetDlgItem(Handle(), IDC_ABOUT_VERSION);
  HWND link = GetDlgItem(Handle(), IDC_ABOUT_LINK);
  HWND close = GetDlgItem(Handle(), IDOK);
  for (HWND c : {version, link, close}) SetParent(c, back_.Handle());

  SetWindowTextW(version, Widen(VersionCaption()).c_str());
  SendMessageW(version, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_.get()), FALSE);
  MoveWindow(version, S(kVersionX), S(kVersionY), S(160), S(16), FALSE);

  std::wstring linkText = Widen(WithoutScheme(info_.webSite));
  SetWindowTextW(link, linkText.c_str());
  SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_.get()), FALSE);
  {
    WindowDC dc(link);
    SelectObj f(dc.get(), linkFont_.get());
    SIZE sz{};
    GetTextExtentPoint32W(dc.get(), linkText.c_str(), static_cast<int>(linkText.size()), &sz);
    MoveWindow(link, S(kLinkX), S(kLinkY), std::min<int>(sz.cx + S(4), pw - S(kLinkX)), sz.cy + S(2), FALSE);
  }

  SendMessageW(close, WM_SETFONT, reinterpret_cast<WPARAM>(labelFont_.get()), FALSE);
  SetWindowPos(close, HWND_TOP, S(kCloseX), S(kCloseY), S(kCloseW), S(kCloseH), 0);

  tip_ = CreateHintWindow(Handle());
  if (tip_) {
    const HWND back = back_.Handle();
    AddHint(tip_, back, back, Widen("Click the picture to visit our Web Site, " + WithoutScheme(info_.webSite)).c_str());
    AddHint(tip_, link, link, Widen(kAboutLinkHint).c_str());
  }
  if (Modal()) {
    Centre();
    SetFocus(close);  // the splash must not take the focus from what the user is doing
  }
}

void TdlgAbout::PaintBackground(int width, int height) {
  WindowDC screen(nullptr);
  UniqueMemDC dc(CreateCompatibleDC(screen.get()));
  backBitmap_.reset(CreateCompatibleBitmap(screen.get(), width, height));
  if (!backBitmap_) return;
  {
    SelectObj b(dc.get(), backBitmap_.get());
    if (splash_.bitmap) {
      UniqueMemDC src(CreateCompatibleDC(screen.get()));
      SelectObj s(src.get(), splash_.bitmap.get());
      SetStretchBltMode(dc.get(), HALFTONE);
      SetBrushOrgEx(dc.get(), 0, 0, nullptr);
      StretchBlt(dc.get(), 0, 0, width, height, src.get(), 0, 0, picW_, picH_, SRCCOPY);
    } else {
      RECT all{0, 0, width, height};
      FillRect(dc.get(), &all, stripBrush_.get());
    }
    // The product name, as large as fits beside the logo.
    const int dpi = DpiOf(Handle());
    auto S = [&](int v) { return Scale(v, dpi); };
    std::wstring name = Widen(info_.productName);
    const int room = S(kNameRight - kNameX);
    for (int h = 40; h >= 12 && !name.empty(); h -= 2) {
      nameFont_ = MakeFont(L"Tahoma", -S(h), FW_BOLD, ANTIALIASED_QUALITY);
      SelectObj f(dc.get(), nameFont_.get());
      SIZE sz{};
      GetTextExtentPoint32W(dc.get(), name.c_str(), static_cast<int>(name.size()), &sz);
      if (sz.cx <= room || h == 12) {
        SetBkMode(dc.get(), TRANSPARENT);
        const int x = S(kNameX), y = S(kNameY) + (S(40) - sz.cy) / 2;
        SetTextColor(dc.get(), RGB(0x0A, 0x28, 0x5A));
        TextOutW(dc.get(), x + S(2), y + S(2), name.c_str(), static_cast<int>(name.size()));
        SetTextColor(dc.get(), kLabelColor);
        TextOutW(dc.get(), x, y, name.c_str(), static_cast<int>(name.size()));
        break;
      }
    }
    // A rule under the name, ending where the version starts below it.
    RECT rule{S(kNameX), S(kVersionY) - S(5), S(kNameRight), S(kVersionY) - S(4)};
    UniqueBrush white(CreateSolidBrush(kLabelColor));
    FillRect(dc.get(), &rule, white.get());
  }
  backBrush_.reset(CreatePatternBrush(backBitmap_.get()));
}

void TdlgAbout::Centre() {
  RECT w;
  GetWindowRect(Handle(), &w);
  const int width = w.right - w.left, height = w.bottom - w.top;
  RECT around;
  if (Modal() && owner_ && IsWindowVisible(owner_) && !IsIconic(owner_)) {
    GetWindowRect(owner_, &around);
  } else {
    around = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  int x = around.left + (around.right - around.left - width) / 2;
  int y = around.top + (around.bottom - around.top - height) / 2;
  // Keep the whole box on the monitor it lands on.
  MONITORINFO mi{sizeof mi};
  RECT target{x, y, x + width, y + height};
  if (GetMonitorInfoW(MonitorFromRect(&target, MONITOR_DEFAULTTONEAREST), &mi)) {
    x = std::max<int>(mi.rcWork.left, std::min<int>(x, mi.rcWork.right - width));
    y = std::max<int>(mi.rcWork.top, std::min<int>(y, mi.rcWork.bottom - height));
  }
  SetWindowPos(Handle(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR TdlgAbout::DlgProc(UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_INITDIALOG:
      FormCreate();
      return FALSE;  // focus is on Close
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
        Close();
        return TRUE;
      }
      if (LOWORD(wp) == IDC_ABOUT_LINK && HIWORD(wp) == STN_CLICKED) {
        imgSplashClick();
        return TRUE;
      }
      break;
    case WM_NCHITTEST: {
      // Presses on the box itself (not on a control) drag it.
      LRESULT hit = DefWindowProcW(Handle(), m, wp, lp);
      SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, hit == HTCLIENT ? HTCAPTION : hit);
      return TRUE;
    }
    case WM_CTLCOLORDLG:
      return reinterpret_cast<INT_PTR>(stripBrush_.get());
    case WM_NOTIFY:
      if (!PlaceHintOutside(lp, Handle())) break;
      SetWindowLongPtrW(Handle(), DWLP_MSGRESULT, TRUE);
      return TRUE;
  }
  return FALSE;
}

void TdlgAbout::BackPanel::Create(int y, int width, int height) {
  CreateWin({kBackClass, 0, LoadCursorW(nullptr, MAKEINTRESOURCEW(32649))},  // hand: the picture is a link
            WS_EX_CONTROLPARENT, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, y, width, height, box_.Handle(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_ABOUT_BACK)));
}

void TdlgAbout::BackPanel::OnPaint(HDC dc, const PAINTSTRUCT& ps) {
  if (!box_.backBitmap_) return;
  UniqueMemDC src(CreateCompatibleDC(dc));
  SelectObj s(src.get(), box_.backBitmap_.get());
  BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left, ps.rcPaint.bottom - ps.rcPaint.top,
         src.get(), ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
}

LRESULT TdlgAbout::BackPanel::WndProc(UINT m, WPARAM wp, LPARAM lp) {
  const HWND back = Handle();
  switch (m) {
    case WM_ERASEBKGND:
      return 1;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      // Labels show the picture behind them: the picture as their brush,
      // aligned to where they stand.
      HDC dc = reinterpret_cast<HDC>(wp);
      POINT p{0, 0};
      MapWindowPoints(reinterpret_cast<HWND>(lp), back, &p, 1);
      SetBrushOrgEx(dc, -p.x, -p.y, nullptr);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, kLabelColor);
      return reinterpret_cast<LRESULT>(box_.backBrush_ ? box_.backBrush_.get() : box_.stripBrush_.get());
    }
    case WM_COMMAND:
      return SendMessageW(box_.Handle(), WM_COMMAND, wp, lp);
    case WM_NOTIFY:
      if (PlaceHintOutside(lp, box_.Handle())) return TRUE;
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wp) == GetDlgItem(back, IDC_ABOUT_LINK)) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));
        return TRUE;
      }
      break;
  }
  if (click_.OnMessage(back, m, lp, [this] { box_.imgSplashClick(); })) return 0;
  return WindowBase::WndProc(m, wp, lp);
}

}  // namespace griv
