; Installer of GRIV under a customer's brand. make_installer.py writes the
; brand's defines into the include named by BRAND_NSH (PRODUCT, PUBLISHER,
; VERSION, START_MENU, INSTALL_FOLDER, WEBSITE, UNINST_ID, STAGE, OUTFILE,
; ICON) and runs makensis on this file.
;
; Per user without administrator rights by default; for all users when run
; elevated. Command line (besides /S and /D=folder):
;   /CURRENTUSER     per-user install even when elevated
;   /ALLUSERS        all-users install; fails unless elevated
;   /AUTOSTART=0|1   the "Start with Windows" entry (default: on for a new
;                    install, as it was for an upgrade)
; Uninstaller: /S; /REMOVESETTINGS also removes the settings and the work
; folder (a silent uninstall keeps them otherwise).

Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "${BRAND_NSH}"
!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include WinMessages.nsh

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${UNINST_ID}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The program's own names, the same under every brand.
!define MAIN_CLASS "TfrmCaptureForm"
!define INSTANCE_MUTEX "KTW"
!define SETTINGS_KEY "Software\GRIV"
!define DATA_FOLDER "GRIV"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
; No InstallDir: an empty $INSTDIR in .onInit tells that /D= was not given.

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\GRIV.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var AllUsers
Var RemoveSettings

; Ends a running GRIV (whatever its brand: the window class and the
; single-instance mutex are the program's) so that its files can be replaced.
; WM_CLOSE makes it save its settings and end without its exit question; its
; mutex is released when the process has ended.
!macro CLOSE_RUNNING UN
Function ${UN}CloseRunning
  FindWindow $0 "${MAIN_CLASS}"
  ${If} $0 == 0
    Return
  ${EndIf}
  ${IfNot} ${Silent}
    MessageBox MB_OKCANCEL|MB_ICONINFORMATION "${PRODUCT} is running. It will be closed now; its settings are kept." IDOK +2
    Abort "${PRODUCT} is still running."
  ${EndIf}
  DetailPrint "Closing the running ${PRODUCT}"
  again:
  FindWindow $0 "${MAIN_CLASS}"
  ${If} $0 <> 0
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=10000
  ${EndIf}
  ; SYNCHRONIZE access; a null handle means no process holds the mutex any more.
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${INSTANCE_MUTEX}") p.r1'
  ${If} $1 P<> 0
    System::Call 'kernel32::WaitForSingleObject(p r1, i 20000) i.r2'
    ${If} $2 = 0
    ${OrIf} $2 = 0x80
      System::Call 'kernel32::ReleaseMutex(p r1)'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r1)'
    ${If} $2 = 0x102
      ${If} ${Silent}
        SetErrorLevel 3
        Abort "${PRODUCT} did not end."
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} did not end. Close it, then click Retry." IDRETRY again
      Abort "${PRODUCT} is still running."
    ${EndIf}
  ${EndIf}
  ; The mutex goes with the process's last thread; the program file can stay
  ; locked a moment longer.
  ${IfNot} ${FileExists} "$INSTDIR\GRIV.exe"
    Return
  ${EndIf}
  StrCpy $3 0
  ${Do}
    ClearErrors
    FileOpen $4 "$INSTDIR\GRIV.exe" a
    ${IfNot} ${Errors}
      FileClose $4
      ${Break}
    ${EndIf}
    IntOp $3 $3 + 1
    ${If} $3 > 100
      ${Break}
    ${EndIf}
    Sleep 100
  ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING ""
!insertmacro CLOSE_RUNNING "un."

Section "${PRODUCT}" SecMain
  SectionIn RO
  Call CloseRunning
  SetOutPath "$INSTDIR"
  ; A file that cannot be replaced fails the install (a silent one too)
  ; rather than leave a mix of old and new files.
  ClearErrors
  File "${STAGE}\GRIV.exe"
  File "${STAGE}\griv.dat"
!if /FileExists "${STAGE}\griv.chm"
  File "${STAGE}\griv.chm"
!endif
  ${If} ${Errors}
    SetErrorLevel 5
    Abort "The files in $INSTDIR could not be written."
  ${EndIf}
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${START_MENU}.lnk" "$INSTDIR\GRIV.exe" "" "$INSTDIR\GRIV.exe" 0

  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr SHCTX "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\GRIV.exe,0"
  WriteRegStr SHCTX "${UNINST_KEY}" "URLInfoAbout" "${WEBSITE}"
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section "Start with Windows" SecAutoStart
  WriteRegStr HKCU "${RUN_KEY}" "${UNINST_ID}" '"$INSTDIR\GRIV.exe"'
