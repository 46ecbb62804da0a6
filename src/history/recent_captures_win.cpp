#include "history/recent_captures_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/dib_win.h"
#include "base/file_io.h"
#include "base/utf.h"
#include "ids_history.h"
#include "image/image_files.h"
#include "ui/gui_thread_win.h"
#include "ui/ui_win.h"

namespace griv {

namespace {
constexpr int kClientWidth = 720, kClientHeight = 480;  // at 96 DPI
constexpr int kMargin = 8, kButtonW = 96, kButtonH = 26, kLine = 18;
constexpr char kCaption[] = "Recent Captures";
constexpr char kClearQuestion[] =
    "Remove every picture of Recent Captures?\r\nThey go to the Recycle Bin, from where they can be restored.";

COLORREF Face() { return GetSysColor(COLOR_WINDOW); }

// A thumbnail centred in its box on the list's background, with a thin
// frame; without a thumbnail only the frame (the picture is being made).
UniqueBitmap FramedThumbnail(const Picture* thumb, int w, int h) {
  Picture box;
  box.Resize(w, h, 24);
  const COLORREF bg = Face(), frame = GetSysColor(COLOR_BTNSHADOW);
  auto put = [&](int x, int y, COLORREF c) {
    uint8_t* p = box.Row(y) + size_t(x) * 3;
    p[0] = GetBValue(c);
    p[1] = GetGValue(c);
    p[2] = GetRValue(c);
  };
  int left = 0, top = 0, tw = w, th = h;
  if (thumb && !thumb->Empty()) {
    tw = std::min(thumb->width + 2, w);
    th = std::min(thumb->height + 2, h);
    left = (w - tw) / 2;
    top = (h - th) / 2;
  }
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool inside = x >= left && x < left + tw && y >= top && y < top + th;
      const bool edge = inside && (x == left || y == top || x == left + tw - 1 || y == top + th - 1);
      put(x, y, edge ? frame : bg);
    }
  if (thumb && !thumb->Empty())
    for (int y = 0; y < th - 2; ++y)
      std::memcpy(box.Row(top + 1 + y) + size_t(left + 1) * 3, thumb->Row(y), size_t(tw - 2) * 3);
  DibSection dib;
  if (!MakeDibSection(box, dib, true)) return UniqueBitmap();
  return std::move(dib.bitmap);
}
}  // namespace

TRecentCaptures::TRecentCaptures(std::string folder, ThumbnailCache& cache, int thumbW, int thumbH, std::string note)
    : folder_(std::move(folder)), cache_(cache), thumbW_(thumbW), thumbH_(thumbH), note_(std::move(note)) {}

TRecentCaptures::~TRecentCaptures() {
  *alive_ = false;
  if (maker_) maker_->CancelPending();
  maker_.reset();
  if (imageList_) ImageList_Destroy(imageList_);
}

std::string TRecentCaptures::ShowModal(HINSTANCE resources, HWND owner) {
  maker_ = std::make_unique<BackgroundWorker>();
  DialogBase::ShowModal(resources, IDD_RECENT, owner);
  *alive_ = false;
  maker_->CancelPending();
  return chosen_;
}

BOOL TRecentCaptures::OnInitDialog() {
  const HWND list = Item(IDC_RECENT_LIST);
  imageList_ = ImageList_Create(thumbW_, thumbH_, ILC_COLOR24, 16, 64);
  ListView_SetImageList(list, imageList_, LVSIL_NORMAL);
  ListView_SetExtendedListViewStyle(list, LVS_EX_DOUBLEBUFFER);
  ListView_SetIconSpacing(list, thumbW_ + S(16), thumbH_ + S(40));
  const UniqueBitmap empty = FramedThumbnail(nullptr, thumbW_, thumbH_);
  ImageList_Add(imageList_, empty.get(), nullptr);  // index 0: the frame while a thumbnail is made
  SetWindowTextW(Item(IDC_RECENT_WHERE),
                 Widen(note_.empty() ? "Kept in " + folder_ + ", newest first" : note_).c_str());
  SetClientSize(kClientWidth, kClientHeight);
  if (const HWND o = GetWindow(Handle(), GW_OWNER)) {
    const auto icon = static_cast<LPARAM>(GetClassLongPtrW(o, GCLP_HICONSM));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, icon);
  }
  // Over the main window, on its monitor.
  RECT owner{};
  if (const HWND o = GetWindow(Handle(), GW_OWNER); o && IsWindowVisible(o)) {
    GetWindowRect(o, &owner);
    RECT me;
    GetWindowRect(Handle(), &me);
    MoveTo(owner.left + ((owner.right - owner.left) - (me.right - me.left)) / 2,
           owner.top + ((owner.bottom - owner.top) - (me.bottom - me.top)) / 2);
  } else {
    CentreOnScreen();
  }
  Layout();
  Reload();
  SetForegroundWindow(Handle());
  SetFocus(list);
  return FALSE;
}

