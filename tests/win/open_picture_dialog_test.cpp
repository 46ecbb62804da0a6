#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "../unit/image_craft.h"
#include "ui/ui_win.h"
#include "image/bmp_codec.h"
#include "image/image_files.h"
#include "image/jpeg_codec.h"
#include "image/png_codec.h"
#include "image/open_picture_dialog_win.h"
#include "base/file_io.h"
#include "base/utf.h"
#include "ids_opendlg.h"
#include "win_test_util.h"

using namespace griv;
using griv::test::HaveDesktop;

namespace {

// A fresh folder under the temporary folder, removed with its files.
struct TempFolder {
  std::string path;
  TempFolder() {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    path = Narrow(tmp) + "griv-opendlg-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount()) + "\\";
    CreateDirectoryW(Widen(path).c_str(), nullptr);
  }
  ~TempFolder() {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(Widen(path + "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((Widen(path) + fd.cFileName).c_str());
      } while (FindNextFileW(h, &fd));
      FindClose(h);
    }
    RemoveDirectoryW(Widen(path).c_str());
  }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    WriteFileAtomic(path + name, bytes.data(), bytes.size());
    return path + name;
  }
};

Picture Solid(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  Picture p;
  p.Resize(w, h, 24);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint8_t* px = p.Row(y) + 3 * x;
      px[0] = b, px[1] = g, px[2] = r;
    }
  return p;
}

// A tiny RLE8 file that declares a huge picture: decoding it would fill
// tens of megabytes from a few bytes.
std::vector<uint8_t> RleBomb(int w, int h) {
  craft::BmpSpec s;
  s.width = w;
  s.height = h;
  s.bits = 8;
  s.compression = 1;  // RLE8
  s.palette = {0x000000, 0xFFFFFF};
  s.pixels = {0, 1};  // end of bitmap
  return craft::MakeBmp(s);
}

// An off-screen 32-bit canvas for painting tests.
struct Canvas {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = nullptr;
  uint32_t* bits = nullptr;
  int w, h;
  HGDIOBJ old = nullptr;
  Canvas(int width, int height) : w(width), h(height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    old = SelectObject(dc, bmp);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
  uint32_t At(int x, int y) {
    GdiFlush();
    return bits[y * w + x] & 0xFFFFFF;  // 0x00RRGGBB
  }
  // The box of pixels that differ from `back`, as {left, top, right, bottom}.
  RECT Changed(uint32_t back) {
    GdiFlush();
    RECT r{w, h, -1, -1};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if ((bits[y * w + x] & 0xFFFFFF) != back) {
          r.left = std::min<LONG>(r.left, x), r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1), r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    return r;
  }
};

constexpr COLORREF kBack = RGB(10, 200, 30);
constexpr uint32_t kBackPixel = 0x0AC81E;  // kBack as 0x00RRGGBB

}  // namespace

TEST(OpenPicturePreview, LoadsBmpAndJpegAndRefusesEverythingElse) {
  TempFolder dir;
  PicturePreview p;
  EXPECT_FALSE(p.HasPicture());
  EXPECT_EQ(p.Label(), "Picture:");

  const std::string bmp = dir.Write("shot.bmp", WriteBmp(Solid(640, 480, 200, 0, 0)));
  EXPECT_TRUE(p.Load(bmp));
  EXPECT_EQ(p.Label(), " (640x480)");
  EXPECT_EQ(p.Pic().width, 640);

  const std::string jpg = dir.Write("photo.jpeg", EncodeJpeg(Solid(33, 17, 0, 0, 255)));
  EXPECT_TRUE(p.Load(jpg));
  EXPECT_EQ(p.Label(), " (33x17)");

  // Content decides, not the name: a JPEG named .bmp still previews.
  EXPECT_TRUE(p.Load(dir.Write("misnamed.bmp", EncodeJpeg(Solid(5, 7, 1, 2, 3)))));
  EXPECT_EQ(p.Label(), " (5x7)");

  // A failed load drops the picture shown before.
  std::vector<uint8_t> broken = WriteBmp(Solid(64, 64, 1, 1, 1));
  broken.resize(80);  // header promises pixels that are not there
  std::vector<uint8_t> cut = EncodeJpeg(Solid(40, 40, 9, 9, 9));
  cut.resize(120);
  for (const std::string& bad : {dir.Write("broken.bmp", broken), dir.Write("cut.jpg", cut),
                                 dir.Write("text.bmp", std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'}),
                                 dir.Write("empty.jpg", {}),
                                 dir.path + "missing.bmp", dir.path}) {
    ASSERT_TRUE(p.Load(bmp));
    EXPECT_FALSE(p.Load(bad)) << bad;
    EXPECT_FALSE(p.HasPicture()) << bad;
    EXPECT_EQ(p.Label(), "Picture:") << bad;
  }
}

TEST(OpenPicturePreview, HugeDeclaredPicturesAreNotDecoded) {
  TempFolder dir;
  PicturePreview p;
  // Valid files whose decoding would take tens or hundreds of megabytes.
  const std::string bomb = dir.Write("bomb.bmp", RleBomb(8000, 7000));
  EXPECT_FALSE(p.Load(bomb));
  // Just inside the limit the same kind of file is shown.
  EXPECT_TRUE(p.Load(dir.Write("wide.bmp", RleBomb(5000, 2000))));
  EXPECT_EQ(p.Label(), " (5000x2000)");

  // A JPEG header claiming 60000 x 60000 with nothing behind it.
  std::vector<uint8_t> j = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x00, 0x00,  // short APP0
                            0xFF, 0xC0, 0x00, 0x11, 0x08, 0xEA, 0x60, 0xEA, 0x60, 0x03,
                            0x01, 0x22, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01};
  EXPECT_FALSE(p.Load(dir.Write("claim.jpg", j)));
}

