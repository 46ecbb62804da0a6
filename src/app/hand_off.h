// What a second start hands to the running program: the request of its
// first command-line parameter, and the name of a file to open, written as
// ANSI bytes into the hand-off file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "base/codepage.h"

namespace griv {

// What the first command-line parameter asks for.
enum class CommandRequest {
  None,           // no parameter
  CaptureFull,    // "\F" exactly
  CaptureActive,  // "\A" exactly (only a running instance can take the last active window)
  OpenFile,       // the name of an existing file
  ShowMain,       // anything else
};
CommandRequest ParseCommandParam(const std::string& param, const std::function<bool(const std::string&)>& fileExists);

// Larger hand-off files are not read (no file name is that long).
inline constexpr size_t kHandOffMaxBytes = 65536;

// The file name in the hand-off file's bytes, as UTF-8: empty when there is
// none or the bytes cannot be one (too many, or a NUL, CR or LF inside, which
// no file name holds). fromAnsi decodes the ANSI code page.
std::string HandedFileName(std::string_view bytes, std::string (*fromAnsi)(std::string_view) = AnsiToUtf8);

// The name a second start sends by window message when the ANSI code page
// cannot spell it (UTF-16LE bytes), as UTF-8, by the same rules; an odd byte
// count or a surrogate without its partner gives none too.
std::string HandedWideFileName(std::span<const uint8_t> utf16le);

}  // namespace griv
