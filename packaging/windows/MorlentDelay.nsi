; The Windows installer of Morlent Delay: the VST 3 bundle, the CLAP module, both VST 2 DLLs and
; the documents (manual, factory bank, licence, notices and the 64-bit command-line host), each a
; component the user may leave out. build-installer.sh makes it; it defines VERSION, STAGED (the
; staged release folder), OUTFILE, LICENSE_PAGE (the licence with Windows line ends), ICON,
; SIDE_PICTURE (the welcome and finish pages' artwork) and MANUAL_IMAGES (an include that names the
; manual's pictures, so the uninstaller removes exactly those).
;
; Command line. A value runs up to the next option, so a folder with spaces needs no quotes; use
; backslashes in folders, since "/" starts the next option.
;   /S                   install without questions
;   /COMPONENTS=LIST     comma-separated, any of vst3, clap, vst2-64, vst2-32, docs. Without it:
;                        every component on a first install, the ones installed before on a
;                        reinstall. On a reinstall a component installed before and not chosen
;                        now is removed.
;   /VST2DIR64=FOLDER    the 64-bit VST 2 folder. Default: the folder of an earlier install, else
;                        HKLM\SOFTWARE\VST VSTPluginsPath in the 64-bit registry view, else
;                        $PROGRAMFILES64\VSTPlugins.
;   /VST2DIR32=FOLDER    the 32-bit VST 2 folder, likewise from the 32-bit view (WOW6432Node),
;                        else %ProgramFiles(x86)%\VSTPlugins. It must differ from the 64-bit one.
;   /VST3DIR=FOLDER      the folder that receives MorlentDelay.vst3. Default: the folder of an
;                        earlier install, else the common VST 3 folder $COMMONFILES64\VST3.
;   /D=FOLDER            the program folder (uninstaller, and the docs component). Default: the
;                        folder of an earlier install, else
;                        $PROGRAMFILES64\Morlent Sound Design\Morlent Delay. Must come last.
; MorlentDelay.clap has no folder option: it goes into $COMMONFILES64\CLAP, the folder every CLAP
; host scans (others are set per host, or per user in CLAP_PATH).
; Exit status: 0 installed, 1 cancelled, 2 failed or a bad command line.
; The uninstaller, Uninstall.exe in the program folder, takes /S to remove everything silently.
;
; Where each component went is kept under HKLM\Software\Morlent Sound Design\Morlent Delay (the
; 64-bit view), with the first folder of each path that the installer had to make: uninstalling
; removes exactly our files, then only folders we made that are left empty. Hosts' keys are
; never written.

Unicode true
Target amd64-unicode
RequestExecutionLevel admin
ManifestDPIAware true
SetCompressor /SOLID lzma
; The files' own dates would make every build of the same release differ.
SetDateSave off

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh
!include Sections.nsh
!include "${MANUAL_IMAGES}"

!define PRODUCT "Morlent Delay"
!define COMPANY "Morlent Sound Design"
!define OUR_KEY "Software\${COMPANY}\${PRODUCT}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\MorlentDelay"
!define UNINSTALLER "Uninstall.exe"
!define MANUAL_LINK "$SMPROGRAMS\${PRODUCT} Manual.lnk"
!define VST3_INNER "MorlentDelay.vst3\Contents\x86_64-win"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${COMPANY}"
InstallDir "$PROGRAMFILES64\${COMPANY}\${PRODUCT}"
; A reinstall proposes the earlier program folder; /D= still wins. (64-bit view: the installer
; is a 64-bit program.)
InstallDirRegKey HKLM "${OUR_KEY}" "InstallDir"
ShowInstDetails show
ShowUninstDetails show

Var Vst3Dir
Var ClapDir
Var Vst2Dir64
Var Vst2Dir32
Var Parameters
; Arguments and result of the shared functions below.
Var Folder
Var MadeFolder

;--------------------------------------------------------------------------------------------
; Pages

!define MUI_ABORTWARNING
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${SIDE_PICTURE}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${SIDE_PICTURE}"
!define MUI_COMPONENTSPAGE_SMALLDESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE_PAGE}"
!insertmacro MUI_PAGE_COMPONENTS

!define MUI_PAGE_CUSTOMFUNCTION_SHOW NameInstallUnlessVst2Follows
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup puts the uninstaller into this folder, and with the documents component the manual, the factory bank, the licence and the command-line host."
!insertmacro MUI_PAGE_DIRECTORY