TEST(OpenPicturePreview, PaintsNoneFitsCentredAndScalesLargeFromTheCorner) {
  if (!HaveDesktop()) GTEST_SKIP() << "no display";
  TempFolder dir;
  PicturePreview p;
  Canvas c(100, 80);
  const RECT box{0, 0, 100, 80};

  p.Paint(c.dc, box, kBack);
  const RECT none = c.Changed(kBackPixel);
  ASSERT_GT(none.right, none.left) << "\"(None)\" is written";
  EXPECT_NEAR((none.left + none.right) / 2, 50, 3);
  EXPECT_NEAR((none.top + none.bottom) / 2, 40, 3);

  // Fits: unscaled, centred.
  ASSERT_TRUE(p.Load(dir.Write("small.bmp", WriteBmp(Solid(20, 10, 255, 0, 0)))));
  p.Paint(c.dc, box, kBack);
  RECT r = c.Changed(kBackPixel);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.top, 35);
  EXPECT_EQ(r.right, 60);
  EXPECT_EQ(r.bottom, 45);
  EXPECT_EQ(c.At(50, 40), 0xFF0000u);

  // Wider than high and too large: full width from the top-left corner.
  ASSERT_TRUE(p.Load(dir.Write("wide.bmp", WriteBmp(Solid(400, 100, 0, 0, 255)))));
  p.Paint(c.dc, box, kBack);
  r = c.Changed(kBackPixel);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 100);
  EXPECT_EQ(r.bottom, 25);
  EXPECT_EQ(c.At(50, 12), 0x0000FFu);

  // Higher than the box: full height.
  ASSERT_TRUE(p.Load(dir.Write("tall.jpg", EncodeJpeg(Solid(90, 160, 255, 255, 255)))));
  p.Paint(c.dc, box, kBack);
  r = c.Changed(kBackPixel);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 45);
  EXPECT_EQ(r.bottom, 80);

  // An 8-bit picture goes through its palette.
  Picture pal;
  pal.Resize(8, 8, 8);
  pal.palette = {0x000000, 0x00FF00};
  std::fill(pal.pixels.begin(), pal.pixels.end(), 1);
  ASSERT_TRUE(p.Load(dir.Write("pal.bmp", WriteBmp(pal))));
  p.Paint(c.dc, box, kBack);
  EXPECT_EQ(c.At(50, 40), 0x00FF00u);
}

