// The mail component against the tests' recording mail client (mapi32.dll
// beside this program, loaded through the program's own LoadMapi when
// WINEDLLOVERRIDES has mapi32=n,b, as scripts/test sets it).
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/handles_win.h"
#include "base/utf.h"
#include "mail/email_win.h"
#include "mail/mail_message.h"
#include "mail_test_util.h"
#include "base/strings.h"
#include "ui/system_path_win.h"

using namespace griv;
using griv::test::AnsiOnlyClient;
using griv::test::CallRecord;
using griv::test::ReadCallLog;
using griv::test::WithVerb;

namespace {

const char* const kEnvNames[] = {"GRIV_TEST_MAPI_LOGON", "GRIV_TEST_MAPI_SEND_RESULT", "GRIV_TEST_MAPI_ADDRESS_RESULT",
                                 "GRIV_TEST_MAPI_ADDRESS_ADD", "GRIV_TEST_MAPI_COPY_DIR"};

template <class Fn>
Fn ClientFunction(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(MapiLibrary::Process().Module(), name)));
}
int Counter(const char* name) {
  auto fn = ClientFunction<int(WINAPI*)()>(name);
  return fn ? fn() : -1;
}
int Outstanding() { return Counter("GrivTestMapiOutstanding"); }
int OpenSessions() { return Counter("GrivTestMapiOpenSessions"); }

class MailClient : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadMapi();
    ASSERT_TRUE(MapiLibrary::Process().Available());
    ASSERT_NE(GetProcAddress(MapiLibrary::Process().Module(), "GrivTestMailClient"), nullptr)
        << "the system's mapi32 was loaded: run with WINEDLLOVERRIDES=mapi32=n,b";
    dir_ = IncludeTrailingBackslash(TempFolder()) + "griv-mail-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryW(Widen(dir_).c_str(), nullptr);
    CreateDirectoryW(Widen(dir_ + "copies").c_str(), nullptr);
    log_ = dir_ + "mapi.log";
    DeleteFileUtf8(log_);
    SetEnvironmentVariableA("GRIV_TEST_MAPI_LOG", ToAnsi(log_).c_str());
    for (const char* n : kEnvNames) SetEnvironmentVariableA(n, nullptr);
  }
  void TearDown() override {
    if (!HasFatalFailure()) {
      EXPECT_EQ(Outstanding(), 0) << "records of the mail client not given back";
      EXPECT_EQ(OpenSessions(), 0);
    }
    for (const char* n : kEnvNames) SetEnvironmentVariableA(n, nullptr);
    SetEnvironmentVariableA("GRIV_TEST_MAPI_LOG", nullptr);
    SHFILEOPSTRUCTW op{};
    std::wstring from = Widen(dir_.substr(0, dir_.size() - 1)) + L'\0';
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
  }
  std::string Put(const std::string& name, const std::string& content) {
    WriteFileAtomic(dir_ + name, content.data(), content.size());
    return dir_ + name;
  }
  std::vector<CallRecord> Log() const { return ReadCallLog(log_); }
  std::vector<std::string> Verbs() const {
    std::vector<std::string> v;
    for (const CallRecord& r : Log()) v.push_back(r.verb);
    return v;
  }
  // Events and errors of a component, in the order raised.
  void Watch(TEmail& e) {
    auto note = [this](const char* what) { return [this, what](TEmail&) { events_.push_back(what); }; };
    e.OnBeforeLogon = note("BeforeLogon");
    e.OnAfterLogon = note("AfterLogon");
    e.OnBeforeLogoff = note("BeforeLogoff");
    e.OnAfterLogoff = note("AfterLogoff");
    e.OnBeforeSendMail = note("BeforeSendMail");
    e.OnAfterSendMail = note("AfterSendMail");
    e.OnMapiError = [this](TEmail&, uint32_t code) {
      errors_.push_back(code);
      events_.push_back("MapiError " + std::to_string(code));
    };
  }

  std::string dir_, log_;
  std::vector<std::string> events_;
  std::vector<uint32_t> errors_;
};

using Strings = std::vector<std::string>;

