// The send-mail window, driven from inside its own modal loop, against the
// tests' recording mail client (WINEDLLOVERRIDES has mapi32=n,b under scripts/test).
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/utf.h"
#include "crypto/key_dialog_win.h"
#include "ids_crypto.h"
#include "ids_mail.h"
#include "mail/email_send_win.h"
#include "mail_test_util.h"
#include "base/strings.h"
#include "ui/system_path_win.h"
#include "ui/ui_win.h"
#include "win_test_util.h"

using namespace griv;
using griv::test::AnsiOnlyClient;
using griv::test::ReadCallLog;
using griv::test::WithVerb;

namespace {

const char kCaption[] = "Mail Test   ";

// Steps run one after the other on a timer, inside whatever modal loop is
// running; a step returns false to be tried again on the next tick. Actions
// that open a modal window are posted, so no step ever blocks.
std::vector<std::function<bool()>> g_steps;
size_t g_next = 0;
DWORD g_deadline = 0;
// Once the steps have run, a message box that still comes is noted and closed.
std::string g_stray;

HWND Shown(const char* title) {
  HWND w = FindWindowW(L"#32770", Widen(title).c_str());
  return w && IsWindowVisible(w) && IsWindowEnabled(w) ? w : nullptr;
}

std::string ItemText(HWND w, int id) {
  wchar_t buf[1024] = {};
  GetDlgItemTextW(w, id, buf, 1024);
  return Narrow(buf);
}

void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD) {
  static bool running = false;
  if (running) return;
  if (static_cast<LONG>(GetTickCount() - g_deadline) > 0) {
    // A step that never comes true must not leave the test waiting for ever.
    for (const char* title : {kCaption, kKeyDialogCaption, kEmailSendCaption})
      if (HWND w = FindWindowW(L"#32770", Widen(title).c_str())) PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
    return;
  }
  if (g_next >= g_steps.size()) {
    if (HWND box = Shown(kCaption)) {
      g_stray = ItemText(box, 0xFFFF);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return;
  }
  running = true;
  if (g_steps[g_next]()) ++g_next;
  running = false;
}
bool Enabled(HWND dlg, int id) { return IsWindowEnabled(GetDlgItem(dlg, id)) != FALSE; }
void Type(HWND dlg, int id, const char* text) { SetDlgItemTextW(dlg, id, Widen(text).c_str()); }
void Click(HWND dlg, int id) { PostMessageW(GetDlgItem(dlg, id), BM_CLICK, 0, 0); }
std::vector<std::string> Entries(HWND dlg) {
  std::vector<std::string> out;
  HWND list = GetDlgItem(dlg, IDC_EMAIL_ATTACH);
  for (LRESULT i = 0, n = SendMessageW(list, CB_GETCOUNT, 0, 0); i < n; ++i) {
    wchar_t buf[1024] = {};
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buf));
    out.push_back(Narrow(buf));
  }
  return out;
}

// A message box of the window: its text, then the button (OK).
std::function<bool()> Answer(std::string& text, int button = IDOK, std::function<void()> before = {}) {
  return [&text, button, before] {
    HWND box = Shown(kCaption);
    if (!box) return false;
    text = ItemText(box, 0xFFFF);
    if (before) before();
    PostMessageW(box, WM_COMMAND, button, 0);
    return true;
  };
}
std::function<bool()> EnterKey(const char* key) {
  return [key] {
    HWND dlg = Shown(kKeyDialogCaption);
    if (!dlg) return false;
    Type(dlg, IDC_GETKEY_KEY, key);
    Type(dlg, IDC_GETKEY_KEY2, key);  // a key that encrypts is typed twice
    PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    return true;
  };
}
// The send-mail window once it is usable; act runs on it.
std::function<bool()> OnWindow(std::function<void(HWND)> act) {
  return [act] {
    HWND dlg = Shown(kEmailSendCaption);
    if (!dlg) return false;
    act(dlg);
    return true;
  };
}

