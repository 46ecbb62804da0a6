#include "mail/mail_message.h"

#include <optional>

#include "base/file_io.h"
#include "base/scope_exit.h"
#include "mail/mapi_rules.h"
#include "base/strings.h"

namespace griv {

std::string KilobytesText(int64_t bytes, std::string_view thousandsSep, std::string_view decimalSep) {
  if (bytes < 0) bytes = 0;
  // Tenths of a kilobyte, rounded half up, without overflowing near the top of the range.
  const int64_t whole = bytes / 1024, rest = bytes % 1024;
  const int64_t tenths = whole * 10 + (rest * 10 + 512) / 1024;
  const std::string digits = std::to_string(tenths / 10);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i && (digits.size() - i) % 3 == 0) out += thousandsSep;
    out += digits[i];
  }
  out += decimalSep;
  out += static_cast<char>('0' + tenths % 10);
  return out;
}

namespace {
const std::string kSizeOpen = std::string(kNoBreakSpace) + "   (";
}

std::string AttachmentEntryText(std::string_view path, int64_t bytes, std::string_view thousandsSep,
                                std::string_view decimalSep) {
  return std::string(path) + kSizeOpen + KilobytesText(bytes, thousandsSep, decimalSep) + " kb)";
}

std::string AttachmentEntryPath(std::string_view entry) {
  size_t at = entry.rfind(kSizeOpen);
  if (at == std::string_view::npos) at = entry.find(kNoBreakSpace);
  return std::string(entry.substr(0, at));
}

bool EncryptsAttachment(std::string_view path, bool encryptAll, bool encryptImages) {
  const std::string x = UpperCase(RightStr(path, 4));
  if (encryptAll) return x != ".KTX";
  // PNG belongs with the picture kinds the program writes: a user who asked
  // for the images to be encrypted must not see one go out in the clear.
  return encryptImages && (x == ".BMP" || x == ".JPG" || x == "JPEG" || x == ".PNG");
}

std::string EncryptedAttachmentName(std::string_view workFolder, std::string_view path,
                                    std::vector<std::string>& usedNames, unsigned codePage) {
  std::string name = ExtractFileName(path);
  bool numbered = false;
  if (!FitsCodePage(name, codePage)) {
    std::optional<std::string> latin = LatinSpelling(name);
    numbered = !latin || latin->size() == ExtractFileExt(*latin).size();  // nothing left before the kind
    name = numbered ? LatinSpelling(ExtractFileExt(name)).value_or("") : *latin;
  }
  const std::string ext = numbered ? name : ExtractFileExt(name);
  const std::string base = numbered ? "attachment" : name.substr(0, name.size() - ext.size());
  auto taken = [&](const std::string& n) {
    for (const std::string& u : usedNames)
      if (SameText(u, n)) return true;
    return false;
  };
  std::string candidate = numbered ? base + "-1" + ext : name;
  for (int n = 2; taken(candidate); ++n)
    candidate = numbered ? base + "-" + std::to_string(n) + ext : base + " (" + std::to_string(n) + ")" + ext;
  usedNames.push_back(candidate);
  return std::string(workFolder) + candidate + ".ktx";
}

std::vector<std::string> LossyParts(const MailDraft& draft, bool unicodeClient, unsigned codePage) {
  std::vector<std::string> parts;
  if (!FitsCodePage(draft.to + draft.cc + draft.bcc, codePage)) parts.push_back("recipients");
  if (!unicodeClient && !FitsCodePage(draft.subject, codePage)) parts.push_back("subject");
  if (!unicodeClient && !FitsCodePage(draft.body, codePage)) parts.push_back("message text");
  return parts;
}

std::string LostCharactersQuestion(const std::vector<std::string>& parts) {
  std::string list;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) list += i + 1 == parts.size() ? " and the " : ", the ";
    list += parts[i];
  }
  return "Some characters of the " + list +
         " cannot be passed to your mail program: they will arrive as \"?\".\r\n\r\nSend anyway?";
}

PreparedMail PrepareMail(const MailDraft& draft, std::string_view workFolder, std::string_view key, KtxFormat format,
                         const KtxCiphers& ciphers, const std::function<void(const std::string&)>& status) {
  auto say = [&](const char* text) {
    if (status) status(text);
  };
  PreparedMail mail;
  if (!draft.attachments.empty()) {
    if (draft.NeedsKey()) say(kStatusEncrypting);
    // A send that fails leaves none of its encrypted copies behind: nothing
    // was sent, and the next try writes them again.
    std::vector<std::string> written;
    ScopeExit takeBack([&] {
      for (const std::string& f : written) DeleteFileUtf8(f);
    });
    std::vector<std::string> used;
    for (const std::string& path : draft.attachments) {
      if (path.empty()) continue;
      if (!EncryptsAttachment(path, draft.encryptAll, draft.encryptImages)) {
        mail.attachments.push_back(path);
        continue;
      }
      std::string target = EncryptedAttachmentName(workFolder, path, used);
      EncryptKtxFile(format, key, path, target, ciphers);
      written.push_back(target);
      mail.attachments.push_back(std::move(target));
    }
    takeBack.Dismiss();
  }
  say(kStatusPreparing);
  mail.to = SplitRecipients(draft.to);
  mail.cc = SplitRecipients(draft.cc);
  mail.bcc = SplitRecipients(draft.bcc);
  mail.note = draft.body;
  mail.subject = CutCharacters(draft.subject, mapi::kShortStringLength);
  return mail;
}

}  // namespace griv
