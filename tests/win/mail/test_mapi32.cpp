// A mail client of the tests' own, in the shape of mapi32.dll. Every call is
// appended to the file named by GRIV_TEST_MAPI_LOG, one record per line:
//   VERB<TAB>key=value<TAB>key=value...
// Values are the bytes the caller passed; \\, \t, \r, \n and bytes outside
// 0x20..0x7E are escaped (\xHH). A key that is missing means a null pointer.
//
// Its small address book:
//   "ann" (any case)         -> Ann Example <SMTP:ann@example.com>
//   "ambig..."               -> 21 unless asked with MAPI_DIALOG, then Chosen One <SMTP:chosen@example.com>
//   "unknown..."             -> 14, also with MAPI_DIALOG (the user found no one)
//   "fail..."                -> 2
//   "noaddr..."              -> the name, no address
//   "keep" and brackets      -> the line itself (brackets kept)
//   other lines with [ and ] -> the text inside the brackets after its last ':' (no brackets)
//   anything else            -> the name itself <SMTP:name>
// Entry identifiers are the bytes "EID:" + address.
//
// MAPISendMailW is recorded as MAPISendMail with wide=1 and its texts in
// UTF-8 (wide=0: the bytes as passed). Built a second time without that
// entry point (mapi32-ansi.dll), as a client that takes ANSI texts only.
//
// Told by environment variables:
//   GRIV_TEST_MAPI_LOGON          "ui": logon fails (3) unless MAPI_LOGON_UI; "never": always fails
//   GRIV_TEST_MAPI_SEND_RESULT    code MAPISendMail returns (after recording)
//   GRIV_TEST_MAPI_ADDRESS_RESULT code MAPIAddress returns
//   GRIV_TEST_MAPI_ADDRESS_ADD    "class:name;class:name" appended to what MAPIAddress returns
//   GRIV_TEST_MAPI_COPY_DIR       folder that receives a copy of every attachment sent ("<n>-<file name>")
//   GRIV_TEST_MAPI_SEND_DELAY_MS  MAPISendMail takes this long (as a client busy with its own dialog would)
#include <windows.h>

#include <mapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "call_log.h"
#include "mail/mapi_unicode_win.h"

namespace {

using namespace griv_test_mail;

std::mutex lock;
std::set<void*> blocks;  // handed out, not yet freed
std::set<LHANDLE> sessions;
LHANDLE nextSession = 0x5E55;

std::string Utf8(const wchar_t* w) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, w, -1, out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring Wide(const char* s, UINT codePage) {
  const int n = MultiByteToWideChar(codePage, 0, s, -1, nullptr, 0);
  std::wstring out(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) MultiByteToWideChar(codePage, 0, s, -1, out.data(), n);
  return out;
}
std::wstring Wide(const wchar_t* s, UINT) { return s; }

class Record {
 public:
  explicit Record(const char* verb) : line_(verb) {}
  Record& Text(const char* key, const char* value) {
    if (value) Raw(key, Escape(value, std::strlen(value)));
    return *this;
  }
  Record& Text(const char* key, const wchar_t* value) {
    if (value) Raw(key, Escape(Utf8(value)));
    return *this;
  }
  Record& Num(const char* key, unsigned long long v) { return Raw(key, std::to_string(v)); }
  Record& Hex(const char* key, unsigned long v) {
    char h[16];
    std::snprintf(h, sizeof h, "0x%lX", v);
    return Raw(key, h);
  }
  Record& Raw(const char* key, const std::string& value) {
    line_ += '\t';
    line_ += key;
    line_ += '=';
    line_ += value;
    return *this;
  }
  ~Record() { AppendLine("GRIV_TEST_MAPI_LOG", line_); }

