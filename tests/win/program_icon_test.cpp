// The program's icon carries a drawn image for every size Windows asks for,
// so no DPI or Explorer view shows a blurred, scaled one.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

std::wstring BesideThisProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path);
  return p.substr(0, p.find_last_of(L"\\/") + 1) + name;
}

TEST(ProgramIcon, HasAnImageOfEverySizeTheShellAsksFor) {
  HMODULE exe = LoadLibraryExW(BesideThisProgram(L"GRIV.exe").c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_TRUE(exe);
  HRSRC group = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */);
  ASSERT_TRUE(group);
  auto* dir = static_cast<BYTE*>(LockResource(LoadResource(exe, group)));
  ASSERT_TRUE(dir);
  for (int size : {16, 20, 24, 32, 40, 48, 64, 256}) {
    const int id = LookupIconIdFromDirectoryEx(dir, TRUE, size, size, LR_DEFAULTCOLOR);
    ASSERT_NE(id, 0) << size;
    HRSRC image = FindResourceW(exe, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3) /* RT_ICON */);
    ASSERT_TRUE(image) << size;
    HICON icon = CreateIconFromResourceEx(static_cast<BYTE*>(LockResource(LoadResource(exe, image))),
                                          SizeofResource(exe, image), TRUE, 0x00030000, size, size, 0);
    ASSERT_TRUE(icon) << size;
    ICONINFO ii{};
    ASSERT_TRUE(GetIconInfo(icon, &ii));
    BITMAP bm{};
    GetObjectW(ii.hbmColor ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, size);  // the image chosen is drawn at that size, not scaled to it
    if (ii.hbmColor) DeleteObject(ii.hbmColor);
    if (ii.hbmMask) DeleteObject(ii.hbmMask);
    DestroyIcon(icon);
  }
  FreeLibrary(exe);
}

}  // namespace
