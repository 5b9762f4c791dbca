; The Windows installer of TodayMirvo (今日のミルボ), built with NSIS 3 by
; scripts/package-windows.sh, which defines:
;   VERSION  the file version, four numbers (cmake/Version.cmake)
;   STAGE    the folder that holds the installed files, as `cmake --install` lays them
;   FILES    an include file with the File lines for STAGE
;   UNFILES  an include file with the matching Delete and RMDir lines
;   ICON     the program's icon (.ico)
;   OUTFILE  the installer to write
;
; It installs for every user into Program Files\TodayMirvo (administrator
; rights), where the program cannot write: the member list and the settings
; then live in the user's %APPDATA%\TodayMirvo\. The uninstaller removes
; what the installer put there, and asks whether the member list, the
; settings and their backups go too (beside the program and in the user's
; %APPDATA%\TodayMirvo\); they stay unless the user says so, and always in a
; silent uninstall. A folder left empty is removed.
; Silent install and uninstall: /S (and /D=FOLDER to choose the folder).

; A 64-bit installer, as the program is one: it runs where the program runs.
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"

!define PRODUCT "今日のミルボ"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TodayMirvo"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} セットアップ"
UninstallCaption "${PRODUCT} のアンインストール"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\TodayMirvo"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductName" "Today Mirvo"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "CompanyName" "The TodayMirvo developers"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (C) 2026 The TodayMirvo developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\TodayMirvo.exe"
!define MUI_FINISHPAGE_RUN_TEXT "${PRODUCT} を起動する"

!insertmacro MUI_PAGE_WELCOME
; The licence in Japanese; the English text, which holds, is installed beside it.
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.ja.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Section "Install"
  SetShellVarContext all
  !include "${FILES}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\TodayMirvo.exe" "" "$INSTDIR\TodayMirvo.exe" 0 SW_SHOWNORMAL "" "${PRODUCT}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\TodayMirvo.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The TodayMirvo developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

; The files the programs keep for the user in a folder: the member list, the
; settings, the log, the lock, what a save left, and the backups.
!macro RemoveUserFiles FOLDER
  Delete "${FOLDER}\Mirvo.csv"
  Delete "${FOLDER}\Mirvo.csv.bak*"
  Delete "${FOLDER}\Mirvo (*).csv"
  Delete "${FOLDER}\TodayMirvo.ini"
  Delete "${FOLDER}\TodayMirvo.ini.bak"
  Delete "${FOLDER}\TodayMirvo.log"
  Delete "${FOLDER}\TodayMirvo.lock"
  Delete "${FOLDER}\.Mirvo.csv.*.tmp"
  Delete "${FOLDER}\.TodayMirvo.ini.*.tmp"
  Delete "${FOLDER}\backup\Mirvo-*.csv"
  Delete "${FOLDER}\backup\TodayMirvo-*.ini"
  RMDir "${FOLDER}\backup"
  RMDir "${FOLDER}"
!macroend

Section "Uninstall"
  SetShellVarContext all
  !include "${UNFILES}"
  Delete "$INSTDIR\uninstall.exe"
  ; The user's own files stay unless the user says otherwise (No is the
  ; default answer, and the answer of a silent uninstall).
  SetShellVarContext current
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "メンバーリスト, 設定とそのバックアップも削除しますか?$\r$\n$\r$\n$INSTDIR$\r$\n$APPDATA\TodayMirvo$\r$\n$\r$\n「いいえ」を選ぶと, 次にインストールしたときにそのまま使えます." \
    /SD IDNO IDNO keepUserFiles
  !insertmacro RemoveUserFiles "$APPDATA\TodayMirvo"
  !insertmacro RemoveUserFiles "$INSTDIR"
  keepUserFiles:
  SetShellVarContext all
  ; Without /r: a folder that still holds the user's member list or
  ; settings stays with them; an empty one goes.
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
