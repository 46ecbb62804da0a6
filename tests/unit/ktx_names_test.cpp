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

#include "crypto/key_rules.h"

namespace griv {
namespace {

TEST(KeyRules, AKeyIsTakenWhenLongEnoughExactAndConfirmed) {
  EXPECT_FALSE(JudgeKey("short", "", false, 1252).ok);
  EXPECT_TRUE(JudgeKey("long enough", "", false, 1252).ok);
  EXPECT_TRUE(JudgeKey("p\xC3\xA4sswort", "", false, 1252).ok);  // ä is in code page 1252
  // Eight characters, counted as the user typed them: "ä" is one, though two bytes.
  EXPECT_FALSE(JudgeKey("1234567", "", false, 1252).ok);
  EXPECT_TRUE(JudgeKey("12345678", "", false, 1252).ok);
  EXPECT_FALSE(JudgeKey("p\xC3\xA4ss123", "", false, 1252).ok);
  EXPECT_TRUE(JudgeKey("p\xC3\xA4ss1234", "", false, 1252).ok);
  // Cyrillic has no bytes in 1252: "ключключ" and "секретик" would both become "????????".
  const KeyVerdict cyr = JudgeKey("\xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87\xD0\xBA\xD0\xBB\xD1\x8E\xD1\x87", "", false, 1252);
  EXPECT_FALSE(cyr.ok);
  EXPECT_EQ(cyr.hint, kKeyNotInCodePage);
  EXPECT_FALSE(JudgeKey("\xC5\x81\xC3\xB3" "d\xC5\xBA" "1234", "", false, 1252).ok);  // Łódź is not Lódz
  // Chosen for encrypting: both boxes must agree.
  EXPECT_EQ(JudgeKey("long enough", "", true, 1252).hint, kKeyTypeAgain);
  EXPECT_EQ(JudgeKey("long enough", "long enougH", true, 1252).hint, kKeysDiffer);
  EXPECT_TRUE(JudgeKey("long enough", "long enough", true, 1252).ok);
  EXPECT_TRUE(JudgeKey("", "", true, 1252).hint.empty());  // nothing typed yet: nothing to say
}

}  // namespace
}  // namespace griv
