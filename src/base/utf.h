// UTF-8 inside, UTF-16 at the Win32 boundary; ANSI bytes where a stored format fixes them.
#pragma once
#ifdef _WIN32
#include <string>

namespace griv {
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);
// Bytes of the text in the system's ANSI code page (for formats that store raw bytes).
std::string ToAnsi(const std::string& utf8);
std::string FromAnsi(const std::string& ansi);
}  // namespace griv
#endif
