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

std::string HandedWideFileName(std::span<const uint8_t> b) {
  if (b.empty() || b.size() % 2 || b.size() > kHandOffMaxBytes) return {};
  std::string out;
  for (size_t i = 0; i < b.size(); i += 2) {
    uint32_t c = b[i] | uint32_t(b[i + 1]) << 8;
    if (c == 0 || c == '\r' || c == '\n' || (c >= 0xDC00 && c <= 0xDFFF)) return {};
    if (c >= 0xD800 && c <= 0xDBFF) {
      const uint32_t low = i + 3 < b.size() ? b[i + 2] | uint32_t(b[i + 3]) << 8 : 0;
      if (low < 0xDC00 || low > 0xDFFF) return {};
      c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    AppendUtf8(out, c);
  }
  return out;
}

}  // namespace griv
