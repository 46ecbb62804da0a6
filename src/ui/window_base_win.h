// The one way a window or dialog of the program is wired to its C++ object:
// `this` is bound when the window is created, every message runs through
// Guarded (no exception crosses a window procedure), and the binding is cut
// at WM_NCDESTROY so a late message never reaches a freed object.
#pragma once
#include <windows.h>

#include <functional>

namespace griv {

// The module this code is linked into (the program, or a test program).
HINSTANCE CodeModule();

class WindowBase {
 public:
  WindowBase() = default;
  // Destroys a window that is still there. Its last messages then get the
  // base handling only: subclasses that react to WM_DESTROY call Destroy()
  // from their own destructor.
  virtual ~WindowBase();
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  HWND Handle() const { return hwnd_; }
  void Destroy();

 protected:
  struct WindowClass {
    const wchar_t* name;
    UINT style = 0;
    HCURSOR cursor = nullptr;     // the arrow when null
    HBRUSH background = nullptr;  // nothing erased when null
    HICON icon = nullptr, smallIcon = nullptr;
  };
  // Registers the class on first use and creates the window bound to this.
  // Throws when the window cannot be made.
  HWND CreateWin(const WindowClass& cls, DWORD exStyle, const wchar_t* title, DWORD style, int x, int y, int w, int h,
                 HWND parent, HMENU menuOrId = nullptr);

  // Every message. The default calls the hooks below and gives the rest to
  // the system; overrides pass what they do not handle on to it.
  virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProcW(hwnd_, msg, wp, lp); }

  // WM_COMMAND: true when handled.
  virtual bool OnCommand(int id, int code, HWND control) { return false; }
  // WM_PAINT, between BeginPaint and EndPaint.
  virtual void OnPaint(HDC dc, const PAINTSTRUCT& ps) {}
  virtual void OnSize(int width, int height) {}
  // After the window's last message; Handle() is null by then.
  virtual void OnFinalMessage() {}

 private:
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
};

// Runs the messages of a modal window until done() holds or the window is
// gone. filter sees every message first and returns true for one it used up.
// A WM_QUIT ends the run and is posted again for the outer loop.
void RunModal(HWND window, const std::function<bool()>& done, const std::function<bool(const MSG&)>& filter = {});

// The owner of a modal window (may be null) disabled for the window's run.
// It gets its input back when this ends, which must be before the window
// goes, so that it is activated again.
class OwnerDisabled {
 public:
  explicit OwnerDisabled(HWND owner) : owner_(owner && IsWindowEnabled(owner) ? owner : nullptr) {
    if (owner_) EnableWindow(owner_, FALSE);
  }
  ~OwnerDisabled() {
    if (owner_) EnableWindow(owner_, TRUE);
  }
  OwnerDisabled(const OwnerDisabled&) = delete;
  OwnerDisabled& operator=(const OwnerDisabled&) = delete;

 private:
  HWND owner_;
};

// The press-and-release click of a plain window: the action runs when the
// left button comes up inside the window it went down in.
class ClickTracker {
 public:
  // True when msg was a mouse message it consumed.
  template <class F>
  bool OnMessage(HWND w, UINT msg, LPARAM lp, F&& onClick) {
    bool clicked = false;
    const bool consumed = Track(w, msg, lp, clicked);
    if (clicked) onClick();
    return consumed;
  }

 private:
  bool Track(HWND w, UINT msg, LPARAM lp, bool& clicked);
  bool pressed_ = false;
};

class DialogBase {
 public:
  DialogBase() = default;
  virtual ~DialogBase();
  DialogBase(const DialogBase&) = delete;
  DialogBase& operator=(const DialogBase&) = delete;

  HWND Handle() const { return hwnd_; }
  // Runs the dialog of the template resource modally; returns what End()
  // was given. Throws when the dialog cannot be made.
  INT_PTR ShowModal(HINSTANCE resources, int templateId, HWND owner);
  // Creates the dialog without waiting for it (a splash, a tool window).
  HWND CreateModeless(HINSTANCE resources, int templateId, HWND owner);
  // Ends a modal run with result, or destroys a modeless dialog.
  void End(INT_PTR result);
  bool Modal() const { return modal_; }

  // For common dialogs with a hook: the dialog structure's custom data must
  // be the DialogBase (lCustData of OPENFILENAME and its kin); the hook's
  // WM_INITDIALOG carries the structure's address.
  template <class CommonDialogStruct>
  static UINT_PTR CALLBACK CommonDialogHook(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    DialogBase* self = nullptr;
    if (msg == WM_INITDIALOG)
      self = reinterpret_cast<DialogBase*>(reinterpret_cast<CommonDialogStruct*>(lp)->lCustData);
    return Dispatch(hwnd, msg, wp, lp, self);
  }

 protected:
  // Every message. The default calls OnInitDialog and OnCommand; return
  // TRUE for a handled message (set DWLP_MSGRESULT where a result matters).
  virtual INT_PTR DlgProc(UINT msg, WPARAM wp, LPARAM lp);
  // Returns FALSE when it set the focus itself.
  virtual BOOL OnInitDialog() { return TRUE; }
  // The default ends the dialog on OK and Cancel.
  virtual bool OnCommand(int id, int code, HWND control);
  virtual void OnFinalMessage() {}

  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }

  // Layout in 96-DPI pixels, scaled to the dialog's DPI.
  int Dpi() const;
  int S(int v) const { return MulDiv(v, Dpi(), 96); }
  // Sizes the dialog for a client area of width x height.
  void SetClientSize(int width, int height);
  void PlaceItem(int id, int x, int y, int width, int height);
  // Centres the dialog on the work area of its monitor, or on the screen.
  void CentreOnScreen();
  // Puts the top-left corner at (x, y) in screen pixels, inside the work area.
  void MoveTo(int x, int y);

 private:
  static INT_PTR CALLBACK StaticDlgProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static INT_PTR Dispatch(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DialogBase* initSelf);
  HWND hwnd_ = nullptr;
  bool modal_ = false;
};

}  // namespace griv
