#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "base/folder_path.h"

using namespace griv;

namespace {
// A disk in memory that records every look and every folder made.
struct Disk {
  std::set<std::string> folders;
  std::set<std::string> refuse;  // folders that cannot be made (a file of that name, no rights)
  std::vector<std::string> looked, made;
  FolderOps Ops() {
    return {[this](const std::string& f) {
              looked.push_back(f);
              return folders.count(f) > 0;
            },
            [this](const std::string& f) {
              if (refuse.count(f)) return false;
              made.push_back(f);
              folders.insert(f);
              return true;
            }};
  }
};
using Names = std::vector<std::string>;
}  // namespace

TEST(CreateFolderPath, OnADriveMakesTheMissingLevelsTopDownAndNeverTouchesTheDrive) {
  Disk d;
  d.folders = {"C:\\a\\"};
  EXPECT_TRUE(CreateFolderPath("C:\\a\\b\\c", d.Ops()));
  EXPECT_EQ(d.made, (Names{"C:\\a\\b\\", "C:\\a\\b\\c\\"}));
  EXPECT_EQ(d.looked, (Names{"C:\\a\\", "C:\\a\\b\\", "C:\\a\\b\\c\\"}));

  Disk again = d;
  again.looked.clear();
  again.made.clear();
  EXPECT_TRUE(CreateFolderPath("C:\\a\\b\\c\\", again.Ops()));  // the same with the backslash written
  EXPECT_TRUE(again.made.empty());

  Disk root;
  EXPECT_TRUE(CreateFolderPath("D:\\", root.Ops()));  // nothing below the drive: nothing to do
  EXPECT_TRUE(root.looked.empty() && root.made.empty());
}

TEST(CreateFolderPath, StopsAtTheFirstLevelThatCannotBeMadeAndKeepsWhatWasMade) {
  Disk d;
  d.refuse = {"C:\\x\\y\\"};
  EXPECT_FALSE(CreateFolderPath("C:\\x\\y\\z", d.Ops()));
  EXPECT_EQ(d.made, Names{"C:\\x\\"});
  EXPECT_EQ(d.looked, (Names{"C:\\x\\", "C:\\x\\y\\"}));  // z is never tried
}

TEST(CreateFolderPath, ANetworkPathStartsBelowItsServerAndShare) {
  Disk d;
  EXPECT_TRUE(CreateFolderPath("\\\\S\\T\\shots\\2026", d.Ops()));
  EXPECT_EQ(d.made, (Names{"\\\\S\\T\\shots\\", "\\\\S\\T\\shots\\2026\\"}));
  EXPECT_EQ(d.looked.front(), "\\\\S\\T\\shots\\");  // server and share are never looked at

  Disk share;
  EXPECT_TRUE(CreateFolderPath("\\\\S\\T", share.Ops()));  // just the share: nothing to make
  EXPECT_TRUE(share.looked.empty());

  // Fewer than five fields: no share to work under.
  for (const char* p : {"\\\\S", "\\\\S\\", "\\\\"}) {
    Disk bad;
    EXPECT_FALSE(CreateFolderPath(p, bad.Ops())) << p;
    EXPECT_TRUE(bad.looked.empty() && bad.made.empty()) << p;
  }
}
