#include "base/ini.h"

#include <cstdlib>

#include "base/strings.h"

namespace griv {

static std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return s.substr(b, e - b);
}

void IniFile::Parse(std::string_view text) {
  sections_.clear();
  if (text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
      static_cast<unsigned char>(text[1]) == 0xBB && static_cast<unsigned char>(text[2]) == 0xBF)
    text.remove_prefix(3);
  Section* cur = nullptr;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) nl = text.size();
    std::string_view line = Trim(text.substr(pos, nl - pos));
    pos = nl + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      size_t close = line.find(']');
      std::string name(Trim(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1)));
      sections_.push_back({name, {}});
      cur = &sections_.back();
      continue;
    }
    if (!cur) continue;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    cur->entries.push_back({std::string(Trim(line.substr(0, eq))), std::string(line.substr(eq + 1))});
  }
}

const IniFile::Section* IniFile::Find(std::string_view section) const {
  for (const auto& s : sections_)
    if (SameText(s.name, section)) return &s;
  return nullptr;
}

bool IniFile::HasSection(std::string_view section) const { return Find(section) != nullptr; }

std::optional<std::string> IniFile::Read(std::string_view section, std::string_view key) const {
  const Section* s = Find(section);
  if (!s) return std::nullopt;
  for (const auto& e : s->entries) {
    if (!SameText(e.key, key)) continue;
    std::string_view v = Trim(e.value);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
      v = v.substr(1, v.size() - 2);
    return std::string(v);
  }
  return std::nullopt;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  auto v = Read(section, key);
  return v ? *v : std::string(def);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
  auto v = Read(section, key);
  if (!v || v->empty()) return def;
  const char* p = v->c_str();
  char* end = nullptr;
  long long n;
  if (v->size() > 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X'))
    n = std::strtoll(p + 2, &end, 16);
  else if (p[0] == '$')
    n = std::strtoll(p + 1, &end, 16);
  else
    n = std::strtoll(p, &end, 10);
  if (end == p || (end && *end != '\0')) return def;
  return static_cast<int>(n);
}

std::vector<std::pair<std::string, std::string>> IniFile::SectionLines(std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> out;
  if (const Section* s = Find(section))
    for (const auto& e : s->entries) out.emplace_back(e.key, e.value);
  return out;
}

}  // namespace griv
