// The image document and its view as the features change them: a producer
// of a new picture (capture, paste, open) and a command that draws on it
// (stamping) go through this, never through the main window's class.
//
//   host.SaveUndo();  host.ResetZoom();        // before the picture changes
//   host.Document().SetFullImage(std::move(pic));
//   host.RenderView(1.0);  app.UpdateCommands();
//   if (settings.PopUp) host.PopUp(true);
//   host.Document().SetStatusAction("Full Screen capture");  host.ShowImageStatus();
//
// Outputs take host.OutputPicture() (or the document's OutputShown() for the
// picture as shown), never the full image itself: marks are painted in there.
#pragma once
#include "image/document.h"

namespace griv {

class DocumentHost {
 public:
  virtual ~DocumentHost() = default;
  virtual ImageDocument& Document() = 0;
  // Before every change of the full image: the undo record takes the old one.
  virtual void SaveUndo() = 0;
  virtual void ResetZoom() = 0;
  // Shows the full image at ratio from its top-left corner; says so when it cannot.
  virtual void RenderView(double ratio) = 0;
  // The document's status text (and note) in the status bar.
  virtual void ShowImageStatus() = 0;
  // The window comes up for a new picture; grow: the first capture larger
  // than the view makes a window of the first size large enough for it.
  virtual void PopUp(bool grow) = 0;
  // Draws the shown image again (after drawing into it).
  virtual void RepaintView() = 0;

  // The picture every output takes (marks painted in, no redacted pixel
  // left), and whether it has changes not yet in a file.
  const Picture& OutputPicture() { return Document().OutputPicture(); }
  bool Changed() { return Document().Changed(); }
};

}  // namespace griv