TEST_F(MailClient, SendsTheMessageAsDescribed) {
  const std::string small = Put("a.txt", "first attachment");
  const std::string big = Put("averyveryverylongname.jpg", std::string(5000, 'J'));
  SetEnvironmentVariableA("GRIV_TEST_MAPI_COPY_DIR", ToAnsi(dir_ + "copies").c_str());
  TEmail e;
  Watch(e);
  e.Recipient = {"ann", "[SMTP:someone@example.org]", "", "noaddr Zed"};
  e.CC = {"Bob"};
  e.Bcc = {"Carl"};
  e.SetSubject("Gr\xC3\xBC\xC3\x9F" "e 1");
  EXPECT_EQ(e.SetLongText("line one\r\nline two"), 18u);
  e.Attachment = {small, big};
  e.Acknowledge = true;

  ASSERT_EQ(e.SendMail(), 0u);
  EXPECT_EQ(events_, (Strings{"BeforeLogon", "AfterLogon", "BeforeSendMail", "AfterSendMail", "BeforeLogoff",
                              "AfterLogoff"}));
  EXPECT_EQ(e.Session(), 0u);
  // Resolved lines take the client's display name; bracketed and empty lines stay as typed.
  EXPECT_EQ(e.Recipient, (Strings{"Ann Example", "[SMTP:someone@example.org]", "", "noaddr Zed"}));

  auto log = Log();
  auto logon = WithVerb(log, "MAPILogon");
  ASSERT_EQ(logon.size(), 1u);
  EXPECT_EQ(logon[0]["flags"], "0x0");
  EXPECT_FALSE(logon[0].Has("profile"));
  EXPECT_FALSE(logon[0].Has("password"));

  auto send = WithVerb(log, "MAPISendMail");
  ASSERT_EQ(send.size(), 1u);
  EXPECT_EQ(send[0]["wide"], "1");  // the client takes Unicode: texts in any script go whole
  EXPECT_EQ(send[0]["flags"], "0x0");
  EXPECT_EQ(send[0]["msgflags"], "0x2");  // read receipt
  EXPECT_EQ(send[0]["subject"],
            "Gr\xC3\xBC\xC3\x9F"
            "e 1");
  EXPECT_EQ(send[0]["note"], "line one\r\nline two");
  for (const char* none : {"type", "date", "conversation"}) EXPECT_FALSE(send[0].Has(none)) << none;
  EXPECT_EQ(send[0]["originator"], "0");

  auto recips = WithVerb(log, "recip");
  ASSERT_EQ(recips.size(), 5u);
  EXPECT_EQ(recips[0]["class"], "1");
  EXPECT_EQ(recips[0]["name"], "Ann Example");
  EXPECT_EQ(recips[0]["address"], "SMTP:ann@example.com");
  EXPECT_EQ(recips[0]["eid"], "4549443A534D54503A616E6E406578616D706C652E636F6D");  // "EID:SMTP:ann@example.com"
  EXPECT_EQ(recips[1]["name"], "SMTP:someone@example.org");
  EXPECT_EQ(recips[1]["address"], "SMTP:someone@example.org");
  EXPECT_FALSE(recips[1].Has("eid"));
  EXPECT_EQ(recips[2]["name"], "noaddr Zed");
  EXPECT_EQ(recips[2]["address"], "noaddr Zed");  // no address: the name stands in
  EXPECT_EQ(recips[3]["class"], "2");
  EXPECT_EQ(recips[3]["name"], "Bob");
  EXPECT_EQ(recips[4]["class"], "3");
  EXPECT_EQ(recips[4]["name"], "Carl");

  auto files = WithVerb(log, "file");
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0]["position"], "4294967295");
  EXPECT_EQ(files[0]["path"], small);
  EXPECT_EQ(files[0]["name"], "a.txt");
  EXPECT_EQ(files[1]["name"], "longname.jpg");
  EXPECT_EQ(files[1]["exists"], "1");
  EXPECT_EQ(files[1]["size"], "5000");
  auto copy = ReadWholeFile(files[1]["copy"]);
  EXPECT_EQ(std::string(copy.begin(), copy.end()), std::string(5000, 'J'));
  EXPECT_EQ(WithVerb(log, "MAPILogoff").size(), 1u);
}

