// How a second start reaches the running program: the main window's class,
// its private messages and the hand-off file of a name to open.
#pragma once
#include <windows.h>

#include <string>

namespace griv {

inline constexpr UINT WM_CAPTURE_FULL = WM_USER + 1;
inline constexpr UINT WM_CAPTURE_ACTIVE = WM_USER + 2;
inline constexpr UINT WM_OPEN_HANDED_FILE = WM_USER + 3;
inline constexpr UINT WM_SHOW_MAIN = WM_USER + 4;
inline constexpr UINT WM_OPEN_WEBSITE = WM_USER + 5;

inline constexpr wchar_t kMainClassName[] = L"TfrmCaptureForm";
inline constexpr char kHandOffFileName[] = "~~ktw01";
// A name the ANSI code page cannot hold comes in a WM_COPYDATA of this kind, in UTF-16.
inline constexpr ULONG_PTR kHandOffCopyData = 0x47524956;  // "GRIV"
// Held by a second start from writing the hand-off file until the running
// program has read it, so two second starts never mix their names.
inline constexpr wchar_t kHandOffMutexName[] = L"KTW-handoff";

// The name in the hand-off file of the temporary folder; empty when there is none.
std::string ReadHandOffFile();
// The name a WM_COPYDATA of the hand-off kind carries; empty when it is not
// one or carries no name. Both go through the same rule (HandedFileName).
std::string HandedCopyDataName(const COPYDATASTRUCT* data);

}  // namespace griv
