#include "app/hand_off.h"

namespace griv {

CommandRequest ParseCommandParam(const std::string& p, const std::function<bool(const std::string&)>& fileExists) {
  if (p.empty()) return CommandRequest::None;
  if (p == "\\F") return CommandRequest::CaptureFull;
  if (p == "\\A") return CommandRequest::CaptureActive;
  if (fileExists(p)) return CommandRequest::OpenFile;
  return CommandRequest::ShowMain;
}

std::string HandedFileName(std::string_view bytes, std::string (*fromAnsi)(std::string_view)) {
  if (bytes.empty() || bytes.size() > kHandOffMaxBytes) return {};
  if (bytes.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos) return {};
  return fromAnsi(bytes);
}

}  // namespace griv
