// griv-brand: makes the encrypted brand file (griv.dat) from a plain ini text,
// and shows the plain text of one.
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "tray/branding.h"
#include "base/codepage.h"
#include "base/file_io.h"
#include "base/ini.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "base/utf.h"
#endif

namespace {

const char kUsage[] =
    "Usage: griv-brand make IN.ini OUT.dat\n"
    "       griv-brand show IN.dat\n"
    "\n"
    "make  encrypts the brand ini text IN.ini into the brand file OUT.dat that\n"
    "      GRIV reads from its folder as griv.dat (sections [Settings] and\n"
    "      [TagLines]). The text may be UTF-8 (with or without a byte-order\n"
    "      mark) or in the Windows code page; GRIV reads text that is not UTF-8\n"
    "      in the ANSI code page of the machine it runs on.\n"
    "show  prints the plain ini text of a brand file as GRIV reads it, in UTF-8\n"
    "      (text in the Windows code page is read as code page 1252 here).\n"
    "\n"
    "Exit status: 0 on success, 1 when the operation fails, 2 on bad usage.\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "griv-brand: %s\n\n%s", problem, kUsage);
  return 2;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "griv-brand: %s\n", message.c_str());
  return 1;
}

std::vector<uint8_t> ReadLimited(const std::string& name, size_t limit) {
  int64_t size = griv::FileSize(name);
  if (size < 0) throw std::runtime_error("file not found");
  if (static_cast<uint64_t>(size) > limit) throw std::runtime_error("file too large for a brand file");
  return griv::ReadWholeFile(name);
}

// Points out what would make the program fall back to its defaults or cut text.
void Warn(std::string_view plain) {
  if (!griv::IsValidUtf8(plain))
    std::fprintf(stderr, "griv-brand: note: the text is not UTF-8; GRIV reads it in the Windows ANSI code page\n");
  const std::string text = griv::BrandTextToUtf8(plain, griv::AnsiToUtf8);
  griv::IniFile ini(text);
  if (!ini.HasSection("Settings")) std::fprintf(stderr, "griv-brand: warning: no [Settings] section; defaults apply\n");
  auto lines = ini.SectionLines("TagLines");
  if (lines.empty())
    std::fprintf(stderr, "griv-brand: warning: no tag lines; the print caption is the only one\n");
  for (const auto& [key, value] : lines)
    if (griv::CutTagLine(value).size() < value.size())
      std::fprintf(stderr, "griv-brand: warning: tag line '%s' is longer than %zu characters and will be cut\n",
                   key.c_str(), griv::kTagLineMaxChars);
}

int Make(const std::string& in, const std::string& out) {
  std::vector<uint8_t> plain;
  try {
    // Padding adds at most 8 bytes; keep the result within what the program loads.
    plain = ReadLimited(in, griv::kBrandFileMaxSize - 8);
  } catch (const std::exception& e) {
    return Fail("cannot read '" + in + "': " + e.what());
  }
  std::string text(plain.begin(), plain.end());
  Warn(text);
  std::vector<uint8_t> dat = griv::EncryptBrand(text);
  try {
    griv::WriteFileAtomic(out, dat.data(), dat.size());
  } catch (const std::exception& e) {
    return Fail("cannot write '" + out + "': " + e.what());
  }
  return 0;
}

int Show(const std::string& in) {
  std::string text;
  try {
    text = griv::BrandTextToUtf8(griv::DecryptBrand(ReadLimited(in, griv::kBrandFileMaxSize)), griv::Cp1252ToUtf8);
  } catch (const std::exception& e) {
    return Fail("cannot read '" + in + "' as a brand file: " + e.what());
  }
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);  // the text's own line ends, unchanged
#endif
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
    return Fail("cannot write to standard output");
  return 0;
}

int Run(const std::vector<std::string>& args) {
  for (const auto& a : args)
    if (a == "--help" || a == "-h" || a == "/?") {
      std::fputs(kUsage, stdout);
      return 0;
    }
  if (args.empty()) return Usage("no command given");
  if (args[0] == "make") {
    if (args.size() != 3) return Usage("make needs an input ini and an output file");
    return Make(args[1], args[2]);
  }
  if (args[0] == "show") {
    if (args.size() != 2) return Usage("show needs one brand file");
    return Show(args[1]);
  }
  return Usage(("unknown command '" + args[0] + "'").c_str());
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
