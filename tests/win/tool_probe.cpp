// griv-probe: looks at and pokes the windows of other Wine processes for the
// end-to-end tests (xdotool sees windows inside a Wine desktop unreliably).
//   griv-probe windows                      list top-level windows
//   griv-probe wait CLASS [visible] [ms]    wait for a window of CLASS (optionally visible)
//   griv-probe gone CLASS [ms]              wait until no window of CLASS exists
//   griv-probe rect CLASS                   window rectangle: left top right bottom
//   griv-probe text CLASS                   window text; for the main window also the status bar text
//   griv-probe send CLASS MSG [WP] [LP]     SendMessage (numbers may be hex)
//   griv-probe post CLASS MSG [WP] [LP]     PostMessage
//   griv-probe command CLASS ID             post WM_COMMAND ID
//   griv-probe enabled CLASS ID             1 when the control with ID under the window is enabled
//   griv-probe child-rect CLASS ID         client area, in screen pixels, of the control with ID under the window
//   griv-probe find-title TITLE [ms]        wait for a visible window with this exact title; prints class
//   griv-probe temp                         the temporary folder
//   griv-probe cursor                       pointer position
//   griv-probe monitors                     monitor rectangles
//   griv-probe foreground                   class and title of the foreground window
//   griv-probe focus                        class and title of the window with the keyboard, and of its top-level window
//   griv-probe owner TITLE                  class and title of the owner of the window titled TITLE
//   griv-probe press-button TITLE CAPTION   clicks a button of the window titled TITLE (BM_CLICK)
//   griv-probe dlg-text TITLE ID TEXT       sets the text of a dialog control
//   griv-probe child-texts TITLE            class and text of every child of the window titled TITLE
//   griv-probe dlg-get TITLE ID             text of a control (on any page of the window)
//   griv-probe dlg-check TITLE ID [0|1]     check state and enabled state of a button; with 0 or 1
//                                           clicks it first when its state differs
//   griv-probe dlg-combo TITLE ID [INDEX]   selected item of a list box; with INDEX selects it first
//   griv-probe select-tab TITLE INDEX       chooses a tab of the window's tab control as a click does
//   griv-probe dlg-click TITLE ID           clicks a button by its id (BM_CLICK, posted)
//   griv-probe title-client TITLE           client area of the window titled TITLE: left top right bottom
//   griv-probe title-rect TITLE ID          screen rectangle of a control: left top right bottom
//   griv-probe client CLASS                 client area in screen pixels: left top right bottom
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tool_text.h"

namespace {

using griv_tool::Utf8;
using griv_tool::Wide;

BOOL CALLBACK AddWindow(HWND w, LPARAM p) {
  reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
  return TRUE;
}

BOOL CALLBACK PrintMonitor(HMONITOR m, HDC, LPRECT, LPARAM) {
  MONITORINFO mi{sizeof mi};
  GetMonitorInfoW(m, &mi);
  std::printf("%ld %ld %ld %ld\n", mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right, mi.rcMonitor.bottom);
  return TRUE;
}

struct FindId {
  int id;
  HWND found;
};

BOOL CALLBACK VisitForId(HWND c, LPARAM p) {
  auto* f = reinterpret_cast<FindId*>(p);
  if (GetDlgCtrlID(c) != f->id) return TRUE;
  f->found = c;
  return FALSE;
}

std::vector<HWND> TopLevel() {
  std::vector<HWND> v;
  EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&v));
  return v;
}

std::wstring ClassOf(HWND w) {
  wchar_t c[256] = {};
  GetClassNameW(w, c, 256);
  return c;
}

std::wstring TextOf(HWND w) {
  wchar_t t[1024] = {};
  SendMessageTimeoutW(w, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(t), SMTO_ABORTIFHUNG, 2000, nullptr);
  return t;
}

HWND FindByClass(const std::wstring& cls, bool visible) {
  for (HWND w : TopLevel())
    if (ClassOf(w) == cls && (!visible || IsWindowVisible(w))) return w;
  return nullptr;
}

HWND FindByTitle(const std::wstring& title) {
  for (HWND w : TopLevel())
    if (IsWindowVisible(w) && TextOf(w) == title) return w;
  return nullptr;
}

std::vector<HWND> AllByTitle(const std::wstring& title) {
  std::vector<HWND> v;
  for (HWND w : TopLevel())
    if (IsWindowVisible(w) && TextOf(w) == title) v.push_back(w);
  return v;
}

struct FindCtx {
  int id;
  const wchar_t* cls;
  HWND found;
};

BOOL CALLBACK FindChild(HWND c, LPARAM p) {
  auto* x = reinterpret_cast<FindCtx*>(p);
  if ((x->id && GetDlgCtrlID(c) == x->id) || (x->cls && ClassOf(c) == x->cls)) {
    x->found = c;
    return FALSE;
  }
  return TRUE;
}

// A control of any window titled title, however deep it sits (tab pages are child dialogs).
HWND FindControl(const std::wstring& title, int id, const wchar_t* cls = nullptr) {
  for (HWND top : AllByTitle(title)) {
    FindCtx ctx{id, cls, nullptr};
    EnumChildWindows(top, FindChild, reinterpret_cast<LPARAM>(&ctx));
    if (ctx.found) return ctx.found;
  }
  return nullptr;
}

