#include "mail/email_win.h"

#include <array>
#include <cstring>
#include <deque>
#include <optional>
#include <type_traits>

#include "base/codepage.h"
#include "base/file_io.h"
#include "base/handles_win.h"
#include "base/utf.h"
#include "mail/mail_message.h"
#include "base/strings.h"

namespace griv {

namespace {

bool LeadByte(unsigned char b) { return IsDBCSLeadByte(b) != 0; }

// Text into one of the fixed buffers handed to the mail client.
void Fill(char (&buffer)[mapi::kTextBuffer], std::string_view ansi) {
  CopyBounded(ansi, buffer, sizeof buffer, LeadByte);
}

char* OrNull(std::string& s) { return s.empty() ? nullptr : s.data(); }
wchar_t* OrNull(std::wstring& s) { return s.empty() ? nullptr : s.data(); }

// ANSI bytes of a path the mail client can open: a name the code page cannot
// hold goes by its short form, which Windows keeps in plain characters.
std::string AnsiPath(const std::string& utf8, bool& viaShortName) {
  viaShortName = false;
  std::wstring w = Widen(utf8);
  BOOL lossy = FALSE;
  int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.c_str(), -1, nullptr, 0, nullptr, &lossy);
  if (n > 0 && lossy) {
    DWORD len = GetShortPathNameW(w.c_str(), nullptr, 0);
    if (len) {
      std::wstring shortName(len, L'\0');
      len = GetShortPathNameW(w.c_str(), shortName.data(), len);
      if (len) {
        shortName.resize(len);
        viaShortName = true;
        return ToAnsi(Narrow(shortName));
      }
    }
  }
  return ToAnsi(utf8);
}

std::string CutShort(std::string_view v) { return CutCharacters(v, mapi::kShortStringLength); }

}  // namespace

// ---------------------------------------------------------------- library