!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipUnlessVst2x64
!define MUI_PAGE_CUSTOMFUNCTION_SHOW NameInstallUnlessVst2x86Follows
!define MUI_PAGE_HEADER_TEXT "64-bit VST 2 Folder"
!define MUI_PAGE_HEADER_SUBTEXT "Where your 64-bit hosts look for VST 2 plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup puts the 64-bit MorlentDelay.dll into this folder. It proposes the folder your hosts registered, if any; choose the folder your 64-bit hosts scan."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "64-bit VST 2 folder"
!define MUI_DIRECTORYPAGE_VARIABLE $Vst2Dir64
!insertmacro MUI_PAGE_DIRECTORY

!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipUnlessVst2x86
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckVst2Folders
!define MUI_PAGE_HEADER_TEXT "32-bit VST 2 Folder"
!define MUI_PAGE_HEADER_SUBTEXT "Where your 32-bit hosts look for VST 2 plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup puts the 32-bit MorlentDelay.dll into this folder. It proposes the folder your hosts registered, if any; choose the folder your 32-bit hosts scan. It must not be the 64-bit folder."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "32-bit VST 2 folder"
!define MUI_DIRECTORYPAGE_VARIABLE $Vst2Dir32
!insertmacro MUI_PAGE_DIRECTORY

!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) ${COMPANY}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "MorlentDelay-${VERSION}-setup.exe"

;--------------------------------------------------------------------------------------------
; Removal, shared by the installer (a component moved or left out on a reinstall) and the
; uninstaller. Nothing here removes a folder with /r: the VST folders are shared with other
; plug-ins, and a user's own file in the program folder keeps that folder.

!macro MANUAL_IMAGE_DELETE NAME
  Delete "$Folder\manual\images\${NAME}"
!macroend

!macro REMOVALS UN
  ; Removes $Folder, then each parent up to and including $MadeFolder, while they are empty.
  ; An empty $MadeFolder means the installer made none of them.
  Function ${UN}RemoveMadeFolders
    ${If} $MadeFolder == ""
      Return
    ${EndIf}
    ${Do}
      ClearErrors
      RMDir $Folder
      ${If} ${Errors}
      ${OrIf} $Folder == $MadeFolder
        ${Break}
      ${EndIf}
      ${GetParent} $Folder $Folder
    ${LoopUntil} $Folder == ""
  FunctionEnd

  Function ${UN}RemoveVst2
    Delete "$Folder\MorlentDelay.dll"
    Call ${UN}RemoveMadeFolders
  FunctionEnd

  Function ${UN}RemoveClap
    Delete "$Folder\MorlentDelay.clap"
    Call ${UN}RemoveMadeFolders
  FunctionEnd

  Function ${UN}RemoveVst3
    Delete "$Folder\${VST3_INNER}\MorlentDelay.vst3"
    RMDir "$Folder\${VST3_INNER}"
    RMDir "$Folder\MorlentDelay.vst3\Contents"
    RMDir "$Folder\MorlentDelay.vst3"
    Call ${UN}RemoveMadeFolders
  FunctionEnd

  Function ${UN}RemoveDocs
    Delete "$Folder\morlent-host.exe"
    Delete "$Folder\Morlent Delay Factory.fxb"
    Delete "$Folder\LICENSE.txt"
    Delete "$Folder\THIRD-PARTY-NOTICES.txt"
    Delete "$Folder\manual\manual.html"
    !insertmacro FOR_EACH_MANUAL_IMAGE MANUAL_IMAGE_DELETE
    RMDir "$Folder\manual\images"
    RMDir "$Folder\manual"
    Delete "${MANUAL_LINK}"
  FunctionEnd

!macroend
!insertmacro REMOVALS ""
!insertmacro REMOVALS "un."

; Removes the component recorded under NAME (values NAME and NAMEMade) with FUNCTION, and
; forgets it.
!macro REMOVE_RECORDED NAME FUNCTION
  ReadRegStr $Folder HKLM "${OUR_KEY}" "${NAME}"
  ReadRegStr $MadeFolder HKLM "${OUR_KEY}" "${NAME}Made"
  ${If} $Folder != ""
    Call ${FUNCTION}
  ${EndIf}
  DeleteRegValue HKLM "${OUR_KEY}" "${NAME}"
  DeleteRegValue HKLM "${OUR_KEY}" "${NAME}Made"
!macroend

;--------------------------------------------------------------------------------------------
; Folders