class SendWindow : public griv::test::DialogLayoutTest<IDD_EMAILSEND> {
 protected:
  void SetUp() override {
    DialogLayoutTest::SetUp();
    if (IsSkipped()) return;
    LoadMapi();
    ASSERT_NE(GetProcAddress(MapiLibrary::Process().Module(), "GrivTestMailClient"), nullptr)
        << "the system's mapi32 was loaded: run with WINEDLLOVERRIDES=mapi32=n,b";
    dir_ = IncludeTrailingBackslash(TempFolder()) + "griv-send-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryW(Widen(dir_).c_str(), nullptr);
    CreateDirectoryW(Widen(dir_ + "work").c_str(), nullptr);
    log_ = dir_ + "mapi.log";
    SetEnvironmentVariableA("GRIV_TEST_MAPI_LOG", ToAnsi(log_).c_str());
  }
  void TearDown() override {
    for (const char* n : {"GRIV_TEST_MAPI_LOG", "GRIV_TEST_MAPI_SEND_RESULT", "GRIV_TEST_MAPI_LOGON",
                          "GRIV_TEST_MAPI_ADDRESS_ADD"})
      SetEnvironmentVariableA(n, nullptr);
    DialogLayoutTest::TearDown();
    if (dir_.empty()) return;
    SHFILEOPSTRUCTW op{};
    std::wstring from = Widen(dir_.substr(0, dir_.size() - 1)) + L'\0';
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
  }
  std::string Put(const std::string& name, size_t bytes) {
    const std::string content(bytes, 'x');
    WriteFileAtomic(dir_ + name, content.data(), content.size());
    return dir_ + name;
  }
  // Runs the steps while the window (made by make, so a logon message is met
  // too) is up; every step must have run by the time it closed.
  INT_PTR Run(std::vector<std::function<bool()>> steps, const std::function<void(TEmailSend&)>& prepare = {},
              HWND owner = nullptr, MapiLibrary* client = nullptr) {
    g_steps = std::move(steps);
    g_next = 0;
    g_stray.clear();
    g_deadline = GetTickCount() + 10000;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &RunStep);
    INT_PTR result = -1;
    {
      TEmailSend w(res, kCaption, dir_ + "work", client);
      if (prepare) prepare(w);
      w.ShowEncryptImages();
      result = w.ShowModal(owner, 40, 40);
    }
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_next, g_steps.size()) << "steps not reached";
    return result;
  }
  std::vector<griv::test::CallRecord> Sent() const { return WithVerb(ReadCallLog(log_), "MAPISendMail"); }
  bool WorkFolderEmpty() const {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(Widen(dir_ + "work\\*").c_str(), &fd);
    bool empty = true;
    if (h != INVALID_HANDLE_VALUE) {
      do {
        if (wcscmp(fd.cFileName, L".") && wcscmp(fd.cFileName, L"..")) empty = false;
      } while (FindNextFileW(h, &fd));
      FindClose(h);
    }
    return empty;
  }

  std::string dir_, log_;
};

