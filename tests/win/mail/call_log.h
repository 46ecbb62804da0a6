// The call log the tests' mail client and Outlook stand-in write: one line per
// call, appended to the file named by an environment variable. Texts have \\,
// \t, \r, \n and bytes outside 0x20..0x7E escaped (\xHH).
#pragma once
#include <windows.h>

#include <cstdio>
#include <string>

namespace griv_test_mail {

inline std::string Env(const char* name) {
  char buf[1024];
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  return n && n < sizeof buf ? std::string(buf, n) : std::string();
}

inline std::string Escape(const char* s, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == '\\') out += "\\\\";
    else if (c == '\t') out += "\\t";
    else if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c < 0x20 || c > 0x7E) {
      char h[8];
      std::snprintf(h, sizeof h, "\\x%02X", c);
      out += h;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

inline std::string Escape(const std::string& s) { return Escape(s.data(), s.size()); }

// Appends line to the log named by the variable logVar; nothing when it is unset.
inline void AppendLine(const char* logVar, std::string line) {
  const std::string path = Env(logVar);
  if (path.empty()) return;
  if (FILE* f = std::fopen(path.c_str(), "ab")) {
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), f);
    std::fclose(f);
  }
}

}  // namespace griv_test_mail
