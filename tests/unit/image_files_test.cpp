#include "app/image_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "app/bmp_codec.h"
#include "base/file_io.h"
#include "image_craft.h"

namespace griv {
namespace {

namespace fs = std::filesystem;

struct TempDir {
  fs::path path = fs::temp_directory_path() / ("griv_imgfiles_" + std::to_string(reinterpret_cast<uintptr_t>(this)));
  TempDir() { fs::create_directories(path); }
  ~TempDir() { fs::remove_all(path); }
  std::string File(const std::string& name) const { return (path / name).string(); }
  std::set<std::string> Entries() const {
    std::set<std::string> v;
    for (auto& e : fs::directory_iterator(path)) v.insert(e.path().filename().string());
    return v;
  }
};

TEST(ImageFiles, SaveAsNamesAndDialogIndexes) {
  EXPECT_EQ(SaveAsTargetName("shot", 2), "shot.jpg");
  EXPECT_EQ(SaveAsTargetName("shot.gif", 1), "shot.gif.bmp");
  EXPECT_EQ(SaveAsTargetName("shot.JPEG", 1), "shot.JPEG");
  EXPECT_EQ(SaveAsTargetName("shot.Bmp", 2), "shot.Bmp");
  EXPECT_EQ(SaveAsTargetName("C:\\my.pics\\shot", 1), "C:\\my.pics\\shot.bmp");
  EXPECT_FALSE(IsJpegName("a.jpe"));
  EXPECT_FALSE(IsBmpName("a.bmp.ktx"));
  EXPECT_EQ(SaveFilterIndex(".jpg"), 2);
  EXPECT_EQ(SaveFilterIndex(".bmp"), 1);
  EXPECT_EQ(OpenFilterIndex(".bmp"), 1);
  EXPECT_EQ(OpenFilterIndex(".jpg"), 2);
  EXPECT_EQ(OpenFilterIndex(".jpeg"), 3);
  EXPECT_EQ(OpenFilterIndex(".ktx"), 3);
}

TEST(ImageFiles, FormatFollowsTheExtension) {
  const Picture p32 = craft::TestPattern(30, 20, 32);
  const std::vector<uint8_t> bmp = EncodeImageFile("C:\\a\\shot.bMp", p32);
  ASSERT_EQ(bmp[0], 'B');
  EXPECT_EQ(DecodeImageFile("x.BMP", bmp).bpp, 32);  // the picture's own depth
  for (const char* name : {"shot.jpg", "shot.JPEG", "shot.gif", "shot"}) {
    const std::vector<uint8_t> f = EncodeImageFile(name, p32);
    EXPECT_EQ(f[0], 0xFF) << name;
    EXPECT_EQ(f[1], 0xD8) << name;
  }
  const std::vector<uint8_t> jpg = EncodeImageFile("shot.jpg", p32);
  EXPECT_EQ(DecodeImageFile("shot.JPG", jpg).bpp, 24);
  JpegDecodeOptions grey;
  grey.grey = true;
  EXPECT_EQ(DecodeImageFile("shot.jpeg", jpg, grey).bpp, 8);
  EXPECT_THROW(DecodeImageFile("shot.png", jpg), EInvalidPicture);
  EXPECT_THROW(DecodeImageFile("shot.bmp", jpg), EInvalidPicture);  // by name, not by content
  EXPECT_EQ(DecodeImageBytes(jpg.data(), jpg.size()).width, 30);
  EXPECT_EQ(DecodeImageBytes(bmp.data(), bmp.size()).width, 30);
  EXPECT_THROW(DecodeImageBytes(jpg.data(), 1), EInvalidPicture);
}

TEST(ImageFiles, WritesAtomicallyAndKeepsOldFileOnFailure) {
  TempDir dir;
  const std::string target = dir.File("shot.bmp");
  const Picture first = craft::TestPattern(10, 10, 24);
  WriteImageFileBytes(target, first);
  const std::vector<uint8_t> before = ReadWholeFile(target);
  EXPECT_EQ(ReadBmp(before).width, 10);

  EXPECT_THROW(WriteImageFileBytes(target, Picture()), EInvalidPicture);  // cannot encode: nothing touched
  EXPECT_EQ(ReadWholeFile(target), before);

  fs::create_directories(dir.File("taken.jpg"));  // the name is a folder: the final replace fails
  EXPECT_THROW(WriteImageFileBytes(dir.File("taken.jpg"), first), EFileIO);
  EXPECT_THROW(WriteImageFileBytes(dir.File("missing/shot.jpg"), first), EFileIO);
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"shot.bmp", "taken.jpg"}));  // no temporaries left
  EXPECT_EQ(ReadWholeFile(target), before);

  WriteImageFileBytes(target, craft::TestPattern(12, 4, 8));  // an existing file is replaced
  EXPECT_EQ(LoadImageFileData(target).width, 12);

  const Picture big = craft::TestPattern(611, 650, 32);  // written in several chunks of rows
  WriteImageFileBytes(target, big);
  EXPECT_EQ(ReadWholeFile(target), WriteBmp(big));
  EXPECT_THROW(LoadImageFileData(dir.File("none.bmp")), EFileIO);
}

