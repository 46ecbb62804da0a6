// Parses arbitrary text as a brand ini, and arbitrary bytes as a brand file.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tray/branding.h"
#include "crypto/des.h"
#include "base/ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  griv::Branding b = griv::ParseBranding(text);
  if (b.tagLines.empty()) std::abort();
  // Lines from the section are cut; the print caption standing in for an empty
  // section is kept whole, as it is printed.
  bool fromSection = !griv::IniFile(text).SectionLines("TagLines").empty();
  if (!fromSection && b.tagLines != std::vector<std::string>{b.printCaption}) std::abort();
  for (const auto& line : b.tagLines) {
    if (!fromSection) break;
    size_t chars = 0;
    for (unsigned char c : line) chars += (c & 0xC0) != 0x80;
    if (chars > griv::kTagLineMaxChars) std::abort();
  }
  griv::TagStart s = griv::StartTagIndex(static_cast<int>(size) - 8, b.tagLines.size());
  if (s.index < 0 || static_cast<size_t>(s.index) >= b.tagLines.size()) std::abort();
  (void)b.DialogCaption();
  try {
    griv::ParseBranding(griv::DecryptBrand({data, size}));
  } catch (const griv::EFileError&) {
  }
  return 0;
}
