// The capture folder's commands as data: the captures, the crop, the monitor
// and the capture mode; stamping; copy and paste. And the rules about the
// window in front that the captures follow.
#pragma once
#include <span>
#include <string>
#include <vector>

#include "ui/commands.h"

namespace griv {

std::span<const CommandRule> CaptureCommandRules();
std::span<const CommandRule> StampCommandRules();
std::span<const CommandRule> ClipboardCommandRules();

// The two radio pairs: the hidden "Capture Screen"/"Capture Area" (the mode
// of the first hot key) and "Use Monitor 1"/"Use Monitor 2".
void AddCaptureChecks(bool captureScreen, int monitorIndex, std::vector<CheckMark>& marks);

// The tray item of the delayed capture: "Capture Screen in 5 Seconds" ("1 Second").
std::string DelayedCaptureText(int seconds);
// The tray icon's tip while it counts down.
std::string CountdownTip(const std::string& caption, int secondsLeft);

// The foreground-window tracker ignores the task bar and the notification
// area: an active-window capture must take what the user worked in last.
bool TrackableForegroundClass(const std::string& className);

// A console window is in front (the hot keys then leave PrintScreen to it).
bool IsConsoleClass(const std::string& className, bool platformNT);

}  // namespace griv