TEST_F(SendWindow, ControlsFollowTheirRulesAndCancelSendsNothing) {
  const std::string small = Put("shot.bmp", 1536);
  const std::string missing = dir_ + "gone.jpg";
  const INT_PTR r = Run(
      {OnWindow([&](HWND dlg) {
         RECT rc;
         GetClientRect(dlg, &rc);
         const int dpi = DpiOf(dlg);
         EXPECT_EQ(rc.right, MulDiv(517, dpi, 96));
         EXPECT_EQ(rc.bottom, MulDiv(321, dpi, 96));
         EXPECT_EQ(Entries(dlg), (std::vector<std::string>{small + "\xC2\xA0   (1.5 kb)",
                                                            missing + "\xC2\xA0   (0.0 kb)"}));
         EXPECT_EQ(SendMessageW(GetDlgItem(dlg, IDC_EMAIL_ATTACH), CB_GETCURSEL, 0, 0), 1);
         EXPECT_EQ(ItemText(dlg, IDC_EMAIL_BODY), "\r\n");
         EXPECT_TRUE(IsWindowVisible(GetDlgItem(dlg, IDC_EMAIL_ENCIMAGE)));
         EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, IDC_EMAIL_ENCTXT)));
         EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, IDC_EMAIL_PANEL)));
         // Send follows To alone.
         EXPECT_FALSE(Enabled(dlg, IDOK));
         Type(dlg, IDC_EMAIL_CC, "Bob");
         Type(dlg, IDC_EMAIL_BCC, "Carl");
         EXPECT_FALSE(Enabled(dlg, IDOK));
         Type(dlg, IDC_EMAIL_TO, "Ann");
         EXPECT_TRUE(Enabled(dlg, IDOK));
         Type(dlg, IDC_EMAIL_TO, "");
         EXPECT_FALSE(Enabled(dlg, IDOK));
         // Enter with Send greyed sends nothing.
         SendMessageW(dlg, WM_COMMAND, IDOK, 0);
         // "Encrypt All" takes "Encrypt Images" out of play, and gives it back.
         SendMessageW(GetDlgItem(dlg, IDC_EMAIL_ENCALL), BM_CLICK, 0, 0);
         EXPECT_FALSE(Enabled(dlg, IDC_EMAIL_ENCIMAGE));
         SendMessageW(GetDlgItem(dlg, IDC_EMAIL_ENCALL), BM_CLICK, 0, 0);
         EXPECT_TRUE(Enabled(dlg, IDC_EMAIL_ENCIMAGE));
         // Remove takes the selected entry, then selects the first; the last one greys it.
         EXPECT_TRUE(Enabled(dlg, IDC_EMAIL_REMOVE));
         SendMessageW(GetDlgItem(dlg, IDC_EMAIL_REMOVE), BM_CLICK, 0, 0);
         EXPECT_EQ(Entries(dlg).size(), 1u);
         EXPECT_EQ(SendMessageW(GetDlgItem(dlg, IDC_EMAIL_ATTACH), CB_GETCURSEL, 0, 0), 0);
         SendMessageW(GetDlgItem(dlg, IDC_EMAIL_REMOVE), BM_CLICK, 0, 0);
         EXPECT_TRUE(Entries(dlg).empty());
         EXPECT_FALSE(Enabled(dlg, IDC_EMAIL_REMOVE));
         Click(dlg, IDCANCEL);
       })},
      [&](TEmailSend& w) {
        w.AddAttachment(small);
        w.AddAttachment(missing);
      });
  EXPECT_EQ(r, IDCANCEL);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(SendWindow, WithoutAttachmentsRemoveIsGreyedFromTheStart) {
  Run({OnWindow([&](HWND dlg) {
    EXPECT_TRUE(Entries(dlg).empty());
    EXPECT_FALSE(Enabled(dlg, IDC_EMAIL_REMOVE));
    PostMessageW(dlg, WM_CLOSE, 0, 0);
  })});
}

TEST_F(SendWindow, AFailedEncryptionSaysWhyAndLeavesTheWindowReadyToSendAgain) {
  const std::string notes = Put("notes.txt", 10);
  const std::string gone = dir_ + "gone.bmp";
  std::string said, saidAfter;
  bool sendAgain = false, cancelAgain = false;
  const INT_PTR r = Run(
      {OnWindow([&](HWND dlg) {
         Type(dlg, IDC_EMAIL_TO, "Ann");
         SendMessageW(GetDlgItem(dlg, IDC_EMAIL_ENCALL), BM_CLICK, 0, 0);
         Click(dlg, IDOK);
       }),
       EnterKey("a good long key"), Answer(said),
       OnWindow([&](HWND dlg) {
         sendAgain = Enabled(dlg, IDOK);
         cancelAgain = Enabled(dlg, IDCANCEL);
         EXPECT_TRUE(WorkFolderEmpty());  // notes.txt.ktx was written before gone.bmp failed
         // Without the missing file it goes out.
         SendMessageW(GetDlgItem(dlg, IDC_EMAIL_ATTACH), CB_SETCURSEL, 1, 0);
         SendMessageW(GetDlgItem(dlg, IDC_EMAIL_REMOVE), BM_CLICK, 0, 0);
         Click(dlg, IDOK);
       }),
       EnterKey("a good long key")},
      [&](TEmailSend& w) {
        w.AddAttachment(notes);
        w.AddAttachment(gone);
      });
  EXPECT_EQ(said.rfind("Unable to Encrypt the File\r\n", 0), 0u) << said;
  EXPECT_GT(said.size(), strlen("Unable to Encrypt the File\r\n"));  // with the reason
  EXPECT_TRUE(sendAgain);
  EXPECT_TRUE(cancelAgain);
  EXPECT_EQ(r, IDOK);
  auto files = WithVerb(ReadCallLog(log_), "file");
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0]["name"], "notes.txt.ktx");
  EXPECT_EQ(Sent().size(), 1u);
}