TEST(ImageFiles, AutoSaveNamesWrapWithoutOverwriting) {
  EXPECT_EQ(AutoSaveName("C:\\Shots", "GRIV", 42, ".jpg"), "C:\\Shots\\GRIV-00042.jpg");
  EXPECT_EQ(AutoSaveName("C:\\Shots\\", "GRIV", 100000, ".bmp"), "C:\\Shots\\GRIV-00000.bmp");

  std::set<std::string> disk;
  auto exists = [&](const std::string& n) { return disk.count(n) > 0; };
  AutoSaveSlot s = NextFreeAutoSave("D:\\s", "GRIV", 99999, ".jpg", exists);
  ASSERT_TRUE(s.found);
  EXPECT_EQ(s.name, "D:\\s\\GRIV-99999.jpg");
  EXPECT_EQ(s.nextCounter, 100000);
  EXPECT_FALSE(s.skipped);

  disk = {"D:\\s\\GRIV-00000.jpg", "D:\\s\\GRIV-00001.jpg"};  // older files of the first round
  s = NextFreeAutoSave("D:\\s", "GRIV", s.nextCounter, ".jpg", exists);
  ASSERT_TRUE(s.found);
  EXPECT_EQ(s.name, "D:\\s\\GRIV-00002.jpg");
  EXPECT_EQ(s.number, 100002);
  EXPECT_EQ(s.nextCounter, 100003);
  EXPECT_TRUE(s.skipped);

  int asked = 0;
  s = NextFreeAutoSave("D:\\s", "GRIV", 5, ".jpg", [&](const std::string&) { return ++asked, true; });
  EXPECT_FALSE(s.found);
  EXPECT_EQ(asked, kAutoSaveTries);
  EXPECT_EQ(s.name, "");
  EXPECT_EQ(s.nextCounter, 6);
}

TEST(ImageFiles, AdjacentNumberedNames) {
  const std::string dir = "C:\\Pics\\";
  EXPECT_EQ(AdjacentNumberedName("C:\\Old\\GRIV-00007.jpg", dir, true), "C:\\Pics\\GRIV-00008.jpg");
  EXPECT_EQ(AdjacentNumberedName("C:\\Old\\shot-2-final.jpg", dir, true), "C:\\Pics\\shot-00003.jpg");
  EXPECT_EQ(AdjacentNumberedName("GRIV-00000.jpg", dir, false), "C:\\Pics\\GRIV-000-1.jpg");
  EXPECT_EQ(AdjacentNumberedName("GRIV-99999.BMP", dir, true), "C:\\Pics\\GRIV-00000.BMP");
  EXPECT_EQ(AdjacentNumberedName("a- 12.jpg", dir, true), "C:\\Pics\\a-00013.jpg");
  EXPECT_EQ(AdjacentNumberedName("", dir, true), std::nullopt);
  EXPECT_EQ(AdjacentNumberedName("-00007.jpg", dir, true), std::nullopt);      // no prefix
  EXPECT_EQ(AdjacentNumberedName("GRIV--3.jpg", dir, true), std::nullopt);     // empty number part
  EXPECT_EQ(AdjacentNumberedName("GRIV-0007a.jpg", dir, true), std::nullopt);  // not only digits
}

TEST(ImageFiles, PreviewFitsTheBox) {
  PreviewPlacement p = PreviewFit(100, 50, 169, 200);  // fits: centred, unscaled
  EXPECT_FALSE(p.scaled);
  EXPECT_EQ(p.x, 34);
  EXPECT_EQ(p.y, 75);
  EXPECT_EQ(p.width, 100);

  p = PreviewFit(1024, 768, 169, 200);  // wider than high: full width
  EXPECT_TRUE(p.scaled);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.width, 169);
  EXPECT_EQ(p.height, 768 * 169 / 1024);

  p = PreviewFit(300, 1000, 169, 200);  // taller: full height
  EXPECT_EQ(p.height, 200);
  EXPECT_EQ(p.width, 60);

  p = PreviewFit(300, 310, 169, 200);  // tall, but relatively wider than the box: width bounds it
  EXPECT_EQ(p.width, 169);
  EXPECT_EQ(p.height, 310 * 169 / 300);
  EXPECT_LE(p.height, 200);
}

}  // namespace
}  // namespace griv
