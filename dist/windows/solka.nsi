; The Windows installer of SOLKA: solka.exe and its read-me into Program Files, a Start-menu
; entry, a Send To entry, "Open with" for the playable types, list files and folders, and an
; uninstaller that leaves only the user's settings. A running player is closed first (it saves
; its settings as at any close); installing over an older version keeps the settings and the
; associations. Built by tools/package-windows:
;   makensis -DVERSION=1.7.2 -DEXE=path\solka.exe -DREADME=README.txt -DOUTFILE=setup.exe solka.nsi
Unicode true
; A 64-bit installer: it writes the 64-bit registry and Program Files, and runs on 64-bit
; Windows alone, as the program does.
Target amd64-unicode

!include "MUI2.nsh"
!include "x64.nsh"
!include "LogicLib.nsh"

!ifndef VERSION
  !error "VERSION is not set"
!endif
!define PRODUCT "SOLKA"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\SOLKA"
!define PROGID "SOLKA.AudioFile"
!define LIST_PROGID "SOLKA.ListFile"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\SOLKA"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "SOLKA"
VIAddVersionKey /LANG=1041 "FileDescription" "SOLKA セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "KOBARI PROJECT"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; The types a start-up argument plays, and the list files, which have a type of their own below.
; Held to the player's table of types by its tests.
!macro ForEachType MACRO
  !insertmacro ${MACRO} ".mp3"
  !insertmacro ${MACRO} ".mid"
  !insertmacro ${MACRO} ".midi"
  !insertmacro ${MACRO} ".rmi"
  !insertmacro ${MACRO} ".rcp"
  !insertmacro ${MACRO} ".wav"
  !insertmacro ${MACRO} ".wma"
  !insertmacro ${MACRO} ".ogg"
  !insertmacro ${MACRO} ".opus"
  !insertmacro ${MACRO} ".flac"
  !insertmacro ${MACRO} ".ape"
  !insertmacro ${MACRO} ".vqf"
  !insertmacro ${MACRO} ".3g2"
  !insertmacro ${MACRO} ".aac"
  !insertmacro ${MACRO} ".m4a"
  !insertmacro ${MACRO} ".asf"
!macroend
!macro ForEachListType MACRO
  !insertmacro ${MACRO} ".m3u"
  !insertmacro ${MACRO} ".m3u8"
!macroend

!macro OpenWith EXT
  WriteRegStr HKLM "Software\Classes\${EXT}\OpenWithProgids" "${PROGID}" ""
  WriteRegStr HKLM "Software\Classes\Applications\solka.exe\SupportedTypes" "${EXT}" ""
!macroend
!macro NoOpenWith EXT
  DeleteRegValue HKLM "Software\Classes\${EXT}\OpenWithProgids" "${PROGID}"
!macroend
!macro OpenListWith EXT
  WriteRegStr HKLM "Software\Classes\${EXT}\OpenWithProgids" "${LIST_PROGID}" ""
  WriteRegStr HKLM "Software\Classes\Applications\solka.exe\SupportedTypes" "${EXT}" ""
!macroend
!macro NoOpenListWith EXT
  DeleteRegValue HKLM "Software\Classes\${EXT}\OpenWithProgids" "${LIST_PROGID}"
!macroend

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "SOLKA は 64 ビット版の Windows で動作します。"
    Abort
  ${EndIf}
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

; Closes a running player (its window of class TDODEDEV) and waits until its process has
; ended, so that its files can be replaced or removed and its settings are saved. One that
; does not end stops the installer or uninstaller, which then reports failure (in a silent run
; too, with exit code 2) rather than success with files left.
!macro DefineClosePlayer UN
Function ${UN}ClosePlayer
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  ${Do}
    FindWindow $0 "TDODEDEV"
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    StrCpy $1 0
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
    ; SYNCHRONIZE: the process must have ended, not just its window, before its file goes.
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2'
    System::Call 'user32::PostMessageW(p r0, i ${WM_CLOSE}, p 0, p 0)'
    ; Up to 30 s: the player stops, saves and may start the user's exit program first.
    StrCpy $3 0
    ${Do}
      Sleep 250
      IntOp $3 $3 + 1
      StrCpy $1 0
      IsWindow $0 0 +2
      StrCpy $1 1
      ${If} $2 P<> 0
        System::Call 'kernel32::WaitForSingleObject(p r2, i 0) i .r4'
        ${If} $4 = 258
          StrCpy $1 1
        ${EndIf}
      ${EndIf}
      ${If} $1 = 0
      ${OrIf} $3 >= 120
        ${Break}
      ${EndIf}
    ${Loop}
    ${If} $2 P<> 0
      System::Call 'kernel32::CloseHandle(p r2)'
    ${EndIf}
    ${If} $1 <> 0
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "SOLKA が終了しません。SOLKA を終了してから「再試行」を押してください。" /SD IDCANCEL IDRETRY +2
      Abort "SOLKA が終了しないため、中止しました。"
    ${EndIf}
  ${Loop}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro DefineClosePlayer ""
