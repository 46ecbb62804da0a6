// The open dialog with a picture preview: the system's file-open dialog with
// a panel right of the file list that shows the selected picture, its size,
// a button for a full-size preview window and one that deletes the file.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "image/picture_preview.h"
#include "base/picture.h"
#include "ui/speed_button_win.h"
#include "ui/window_base_win.h"

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

class TOpenPictureDialog2 : private DialogBase {
 public:
  TOpenPictureDialog2() = default;

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
  // PicturePanel and PaintPanel: plain panels; the outer one hears the buttons.
  class Panel : public WindowBase {
   public:
    Panel(TOpenPictureDialog2& dlg, bool bevelled) : dlg_(dlg), bevelled_(bevelled) {}
    void Create(HWND parent, int id, int x, int y, int w, int h, DWORD exStyle);

   private:
    bool OnCommand(int id, int code, HWND control) override;
    void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
    TOpenPictureDialog2& dlg_;
    bool bevelled_;
  };
  class PaintBox : public WindowBase {
   public:
    explicit PaintBox(TOpenPictureDialog2& dlg) : dlg_(dlg) {}
    void Create(HWND parent, int x, int y, int w, int h);

   private:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
    TOpenPictureDialog2& dlg_;
  };

  INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp) override;

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
  Panel picturePanel_{*this, false}, paintPanel_{*this, true};
  PaintBox paintBox_{*this};
  SpeedButton previewButton_, deleteButton_;
  HWND pictureLabel_ = nullptr, hint_ = nullptr;
  UniqueBitmap glyph_;
  int dpi_ = 96;
};

}  // namespace griv
