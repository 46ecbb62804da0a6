// Code-page conversion through iconv on POSIX systems.
#include <iconv.h>

#include <cerrno>
#include <string>

#include "base/codepage.h"

namespace griv {

CodePageResult TextToCodePageExact(std::string_view utf8, unsigned codePage, std::string& out) {
  if (codePage == kAnsiCodePage) codePage = kDefaultKeyCodePage;
  if (!IsValidUtf8(utf8)) return CodePageResult::Unconvertible;
  if (codePage == 65001) {
    out.assign(utf8);
    return CodePageResult::Ok;
  }
  const std::string name = "CP" + std::to_string(codePage);
  iconv_t cd = iconv_open(name.c_str(), "UTF-8");
  if (cd == iconv_t(-1)) return CodePageResult::UnknownCodePage;
  std::string result(utf8.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* o = result.data();
  size_t outLeft = result.size();
  // Without //TRANSLIT iconv stops at the first character the code page lacks.
  const size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
  const bool complete = r != size_t(-1) && inLeft == 0 && iconv(cd, nullptr, nullptr, &o, &outLeft) != size_t(-1);
  iconv_close(cd);
  // iconv counts characters it had to approximate in r.
  if (!complete || r != 0) return CodePageResult::Unconvertible;
  result.resize(result.size() - outLeft);
  out = std::move(result);
  return CodePageResult::Ok;
}

std::string AnsiToUtf8(std::string_view ansi) { return Cp1252ToUtf8(ansi); }

}  // namespace griv
