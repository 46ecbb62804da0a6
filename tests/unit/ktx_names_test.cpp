#include "crypto/ktx_names.h"

#include <gtest/gtest.h>

using namespace griv;

TEST(KtxNames, SaveImageEncryptedTarget) {
  EXPECT_EQ(EncryptedImageName("C:\\a\\shot", kKtxFilterBitmap), "C:\\a\\shot.bmp.ktx");
  EXPECT_EQ(EncryptedImageName("C:\\a\\shot", kKtxFilterJpeg), "C:\\a\\shot.jpg.ktx");
  EXPECT_EQ(EncryptedImageName("C:\\a\\shot.bmp", kKtxFilterBitmap), "C:\\a\\shot.bmp.bmp.ktx");
  EXPECT_EQ(EncryptedImageName("C:\\a\\shot.jpg", kKtxFilterJpeg), "C:\\a\\shot.jpg.jpg.ktx");
  // Already complete names stay, whatever the filter and the case.
  EXPECT_EQ(EncryptedImageName("C:\\a\\shot.jpeg.ktx", kKtxFilterBitmap), "C:\\a\\shot.jpeg.ktx");
  EXPECT_EQ(EncryptedImageName("C:\\a\\shot.BMP.KTX", kKtxFilterJpeg), "C:\\a\\shot.BMP.KTX");
  EXPECT_EQ(EncryptedImageName("C:\\a\\shot.Jpg.Ktx", kKtxFilterBitmap), "C:\\a\\shot.Jpg.Ktx");
  // .ktx alone or over another kind is not enough.
  EXPECT_EQ(EncryptedImageName("C:\\a\\shot.ktx", kKtxFilterBitmap), "C:\\a\\shot.ktx.bmp.ktx");
  EXPECT_EQ(EncryptedImageName("C:\\a\\shot.gif.ktx", kKtxFilterJpeg), "C:\\a\\shot.gif.ktx.jpg.ktx");
  // A dot in the folder is no extension of the file.
  EXPECT_EQ(EncryptedImageName("C:\\x.bmp\\.ktx", kKtxFilterBitmap), "C:\\x.bmp\\.ktx.bmp.ktx");
  // Any filter other than the JPEG one means bitmap.
  EXPECT_EQ(EncryptedImageName("shot", 0), "shot.bmp.ktx");
}

TEST(KtxNames, EncryptedPngNames) {
  EXPECT_EQ(EncryptedImageName("C:\\a\\shot", kKtxFilterPng), "C:\\a\\shot.png.ktx");
  EXPECT_EQ(EncryptedImageName("C:\\a\\shot.png", kKtxFilterPng), "C:\\a\\shot.png.png.ktx");
  EXPECT_EQ(EncryptedImageName("C:\\a\\shot.PNG.Ktx", kKtxFilterJpeg), "C:\\a\\shot.PNG.Ktx");
  EXPECT_EQ(EncryptedImagePlainName("C:\\a\\shot.png.ktx"), "shot.png");
  EXPECT_EQ(DecryptedTargetName("C:\\w\\", "D:\\in\\shot.png.ktx"), "C:\\w\\shot.png");
}

TEST(KtxNames, PlainCopyNames) {
  EXPECT_EQ(EncryptedImagePlainName("C:\\a\\shot.bmp.ktx"), "shot.bmp");
  EXPECT_EQ(EncryptedImagePlainName("C:\\a\\shot.jpeg.ktx"), "shot.jpeg");
  EXPECT_EQ(EncryptedFileName("C:\\docs\\report.txt"), "C:\\docs\\report.txt.KTX");

  const std::string work = "C:\\data\\GRIV\\ework\\";
  EXPECT_EQ(DecryptedTargetName(work, "D:\\in\\report.txt.KTX"), work + "report.txt");
  EXPECT_EQ(DecryptedTargetName(work, "D:\\in\\x.bmp.ktx"), work + "x.bmp");
  EXPECT_EQ(DecryptedTargetName(work, "D:\\in\\x.BMPX"), work + "x.BMP");
  EXPECT_EQ(DecryptedTargetName(work, "D:\\in\\x.jpgx"), work + "x.jpg");
  EXPECT_EQ(DecryptedTargetName(work, "D:\\in\\x.JPEGX"), work + "x.JPEG");
  EXPECT_EQ(DecryptedTargetName(work, "D:\\in\\plain"), "");
  // Names that would leave no file name to write.
  EXPECT_EQ(DecryptedTargetName(work, "D:\\in\\.KTX"), "");
  EXPECT_EQ(DecryptedTargetName(work, "D:\\in\\..ktx"), "");
  EXPECT_EQ(DecryptedTargetName(work, "D:\\in\\...KTX"), "");
}

TEST(KtxNames, EncryptedExtensions) {
  for (const char* e : {".KTX", ".ktx", ".Ktx", ".BMPX", ".bmpx", ".JPGX", ".JPEGX", ".jpegx"})
    EXPECT_TRUE(IsEncryptedExt(e)) << e;
  for (const char* e : {"", ".BMP", ".JPG", ".KT", ".KTXX", "KTX", ".PNGX", ".txt"})
    EXPECT_FALSE(IsEncryptedExt(e)) << e;
  EXPECT_TRUE(IsEncryptedFileName("C:\\a\\shot.bmp.ktx"));
  EXPECT_FALSE(IsEncryptedFileName("C:\\a.ktx\\shot"));
  EXPECT_EQ(kKtxIVText, "mTbKvRnLpWxZcQhJ");
}
