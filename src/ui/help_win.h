// The user's manual: the compiled help file griv.chm next to the program,
// shown through the system's HTML Help engine (hhctrl.ocx, loaded on first
// use), or the same page from the plain pages folder in the default browser
// when the help file cannot be shown (no engine, no file, an unknown topic).
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace griv {

// Where griv.chm and the pages folder are (the program's folder, with a backslash).
void SetHelpFolder(const std::string& folder);

// Each returns the help window, or null when the page went to the browser.
// caller owns the help window; pass a window that outlives the request.
HWND ShowHelpContents(HWND caller);
HWND ShowHelpContext(HWND caller, int context);
HWND ShowHelpPage(HWND caller, std::string_view page);

// Closes every help window (before the program ends).
void CloseHelp();

}  // namespace griv
