// The folders of src/ from the bottom up: a file includes headers of its own
// folder and of folders below it, never above (and no feature includes app/).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

const std::vector<std::string> kLayers = {"base",    "ui",      "hotkeys", "options", "image", "markup", "crypto",
                                          "mail",    "printing", "capture", "history", "tray",  "app"};

TEST(Layout, NothingIncludesAFolderAboveItsOwn) {
  namespace fs = std::filesystem;
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(GRIV_SOURCE)) {
    if (!entry.is_regular_file()) continue;
    const std::string folder = entry.path().parent_path().filename().string();
    const auto own = std::find(kLayers.begin(), kLayers.end(), folder);
    ASSERT_NE(own, kLayers.end()) << folder << ": a new folder takes its place in kLayers";
    std::ifstream in(entry.path());
    ++files;
    for (std::string line; std::getline(in, line);) {
      const std::string quoted = "#include \"";
      const size_t slash = line.find('/');
      if (line.rfind(quoted, 0) != 0 || slash == std::string::npos) continue;
      const auto used = std::find(kLayers.begin(), kLayers.end(), line.substr(quoted.size(), slash - quoted.size()));
      EXPECT_TRUE(used != kLayers.end() && used <= own) << entry.path().string() << ": " << line;
    }
  }
  EXPECT_GT(files, 100);
}

}  // namespace