SectionEnd

Section "-AutoStartOff"
  ${IfNot} ${SectionIsSelected} ${SecAutoStart}
    DeleteRegValue HKCU "${RUN_KEY}" "${UNINST_ID}"
  ${EndIf}
SectionEnd

Function .onInit
  ${GetParameters} $R0
  StrCpy $AllUsers 0
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    StrCpy $AllUsers 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/CURRENTUSER" $1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 0
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/ALLUSERS" $1
  ${IfNot} ${Errors}
  ${AndIf} $AllUsers == 0
    MessageBox MB_OK|MB_ICONSTOP "An install for all users needs administrator rights: run the setup elevated." /SD IDOK
    SetErrorLevel 4
    Quit
  ${EndIf}

  ${If} $AllUsers == 1
    SetShellVarContext all
    StrCpy $1 "$PROGRAMFILES\${INSTALL_FOLDER}"
  ${Else}
    SetShellVarContext current
    StrCpy $1 "$LOCALAPPDATA\Programs\${INSTALL_FOLDER}"
  ${EndIf}
  ; An upgrade goes where the installed copy is.
  ReadRegStr $2 SHCTX "${UNINST_KEY}" "InstallLocation"
  ${If} $INSTDIR == ""
    ${If} $2 != ""
      StrCpy $INSTDIR $2
    ${Else}
      StrCpy $INSTDIR $1
    ${EndIf}
  ${EndIf}

  ; Start with Windows: as asked, else as before an upgrade, else on.
  ClearErrors
  ReadRegStr $3 HKCU "${RUN_KEY}" "${UNINST_ID}"
  ${If} $2 != ""
  ${AndIf} $3 == ""
    !insertmacro UnselectSection ${SecAutoStart}
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/AUTOSTART=" $4
  ${IfNot} ${Errors}
    ${If} $4 == "0"
      !insertmacro UnselectSection ${SecAutoStart}
    ${Else}
      !insertmacro SelectSection ${SecAutoStart}
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.onInit
  ; Installed for all users when the machine-wide entry names this folder.
  ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    StrCpy $AllUsers 1
    SetShellVarContext all
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 != "Admin"
      MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} was installed for all users: run its uninstaller elevated." /SD IDOK
      SetErrorLevel 4
      Quit
    ${EndIf}
  ${Else}
    StrCpy $AllUsers 0
    SetShellVarContext current
  ${EndIf}
  StrCpy $RemoveSettings 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    StrCpy $RemoveSettings 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.CloseRunning
  Delete "$INSTDIR\GRIV.exe"
  Delete "$INSTDIR\griv.dat"
  Delete "$INSTDIR\griv.chm"
  Delete "$INSTDIR\KTCustom.ini"
  Delete "$INSTDIR\Uninstall.exe"
  ; Not /r: the folder may have been chosen by hand and hold other files.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${START_MENU}.lnk"
  ReadRegStr $0 HKCU "${RUN_KEY}" "${UNINST_ID}"
  ${If} $0 == '"$INSTDIR\GRIV.exe"'
    DeleteRegValue HKCU "${RUN_KEY}" "${UNINST_ID}"
  ${EndIf}

  ${If} $RemoveSettings == 0
  ${AndIfNot} ${Silent}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Also remove the settings of ${PRODUCT} and its work folder?$\r$\n$\r$\nYour saved captures are kept." IDNO +2
    StrCpy $RemoveSettings 1
  ${EndIf}
  ${If} $RemoveSettings == 1
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    ; The data folder is the uninstalling user's, also after an all-users install.
    SetShellVarContext current
    RMDir /r "$APPDATA\${DATA_FOLDER}\ework"
    ; Saved captures stay: these go only when empty.
    RMDir "$APPDATA\${DATA_FOLDER}\Images"
    RMDir "$APPDATA\${DATA_FOLDER}"
    ; Back to the context the install was made in: the entry below is there.
    ${If} $AllUsers == 1
      SetShellVarContext all
    ${EndIf}
  ${EndIf}
  ; Last: while anything is left, the entry in Apps & features stays.
  DeleteRegKey SHCTX "${UNINST_KEY}"
SectionEnd