; $Folder without its trailing backslashes; error flag set when it is not a full folder path
; (from a drive letter or a network share).
Function NormaliseFolder
  ClearErrors
  StrCpy $0 $Folder 2 1
  StrCpy $1 $Folder 2
  ${If} $0 != ":\"
  ${AndIf} $1 != "\\"
    SetErrors
    Return
  ${EndIf}
  ${Do}
    StrCpy $0 $Folder 1 -1
    ${If} $0 != "\"
      ${Break}
    ${EndIf}
    StrCpy $Folder $Folder -1
  ${Loop}
  ${If} $Folder == ""
    SetErrors
  ${EndIf}
FunctionEnd

; $MadeFolder: the outermost folder of $Folder that does not exist yet, or "" when it exists.
Function FindFolderToMake
  StrCpy $MadeFolder ""
  Push $Folder
  ${DoUntil} $Folder == ""
    ${If} ${FileExists} "$Folder\*.*"
      ${Break}
    ${EndIf}
    StrCpy $MadeFolder $Folder
    ${GetParent} $Folder $Folder
  ${Loop}
  Pop $Folder
FunctionEnd

; A folder given on the command line, in $Folder; stops the installer when it is no folder path.
!macro FOLDER_OPTION OPTION VARIABLE
  ClearErrors
  ${GetOptions} $Parameters "/${OPTION}=" $Folder
  ${IfNot} ${Errors}
    Call NormaliseFolder
    ${If} ${Errors}
      MessageBox MB_OK|MB_ICONSTOP "/${OPTION}= needs a full folder path such as C:\Folder, not '$Folder'." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    StrCpy ${VARIABLE} $Folder
  ${EndIf}
!macroend

; A host's registered VST 2 folder in the registry view VIEW, when the variable has none yet.
!macro REGISTERED_VST2_FOLDER VIEW VARIABLE
  ${If} ${VARIABLE} == ""
    SetRegView ${VIEW}
    ReadRegStr $Folder HKLM "SOFTWARE\VST" "VSTPluginsPath"
    SetRegView 64
    ExpandEnvStrings $Folder $Folder
    Call NormaliseFolder
    ${IfNot} ${Errors}
      StrCpy ${VARIABLE} $Folder
    ${EndIf}
  ${EndIf}
!macroend

;--------------------------------------------------------------------------------------------
; Components

Section "-Clear the earlier install"
  Call ClearEarlierInstall
SectionEnd

Section "VST 3 plug-in (64-bit)" SecVst3
  ReadRegStr $0 HKLM "${OUR_KEY}" "Vst3Dir"
  ${If} $0 == ""
    StrCpy $Folder $Vst3Dir
    Call FindFolderToMake
    WriteRegStr HKLM "${OUR_KEY}" "Vst3Dir" $Vst3Dir
    WriteRegStr HKLM "${OUR_KEY}" "Vst3DirMade" $MadeFolder
  ${EndIf}
  SetOutPath "$Vst3Dir\${VST3_INNER}"
  File "${STAGED}\win64\${VST3_INNER}\MorlentDelay.vst3"
SectionEnd

; Between the VST 3 and the documents' sections: the sizes and /COMPONENTS= go through them in order.
Section "CLAP plug-in (64-bit)" SecClap
  ReadRegStr $0 HKLM "${OUR_KEY}" "ClapDir"
  ${If} $0 == ""
    StrCpy $Folder $ClapDir
    Call FindFolderToMake
    WriteRegStr HKLM "${OUR_KEY}" "ClapDir" $ClapDir
    WriteRegStr HKLM "${OUR_KEY}" "ClapDirMade" $MadeFolder
  ${EndIf}
  SetOutPath $ClapDir
  File "${STAGED}\win64\MorlentDelay.clap"
SectionEnd

Section "VST 2 plug-in, 64-bit" SecVst2x64
  ReadRegStr $0 HKLM "${OUR_KEY}" "Vst2Dir64"
  ${If} $0 == ""
    StrCpy $Folder $Vst2Dir64
    Call FindFolderToMake
    WriteRegStr HKLM "${OUR_KEY}" "Vst2Dir64" $Vst2Dir64
    WriteRegStr HKLM "${OUR_KEY}" "Vst2Dir64Made" $MadeFolder
  ${EndIf}
  SetOutPath $Vst2Dir64
  File "${STAGED}\win64\MorlentDelay.dll"
SectionEnd

