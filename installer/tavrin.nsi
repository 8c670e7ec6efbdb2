; Setup for Tavrin and Pellamy. Built by scripts/package; variables come from the command line:
;   /DVERSION=1.35.0.101 /DCOMPANY=... /DWEBPAGE=... /DBIN32=<dir> /DBIN64=<dir> /DCODEDIR=<dir> /DOUTFILE=<exe>
;   [/DX64]  the 64-bit setup: a 64-bit program (runs where 32-bit programs cannot), the native
;            Program Files folder and registry view, Start menu entries for the 64-bit builds and
;            the 32-bit Pellamy (for 32-bit modules)
!ifdef X64
  Target amd64-unicode
!endif
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!include "LogicLib.nsh"

!define PRODUCT "Tavrin and Pellamy"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TavrinPellamy"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
!ifdef X64
  InstallDir "$PROGRAMFILES64\Tavrin"
  !define MAIN_EXE "Tavrin64.exe"
!else
  InstallDir "$PROGRAMFILES\Tavrin"
  !define MAIN_EXE "Tavrin.exe"
!endif
InstallDirRegKey HKLM "${UNINST_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${COMPANY}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 ${COMPANY}"

!define MUI_ICON "..\res\tavrin.ico"
!define MUI_UNICON "..\res\tavrin.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"


Section "Tavrin and Pellamy (required)" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${BIN32}\Tavrin.exe"
  File "${BIN32}\Pellamy.exe"
  File "${BIN64}\Tavrin64.exe"
  File "${BIN64}\Pellamy64.exe"
  SetOutPath "$INSTDIR\code"
  File "${CODEDIR}\compile.bat"
  File "${CODEDIR}\hello.cpp"
  SetOutPath "$INSTDIR\licenses"
  File "${BIN32}\licenses\Scintilla-License.txt"
  File "${BIN32}\licenses\Lexilla-License.txt"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Start menu shortcuts for all users; the 64-bit builds where the system is 64-bit.
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\Tavrin"
!ifdef X64
  CreateShortCut "$SMPROGRAMS\Tavrin\Tavrin.lnk" "$INSTDIR\Tavrin64.exe"
  CreateShortCut "$SMPROGRAMS\Tavrin\Pellamy.lnk" "$INSTDIR\Pellamy64.exe"
  CreateShortCut "$SMPROGRAMS\Tavrin\Pellamy (32-bit modules).lnk" "$INSTDIR\Pellamy.exe"
!else
  ${If} ${RunningX64}
    CreateShortCut "$SMPROGRAMS\Tavrin\Tavrin.lnk" "$INSTDIR\Tavrin64.exe"
    CreateShortCut "$SMPROGRAMS\Tavrin\Pellamy.lnk" "$INSTDIR\Pellamy64.exe"
  ${Else}
    CreateShortCut "$SMPROGRAMS\Tavrin\Tavrin.lnk" "$INSTDIR\Tavrin.exe"
    CreateShortCut "$SMPROGRAMS\Tavrin\Pellamy.lnk" "$INSTDIR\Pellamy.exe"
  ${EndIf}
!endif
  CreateShortCut "$SMPROGRAMS\Tavrin\Uninstall Tavrin and Pellamy.lnk" "$INSTDIR\Uninstall.exe"

  ; The installed programs list.
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINST_KEY}" "URLInfoAbout" "${WEBPAGE}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\${MAIN_EXE},0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" "$0"
SectionEnd

!macro SupportedType ext
  WriteRegStr HKLM "Software\Classes\Applications\${MAIN_EXE}\SupportedTypes" "${ext}" ""
!macroend

; Registered as an application that supports these types: the system lists it under Open With for
; them, and everything lives under one key of our own that uninstall removes whole.
Section /o "Open with Tavrin for source files" SecOpenWith
  WriteRegStr HKLM "Software\Classes\Applications\${MAIN_EXE}" "FriendlyAppName" "Tavrin"
  WriteRegStr HKLM "Software\Classes\Applications\${MAIN_EXE}\DefaultIcon" "" "$INSTDIR\${MAIN_EXE},0"
  WriteRegStr HKLM "Software\Classes\Applications\${MAIN_EXE}\shell\open\command" "" '"$INSTDIR\${MAIN_EXE}" "%1"'
  !insertmacro SupportedType ".cpp"
  !insertmacro SupportedType ".h"
  !insertmacro SupportedType ".htm"
  !insertmacro SupportedType ".html"
  !insertmacro SupportedType ".js"
  !insertmacro SupportedType ".vbs"
  !insertmacro SupportedType ".css"
  !insertmacro SupportedType ".asp"
  !insertmacro SupportedType ".java"
  !insertmacro SupportedType ".txt"
SectionEnd

Function .onInit
!ifdef X64
  SetRegView 64
!endif
  ; /OPENWITH selects the optional Open With registration (for silent installs).
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/OPENWITH" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecOpenWith}
  ${EndIf}
  ; 64-bit Windows: default to the native Program Files folder.
  ${If} ${RunningX64}
    StrCmp $INSTDIR "$PROGRAMFILES\Tavrin" 0 +2
      StrCpy $INSTDIR "$PROGRAMFILES64\Tavrin"
  ${EndIf}
FunctionEnd

LangString DESC_Main ${LANG_ENGLISH} "The editor, the registration tool (32- and 64-bit), the compiler batch file and the licences of the components they use."
LangString DESC_OpenWith ${LANG_ENGLISH} "Offers Tavrin in the Open With menu of C++, header, HTML, script, style sheet, Java and text files."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} $(DESC_Main)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecOpenWith} $(DESC_OpenWith)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function un.onInit
!ifdef X64
  SetRegView 64
!endif
FunctionEnd

Section "Uninstall"
  ; Only what setup put there: the user's own files in the folder stay.
  Delete "$INSTDIR\Tavrin.exe"
  Delete "$INSTDIR\Tavrin64.exe"
  Delete "$INSTDIR\Pellamy.exe"
  Delete "$INSTDIR\Pellamy64.exe"
  Delete "$INSTDIR\code\compile.bat"
  Delete "$INSTDIR\code\hello.cpp"
  RMDir "$INSTDIR\code"
  Delete "$INSTDIR\licenses\Scintilla-License.txt"
  Delete "$INSTDIR\licenses\Lexilla-License.txt"
  RMDir "$INSTDIR\licenses"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  SetShellVarContext all
  Delete "$SMPROGRAMS\Tavrin\Tavrin.lnk"
  Delete "$SMPROGRAMS\Tavrin\Pellamy.lnk"
!ifdef X64
  Delete "$SMPROGRAMS\Tavrin\Pellamy (32-bit modules).lnk"
!endif
  Delete "$SMPROGRAMS\Tavrin\Uninstall Tavrin and Pellamy.lnk"
  RMDir "$SMPROGRAMS\Tavrin"

  DeleteRegKey HKLM "Software\Classes\Applications\${MAIN_EXE}"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd

