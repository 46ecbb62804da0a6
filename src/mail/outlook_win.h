// The other road for mail: a new Outlook mail item through automation, with
// the image attached, shown for the user to complete and send.
#pragma once
#include <stdexcept>
#include <string>

namespace griv {

class EOutlookError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr wchar_t kOutlookProgId[] = L"Outlook.Application";
inline constexpr char kUnableToStartOutlook[] = "Unable to start Outlook";
inline constexpr char kOutlookNotInstalled[] = "Outlook is not installed on this computer.";

// Takes the running Outlook (else starts one), creates a mail item, attaches
// the file (none when empty) and displays the item modally. Any failure
// throws EOutlookError: "Unable to start Outlook: " and the system's reason
// (kOutlookNotInstalled when no "Outlook.Application" is registered).
// Every object is released on every road; COM is started for the call when
// the thread has not done so.
void MailWithOutlook(const std::string& attachment);

}  // namespace griv