TEST(OpenPicturePreview, ReductionsAverageAndEnlargementsRepeatPixels) {
  // Fine black and white stripes reduce to grey instead of a random choice of either.
  Picture stripes;
  stripes.Resize(8, 4, 32);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) std::memset(stripes.Row(y) + 4 * x, x % 2 ? 255 : 0, 3);
  Picture r = ScalePicture(stripes, 2, 1);
  ASSERT_EQ(r.width, 2);
  ASSERT_EQ(r.bpp, 24);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(r.pixels[size_t(i)], 128) << i;

  // Palette pictures through their colours; uneven ratios cover every pixel.
  Picture pal;
  pal.Resize(3, 3, 8);
  pal.palette = {0x0000FF, 0xFF0000};
  std::fill(pal.pixels.begin(), pal.pixels.end(), 0);
  pal.Row(2)[2] = 1;
  r = ScalePicture(pal, 2, 2);
  EXPECT_EQ(r.Row(0)[0], 255);  // blue only
  EXPECT_EQ(r.Row(1)[3 + 0], 191);  // bottom-right: 2x2 box with one red pixel
  EXPECT_EQ(r.Row(1)[3 + 2], 64);

  r = ScalePicture(pal, 6, 6);
  EXPECT_EQ(r.Row(5)[3 * 5 + 2], 255);
  EXPECT_EQ(r.Row(3)[3 * 3 + 2], 0);
  EXPECT_TRUE(ScalePicture(Picture(), 4, 4).Empty());
}

// ---------------------------------------------------------------------------
// The dialog for real, driven step by step from a timer that runs inside its
// modal loops.

namespace {

struct Script {
  std::vector<std::function<bool()>> steps;  // each returns true when done
  size_t next = 0;
  bool busy = false, timedOut = false;
  std::chrono::steady_clock::time_point deadline;
};
Script* g_script = nullptr;

HWND OpenDialog() {
  HWND w = FindWindowW(L"#32770", L"Open");
  return w && IsWindowVisible(w) ? w : nullptr;
}

void CALLBACK RunScript(HWND, UINT, UINT_PTR id, DWORD) {
  Script& s = *g_script;
  if (s.busy) return;
  s.busy = true;
  if (s.next < s.steps.size() && s.steps[s.next]()) {
    ++s.next;
    s.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  }
  if (s.next == s.steps.size()) {
    KillTimer(nullptr, id);
  } else if (std::chrono::steady_clock::now() > s.deadline) {
    // Stuck: close whatever is open so the test ends.
    s.timedOut = true;
    KillTimer(nullptr, id);
    for (const wchar_t* title : {L"Delete File...", L"Preview"})
      if (HWND w = FindWindowW(nullptr, title)) PostMessageW(w, WM_CLOSE, 0, 0);
    if (HWND d = OpenDialog()) PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
  }
  s.busy = false;
}

// The first descendant for which match(w) holds.
HWND FindChild(HWND parent, const std::function<bool(HWND)>& match) {
  struct Find {
    const std::function<bool(HWND)>* match;
    HWND found;
  } f{&match, nullptr};
  struct Proc {
    static BOOL CALLBACK Each(HWND w, LPARAM l) {
      auto* f = reinterpret_cast<Find*>(l);
      if (!(*f->match)(w)) return TRUE;
      f->found = w;
      return FALSE;
    }
  };
  EnumChildWindows(parent, &Proc::Each, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

HWND FindById(HWND parent, int id) {
  return FindChild(parent, [id](HWND w) { return GetDlgCtrlID(w) == id; });
}

HWND FindClass(HWND parent, const wchar_t* cls) {
  return FindChild(parent, [cls](HWND w) {
    wchar_t name[64];
    GetClassNameW(w, name, 64);
    return lstrcmpW(name, cls) == 0;
  });
}

std::wstring TextOf(HWND w) {
  wchar_t buf[1024] = {};
  GetWindowTextW(w, buf, 1024);
  return buf;
}

RECT RectIn(HWND w, HWND ref) {
  RECT r;
  GetWindowRect(w, &r);
  MapWindowPoints(nullptr, ref, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Index of the file list's item whose text starts with `name`, -1 if none.
int ListIndex(HWND dlg, const std::wstring& name) {
  HWND list = FindClass(dlg, L"SysListView32");
  const int n = list ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
  for (int i = 0; i < n; ++i) {
    wchar_t text[MAX_PATH] = {};
    LVITEMW it{};
    it.pszText = text;
    it.cchTextMax = MAX_PATH;
    SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&it));
    if (std::wstring(text).rfind(name, 0) == 0) return i;
  }
  return -1;
}

// Selects that item, as a click would.
bool SelectInList(HWND dlg, const std::wstring& name) {
  const int i = ListIndex(dlg, name);
  if (i < 0) return false;
  HWND list = FindClass(dlg, L"SysListView32");
  LVITEMW none{};
  none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
  LVITEMW sel{};
  sel.state = sel.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&sel));
  return true;
}

struct OpenDialogTest : ::testing::Test {
  TempFolder dir;
  Script script;
  void SetUp() override {
    if (!HaveDesktop()) GTEST_SKIP() << "no display";
    g_script = &script;
  }
  bool Run(TOpenPictureDialog2& d, const std::string& filter, int index, std::string& name) {
    script.deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    SetTimer(nullptr, 0, 30, &RunScript);
    const bool ok = d.Execute(nullptr, dir.path, filter, index, name);
    EXPECT_FALSE(script.timedOut) << "stuck at step " << script.next;
    EXPECT_EQ(script.next, script.steps.size());
    return ok;
  }
};

}  // namespace

