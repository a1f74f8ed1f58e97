; The Windows installer of ZOR Link, built by makensis from the Windows
; build (packaging/windows/CMakeLists.txt passes the defines):
;   VERSION  the product's version ("1.6.0")
;   STAGE    the folder of the files to install
;   OUTFILE  the installer to write
;   ICON     icon 128
;   SIZE_FILE  a file that defines SIZE_KB, the installed size in KiB
; It installs the three programs, the sample data text and the README into
; Program Files, a Start-menu shortcut for the desktop tool and one for the
; channel editor, and the uninstaller with its entry in
; Add or Remove Programs, the only thing it writes to HKEY_LOCAL_MACHINE.
; The user's settings (HKEY_CURRENT_USER) stay when it is removed.
; "/S" installs and uninstalls silently; "/D=FOLDER" (last) chooses the folder.

!include "${SIZE_FILE}"

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "ZOR Link"
!define COMPANY "ZOR Electronics"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZOR Link"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${COMPANY}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Install"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}\tavlink.exe"
  File "${STAGE}\tavlink-editor.exe"
  File "${STAGE}\tavlink-cli.exe"
  File "${STAGE}\sample_factory_data.txt"
  File "${STAGE}\README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tavlink.exe" "" "$INSTDIR\tavlink.exe" 0
  CreateShortcut "$SMPROGRAMS\${PRODUCT} Channel Editor.lnk" "$INSTDIR\tavlink-editor.exe" "" \
      "$INSTDIR\tavlink-editor.exe" 0

  SetRegView 64
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tavlink.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT} Channel Editor.lnk"
  Delete "$INSTDIR\tavlink.exe"
  Delete "$INSTDIR\tavlink-editor.exe"
  Delete "$INSTDIR\tavlink-cli.exe"
  Delete "$INSTDIR\sample_factory_data.txt"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  SetRegView 64
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
