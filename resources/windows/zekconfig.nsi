; The Windows installer of zekconfig, built by scripts/windows.sh with Debian's NSIS:
;   makensis -DVERSION=x.y.z -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe> zekconfig.nsi
; It installs the window, zekctl, the language files, the default settings and the manual
; into Program Files, adds a Start-menu entry that starts the window in the user's own
; folder (%APPDATA%\zekconfig) and registers an uninstaller. /S installs silently.
; Uninstalling leaves every user's settings and start directories alone.

Unicode true
; A 64-bit installer: 64-bit Windows (and wine64) start it, it writes the 64-bit
; registry view and installs into the 64-bit Program Files.
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "zekconfig"
!define CAPTION "ZEK-Configurator"
!define PUBLISHER "Holvek"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${CAPTION} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
BrandingText "${CAPTION} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${CAPTION} ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${PUBLISHER}. All rights reserved."

!include "MUI2.nsh"
!define MUI_ICON "${STAGE}\zekconfig.ico"
!define MUI_UNICON "${STAGE}\zekconfig.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\zekconfig.exe"
!define MUI_FINISHPAGE_RUN_PARAMETERS "--user-directory"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

; The files, named one by one so that the uninstaller removes exactly these.
!macro ProgramFiles Do
  !insertmacro ${Do} "zekconfig.exe"
  !insertmacro ${Do} "zekctl.exe"
  !insertmacro ${Do} "LANG01.ini"
  !insertmacro ${Do} "LANG02.ini"
  !insertmacro ${Do} "MERIDON_Brisklink.ini"
  !insertmacro ${Do} "holvek_zek_config.pdf"
!macroend
!macro InstallOne Name
  File "${STAGE}\${Name}"
!macroend
!macro RemoveOne Name
  Delete "$INSTDIR\${Name}"
!macroend

Section "Install"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  !insertmacro ProgramFiles InstallOne
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Program Files is not the user's to write: the entry starts the window in the user's
  ; own folder, where its settings file lives.
  CreateDirectory "$SMPROGRAMS\${CAPTION}"
  CreateShortCut "$SMPROGRAMS\${CAPTION}\${CAPTION}.lnk" "$INSTDIR\zekconfig.exe" "--user-directory" \
    "$INSTDIR\zekconfig.exe" 0 SW_SHOWNORMAL "" "Find and configure ZEK modules"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${CAPTION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zekconfig.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  !insertmacro ProgramFiles RemoveOne
  Delete "$INSTDIR\uninstall.exe"
  ; Only an empty folder goes: whatever a user put there stays.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${CAPTION}\${CAPTION}.lnk"
  RMDir "$SMPROGRAMS\${CAPTION}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
