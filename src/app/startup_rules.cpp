#include "app/startup_rules.h"

#include "base/strings.h"

namespace griv {

CommandRequest ParseCommandParam(const std::string& p, const std::function<bool(const std::string&)>& fileExists) {
  if (p.empty()) return CommandRequest::None;
  if (p == "\\F") return CommandRequest::CaptureFull;
  if (p == "\\A") return CommandRequest::CaptureActive;
  if (fileExists(p)) return CommandRequest::OpenFile;
  return CommandRequest::ShowMain;
}

bool TrackableForegroundClass(const std::string& className) {
  const std::string name = UpperCase(className);
  return !(name == "SYSTABCONTROL32" || name.rfind("TRAY", 0) == 0 || name == "SHELL_TRAYWND");
}

bool IsConsoleClass(const std::string& className, bool platformNT) {
  return SameText(className, platformNT ? "ConsoleWindowClass" : "tty");
}

}  // namespace griv
