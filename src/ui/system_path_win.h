// Folder paths of the system and the user, version text and file locking.
#pragma once
#include <windows.h>

#include <string>

namespace griv {

// Cached folder paths, looked up when created and whenever IncludeBackSlash changes.
class TPBSystemPath {
 public:
  explicit TPBSystemPath(bool includeBackSlash = true);
  void SetIncludeBackSlash(bool on);
  bool IncludeBackSlash() const { return includeBackSlash_; }

  std::string Windows, System, Temp;
  std::string AppData, Cache, Cookies, DeskTop, Favorites, Fonts, History, NetHood, Personal, PrintHood, Programs,
      Recent, SendTo, StartMenu, StartUp, Templates, MyPictures, LocalSettings, LocalAppData, Content;
  std::string CommonFiles, Config, Device, Media, OtherDevice, ProgramFiles, SystemRoot, WallPaper;
  const std::string ComponentVersion = "5.00.00.99";

 private:
  void Lookup();
  bool includeBackSlash_;
};

std::string TempFolder();     // as the system reports it
// Creates an empty file of a name nobody else uses in folder, ending with
// ext, and returns its name: a scratch file that can never be a user's file.
std::string ReserveScratchFile(const std::string& folder, const std::string& ext);
std::string WindowsFolder();  // no trailing backslash
std::string ExeFileName();
std::string ExeFolder();      // with a trailing backslash
bool IsPlatformNT();
// "major.minor.release.build" of a file's version resource; empty when it has none.
std::string FileVersionText(const std::string& file);

// Locks a byte range, retrying every 110 ms for up to 15 s; true on success.
bool LockFileRegion(HANDLE file, DWORD offset, DWORD length);
void UnlockFileRegion(HANDLE file, DWORD offset, DWORD length);

}  // namespace griv
