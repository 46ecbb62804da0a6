// How long "Recent Captures" takes to come up with 500 pictures in the
// history: from the command until the window is on screen with its list
// drawn (thumbnails still being made), against the same window over an empty
// history; then how long until the thumbnails in view are in.
// The pictures are 1920 x 1080 PNGs of a desktop-like picture. Never fails
// on time.
//   recent_captures_bench_win [entries [runs]]
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/file_io.h"
#include "base/strings.h"
#include "history/history_names.h"
#include "history/recent_captures_win.h"
#include "image/png_codec.h"
#include "ui/gui_thread_win.h"
#include "ui/system_path_win.h"

using namespace griv;
using Clock = std::chrono::steady_clock;

namespace {
Clock::time_point g_start, g_shown;
bool g_waitThumbs = false;
double g_thumbsMs = 0;
ThumbnailCache* g_cache = nullptr;
std::vector<std::string> g_first;

void CALLBACK Shown(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  HWND dialog = FindWindowW(nullptr, L"Recent Captures");
  // What the dialog's own loop does once it is idle: show it and draw it with its list.
  ShowWindow(dialog, SW_SHOWNORMAL);
  RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  g_shown = Clock::now();
  if (g_waitThumbs) {
    const HWND list = FindWindowExW(dialog, nullptr, WC_LISTVIEWW, nullptr);
    RECT client, item, common;
    GetClientRect(list, &client);
    size_t inView = 0;
    while (inView < g_first.size() && ListView_GetItemRect(list, int(inView), &item, LVIR_ICON) &&
           IntersectRect(&common, &item, &client))
      ++inView;
    g_first.resize(inView);
    // Lets the window run until the first screenful has its thumbnails.
    for (;;) {
      Picture p;
      const bool all = std::all_of(g_first.begin(), g_first.end(), [&](const std::string& n) {
        return g_cache->Get(n, kThumbWidth, kThumbHeight, p);
      });
      if (all || std::chrono::duration<double>(Clock::now() - g_shown).count() > 30) break;
      MSG m;
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
      }
      Sleep(1);
    }
    g_thumbsMs = std::chrono::duration<double, std::milli>(Clock::now() - g_shown).count();

  }
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

double Open(HMODULE res, const std::string& folder, ThumbnailCache& cache) {
  TRecentCaptures window(folder, cache, kThumbWidth, kThumbHeight, "");
  g_start = Clock::now();
  // A timer's message comes once nothing else waits: the window is up and drawn.
  SetTimer(nullptr, 0, 0, &Shown);
  window.ShowModal(res, nullptr);
  return std::chrono::duration<double, std::milli>(g_shown - g_start).count();
}
}  // namespace

int main(int argc, char** argv) {
  const int entries = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
  InitCommonControls();
  PrepareGuiThreadCalls();
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring dir(exe);
  dir = dir.substr(0, dir.find_last_of(L"\\/") + 1);
  HMODULE res = LoadLibraryExW((dir + L"GRIV.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!res) {
    std::printf("GRIV.exe is not built beside the benchmark\n");
    return 1;
  }
  const std::string base = IncludeTrailingBackslash(TempFolder()) + "griv-bench-history\\";
  const std::string full = base + "full\\", empty = base + "empty\\";
  MakeFolder(base);
  MakeFolder(full);
  MakeFolder(empty);
  for (const std::string& f : {full, empty})
    for (const std::string& n : ListFileNames(f)) DeleteFileUtf8(f + n);

  // A desktop-like picture: flat areas, a few gradients and text-like specks.
  Picture pic;
  pic.Resize(1920, 1080, 32);
  for (int y = 0; y < 1080; ++y)
    for (int x = 0; x < 1920; ++x) {
      uint8_t* p = pic.Row(y) + 4 * x;
      const bool window = x > 200 && x < 1400 && y > 100 && y < 900;
      const bool text = window && (y % 18) < 11 && ((x * 7 + y * 3) % 13) < 5;
      p[0] = text ? 30 : window ? 250 : uint8_t(100 + y / 10);
      p[1] = text ? 30 : window ? 250 : uint8_t(60 + x / 20);
      p[2] = text ? 30 : window ? 250 : 40;
    }
  const std::vector<uint8_t> png = EncodePng(pic);
  std::vector<std::string> names;
  for (int i = 0; i < entries; ++i) {
    LocalTime t{2026, 1 + i / (28 * 24), 1 + (i / 24) % 28, i % 24, 0, 0};
    names.push_back(DateTimeName(t) + kHistoryExt);
    WriteFileAtomic(full + names.back(), png.data(), png.size());
  }
  std::sort(names.rbegin(), names.rend());

  double openFull = 1e300, openEmpty = 1e300, thumbs = 1e300;
  for (int run = 0; run < runs; ++run) {
    ThumbnailCache none;
    openEmpty = std::min(openEmpty, Open(res, empty, none));
    ThumbnailCache cache;  // nothing made yet: the first opening after a start
    g_cache = &cache;
    g_first.assign(names.begin(), names.begin() + std::min<size_t>(50, names.size()));
    g_waitThumbs = true;
    openFull = std::min(openFull, Open(res, full, cache));
    g_waitThumbs = false;
    thumbs = std::min(thumbs, g_thumbsMs);
  }
  std::printf("Recent Captures, %d entries of 1920 x 1080 (%zu KB each)\n", entries, png.size() / 1024);
  std::printf("%-48s %8.1f ms\n", "window up and drawn, empty history", openEmpty);
  std::printf("%-48s %8.1f ms\n", "window up and drawn, thumbnails still coming", openFull);
  std::printf("%-48s %8.1f ms\n", ("then the " + std::to_string(g_first.size()) + " thumbnails in view").c_str(), thumbs);
  std::printf("TABLE|Recent Captures opens with %d entries|empty history %.0f ms|%.0f ms|%.2f|< 1000 ms\n", entries,
              openEmpty, openFull, openFull / openEmpty);
  for (const std::string& f : {full, empty})
    for (const std::string& n : ListFileNames(f)) DeleteFileUtf8(f + n);
  FreeLibrary(res);
  return 0;
}
