// Folder paths of the system and the user, version text and file locking.
#pragma once
#include <windows.h>

#include <string>

namespace griv {

// A folder of the user's from the shell's "Shell Folders" key ("AppData",
// "Personal"), with a backslash; empty when the key does not name it.
std::string ShellFolder(const char* name);
// Deletes everything in folder (ends with a backslash), silently.
void EmptyFolder(const std::string& folder, HWND owner);

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
