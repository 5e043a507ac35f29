; Tarnwick's installer for Windows, one for each bitness, compiled with makensis by the
; windows_installer target of the Windows build (packaging/windows/CMakeLists.txt), which
; passes these with /D:
;   VERSION       3.0.1309
;   ARCH          i686 or x86_64
;   STAGE         the folder that holds the files to install
;   OUTFILE       the installer to write
;   PRODUCT_PAGE  the product's web page, for the Add/Remove Programs entry
;   ICON          the program's icon, for the installer and the uninstaller
;
; Installed per user, without administrator rights: the programs go to
; %LOCALAPPDATA%\Programs\Tarnwick (or the folder given with /D=), the shortcut to the
; user's Start menu and the uninstall entry to HKCU. /S installs and uninstalls silently.

!ifndef VERSION | ARCH | STAGE | OUTFILE | PRODUCT_PAGE | ICON
  !error "tarnwick.nsi wants VERSION, ARCH, STAGE, OUTFILE, PRODUCT_PAGE and ICON defined"
!endif

; The x86_64 installer is a 64-bit program itself: it does not start on 32-bit Windows,
; where the 64-bit tarnwick.exe it carries could not run either.
!if ${ARCH} == x86_64
  Target amd64-unicode
  !define BITS 64
!else if ${ARCH} == i686
  Target x86-unicode
  !define BITS 32
!else
  !error "ARCH is ${ARCH}; i686 or x86_64 expected"
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick"
!define PUBLISHER "Korvane Software"

Name "Tarnwick"
Caption "Tarnwick ${VERSION} (${BITS}-bit) Setup"
UninstallCaption "Tarnwick ${VERSION} Uninstall"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Tarnwick"
; An update goes where the earlier version went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
; Files keep no time stamp of the build machine: the same sources give the same installer.
SetDateSave off
ManifestDPIAware true
ManifestSupportedOS all
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PUBLISHER}"

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define MUI_ABORTWARNING
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\tarnwick.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Tarnwick"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Tarnwick"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Tarnwick ${VERSION} (${BITS}-bit) Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}"

; A file that cannot be replaced or removed is nearly always a Tarnwick still running.
; Installing, NSIS itself offers to retry (a silent run ignores the file); uninstalling,
; the user is told. Either way the run stops with exit status 2 rather than reporting
; success over half an installation.
!macro RemoveFile path
  ClearErrors
  Delete "${path}"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONEXCLAMATION "${path} could not be removed. Close Tarnwick and uninstall again." /SD IDOK
    SetErrorLevel 2
    Abort "${path} could not be removed."
  ${EndIf}
!macroend

!macro InstallFile name
  ClearErrors
  File "${STAGE}\${name}"
  ${If} ${Errors}
    SetErrorLevel 2
    Abort "${name} could not be written to $INSTDIR."
  ${EndIf}
!macroend

Section "Tarnwick" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  SetOverwrite on
  !insertmacro InstallFile "tarnwick.exe"
  !insertmacro InstallFile "tarnwick-cli.exe"
  !insertmacro InstallFile "Help.chm"
  !insertmacro InstallFile "LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Tarnwick.lnk" "$INSTDIR\tarnwick.exe" "" "$INSTDIR\tarnwick.exe" 0 \
    SW_SHOWNORMAL "" "Copy a Lotus Notes address book into a file for Google Contacts"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tarnwick (${BITS}-bit)"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarnwick.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${PRODUCT_PAGE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; Only what the installer put there: a folder the user chose may hold other files, and
; those stay, with the folder.
Section "Uninstall"
  !insertmacro RemoveFile "$INSTDIR\tarnwick.exe"
  !insertmacro RemoveFile "$INSTDIR\tarnwick-cli.exe"
  !insertmacro RemoveFile "$INSTDIR\Help.chm"
  !insertmacro RemoveFile "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tarnwick.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
