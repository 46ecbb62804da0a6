// Text in Windows code pages: the bytes that stored formats and the cipher's
// key derivation use, and the way back to the program's UTF-8.
#pragma once
#include <string>
#include <string_view>

namespace griv {

// The system's ANSI code page on Windows (CP_ACP); 1252 elsewhere.
inline constexpr unsigned kAnsiCodePage = 0;
inline constexpr unsigned kDefaultKeyCodePage = 1252;

enum class CodePageResult {
  Ok,
  Unconvertible,    // a character has no exact byte form there (or the text is not valid UTF-8)
  UnknownCodePage,  // the system cannot convert to that code page
};

// The bytes of a UTF-8 text in a code page, exactly or not at all: no
// best-fit substitutes (a "ö" never silently becomes "o") and no default
// character. Key texts go through this so that every program that derives
// a key from the same text gets the same bytes. out is set only on Ok.
CodePageResult TextToCodePageExact(std::string_view utf8, unsigned codePage, std::string& out);

// Text in the ANSI code page (Windows) or in code page 1252 (elsewhere), as UTF-8.
std::string AnsiToUtf8(std::string_view ansi);

// Code page 1252 as UTF-8; the five bytes it leaves undefined become U+FFFD.
std::string Cp1252ToUtf8(std::string_view bytes);

// Appends the UTF-8 form of a code point (at most U+10FFFF, no surrogate).
void AppendUtf8(std::string& out, uint32_t codePoint);

// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

}  // namespace griv