!insertmacro DefineClosePlayer "un."

Section "SOLKA"
  SetShellVarContext all
  Call ClosePlayer
  SetOutPath "$INSTDIR"
  ClearErrors
  File "/oname=solka.exe" "${EXE}"
  File "/oname=README.txt" "${README}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; A file that could not be replaced (the user chose to ignore it, or a silent run) is a
  ; failed install, not an older program under a newer entry.
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "$INSTDIR のファイルを置き換えられませんでした。" /SD IDOK
    Abort "$INSTDIR のファイルを置き換えられませんでした。"
  ${EndIf}
  CreateShortcut "$SMPROGRAMS\SOLKA.lnk" "$INSTDIR\solka.exe"
  ; Send To: the shell hands the selected folder or file to the program, which plays it (in
  ; the running player when there is one). The folder is the installing user's own.
  CreateShortcut "$SENDTO\SOLKA.lnk" "$INSTDIR\solka.exe" "" "$INSTDIR\solka.exe" 0

  ; The program and its verbs: "Open with" offers it for audio files, list files and folders,
  ; and what it opens plays in the running player.
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\App Paths\solka.exe" "" "$INSTDIR\solka.exe"
  WriteRegStr HKLM "Software\Classes\Applications\solka.exe" "FriendlyAppName" "SOLKA"
  WriteRegStr HKLM "Software\Classes\Applications\solka.exe\shell\open\command" "" '"$INSTDIR\solka.exe" "%1"'
  WriteRegStr HKLM "Software\Classes\${PROGID}" "" "SOLKA の曲"
  WriteRegStr HKLM "Software\Classes\${PROGID}\DefaultIcon" "" '"$INSTDIR\solka.exe",1'
  WriteRegStr HKLM "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\solka.exe" "%1"'
  !insertmacro ForEachType OpenWith
  WriteRegStr HKLM "Software\Classes\${LIST_PROGID}" "" "SOLKA のリスト"
  WriteRegStr HKLM "Software\Classes\${LIST_PROGID}\shell\open\command" "" '"$INSTDIR\solka.exe" "%1"'
  !insertmacro ForEachListType OpenListWith
  WriteRegStr HKLM "Software\Classes\Directory\shell\SOLKA" "" "SOLKA で再生"
  WriteRegStr HKLM "Software\Classes\Directory\shell\SOLKA" "Icon" '"$INSTDIR\solka.exe",0'
  WriteRegStr HKLM "Software\Classes\Directory\shell\SOLKA\command" "" '"$INSTDIR\solka.exe" "%1"'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "SOLKA"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "KOBARI PROJECT"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\solka.exe",0'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; SHCNE_ASSOCCHANGED: the shell reads the associations again.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Call un.ClosePlayer
  ; The installed files alone: a settings file beside the program (left by an older version
  ; that kept it there) stays, and with it the folder.
  Delete "$INSTDIR\solka.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Files left mean no uninstall: the entry stays, so that it can be run again. (The
  ; uninstaller itself stays only when run in place with "_?=", which leaves it to the caller.)
  ${If} ${FileExists} "$INSTDIR\solka.exe"
  ${OrIf} ${FileExists} "$INSTDIR\README.txt"
    MessageBox MB_OK|MB_ICONSTOP "$INSTDIR のファイルを削除できませんでした。" /SD IDOK
    Abort "$INSTDIR のファイルを削除できませんでした。"
  ${EndIf}
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\SOLKA.lnk"
  Delete "$SENDTO\SOLKA.lnk"
  DeleteRegKey HKLM "Software\Microsoft\Windows\CurrentVersion\App Paths\solka.exe"
  DeleteRegKey HKLM "Software\Classes\Applications\solka.exe"
  DeleteRegKey HKLM "Software\Classes\${PROGID}"
  DeleteRegKey HKLM "Software\Classes\${LIST_PROGID}"
  !insertmacro ForEachType NoOpenWith
  !insertmacro ForEachListType NoOpenListWith
  DeleteRegKey HKLM "Software\Classes\Directory\shell\SOLKA"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
