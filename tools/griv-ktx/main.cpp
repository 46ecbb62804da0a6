// griv-ktx: encrypts and decrypts files in the program's .KTX formats: KTX2
// (AES-256-GCM, key from PBKDF2-HMAC-SHA256 over the key's UTF-8 bytes) and the
// older DES-CBC files (fixed IV text, key from the text's code-page bytes).
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "base/codepage.h"
#include "base/file_io.h"
#include "crypto/des.h"
#include "crypto/ktx_file.h"
#include "crypto/ktx_names.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "base/utf.h"
#endif

namespace {

#ifdef _WIN32
constexpr const char* kDefaultCodePageText = "the system's ANSI code page, as GRIV uses";
constexpr unsigned kDefaultCodePage = griv::kAnsiCodePage;
#else
constexpr const char* kDefaultCodePageText = "1252 (Western European)";
constexpr unsigned kDefaultCodePage = griv::kDefaultKeyCodePage;
#endif

std::string UsageText() {
  return std::string(
             "Usage: griv-ktx encrypt [--format aes|des] KEY-OPTION [--codepage N] IN OUT\n"
             "       griv-ktx decrypt KEY-OPTION [--codepage N] IN OUT\n"
             "KEY-OPTION is one of\n"
             "  --key TEXT       the key on the command line\n"
             "  --key-file F     the key is the content of file F (UTF-8)\n"
             "  --key-stdin      the key is read from standard input (UTF-8)\n"
             "One trailing line break is removed from a key read from a file or input;\n"
             "those two keep the key out of the process list and the shell history.\n"
             "\n"
             "Encrypts IN into OUT, or decrypts it, in GRIV's .KTX formats. The key has\n"
             "8 characters or more and is case-sensitive. OUT is replaced only when the\n"
             "whole operation succeeds; a wrong key or a damaged file leaves nothing.\n"
             "\n"
             "--format aes (the default) writes a KTX2 file: AES-256-GCM with the key\n"
             "derived from the UTF-8 bytes of the key text, any characters, exactly as\n"
             "given; any change to the file is detected. --format des writes the DES\n"
             "file of older GRIV versions, for a reader who has only such a version.\n"
             "decrypt tells the format from the file itself.\n"
             "\n"
             "For DES, GRIV derives the key from the bytes of the text in the Windows\n"
             "code page, so the key is converted to code page N first (default: ") +
         kDefaultCodePageText +
         ").\n"
         "A DES key with a character that the code page cannot hold exactly is\n"
         "refused. --codepage has no effect on AES.\n"
         "\n"
         "Exit status: 0 on success, 1 when the operation fails (missing input,\n"
         "wrong key or damaged file, output not writable), 2 on bad usage or an\n"
         "unusable key.\n";
}

int Usage(const std::string& problem) {
  std::fprintf(stderr, "griv-ktx: %s\n\n%s", problem.c_str(), UsageText().c_str());
  return 2;
}

int Refuse(const std::string& problem) {
  std::fprintf(stderr, "griv-ktx: %s\n", problem.c_str());
  return 2;
}

size_t Utf8Length(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

void StripOneLineBreak(std::string& s) {
  if (!s.empty() && s.back() == '\n') {
    s.pop_back();
    if (!s.empty() && s.back() == '\r') s.pop_back();
  }
}

constexpr size_t kMaxKeyBytes = 64 * 1024;

bool ReadKeyStream(std::FILE* f, std::string& key) {
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    key.append(buf, n);
    if (key.size() > kMaxKeyBytes) return false;
  }
  return !std::ferror(f);
}

int Run(const std::vector<std::string>& args) {
  for (const auto& a : args)
    if (a == "--help" || a == "-h" || a == "/?") {
      std::fputs(UsageText().c_str(), stdout);
      return 0;
    }
  if (args.empty()) return Usage("no command given");
  const std::string& command = args[0];
  if (command != "encrypt" && command != "decrypt") return Usage("unknown command '" + command + "'");

  std::string key, keyFile;
  int keySources = 0;
  bool keyStdin = false;
  unsigned codePage = kDefaultCodePage;
  griv::KtxFormat format = griv::KtxFormat::Aes;
  std::vector<std::string> files;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    if (a == "--key") {
      if (!value(key)) return Usage("--key needs a value");
      ++keySources;
    } else if (a.rfind("--key=", 0) == 0) {
      key = a.substr(6);
      ++keySources;
    } else if (a == "--key-file") {
      if (!value(keyFile)) return Usage("--key-file needs a file name");
      ++keySources;
    } else if (a == "--key-stdin") {
      keyStdin = true;
      ++keySources;
    } else if (a == "--format") {
      std::string f;
      if (!value(f) || (f != "aes" && f != "des")) return Usage("--format needs aes or des");
      if (command != "encrypt") return Usage("--format is for encrypt only: decrypt reads it from the file");
      format = f == "des" ? griv::KtxFormat::Des : griv::KtxFormat::Aes;
    } else if (a == "--codepage") {
      std::string n;
      if (!value(n) || n.empty() || n.size() > 5 || n.find_first_not_of("0123456789") != std::string::npos)
        return Usage("--codepage needs a code page number, such as 1252");
      codePage = unsigned(std::stoul(n));
      if (codePage == 0) return Usage("--codepage needs a code page number, such as 1252");
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      return Usage("unknown option '" + a + "'");
    } else {
      files.push_back(a);
    }
  }
  if (keySources == 0) return Usage("a key is required (--key, --key-file or --key-stdin)");
  if (keySources > 1) return Usage("give the key only once");
  if (files.size() != 2) return Usage("expected an input and an output file");

