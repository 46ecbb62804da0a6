// The history's writer on the kernel's own threads and locks.
#include <gtest/gtest.h>
#include <windows.h>

#include "base/file_io.h"
#include "base/strings.h"
#include "history/history_names.h"
#include "history/history_writer.h"
#include "ui/system_path_win.h"

namespace griv {
namespace {

TEST(HistoryWriter, WritesOffTheCallingThreadAndPrunes) {
  const std::string folder = IncludeTrailingBackslash(TempFolder()) + "griv-history-test\\";
  for (const std::string& n : ListFileNames(folder)) DeleteFileUtf8(folder + n);
  Picture pic;
  pic.Resize(64, 48, 24);
  ThumbnailCache cache;
  std::vector<std::string> failures;
  {
    HistoryWriter writer(folder, cache, 32, 32);
    writer.OnFailure = [&](const std::string& m) { failures.push_back(m); };
    writer.Write("2026-01-01 00-00-00.png", pic, 1);
    writer.Write("2026-01-02 00-00-00.png", pic, 1);
    writer.Drain();
  }
  EXPECT_TRUE(failures.empty()) << failures.front();
  EXPECT_EQ(ListFileNames(folder), std::vector<std::string>{"2026-01-02 00-00-00.png"});
  for (const std::string& n : ListFileNames(folder)) DeleteFileUtf8(folder + n);
  RemoveDirectoryW(L"griv-history-test");
}

}  // namespace
}  // namespace griv
