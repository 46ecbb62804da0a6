#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "win_test_util.h"
#include "base/utf.h"
#include "crypto/encrypted_files_win.h"
#include "crypto/key_dialog_win.h"
#include "ids_crypto.h"
#include "base/strings.h"
#include "ui/system_path_win.h"

using namespace griv;
using griv::test::ProgramResources;

namespace {

// ---------------------------------------------------------------- key dialog


std::string Ask(HMODULE res, const std::string* file, std::function<void(HWND)> act, bool confirm = false) {
  griv::test::WhenDialogShows("GRIV - Enter Encryption Key", std::move(act));
  return TdlgGetKey::AskForKey(res, nullptr, file, confirm);
}

std::string Text(HWND w) {
  wchar_t buf[512] = {};
  GetWindowTextW(w, buf, 512);
  return Narrow(buf);
}

struct KeyDialogTest : griv::test::DialogLayoutTest<IDD_GETKEY> {
};

}  // namespace

TEST_F(KeyDialogTest, OkFollowsTheKeyLengthAndReturnsTheKeyAsTyped) {
  std::string key = Ask(res, nullptr, [](HWND dlg) {
    HWND edit = GetDlgItem(dlg, IDC_GETKEY_KEY), ok = GetDlgItem(dlg, IDOK);
    EXPECT_FALSE(GetWindowLongW(dlg, GWL_STYLE) & WS_SYSMENU);  // no caption buttons
    RECT rc;
    GetClientRect(dlg, &rc);
    const int dpi = GetDeviceCaps(GetDC(nullptr), LOGPIXELSX);
    EXPECT_EQ(rc.right, MulDiv(377, dpi, 96));
    EXPECT_EQ(rc.bottom, MulDiv(100, dpi, 96));
    EXPECT_EQ(Text(GetDlgItem(dlg, IDC_GETKEY_LABEL1)), kKeyDialogAdvice);
    EXPECT_EQ(Text(GetDlgItem(dlg, IDC_GETKEY_LABEL2)), "Key:");
    EXPECT_FALSE(IsWindowEnabled(ok));

    SetWindowTextW(edit, L"1234567");
    EXPECT_FALSE(IsWindowEnabled(ok));
    SetWindowTextW(edit, L"12345678");
    EXPECT_TRUE(IsWindowEnabled(ok));
    SetWindowTextW(edit, L"1234567");
    EXPECT_FALSE(IsWindowEnabled(ok));
    // Enter with a short key does not close the dialog.
    SendMessageW(dlg, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(IsWindowVisible(dlg));
    // Long keys are not cut.
    std::wstring longKey(300, L'k');
    SetWindowTextW(edit, (longKey + L"Grüße").c_str());
    EXPECT_EQ(GetWindowTextLengthW(edit), 305);
    PostMessageW(ok, BM_CLICK, 0, 0);
  });
  EXPECT_EQ(key, std::string(300, 'k') + "Grüße");
}

TEST_F(KeyDialogTest, OpeningFormNamesTheFileAndCancelGivesNoKey) {
  std::string file = "C:\\pics\\shot.bmp.ktx";
  std::string key = Ask(res, &file, [](HWND dlg) {
    EXPECT_EQ(Text(GetDlgItem(dlg, IDC_GETKEY_LABEL1)), "\r\nFile: shot.bmp.ktx");
    SetWindowTextW(GetDlgItem(dlg, IDC_GETKEY_KEY), L"a long enough key");
    PostMessageW(GetDlgItem(dlg, IDCANCEL), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(key, "");
}

TEST_F(KeyDialogTest, AKeyForEncryptingIsTypedTwiceAndOnlyExactCharactersAreTaken) {
  std::string key = Ask(
      res, nullptr,
      [](HWND dlg) {
        HWND edit = GetDlgItem(dlg, IDC_GETKEY_KEY), again = GetDlgItem(dlg, IDC_GETKEY_KEY2), ok = GetDlgItem(dlg, IDOK);
        EXPECT_TRUE(IsWindowVisible(again));
        SetWindowTextW(edit, L"a long enough key");
        EXPECT_FALSE(IsWindowEnabled(ok));  // not yet typed twice
        SetWindowTextW(again, L"a long enough kex");
        EXPECT_FALSE(IsWindowEnabled(ok));
        EXPECT_EQ(Text(GetDlgItem(dlg, IDC_GETKEY_LABEL1)), "The two keys differ.");
        // Cyrillic has no exact bytes in the ANSI code page here: it would collapse to "????????".
        SetWindowTextW(edit, L"\x043A\x043B\x044E\x0447\x043A\x043B\x044E\x0447");
        SetWindowTextW(again, L"\x043A\x043B\x044E\x0447\x043A\x043B\x044E\x0447");
        EXPECT_FALSE(IsWindowEnabled(ok));
        SendMessageW(dlg, WM_COMMAND, IDOK, 0);  // Enter on a greyed OK takes nothing
        EXPECT_TRUE(IsWindow(dlg));
        SetWindowTextW(edit, L"a long enough key");
        SetWindowTextW(again, L"a long enough key");
        EXPECT_TRUE(IsWindowEnabled(ok));
        PostMessageW(ok, BM_CLICK, 0, 0);
      },
      true);
  EXPECT_EQ(key, "a long enough key");
}

// ---------------------------------------------------------------- commands

namespace {

struct FakeHost : EncryptedFilesHost {
  TDES des;
  KtxFormat format = KtxFormat::Des;  // what the tests below were written for
  std::string caption = "Grivanta   ", savePath, openPath, lastOpenExt = ".bmp", work;
  std::string image = std::string("BM") + std::string(61, '\x5a');  // what the image writer writes
  bool failWrite = false;
  std::vector<std::string> written, loaded, loadedContent;
  std::optional<bool> openedDecrypted;

  HWND Window() override { return nullptr; }
  HINSTANCE Resources() override { return nullptr; }
  const std::string& DialogCaption() override { return caption; }
  TDES& Cipher() override { return des; }
  KtxFormat EncryptFormat() override { return format; }
  std::string& SavePath() override { return savePath; }
  std::string& OpenPath() override { return openPath; }
  std::string& LastOpenExt() override { return lastOpenExt; }
  std::string WorkFolder() override { return work; }
  void WriteImageFileSilent(const std::string& name) override {
    written.push_back(name);
    if (failWrite) throw EFileIO("Disk full");
    WriteFileAtomic(name, image.data(), image.size());
  }
  void LoadImageFile(const std::string& name) override {
    loaded.push_back(name);
    auto bytes = ReadWholeFile(name);
    loadedContent.emplace_back(bytes.begin(), bytes.end());
  }
  void SetOpenedDecrypted(bool on) override { openedDecrypted = on; }
};

struct Commands : EncryptedFiles {
  using EncryptedFiles::EncryptedFiles;
  std::string key = "Correct horse";
  bool overwrite = false;
  std::vector<std::string> keyAskedFor, questions, warnings, shellOpened;

  std::string AskForKey(const std::string* f, bool, KtxFormat) override {
    keyAskedFor.push_back(f ? *f : "");
    return key;
  }
  bool ConfirmOverwrite(const std::string& q) override {
    questions.push_back(q);
    return overwrite;
  }
  void Warn(const std::string& t) override { warnings.push_back(t); }
  void ShellOpen(const std::string& f) override { shellOpened.push_back(f); }
};

std::string Content(const std::string& name) {
  auto b = ReadWholeFile(name);
  return std::string(b.begin(), b.end());
}
void Put(const std::string& name, const std::string& content) { WriteFileAtomic(name, content.data(), content.size()); }

struct EncryptedFilesTest : ::testing::Test {
  std::string root, files, temp;
  FakeHost host;
  Commands cmd{host};
  void SetUp() override {
    temp = TempFolder();
    root = temp + "griv-ktx-test-" + std::to_string(GetCurrentProcessId()) + "\\";
    std::filesystem::remove_all(Widen(root));
    files = root + "files\\";
    host.work = root + "ework\\";
    std::filesystem::create_directories(Widen(files));
    std::filesystem::create_directories(Widen(host.work));
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(Widen(root), ec);
  }
  bool WorkIsEmpty() const { return std::filesystem::is_empty(Widen(host.work)); }
};

}  // namespace

TEST_F(EncryptedFilesTest, SavedImageDecryptsIntoTheWorkFolderAndLoads) {
  ASSERT_EQ(cmd.SaveImageEncrypted(files + "shot", 1, cmd.key), EncryptedFiles::Outcome::Done);
  const std::string ktx = files + "shot.bmp.ktx";
  ASSERT_TRUE(FileExists(ktx));
  // The plain copy went through a scratch file of its own in the temporary folder and is gone.
  ASSERT_EQ(host.written.size(), 1u);
  const std::string scratch = host.written[0];
  EXPECT_EQ(ExtractFilePath(scratch), temp);
  EXPECT_EQ(UpperCase(ExtractFileExt(scratch)), ".BMP");
  EXPECT_NE(scratch, temp + "shot.bmp");
  EXPECT_FALSE(FileExists(scratch));
  const int64_t size = FileSize(ktx), plain = static_cast<int64_t>(host.image.size());
  EXPECT_EQ(size % 8, 0);
  EXPECT_TRUE(size > plain && size <= plain + 8);
  EXPECT_TRUE(host.des.KeyStateIsClear());

  cmd.OpenFileByName(ktx);
  EXPECT_EQ(cmd.keyAskedFor, std::vector<std::string>{ktx});
  ASSERT_EQ(host.loaded, std::vector<std::string>{host.work + "shot.bmp"});
  EXPECT_EQ(host.loadedContent[0], host.image);
  EXPECT_EQ(host.openedDecrypted, true);
  EXPECT_EQ(host.openPath, files);
  EXPECT_EQ(host.lastOpenExt, ".ktx");
  EXPECT_TRUE(cmd.warnings.empty());
  EXPECT_TRUE(host.des.KeyStateIsClear());

  // A typed image name is kept; its plain copy is a JPEG name.
  host.written.clear();
  ASSERT_EQ(cmd.SaveImageEncrypted(files + "shot.jpeg.ktx", 1, cmd.key), EncryptedFiles::Outcome::Done);
  ASSERT_EQ(host.written.size(), 1u);
  EXPECT_EQ(UpperCase(ExtractFileExt(host.written[0])), ".JPEG");
  EXPECT_TRUE(FileExists(files + "shot.jpeg.ktx"));
  EXPECT_FALSE(FileExists(files + "shot.jpeg.ktx.bmp.ktx"));
}

TEST_F(EncryptedFilesTest, WrongKeyOrDamagedFileGivesTheMessageAndNoPlainCopy) {
  ASSERT_EQ(cmd.SaveImageEncrypted(files + "shot", 1, cmd.key), EncryptedFiles::Outcome::Done);
  cmd.key = "Wrong horse";
  cmd.OpenFileByName(files + "shot.bmp.ktx");
  EXPECT_EQ(cmd.warnings, std::vector<std::string>{kUnableToDecrypt});
  EXPECT_TRUE(host.loaded.empty());
  EXPECT_TRUE(WorkIsEmpty());
  EXPECT_TRUE(host.des.KeyStateIsClear());

  // Not whole blocks.
  Put(files + "cut.bmp.ktx", "0123456789");
  cmd.OpenFileByName(files + "cut.bmp.ktx");
  EXPECT_EQ(cmd.warnings.size(), 2u);
  // A name that leaves no plain name, and a missing file.
  cmd.OpenFileByName(files + "..KTX");
  cmd.OpenFileByName(files + "gone.JPGX");
  EXPECT_EQ(cmd.warnings, std::vector<std::string>(4, kUnableToDecrypt));
  EXPECT_TRUE(host.loaded.empty());
  EXPECT_TRUE(WorkIsEmpty());

  // No key: nothing happens, no message.
  cmd.key.clear();
  cmd.OpenFileByName(files + "shot.bmp.ktx");
  EXPECT_EQ(cmd.warnings.size(), 4u);
  EXPECT_TRUE(host.loaded.empty());
}

TEST_F(EncryptedFilesTest, FailedSavesLeaveNeitherPlainCopyNorPartialTarget) {
  host.failWrite = true;
  EXPECT_EQ(cmd.SaveImageEncrypted(files + "a", 2, cmd.key), EncryptedFiles::Outcome::Failed);
  ASSERT_EQ(cmd.warnings.size(), 1u);
  EXPECT_EQ(cmd.warnings[0], std::string(kUnableToEncrypt) + "\r\nDisk full");
  EXPECT_FALSE(FileExists(files + "a.jpg.ktx"));

  // Target folder missing: the cipher fails after the plain copy exists.
  host.failWrite = false;
  host.written.clear();
  EXPECT_EQ(cmd.SaveImageEncrypted(files + "nodir\\b", 1, cmd.key), EncryptedFiles::Outcome::Failed);
  ASSERT_EQ(host.written.size(), 1u);
  EXPECT_FALSE(FileExists(host.written[0]));
  EXPECT_EQ(cmd.warnings.size(), 2u);
  EXPECT_EQ(cmd.warnings[1].rfind(kUnableToEncrypt, 0), 0u);
  EXPECT_TRUE(host.des.KeyStateIsClear());

  // An existing target is kept unless the user says Yes.
  Put(files + "c.bmp.ktx", "old");
  host.written.clear();
  EXPECT_EQ(cmd.SaveImageEncrypted(files + "c.bmp.ktx", 2, cmd.key), EncryptedFiles::Outcome::Stopped);
  EXPECT_EQ(cmd.questions, std::vector<std::string>{"File " + files + "c.bmp.ktx exists.\r Overwrite ?"});
  EXPECT_EQ(Content(files + "c.bmp.ktx"), "old");
  EXPECT_TRUE(host.written.empty());
  cmd.overwrite = true;
  EXPECT_EQ(cmd.SaveImageEncrypted(files + "c.bmp.ktx", 2, cmd.key), EncryptedFiles::Outcome::Done);
  EXPECT_EQ(FileSize(files + "c.bmp.ktx"), 64);
}

TEST_F(EncryptedFilesTest, EncryptedOtherFilesGoToTheShellAndOpeningRoutesByExtension) {
  Put(files + "report.txt", "quarterly figures");
  Put(files + "report.txt.KTX", "stale");
  ASSERT_EQ(cmd.EncryptFileWithKey(files + "report.txt", cmd.key), EncryptedFiles::Outcome::Done);
  EXPECT_TRUE(cmd.questions.empty());  // replaced without asking
  EXPECT_EQ(FileSize(files + "report.txt.KTX"), 24);
  EXPECT_TRUE(FileExists(files + "report.txt"));

  cmd.OpenFileByName(files + "report.txt.KTX");
  ASSERT_EQ(cmd.shellOpened, std::vector<std::string>{host.work + "report.txt"});
  EXPECT_EQ(Content(host.work + "report.txt"), "quarterly figures");  // stays for the program
  EXPECT_EQ(host.openedDecrypted, true);
  EXPECT_TRUE(host.loaded.empty());

  // .BMPX decrypts to the name without its last character.
  Put(files + "x.BMP", "BMxx");
  ASSERT_EQ(cmd.EncryptFileWithKey(files + "x.BMP", cmd.key), EncryptedFiles::Outcome::Done);
  MoveFileW(Widen(files + "x.BMP.KTX").c_str(), Widen(files + "x.BMPX").c_str());
  cmd.OpenFileByName(files + "x.BMPX");
  EXPECT_EQ(host.loaded, std::vector<std::string>{host.work + "x.BMP"});
  EXPECT_EQ(host.lastOpenExt, ".bmpx");

  // Plain files: no key, no decryption, images load and the rest go to the shell.
  cmd.keyAskedFor.clear();
  Put(files + "photo.JPG", "JFIF");
  cmd.OpenFileByName(files + "photo.JPG");
  EXPECT_EQ(host.loaded.back(), files + "photo.JPG");
  EXPECT_EQ(host.openedDecrypted, false);
  EXPECT_EQ(host.lastOpenExt, ".jpg");
  cmd.OpenFileByName("C:\\docs\\README");
  EXPECT_EQ(cmd.shellOpened.back(), "C:\\docs\\README");
  EXPECT_EQ(host.openPath, "C:\\docs\\");
  EXPECT_EQ(host.lastOpenExt, "");
  EXPECT_TRUE(cmd.keyAskedFor.empty());
}