TEST_F(SendWindow, WhileTheClientWorksTheWindowShowsItAndCannotBeCancelled) {
  // The mail client's call cannot be interrupted: nothing of the window may
  // be used meanwhile, and a close that arrives anyway is not taken as Cancel.
  // Whatever did not go out stays in the window as typed.
  SetEnvironmentVariableA("GRIV_TEST_MAPI_SEND_RESULT", "2");
  std::string unresolved, said, status, to;
  bool windowEnabled = true, cancelEnabled = true, stripShown = false, sendAgain = false;
  const INT_PTR r = Run({OnWindow([&](HWND dlg) {
                           Type(dlg, IDC_EMAIL_TO, "Ann; unknown Uma");
                           Type(dlg, IDC_EMAIL_BCC, "failing Fay");
                           Click(dlg, IDOK);
                         }),
                         Answer(unresolved), OnWindow([&](HWND dlg) {
                           Type(dlg, IDC_EMAIL_TO, "Ann; Bob ;; Carl");
                           Type(dlg, IDC_EMAIL_BCC, "");
                           Type(dlg, IDC_EMAIL_SUBJECT, "Shots");
                           Type(dlg, IDC_EMAIL_BODY, "one\r\ntwo");
                           Click(dlg, IDOK);
                         }),
                         Answer(said), OnWindow([&](HWND dlg) {
                           to = ItemText(dlg, IDC_EMAIL_TO);
                           sendAgain = Enabled(dlg, IDOK);
                           Click(dlg, IDCANCEL);
                         })},
                        [&](TEmailSend& w) {
                          w.Email1.OnBeforeSendMail = [&](TEmail&) {
                            HWND dlg = w.Handle();
                            windowEnabled = IsWindowEnabled(dlg);
                            cancelEnabled = Enabled(dlg, IDCANCEL);
                            stripShown = IsWindowVisible(GetDlgItem(dlg, IDC_EMAIL_PANEL)) &&
                                         IsWindowVisible(GetDlgItem(dlg, IDC_EMAIL_STATUS));
                            status = ItemText(dlg, IDC_EMAIL_STATUS);
                            SendMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
                          };
                        });
  EXPECT_FALSE(windowEnabled);
  EXPECT_FALSE(cancelEnabled);
  EXPECT_TRUE(stripShown);
  EXPECT_EQ(status, "Sending message");
  EXPECT_EQ(unresolved,
            "The mail program could not resolve these recipients:\r\n    unknown Uma\r\n    failing Fay"
            "\r\n\r\nNothing was sent.");
  EXPECT_EQ(said, "MAPI Sendmail failed.\r\nError 2 from the mail program (general failure).");
  EXPECT_EQ(to, "Ann; Bob ;; Carl");
  EXPECT_TRUE(sendAgain);
  EXPECT_EQ(r, IDCANCEL);
  auto sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0]["subject"], "Shots");
  EXPECT_EQ(sent[0]["note"], "one\r\ntwo");
  EXPECT_EQ(sent[0]["recips"], "3");
}