bool MapiInstalled() {
  OSVERSIONINFOW v{};
  v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExW(&v);
#pragma GCC diagnostic pop
  if (v.dwMajorVersion > 3 || (v.dwMajorVersion == 3 && v.dwMinorVersion > 51)) {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows Messaging Subsystem", 0, KEY_READ, &raw) !=
        ERROR_SUCCESS)
      return false;
    UniqueKey key(raw);
    char value[9] = {};
    DWORD size = sizeof value, type = 0;
    if (RegQueryValueExA(key.get(), "MAPI", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
      return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    return std::string_view(value, strnlen(value, size)) == "1";
  }
  return GetProfileIntW(L"Mail", L"MAPI", 0) != 0;
}

MapiLibrary::~MapiLibrary() { Release(); }

void MapiLibrary::Release() {
  available_ = false;
  FindNext = nullptr;
  Logoff = nullptr;
  Logon = nullptr;
  SendMail = nullptr;
  ReadMail = nullptr;
  DeleteMail = nullptr;
  ResolveName = nullptr;
  FreeBuffer = nullptr;
  Address = nullptr;
  SaveMail = nullptr;
  SendMailW = nullptr;
  if (module_) FreeLibrary(module_);
  module_ = nullptr;
}

void MapiLibrary::Load(const std::vector<std::wstring>& names) {
  Release();
  entryPointMissing_ = false;
  if (!MapiInstalled()) return;
  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  for (const std::wstring& name : names) {
    module_ = LoadLibraryW(name.c_str());
    if (module_) break;
  }
  SetErrorMode(oldMode);
  if (!module_) return;

  bool all = true;
  auto find = [&](auto& fn, const char* name) {
    fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    all = all && fn;
  };
  find(FindNext, "MAPIFindNext");
  find(Logoff, "MAPILogoff");
  find(Logon, "MAPILogon");
  find(SendMail, "MAPISendMail");
  find(ReadMail, "MAPIReadMail");
  find(DeleteMail, "MAPIDeleteMail");
  find(ResolveName, "MAPIResolveName");
  find(FreeBuffer, "MAPIFreeBuffer");
  find(Address, "MAPIAddress");
  find(SaveMail, "MAPISaveMail");
  if (!all) {
    // Half a client would crash on first use: treat it as none at all.
    Release();
    entryPointMissing_ = true;
    OutputDebugStringA(kMapiDllErrorText);
    return;
  }
  SendMailW = reinterpret_cast<LPMAPISENDMAILW>(reinterpret_cast<void*>(GetProcAddress(module_, "MAPISendMailW")));
  available_ = true;
}

MapiLibrary& MapiLibrary::Process() {
  static MapiLibrary& lib = []() -> MapiLibrary& {
    static MapiLibrary l;
    l.Load();
    return l;
  }();
  return lib;
}

void LoadMapi() { MapiLibrary::Process(); }

// ---------------------------------------------------------------- component

// Recipient records for one call and the texts they point into.
struct TEmail::Recipients {
  struct Texts {
    char name[mapi::kTextBuffer];
    char address[mapi::kTextBuffer];
    std::string name8, address8;  // the same as UTF-8, for the Unicode call
    std::vector<uint8_t> entryId;
  };
  explicit Recipients(size_t capacity) : records(capacity, MapiRecipDesc{}) {}
  std::vector<MapiRecipDesc> records;
  std::deque<Texts> texts;  // a deque keeps earlier texts in place while it grows
  ULONG count = 0;
  MapiRecipDesc* Data() { return count ? records.data() : nullptr; }
};

namespace {
// A record the mail client allocated, given back to it in every case.
class ClientRecord {
 public:
  ClientRecord(MapiLibrary& lib, lpMapiRecipDesc r) : lib_(lib), r_(r) {}
  ~ClientRecord() { reset(); }
  ClientRecord(const ClientRecord&) = delete;
  ClientRecord& operator=(const ClientRecord&) = delete;
  void reset() {
    if (r_) lib_.FreeBuffer(r_);
    r_ = nullptr;
  }
  lpMapiRecipDesc get() const { return r_; }

 private:
  MapiLibrary& lib_;
  lpMapiRecipDesc r_;
};
}  // namespace

TEmail::TEmail(MapiLibrary* library) : lib_(library ? *library : MapiLibrary::Process()) {}

TEmail::~TEmail() { LogoffQuietly(); }

void TEmail::LogoffQuietly() noexcept {
  if (session_ && lib_.Available()) lib_.Logoff(session_, 0, 0, 0);
  session_ = 0;
}

void TEmail::SetDownLoadFirst(bool on) {
  logonFlags_ = on ? logonFlags_ | mapi::kForceDownload : logonFlags_ & ~mapi::kForceDownload;
}
void TEmail::SetNewSession(bool on) {
  logonFlags_ = on ? logonFlags_ | mapi::kNewSession : logonFlags_ & ~mapi::kNewSession;
}
void TEmail::SetPassword(std::string_view v) { password_ = CutShort(v); }
void TEmail::SetProfile(std::string_view v) { profile_ = CutShort(v); }
void TEmail::SetSubject(std::string_view v) { subject_ = CutShort(v); }
void TEmail::SetText(std::string_view v) { text_ = CutShort(v); }

size_t TEmail::SetLongText(const char* text) {
  longText_.clear();
  longText_.shrink_to_fit();
  text_.clear();
  hasLongText_ = text != nullptr;
  if (text) longText_ = text;
  return longText_.size();
}

std::string TEmail::TruncateFileName(const std::string& fileName) { return griv::TruncateFileName(fileName); }

void TEmail::CheckMapi() {
  if (lib_.Available()) return;
  if (lib_.EntryPointMissing()) throw EMapiDllError(kMapiDllErrorText);
  throw EMapiUnavailable(kMapiUnavailableText);
}

void TEmail::ReadDefaultProfile() {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER,
                    L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles", 0,
                    KEY_READ, &raw) != ERROR_SUCCESS &&
      RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows Messaging Subsystem\\Profiles", 0, KEY_READ,
                    &raw) != ERROR_SUCCESS)
    return;
  UniqueKey key(raw);
  DWORD type = 0, size = 0;
  profile_.clear();
  if (RegQueryValueExW(key.get(), L"DefaultProfile", nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return;
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegQueryValueExW(key.get(), L"DefaultProfile", nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
      ERROR_SUCCESS)
    return;
  profile_ = CutShort(Narrow(std::wstring(value.c_str())));
}

uint32_t TEmail::Logon() {
  CheckMapi();
  if (session_) return mapi::kSuccess;
  if (UseDefProfile) ReadDefaultProfile();
  std::string profile = ToAnsi(profile_), password = ToAnsi(password_);
  DoBeforeLogon();
  LHANDLE s = 0;
  ULONG rc = lib_.Logon(0, OrNull(profile), OrNull(password), logonFlags_, 0, &s);
  if (rc != mapi::kSuccess) {
    // Let the mail client ask the user.
    s = 0;
    rc = lib_.Logon(0, nullptr, nullptr, logonFlags_ | mapi::kLogonUI, 0, &s);
  }
  if (!password.empty()) SecureZeroMemory(password.data(), password.size());
  if (rc != mapi::kSuccess) {
    session_ = 0;
    DoMapiError(rc);
  } else {
    session_ = s;
    DoAfterLogon();
  }
  return rc;
}

uint32_t TEmail::Logoff() {
  CheckMapi();
  if (!session_) return mapi::kSuccess;
  DoBeforeLogoff();
  ULONG rc = lib_.Logoff(session_, 0, 0, 0);
  session_ = 0;
  DoAfterLogoff();
  return rc;
}

void TEmail::ResolveRecipients(std::vector<std::string>& list, uint32_t recipClass, Recipients& out) {
  // By index: an error handler may change the list under us.
  for (size_t i = 0; i < list.size() && out.count < out.records.size(); ++i) {
    const std::string line = list[i];
    if (line.empty()) continue;
    std::string ansi = ToAnsi(line);
    lpMapiRecipDesc raw = nullptr;
    ULONG rc = lib_.ResolveName(session_, 0, ansi.data(), 0, 0, &raw);
    if (rc == mapi::kAmbiguousRecipient || rc == mapi::kUnknownRecipient) {
      ClientRecord(lib_, raw).reset();
      raw = nullptr;
      rc = lib_.ResolveName(session_, 0, ansi.data(), mapi::kDialog, 0, &raw);
    }
    ClientRecord resolved(lib_, raw);
    if (rc == mapi::kSuccess && !raw) rc = mapi::kFailure;
    if (rc != mapi::kSuccess) {
      resolved.reset();
      if (unresolved_.empty()) unresolvedCode_ = rc;
      unresolved_.push_back(line);
      DoMapiError(rc);
      continue;
    }
    Recipients::Texts& t = out.texts.emplace_back();
    MapiRecipDesc& d = out.records[out.count++];
    d = MapiRecipDesc{};
    d.ulRecipClass = recipClass;
    d.lpszName = t.name;
    d.lpszAddress = t.address;
    const std::string name = raw->lpszName ? FromAnsi(raw->lpszName) : std::string();
    if (std::optional<std::string> plain = BracketedAddress(line, name)) {
      const std::string a = ToAnsi(*plain);
      Fill(t.name, a);
      Fill(t.address, a);
      t.name8 = t.address8 = CutCharacters(*plain, mapi::kTextBuffer - 1);
    } else {
      if (i < list.size()) list[i] = name;
      Fill(t.name, raw->lpszName ? raw->lpszName : "");
      Fill(t.address, raw->lpszAddress && *raw->lpszAddress ? raw->lpszAddress : t.name);
      if (raw->lpEntryID && raw->ulEIDSize) {
        const auto* p = static_cast<const uint8_t*>(raw->lpEntryID);
        t.entryId.assign(p, p + raw->ulEIDSize);
        d.ulEIDSize = raw->ulEIDSize;
        d.lpEntryID = t.entryId.data();
      }
      t.name8 = FromAnsi(t.name);
      t.address8 = FromAnsi(t.address);
    }
  }
}

bool TEmail::RecipientsFit() {
  if (Recipient.size() + CC.size() + Bcc.size() < mapi::kMaxRecords) return true;
  DoMapiError(mapi::kTooManyRecipients);
  return false;
}

void TEmail::ResolveAllRecipients(Recipients& out) {
  ResolveRecipients(Recipient, mapi::kTo, out);
  ResolveRecipients(CC, mapi::kCC, out);
  ResolveRecipients(Bcc, mapi::kBCC, out);
}

uint32_t TEmail::SendMail() {
  CheckMapi();
  unresolved_.clear();
  if (!RecipientsFit()) return mapi::kTooManyRecipients;
  const size_t total = Recipient.size() + CC.size() + Bcc.size();
  if (Attachment.size() >= mapi::kMaxRecords) {
    DoMapiError(mapi::kTooManyFiles);
    return mapi::kTooManyFiles;
  }
  const bool hadSession = session_ != 0;
  if (Logon() != mapi::kSuccess) {
    DoMapiError(mapi::kLogonFailure);
    return mapi::kLogonFailure;
  }
  const bool opened = !hadSession;
  try {
    Recipients recips(total);
    ResolveAllRecipients(recips);
    if (StopOnUnresolved && !unresolved_.empty()) {
      if (opened) Logoff();
      return unresolvedCode_;
    }
    const std::vector<std::string> attachments = Attachment;
    for (const std::string& line : attachments) {
      if (!FileExists(line)) {
        DoMapiError(mapi::kAttachmentNotFound);
        if (opened) Logoff();
        return mapi::kAttachmentNotFound;
      }
    }
    const ULONG sendFlags = recips.count == 0 || ShowDialog ? mapi::kDialog : 0;
    const ULONG rc =
        UnicodeClient() ? SendWide(recips, attachments, sendFlags) : SendAnsi(recips, attachments, sendFlags);
    if (rc != mapi::kSuccess)
      DoMapiError(rc);
    else
      DoAfterSendMail();
    if (opened) Logoff();
    return rc;
  } catch (...) {
    if (opened) LogoffQuietly();
    throw;
  }
}

std::string TEmail::AttachedName(const std::string& path) {
  const std::string name = ExtractFileName(path);
  return TruncAttFN ? TruncateFileName(name) : name;
}

template <class Message, class String, class Convert>
void TEmail::PutTexts(Message& msg, std::array<String, 3>& texts, Convert convert) const {
  texts = {convert(subject_), convert(hasLongText_ ? longText_ : text_), convert(messageType_)};
  msg.lpszSubject = OrNull(texts[0]);
  msg.lpszNoteText = hasLongText_ ? texts[1].data() : OrNull(texts[1]);
  msg.lpszMessageType = OrNull(texts[2]);
  if (Acknowledge) msg.flFlags |= mapi::kReceiptRequested;
}

uint32_t TEmail::SendAnsi(Recipients& recips, const std::vector<std::string>& attachments, uint32_t sendFlags) {
  MapiMessage msg{};
  std::array<std::string, 3> texts;
  PutTexts(msg, texts, ToAnsi);
  msg.nRecipCount = recips.count;
  msg.lpRecips = recips.Data();

  struct FileTexts {
    std::string path;
    char name[mapi::kTextBuffer];
  };
  std::vector<MapiFileDesc> files(attachments.size(), MapiFileDesc{});
  std::vector<FileTexts> fileTexts(attachments.size());
  for (size_t i = 0; i < attachments.size(); ++i) {
    bool viaShortName = false;
    FileTexts& t = fileTexts[i];
    t.path = AnsiPath(attachments[i], viaShortName);
    std::string name = AttachedName(attachments[i]);
    // Only a name the code page cannot hold goes by its short form: a plain
    // name in an unusual folder keeps its own.
    if (viaShortName && !FitsCodePage(name, kAnsiCodePage)) name = FromAnsi(ExtractFileName(t.path));
    Fill(t.name, ToAnsi(name));
    files[i].nPosition = 0xFFFFFFFF;
    files[i].lpszPathName = t.path.data();
    files[i].lpszFileName = t.name;
  }
  msg.nFileCount = static_cast<ULONG>(files.size());
  msg.lpFiles = files.empty() ? nullptr : files.data();

  DoBeforeSendMail();
  return lib_.SendMail(session_, 0, &msg, sendFlags, 0);
}

uint32_t TEmail::SendWide(Recipients& recips, const std::vector<std::string>& attachments, uint32_t sendFlags) {
  MapiMessageW msg{};
  std::array<std::wstring, 3> texts;
  PutTexts(msg, texts, Widen);

  std::vector<MapiRecipDescW> people(recips.count, MapiRecipDescW{});
  std::vector<std::wstring> peopleTexts(2 * recips.count);
  for (size_t i = 0; i < recips.count; ++i) {
    const MapiRecipDesc& a = recips.records[i];
    peopleTexts[2 * i] = Widen(recips.texts[i].name8);
    peopleTexts[2 * i + 1] = Widen(recips.texts[i].address8);
    people[i].ulRecipClass = a.ulRecipClass;
    people[i].lpszName = peopleTexts[2 * i].data();
    people[i].lpszAddress = peopleTexts[2 * i + 1].data();
    people[i].ulEIDSize = a.ulEIDSize;
    people[i].lpEntryID = a.lpEntryID;
  }
  msg.nRecipCount = recips.count;
  msg.lpRecips = people.empty() ? nullptr : people.data();

  std::vector<MapiFileDescW> files(attachments.size(), MapiFileDescW{});
  std::vector<std::wstring> fileTexts(2 * attachments.size());
  for (size_t i = 0; i < attachments.size(); ++i) {
    fileTexts[2 * i] = Widen(attachments[i]);
    fileTexts[2 * i + 1] = Widen(CutCharacters(AttachedName(attachments[i]), mapi::kTextBuffer - 1));
    files[i].nPosition = 0xFFFFFFFF;
    files[i].lpszPathName = fileTexts[2 * i].data();
    files[i].lpszFileName = fileTexts[2 * i + 1].data();
  }
  msg.nFileCount = static_cast<ULONG>(files.size());
  msg.lpFiles = files.empty() ? nullptr : files.data();

  DoBeforeSendMail();
  return lib_.SendMailW(session_, 0, &msg, sendFlags, 0);
}

uint32_t TEmail::Address() {
  CheckMapi();
  unresolved_.clear();
  if (!RecipientsFit()) return mapi::kTooManyRecipients;
  const size_t total = Recipient.size() + CC.size() + Bcc.size();
  const bool hadSession = session_ != 0;
  if (Logon() != mapi::kSuccess) return mapi::kLogonFailure;
  const bool opened = !hadSession;
  try {
    Recipients recips(total);
    ResolveAllRecipients(recips);

    // Empty texts: the mail client's own caption and labels.
    char caption[1] = "", labels[1] = "";
    ULONG newCount = 0;
    lpMapiRecipDesc raw = nullptr;
    ULONG rc = lib_.Address(session_, 0, caption, 4, labels, recips.count, recips.Data(), 0, 0, &newCount, &raw);
    ClientRecord chosen(lib_, raw);
    if (rc == mapi::kSuccess) {
      Recipient.clear();
      CC.clear();
      Bcc.clear();
      for (ULONG i = 0; raw && i < newCount; ++i) {
        const MapiRecipDesc& r = raw[i];
        std::vector<std::string>* list = r.ulRecipClass == mapi::kTo   ? &Recipient
                                         : r.ulRecipClass == mapi::kCC  ? &CC
                                         : r.ulRecipClass == mapi::kBCC ? &Bcc
                                                                        : nullptr;
        const char* name = r.lpszName && *r.lpszName ? r.lpszName : r.lpszAddress;
        if (list && name && *name) list->push_back(FromAnsi(name));
      }
    } else {
      chosen.reset();
      DoMapiError(rc);
    }
    chosen.reset();
    if (opened) Logoff();
    return rc;
  } catch (...) {
    if (opened) LogoffQuietly();
    throw;
  }
}

// ---------------------------------------------------------------- window's step

uint32_t SendPreparedMail(TEmail& email, const PreparedMail& mail,
                          const std::function<void(const std::string&)>& status) {
  email.Recipient = mail.to;
  email.CC = mail.cc;
  email.Bcc = mail.bcc;
  email.SetLongText(mail.note.c_str());
  email.SetSubject(mail.subject);
  email.TruncAttFN = false;  // attachments keep their whole names
  email.Attachment = mail.attachments;
  if (status) status(kStatusSending);
  return email.SendMail();
}

}  // namespace griv
