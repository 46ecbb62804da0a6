#include "image/image_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "image/bmp_codec.h"
#include "image/document.h"
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

TEST(ImageFiles, PngIsTheThirdSaveChoiceAndTheLastOpenChoice) {
  EXPECT_EQ(SaveAsTargetName("shot", kSaveFilterPng), "shot.png");
  EXPECT_EQ(SaveAsTargetName("shot.PNG", 1), "shot.PNG");
  EXPECT_EQ(SaveAsTargetName("shot.png", 2), "shot.png");
  EXPECT_EQ(SaveAsTargetName("shot.jpg", kSaveFilterPng), "shot.jpg");
  EXPECT_EQ(SaveAsTargetName("shot.png.ktx", kSaveFilterPng), "shot.png.ktx.png");
  EXPECT_EQ(SaveAsTargetName("shot", 4), "shot.jpg");  // indexes past the list keep meaning JPEG
  EXPECT_TRUE(IsPngName("C:\\a.b\\Shot.Png"));
  EXPECT_FALSE(IsPngName("shot.png.ktx"));
  EXPECT_TRUE(IsImageFileName("x.png") && IsImageFileName("x.JPEG") && IsImageFileName("x.bmp"));
  EXPECT_FALSE(IsImageFileName("x.gif") || IsImageFileName("x.pngx") || IsImageFileName("png"));
  EXPECT_EQ(SaveFilterIndex(".png"), 3);
  EXPECT_EQ(SaveFilterIndex(".PNG"), 1);  // held extensions are lower case; others keep the old rule

  // The choices keep their places: bitmap 1, JPEG 2 (and encrypted 3 when opening), PNG last.
  auto entries = [](std::string_view filter) {
    std::vector<std::string> parts;
    size_t at = 0;
    for (size_t bar; (bar = filter.find('|', at)) != std::string_view::npos; at = bar + 1)
      parts.emplace_back(filter.substr(at, bar - at));
    parts.emplace_back(filter.substr(at));
    return parts;
  };
  const std::vector<std::string> save = entries(kSaveFilter), open = entries(kOpenFilter);
  ASSERT_EQ(save.size(), 2u * kSaveFilterPng);
  EXPECT_EQ(save[0], "Bitmap  (*.bmp)");
  EXPECT_EQ(save[2 * kSaveFilterPng - 2], "PNG Files (*.png)");
  EXPECT_EQ(save[2 * kSaveFilterPng - 1], "*.png");
  ASSERT_EQ(open.size(), 2u * kOpenFilterPng);
  EXPECT_EQ(open[2 * kOpenFilterAll - 1], "*.bmp*;*.jp*g*;*.png*;*.ktx");  // every kind the program reads
  EXPECT_EQ(open[4], "JPEG Image File (*.jpeg;*.jpg)");
  EXPECT_EQ(open[7], "*.ktx");
  EXPECT_EQ(open[2 * kOpenFilterPng - 1], "*.png*");  // lists shot.png.ktx too

  EXPECT_EQ(AutoSaveName("C:\\Shots", "GRIV", 7, ".png"), "C:\\Shots\\GRIV-00007.png");
  EXPECT_EQ(AdjacentNumberedName("C:\\Old\\GRIV-00007.png", "C:\\Pics\\", true), "C:\\Pics\\GRIV-00008.png");
}

TEST(ImageFiles, PngFilesSaveOpenAndPreview) {
  TempDir dir;
  const Picture shot = craft::TestPattern(31, 9, 32);
  const std::string name = dir.File("GRIV-00001.png");
  WriteImageFileBytes(name, shot);
  const std::vector<uint8_t> bytes = ReadWholeFile(name);
  EXPECT_EQ(bytes, EncodeImageFile("x.PNG", shot));
  EXPECT_EQ(bytes[1], 'P');
  EXPECT_EQ(LoadImageFileData(name).pixels, ConvertTo24(shot).pixels);
  EXPECT_EQ(DecodeImageBytes(bytes.data(), bytes.size()).width, 31);  // the preview knows it by its signature
  EXPECT_THROW(DecodeImageFile("x.jpg", bytes), EInvalidPicture);     // by name, not by content
  EXPECT_THROW(DecodeImageFile("x.png", EncodeImageFile("x.bmp", shot)), EInvalidPicture);

  // A damaged file is refused as invalid data, the loader's "Unable to read
  // or decrypt the image", and the document keeps its picture.
  ImageDocument doc;
  doc.SetFullImage(craft::TestPattern(5, 4, 24));
  const PixelBuffer before = doc.FullImage().pixels;
  std::vector<std::vector<uint8_t>> damaged = {
      std::vector<uint8_t>(bytes.begin(), bytes.end() - 13),  // cut before IEND
      bytes,
  };
  damaged[1][45] ^= 1;  // inside the image data: its CRC no longer matches
  for (const std::vector<uint8_t>& bad : damaged) {
    WriteFileAtomic(name, bad.data(), bad.size());
    doc.SaveUndo();
    try {
      doc.SetFullImage(LoadImageFileData(name));
      ADD_FAILURE() << "a damaged file was loaded";
    } catch (const EInvalidPicture&) {
    }
    EXPECT_EQ(doc.FullImage().pixels, before);
    EXPECT_THROW(DecodeImageBytes(bad.data(), bad.size()), EInvalidPicture);
  }
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

#include "image/picture_preview.h"
#include "image/png_codec.h"

namespace griv {
namespace {

TEST(PicturePreviewPng, APngIsPreviewedAndItsDeclaredSizeGuardsTheDecoder) {
  Picture p;
  p.Resize(33, 21, 24);
  const std::vector<uint8_t> png = EncodePng(p);
  int64_t w = 0, h = 0;
  ASSERT_TRUE(DeclaredSize(png.data(), png.size(), w, h));
  EXPECT_EQ(w * 1000 + h, 33021);
  EXPECT_EQ(PreviewPictureFromBytes(png.data(), png.size()).width, 33);
}

}  // namespace
}  // namespace griv
