#include "base/folder_path.h"

#include <vector>

#include "base/strings.h"

namespace griv {

namespace {
std::vector<std::string> SplitAtBackslash(std::string_view s) {
  std::vector<std::string> fields(1);
  for (char c : s) {
    if (c == '\\') fields.emplace_back();
    else fields.back().push_back(c);
  }
  return fields;
}
}  // namespace

bool CreateFolderPath(std::string_view path, const FolderOps& ops) {
  // With the trailing backslash the last field is always empty: fields 0 .. n-2 are levels.
  const std::vector<std::string> f = SplitAtBackslash(IncludeTrailingBackslash(path));
  const size_t n = f.size();
  std::string base;
  size_t next;
  if (path.substr(0, 2) == "\\\\") {
    if (n < 5) return false;
    base = "\\\\" + f[2] + "\\" + f[3] + "\\";
    next = 4;
  } else {
    if (n < 2) return false;
    base = f[0] + "\\";
    next = 1;
  }
  for (size_t i = next; i + 1 < n; ++i) {
    base += f[i] + "\\";
    if (!ops.exists(base) && !ops.create(base)) return false;
  }
  return true;
}

}  // namespace griv