TEST_F(SendWindow, TextsOutsideTheCodePageAskFirstWhenTheClientTakesNoUnicode) {
  const std::string hello = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";  // Привет
  std::string asked, again;
  size_t sentAfterNo = 99;
  auto write = OnWindow([&](HWND dlg) {
    Type(dlg, IDC_EMAIL_TO, "ann");
    Type(dlg, IDC_EMAIL_SUBJECT, hello.c_str());
    Click(dlg, IDOK);
  });
  EXPECT_EQ(Run({write, Answer(asked, IDNO), OnWindow([&](HWND dlg) {
                   sentAfterNo = Sent().size();
                   Click(dlg, IDOK);
                 }),
                 Answer(again, IDYES)},
                {}, nullptr, AnsiOnlyClient()),
            IDOK);
  EXPECT_EQ(asked,
            "Some characters of the subject cannot be passed to your mail program: they will arrive as \"?\"."
            "\r\n\r\nSend anyway?");
  EXPECT_EQ(sentAfterNo, 0u);
  EXPECT_EQ(Sent().size(), 1u);
}

TEST_F(SendWindow, GoneWithItsOwnerItSaysNothingAndSendsNothingMore) {
  // The program closing from outside: during the client's call, and during a question before the send.
  SetEnvironmentVariableA("GRIV_TEST_MAPI_SEND_RESULT", "2");
  auto owner = [] {
    return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 9, 9, nullptr, nullptr, nullptr, nullptr);
  };
  HWND o = owner();
  auto write = [&](const char* body) {
    return OnWindow([body](HWND dlg) {
      Type(dlg, IDC_EMAIL_TO, "ann");
      Type(dlg, IDC_EMAIL_BODY, body);
      Click(dlg, IDOK);
    });
  };
  EXPECT_EQ(Run(
                {write("")}, [&](TEmailSend& w) { w.Email1.OnBeforeSendMail = [&](TEmail&) { DestroyWindow(o); }; }, o),
            IDCANCEL);
  EXPECT_EQ(g_stray, "");  // a message would have come before the window's run ended
  o = owner();
  std::string asked;
  EXPECT_EQ(Run({write("\xE7\x94\xBB"), Answer(asked, IDYES, [&] { DestroyWindow(o); })}, {}, o, AnsiOnlyClient()),
            IDCANCEL);
  EXPECT_EQ(Sent().size(), 1u);
}

TEST_F(SendWindow, TheAddressBookRewritesTheFieldsAndCanEnableSend) {
  // Whichever "..." is pressed, all three lists go to the address book and come back resolved.
  SetEnvironmentVariableA("GRIV_TEST_MAPI_ADDRESS_ADD", "1:Zoe;3:Yan");
  std::string to, cc, bcc;
  bool sendBefore = true, sendAfter = false;
  Run({OnWindow([&](HWND dlg) {
         Type(dlg, IDC_EMAIL_CC, "ann; Bob ;");
         sendBefore = Enabled(dlg, IDOK);
         Click(dlg, IDC_EMAIL_BTNBCC);
       }),
       OnWindow([&](HWND dlg) {
         to = ItemText(dlg, IDC_EMAIL_TO);
         cc = ItemText(dlg, IDC_EMAIL_CC);
         bcc = ItemText(dlg, IDC_EMAIL_BCC);
         sendAfter = Enabled(dlg, IDOK);
         Click(dlg, IDCANCEL);
       })});
  EXPECT_FALSE(sendBefore);
  EXPECT_EQ(to, "Zoe");
  EXPECT_EQ(cc, "Ann Example;Bob");
  EXPECT_EQ(bcc, "Yan");
  EXPECT_TRUE(sendAfter);
  EXPECT_EQ(WithVerb(ReadCallLog(log_), "MAPIAddress").size(), 1u);
}

TEST_F(SendWindow, AFailedLogonIsSaidAndTheWindowStillOpens) {
  SetEnvironmentVariableA("GRIV_TEST_MAPI_LOGON", "never");
  std::string said;
  Run({Answer(said), OnWindow([&](HWND dlg) { Click(dlg, IDCANCEL); })});
  EXPECT_EQ(said, "MAPI Logon failed.");
}

}  // namespace
