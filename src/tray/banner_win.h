// TfTop: the borderless strip laid over the main window's title bar that
// scrolls the brand's tag lines one after another. A click on it asks the
// main window to open the web site (WM_USER + 5).
//
// Wiring from the main window:
//   create:   banner.Create(hwnd); banner.ApplyBranding(brand, startIndex);
//   restore:  banner.SetTagLineEnabled(true); banner.ShowNextTagLine();
//   hide:     banner.SetTagLineEnabled(false);
//   show/hide with the window: banner.Show() / banner.Hide();
//   resize/move: banner.PlaceOver(hwnd, brand.leftBorder, brand.rightBorder);
//   close:    store banner.NextTagToShow() as NextTagToShow.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tray/branding.h"
#include "ui/scrolling_text_win.h"
#include "ui/window_base_win.h"

namespace griv {

inline constexpr UINT kBannerClickMessage = WM_USER + 5;  // 1029

// How the tag line looks and what it says (the brand's choice).
class TfTop : private WindowBase {
 public:
  TfTop() = default;

  // Creates the hidden banner owned by mainWindow, which also gets the click
  // message. Throws std::runtime_error when the window cannot be created.
  void Create(HWND mainWindow);
  using WindowBase::Handle;

  // Tag lines, start index, hint, font and colours from the brand, and the
  // banner's stepping: speed 150, 4 pixels a step, fade 25, right to left.
  void ApplyLook(const TagLineLook& look, int nextTagToShow);
  // The tag line's font follows the DPI of the monitor the window moved to.
  void SetDpi(int dpi);
  // An out-of-range index starts at the first line.
  void SetTagLines(std::vector<std::string> lines, int nextTagToShow);
  const std::vector<std::string>& TagLines() const { return tagLines_; }
  // Index of the tag line the next ShowNextTagLine shows.
  int NextTagToShow() const { return nextTagToShow_; }

  // Puts the line at NextTagToShow into the tag line and moves the index on,
  // back to 0 after the last line.
  void ShowNextTagLine();
  // Starts or stops the scrolling.
  void SetTagLineEnabled(bool on) { tagline_.SetEnabled(on); }

  // Shows without taking the activation from the main window.
  void Show();
  // Shown afresh: the display may keep the title bar stacked over a banner
  // that the window list already has on top.
  void ShowAnew();
  void Hide();
  // Screen position and size of the strip.
  void Place(int x, int y, int width, int height);
  // Place over the title bar of mainWindow: height = caption - frame,
  // width = window width - leftBorder - rightBorder, top = window top +
  // frame + 1, left = window left + leftBorder.
  void PlaceOver(HWND mainWindow, int leftBorder, int rightBorder);

  TALScrollingText& Tagline() { return tagline_; }

 private:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void TagLinePanelResize();
  void TagLinePanelClick();
  void TaglineTextDone();

  HWND notify_ = nullptr;
  TagLineLook look_;
  TALScrollingText tagline_;
  std::vector<std::string> tagLines_;
  int nextTagToShow_ = 0;
  COLORREF panelColor_ = GetSysColor(COLOR_BTNFACE);
};

}  // namespace griv
