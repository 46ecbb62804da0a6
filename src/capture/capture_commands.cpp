#include "capture/capture_commands.h"

#include "base/strings.h"
#include "ids_app.h"

namespace griv {

namespace {
constexpr uint8_t M = kMainMenu, T = kTrayMenu, P = kImageMenu, B = kToolBar;

constexpr CommandRule kCaptureRules[] = {
    {CM_CAPSCREENNOW, CM_CAPAREANOW, T, kAlways},
    {CM_CAPDELAYED, CM_CAPDELAYED, T, kAlways},
    {CM_CANCELDELAYED, CM_CANCELDELAYED, T, kDelayedCapture},
    {CM_SELECTAREA, CM_SELECTAREA, B, kAlways},
    {CM_CROP, CM_CROP, P | B, kImage},
    {CM_MONITOR1, CM_MONITOR2, T, kAlways},
    {CM_SETSCREEN, CM_SETAREA, kHidden, kAlways},
};

constexpr CommandRule kStampRules[] = {
    {CM_ADDCURSOR, CM_ADDCURSOR, M, kImage | kOneToOne},
    {CM_STAMPICON, CM_GETCURSOR, B, kAlways},
};

constexpr CommandRule kClipboardRules[] = {
    {CM_COPY, CM_COPY, M | P | B, kImage},
    {CM_PASTE, CM_PASTE, M | P | B, kClipboardBitmap},
};
}  // namespace

std::span<const CommandRule> CaptureCommandRules() { return kCaptureRules; }
std::span<const CommandRule> StampCommandRules() { return kStampRules; }
std::span<const CommandRule> ClipboardCommandRules() { return kClipboardRules; }

void AddCaptureChecks(bool captureScreen, int monitorIndex, std::vector<CheckMark>& marks) {
  marks.insert(marks.end(), {{CM_SETSCREEN, captureScreen},
                             {CM_SETAREA, !captureScreen},
                             {CM_MONITOR1, monitorIndex == 0},
                             {CM_MONITOR2, monitorIndex != 0}});
}

std::string DelayedCaptureText(int seconds) {
  return "Capture Screen in " + std::to_string(seconds) + (seconds == 1 ? " Second" : " Seconds");
}

std::string CountdownTip(const std::string& caption, int secondsLeft) {
  return caption + "Capture in " + std::to_string(secondsLeft) + (secondsLeft == 1 ? " second" : " seconds") +
         " - Esc cancels";
}

bool TrackableForegroundClass(const std::string& className) {
  const std::string name = UpperCase(className);
  return !(name == "SYSTABCONTROL32" || name.rfind("TRAY", 0) == 0 || name == "SHELL_TRAYWND");
}

bool IsConsoleClass(const std::string& className, bool platformNT) {
  return SameText(className, platformNT ? "ConsoleWindowClass" : "tty");
}

}  // namespace griv
