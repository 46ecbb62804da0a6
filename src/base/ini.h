// Reader for Windows private-profile (ini) text: [section] headers and key=value
// lines. Names compare without regard to case; the first occurrence wins.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace griv {

class IniFile {
 public:
  IniFile() = default;
  explicit IniFile(std::string_view text) { Parse(text); }
  void Parse(std::string_view text);

  bool HasSection(std::string_view section) const;
  // Value of a key with surrounding blanks (and one pair of matching quotes) removed.
  std::optional<std::string> Read(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  // Leading decimal (or 0x hex) number; def when absent or not a number.
  int ReadInteger(std::string_view section, std::string_view key, int def) const;
  // key=value lines of a section in file order, as (key, value) with the value as written.
  std::vector<std::pair<std::string, std::string>> SectionLines(std::string_view section) const;

 private:
  struct Entry {
    std::string key, value;
  };
  struct Section {
    std::string name;
    std::vector<Entry> entries;
  };
  const Section* Find(std::string_view section) const;
  std::vector<Section> sections_;
};

}  // namespace griv