void TRecentCaptures::Layout() {
  RECT rc;
  GetClientRect(Handle(), &rc);
  const int m = S(kMargin), bw = S(kButtonW), bh = S(kButtonH), line = S(kLine);
  const int w = rc.right, h = rc.bottom;
  MoveWindow(Item(IDC_RECENT_WHERE), m, m, w - 2 * m, line, TRUE);
  const int listTop = m + line + S(4), buttonsTop = h - m - bh;
  MoveWindow(Item(IDC_RECENT_LIST), m, listTop, w - 2 * m, buttonsTop - m - listTop, TRUE);
  int x = m;
  for (int id : {IDOK, IDC_RECENT_DELETE, IDC_RECENT_FOLDER, IDC_RECENT_CLEAR}) {
    MoveWindow(Item(id), x, buttonsTop, bw, bh, TRUE);
    x += bw + S(6);
  }
  MoveWindow(Item(IDCANCEL), w - m - bw, buttonsTop, bw, bh, TRUE);
}

void TRecentCaptures::Reload() {
  files_ = HistoryFiles(ListFileNames(folder_));
  images_.assign(files_.size(), -1);
  // Images of the old list stay in the image list; only the frame is kept on reload.
  ImageList_SetImageCount(imageList_, 1);
  const HWND list = Item(IDC_RECENT_LIST);
  ListView_SetItemCountEx(list, static_cast<int>(files_.size()), 0);
  if (!files_.empty()) ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  InvalidateRect(list, nullptr, TRUE);
  const BOOL any = !files_.empty();
  for (int id : {IDOK, IDC_RECENT_DELETE, IDC_RECENT_CLEAR}) EnableWindow(Item(id), any);
  EnableWindow(Item(IDC_RECENT_FOLDER), DirectoryExists(folder_));
}

int TRecentCaptures::ImageOf(int item) {
  if (item < 0 || item >= static_cast<int>(files_.size())) return 0;
  int& image = images_[size_t(item)];
  if (image >= 0) return image;
  const std::string name = files_[size_t(item)].name;
  Picture thumb;
  if (cache_.Get(name, thumbW_, thumbH_, thumb)) {
    const UniqueBitmap bmp = FramedThumbnail(&thumb, thumbW_, thumbH_);
    image = bmp ? ImageList_Add(imageList_, bmp.get(), nullptr) : 0;
    if (image < 0) image = 0;
    return image;
  }
  if (image == -1) {
    image = -2;
    // The newest request first: it is what the list shows now.
    maker_->PostFront([name, path = folder_ + name, &cache = cache_, w = thumbW_, h = thumbH_, alive = alive_,
                       self = this] {
      if (!*alive) return;  // read on this thread only as a hint; the GUI thread checks again
      try {
        cache.Put(name, w, h, MakeThumbnail(LoadImageFileData(path), w, h));
      } catch (const std::exception&) {
        cache.Put(name, w, h, Picture());  // unreadable: the frame stays
      }
      CallOnGuiThread([name, alive, self] {
        if (*alive) self->ThumbnailMade(name);
      });
    });
  }
  return 0;
}

void TRecentCaptures::ThumbnailMade(const std::string& name) {
  for (size_t i = 0; i < files_.size(); ++i)
    if (files_[i].name == name && images_[i] < 0) {
      images_[i] = -1;  // asked again when drawn: the cache has it now
      ListView_RedrawItems(Item(IDC_RECENT_LIST), int(i), int(i));
    }
}

