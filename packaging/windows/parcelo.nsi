; The Windows installer: Parcelo for the current user alone (no
; administrator's rights), in Russian, with a Start menu shortcut, Explorer's
; "Дробить в Parcelo" on files and "Слить в Parcelo" on folders, and an
; uninstaller listed in "Apps and features". scripts/windows.sh builds it:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0 -DVERSION4=1.0.0.0 -DSTAGE=folder
;            -DFILE_LIST=list.nsh -DOUTFILE=setup.exe parcelo.nsi
; STAGE holds the programs and what they need, as in the zip; FILE_LIST
; removes each of those files and folders, so that the uninstaller removes
; nothing it did not install.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"

!define PRODUCT "Parcelo"
!define PUBLISHER "Velmarin"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define SPLIT_VERB_KEY "Software\Classes\*\shell\Parcelo.Split"
!define JOIN_VERB_KEY "Software\Classes\Directory\shell\Parcelo.Join"
!define UNINSTALLER "Удалить Parcelo.exe"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "Установка ${PRODUCT} ${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "GNU GPL 3 or later"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\parcelo.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

; An Explorer verb: its menu text, Parcelo's icon beside it, and the
; command that opens the clicked item in the window.
!macro WriteVerb key text
  WriteRegStr HKCU "${key}" "" "${text}"
  WriteRegStr HKCU "${key}" "Icon" "$INSTDIR\parcelo.exe"
  WriteRegStr HKCU "${key}\command" "" '"$INSTDIR\parcelo.exe" "%1"'
!macroend

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\parcelo.exe" "" "$INSTDIR\parcelo.exe" 0 \
    SW_SHOWNORMAL "" "Дробление файла на части и слияние частей"

  !insertmacro WriteVerb "${SPLIT_VERB_KEY}" "Дробить в Parcelo"
  !insertmacro WriteVerb "${JOIN_VERB_KEY}" "Слить в Parcelo"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\parcelo.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; The size in KiB, as "Apps and features" shows it.
  SectionGetSize 0 $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${SPLIT_VERB_KEY}"
  DeleteRegKey HKCU "${JOIN_VERB_KEY}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  !include "${FILE_LIST}"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: whatever the user put there stays.
  RMDir "$INSTDIR"
SectionEnd