Section "VST 2 plug-in, 32-bit" SecVst2x86
  ReadRegStr $0 HKLM "${OUR_KEY}" "Vst2Dir32"
  ${If} $0 == ""
    StrCpy $Folder $Vst2Dir32
    Call FindFolderToMake
    WriteRegStr HKLM "${OUR_KEY}" "Vst2Dir32" $Vst2Dir32
    WriteRegStr HKLM "${OUR_KEY}" "Vst2Dir32Made" $MadeFolder
  ${EndIf}
  SetOutPath $Vst2Dir32
  File "${STAGED}\win32\MorlentDelay.dll"
SectionEnd

!macro MANUAL_IMAGE_FILE NAME
  File "${STAGED}\manual\images\${NAME}"
!macroend

Section "Manual, factory bank and command-line host" SecDocs
  SetOutPath $INSTDIR
  File "${STAGED}\win64\morlent-host.exe"
  File "${STAGED}\Morlent Delay Factory.fxb"
  File "${STAGED}\LICENSE.txt"
  File "${STAGED}\THIRD-PARTY-NOTICES.txt"
  SetOutPath "$INSTDIR\manual"
  File "${STAGED}\manual\manual.html"
  SetOutPath "$INSTDIR\manual\images"
  !insertmacro FOR_EACH_MANUAL_IMAGE MANUAL_IMAGE_FILE
  SetOutPath $INSTDIR
  CreateShortcut "${MANUAL_LINK}" "$INSTDIR\manual\manual.html"
  WriteRegDWORD HKLM "${OUR_KEY}" "Documents" 1
SectionEnd

; Runs last: the uninstaller and its registration, sized by what is installed now.
Section "-Register"
  SetOutPath $INSTDIR
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  WriteRegStr HKLM "${OUR_KEY}" "Version" "${VERSION}"

  StrCpy $1 0
  ${ForEach} $0 ${SecVst3} ${SecDocs} + 1
    ${If} ${SectionIsSelected} $0
      SectionGetSize $0 $2
      IntOp $1 $1 + $2
    ${EndIf}
  ${Next}
  FileOpen $0 "$INSTDIR\${UNINSTALLER}" r
  FileSeek $0 0 END $2
  FileClose $0
  IntOp $2 $2 + 1023
  IntOp $2 $2 / 1024
  IntOp $1 $1 + $2

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${UNINSTALLER},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" $INSTDIR
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecVst3} "MorlentDelay.vst3 into the common VST 3 folder, for 64-bit VST 3 hosts."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecClap} "MorlentDelay.clap into the common CLAP folder, for 64-bit CLAP hosts."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecVst2x64} "MorlentDelay.dll for 64-bit VST 2 hosts, into their VST 2 folder."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecVst2x86} "MorlentDelay.dll (first generation) for 32-bit VST 2 hosts, into their VST 2 folder."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDocs} "The user manual with a Start-menu link, the factory bank, the licence and the command-line host morlent-host.exe."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

;--------------------------------------------------------------------------------------------
; Start: records of an earlier install, then the command line