TEST_F(MailClient, AmbiguousAndUnknownNamesGetTheClientsDialogAndFailuresAreLeftOut) {
  TEmail e;
  Watch(e);
  e.Recipient = {"ambiguous Al", "unknown Uma", "failing Fay", "Dan"};
  ASSERT_EQ(e.SendMail(), 0u);
  EXPECT_EQ(errors_, (std::vector<uint32_t>{14, 2}));
  EXPECT_EQ(e.Recipient, (Strings{"Chosen One", "unknown Uma", "failing Fay", "Dan"}));

  auto log = Log();
  Strings tries;
  for (const CallRecord& r : WithVerb(log, "MAPIResolveName"))
    tries.push_back(r["name"] + " " + r["flags"] + " " + r["result"]);
  EXPECT_EQ(tries, (Strings{"ambiguous Al 0x0 21", "ambiguous Al 0x8 0", "unknown Uma 0x0 14", "unknown Uma 0x8 14",
                            "failing Fay 0x0 2", "Dan 0x0 0"}));
  auto recips = WithVerb(log, "recip");
  ASSERT_EQ(recips.size(), 2u);
  EXPECT_EQ(recips[0]["name"], "Chosen One");
  EXPECT_EQ(recips[1]["name"], "Dan");
  EXPECT_EQ(WithVerb(log, "MAPISendMail")[0]["recips"], "2");
}

TEST_F(MailClient, SendDialogFlagsAndTheNoteText) {
  TEmail e;
  ASSERT_EQ(e.SendMail(), 0u);  // no recipients: the client's send dialog
  e.Recipient = {"Dan"};
  e.ShowDialog = true;
  e.SetText(std::string(300, 't'));
  EXPECT_EQ(e.Text(), std::string(255, 't'));  // a short string
  ASSERT_EQ(e.SendMail(), 0u);
  e.ShowDialog = false;
  const std::string longNote(5000, 'n');
  EXPECT_EQ(e.SetLongText(longNote.c_str()), 5000u);
  EXPECT_EQ(e.Text(), "");
  ASSERT_EQ(e.SendMail(), 0u);

  auto send = WithVerb(Log(), "MAPISendMail");
  ASSERT_EQ(send.size(), 3u);
  EXPECT_EQ(send[0]["flags"] + " " + send[0]["recips"] + send[0]["recipsptr"] + send[0]["files"] + send[0]["filesptr"],
            "0x8 0000");
  EXPECT_FALSE(send[0].Has("subject"));
  EXPECT_FALSE(send[0].Has("note"));
  EXPECT_EQ(send[0]["msgflags"], "0x0");
  EXPECT_EQ(send[1]["flags"], "0x8");
  EXPECT_EQ(send[1]["note"], std::string(255, 't'));
  EXPECT_EQ(send[2]["flags"], "0x0");
  EXPECT_EQ(send[2]["note"], longNote);
}

TEST_F(MailClient, AMissingAttachmentStopsTheWholeSend) {
  TEmail e;
  Watch(e);
  e.Recipient = {"ann"};
  e.Attachment = {Put("here.txt", "x"), dir_ + "gone.txt"};
  EXPECT_EQ(e.SendMail(), 11u);
  EXPECT_EQ(errors_, std::vector<uint32_t>{11});
  EXPECT_EQ(Verbs(), (Strings{"MAPILogon", "MAPIResolveName", "MAPIFreeBuffer", "MAPILogoff"}));
  EXPECT_EQ(e.Session(), 0u);
}

TEST_F(MailClient, ARefusedSendIsReturnedAndRaised) {
  SetEnvironmentVariableA("GRIV_TEST_MAPI_SEND_RESULT", "1");
  TEmail e;
  Watch(e);
  e.Recipient = {"Dan"};
  EXPECT_EQ(e.SendMail(), 1u);
  EXPECT_EQ(events_, (Strings{"BeforeLogon", "AfterLogon", "BeforeSendMail", "MapiError 1", "BeforeLogoff",
                              "AfterLogoff"}));
}

TEST_F(MailClient, AnExplicitSessionOutlivesSendsUntilLogoffOrDestruction) {
  {
    TEmail e;
    Watch(e);
    e.SetDownLoadFirst(true);
    e.SetNewSession(true);
    EXPECT_EQ(e.LogonFlags(), 0x1002u);
    e.SetProfile("Work");
    e.SetPassword("secret");
    ASSERT_EQ(e.Logon(), 0u);
    const LHANDLE s = e.Session();
    EXPECT_NE(s, 0u);
    EXPECT_EQ(e.Logon(), 0u);  // already open: nothing happens
    e.Recipient = {"Dan"};
    ASSERT_EQ(e.SendMail(), 0u);
    EXPECT_EQ(e.Session(), s);
    EXPECT_EQ(Verbs(), (Strings{"MAPILogon", "MAPIResolveName", "MAPIFreeBuffer", "MAPISendMail", "recip", "sent"}));
    auto logon = WithVerb(Log(), "MAPILogon")[0];
    EXPECT_EQ(logon["flags"], "0x1002");
    EXPECT_EQ(logon["profile"], "Work");
    EXPECT_EQ(logon["password"], "secret");
    EXPECT_EQ(WithVerb(Log(), "MAPISendMail")[0]["session"], std::to_string(s));
    ASSERT_EQ(e.Logoff(), 0u);
    EXPECT_EQ(e.Logoff(), 0u);  // none open
    EXPECT_EQ(events_, (Strings{"BeforeLogon", "AfterLogon", "BeforeSendMail", "AfterSendMail", "BeforeLogoff",
                                "AfterLogoff"}));
    ASSERT_EQ(e.Logon(), 0u);
    EXPECT_EQ(OpenSessions(), 1);
  }
  // Destroying the component closed the session it held.
  EXPECT_EQ(OpenSessions(), 0);
}

