// TdlgAbout: the borderless About box over the SPLASH picture, shown modally
// from the Help menu and, without waiting, as the start-up splash.
//
//   About1Click:  TdlgAbout(inst, {mainCaption, webSite}).ShowModal(hwnd);
//   splash:       splash_ = std::make_unique<TdlgAbout>(inst, AboutInfo{...});
//                 splash_->CreateSplash(applicationWindow);   ...   splash_->CloseSplash();
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "base/dib_win.h"
#include "base/handles_win.h"
#include "ui/window_base_win.h"

namespace griv {

struct AboutInfo {
  std::string productName;  // drawn on the picture (the brand's MainCaption)
  std::string webSite;      // opened by a click on the picture or the link
  Picture splash;           // empty: the strip's colour instead
};

inline constexpr char kAboutLinkHint[] = "Click to visit Web Site";

class TdlgAbout : private DialogBase {
 public:
  // resources: the module with the IDD_ABOUT layout.
  TdlgAbout(HINSTANCE resources, AboutInfo info);
  ~TdlgAbout();  // closes a splash that is still up
  TdlgAbout(const TdlgAbout&) = delete;
  TdlgAbout& operator=(const TdlgAbout&) = delete;

  // Modal, centred on owner; returns when closed.
  void ShowModal(HWND owner);
  // Modeless, centred on the screen, not activated; owned by the (hidden)
  // application window, so it gets no task-bar button of its own.
  void CreateSplash(HWND owner);
  void CloseSplash();
  // The box while it is up (null otherwise).
  using DialogBase::Handle;

  // "Ver: " and the executable's file version.
  static std::string VersionCaption();

  // Opens the web site; by default the shell's "Open" verb, owned by the
  // desktop window, with the hourglass until the shell returns.
  std::function<void(const std::string&)> OpenWebSite;

 private:
  // pnlBack: the picture under the labels and the Close button.
  class BackPanel : public WindowBase {
   public:
    explicit BackPanel(TdlgAbout& box) : box_(box) {}
    void Create(int y, int width, int height);

   private:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnPaint(HDC dc, const PAINTSTRUCT& ps) override;
    TdlgAbout& box_;
    ClickTracker click_;
  };

  INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnFinalMessage() override { tip_ = nullptr; }
  void FormCreate();
  void PaintBackground(int width, int height);
  void Centre();
  void Close();
  void imgSplashClick();

  HINSTANCE res_;
  AboutInfo info_;
  BackPanel back_{*this};
  HWND tip_ = nullptr;
  HWND owner_ = nullptr;
  int picW_ = 420, picH_ = 230;  // picture size at 96 DPI
  DibSection splash_;            // info_.splash for GDI
  UniqueBitmap backBitmap_;      // picture + product name at the box's scale
  UniqueBrush backBrush_;        // that bitmap as the labels' background
  UniqueBrush stripBrush_;
  UniqueFont nameFont_, labelFont_, linkFont_;
};

}  // namespace griv
