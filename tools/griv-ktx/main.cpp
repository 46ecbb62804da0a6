// griv-ktx: encrypts and decrypts files in the program's .KTX format (DES-CBC,
// the fixed image IV text, the key typed by the user, 1..8 bytes of padding).
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "crypto/des.h"
#include "crypto/ktx_names.h"

#ifdef _WIN32
#include "base/utf.h"
#endif

namespace {

const char kUsage[] =
    "Usage: griv-ktx encrypt --key TEXT IN OUT\n"
    "       griv-ktx decrypt --key TEXT IN OUT\n"
    "\n"
    "Encrypts IN into OUT, or decrypts it, in the .KTX format of GRIV: DES in\n"
    "CBC mode with the key taken from TEXT (8 characters or more, case-sensitive)\n"
    "and GRIV's fixed IV. OUT is replaced only when the whole operation succeeds.\n"
    "On Windows the key is used in the system's ANSI code page, as GRIV does.\n"
    "\n"
    "Exit status: 0 on success, 1 when the operation fails (missing input,\n"
    "wrong key or damaged file, output not writable), 2 on bad usage.\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "griv-ktx: %s\n\n%s", problem, kUsage);
  return 2;
}

size_t Utf8Length(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

int Run(const std::vector<std::string>& args) {
  for (const auto& a : args)
    if (a == "--help" || a == "-h" || a == "/?") {
      std::fputs(kUsage, stdout);
      return 0;
    }
  if (args.empty()) return Usage("no command given");
  const std::string& command = args[0];
  if (command != "encrypt" && command != "decrypt") return Usage(("unknown command '" + command + "'").c_str());

  std::string key;
  bool haveKey = false;
  std::vector<std::string> files;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--key") {
      if (i + 1 >= args.size()) return Usage("--key needs a value");
      key = args[++i];
      haveKey = true;
    } else if (a.rfind("--key=", 0) == 0) {
      key = a.substr(6);
      haveKey = true;
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      return Usage(("unknown option '" + a + "'").c_str());
    } else {
      files.push_back(a);
    }
  }
  if (!haveKey) return Usage("--key is required");
  if (Utf8Length(key) < 8) return Usage("the key must be 8 characters or more");
  if (files.size() != 2) return Usage("expected an input and an output file");

#ifdef _WIN32
  key = griv::ToAnsi(key);
#endif
  griv::TDES des;
  des.SetCipherMode(griv::TCipherMode::CBC);
  try {
    des.SetIV(griv::kKtxIVText);
    des.SetKey(key);
    if (command == "encrypt")
      des.EncryptFile(files[0], files[1]);
    else
      des.DecryptFile(files[0], files[1]);
    des.ClearKeys();
  } catch (const std::exception& e) {
    des.ClearKeys();
    std::fprintf(stderr, "griv-ktx: cannot %s '%s' into '%s': %s\n", command.c_str(), files[0].c_str(),
                 files[1].c_str(), e.what());
    return 1;
  }
  return 0;
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
