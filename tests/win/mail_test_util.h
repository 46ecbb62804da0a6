// Reading the call logs of the tests' mail client and Outlook stand-in:
// one record a line, VERB<TAB>key=value..., values escaped (\\ \t \r \n \xHH).
#pragma once
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "mail/email_win.h"

namespace griv::test {

struct CallRecord {
  std::string verb;
  std::map<std::string, std::string> values;
  bool Has(const std::string& key) const { return values.count(key) != 0; }
  std::string operator[](const std::string& key) const {
    auto it = values.find(key);
    return it == values.end() ? std::string("<absent>") : it->second;
  }
};

inline std::string Unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 >= s.size()) {
      out += s[i];
      continue;
    }
    char c = s[++i];
    if (c == 't') out += '\t';
    else if (c == 'r') out += '\r';
    else if (c == 'n') out += '\n';
    else if (c == 'x' && i + 2 < s.size()) {
      out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

inline std::vector<CallRecord> ReadCallLog(const std::string& path) {
  std::vector<CallRecord> out;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return out;
  std::string all;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) all.append(buf, n);
  std::fclose(f);
  size_t pos = 0;
  while (pos < all.size()) {
    size_t end = all.find('\n', pos);
    if (end == std::string::npos) end = all.size();
    std::string line = all.substr(pos, end - pos);
    pos = end + 1;
    CallRecord r;
    size_t field = 0;
    for (size_t start = 0; start <= line.size();) {
      size_t tab = line.find('\t', start);
      if (tab == std::string::npos) tab = line.size();
      std::string part = line.substr(start, tab - start);
      if (field++ == 0) {
        r.verb = part;
      } else {
        size_t eq = part.find('=');
        r.values[part.substr(0, eq)] = eq == std::string::npos ? std::string() : Unescape(part.substr(eq + 1));
      }
      start = tab + 1;
    }
    out.push_back(std::move(r));
  }
  return out;
}

inline std::vector<CallRecord> WithVerb(const std::vector<CallRecord>& log, const std::string& verb) {
  std::vector<CallRecord> out;
  for (const CallRecord& r : log)
    if (r.verb == verb) out.push_back(r);
  return out;
}

// A file beside the test program.
inline std::wstring BesideProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path);
  return p.substr(0, p.find_last_of(L"\\/") + 1) + name;
}

// The tests' mail client built without MAPISendMailW, loaded once.
inline MapiLibrary* AnsiOnlyClient() {
  static MapiLibrary lib;
  if (!lib.Available()) lib.Load({BesideProgram(L"mapi32-ansi.dll")});
  return &lib;
}

}  // namespace griv::test
