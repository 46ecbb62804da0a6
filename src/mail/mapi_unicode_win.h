// The Unicode form of Simple MAPI's send call, which the MinGW headers lack:
// the message records laid out as their ANSI twins, with UTF-16 texts.
#pragma once
#include <windows.h>

#include <mapi.h>

namespace griv {

struct MapiRecipDescW {
  ULONG ulReserved;
  ULONG ulRecipClass;
  PWSTR lpszName;
  PWSTR lpszAddress;
  ULONG ulEIDSize;
  LPVOID lpEntryID;
};

struct MapiFileDescW {
  ULONG ulReserved;
  ULONG flFlags;
  ULONG nPosition;
  PWSTR lpszPathName;
  PWSTR lpszFileName;
  LPVOID lpFileType;
};

struct MapiMessageW {
  ULONG ulReserved;
  PWSTR lpszSubject;
  PWSTR lpszNoteText;
  PWSTR lpszMessageType;
  PWSTR lpszDateReceived;
  PWSTR lpszConversationID;
  FLAGS flFlags;
  MapiRecipDescW* lpOriginator;
  ULONG nRecipCount;
  MapiRecipDescW* lpRecips;
  ULONG nFileCount;
  MapiFileDescW* lpFiles;
};

using LPMAPISENDMAILW = ULONG(WINAPI*)(LHANDLE session, ULONG_PTR uiParam, MapiMessageW* message, FLAGS flags,
                                       ULONG reserved);

static_assert(sizeof(MapiMessageW) == sizeof(MapiMessage) && sizeof(MapiFileDescW) == sizeof(MapiFileDesc) &&
              sizeof(MapiRecipDescW) == sizeof(MapiRecipDesc));

}  // namespace griv