TEST_F(MailClient, AFailedLogonRetriesWithTheClientsLogonDialog) {
  SetEnvironmentVariableA("GRIV_TEST_MAPI_LOGON", "ui");
  TEmail e;
  Watch(e);
  e.SetProfile("Work");
  e.SetPassword("secret");
  ASSERT_EQ(e.Logon(), 0u);
  EXPECT_TRUE(errors_.empty());
  auto logon = WithVerb(Log(), "MAPILogon");
  ASSERT_EQ(logon.size(), 2u);
  EXPECT_EQ(logon[0]["profile"], "Work");
  EXPECT_EQ(logon[0]["result"], "3");
  EXPECT_FALSE(logon[1].Has("profile"));
  EXPECT_FALSE(logon[1].Has("password"));
  EXPECT_EQ(logon[1]["flags"], "0x1");
  e.Logoff();

  // A client that never lets us in: SendMail adds its own 3, Address does not.
  SetEnvironmentVariableA("GRIV_TEST_MAPI_LOGON", "never");
  errors_.clear();
  e.Recipient = {"Dan"};
  EXPECT_EQ(e.SendMail(), 3u);
  EXPECT_EQ(errors_, (std::vector<uint32_t>{3, 3}));
  errors_.clear();
  EXPECT_EQ(e.Address(), 3u);
  EXPECT_EQ(errors_, std::vector<uint32_t>{3});
  EXPECT_TRUE(WithVerb(Log(), "MAPISendMail").empty());
  EXPECT_TRUE(WithVerb(Log(), "MAPIAddress").empty());
}

TEST_F(MailClient, DefaultProfileIsReadFromTheRegistryWhenAsked) {
  const wchar_t* key = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles";
  HKEY raw = nullptr;
  const bool existed = RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &raw) == ERROR_SUCCESS;
  if (raw) RegCloseKey(raw);
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw, nullptr),
            ERROR_SUCCESS);
  UniqueKey k(raw);
  const std::wstring value = L"Office Profile";
  RegSetValueExW(k.get(), L"DefaultProfile", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  TEmail e;
  e.SetProfile("Mine");
  e.UseDefProfile = true;
  ASSERT_EQ(e.Logon(), 0u);
  e.Logoff();
  EXPECT_EQ(e.Profile(), "Office Profile");
  // No such value: the profile is emptied and none is passed.
  RegDeleteValueW(k.get(), L"DefaultProfile");
  ASSERT_EQ(e.Logon(), 0u);
  e.Logoff();
  EXPECT_EQ(e.Profile(), "");
  auto logon = WithVerb(Log(), "MAPILogon");
  ASSERT_EQ(logon.size(), 2u);
  EXPECT_EQ(logon[0]["profile"], "Office Profile");
  EXPECT_FALSE(logon[1].Has("profile"));
  k.reset();
  if (!existed) RegDeleteKeyW(HKEY_CURRENT_USER, key);
}

