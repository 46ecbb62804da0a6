#include "crypto/encrypted_files_win.h"

#include "ui/file_dialogs_win.h"

#include <commdlg.h>
#include <shellapi.h>

#include <optional>
#include <vector>

#include "ui/ui_win.h"
#include "image/image_files.h"
#include "base/file_io.h"
#include "base/codepage.h"
#include "base/handles_win.h"
#include "crypto/crypto_commands.h"
#include "crypto/key_rules.h"
#include "ids_app.h"
#include "base/scope_exit.h"
#include "base/utf.h"
#include "crypto/key_dialog_win.h"
#include "crypto/ktx2.h"
#include "crypto/ktx_file.h"
#include "crypto/ktx_names.h"
#include "base/strings.h"
#include "ui/system_path_win.h"

namespace griv {

namespace {

// The key text lives only as long as the command; it is wiped on the way out.
void Wipe(std::string& key) {
  if (!key.empty()) SecureZeroMemory(key.data(), key.size());
}

bool IsImageExt(const std::string& upperExt) { return IsImageFileName("x" + upperExt); }

// DES keys are exactly their bytes in the ANSI code page: a best fit would let
// different keys open the same file.
KtxCiphers Ciphers(EncryptedFilesHost& host) { return {host.Cipher(), kAnsiCodePage, SystemCrypto()}; }
}  // namespace

// ---------------------------------------------------------------- commands

void EncryptedFiles::AddTo(CommandTable& table) {
  table.Add(CryptoCommandRules(), {{CM_SAVEENCRYPTED, CM_SAVEENCRYPTED, [this](int) { mnuSaveEncryptedClick(); }},
                                   {CM_ENCRYPTFILE, CM_ENCRYPTFILE, [this](int) { EncryptaFile1Click(); }},
                                   {CM_OPENENCRYPTED, CM_OPENENCRYPTED, [this](int) { OpenanEncryptedFile1Click(); }}});
}

void EncryptedFiles::mnuSaveEncryptedClick() {
  std::string key = AskForKey(nullptr, true, host_.EncryptFormat());
  ScopeExit wipe([&] { Wipe(key); });
  if (key.empty()) return;
  std::string name;
  int filter = kKtxFilterBitmap;
  if (!AskSaveName(host_.SavePath(), name, filter)) return;
  SaveImageEncrypted(name, filter, key);
}

void EncryptedFiles::EncryptaFile1Click() {
  std::string key = AskForKey(nullptr, true, host_.EncryptFormat());
  ScopeExit wipe([&] { Wipe(key); });
  if (key.empty()) return;
  std::string file;
  if (!AskOpenName(kEncryptFileTitle, kEncryptFileFilter, std::string(), file)) return;
  EncryptFileWithKey(file, key);
}

void EncryptedFiles::OpenanEncryptedFile1Click() {
  std::string file;
  if (AskOpenName(kOpenEncryptedTitle, kOpenEncryptedFilter, host_.OpenPath(), file)) OpenFileByName(file);
}

EncryptedFiles::Outcome EncryptedFiles::SaveImageEncrypted(const std::string& chosenName, int filterIndex,
                                                           const std::string& key) {
  if (key.empty() || chosenName.empty()) return Outcome::Stopped;
  std::optional<WaitCursor> wait(std::in_place);
  const std::string target = EncryptedImageName(chosenName, filterIndex);
  if (FileExists(target) && !ConfirmOverwrite(OverwriteQuestion(target))) return Outcome::Stopped;

  // The plain copy must not outlive the command, whatever happens to it, and
  // must never take the place of a file of the user's in the temporary folder.
  std::string plain;
  ScopeExit remove([&] {
    if (!plain.empty() && FileExists(plain)) DeleteFileUtf8(plain);
  });
  try {
    plain = ReserveScratchFile(TempFolder(), ExtractFileExt(EncryptedImagePlainName(target)));
    host_.WriteImageFileSilent(plain);
    EncryptKtxFile(host_.EncryptFormat(), key, plain, target, Ciphers(host_));
  } catch (const std::exception& e) {
    wait.reset();
    Warn(std::string(kUnableToEncrypt) + "\r\n" + e.what());
    return Outcome::Failed;
  }
  return Outcome::Done;
}

EncryptedFiles::Outcome EncryptedFiles::EncryptFileWithKey(const std::string& file, const std::string& key) {
  if (key.empty() || file.empty()) return Outcome::Stopped;
  std::optional<WaitCursor> wait(std::in_place);
  try {
    EncryptKtxFile(host_.EncryptFormat(), key, file, EncryptedFileName(file), Ciphers(host_));
  } catch (const std::exception& e) {
    wait.reset();
    Warn(std::string(kUnableToEncrypt) + "\r\n" + e.what());
    return Outcome::Failed;
  }
  return Outcome::Done;
}

void EncryptedFiles::OpenFileByName(const std::string& file) {
  std::optional<WaitCursor> wait(std::in_place);
  host_.OpenPath() = ExtractFilePath(file);
  std::string ext = UpperCase(ExtractFileExt(file));
  host_.LastOpenExt() = LowerCase(ext);

  std::string target = file;
  if (IsEncryptedExt(ext)) {
    std::string key = AskForKey(&file, false, KtxFileFormat(file));
    ScopeExit wipe([&] { Wipe(key); });
    if (key.empty()) return;
    target = DecryptedTargetName(IncludeTrailingBackslash(host_.WorkFolder()), file);
    const char* failure = target.empty() ? kUnableToDecrypt : nullptr;
    if (!failure) {
      if (FileExists(target)) DeleteFileUtf8(target);
      try {
        DecryptKtxFile(key, file, target, Ciphers(host_));
      } catch (const EKtxDamaged&) {
        failure = kWrongKeyOrDamaged;  // certain, unlike DES's padding guess
      } catch (const std::exception&) {
        failure = kUnableToDecrypt;
      }
    }
    if (failure) {
      wait.reset();
      Warn(failure);
      return;
    }
    ext = UpperCase(ExtractFileExt(target));
    host_.SetOpenedDecrypted(true);
  } else {
    host_.SetOpenedDecrypted(false);
  }

  if (IsImageExt(ext)) {
    host_.LoadImageFile(target);
  } else {
    ShellOpen(target);
  }
}

// ---------------------------------------------------------------- user interface

std::string EncryptedFiles::AskForKey(const std::string* fileName, bool confirm, KtxFormat format) {
  return TdlgGetKey::AskForKey(host_.Resources(), host_.Window(), fileName, confirm, format);
}

bool EncryptedFiles::AskSaveName(const std::string& initialDir, std::string& name, int& filterIndex) {
  FileDialogOptions o;
  o.initialDir = initialDir;
  o.filter = kSaveEncryptedFilter;
  o.filterIndex = filterIndex;
  o.flags = OFN_HIDEREADONLY | OFN_ENABLESIZING;
  if (!RunSaveDialog(host_.Window(), o)) return false;
  name = o.fileName;
  filterIndex = o.filterIndex;
  return !name.empty();
}

bool EncryptedFiles::AskOpenName(const std::string& title, const std::string& filter, const std::string& initialDir,
                                 std::string& name) {
  FileDialogOptions o;
  o.title = title;
  o.initialDir = initialDir;
  o.filter = filter;
  o.flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_ENABLESIZING;
  if (!RunOpenDialog(host_.Window(), o)) return false;
  name = o.fileName;
  return !name.empty();
}

bool EncryptedFiles::ConfirmOverwrite(const std::string& question) {
  return ShowMessage(host_.Window(), question, host_.DialogCaption(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void EncryptedFiles::Warn(const std::string& text) {
  ShowMessage(host_.Window(), text, host_.DialogCaption(), MB_OK | MB_ICONWARNING);
}

void EncryptedFiles::ShellOpen(const std::string& file) {
  OpenWithShell(file);
}

}  // namespace griv
