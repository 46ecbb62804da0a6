// "Recent Captures": the pictures of the history as thumbnails, newest
// first. The list asks only for the thumbnails it shows; a thread of the
// window makes the missing ones from their files, and the cache keeps them
// for the next time. Enter or a double click opens one as Open does, Delete
// moves the chosen ones to the Recycle Bin.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "base/background_worker.h"
#include "history/history_names.h"
#include "history/history_writer.h"
#include "ui/window_base_win.h"

namespace griv {

// The thumbnails' box in 96-DPI pixels.
inline constexpr int kThumbWidth = 160, kThumbHeight = 100;

class TRecentCaptures : private DialogBase {
 public:
  // note: a line said above the list (empty: where the history is kept).
  TRecentCaptures(std::string folder, ThumbnailCache& cache, int thumbW, int thumbH, std::string note);
  ~TRecentCaptures() override;

  // Runs modally over owner; the file to open, or empty.
  std::string ShowModal(HINSTANCE resources, HWND owner);
  using DialogBase::Handle;

 private:
  BOOL OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp) override;

  void Reload();
  void Layout();
  std::vector<int> Chosen() const;
  void OpenChosen();
  void DeleteChosen();
  void ClearHistory();
  // The image-list index of an item's thumbnail, or of the empty frame while it is made.
  int ImageOf(int item);
  void ThumbnailMade(const std::string& name);
  bool ToRecycleBin(const std::vector<std::string>& files);

  std::string folder_;
  ThumbnailCache& cache_;
  int thumbW_, thumbH_;
  std::string note_;
  std::vector<HistoryFile> files_;
  std::vector<int> images_;  // per item: image-list index; -1 not asked for yet, -2 on its way
  HIMAGELIST imageList_ = nullptr;
  std::string chosen_;
  std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);
  std::unique_ptr<BackgroundWorker> maker_;
};

}  // namespace griv
