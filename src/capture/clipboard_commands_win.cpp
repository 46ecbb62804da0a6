#include "capture/clipboard_commands_win.h"

#include "base/dib_win.h"
#include "base/handles_win.h"
#include "capture/capture_commands.h"
#include "ids_app.h"
#include "image/clipboard_dib.h"
#include "ui/clipboard_win.h"
#include "ui/ui_win.h"

namespace griv {

namespace {
constexpr char kClipboardBusy[] = "The clipboard is in use by another program: the image was not copied";
constexpr char kClipboardPictureRefused[] =
    "The picture on the clipboard cannot be taken: it is damaged or larger than GRIV can hold.";

// The clipboard holds what a window of this program put there.
bool OwnClipboard() {
  DWORD process = 0;
  const HWND owner = GetClipboardOwner();
  return owner && GetWindowThreadProcessId(owner, &process) && process == GetCurrentProcessId();
}
}  // namespace

void ClipboardCommands::AddTo(CommandTable& table) {
  table.Add(ClipboardCommandRules(), {{CM_COPY, CM_COPY, [this](int) { Copy(); }},
                                      {CM_PASTE, CM_PASTE, [this](int) { TakeFromClipboard(); }}});
  table.AddState([this](CommandContext& c) { c.clipboardBitmap = bitmap_; });
}

void ClipboardCommands::Copy() {
  const ImageDocument& doc = doc_.Document();
  if (doc.FullImage().Empty()) return;
  const Picture& shown = doc.OutputShown();  // as shown, marks and all
  if (shown.Empty()) return;
  UniqueBitmap bitmap;
  {
    WindowDC screen(nullptr);
    PictureInfo info;
    FillPictureInfo(shown, info);
    bitmap.reset(CreateDIBitmap(screen.get(), &info.header, CBM_INIT, shown.pixels.data(), info.get(), DIB_RGB_COLORS));
  }
  if (!bitmap) throw std::bad_alloc();
  ClipboardSession clipboard(app_.Window());
  if (!clipboard || !EmptyClipboard()) {
    app_.SetStatusText(kClipboardBusy);
    return;
  }
  // The shown image has 24 or 32 bits a pixel: there is no palette to put beside it.
  if (SetClipboardData(CF_BITMAP, bitmap.get())) bitmap.release();  // the clipboard owns it now
  else app_.SetStatusText(kClipboardBusy);
}

void ClipboardCommands::TakeFromClipboard() {
  if (!app_.HotKeysActive() || !IsClipboardFormatAvailable(CF_BITMAP)) return;
  Picture pic;
  {
    ClipboardSession clipboard(app_.Window());
    if (!clipboard) return;
    HANDLE data = GetClipboardData(CF_DIB);  // the system makes it from the bitmap
    if (!data) return;
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(data));
    if (!bytes) return;
    const size_t size = GlobalSize(data);
    try {
      pic = ReadPackedDib(bytes, size);
    } catch (const EInvalidPicture&) {
      GlobalUnlock(data);
      ShowMessage(app_.Window(), kClipboardPictureRefused, app_.DialogCaption(), MB_OK | MB_ICONWARNING);
      return;
    }
    GlobalUnlock(data);
  }
  capture_.NewPicture();
  doc_.Document().SetFullImage(std::move(pic));
  doc_.ResetZoom();
  doc_.RenderView(1.0);
  app_.UpdateCommands();
  if (settings_.PopUp) doc_.PopUp(true);
  capture_.AutoPrint();
  capture_.AutoSave();
  app_.SetStatusText("");
}

void ClipboardCommands::JoinViewerChain() { nextViewer_ = SetClipboardViewer(app_.Window()); }

void ClipboardCommands::LeaveViewerChain() {
  ChangeClipboardChain(app_.Window(), nextViewer_);
  nextViewer_ = nullptr;
}

void ClipboardCommands::Changed() {
  if (nextViewer_ && IsWindow(nextViewer_)) SendMessageW(nextViewer_, WM_DRAWCLIPBOARD, 0, 0);
  // While the hot keys are off the program is busy, and the change is its own copy.
  if (!app_.HotKeysActive()) return;
  bitmap_ = IsClipboardFormatAvailable(CF_BITMAP) != FALSE;
  app_.UpdateCommands();
  if (bitmap_) {
    // A watched bitmap is a capture request like any other; GRIV's own copy
    // (Copy, or the copy after a capture) is never taken back.
    if (settings_.WatchClips && !OwnClipboard()) capture_.Gate([this] { TakeFromClipboard(); });
  } else if (settings_.DosPrint && IsClipboardFormatAvailable(CF_TEXT) && ConsoleInFront()) {
    print_.RecheckPrinter();
    if (print_.PrinterReady()) print_.PrintConsoleText();  // a console's screen copy
  }
}

void ClipboardCommands::ChainChanged(HWND leaving, HWND next) {
  if (leaving == nextViewer_) nextViewer_ = next;
  else if (nextViewer_ && IsWindow(nextViewer_))
    SendMessageW(nextViewer_, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(leaving), reinterpret_cast<LPARAM>(next));
}

}  // namespace griv
