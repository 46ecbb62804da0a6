// Mail through Simple MAPI: the mail client's mapi32 library, found once per
// process, and TEmail, the component that logs on, resolves recipients, shows
// the address book and sends a message with attachments.
#pragma once
#include <windows.h>

#include <mapi.h>

#include <array>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "mail/mapi_rules.h"
#include "mail/mapi_unicode_win.h"

namespace griv {

struct PreparedMail;

class EMapiDllError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EMapiUnavailable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr char kMapiDllErrorText[] = "GetProcAddress for MAPI.DLL function(s) failed";
inline constexpr char kMapiUnavailableText[] = "MAPI services are not available on this system";

// Whether the system says a Simple MAPI client is installed: the Windows
// Messaging Subsystem's "MAPI" value is exactly "1" (on systems before NT
// 3.51: [Mail] MAPI=1 in win.ini).
bool MapiInstalled();

// The mail client's library and its ten entry points.
class MapiLibrary {
 public:
  MapiLibrary() = default;
  ~MapiLibrary();
  MapiLibrary(const MapiLibrary&) = delete;
  MapiLibrary& operator=(const MapiLibrary&) = delete;

  // Checks the installation, loads the first of names that loads (error boxes
  // of the loader suppressed) and looks up the entry points. Never throws:
  // when an entry point is missing the library is released and stays
  // unavailable, with EntryPointMissing() telling why.
  void Load(const std::vector<std::wstring>& names = {L"mapi32", L"mapi32.dll"});

  bool Available() const { return available_; }
  bool EntryPointMissing() const { return entryPointMissing_; }
  HMODULE Module() const { return module_; }

  // The process's library, loaded on first use.
  static MapiLibrary& Process();

  LPMAPIFINDNEXT FindNext = nullptr;
  LPMAPILOGOFF Logoff = nullptr;
  LPMAPILOGON Logon = nullptr;
  LPMAPISENDMAIL SendMail = nullptr;
  LPMAPIREADMAIL ReadMail = nullptr;
  LPMAPIDELETEMAIL DeleteMail = nullptr;
  LPMAPIRESOLVENAME ResolveName = nullptr;
  LPMAPIFREEBUFFER FreeBuffer = nullptr;
  LPMAPIADDRESS Address = nullptr;
  LPMAPISAVEMAIL SaveMail = nullptr;
  // Optional: a client without it is sent texts in the ANSI code page.
  LPMAPISENDMAILW SendMailW = nullptr;

 private:
  void Release();
  bool available_ = false;
  bool entryPointMissing_ = false;
  HMODULE module_ = nullptr;
};

// Loads the process's library now (start-up), so "MAPI not available" is
// known before any mail window. Reports nothing: a broken client only makes
// MAPI unavailable, and CheckMapi then names the reason.
void LoadMapi();

class TEmail {
 public:
  // library: the process's library unless a test hands in its own.
  explicit TEmail(MapiLibrary* library = nullptr);
  virtual ~TEmail();  // logs off an open session, ignoring failures
  TEmail(const TEmail&) = delete;
  TEmail& operator=(const TEmail&) = delete;

  // ---- properties
  bool Acknowledge = false;            // read receipt
  std::vector<std::string> Attachment;  // full paths
  std::vector<std::string> Recipient;   // To
  std::vector<std::string> CC;
  std::vector<std::string> Bcc;
  bool ShowDialog = false;
  bool TruncAttFN = true;
  bool UnreadOnly = false;  // kept for the layout only
  bool UseDefProfile = false;
  bool UseLongMessageID = true;  // kept for the layout only
  // SendMail sends nothing when a recipient line cannot be resolved (it
  // returns that line's code); otherwise such a line is only left out.
  bool StopOnUnresolved = false;