TEST_F(MailClient, AddressBookResolvesThenRewritesTheLists) {
  SetEnvironmentVariableA("GRIV_TEST_MAPI_ADDRESS_ADD", "1:Zed Added;3:Bea Blind;4:Other Class");
  TEmail e;
  Watch(e);
  e.Recipient = {"ann", "unknown Uma"};
  e.CC = {"Bob"};
  ASSERT_EQ(e.Address(), 0u);
  EXPECT_EQ(errors_, std::vector<uint32_t>{14});
  EXPECT_EQ(e.Recipient, (Strings{"Ann Example", "Zed Added"}));
  EXPECT_EQ(e.CC, Strings{"Bob"});
  EXPECT_EQ(e.Bcc, Strings{"Bea Blind"});
  auto log = Log();
  auto call = WithVerb(log, "MAPIAddress");
  ASSERT_EQ(call.size(), 1u);
  EXPECT_EQ(call[0]["caption"], "");  // present but empty: the client's own caption
  EXPECT_EQ(call[0]["labels"], "");
  EXPECT_EQ(call[0]["editfields"], "4");
  EXPECT_EQ(call[0]["recips"], "2");
  auto given = WithVerb(log, "given");
  ASSERT_EQ(given.size(), 2u);
  EXPECT_EQ(given[0]["class"] + given[0]["name"], "1Ann Example");
  EXPECT_EQ(given[1]["class"] + given[1]["name"], "2Bob");
  EXPECT_EQ(e.Session(), 0u);

  // A refused address book leaves the (resolved) lists as they were.
  SetEnvironmentVariableA("GRIV_TEST_MAPI_ADDRESS_RESULT", "1");
  errors_.clear();
  EXPECT_EQ(e.Address(), 1u);
  EXPECT_EQ(errors_, std::vector<uint32_t>{1});
  EXPECT_EQ(e.Recipient, (Strings{"Ann Example", "Zed Added"}));
  EXPECT_EQ(e.Bcc, Strings{"Bea Blind"});
}

TEST_F(MailClient, LongNamesAreCutToTheirBuffers) {
  TEmail e;
  e.Recipient = {std::string(300, 'x')};
  e.SetSubject(std::string(300, 's'));
  ASSERT_EQ(e.SendMail(), 0u);
  auto log = Log();
  auto recip = WithVerb(log, "recip");
  ASSERT_EQ(recip.size(), 1u);
  EXPECT_EQ(recip[0]["name"], std::string(256, 'x'));
  EXPECT_EQ(recip[0]["address"], "SMTP:" + std::string(251, 'x'));
  EXPECT_EQ(WithVerb(log, "MAPISendMail")[0]["subject"], std::string(255, 's'));
}

TEST_F(MailClient, TextsAndFileNamesOutsideTheCodePageGoWholeOrByShortName) {
  // Cyrillic and CJK: no single-byte Western code page holds these.
  const std::string odd = "\xD1\x81\xD0\xBD\xD0\xB8\xD0\xBC\xD0\xBE\xD0\xBA \xE7\x94\xBB";
  const std::string file = Put(odd + ".jpg", "picture bytes");
  CreateDirectoryW(Widen(dir_ + odd).c_str(), nullptr);
  const std::string plain = Put(odd + "\\plain.txt", "words");
  for (bool unicode : {true, false}) {
    DeleteFileUtf8(log_);
    TEmail e(unicode ? nullptr : AnsiOnlyClient());
    EXPECT_EQ(e.UnicodeClient(), unicode);
    e.Recipient = {"Dan"};
    e.Attachment = {file, plain};
    e.SetSubject(odd);
    e.TruncAttFN = false;
    ASSERT_EQ(e.SendMail(), 0u);
    auto log = Log();
    EXPECT_EQ(WithVerb(log, "MAPISendMail").at(0)["subject"], unicode ? odd : ToAnsi(odd));
    auto f = WithVerb(log, "file");
    ASSERT_EQ(f.size(), 2u);
    for (const CallRecord& r : f) EXPECT_EQ(r["exists"], "1") << r["path"];  // the client can open what it got
    if (unicode) EXPECT_EQ(f[0]["name"], odd + ".jpg");
    else EXPECT_EQ(f[0]["name"].find('?'), std::string::npos) << f[0]["name"];  // its short name
    // A name the code page holds keeps it, whatever the folder.
    EXPECT_EQ(f[1]["name"], "plain.txt");
  }
}

TEST_F(MailClient, PreparedMailGoesOutWithWholeFileNames) {
  const std::string file = Put("averyveryverylongname.jpg", "jpeg bytes");
  PreparedMail m;
  m.to = {"ann", "Dan"};
  m.bcc = {"Carl"};
  m.subject = "Capture";
  m.note = "See attached.\r\n";
  m.attachments = {file};
  TEmail e;
  Strings said;
  ASSERT_EQ(SendPreparedMail(e, m, [&](const std::string& s) { said.push_back(s); }), 0u);
  EXPECT_EQ(said, Strings{kStatusSending});
  auto log = Log();
  auto send = WithVerb(log, "MAPISendMail");
  ASSERT_EQ(send.size(), 1u);
  EXPECT_EQ(send[0]["subject"], "Capture");
  EXPECT_EQ(send[0]["note"], "See attached.\r\n");
  EXPECT_EQ(send[0]["recips"], "3");
  EXPECT_EQ(WithVerb(log, "file")[0]["name"], "averyveryverylongname.jpg");
}