TEST_F(OpenDialogTest, PreviewFollowsTheSelectionAndOpenReturnsTheTypedName) {
  dir.Write("a-shot.bmp", WriteBmp(Solid(120, 90, 255, 0, 0)));
  dir.Write("b-photo.jpg", EncodeJpeg(Solid(300, 40, 0, 0, 255)));
  dir.Write("c-bad.bmp", {'B', 'M', 0, 0});
  TOpenPictureDialog2 d;
  HWND dlg = nullptr, panel = nullptr, label = nullptr, prev = nullptr, del = nullptr, paint = nullptr;
  script.steps = {
      [&] {
        dlg = OpenDialog();
        if (!dlg) return false;
        EXPECT_EQ(d.DialogHandle(), dlg);
        panel = FindById(dlg, IDC_OPENDLG_PICTUREPANEL);
        label = FindById(dlg, IDC_OPENDLG_PICTURELABEL);
        prev = FindById(dlg, IDC_OPENDLG_PREVIEWBUTTON);
        del = FindById(dlg, IDC_OPENDLG_DELETEBUTTON);
        paint = FindById(dlg, IDC_OPENDLG_PAINTPANEL);
        EXPECT_TRUE(panel && label && prev && del && paint && FindById(dlg, IDC_OPENDLG_PAINTBOX));
        if (!(panel && label && prev && del && paint)) return true;
        EXPECT_EQ(TextOf(label), L"Picture:");
        EXPECT_FALSE(IsWindowEnabled(prev));
        EXPECT_FALSE(IsWindowEnabled(del));
        EXPECT_EQ(TextOf(del), L"&Delete");
        // Right of the standard controls, 4 pixels down, to the dialog's edges.
        HWND child = GetParent(panel);
        RECT p = RectIn(panel, child), client;
        GetClientRect(child, &client);
        EXPECT_EQ(p.left, RectIn(GetDlgItem(child, stc32), child).right);
        const int dpi = DpiOf(dlg);
        EXPECT_EQ(p.top, Scale(4, dpi));
        EXPECT_EQ(p.right, client.right);
        EXPECT_EQ(p.bottom, client.bottom);
        EXPECT_GE(p.left, RectIn(FindClass(dlg, L"SysListView32"), child).right);
        EXPECT_GE(p.right - p.left, 150);
        // Buttons: Preview 2 px inside the paint panel's right edge, Delete 2 px left of it.
        RECT pp = RectIn(paint, panel), pb = RectIn(prev, panel), db = RectIn(del, panel);
        EXPECT_EQ(pb.right, pp.right - Scale(2, dpi));
        EXPECT_EQ(db.right, pb.left - Scale(2, dpi));
        EXPECT_EQ(pb.right - pb.left, Scale(23, dpi));
        EXPECT_EQ(pb.bottom - pb.top, Scale(22, dpi));
        EXPECT_EQ(db.right - db.left, Scale(55, dpi));
        EXPECT_EQ(db.bottom - db.top, Scale(23, dpi));
        EXPECT_LE(db.bottom, pp.top);
        // A larger dialog: the preview stays right of the (wider) standard controls.
        RECT w;
        GetWindowRect(dlg, &w);
        SetWindowPos(dlg, nullptr, 0, 0, w.right - w.left + 160, w.bottom - w.top + 90, SWP_NOMOVE | SWP_NOZORDER);
        return true;
      },
      [&] {
        HWND child = GetParent(panel);
        RECT p = RectIn(panel, child), client;
        GetClientRect(child, &client);
        EXPECT_GE(p.left, RectIn(FindClass(dlg, L"SysListView32"), child).right);
        EXPECT_GE(p.left, RectIn(GetDlgItem(dlg, IDOK), child).right);
        EXPECT_EQ(p.right, client.right);
        EXPECT_EQ(p.bottom, client.bottom);
        EXPECT_GE(p.right - p.left, 150);
        EXPECT_EQ(RectIn(prev, panel).right, RectIn(paint, panel).right - Scale(2, DpiOf(dlg)));
        return SelectInList(dlg, L"b-photo");
      },
      [&] {
        EXPECT_EQ(TextOf(label), L" (300x40)");
        EXPECT_TRUE(IsWindowEnabled(prev));
        EXPECT_TRUE(IsWindowEnabled(del));
        EXPECT_EQ(d.Preview().Pic().width, 300);
        return SelectInList(dlg, L"c-bad");
      },
      [&] {
        EXPECT_EQ(TextOf(label), L"Picture:");
        EXPECT_FALSE(IsWindowEnabled(prev));
        EXPECT_FALSE(IsWindowEnabled(del));
        EXPECT_FALSE(d.Preview().HasPicture());
        return SelectInList(dlg, L"a-shot");
      },
      [&] {
        EXPECT_EQ(TextOf(label), L" (120x90)");
        // Typed name wins over the selection.
        HWND edit = GetDlgItem(dlg, cmb13) ? GetDlgItem(dlg, cmb13) : GetDlgItem(dlg, edt1);
        SetWindowTextW(edit, L"b-photo.jpg");
        PostMessageW(dlg, WM_COMMAND, IDOK, 0);
        return true;
      },
  };
  std::string name;
  ASSERT_TRUE(Run(d, "All files|*.*|Bitmaps|*.bmp", 1, name));
  EXPECT_EQ(name, dir.path + "b-photo.jpg");
  EXPECT_EQ(d.FilterIndex(), 1);
  EXPECT_FALSE(d.Preview().HasPicture()) << "the picture is not kept after the dialog";
}

