#include "app/features_win.h"

#include "ids_app.h"

namespace griv {

Features::Features(AppWindow& app, ViewCommands& view, Settings& settings, const Branding& brand,
                   const ProgramFolders& folders, CaptureHotKeys& hotKeys, TfrmHKSet& hotKeyEditor,
                   CommandTable& table)
    : files(app, view, settings, folders.data),
      cryptoHost(app, settings, files, folders.work),
      encryptedFiles(cryptoHost),
      print(app, view, settings, brand.printCaption),
      mail(app, view.Document(), settings, files, folders.work),
      stamp(app, view, settings),
      markup(app, view, view),
      capture(app, view, settings,
              CaptureSteps{[this] { stamp.Cancel(); }, [this] { files.ForgetFileName(); }, [this] { clipboard.Copy(); },
                           // Without a printer Print is disabled, and Auto Print quietly does nothing.
                           [this, &table] {
                             print.RecheckPrinter();
                             if (table.Enabled(CM_PRINT, kMainMenu, table.State())) print.Print();
                           },
                           [this] { files.AutoSaveImage(); }, [this] { help.SendToEditor(); }}),
      clipboard(app, view, settings, capture, print),
      options(app, settings, hotKeys, hotKeyEditor),
      help(app, view.Document(), settings, brand, folders.exe) {
  files.OpenFileByName = [this](const std::string& file) { encryptedFiles.OpenFileByName(file); };
  options.OnApplied = [this] { help.CheckEditor(); };
  hotKeys.OnHotKey = [this](int index) { capture.OnHotKey(index); };
  // An armed stamp takes the click before a markup tool.
  view.OnPictureMouseDown = [this](int button, int x, int y) {
    return stamp.MouseDown(button, x, y) || markup.MouseDown(button, x, y);
  };
  view.OnPictureMouseUp = [this] { stamp.Cancel(); };
  view.OnUndo = [this] { return markup.Undo(); };
  markup.OnToolPicked = [this] { stamp.Cancel(); };

  view.AddTo(table);
  files.AddTo(table);
  encryptedFiles.AddTo(table);
  print.AddTo(table);
  mail.AddTo(table);
  stamp.AddTo(table);
  markup.AddTo(table);  // after the view's: its undo state adds to the view's
  capture.AddTo(table);
  clipboard.AddTo(table);
  options.AddTo(table);
  help.AddTo(table);
}

}  // namespace griv
