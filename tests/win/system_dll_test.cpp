#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/system_dll_win.h"
#include "ui/ole_win.h"

using namespace griv;

namespace {

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring s(path, n);
  return s.substr(0, s.find_last_of(L"\\/") + 1);
}

}  // namespace

TEST(SystemDll, BindsWhatTheSystemHasAndNothingElse) {
  using Tick = DWORD WINAPI();
  const auto tick = SystemProc<Tick>(L"kernel32.dll", "GetTickCount");
  ASSERT_NE(tick, nullptr);
  EXPECT_GT(tick(), 0u);
  EXPECT_EQ(SystemProc<Tick>(L"kernel32.dll", "NoSuchEntryPoint"), nullptr);
  EXPECT_EQ(SystemProc<Tick>(L"no-such-library.dll", "GetTickCount"), nullptr);
}

TEST(SystemDll, NeverLoadsALibraryOfThatNameFromTheProgramFolder) {
  // A DLL beside the program, under a name the system folder does not have,
  // is what the normal search order would find first.
  const std::wstring planted = ProgramFolder() + L"griv_planted.dll";
  ASSERT_TRUE(CopyFileW((ProgramFolder() + L"mapi32.dll").c_str(), planted.c_str(), FALSE));
  EXPECT_EQ(SystemModule(L"griv_planted.dll"), nullptr);
  HMODULE searched = LoadLibraryW(L"griv_planted.dll");
  EXPECT_NE(searched, nullptr);  // the test itself is sound
  if (searched) FreeLibrary(searched);
  DeleteFileW(planted.c_str());
}

TEST(SystemDll, OleCallsWorkThroughTheLateBinding) {
  ole::Start();
  ole::Start();  // once per run, however often asked
  BSTR text = ole::SysAllocString(L"capture");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::wstring(text), L"capture");
  VARIANT v;
  ole::VariantInit(&v);
  EXPECT_EQ(v.vt, VT_EMPTY);
  v.vt = VT_BSTR;
  v.bstrVal = text;
  EXPECT_EQ(ole::VariantClear(&v), S_OK);  // frees the string
  EXPECT_EQ(v.vt, VT_EMPTY);
  CLSID clsid;
  EXPECT_TRUE(FAILED(ole::CLSIDFromProgID(L"Griv.NoSuchProgram", &clsid)));
  ole::Stop();
}