 private:
  std::string line_;
};

std::string Lower(const char* s) {
  std::string out = s ? s : "";
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool Starts(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

void* Allocate(size_t n) {
  void* p = std::calloc(1, n);
  std::lock_guard<std::mutex> g(lock);
  blocks.insert(p);
  return p;
}

// One block holding the records and the texts they point to.
struct Entry {
  ULONG recipClass;
  std::string name;
  bool hasAddress;
  std::string address;
};

lpMapiRecipDesc MakeRecords(const std::vector<Entry>& entries) {
  size_t size = sizeof(MapiRecipDesc) * (entries.empty() ? 1 : entries.size());
  for (const Entry& e : entries) size += e.name.size() + 1 + 2 * (e.address.size() + 1) + 4;
  char* block = static_cast<char*>(Allocate(size));
  auto* recs = reinterpret_cast<lpMapiRecipDesc>(block);
  char* text = block + sizeof(MapiRecipDesc) * (entries.empty() ? 1 : entries.size());
  auto put = [&](const std::string& s) {
    char* at = text;
    std::memcpy(text, s.c_str(), s.size() + 1);
    text += s.size() + 1;
    return at;
  };
  for (size_t i = 0; i < entries.size(); ++i) {
    const Entry& e = entries[i];
    recs[i].ulRecipClass = e.recipClass;
    recs[i].lpszName = put(e.name);
    if (e.hasAddress) {
      recs[i].lpszAddress = put(e.address);
      std::string eid = "EID:" + e.address;
      recs[i].ulEIDSize = static_cast<ULONG>(eid.size());
      recs[i].lpEntryID = put(eid);
    }
  }
  return recs;
}

std::string HexBytes(const void* p, ULONG n) {
  std::string out;
  const auto* b = static_cast<const unsigned char*>(p);
  for (ULONG i = 0; i < n; ++i) {
    char h[4];
    std::snprintf(h, sizeof h, "%02X", b[i]);
    out += h;
  }
  return out;
}

template <class Recip>
void LogRecipient(const char* verb, const Recip& r) {
  Record rec(verb);
  rec.Num("class", r.ulRecipClass).Text("name", r.lpszName).Text("address", r.lpszAddress);
  if (r.lpEntryID) rec.Raw("eid", HexBytes(r.lpEntryID, r.ulEIDSize));
}

uint64_t Fnv1a(const std::vector<char>& data) {
  uint64_t h = 1469598103934665603ull;
  for (char c : data) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  return h;
}

bool ReadAll(const std::wstring& path, std::vector<char>& out) {
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return false;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
  std::fclose(f);
  return true;
}

bool KnownSession(LHANDLE s) {
  std::lock_guard<std::mutex> g(lock);
  return sessions.count(s) != 0;
}

template <class Message>
ULONG Send(LHANDLE session, ULONG_PTR ui, Message* m, FLAGS flags, bool wide) {
  const std::string delay = Env("GRIV_TEST_MAPI_SEND_DELAY_MS");
  if (!delay.empty()) Sleep(std::strtoul(delay.c_str(), nullptr, 10));
  std::string want = Env("GRIV_TEST_MAPI_SEND_RESULT");
  ULONG rc = want.empty() ? SUCCESS_SUCCESS : std::strtoul(want.c_str(), nullptr, 10);
  if (!KnownSession(session)) rc = MAPI_E_INVALID_SESSION;
  const UINT codePage = wide ? CP_UTF8 : CP_ACP;  // of the texts as logged
  {
    Record r("MAPISendMail");
    r.Num("session", session).Num("ui", ui).Hex("flags", flags).Num("wide", wide);
    if (m) {
      r.Hex("msgflags", m->flFlags).Text("subject", m->lpszSubject).Text("note", m->lpszNoteText);
      r.Text("type", m->lpszMessageType).Text("date", m->lpszDateReceived).Text("conversation", m->lpszConversationID);
      r.Num("originator", m->lpOriginator != nullptr).Num("recips", m->nRecipCount);
      r.Num("recipsptr", m->lpRecips != nullptr).Num("files", m->nFileCount).Num("filesptr", m->lpFiles != nullptr);
    }
  }
  if (m && m->lpRecips)
    for (ULONG i = 0; i < m->nRecipCount; ++i) LogRecipient("recip", m->lpRecips[i]);
  if (m && m->lpFiles) {
    const std::string copyDir = Env("GRIV_TEST_MAPI_COPY_DIR");
    for (ULONG i = 0; i < m->nFileCount; ++i) {
      const auto& f = m->lpFiles[i];
      Record r("file");
      r.Num("position", f.nPosition).Text("path", f.lpszPathName).Text("name", f.lpszFileName);
      std::vector<char> data;
      bool exists = f.lpszPathName && ReadAll(Wide(f.lpszPathName, CP_ACP), data);
      r.Num("exists", exists);
      if (exists) {
        char h[24];
        std::snprintf(h, sizeof h, "%016llX", static_cast<unsigned long long>(Fnv1a(data)));
        r.Num("size", data.size()).Raw("fnv", h);
        if (!copyDir.empty()) {
          const std::wstring base = f.lpszFileName && *f.lpszFileName ? Wide(f.lpszFileName, CP_ACP) : L"attachment";
          const std::wstring copy = Wide(copyDir.c_str(), CP_ACP) + L"\\" + std::to_wstring(i + 1) + L"-" + base;
          if (FILE* out = _wfopen(copy.c_str(), L"wb")) {
            if (!data.empty()) std::fwrite(data.data(), 1, data.size(), out);
            std::fclose(out);
            const int n = WideCharToMultiByte(codePage, 0, copy.c_str(), -1, nullptr, 0, nullptr, nullptr);
            std::string logged(n > 0 ? n - 1 : 0, '\0');
            if (n > 1) WideCharToMultiByte(codePage, 0, copy.c_str(), -1, logged.data(), n, nullptr, nullptr);
            r.Raw("copy", Escape(logged));
          }
        }
      }
    }
  }
  Record("sent").Num("result", rc);
  return rc;
}

}  // namespace

extern "C" {

// Lets a test see that this client, not the system's, was loaded.
int WINAPI GrivTestMailClient() { return 1; }

int WINAPI GrivTestMapiOutstanding() {
  std::lock_guard<std::mutex> g(lock);
  return static_cast<int>(blocks.size());
}

int WINAPI GrivTestMapiOpenSessions() {
  std::lock_guard<std::mutex> g(lock);
  return static_cast<int>(sessions.size());
}

ULONG WINAPI MAPILogon(ULONG_PTR ui, LPSTR profile, LPSTR password, FLAGS flags, ULONG, LPLHANDLE session) {
  const std::string mode = Env("GRIV_TEST_MAPI_LOGON");
  ULONG rc = SUCCESS_SUCCESS;
  if (mode == "never" || (mode == "ui" && !(flags & MAPI_LOGON_UI))) rc = MAPI_E_LOGON_FAILURE;
  LHANDLE s = 0;
  if (rc == SUCCESS_SUCCESS) {
    std::lock_guard<std::mutex> g(lock);
    s = nextSession++;
    sessions.insert(s);
  }
  if (session) *session = s;
  Record("MAPILogon").Text("profile", profile).Text("password", password).Hex("flags", flags).Num("ui", ui).Num("session", s).Num("result", rc);
  return rc;
}

ULONG WINAPI MAPILogoff(LHANDLE session, ULONG_PTR, FLAGS flags, ULONG) {
  size_t erased;
  {
    std::lock_guard<std::mutex> g(lock);
    erased = sessions.erase(session);
  }
  ULONG rc = erased ? SUCCESS_SUCCESS : MAPI_E_INVALID_SESSION;
  Record("MAPILogoff").Num("session", session).Hex("flags", flags).Num("result", rc);
  return rc;
}

ULONG WINAPI MAPIResolveName(LHANDLE session, ULONG_PTR, LPSTR name, FLAGS flags, ULONG, lpMapiRecipDesc* out) {
  if (out) *out = nullptr;
  const std::string line = name ? name : "";
  const std::string low = Lower(name);
  ULONG rc = SUCCESS_SUCCESS;
  Entry e{MAPI_TO, line, true, "SMTP:" + line};
  size_t open = line.find('['), close = line.find(']');
  if (!KnownSession(session)) {
    rc = MAPI_E_INVALID_SESSION;
  } else if (low == "ann") {
    e = {MAPI_TO, "Ann Example", true, "SMTP:ann@example.com"};
  } else if (Starts(low, "ambig")) {
    if (flags & MAPI_DIALOG)
      e = {MAPI_TO, "Chosen One", true, "SMTP:chosen@example.com"};
    else
      rc = MAPI_E_AMBIGUOUS_RECIPIENT;
  } else if (Starts(low, "unknown")) {
    rc = MAPI_E_UNKNOWN_RECIPIENT;
  } else if (Starts(low, "fail")) {
    rc = MAPI_E_FAILURE;
  } else if (Starts(low, "noaddr")) {
    e.hasAddress = false;
  } else if (open != std::string::npos && close != std::string::npos && open < close) {
    if (low.find("keep") == std::string::npos) {
      std::string inside = line.substr(open + 1, close - open - 1);
      size_t colon = inside.rfind(':');
      e.name = colon == std::string::npos ? inside : inside.substr(colon + 1);
      e.address = inside;
    }
  }
  if (rc == SUCCESS_SUCCESS && out) *out = MakeRecords({e});
  Record("MAPIResolveName").Num("session", session).Text("name", name).Hex("flags", flags).Num("result", rc);
  return rc;
}

ULONG WINAPI MAPISendMail(LHANDLE session, ULONG_PTR ui, lpMapiMessage m, FLAGS flags, ULONG) {
  return Send(session, ui, m, flags, false);
}

ULONG WINAPI MAPISendMailW(LHANDLE session, ULONG_PTR ui, griv::MapiMessageW* m, FLAGS flags, ULONG) {
  return Send(session, ui, m, flags, true);
}

ULONG WINAPI MAPIAddress(LHANDLE session, ULONG_PTR ui, LPSTR caption, ULONG editFields, LPSTR labels, ULONG count,
                         lpMapiRecipDesc recips, FLAGS flags, ULONG, LPULONG newCount, lpMapiRecipDesc* newRecips) {
  if (newCount) *newCount = 0;
  if (newRecips) *newRecips = nullptr;
  std::string want = Env("GRIV_TEST_MAPI_ADDRESS_RESULT");
  ULONG rc = want.empty() ? SUCCESS_SUCCESS : std::strtoul(want.c_str(), nullptr, 10);
  if (!KnownSession(session)) rc = MAPI_E_INVALID_SESSION;
  Record("MAPIAddress")
      .Num("session", session)
      .Text("caption", caption)
      .Num("editfields", editFields)
      .Text("labels", labels)
      .Num("recips", count)
      .Num("recipsptr", recips != nullptr)
      .Hex("flags", flags);
  std::vector<Entry> back;
  for (ULONG i = 0; recips && i < count; ++i) {
    LogRecipient("given", recips[i]);
    back.push_back({recips[i].ulRecipClass, recips[i].lpszName ? recips[i].lpszName : "",
                    recips[i].lpszAddress != nullptr, recips[i].lpszAddress ? recips[i].lpszAddress : ""});
  }
  std::string add = Env("GRIV_TEST_MAPI_ADDRESS_ADD");
  for (size_t pos = 0; pos < add.size();) {
    size_t end = add.find(';', pos);
    if (end == std::string::npos) end = add.size();
    std::string item = add.substr(pos, end - pos);
    size_t colon = item.find(':');
    if (colon != std::string::npos)
      back.push_back({static_cast<ULONG>(std::strtoul(item.c_str(), nullptr, 10)), item.substr(colon + 1), true,
                      "SMTP:" + item.substr(colon + 1)});
    pos = end + 1;
  }
  if (rc == SUCCESS_SUCCESS) {
    if (newRecips) *newRecips = MakeRecords(back);
    if (newCount) *newCount = static_cast<ULONG>(back.size());
  }
  Record("addressed").Num("result", rc).Num("returned", rc == SUCCESS_SUCCESS ? back.size() : 0);
  return rc;
}

ULONG WINAPI MAPIFreeBuffer(LPVOID p) {
  bool known;
  {
    std::lock_guard<std::mutex> g(lock);
    known = blocks.erase(p) != 0;
  }
  if (known) std::free(p);
  Record("MAPIFreeBuffer").Num("known", known);
  return SUCCESS_SUCCESS;
}

ULONG WINAPI MAPIFindNext(LHANDLE, ULONG_PTR, LPSTR, LPSTR, FLAGS, ULONG, LPSTR) {
  Record("MAPIFindNext");
  return MAPI_E_NOT_SUPPORTED;
}
ULONG WINAPI MAPIReadMail(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG, lpMapiMessage* out) {
  if (out) *out = nullptr;
  Record("MAPIReadMail");
  return MAPI_E_NOT_SUPPORTED;
}
ULONG WINAPI MAPIDeleteMail(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG) {
  Record("MAPIDeleteMail");
  return MAPI_E_NOT_SUPPORTED;
}
ULONG WINAPI MAPISaveMail(LHANDLE, ULONG_PTR, lpMapiMessage, FLAGS, ULONG, LPSTR) {
  Record("MAPISaveMail");
  return MAPI_E_NOT_SUPPORTED;
}

}  // extern "C"
