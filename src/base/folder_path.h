// Creating every missing folder of a drive or network path.
#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace griv {

// How folders are looked at and made (the file system, or a test's own).
struct FolderOps {
  std::function<bool(const std::string& folder)> exists;  // folder ends with a backslash
  std::function<bool(const std::string& folder)> create;  // makes one level; true on success
};

// Creates the folders of path from the top down. The first level (a drive such
// as "C:", or \\server\share of a network path) is never made or tested; each
// level below it that does not exist is made. False when the path has no level
// below that (a network path needs a server and a share) or a level cannot be
// made; the levels made before stay.
bool CreateFolderPath(std::string_view path, const FolderOps& ops);

}  // namespace griv