  void SetDownLoadFirst(bool on);
  void SetNewSession(bool on);
  bool MapiAvail() const { return lib_.Available(); }
  // Whether subject, text and attachment names reach the client whole in
  // any script (MAPISendMailW) rather than in the ANSI code page.
  bool UnicodeClient() const { return lib_.SendMailW != nullptr; }
  // The recipient lines the last SendMail or Address could not resolve.
  const std::vector<std::string>& Unresolved() const { return unresolved_; }

  // Short strings: longer values are cut to 255 characters.
  void SetPassword(std::string_view v);
  const std::string& Profile() const { return profile_; }
  void SetProfile(std::string_view v);
  const std::string& Subject() const { return subject_; }
  void SetSubject(std::string_view v);
  const std::string& Text() const { return text_; }
  void SetText(std::string_view v);

  uint32_t LogonFlags() const { return logonFlags_; }
  LHANDLE Session() const { return session_; }

  // ---- events, raised only when set
  using TNotifyEvent = std::function<void(TEmail& sender)>;
  TNotifyEvent OnBeforeLogon, OnAfterLogon, OnBeforeLogoff, OnAfterLogoff;
  TNotifyEvent OnBeforeSendMail, OnAfterSendMail;
  std::function<void(TEmail& sender, uint32_t errorCode)> OnMapiError;

  // ---- operations; all but SetLongText start with CheckMapi and return the MAPI code
  virtual void CheckMapi();  // throws EMapiUnavailable (or EMapiDllError for a broken client)
  uint32_t Logon();
  uint32_t Logoff();
  uint32_t SendMail();
  uint32_t Address();
  // Replaces the note text by one of any length (none for null); empties Text.
  size_t SetLongText(const char* text);

  virtual std::string TruncateFileName(const std::string& fileName);

 protected:
  virtual void DoBeforeLogon() { Raise(OnBeforeLogon); }
  virtual void DoAfterLogon() { Raise(OnAfterLogon); }
  virtual void DoBeforeLogoff() { Raise(OnBeforeLogoff); }
  virtual void DoAfterLogoff() { Raise(OnAfterLogoff); }
  virtual void DoBeforeSendMail() { Raise(OnBeforeSendMail); }
  virtual void DoAfterSendMail() { Raise(OnAfterSendMail); }
  virtual void DoMapiError(uint32_t code) {
    if (OnMapiError) OnMapiError(*this, code);
  }

 private:
  struct Recipients;
  void Raise(const TNotifyEvent& e) {
    if (e) e(*this);
  }
  void ReadDefaultProfile();
  // False, after the error event, when the three lists hold more than MAPI takes.
  bool RecipientsFit();
  void ResolveRecipients(std::vector<std::string>& list, uint32_t recipClass, Recipients& out);
  void ResolveAllRecipients(Recipients& out);  // To, CC, then Bcc
  void LogoffQuietly() noexcept;
  // The attachment's name as the recipient sees it.
  std::string AttachedName(const std::string& path);
  // Subject, note text, message type and flags into either kind of message;
  // texts holds them converted for the client.
  template <class Message, class String, class Convert>
  void PutTexts(Message& msg, std::array<String, 3>& texts, Convert convert) const;
  // Builds the message in the client's character set and hands it over.
  uint32_t SendAnsi(Recipients& recips, const std::vector<std::string>& attachments, uint32_t sendFlags);
  uint32_t SendWide(Recipients& recips, const std::vector<std::string>& attachments, uint32_t sendFlags);

  MapiLibrary& lib_;
  LHANDLE session_ = 0;
  uint32_t logonFlags_ = 0;
  std::string password_, profile_, subject_, text_;
  std::string longText_;
  bool hasLongText_ = false;
  std::string messageId_, messageType_;  // empty: no message type is passed
  std::vector<std::string> unresolved_;
  uint32_t unresolvedCode_ = mapi::kSuccess;  // of the first line in unresolved_
};

// Hands a prepared message to the component: lists, note, subject, full
// attachment names; then SendMail. status gets "Sending message".
uint32_t SendPreparedMail(TEmail& email, const PreparedMail& mail,
                          const std::function<void(const std::string&)>& status = {});

}  // namespace griv
