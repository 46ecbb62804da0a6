// The clipboard: copy and paste of the image, and the viewer chain that
// tells the window of every change (paste commands, watched captures).
#include "image/clipboard_dib.h"
#include "app/main_form_win.h"
#include "base/dib_win.h"
#include "base/handles_win.h"
#include "resource.h"
#include "ui/clipboard_win.h"
#include "ui/ui_win.h"

namespace griv {

namespace {
constexpr char kClipboardBusy[] = "The clipboard is in use by another program: the image was not copied";
constexpr char kClipboardPictureRefused[] =
    "The picture on the clipboard cannot be taken: it is damaged or larger than GRIV can hold.";
}  // namespace

void TfrmCaptureForm::mnuCopyClick() {
  if (doc_.FullImage().Empty()) return;
  const Picture& shown = doc_.ShownImage();
  if (shown.Empty()) return;
  UniqueBitmap bitmap;
  {
    WindowDC screen(nullptr);
    PictureInfo info;
    FillPictureInfo(shown, info);
    bitmap.reset(CreateDIBitmap(screen.get(), &info.header, CBM_INIT, shown.pixels.data(), info.get(), DIB_RGB_COLORS));
  }
  if (!bitmap) throw std::bad_alloc();
  ClipboardSession clipboard(Handle());
  if (!clipboard || !EmptyClipboard()) {
    SetStatusText(0, kClipboardBusy);
    return;
  }
  // The shown image has 24 or 32 bits a pixel: there is no palette to put beside it.
  if (SetClipboardData(CF_BITMAP, bitmap.get())) bitmap.release();  // the clipboard owns it now
  else SetStatusText(0, kClipboardBusy);
}

void TfrmCaptureForm::CaptureFromClipboard() {
  if (!shk1_ || !shk1_->Active() || !IsClipboardFormatAvailable(CF_BITMAP)) return;
  Picture pic;
  {
    ClipboardSession clipboard(Handle());
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
      ShowMessage(kClipboardPictureRefused, dialogCaption_, MB_OK | MB_ICONWARNING);
      return;
    }
    GlobalUnlock(data);
  }
  CancelStamping();
  currentFileName_.clear();
  SaveUndo();
  doc_.SetFullImage(std::move(pic));
  ResetZoom();
  RenderView(1.0);
  EnableImageCommands(true);
  if (settings_.PopUp) {
    GrowForFirstCapture();
    RestoreMainWindow();
  }
  DoAutoPrint();
  DoAutoSave();
  SetStatusText(0, "");
}

void TfrmCaptureForm::ClipboardChanged() {
  if (nextClipboardViewer_ && IsWindow(nextClipboardViewer_))
    SendMessageW(nextClipboardViewer_, WM_DRAWCLIPBOARD, 0, 0);
  // While the hot keys are off the program is busy, and the change is its own copy.
  if (!shk1_ || !shk1_->Active()) return;
  clipboardBitmap_ = IsClipboardFormatAvailable(CF_BITMAP) != FALSE;
  UpdateCommands();
  if (clipboardBitmap_) {
    if (settings_.WatchClips) CaptureFromClipboard();
  } else if (printSetupEnabled_ && settings_.DosPrint && IsClipboardFormatAvailable(CF_TEXT) &&
             IsConsoleForeground()) {
    PrintConsoleText();  // a console's screen copy
  }
}

void TfrmCaptureForm::ClipboardChainChanged(HWND leaving, HWND next) {
  if (leaving == nextClipboardViewer_) nextClipboardViewer_ = next;
  else if (nextClipboardViewer_ && IsWindow(nextClipboardViewer_))
    SendMessageW(nextClipboardViewer_, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(leaving),
                 reinterpret_cast<LPARAM>(next));
}

}  // namespace griv
