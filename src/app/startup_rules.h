// Rules of the program's start and of its window tracker that need no window.
#pragma once
#include <functional>
#include <string>

namespace griv {

// What the first command-line parameter asks for.
enum class CommandRequest {
  None,           // no parameter
  CaptureFull,    // "\F" exactly
  CaptureActive,  // "\A" exactly (only a running instance can take the last active window)
  OpenFile,       // the name of an existing file
  ShowMain,       // anything else
};
CommandRequest ParseCommandParam(const std::string& param, const std::function<bool(const std::string&)>& fileExists);

// The foreground-window tracker ignores the task bar and the notification
// area: an active-window capture must take what the user worked in last.
bool TrackableForegroundClass(const std::string& className);

// A console window is in front (the hot keys then leave PrintScreen to it).
bool IsConsoleClass(const std::string& className, bool platformNT);

}  // namespace griv
