// The open dialog with a picture preview: the system's file-open dialog with
// a panel right of the file list that shows the selected picture, its size,
// a button for a full-size preview window and one that deletes the file.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "app/picture_preview.h"
#include "base/picture.h"

namespace griv {

// The picture of the preview and what is shown around it. Loading never
// throws: anything that is not a readable BMP or JPEG picture of a sane
// size simply leaves no picture.
class PicturePreview {
 public:
  static constexpr int64_t kMaxFileBytes = kPreviewMaxFileBytes;
  static constexpr int64_t kMaxPixels = kPreviewMaxPixels;

  // Loads the named file when it exists and holds a picture; true on success.
  bool Load(const std::string& fileName);
  void Clear() {
    pic_.Clear();
    scaled_.Clear();
  }

  bool HasPicture() const { return !pic_.Empty(); }
  const Picture& Pic() const { return pic_; }
  // " (WxH)" with a picture, "Picture:" without.
  std::string Label() const;

  // Fills r with back, then writes "(None)" centred in the DC's font, or
  // draws the picture unscaled and centred when it fits, else scaled into r
  // from its top-left corner.
  void Paint(HDC dc, const RECT& r, COLORREF back) const;

 private:
  Picture pic_;
  mutable Picture scaled_;  // pic_ at the size last painted
};

// Draws pic into r at r's size. A scaled copy is made when the sizes differ
// and kept in cache for the next paint at the same size; whoever changes pic
// clears cache.
void DrawPicture(HDC dc, const Picture& pic, const RECT& r, Picture& cache);

class TOpenPictureDialog2 {
 public:
  TOpenPictureDialog2() = default;
  ~TOpenPictureDialog2();
  TOpenPictureDialog2(const TOpenPictureDialog2&) = delete;
  TOpenPictureDialog2& operator=(const TOpenPictureDialog2&) = delete;

  // Module holding the "DLGTEMPLATE" dialog and the "PREVIEWGLYPH" bitmap;
  // the program's own by default. When it lacks them the same layout is
  // built in memory and the button glyph is drawn.
  void SetResourceModule(HINSTANCE module) { resModule_ = module; }

  // Runs the dialog modally. filter: "description|pattern|..."; filterIndex
  // counts from 1. fileName: in, an initial name (usually empty); out, the
  // full name of the chosen file (UTF-8). False when cancelled.
  bool Execute(HWND owner, const std::string& initialDir, const std::string& filter, int filterIndex,
               std::string& fileName);
  // The filter index chosen in the last run.
  int FilterIndex() const { return filterIndex_; }

  // The dialog's window while Execute runs (for callers that drive it).
  HWND DialogHandle() const { return dialog_; }
  const PicturePreview& Preview() const { return preview_; }

 private:
  static UINT_PTR CALLBACK HookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PaintBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  void CreateControls(HWND child);
  void DoShow();
  void Layout();
  void DoSelectionChange();
  void UpdateState();
  void PreviewClick();
  void DeleteClick();
  void HideHint();
  void DestroyControls();
  std::string SelectedName() const;
  HWND Owner() const;

  HINSTANCE resModule_ = nullptr;
  int filterIndex_ = 1;
  PicturePreview preview_;
  std::string selected_;  // the file whose picture is shown

  HWND child_ = nullptr;  // our template inside the system dialog
  HWND dialog_ = nullptr;
  HWND picturePanel_ = nullptr, pictureLabel_ = nullptr, previewButton_ = nullptr, deleteButton_ = nullptr,
       paintPanel_ = nullptr, paintBox_ = nullptr, hint_ = nullptr;
  HBITMAP glyph_ = nullptr;
  int dpi_ = 96;
};

}  // namespace griv
