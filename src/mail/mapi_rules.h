// Rules of the mail component that need no mail client: attachment name
// shortening, recipient lines and bracketed addresses, and the fixed-size text
// buffers handed to Simple MAPI. Texts are UTF-8 unless a function says bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace griv {

// Simple MAPI's documented values, kept here so the rules stay portable.
namespace mapi {
inline constexpr uint32_t kSuccess = 0;
inline constexpr uint32_t kUserAbort = 1;
inline constexpr uint32_t kFailure = 2;
inline constexpr uint32_t kLogonFailure = 3;
inline constexpr uint32_t kTooManyFiles = 9;
inline constexpr uint32_t kTooManyRecipients = 10;
inline constexpr uint32_t kAttachmentNotFound = 11;
inline constexpr uint32_t kUnknownRecipient = 14;
inline constexpr uint32_t kAmbiguousRecipient = 21;

inline constexpr uint32_t kLogonUI = 0x1;
inline constexpr uint32_t kNewSession = 0x2;
inline constexpr uint32_t kDialog = 0x8;
inline constexpr uint32_t kForceDownload = 0x1000;
inline constexpr uint32_t kReceiptRequested = 0x2;  // message flag

inline constexpr uint32_t kTo = 1;
inline constexpr uint32_t kCC = 2;
inline constexpr uint32_t kBCC = 3;

// From this many records on, an array of them would pass 2 GB.
inline constexpr size_t kMaxRecords = 89478486;

// Names, addresses and attachment names travel in buffers of this size:
// 256 bytes of text and the terminator.
inline constexpr size_t kTextBuffer = 257;
// Subject, note text, profile and password are short strings.
inline constexpr size_t kShortStringLength = 255;
}  // namespace mapi

inline constexpr char kMapiSendFailed[] = "MAPI Sendmail failed.";

// Attachment name a mail client with 8.3-minded storage can cope with:
// unchanged up to 12 characters, else the 8 characters before a late first
// dot and the rest, at most the last 12 characters, no leading dots.
std::string TruncateFileName(std::string_view fileName);

// A line such as "[SMTP:someone]" whose resolved display name has lost the
// brackets goes out as the line without its first "[" and first "]", as name
// and address alike; nullopt when the resolved record is to be used instead.
std::optional<std::string> BracketedAddress(std::string_view line, std::string_view resolvedName);

// Recipient lines of a typed text: ";" separates, commas do not; parts are
// trimmed of blanks and control characters and empty ones are dropped.
std::vector<std::string> SplitRecipients(std::string_view text);
std::string JoinRecipients(const std::vector<std::string>& lines);

// The text without leading and trailing characters up to the blank.
std::string_view TrimBlanks(std::string_view s);

// The first n characters of a UTF-8 text (never splits a character).
std::string CutCharacters(std::string_view utf8, size_t n);

// Whether the code page (kAnsiCodePage: the system's) holds every character
// of the text exactly.
bool FitsCodePage(std::string_view utf8, unsigned codePage);

// The text spelt in plain ASCII where that is simple: Latin letters lose
// their marks (café -> cafe, Straße -> Strasse), Cyrillic is transliterated
// (снимок -> snimok); nullopt when a character has no such spelling (CJK).
std::optional<std::string> LatinSpelling(std::string_view utf8);

// What the user is told when the mail client refused a message: the code
// and, for the documented ones, what it means.
std::string SendFailedText(uint32_t code);
// What the user is told when recipient lines found no one in the client.
std::string UnresolvedText(const std::vector<std::string>& lines);

// Copies at most capacity-1 bytes of src into dst and terminates it; returns
// the bytes copied. A text that does not fit is cut, never written past the
// buffer. With isLeadByte (double-byte code pages) a cut never separates a
// lead byte from its trail byte.
size_t CopyBounded(std::string_view src, char* dst, size_t capacity, bool (*isLeadByte)(unsigned char) = nullptr);

}  // namespace griv