  if (!keyFile.empty()) {
    griv::FilePtr f = griv::OpenFile(keyFile, "rb");
    if (!f || !ReadKeyStream(f.get(), key)) return Refuse("cannot read the key file '" + keyFile + "'");
    if (key.rfind("\xEF\xBB\xBF", 0) == 0) key.erase(0, 3);  // editors mark UTF-8 files so
    StripOneLineBreak(key);
  } else if (keyStdin) {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    if (!ReadKeyStream(stdin, key)) return Refuse("cannot read the key from standard input");
    StripOneLineBreak(key);
  }
  if (!griv::IsValidUtf8(key)) return Refuse("the key is not valid UTF-8 text");
  if (Utf8Length(key) < 8) return Refuse("the key must be 8 characters or more");

  if (command == "decrypt") format = griv::KtxFileFormat(files[0]);
  if (format == griv::KtxFormat::Des) {
    std::string keyBytes;
    const griv::CodePageResult r = griv::TextToCodePageExact(key, codePage, keyBytes);
    keyBytes.assign(keyBytes.size(), '\0');
    switch (r) {
      case griv::CodePageResult::Ok:
        break;
      case griv::CodePageResult::UnknownCodePage:
        return Refuse("code page " + std::to_string(codePage) + " is not known to this system");
      case griv::CodePageResult::Unconvertible:
        return Refuse(std::string("the key has a character that code page ") +
                      (codePage == griv::kAnsiCodePage ? std::string("ANSI") : std::to_string(codePage)) +
                      " cannot hold exactly, so GRIV could not derive the same key from it; "
                      "choose another key or --codepage");
    }
  }

  griv::TDES des;
  int status = 0;
  try {
    const griv::KtxCiphers ciphers{des, codePage, griv::SystemCrypto()};
    if (command == "encrypt")
      griv::EncryptKtxFile(format, key, files[0], files[1], ciphers);
    else
      griv::DecryptKtxFile(key, files[0], files[1], ciphers);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "griv-ktx: cannot %s '%s' into '%s': %s\n", command.c_str(), files[0].c_str(),
                 files[1].c_str(), e.what());
    status = 1;
  }
  key.assign(key.size(), '\0');
  return status;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(griv::Narrow(argv[i]));
  return Run(args);
}
#else
int main(int argc, char** argv) { return Run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
