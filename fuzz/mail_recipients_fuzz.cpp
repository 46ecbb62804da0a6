// Recipient lines as typed, and the names and addresses a mail client gives
// back for them (any bytes, in the ANSI code page), through the rules that
// turn them into the fixed buffers handed to Simple MAPI.
//   input: the typed text, then NUL-separated names and addresses from the client.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "base/codepage.h"
#include "mail/mapi_rules.h"

using namespace griv;

namespace {

// Lead bytes of a double-byte code page (932's ranges).
bool LeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

size_t Characters(std::string_view s) {
  size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

void CheckBuffer(std::string_view src) {
  for (bool doubleByte : {false, true}) {
    char buffer[mapi::kTextBuffer + 8];
    std::memset(buffer, 0x5A, sizeof buffer);
    const size_t n = CopyBounded(src, buffer, mapi::kTextBuffer, doubleByte ? LeadByte : nullptr);
    for (size_t i = mapi::kTextBuffer; i < sizeof buffer; ++i)
      if (buffer[i] != 0x5A) std::abort();
    if (n >= mapi::kTextBuffer || n > src.size() || buffer[n] != '\0' || src.compare(0, n, buffer, n) != 0) std::abort();
    if (n < src.size() && n < mapi::kTextBuffer - 1 && !doubleByte) std::abort();
    if (doubleByte && n < src.size()) {
      size_t i = 0;
      while (i < n) i += LeadByte(static_cast<unsigned char>(src[i])) ? 2 : 1;
      if (i != n || n + 2 < mapi::kTextBuffer) std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string_view> parts;
  std::string_view all(reinterpret_cast<const char*>(data), size);
  for (size_t nul; (nul = all.find('\0')) != std::string_view::npos; all.remove_prefix(nul + 1))
    parts.push_back(all.substr(0, nul));
  parts.push_back(all);

  const std::vector<std::string> lines = SplitRecipients(parts[0]);
  for (const std::string& line : lines)
    if (line.empty() || line.find(';') != std::string::npos || TrimBlanks(line) != line) std::abort();
  if (SplitRecipients(JoinRecipients(lines)) != lines) std::abort();

  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view rawName = 2 * i + 1 < parts.size() ? parts[2 * i + 1] : std::string_view();
    const std::string_view rawAddress = 2 * i + 2 < parts.size() ? parts[2 * i + 2] : std::string_view();
    const std::string name = AnsiToUtf8(rawName);
    if (const auto plain = BracketedAddress(lines[i], name)) {
      if (plain->size() + 2 != lines[i].size()) std::abort();
      CheckBuffer(*plain);
    }
    CheckBuffer(rawName);
    CheckBuffer(rawAddress);
    const std::string cut = CutCharacters(name, mapi::kShortStringLength);
    if (name.compare(0, cut.size(), cut) != 0 || Characters(cut) > mapi::kShortStringLength) std::abort();
    const std::string shortName = TruncateFileName(name);
    if (Characters(name) <= 12 ? shortName != name
                               : Characters(shortName) > 12 || shortName.starts_with('.') ||
                                     !name.ends_with(shortName))
      std::abort();
  }
  return 0;
}
