; The Windows installer of a book: the shell and the book under Program Files in a folder
; of the book's name, a Start-menu shortcut for all users with the book's title and the
; program's icon 128, an entry in the list of installed programs, and an uninstaller that
; removes all of it. scripts/package writes book.nsh beside the staged folder, defining
; NAME, TITLE (as NSIS strings), LINK (the shortcut's file name), VERSION, ARCH (x86 or
; x64), STAGE and OUTFILE.
Unicode true
!include "book.nsh"

!if "${ARCH}" == "x64"
  Target amd64-unicode
  InstallDir "$PROGRAMFILES64\${NAME}"
!else
  Target x86-unicode
  InstallDir "$PROGRAMFILES\${NAME}"
!endif

; The installer speaks the program's language.
LoadLanguageFile "${NSISDIR}\Contrib\Language files\Korean.nlf"

Name "${TITLE}"
OutFile "${OUTFILE}"
Icon "${STAGE}\icon.ico"
UninstallIcon "${STAGE}\icon.ico"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ManifestDPIAware true
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${TITLE}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${TITLE}"
VIAddVersionKey "LegalCopyright" "${TITLE}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VireoWebBrowser ${NAME}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  ; An older version's pages go, so that none of them outlives its book.
  RMDir /r "$INSTDIR\ebook"
  File "${STAGE}\VireoPlayer.exe"
  File /r "${STAGE}\ebook"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${LINK}.lnk" "$INSTDIR\VireoPlayer.exe" "" "$INSTDIR\VireoPlayer.exe" 0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${TITLE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\VireoPlayer.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there goes; a folder the reader chose keeps anything else.
Section Uninstall
  SetShellVarContext all
  Delete "$SMPROGRAMS\${LINK}.lnk"
  Delete "$INSTDIR\VireoPlayer.exe"
  RMDir /r "$INSTDIR\ebook"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
