// Code-page conversion through the system on Windows.
#include <windows.h>

#include "base/codepage.h"
#include "base/utf.h"

namespace griv {

CodePageResult TextToCodePageExact(std::string_view utf8, unsigned codePage, std::string& out) {
  if (!IsValidUtf8(utf8)) return CodePageResult::Unconvertible;
  const UINT cp = codePage == kAnsiCodePage ? CP_ACP : codePage;
  if (cp == CP_UTF8) {
    out.assign(utf8);
    return CodePageResult::Ok;
  }
  if (utf8.empty()) {
    if (!IsValidCodePage(cp == CP_ACP ? GetACP() : cp)) return CodePageResult::UnknownCodePage;
    out.clear();
    return CodePageResult::Ok;
  }
  const std::wstring w = Widen(std::string(utf8));
  // No best fit ("ö" must not become "o") and no default character: either
  // every character has its own byte form or the text is refused.
  BOOL usedDefault = FALSE;
  const int n = WideCharToMultiByte(cp, WC_NO_BEST_FIT_CHARS, w.data(), int(w.size()), nullptr, 0, nullptr,
                                    &usedDefault);
  if (n <= 0) {
    const DWORD e = GetLastError();
    return e == ERROR_INVALID_PARAMETER || e == ERROR_INVALID_FLAGS ? CodePageResult::UnknownCodePage
                                                                     : CodePageResult::Unconvertible;
  }
  std::string result(size_t(n), '\0');
  usedDefault = FALSE;
  if (WideCharToMultiByte(cp, WC_NO_BEST_FIT_CHARS, w.data(), int(w.size()), result.data(), n, nullptr,
                          &usedDefault) != n ||
      usedDefault)
    return CodePageResult::Unconvertible;
  out = std::move(result);
  return CodePageResult::Ok;
}

std::string AnsiToUtf8(std::string_view ansi) { return FromAnsi(std::string(ansi)); }

}  // namespace griv
