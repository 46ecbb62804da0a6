// TfrmSettings: the options dialog, four tabs over one set of OptionValues.
// The main window fills the values, shows the dialog and, on OK, stores the
// values back (app/option_values.h); the dialog itself only edits them.
#pragma once
#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "options/option_values.h"
#include "base/handles_win.h"
#include "hotkeys/hk_set_win.h"
#include "ui/window_base_win.h"

namespace griv {

inline constexpr char kSettingsCaption[] = "Option Settings";

class TfrmSettings : private DialogBase {
 public:
  struct Host {
    HINSTANCE resources = nullptr;
    TfrmHKSet* hotKeyEditor = nullptr;
    // Whether another program holds the hot key of a stored text right now.
    std::function<bool(const std::string& hotKeyText)> hotKeyInUse;
    // Owner of the help windows: one that outlives the dialog.
    HWND helpCaller = nullptr;
    HICON icon = nullptr;
  };

  TfrmSettings(Host host, OptionValues values);
  ~TfrmSettings() override;

  // Modal, with the top-left corner at (x, y) in screen pixels (kept inside
  // the work area). True when closed with Ok; Values() then holds the choices.
  bool ShowModal(HWND owner, int x, int y);
  const OptionValues& Values() const { return values_; }

  // Handlers, named after the controls they belong to.
  void BitBtn1Click();
  // Says why a value of Save Options cannot be used and puts the keyboard in its box.
  void RefuseSaveOption(const std::string& message, int control);
  void btnHelpClick();
  void btnSavePathClick();
  void btnImgEditorClick();
  void chkDosPrintClick();
  void btnChgClick(int index);  // btnChgFullClick, btnChgActiveClick, btnChgAreaClick
  void btnResetClick();

 private:
  BOOL OnInitDialog() override;
  bool OnCommand(int id, int code, HWND control) override;
  INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp) override;

  class Page;
  HWND Ctl(int id) const;  // a control, on a page or on the dialog itself
  bool Checked(int id) const;
  void Check(int id, bool on);
  std::string Text(int id) const;
  void SetText(int id, const std::string& text);
  void MakePages();
  void MakeFonts();
  void Layout();
  void AddHints();
  void FillControls();
  void ReadControls();
  void ShowTab(int tab);
  int CurrentTab() const;
  void RefreshHotKeyRow(int index);
  // F1 and the keys that switch tabs, before the control with the focus sees them.
  bool PreviewKey(const MSG& msg);
  static LRESULT CALLBACK MessageFilter(int code, WPARAM wp, LPARAM lp);

  Host host_;
  OptionValues values_;
  int x_ = 0, y_ = 0;
  UniqueFont font_, boldFont_;
  HWND tips_ = nullptr;
  std::array<std::unique_ptr<Page>, 4> pages_;
  std::unordered_map<int, HWND> controls_;
  HHOOK filter_ = nullptr;
};

}  // namespace griv