struct ChildCtx {
  std::wstring want;
  bool press;
  bool found;
};

BOOL CALLBACK VisitChild(HWND c, LPARAM p) {
  auto* x = reinterpret_cast<ChildCtx*>(p);
  std::wstring t = TextOf(c);
  if (x->press) {
    if (t == x->want) {
      PostMessageW(c, BM_CLICK, 0, 0);
      x->found = true;
      return FALSE;
    }
  } else {
    std::printf("%d\t%s\t%s\t%d\t%d\n", GetDlgCtrlID(c), Utf8(ClassOf(c)).c_str(), Utf8(t).c_str(),
                IsWindowEnabled(c) ? 1 : 0, IsWindowVisible(c) ? 1 : 0);
  }
  return TRUE;
}

long Num(const char* s) { return std::strtol(s, nullptr, 0); }

int Usage() {
  std::fprintf(stderr, "usage: griv-probe windows|wait|gone|rect|text|send|post|command|find-title|temp|cursor|monitors|foreground|focus|owner|press-button|dlg-text|dlg-get|dlg-check|dlg-combo|dlg-click|select-tab|title-client|title-rect|child-texts|client ...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string cmd = argv[1];
  if (cmd == "windows") {
    for (HWND w : TopLevel()) {
      RECT r;
      GetWindowRect(w, &r);
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      std::printf("%p\t%lu\t%s\t%s\t%d\t%ld %ld %ld %ld\n", (void*)w, pid, Utf8(ClassOf(w)).c_str(),
                  Utf8(TextOf(w)).c_str(), IsWindowVisible(w) ? 1 : 0, r.left, r.top, r.right, r.bottom);
    }
    return 0;
  }
  if (cmd == "wait" && argc >= 3) {
    bool visible = argc >= 4 && std::string(argv[3]) == "visible";
    DWORD timeout = argc >= 5 ? (DWORD)Num(argv[4]) : argc >= 4 && !visible ? (DWORD)Num(argv[3]) : 10000;
    DWORD start = GetTickCount();
    for (;;) {
      if (HWND w = FindByClass(Wide(argv[2]), visible)) {
        std::printf("%p\n", (void*)w);
        return 0;
      }
      if (GetTickCount() - start > timeout) return 1;
      Sleep(50);
    }
  }
  if (cmd == "gone" && argc >= 3) {
    DWORD timeout = argc >= 4 ? (DWORD)Num(argv[3]) : 10000;
    DWORD start = GetTickCount();
    while (FindByClass(Wide(argv[2]), false)) {
      if (GetTickCount() - start > timeout) return 1;
      Sleep(50);
    }
    return 0;
  }
  if (cmd == "find-title" && argc >= 3) {
    DWORD timeout = argc >= 4 ? (DWORD)Num(argv[3]) : 10000;
    DWORD start = GetTickCount();
    for (;;) {
      if (HWND w = FindByTitle(Wide(argv[2]))) {
        std::printf("%s\n", Utf8(ClassOf(w)).c_str());
        return 0;
      }
      if (GetTickCount() - start > timeout) return 1;
      Sleep(50);
    }
  }
  if (cmd == "temp") {
    wchar_t b[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH, b);
    std::printf("%s\n", Utf8(std::wstring(b, n)).c_str());
    return 0;
  }
  if (cmd == "cursor") {
    POINT p;
    GetCursorPos(&p);
    std::printf("%ld %ld\n", p.x, p.y);
    return 0;
  }
  if (cmd == "monitors") {
    EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0);
    return 0;
  }
  if (cmd == "foreground") {
    HWND w = GetForegroundWindow();
    std::printf("%s\t%s\n", Utf8(ClassOf(w)).c_str(), Utf8(TextOf(w)).c_str());
    return 0;
  }
  if (cmd == "focus") {
    GUITHREADINFO gui{sizeof gui};
    if (!GetGUIThreadInfo(0, &gui) || !gui.hwndFocus) return 1;
    const HWND top = GetAncestor(gui.hwndFocus, GA_ROOT);
    std::printf("%s\t%s\t%s\t%s\n", Utf8(ClassOf(gui.hwndFocus)).c_str(), Utf8(TextOf(gui.hwndFocus)).c_str(),
                Utf8(ClassOf(top)).c_str(), Utf8(TextOf(top)).c_str());
    return 0;
  }
  if (cmd == "owner" && argc >= 3) {
    HWND w = FindByTitle(Wide(argv[2]));
    if (!w) return 1;
    HWND owner = GetWindow(w, GW_OWNER);
    std::printf("%s\t%s\n", owner ? Utf8(ClassOf(owner)).c_str() : "", owner ? Utf8(TextOf(owner)).c_str() : "");
    return 0;
  }
  if (cmd == "title-client" && argc >= 3) {
    HWND top = FindByTitle(Wide(argv[2]));
    if (!top) return 1;
    RECT r;
    GetClientRect(top, &r);
    MapWindowPoints(top, nullptr, reinterpret_cast<POINT*>(&r), 2);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
  }
  if ((cmd == "dlg-text" || cmd == "dlg-get" || cmd == "dlg-check" || cmd == "dlg-combo" || cmd == "dlg-click" ||
       cmd == "title-rect") &&
      argc >= 4) {
    HWND c = FindControl(Wide(argv[2]), (int)Num(argv[3]));
    if (!c) return 1;
    if (cmd == "dlg-text" && argc >= 5) {
      SendMessageW(c, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(argv[4]).c_str()));
    } else if (cmd == "dlg-get") {
      std::printf("%s\n", Utf8(TextOf(c)).c_str());
    } else if (cmd == "dlg-check") {
      if (argc >= 5 && (SendMessageW(c, BM_GETCHECK, 0, 0) == BST_CHECKED) != (Num(argv[4]) != 0))
        SendMessageW(c, BM_CLICK, 0, 0);
      std::printf("%d %d\n", SendMessageW(c, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0, IsWindowEnabled(c) ? 1 : 0);
    } else if (cmd == "dlg-click") {
      PostMessageW(c, BM_CLICK, 0, 0);
    } else if (cmd == "title-rect") {
      RECT r;
      GetWindowRect(c, &r);
      std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    } else if (cmd == "dlg-combo") {
      if (argc >= 5) SendMessageW(c, CB_SETCURSEL, (WPARAM)Num(argv[4]), 0);
      std::printf("%ld\n", (long)SendMessageW(c, CB_GETCURSEL, 0, 0));
    }
    return 0;
  }
  if (cmd == "select-tab" && argc >= 4) {
    HWND tab = FindControl(Wide(argv[2]), 0, L"SysTabControl32");
    if (!tab) return 1;
    // Moving the focus to a tab selects it and tells the dialog, as a click would.
    SendMessageW(tab, 0x1330 /* TCM_SETCURFOCUS */, (WPARAM)Num(argv[3]), 0);
    return SendMessageW(tab, 0x130B /* TCM_GETCURSEL */, 0, 0) == Num(argv[3]) ? 0 : 1;
  }
  if (cmd == "press-button" && argc >= 4) {
    // Every window with that title: a message box may carry its owner's title.
    for (HWND top : AllByTitle(Wide(argv[2]))) {
      ChildCtx ctx{Wide(argv[3]), true, false};
      EnumChildWindows(top, VisitChild, reinterpret_cast<LPARAM>(&ctx));
      if (ctx.found) return 0;
    }
    return 1;
  }
  if (cmd == "child-texts" && argc >= 3) {
    HWND top = FindByTitle(Wide(argv[2]));
    if (!top) return 1;
    ChildCtx ctx{L"", false, false};
    EnumChildWindows(top, VisitChild, reinterpret_cast<LPARAM>(&ctx));
    return 0;
  }
  if (argc < 3) return Usage();
  HWND w = FindByClass(Wide(argv[2]), false);
  if (!w) return 1;
  if (cmd == "rect") {
    RECT r;
    GetWindowRect(w, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
  }
  if (cmd == "client") {
    RECT r;
    GetClientRect(w, &r);
    MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&r), 2);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
  }
  if (cmd == "text") {
    std::printf("%s\n", Utf8(TextOf(w)).c_str());
    if (HWND sb = FindWindowExW(w, nullptr, L"msctls_statusbar32", nullptr))
      std::printf("%s\n", Utf8(TextOf(sb)).c_str());
    return 0;
  }
  if ((cmd == "send" || cmd == "post") && argc >= 4) {
    UINT m = (UINT)Num(argv[3]);
    WPARAM wp = argc >= 5 ? (WPARAM)Num(argv[4]) : 0;
    LPARAM lp = argc >= 6 ? (LPARAM)Num(argv[5]) : 0;
    if (cmd == "send") {
      DWORD_PTR r = 0;
      SendMessageTimeoutW(w, m, wp, lp, SMTO_NORMAL, 30000, &r);
      std::printf("%ld\n", (long)r);
    } else {
      PostMessageW(w, m, wp, lp);
    }
    return 0;
  }
  if (cmd == "command" && argc >= 4) {
    PostMessageW(w, WM_COMMAND, MAKEWPARAM((WORD)Num(argv[3]), 0), 0);
    return 0;
  }
  if ((cmd == "enabled" || cmd == "child-rect") && argc >= 4) {
    // A control anywhere under the window (a tool button lies in the tool bar), by its id.
    FindId find{(int)Num(argv[3]), nullptr};
    EnumChildWindows(w, VisitForId, reinterpret_cast<LPARAM>(&find));
    if (!find.found) return 1;
    if (cmd == "enabled") {
      std::printf("%d\n", IsWindowEnabled(find.found) ? 1 : 0);
    } else {
      RECT r;
      GetClientRect(find.found, &r);
      MapWindowPoints(find.found, nullptr, reinterpret_cast<POINT*>(&r), 2);
      std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    }
    return 0;
  }
  return Usage();
}
