// The capture history's names, entries and pruning, and its writer on a real folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "base/file_io.h"
#include "history/history_names.h"
#include "history/history_writer.h"
#include "image/image_files.h"
#include "options/settings.h"

namespace griv {
namespace {

namespace fs = std::filesystem;

TEST(HistoryNames, DateTimeSuffixAndEditedStateParseBackAndSortNewestFirst) {
  const LocalTime t{2026, 12, 7, 19, 30, 12};
  EXPECT_EQ(DateTimeName(t), "2026-12-07 19-30-12");
  std::set<std::string> taken;
  auto take = [&] {
    const std::string n = FirstFreeName(DateTimeName(t), ".png", [&](const std::string& s) { return taken.count(s) > 0; });
    taken.insert(n);
    return n;
  };
  EXPECT_EQ(take(), "2026-12-07 19-30-12.png");
  EXPECT_EQ(take(), "2026-12-07 19-30-12 (2).png");
  EXPECT_EQ(take(), "2026-12-07 19-30-12 (3).png");
  EXPECT_EQ(EditedNameOf("2026-12-07 19-30-12 (2).png"), "2026-12-07 19-30-12 (2) edited.png");

  const auto f = ParseHistoryName("2026-12-07 19-30-12 (12) edited.png");
  ASSERT_TRUE(f);
  EXPECT_EQ(f->time, t);
  EXPECT_EQ(f->number, 12);
  EXPECT_TRUE(f->edited);
  EXPECT_EQ(HistoryLabel(*f), "2026-12-07 19:30:12 (12) edited");
  // Names the history never makes are not its pictures.
  for (const char* other : {"GRIV-00001.png", "2026-12-07 19-30-12.jpg", "2026-13-07 19-30-12.png",
                            "2026-12-07 19-30-12 (1).png", "2026-12-07 19-30-12 (02).png", "2026-12-07 19-30-1.png",
                            "x2026-12-07 19-30-12.png", "2026-12-07 19-30-12 edited edited.png"})
    EXPECT_FALSE(ParseHistoryName(other)) << other;

  // Numbers compare as numbers, and an edited state comes before its capture.
  const auto files = HistoryFiles({"2026-12-07 19-30-12 (2).png", "notes.txt", "2026-12-07 19-30-12 (10).png",
                                   "2026-12-07 19-30-12.png", "2026-12-07 19-30-12 (2) edited.png",
                                   "2025-01-01 00-00-00.png"});
  std::vector<std::string> order;
  for (const auto& h : files) order.push_back(h.name);
  EXPECT_EQ(order, (std::vector<std::string>{"2026-12-07 19-30-12 (10).png", "2026-12-07 19-30-12 (2) edited.png",
                                             "2026-12-07 19-30-12 (2).png", "2026-12-07 19-30-12.png",
                                             "2025-01-01 00-00-00.png"}));
}

TEST(HistoryNames, PruningCountsAnEditedStateWithItsCaptureAndRemovesTheOldestFirst) {
  const auto files = HistoryFiles({"2026-01-03 00-00-00.png", "2026-01-02 00-00-00.png",
                                   "2026-01-02 00-00-00 edited.png", "2026-01-01 00-00-00 edited.png"});
  EXPECT_TRUE(FilesBeyond(files, 3).empty());
  EXPECT_EQ(FilesBeyond(files, 2), std::vector<std::string>{"2026-01-01 00-00-00 edited.png"});
  EXPECT_EQ(FilesBeyond(files, 1), (std::vector<std::string>{"2026-01-02 00-00-00 edited.png",
                                                               "2026-01-02 00-00-00.png",
                                                               "2026-01-01 00-00-00 edited.png"}));
  EXPECT_EQ(FilesBeyond(files, 0).size(), files.size());
  // Only the atomic writer's temporaries of history pictures are leftovers.
  EXPECT_EQ(UnfinishedWrites({"2026-01-03 00-00-00.png.~0123abcd.tmp", "2026-01-03 00-00-00.png",
                              "other.png.~0123abcd.tmp", "2026-01-03 00-00-00.png.~0123.tmp"}),
            std::vector<std::string>{"2026-01-03 00-00-00.png.~0123abcd.tmp"});
}

TEST(HistoryNames, CountAndDelayStayWithinTheirLimits) {
  EXPECT_EQ(BoundedNumber("250", 0, kHistoryCountMax, 100), 250);
  EXPECT_EQ(BoundedNumber("0", 0, kHistoryCountMax, 100), 0);
  EXPECT_EQ(BoundedNumber("99999999999999", 0, kHistoryCountMax, 100), kHistoryCountMax);
  EXPECT_EQ(BoundedNumber("", 0, kHistoryCountMax, 100), 100);
  EXPECT_EQ(BoundedNumber("-5", 0, kHistoryCountMax, 100), 100);
  EXPECT_EQ(BoundedNumber("12 seconds", 1, 60, 5), 12);
  EXPECT_EQ(BoundedNumber("0", 1, 60, 5), 1);
  EXPECT_EQ(BoundedNumber("61", 1, 60, 5), 60);

  MemorySettingsStore store;
  store.WriteString("HistoryCount", "20000");
  store.WriteString("CaptureDelay", "0");
  store.WriteString("KeepHistory", "Off");
  store.WriteString("AutoName", "DateTime");
  struct : SettingsHost {
    bool DirectoryExists(const std::string&) override { return true; }
    bool FileExists(const std::string&) override { return false; }
    bool ForceDirectories(const std::string&) override { return true; }
    int PrinterCount() override { return 0; }
    bool ReadPrinterOrientation() override { return true; }
    void SelectPrinterByPrefix(const std::string&) override {}
    void SetPrinterLandscape(bool) override {}
  } host;
  Settings s;
  s.Load(store, nullptr, host);
  EXPECT_EQ(s.HistoryCount, kHistoryCountMax);
  EXPECT_EQ(s.CaptureDelay, kCaptureDelayMin);
  EXPECT_FALSE(s.KeepHistory);
  EXPECT_TRUE(s.AutoNameDateTime);
  EXPECT_EQ(DateTimeSaveName("C:\\Shots", "GRIV", {2026, 12, 7, 19, 30, 12}, ".png",
                             [](const std::string& n) { return n == "C:\\Shots\\GRIV 2026-12-07 19-30-12.png"; }),
            "C:\\Shots\\GRIV 2026-12-07 19-30-12 (2).png");
}

TEST(HistoryWriter, WritesReadablePicturesKeepsTheCountAndLeavesThumbnails) {
  const fs::path dir = fs::temp_directory_path() / ("griv_history_" + std::to_string(::getpid())) / "History";
  fs::remove_all(dir.parent_path());
  fs::create_directories(dir.parent_path());
  std::ofstream(dir.parent_path() / "ignored");  // the folder itself is made by the first write
  Picture pic;
  pic.Resize(300, 200, 32);
  for (size_t i = 0; i < pic.pixels.size(); ++i) pic.pixels[i] = uint8_t(i * 7);
  ThumbnailCache cache;
  {
    HistoryWriter writer(dir.string() + "/", cache, 160, 100);
    std::vector<std::string> failures;
    writer.OnFailure = [&](const std::string& m) { failures.push_back(m); };
    writer.Write("2026-01-01 00-00-00.png", pic, 2);
    writer.Write("2026-01-02 00-00-00.png", pic, 2);
    writer.Write("2026-01-02 00-00-00 edited.png", pic, 2);
    writer.Write("2026-01-03 00-00-00.png", pic, 2);
    writer.Drain();
    EXPECT_TRUE(failures.empty());
    std::ofstream(dir / "2026-01-03 00-00-00.png.~89abcdef.tmp") << "half";
    writer.Prune(1);
  }  // the destructor finishes what was handed over
  std::set<std::string> left;
  for (const auto& e : fs::directory_iterator(dir)) left.insert(e.path().filename().string());
  EXPECT_EQ(left, std::set<std::string>{"2026-01-03 00-00-00.png"});
  const Picture back = LoadImageFileData((dir / "2026-01-03 00-00-00.png").string());
  EXPECT_EQ(back.width, 300);
  EXPECT_EQ(back.Row(5)[3 * 7], pic.Row(5)[4 * 7]);
  Picture thumb;
  EXPECT_TRUE(cache.Get("2026-01-03 00-00-00.png", 160, 100, thumb));
  EXPECT_EQ(thumb.width, 150);
  EXPECT_EQ(thumb.height, 100);
  EXPECT_FALSE(cache.Get("2026-01-01 00-00-00.png", 160, 100, thumb));  // pruned with its file
  fs::remove_all(dir.parent_path());
}

}  // namespace
}  // namespace griv
