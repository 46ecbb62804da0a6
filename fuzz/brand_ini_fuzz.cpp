// Arbitrary bytes as the decrypted text of a brand file, read the way the
// program reads it (to UTF-8, then as an ini), and as a brand file itself.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/codepage.h"
#include "tray/branding.h"
#include "crypto/des.h"
#include "base/ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view plain(reinterpret_cast<const char*>(data), size);
  const std::string text = griv::BrandTextToUtf8(plain, griv::AnsiToUtf8);
  // Text behind a byte-order mark is taken as it is; everything else comes out as UTF-8.
  if (plain.starts_with("\xEF\xBB\xBF") ? text != plain.substr(3) : !griv::IsValidUtf8(text)) std::abort();
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
  if (griv::DecryptBrand(griv::EncryptBrand(plain)) != plain) std::abort();
  try {
    griv::ParseBranding(griv::BrandTextToUtf8(griv::DecryptBrand({data, size}), griv::AnsiToUtf8));
  } catch (const griv::EFileError&) {
  }
  return 0;
}
