#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

#include "base/file_io.h"
#include "base/utf.h"
#include "ui/registry_win.h"
#include "ui/system_path_win.h"

using namespace griv;

namespace {
const char* kTestKey = "Software\\GRIV-Tests\\Registry";

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\GRIV-Tests"); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\GRIV-Tests"); }
};
}  // namespace

TEST_F(RegistryTest, RoundTripsStringsAndIntegers) {
  RegWriteString(HKEY_CURRENT_USER, kTestKey, "Text", "Grüße, C:\\x");
  RegWriteInteger(HKEY_CURRENT_USER, kTestKey, "Number", -7);
  EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kTestKey, "Text", "def"), "Grüße, C:\\x");
  EXPECT_EQ(RegReadInteger(HKEY_CURRENT_USER, kTestKey, "Number", 0), -7);
  // Names compare without regard to case.
  EXPECT_EQ(RegReadInteger(HKEY_CURRENT_USER, kTestKey, "NUMBER", 0), -7);
  EXPECT_TRUE(RegDeleteValueOf(HKEY_CURRENT_USER, kTestKey, "Text"));
  EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kTestKey, "Text", "def"), "def");
  EXPECT_TRUE(RegDeleteValueOf(HKEY_CURRENT_USER, kTestKey, "Text"));  // a missing value counts as deleted
}

TEST_F(RegistryTest, ReadsNeverCreateTheKey) {
  EXPECT_EQ(RegReadInteger(HKEY_CURRENT_USER, kTestKey, "X", 42), 42);
  EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kTestKey, "X", "d"), "d");
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kTestKey));
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "Software\\GRIV-Tests"));
}

TEST_F(RegistryTest, WrongTypeFallsBackOrRaises) {
  RegWriteInteger(HKEY_CURRENT_USER, kTestKey, "Str", 5);
  RegWriteString(HKEY_CURRENT_USER, kTestKey, "Int", "5");
  // The free routines fall back to the default...
  EXPECT_EQ(RegReadString(HKEY_CURRENT_USER, kTestKey, "Str", "def"), "def");
  EXPECT_EQ(RegReadInteger(HKEY_CURRENT_USER, kTestKey, "Int", 9), 9);
  // ...while the settings store reports a registry error, which start-up turns into the default.
  RegistrySettingsStore store(HKEY_CURRENT_USER, kTestKey);
  EXPECT_THROW(store.ReadString("Str"), ERegistryError);
  EXPECT_THROW(store.ReadInteger("Int"), ERegistryError);
  EXPECT_EQ(store.ReadString("Missing"), std::nullopt);
  EXPECT_TRUE(store.ValueExists("Int"));
  store.WriteString("Int", "now text");
  EXPECT_EQ(store.ReadString("int"), "now text");
}

TEST(LockFileRegion, WaitsForAnotherHolderAndGivesUp) {
  const std::string name = IncludeTrailingBackslash(TempFolder()) + "griv-lock-test.bin";
  const std::wstring w = Widen(name);
  UniqueFileHandle a(CreateFileW(w.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 CREATE_ALWAYS, 0, nullptr));
  UniqueFileHandle b(CreateFileW(w.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(a && b);
  ASSERT_TRUE(LockFileRegion(a.get(), 0, 16));
  // The holder lets go after about 0.4 s: the second handle gets the lock by retrying.
  std::thread release([&] {
    Sleep(400);
    UnlockFileRegion(a.get(), 0, 16);
  });
  DWORD start = GetTickCount();
  EXPECT_TRUE(LockFileRegion(b.get(), 0, 16));
  DWORD took = GetTickCount() - start;
  release.join();
  EXPECT_GE(took, 300u);
  UnlockFileRegion(b.get(), 0, 16);
  a.reset();
  b.reset();
  DeleteFileUtf8(name);
}

TEST(SystemPath, FoldersEndWithABackslash) {
  EXPECT_EQ(TempFolder().back(), '\\');
  const std::string appData = ShellFolder("AppData");
  ASSERT_FALSE(appData.empty());
  EXPECT_EQ(appData.back(), '\\');
  EXPECT_TRUE(ShellFolder("NoSuchFolder").empty());
  ASSERT_FALSE(WindowsFolder().empty());
  EXPECT_NE(WindowsFolder().back(), '\\');
}