Function .onInit
  SetRegView 64
  SetShellVarContext all
  ${GetParameters} $Parameters
  ; Windows file names cannot hold quotes, so "/OPTION=C:\A B" and /OPTION="C:\A B" both work.
  ${WordReplace} $Parameters '"' '' '+' $Parameters

  ReadRegStr $Vst3Dir HKLM "${OUR_KEY}" "Vst3Dir"
  ReadRegStr $ClapDir HKLM "${OUR_KEY}" "ClapDir"
  ReadRegStr $Vst2Dir64 HKLM "${OUR_KEY}" "Vst2Dir64"
  ReadRegStr $Vst2Dir32 HKLM "${OUR_KEY}" "Vst2Dir32"
  ReadRegStr $0 HKLM "${OUR_KEY}" "InstallDir"
  ReadRegDWORD $1 HKLM "${OUR_KEY}" "Documents"
  ${If} $0 != ""
    ; A reinstall proposes what is installed: the same components in the same folders.
    ${If} $Vst3Dir == ""
      !insertmacro UnselectSection ${SecVst3}
    ${EndIf}
    ${If} $ClapDir == ""
      !insertmacro UnselectSection ${SecClap}
    ${EndIf}
    ${If} $Vst2Dir64 == ""
      !insertmacro UnselectSection ${SecVst2x64}
    ${EndIf}
    ${If} $Vst2Dir32 == ""
      !insertmacro UnselectSection ${SecVst2x86}
    ${EndIf}
    ${If} $1 != 1
      !insertmacro UnselectSection ${SecDocs}
    ${EndIf}
  ${EndIf}

  !insertmacro FOLDER_OPTION VST3DIR $Vst3Dir
  !insertmacro FOLDER_OPTION VST2DIR64 $Vst2Dir64
  !insertmacro FOLDER_OPTION VST2DIR32 $Vst2Dir32
  !insertmacro REGISTERED_VST2_FOLDER 64 $Vst2Dir64
  !insertmacro REGISTERED_VST2_FOLDER 32 $Vst2Dir32
  ${If} $Vst3Dir == ""
    StrCpy $Vst3Dir "$COMMONFILES64\VST3"
  ${EndIf}
  ${If} $ClapDir == ""
    StrCpy $ClapDir "$COMMONFILES64\CLAP"
  ${EndIf}
  ${If} $Vst2Dir64 == ""
    StrCpy $Vst2Dir64 "$PROGRAMFILES64\VSTPlugins"
  ${EndIf}
  ${If} $Vst2Dir32 == ""
    ; Windows sets this for 64-bit programs too; a 64-bit program's $PROGRAMFILES32 comes from
    ; the 32-bit registry view, which Wine without its 32-bit half leaves without it.
    ReadEnvStr $Vst2Dir32 "ProgramFiles(x86)"
    ${If} $Vst2Dir32 == ""
      StrCpy $Vst2Dir32 $PROGRAMFILES32
    ${EndIf}
    StrCpy $Vst2Dir32 "$Vst2Dir32\VSTPlugins"
  ${EndIf}

  ClearErrors
  ${GetOptions} $Parameters "/COMPONENTS=" $0
  ${IfNot} ${Errors}
    ${ForEach} $1 ${SecVst3} ${SecDocs} + 1
      !insertmacro UnselectSection $1
    ${Next}
    ; Split at commas; $2 is the name being read, $3 the position.
    StrCpy $2 ""
    StrCpy $3 0
    ${Do}
      StrCpy $4 $0 1 $3
      IntOp $3 $3 + 1
      ${If} $4 != ","
      ${AndIf} $4 != ""
        StrCpy $2 "$2$4"
        ${Continue}
      ${EndIf}
      ${Select} $2
        ${Case} "vst3"
          !insertmacro SelectSection ${SecVst3}
        ${Case} "clap"
          !insertmacro SelectSection ${SecClap}
        ${Case} "vst2-64"
          !insertmacro SelectSection ${SecVst2x64}
        ${Case} "vst2-32"
          !insertmacro SelectSection ${SecVst2x86}
        ${Case} "docs"
          !insertmacro SelectSection ${SecDocs}
        ${CaseElse}
          MessageBox MB_OK|MB_ICONSTOP "/COMPONENTS= takes vst3, clap, vst2-64, vst2-32 and docs, separated by commas, not '$2'." /SD IDOK
          SetErrorLevel 2
          Quit
      ${EndSelect}
      StrCpy $2 ""
    ${LoopUntil} $4 == ""
  ${EndIf}

  ${If} ${SectionIsSelected} ${SecVst2x64}
  ${AndIf} ${SectionIsSelected} ${SecVst2x86}
  ${AndIf} $Vst2Dir64 == $Vst2Dir32
    MessageBox MB_OK|MB_ICONSTOP "The 64-bit and the 32-bit VST 2 plug-ins are both MorlentDelay.dll: they need two folders, not both $Vst2Dir64." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
FunctionEnd

Function SkipUnlessVst2x64
  ${IfNot} ${SectionIsSelected} ${SecVst2x64}
    Abort
  ${EndIf}
FunctionEnd

Function SkipUnlessVst2x86
  ${IfNot} ${SectionIsSelected} ${SecVst2x86}
    Abort
  ${EndIf}
FunctionEnd

; makensis names the Next button Install only on the page before the install when every page
; shows; with the VST 2 folder pages after a page skipped, that page starts the install and must
; say so.
Function NameNextInstall
  GetDlgItem $0 $HWNDPARENT 1
  SendMessage $0 ${WM_SETTEXT} 0 "STR:$(^InstallBtn)"
FunctionEnd

Function NameInstallUnlessVst2Follows
  ${IfNot} ${SectionIsSelected} ${SecVst2x64}
  ${AndIfNot} ${SectionIsSelected} ${SecVst2x86}
    Call NameNextInstall
  ${EndIf}
FunctionEnd

Function NameInstallUnlessVst2x86Follows
  ${IfNot} ${SectionIsSelected} ${SecVst2x86}
    Call NameNextInstall
  ${EndIf}
FunctionEnd