// ---- the library state, with libraries of the tests' choosing

class MapiLoading : public ::testing::Test {
 protected:
  static constexpr const wchar_t* kKey = L"SOFTWARE\\Microsoft\\Windows Messaging Subsystem";
  void SetUp() override {
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw, nullptr),
              ERROR_SUCCESS);
    key_.reset(raw);
    DWORD size = sizeof saved_;
    hadValue_ = RegQueryValueExW(key_.get(), L"MAPI", nullptr, &savedType_, saved_, &size) == ERROR_SUCCESS;
    savedSize_ = size;
  }
  void TearDown() override {
    if (hadValue_)
      RegSetValueExW(key_.get(), L"MAPI", 0, savedType_, saved_, savedSize_);
    else
      RegDeleteValueW(key_.get(), L"MAPI");
  }
  void SetText(const std::wstring& v) {
    RegSetValueExW(key_.get(), L"MAPI", 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                   static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t)));
  }
  UniqueKey key_;
  BYTE saved_[64] = {};
  DWORD savedType_ = 0, savedSize_ = 0;
  bool hadValue_ = false;
};

template <class E>
void ExpectEveryOperationRaises(TEmail& e, const char* text) {
  for (auto op : {+[](TEmail& m) { m.CheckMapi(); }, +[](TEmail& m) { m.Logon(); }, +[](TEmail& m) { m.Logoff(); },
                  +[](TEmail& m) { m.SendMail(); }, +[](TEmail& m) { m.Address(); }}) {
    try {
      op(e);
      ADD_FAILURE() << "no exception";
    } catch (const E& x) {
      EXPECT_STREQ(x.what(), text);
    }
  }
  EXPECT_EQ(e.SetLongText("still fine"), 10u);
}

TEST_F(MapiLoading, MapiCountsAsInstalledOnlyWhenTheValueIsExactlyOne) {
  for (const wchar_t* v : {L"0", L"", L"1 ", L"11", L"yes", L"123456789"}) {
    SetText(v);
    MapiLibrary lib;
    lib.Load();
    EXPECT_FALSE(lib.Available()) << Narrow(v);
    EXPECT_FALSE(lib.EntryPointMissing());
    EXPECT_EQ(lib.Module(), nullptr);
    TEmail e(&lib);
    EXPECT_FALSE(e.MapiAvail());
    ExpectEveryOperationRaises<EMapiUnavailable>(e, "MAPI services are not available on this system");
  }
  DWORD one = 1;
  RegSetValueExW(key_.get(), L"MAPI", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
  EXPECT_FALSE(MapiInstalled());
  RegDeleteValueW(key_.get(), L"MAPI");
  EXPECT_FALSE(MapiInstalled());

  SetText(L"1");
  MapiLibrary lib;
  lib.Load();
  EXPECT_TRUE(lib.Available());
  EXPECT_NE(lib.Module(), nullptr);
}

TEST_F(MapiLoading, AClientMissingEntryPointsLeavesMapiUnavailable) {
  SetText(L"1");
  const UINT modeBefore = GetErrorMode();
  MapiLibrary lib;
  lib.Load({L"kernel32.dll"});
  EXPECT_EQ(GetErrorMode(), modeBefore);
  EXPECT_FALSE(lib.Available());
  EXPECT_TRUE(lib.EntryPointMissing());
  EXPECT_EQ(lib.Module(), nullptr);
  EXPECT_EQ(lib.SendMail, nullptr);
  TEmail e(&lib);
  EXPECT_FALSE(e.MapiAvail());
  ExpectEveryOperationRaises<EMapiDllError>(e, "GetProcAddress for MAPI.DLL function(s) failed");

  // No library at all under any of the names: plainly unavailable.
  lib.Load({L"griv-no-such-mapi", L"griv-no-such-mapi.dll"});
  EXPECT_EQ(GetErrorMode(), modeBefore);
  EXPECT_FALSE(lib.Available());
  EXPECT_FALSE(lib.EntryPointMissing());
}

}  // namespace
