// The encrypted-file commands of the main window ("Save Image Encrypted",
// "Encrypt a File with GRIV", "Open a GRIV Encrypted File") and
// OpenFileByName, the one routine that opens any file by name, decrypting
// .KTX/.BMPX/.JPGX/.JPEGX files into the work folder first.
//
// Each command is split in two: the menu handler asks for the key and the
// file names, then calls the part that does the work with those choices
// (SaveImageEncrypted, EncryptFileWithKey). The dialogs, questions, warnings
// and the shell hand-off are virtual so they can be replaced.
#pragma once
#include <windows.h>
// winbase.h maps these two names to its own file-encryption calls; the
// cipher's methods carry the same names.
#undef EncryptFile
#undef DecryptFile

#include <string>

#include "crypto/des.h"
#include "image/image_file_commands_win.h"
#include "options/settings.h"
#include "ui/app_window_win.h"
#include "ui/commands.h"
#include "crypto/ktx_names.h"

namespace griv {

inline constexpr char kUnableToDecrypt[] = "Unable to Decrypt the File";
inline constexpr char kUnableToEncrypt[] = "Unable to Encrypt the File";
inline constexpr char kSaveEncryptedFilter[] =
    "Bitmap - Encrypted |*.bmp.ktx|jpg,jpeg - Encrypted |*.jp*g.ktx|PNG - Encrypted |*.png.ktx";
inline constexpr char kEncryptFileTitle[] = "Select File to Encrypt";
inline constexpr char kEncryptFileFilter[] = "All Files (*.*)|*.*";
inline constexpr char kOpenEncryptedTitle[] = "Select GRIV Encrypted file to open";
inline constexpr char kOpenEncryptedFilter[] = "GRIV Encrypted Files (*.KTX)|*.ktx";

// What the commands need from the main window.
class EncryptedFilesHost {
 public:
  virtual ~EncryptedFilesHost() = default;
  virtual HWND Window() = 0;             // owner of the dialogs
  virtual HINSTANCE Resources() = 0;     // module holding the key dialog
  virtual const std::string& DialogCaption() = 0;
  virtual TDES& Cipher() = 0;            // DES1, for DES files
  virtual KtxFormat EncryptFormat() = 0;  // of the files the commands write
  // Settings, changed in place: SavePath, OpenPath, LastOpenExt.
  virtual std::string& SavePath() = 0;
  virtual std::string& OpenPath() = 0;
  virtual std::string& LastOpenExt() = 0;
  virtual std::string WorkFolder() = 0;  // ends with a backslash
  // The full image to `name`, BMP for ".BMP" else JPEG, without touching the
  // current file name, SavePath or the status. Throws on failure.
  virtual void WriteImageFileSilent(const std::string& name) = 0;
  // Loads a .BMP/.JPG/.JPEG file as the current image, greys off.
  virtual void LoadImageFile(const std::string& name) = 0;
  virtual void SetOpenedDecrypted(bool on) = 0;
};

class EncryptedFiles {
 public:
  explicit EncryptedFiles(EncryptedFilesHost& host) : host_(host) {}
  virtual ~EncryptedFiles() = default;

  void AddTo(CommandTable& table);

  // Menu commands.
  void mnuSaveEncryptedClick();
  void EncryptaFile1Click();
  void OpenanEncryptedFile1Click();
  // Opens F: decrypts encrypted kinds into the work folder (asking for the
  // key), loads images, hands anything else to the shell's "Open".
  void OpenFileByName(const std::string& file);

  enum class Outcome { Done, Stopped, Failed };
  // "Save Image Encrypted" once key and name are chosen: writes the image to
  // a plain copy in the temporary folder, encrypts it to the target and
  // deletes the plain copy in every case. Failures are reported to the user.
  Outcome SaveImageEncrypted(const std::string& chosenName, int filterIndex, const std::string& key);
  // "Encrypt a File" once key and file are chosen: file -> file + ".KTX".
  Outcome EncryptFileWithKey(const std::string& file, const std::string& key);

 protected:
  // Key as UTF-8, empty when cancelled; fileName for the opening form;
  // confirm when the key is chosen for encrypting (typed twice); format
  // decides which keys can be taken.
  virtual std::string AskForKey(const std::string* fileName, bool confirm, KtxFormat format);
  virtual bool AskSaveName(const std::string& initialDir, std::string& name, int& filterIndex);
  virtual bool AskOpenName(const std::string& title, const std::string& filter, const std::string& initialDir,
                           std::string& name);
  virtual bool ConfirmOverwrite(const std::string& question);
  virtual void Warn(const std::string& text);
  virtual void ShellOpen(const std::string& file);

  EncryptedFilesHost& host_;
};

// The host in the program: the main window, its settings and image files.
class ProgramEncryptedFilesHost : public EncryptedFilesHost {
 public:
  ProgramEncryptedFilesHost(AppWindow& app, Settings& settings, ImageFileCommands& files, std::string workFolder)
      : app_(app), settings_(settings), files_(files), workFolder_(std::move(workFolder)) {
    des_.SetCipherMode(TCipherMode::CBC);
  }
  HWND Window() override { return app_.Window(); }
  HINSTANCE Resources() override { return app_.Resources(); }
  const std::string& DialogCaption() override { return app_.DialogCaption(); }
  TDES& Cipher() override { return des_; }
  KtxFormat EncryptFormat() override { return settings_.EncryptFormat; }
  std::string& SavePath() override { return settings_.SavePath; }
  std::string& OpenPath() override { return settings_.OpenPath; }
  std::string& LastOpenExt() override { return settings_.LastOpenExt; }
  std::string WorkFolder() override { return workFolder_; }
  void WriteImageFileSilent(const std::string& name) override { files_.WriteImageFile(name, true, false); }
  void LoadImageFile(const std::string& name) override { files_.LoadImageFile(name, false); }
  void SetOpenedDecrypted(bool on) override { files_.SetOpenedDecrypted(on); }

 private:
  AppWindow& app_;
  Settings& settings_;
  ImageFileCommands& files_;
  std::string workFolder_;
  TDES des_;
};

}  // namespace griv
