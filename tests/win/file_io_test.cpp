#include <gtest/gtest.h>
#include <windows.h>

#include "base/file_io.h"
#include "base/utf.h"
#include "image/image_files.h"

using namespace griv;

TEST(FileOpening, ALockedFileAnEmptyOneAndAMissingOneSayWhy) {
  auto message = [](const std::function<void()>& f) -> std::string {
    try {
      f();
    } catch (const std::exception& e) {
      return e.what();
    }
    return "(nothing thrown)";
  };
  wchar_t tmp[MAX_PATH];
  GetTempPathW(MAX_PATH, tmp);
  const std::string name = Narrow(tmp) + "griv-locked-" + std::to_string(GetCurrentProcessId()) + ".bmp";
  WriteFileAtomic(name, "BM", 2);
  HANDLE held = CreateFileW(Widen(name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);  // not shared
  EXPECT_EQ(message([&] { ReadWholeFile(name); }), "Cannot open file " + name + ": the file is in use by another program");
  CloseHandle(held);
  WriteFileAtomic(name, "", 0);
  EXPECT_EQ(message([&] { LoadImageFileData(name); }), name + " is empty (0 bytes): there is no picture in it");
  DeleteFileUtf8(name);
  EXPECT_EQ(message([&] { ReadWholeFile(name); }), "Cannot open file " + name + ": the file does not exist");
}
