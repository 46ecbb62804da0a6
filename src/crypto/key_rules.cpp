#include "crypto/key_rules.h"

#include "base/codepage.h"

namespace griv {

namespace {
constexpr size_t kMinKeyCharacters = 8;

size_t Characters(std::string_view utf8) {
  size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}
}  // namespace

KeyVerdict JudgeKey(std::string_view key, std::string_view again, bool confirm, unsigned codePage,
                    KtxFormat format) {
  KeyVerdict v;
  std::string bytes;
  if (format == KtxFormat::Des && !key.empty() && TextToCodePageExact(key, codePage, bytes) != CodePageResult::Ok) {
    v.hint = kKeyNotInCodePage;
    return v;
  }
  if (Characters(key) < kMinKeyCharacters) return v;
  if (confirm && again != key) {
    v.hint = again.empty() ? kKeyTypeAgain : kKeysDiffer;
    return v;
  }
  v.ok = true;
  return v;
}

}  // namespace griv