std::vector<int> TRecentCaptures::Chosen() const {
  std::vector<int> out;
  const HWND list = Item(IDC_RECENT_LIST);
  for (int i = ListView_GetNextItem(list, -1, LVNI_SELECTED); i >= 0; i = ListView_GetNextItem(list, i, LVNI_SELECTED))
    out.push_back(i);
  return out;
}

void TRecentCaptures::OpenChosen() {
  const std::vector<int> chosen = Chosen();
  if (chosen.empty()) return;
  chosen_ = folder_ + files_[size_t(chosen.front())].name;
  End(IDOK);
}

bool TRecentCaptures::ToRecycleBin(const std::vector<std::string>& files) {
  if (files.empty()) return true;
  std::wstring from;
  for (const std::string& f : files) {
    from += Widen(folder_ + f);
    from.push_back(L'\0');
  }
  from.push_back(L'\0');
  SHFILEOPSTRUCTW op{};
  op.hwnd = Handle();
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  const int r = SHFileOperationW(&op);
  for (const std::string& f : files) cache_.Forget(f);
  return r == 0 && !op.fAnyOperationsAborted;
}

void TRecentCaptures::DeleteChosen() {
  const std::vector<int> chosen = Chosen();
  if (chosen.empty()) return;
  const int first = chosen.front();
  std::vector<std::string> names;
  for (int i : chosen) names.push_back(files_[size_t(i)].name);
  ToRecycleBin(names);
  Reload();
  // The selection stays where it was, on the next picture.
  const HWND list = Item(IDC_RECENT_LIST);
  const int at = std::min(first, static_cast<int>(files_.size()) - 1);
  if (at >= 0) {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list, at, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, at, FALSE);
  }
}

void TRecentCaptures::ClearHistory() {
  if (files_.empty()) return;
  if (ShowMessage(Handle(), kClearQuestion, kCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) return;
  std::vector<std::string> names;
  for (const HistoryFile& f : files_) names.push_back(f.name);
  ToRecycleBin(names);
  Reload();
}

bool TRecentCaptures::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED && code != 1) return false;
  switch (id) {
    case IDOK: OpenChosen(); return true;
    case IDCANCEL: End(IDCANCEL); return true;
    case IDC_RECENT_DELETE: DeleteChosen(); return true;
    case IDC_RECENT_FOLDER: OpenWithShell(folder_, {}, Handle()); return true;
    case IDC_RECENT_CLEAR: ClearHistory(); return true;
  }
  return false;
}

INT_PTR TRecentCaptures::DlgProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE: Layout(); return TRUE;
    case WM_GETMINMAXINFO: {
      auto* mm = reinterpret_cast<MINMAXINFO*>(lp);
      mm->ptMinTrackSize = {S(5 * kButtonW + 60), S(240)};
      return TRUE;
    }
    case WM_NOTIFY: {
      const auto* n = reinterpret_cast<const NMHDR*>(lp);
      if (n->idFrom != IDC_RECENT_LIST) break;
      switch (n->code) {
        case LVN_GETDISPINFOW: {
          auto* d = reinterpret_cast<NMLVDISPINFOW*>(lp);
          const int i = d->item.iItem;
          if (i < 0 || i >= static_cast<int>(files_.size())) return TRUE;
          if (d->item.mask & LVIF_TEXT) {
            const std::wstring label = Widen(HistoryLabel(files_[size_t(i)]));
            lstrcpynW(d->item.pszText, label.c_str(), d->item.cchTextMax);
          }
          if (d->item.mask & LVIF_IMAGE) d->item.iImage = ImageOf(i);
          return TRUE;
        }
        case LVN_ITEMACTIVATE:  // double click, or Enter in the list
          OpenChosen();
          return TRUE;
        case LVN_KEYDOWN:
          if (reinterpret_cast<const NMLVKEYDOWN*>(lp)->wVKey == VK_DELETE) DeleteChosen();
          return TRUE;
        case LVN_ITEMCHANGED:
        case LVN_ODSTATECHANGED:
          EnableWindow(Item(IDOK), !Chosen().empty());
          EnableWindow(Item(IDC_RECENT_DELETE), !Chosen().empty());
          return TRUE;
      }
      break;
    }
  }
  return DialogBase::DlgProc(msg, wp, lp);
}

}  // namespace griv