Function CheckVst2Folders
  ${If} ${SectionIsSelected} ${SecVst2x64}
  ${AndIf} $Vst2Dir64 == $Vst2Dir32
    MessageBox MB_OK|MB_ICONEXCLAMATION "The 64-bit VST 2 plug-in goes into this folder already. Choose the folder of your 32-bit hosts."
    Abort
  ${EndIf}
FunctionEnd

; Whatever an earlier install put where it does not belong now goes, so a reinstall leaves
; exactly the chosen components in the chosen folders.
Function ClearEarlierInstall
  ReadRegStr $0 HKLM "${OUR_KEY}" "Vst3Dir"
  ${If} $0 != ""
    ${IfNot} ${SectionIsSelected} ${SecVst3}
    ${OrIf} $0 != $Vst3Dir
      !insertmacro REMOVE_RECORDED Vst3Dir RemoveVst3
    ${EndIf}
  ${EndIf}
  ReadRegStr $0 HKLM "${OUR_KEY}" "ClapDir"
  ${If} $0 != ""
    ${IfNot} ${SectionIsSelected} ${SecClap}
    ${OrIf} $0 != $ClapDir
      !insertmacro REMOVE_RECORDED ClapDir RemoveClap
    ${EndIf}
  ${EndIf}
  ReadRegStr $0 HKLM "${OUR_KEY}" "Vst2Dir64"
  ${If} $0 != ""
    ${IfNot} ${SectionIsSelected} ${SecVst2x64}
    ${OrIf} $0 != $Vst2Dir64
      !insertmacro REMOVE_RECORDED Vst2Dir64 RemoveVst2
    ${EndIf}
  ${EndIf}
  ReadRegStr $0 HKLM "${OUR_KEY}" "Vst2Dir32"
  ${If} $0 != ""
    ${IfNot} ${SectionIsSelected} ${SecVst2x86}
    ${OrIf} $0 != $Vst2Dir32
      !insertmacro REMOVE_RECORDED Vst2Dir32 RemoveVst2
    ${EndIf}
  ${EndIf}

  ReadRegStr $0 HKLM "${OUR_KEY}" "InstallDir"
  ReadRegDWORD $1 HKLM "${OUR_KEY}" "Documents"
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
    ; The program folder moves: the documents and the uninstaller leave the old one.
    StrCpy $Folder $0
    ${If} $1 == 1
      Call RemoveDocs
    ${EndIf}
    Delete "$0\${UNINSTALLER}"
    ReadRegStr $MadeFolder HKLM "${OUR_KEY}" "InstallDirMade"
    StrCpy $Folder $0
    Call RemoveMadeFolders
    DeleteRegValue HKLM "${OUR_KEY}" "InstallDir"
    DeleteRegValue HKLM "${OUR_KEY}" "InstallDirMade"
    DeleteRegValue HKLM "${OUR_KEY}" "Documents"
  ${ElseIf} $1 == 1
  ${AndIfNot} ${SectionIsSelected} ${SecDocs}
    StrCpy $Folder $INSTDIR
    Call RemoveDocs
    DeleteRegValue HKLM "${OUR_KEY}" "Documents"
  ${EndIf}

  ReadRegStr $0 HKLM "${OUR_KEY}" "InstallDir"
  ${If} $0 == ""
    StrCpy $Folder $INSTDIR
    Call FindFolderToMake
    WriteRegStr HKLM "${OUR_KEY}" "InstallDir" $INSTDIR
    WriteRegStr HKLM "${OUR_KEY}" "InstallDirMade" $MadeFolder
  ${EndIf}
FunctionEnd

;--------------------------------------------------------------------------------------------
; Uninstaller

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Uninstall"
  !insertmacro REMOVE_RECORDED Vst3Dir un.RemoveVst3
  !insertmacro REMOVE_RECORDED ClapDir un.RemoveClap
  !insertmacro REMOVE_RECORDED Vst2Dir64 un.RemoveVst2
  !insertmacro REMOVE_RECORDED Vst2Dir32 un.RemoveVst2
  StrCpy $Folder $INSTDIR
  Call un.RemoveDocs
  Delete "$INSTDIR\${UNINSTALLER}"
  ReadRegStr $MadeFolder HKLM "${OUR_KEY}" "InstallDirMade"
  StrCpy $Folder $INSTDIR
  Call un.RemoveMadeFolders
  DeleteRegKey HKLM "${OUR_KEY}"
  DeleteRegKey /ifempty HKLM "Software\${COMPANY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
