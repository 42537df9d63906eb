; The per-user installer of Tavrin2 and its uninstaller: no elevation, the
; program in %LOCALAPPDATA%\Programs\Tavrin2 (a folder the user can write, as
; list.txt lives beside the executable), a Start menu shortcut and an entry in
; the user's list of installed programs.
; tools/package.py defines VERSION, PUBLISHER, EXE (the release tavrin2.exe)
; and OUTFILE; when it signs, also SIGN, the command that signs one file.

Unicode true
; The 64-bit stub: a 32-bit installer would not run where only 64-bit Windows
; programs can (a 64-bit-only Wine).
Target amd64-unicode
SetCompressor /SOLID lzma
; No file dates of the build machine inside: the same input gives the same data.
SetDateSave off
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define SETTINGS_KEY "Software\Orvaneth\Tavrin2"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrin2"

Name "Tavrin2"
OutFile "${OUTFILE}"
!ifdef SIGN
  ; The uninstaller is signed as it is made, so the copy written at install
  ; time carries the signature; then the installer itself.
  !uninstfinalize '${SIGN} "%1"' = 0
  !finalize '${SIGN} "%1"' = 0
!endif
InstallDir "$LOCALAPPDATA\Programs\Tavrin2"
BrandingText "Tavrin2 ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!define MUI_FINISHPAGE_RUN "$INSTDIR\tavrin2.exe"
!define MUI_FINISHPAGE_RUN_TEXT "$(RunNow)"
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; Hungarian first: it is the program's language and the default for systems
; in any language other than these two.
!insertmacro MUI_LANGUAGE "Hungarian"
!insertmacro MUI_LANGUAGE "English"

LangString RunNow ${LANG_HUNGARIAN} "A Tavrin2 indítása most"
LangString RunNow ${LANG_ENGLISH} "Start Tavrin2 now"
LangString StillRunning ${LANG_HUNGARIAN} "A Tavrin2 most is fut.$\r$\n$\r$\nLépjen ki belőle: kattintson a jobb egérgombbal az ikonjára a tálca értesítési területén, és válassza a „Kilépés” parancsot, majd kattintson az OK gombra."
LangString StillRunning ${LANG_ENGLISH} "Tavrin2 is running.$\r$\n$\r$\nQuit it first: right-click its icon in the notification area of the taskbar and choose $\"Kilépés$\", then click OK."

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_HUNGARIAN} "ProductName" "Tavrin2"
VIAddVersionKey /LANG=${LANG_HUNGARIAN} "FileDescription" "Tavrin2 telepítő"
VIAddVersionKey /LANG=${LANG_HUNGARIAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_HUNGARIAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_HUNGARIAN} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_HUNGARIAN} "LegalCopyright" "${PUBLISHER}"

; Sets $R0 to 1 when a Tavrin2 started from $INSTDIR runs. Every running copy
; has a top-level window of the class "Tavrin2Application"; its process's image
; path tells which copy it is. A copy whose path cannot be read counts as ours:
; better to ask once too often than to remove a running program's files.
!macro DEFINE_FIND_RUNNING prefix
Function ${prefix}FindRunning
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  StrCpy $R0 0
  StrCpy $R1 0
  ${Do}
    System::Call 'user32::FindWindowExW(p 0, p R1, w "Tavrin2Application", p 0) p .R1'
    ${If} $R1 P= 0
      ${Break}
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p R1, *i .R2)'
    ; PROCESS_QUERY_LIMITED_INFORMATION
    System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i R2) p .R3'
    StrCpy $R4 ""
    ${If} $R3 P<> 0
      System::Call 'kernel32::QueryFullProcessImageNameW(p R3, i 0, w .R4, *i ${NSIS_MAX_STRLEN}) i'
      System::Call 'kernel32::CloseHandle(p R3)'
    ${EndIf}
    ${If} $R4 == ""
    ${OrIf} $R4 == "$INSTDIR\tavrin2.exe"
      StrCpy $R0 1
      ${Break}
    ${EndIf}
  ${Loop}
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
FunctionEnd

; Asks the user to quit a running Tavrin2 until it is gone or they give up.
; Silent, it gives up at once: exit code 2, nothing changed.
Function ${prefix}WaitUntilNotRunning
  ${Do}
    Call ${prefix}FindRunning
    ${If} $R0 == 0
      ${Break}
    ${EndIf}
    ${If} ${Silent}
      SetErrorLevel 2
      Quit
    ${EndIf}
    MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" IDOK +3
    SetErrorLevel 2
    Quit
  ${Loop}
FunctionEnd
!macroend
!insertmacro DEFINE_FIND_RUNNING ""
!insertmacro DEFINE_FIND_RUNNING "un."

Function .onInit
  ; An update cannot replace a running executable.
  Call WaitUntilNotRunning
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  File "/oname=tavrin2.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Tavrin2.lnk" "$INSTDIR\tavrin2.exe"

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Tavrin2"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\tavrin2.exe"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\""
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S"
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  Call un.WaitUntilNotRunning
FunctionEnd

Section "Uninstall"
  ; Once more: it may have been started while the confirmation page was up.
  Call un.WaitUntilNotRunning
  Delete "$INSTDIR\tavrin2.exe"
  Delete "$INSTDIR\list.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Not recursive: files the user put there stay, and so does the folder then.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tavrin2.lnk"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Orvaneth"
  DeleteRegValue HKCU "${RUN_KEY}" "Tavrin2"
  DeleteRegKey HKCU "${UNINST_KEY}"
SectionEnd
