; SPDX-License-Identifier: GPL-3.0-or-later
; The installer for a classroom of Windows machines: Знайдар into Program Files for every
; user of the machine, «Знайдар» in the Start menu, and an uninstaller in Apps and
; Features. /S installs or removes it silently, for a technician's script.
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0.0 -DFILES=dir -DOUTFILE=setup.exe installer.nsi
; FILES holds znaydar.exe and licences/, as `cmake --install` lays them out. makensis reads
; this script from its own folder, where the icon path starts.
Unicode true
; A 64-bit installer for a 64-bit program: it writes to the real Program Files and the
; 64-bit registry without redirection.
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!include "MUI2.nsh"

!define PRODUCT "Знайдар"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Znaydar"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1049 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка программы ${PRODUCT}"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "© 2026 Znaydar contributors, GPL-3.0-or-later"

!define MUI_ICON "../app/znaydar.ico"
!define MUI_UNICON "../app/znaydar.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\znaydar.exe"
!insertmacro MUI_PAGE_LICENSE "${FILES}/licences/LICENSE"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

Section
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File "${FILES}/znaydar.exe"
    SetOutPath "$INSTDIR\licences"
    File "${FILES}/licences/*"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\znaydar.exe" "" "$INSTDIR\znaydar.exe" 0 \
        SW_SHOWNORMAL "" "Тест по теме «Кодирование информации»"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\znaydar.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Znaydar contributors"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$INSTDIR\znaydar.exe"
    RMDir /r "$INSTDIR\licences"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
