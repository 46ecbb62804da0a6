#include "ui/help_win.h"

#include <shellapi.h>

#include <type_traits>

#include "base/file_io.h"
#include "base/handles_win.h"
#include "base/system_dll_win.h"
#include "base/utf.h"
#include "ui/help_topics.h"
#include "ui/ui_win.h"

namespace griv {

namespace {

// Commands of the HTML Help engine.
constexpr UINT HH_DISPLAY_TOPIC = 0x0000;
constexpr UINT HH_DISPLAY_TOC = 0x0001;
constexpr UINT HH_HELP_CONTEXT = 0x000F;
constexpr UINT HH_CLOSE_ALL = 0x0012;

using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

std::string& Folder() {
  static std::string folder;
  return folder;
}

bool engineLoaded = false;

HtmlHelpFn Engine() {
  static HtmlHelpFn fn = [] {
    const auto found = SystemProc<std::remove_pointer_t<HtmlHelpFn>>(L"hhctrl.ocx", "HtmlHelpW");
    engineLoaded = found != nullptr;
    return found;
  }();
  return fn;
}

std::string HelpFile() { return Folder() + std::string(kHelpFileName); }

HWND RunEngine(HWND caller, const std::string& file, UINT command, DWORD_PTR data) {
  if (!FileExists(HelpFile())) return nullptr;
  HtmlHelpFn fn = Engine();
  if (!fn) return nullptr;
  return fn(caller, Widen(file).c_str(), command, data);
}

void OpenInBrowser(std::string_view page) {
  const std::string path = Folder() + std::string(kHelpPagesFolder) + "\\" + std::string(page);
  if (!FileExists(path)) {
    ShowMessage(nullptr, "The help for this topic could not be found:\r\n" + path, ApplicationTitle(),
                MB_OK | MB_ICONWARNING);
    return;
  }
  WaitCursor wait;
  OpenWithShell(path);
}

HWND Shown(HWND help) {
  if (help) {
    ShowWindow(help, SW_SHOWNORMAL);
    SetForegroundWindow(help);
  }
  return help;
}

}  // namespace

void SetHelpFolder(const std::string& folder) { Folder() = folder; }

HWND ShowHelpContents(HWND caller) {
  if (HWND h = RunEngine(caller, HelpFile(), HH_DISPLAY_TOC, 0)) return Shown(h);
  OpenInBrowser(kHelpContentsPage);
  return nullptr;
}

HWND ShowHelpContext(HWND caller, int context) {
  if (HWND h = RunEngine(caller, HelpFile(), HH_HELP_CONTEXT, static_cast<DWORD_PTR>(context))) return Shown(h);
  OpenInBrowser(HelpPageOf(context));
  return nullptr;
}

HWND ShowHelpPage(HWND caller, std::string_view page) {
  if (HWND h = RunEngine(caller, HelpFileTopic(HelpFile(), page), HH_DISPLAY_TOPIC, 0)) return Shown(h);
  OpenInBrowser(page);
  return nullptr;
}

void CloseHelp() {
  if (engineLoaded) {
    if (HtmlHelpFn fn = Engine()) fn(nullptr, nullptr, HH_CLOSE_ALL, 0);
  }
}

}  // namespace griv