TEST_F(OpenDialogTest, AllPicturesIsTheDefaultAndAPngIsPreviewed) {
  dir.Write("a-bmp.bmp", WriteBmp(Solid(20, 10, 255, 0, 0)));
  dir.Write("b-png.png", EncodePng(Solid(33, 21, 0, 0, 255)));
  dir.Write("c-notes.txt", std::vector<uint8_t>(40, 'x'));
  TOpenPictureDialog2 d;
  HWND dlg = nullptr, label = nullptr;
  script.steps = {
      [&] {
        dlg = OpenDialog();
        if (!dlg) return false;
        label = FindById(dlg, IDC_OPENDLG_PICTURELABEL);
        // The file-type box starts on every kind the program reads; text files are not listed.
        EXPECT_EQ(TextOf(GetDlgItem(dlg, cmb1)).rfind(L"All pictures", 0), 0u) << TextOf(GetDlgItem(dlg, cmb1));
        return SelectInList(dlg, L"b-png");
      },
      [&] {
        EXPECT_EQ(TextOf(label), L" (33x21)");
        EXPECT_FALSE(SelectInList(dlg, L"c-notes"));
        PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
        return true;
      },
  };
  std::string name;
  EXPECT_FALSE(Run(d, kOpenFilter, kOpenFilterAll, name));
}

