#include "history/history_names.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "ids_app.h"

namespace griv {

namespace {
constexpr std::string_view kEdited = " edited";
constexpr size_t kStamp = 19;  // "YYYY-MM-DD hh-mm-ss"

bool EndsWith(std::string_view s, std::string_view end) {
  return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// The entry a file belongs to, and whether it comes first (edited before its capture).
auto Key(const HistoryFile& f) { return std::tuple(f.time, f.number, f.edited); }
}  // namespace

std::optional<HistoryFile> ParseHistoryName(const std::string& fileName) {
  std::string_view s = fileName;
  if (!EndsWith(s, kHistoryExt)) return std::nullopt;
  s.remove_suffix(std::string_view(kHistoryExt).size());
  HistoryFile f;
  f.name = fileName;
  if (EndsWith(s, kEdited)) {
    f.edited = true;
    s.remove_suffix(kEdited.size());
  }
  if (s.size() < kStamp) return std::nullopt;
  const auto time = ParseDateTimeName(s.substr(0, kStamp));
  if (!time) return std::nullopt;
  f.time = *time;
  std::string_view rest = s.substr(kStamp);
  if (!rest.empty()) {
    // " (n)" with n from 2 on, as FirstFreeName makes it.
    if (rest.size() < 4 || rest.substr(0, 2) != " (" || rest.back() != ')' || rest.size() > 10) return std::nullopt;
    const std::string_view digits = rest.substr(2, rest.size() - 3);
    if (digits.front() == '0') return std::nullopt;
    int n = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return std::nullopt;
      n = n * 10 + (c - '0');
    }
    if (n < 2) return std::nullopt;
    f.number = n;
  }
  return f;
}

std::string EditedNameOf(const std::string& captureName) {
  std::string_view s = captureName;
  if (EndsWith(s, kHistoryExt)) s.remove_suffix(std::string_view(kHistoryExt).size());
  return std::string(s) + std::string(kEdited) + kHistoryExt;
}

std::vector<HistoryFile> HistoryFiles(const std::vector<std::string>& fileNames) {
  std::vector<HistoryFile> out;
  for (const std::string& n : fileNames)
    if (auto f = ParseHistoryName(n)) out.push_back(std::move(*f));
  std::sort(out.begin(), out.end(), [](const HistoryFile& a, const HistoryFile& b) { return Key(a) > Key(b); });
  return out;
}

std::vector<std::string> FilesBeyond(const std::vector<HistoryFile>& newestFirst, int keep) {
  std::vector<std::string> out;
  int entries = 0;
  for (size_t i = 0; i < newestFirst.size(); ++i) {
    const HistoryFile& f = newestFirst[i];
    // A new entry starts where time or number change.
    const bool sameEntry =
        i > 0 && newestFirst[i - 1].time == f.time && newestFirst[i - 1].number == f.number;
    if (!sameEntry) ++entries;
    if (entries > keep) out.push_back(f.name);
  }
  return out;
}

std::string HistoryLabel(const HistoryFile& f) {
  char text[64];
  const LocalTime& t = f.time;
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  std::string label = text;
  if (f.number > 1) label += " (" + std::to_string(f.number) + ")";
  if (f.edited) label += std::string(kEdited);
  return label;
}

namespace {
constexpr CommandRule kHistoryRules[] = {
    {CM_RECENTCAPTURES, CM_RECENTCAPTURES, kMainMenu, kAlways},
};
}  // namespace

std::span<const CommandRule> HistoryCommandRules() { return kHistoryRules; }

std::vector<std::string> UnfinishedWrites(const std::vector<std::string>& fileNames) {
  std::vector<std::string> out;
  for (const std::string& n : fileNames) {
    // The atomic writer's temporary: the target's name, ".~", eight hex digits, ".tmp".
    const size_t at = n.rfind(".~");
    if (at == std::string::npos || n.size() != at + 2 + 8 + 4 || !EndsWith(n, ".tmp")) continue;
    if (ParseHistoryName(n.substr(0, at))) out.push_back(n);
  }
  return out;
}

}  // namespace griv
