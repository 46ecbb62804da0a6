// The send-mail window's rules without the window: attachment list entries,
// which attachments get encrypted, and the message made ready for the mail
// component from what the user filled in.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/codepage.h"
#include "crypto/ktx_file.h"

namespace griv {

// U+00A0 (no-break space) in UTF-8: it ends the path in an attachment entry
// and becomes the single UTF-16 unit 0x00A0 in the list control.
inline constexpr std::string_view kNoBreakSpace = "\xC2\xA0";

inline constexpr char kStatusEncrypting[] = "Encrypting Attachments";
inline constexpr char kStatusPreparing[] = "Preparing message";
inline constexpr char kStatusSending[] = "Sending message";
inline constexpr char kStatusCancelled[] = "Cancelled";

// bytes / 1024 with one decimal (rounded half up) and the thousands grouped:
// 1536 -> "1.5", 1048576 -> "1,024.0". Negative sizes (no file) count as 0.
std::string KilobytesText(int64_t bytes, std::string_view thousandsSep = ",", std::string_view decimalSep = ".");

// "<path><U+00A0>   (<kilobytes> kb)"; bytes < 0 (file not found) shows 0.0.
std::string AttachmentEntryText(std::string_view path, int64_t bytes, std::string_view thousandsSep = ",",
                                std::string_view decimalSep = ".");
// The path of an entry: the text before the no-break space that opens the
// size, so a path that itself holds a no-break space survives.
std::string AttachmentEntryPath(std::string_view entry);

// Whether a file goes out encrypted: with "Encrypt All" anything not already
// ".KTX"; otherwise with "Encrypt Images" the picture kinds, judged (like the
// ".KTX" test) by the last four characters of the path, upper-cased.
bool EncryptsAttachment(std::string_view path, bool encryptAll, bool encryptImages);

// What the send-mail window holds when Send is pressed.
struct MailDraft {
  std::string to, cc, bcc;               // as typed, ";"-separated
  std::string subject;
  std::string body;                      // lines separated by CR LF
  std::vector<std::string> attachments;  // full paths, in list order
  bool encryptAll = false;
  bool encryptImages = false;

  // A key must be asked for before PrepareMail.
  bool NeedsKey() const { return encryptAll || encryptImages; }
};

// The message as the mail component sends it.
struct PreparedMail {
  std::vector<std::string> to, cc, bcc;
  std::string subject;                   // at most 255 characters
  std::string note;
  std::vector<std::string> attachments;  // originals, or their encrypted copies
};

// Encrypted copy of an attachment in the work folder: its file name plus
// ".ktx". A name already used in this send gets " (2)", " (3)", ... before its
// extension, so two files of the same name from different folders both go out.
// Every mail client takes the name: one the code page cannot hold is spelt in
// Latin letters (snimok.bmp.ktx), else called attachment-1.bmp.ktx, -2, ...;
// the extension, which tells the recipient the kind, stays.
std::string EncryptedAttachmentName(std::string_view workFolder, std::string_view path,
                                    std::vector<std::string>& usedNames, unsigned codePage = kAnsiCodePage);

// The parts of a draft with characters the mail client would lose (they
// arrive as "?"): the recipients always, as the client resolves them in the
// code page; the subject and the text only when it takes no Unicode.
std::vector<std::string> LossyParts(const MailDraft& draft, bool unicodeClient, unsigned codePage = kAnsiCodePage);
// The question asked before such a draft is sent (parts from LossyParts).
std::string LostCharactersQuestion(const std::vector<std::string>& parts);

// Builds the message. Attachments to encrypt are written in format with key
// (UTF-8) into workFolder (ending with a separator); the ciphers' keys are
// cleared afterwards whatever happens. Failures propagate (a missing file, an
// empty or unusable key: EFileError or EFileIO / EKeyError) and then nothing
// is to be sent, and no encrypted copy of this call is left in workFolder.
// status receives the progress texts.
PreparedMail PrepareMail(const MailDraft& draft, std::string_view workFolder, std::string_view key, KtxFormat format,
                         const KtxCiphers& ciphers, const std::function<void(const std::string&)>& status = {});

}  // namespace griv