TEST_F(OpenDialogTest, PreviewWindowAndDeleteWithItsQuestion) {
  const std::string victim = dir.Write("victim.bmp", WriteBmp(Solid(64, 48, 0, 255, 0)));
  TOpenPictureDialog2 d;
  HWND dlg = nullptr, label = nullptr, prev = nullptr, del = nullptr;
  HWND box = nullptr;
  auto question = [] { return FindWindowW(L"#32770", L"Delete File..."); };
  script.steps = {
      [&] {
        dlg = OpenDialog();
        if (!dlg) return false;
        label = FindById(dlg, IDC_OPENDLG_PICTURELABEL);
        prev = FindById(dlg, IDC_OPENDLG_PREVIEWBUTTON);
        del = FindById(dlg, IDC_OPENDLG_DELETEBUTTON);
        return SelectInList(dlg, L"victim");
      },
      [&] {
        EXPECT_TRUE(IsWindowEnabled(prev));
        PostMessageW(prev, BM_CLICK, 0, 0);
        return true;
      },
      [&] {
        HWND form = FindWindowW(L"GrivPreviewForm", L"Preview");
        if (!form || !IsWindowVisible(form)) return false;
        EXPECT_FALSE(IsWindowEnabled(dlg)) << "modal";
        EXPECT_TRUE(GetWindowLongW(form, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
        EXPECT_TRUE(GetWindowLongW(form, GWL_STYLE) & WS_THICKFRAME);
        // The panel's client area is the picture plus 5 pixels on each side.
        HWND panel = GetDlgItem(form, IDC_OPENDLG_PREVIEWPANEL);
        RECT c;
        GetClientRect(panel, &c);
        EXPECT_EQ(c.right, 64 + 2 * Scale(5, DpiOf(form)));
        EXPECT_EQ(c.bottom, 48 + 2 * Scale(5, DpiOf(form)));
        // Centred on the screen's work area.
        RECT w, work;
        GetWindowRect(form, &w);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_NEAR((w.left + w.right) / 2, (work.left + work.right) / 2, 1);
        EXPECT_NEAR((w.top + w.bottom) / 2, (work.top + work.bottom) / 2, 1);
        PostMessageW(form, WM_KEYDOWN, VK_ESCAPE, 0);
        return true;
      },
      [&] {
        if (FindWindowW(L"GrivPreviewForm", nullptr)) return false;
        EXPECT_TRUE(IsWindowEnabled(dlg));
        PostMessageW(del, BM_CLICK, 0, 0);
        return true;
      },
      [&] {
        box = question();
        if (!box || !IsWindowVisible(box)) return false;
        EXPECT_EQ(TextOf(GetDlgItem(box, 0xFFFF)), Widen("Delete: " + victim));
        // Cancel is the default: Enter keeps the file.
        EXPECT_TRUE(GetWindowLongW(GetDlgItem(box, IDCANCEL), GWL_STYLE) & BS_DEFPUSHBUTTON);
        EXPECT_FALSE(GetWindowLongW(GetDlgItem(box, IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON);
        PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        return true;
      },
      [&] {
        if (question()) return false;
        EXPECT_TRUE(FileExists(victim));
        EXPECT_EQ(TextOf(label), L" (64x48)");
        // Alt+D, the access key, clicks Delete as well.
        HWND focus = GetFocus();
        PostMessageW(focus ? focus : dlg, WM_SYSCHAR, 'd', 1 << 29);
        return true;
      },
      [&] {
        box = question();
        if (!box || !IsWindowVisible(box)) return false;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return true;
      },
      [&] {
        if (question()) return false;
        EXPECT_FALSE(FileExists(victim));
        EXPECT_EQ(TextOf(label), L"Picture:");
        EXPECT_FALSE(IsWindowEnabled(prev));
        EXPECT_FALSE(IsWindowEnabled(del));
        return true;
      },
      [&] {
        // The file list hears of the deletion.
        if (ListIndex(dlg, L"victim") >= 0) return false;
        PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
        return true;
      },
  };
  std::string name;
  EXPECT_FALSE(Run(d, "Bitmaps (*.bmp)|*.bmp*", 1, name));
  EXPECT_TRUE(name.empty());
}

TEST_F(OpenDialogTest, LayoutFromTheProgramResources) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring exe(path);
  exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"GRIV.exe";
  HMODULE res = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!res || !FindResourceW(res, L"DLGTEMPLATE", MAKEINTRESOURCEW(5))) {
    if (res) FreeLibrary(res);
    GTEST_SKIP() << "GRIV.exe does not carry the open dialog's template";
  }
  TOpenPictureDialog2 d;
  d.SetResourceModule(res);
  script.steps = {[&] {
    HWND dlg = OpenDialog();
    if (!dlg) return false;
    HWND panel = FindById(dlg, IDC_OPENDLG_PICTUREPANEL);
    EXPECT_NE(panel, nullptr);
    if (panel) {
      HWND child = GetParent(panel);
      EXPECT_NE(GetDlgItem(child, stc32), nullptr);
      EXPECT_GE(RectIn(panel, child).left, RectIn(FindClass(dlg, L"SysListView32"), child).right);
      EXPECT_GE(RectIn(panel, child).right - RectIn(panel, child).left, 150);
    }
    PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
    return true;
  }};
  std::string name;
  EXPECT_FALSE(Run(d, "All|*.*", 1, name));
  FreeLibrary(res);
}
