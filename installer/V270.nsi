; The installer of the VELKO V270 driver: a 64-bit, per-machine install into Program Files.
;
;   makensis -INPUTCHARSET UTF8 -DPROGRAM_DIR=<staged program folder> -DVERSION_FILE=<version.nsh>
;            -DICON_FILE=<v270.ico> -DOUT_FILE=<setup.exe> installer/V270.nsi
;
; scripts/package.sh runs it.
;
; The settings live beside the program (config.ini, Macro_EN.dat, Macro_CN.dat): an install over
; an existing one keeps them, and the uninstaller keeps them unless asked to remove them.
;
; Silent use: "setup.exe /S [/StartWithWindows] [/D=folder]", "uninstall.exe /S" (keeps the
; settings; add /RemoveSettings to remove them too). Setup ends with 0, or with 3 or 4 when it
; installed but could not turn Start with Windows on (see EXIT_NOT_PROTECTED).

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "${VERSION_FILE}"
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define PRODUCT "VELKO V270"
!define DISPLAY_NAME "VELKO V270 GAMING MOUSE"
!define PUBLISHER "VELKO"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VELKO V270"
; The program's window titles, English and Chinese: a running instance is found by them.
!define TITLE_EN "VELKO V270 GAMING MOUSE"
!define TITLE_CN "VELKO V270竞技游戏鼠标"
; The logon task the program's tray menu also manages: one per user, named after the user.
!define TASK_PREFIX "V270 Start With Windows"
; The install folder's own access list, inherited by all it holds: Administrators, SYSTEM and
; TrustedInstaller may change it, users read and run. The driver runs with administrator rights,
; at every logon when it starts with Windows: nobody else may replace it.
!define FOLDER_RIGHTS "O:BAD:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)\
(A;OICI;FA;;;S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464)(A;OICI;0x1200a9;;;BU)"
; What "V270.exe --start-with-windows" ends with.
!define START_NOT_PROTECTED 2
; The installer's exit code when it installed but could not turn Start with Windows on: 3 when
; the folder or one above it lets others change it, 4 when the Task Scheduler refused the task.
!define EXIT_NOT_PROTECTED 3
!define EXIT_SCHEDULER_REFUSED 4

Name "${DISPLAY_NAME}"
OutFile "${OUT_FILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; An earlier install is updated where it is, unless /D names another folder.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${V270_VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${V270_VERSION_QUAD}"
VIAddVersionKey /LANG=1033 "ProductName" "${DISPLAY_NAME}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${DISPLAY_NAME} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${V270_VERSION_QUAD}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${V270_VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright ${PUBLISHER}"

!define MUI_ICON "${ICON_FILE}"
!define MUI_UNICON "${ICON_FILE}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks a running instance to end through its own close path (the close of its main window),
; waits up to 10 s for its window to go, then up to 10 s more until its file can be replaced.
!macro StopRunningProgram
    StrCpy $1 0
    ${Do}
        FindWindow $0 "" "${TITLE_EN}"
        ${If} $0 == 0
            FindWindow $0 "" "${TITLE_CN}"
        ${EndIf}
        ${If} $0 == 0
            ${ExitDo}
        ${EndIf}
        ${If} $1 == 0
            DetailPrint "Closing the running ${PRODUCT} driver"
        ${EndIf}
        SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=2000
        Sleep 200
        IntOp $1 $1 + 1
    ${LoopUntil} $1 >= 50
    StrCpy $1 0
    ${DoWhile} ${FileExists} "$INSTDIR\V270.exe"
        ClearErrors
        FileOpen $0 "$INSTDIR\V270.exe" a
        ${IfNot} ${Errors}
            FileClose $0
            ${ExitDo}
        ${EndIf}
        Sleep 200
        IntOp $1 $1 + 1
        ${If} $1 >= 50
            ${ExitDo}
        ${EndIf}
    ${Loop}
!macroend

; Gives $INSTDIR the access list FOLDER_RIGHTS and makes Administrators its owner, whatever /D
; named and whoever made the folder; what it already holds takes the list too. $0 = 0 when done.
!macro ProtectInstallFolder
    StrCpy $0 1
    System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "${FOLDER_RIGHTS}", \
        i 1, *p .r1, p 0) i .r2'
    ${If} $2 != 0
        System::Call 'advapi32::GetSecurityDescriptorOwner(p r1, *p .r3, *i .r4) i'
        System::Call 'advapi32::GetSecurityDescriptorDacl(p r1, *i .r4, *p .r5, *i .r4) i'
        ; OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION
        System::Call 'advapi32::SetNamedSecurityInfoW(w "$INSTDIR", i 1, i 0x80000005, p r3, p 0, \
            p r5, p 0) i .r0'
        System::Call 'kernel32::LocalFree(p r1)'
    ${EndIf}
!macroend

; $0 = the logon task's name for the user running this, as the program names it.
!macro LogonTaskName
    System::Call 'advapi32::GetUserNameW(w .r0, *i ${NSIS_MAX_STRLEN}) i .r1'
    ${If} $1 == 0
        StrCpy $0 "${TASK_PREFIX}"
    ${Else}
        StrCpy $0 "${TASK_PREFIX} ($0)"
    ${EndIf}
!macroend

; Runs schtasks with ARGS; $0 = its exit code. When it fails, the Task Scheduler may not be running
; yet (as in a fresh Wine session): it is started and schtasks tried once more.
!macro Schtasks ARGS
    nsExec::ExecToLog '"$SYSDIR\schtasks.exe" ${ARGS}'
    Pop $0
    ${If} $0 != 0
        nsExec::ExecToLog '"$SYSDIR\net.exe" start Schedule'
        Pop $1
        nsExec::ExecToLog '"$SYSDIR\schtasks.exe" ${ARGS}'
        Pop $0
    ${EndIf}
!macroend

Section "${PRODUCT} driver" SecProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    !insertmacro ProtectInstallFolder
    ${If} $0 != 0
        DetailPrint "The access list of $INSTDIR could not be set ($0)"
        MessageBox MB_OK|MB_ICONEXCLAMATION "Setup could not make $INSTDIR a folder that only \
            administrators can change. The driver works there, but cannot start with Windows." /SD IDOK
    ${EndIf}
    !insertmacro StopRunningProgram

    SetOverwrite on
    File "${PROGRAM_DIR}\V270.exe"
    File "${PROGRAM_DIR}\V270Cmd.exe"
    SetOutPath "$INSTDIR\skins"
    File /r "${PROGRAM_DIR}\skins\*.*"
    ; The user's settings: installed only where there are none yet.
    SetOutPath "$INSTDIR"
    SetOverwrite off
    File "${PROGRAM_DIR}\config.ini"
    File "${PROGRAM_DIR}\Macro_EN.dat"
    File "${PROGRAM_DIR}\Macro_CN.dat"
    SetOverwrite on

    WriteUninstaller "$INSTDIR\uninstall.exe"

    SetShellVarContext all
    CreateShortcut "$SMPROGRAMS\${DISPLAY_NAME}.lnk" "$INSTDIR\V270.exe" "" "$INSTDIR\V270.exe" 0

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${DISPLAY_NAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${V270_VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\V270.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The logon task: at the user's logon, with highest privileges (the program asks for them), the
; installed program in the tray. The program registers it itself, as its tray menu does, and
; only when nobody but the administrators can replace it.
Section /o "Start with Windows" SecStartWithWindows
    ExecWait '"$INSTDIR\V270.exe" --start-with-windows' $0
    ${If} $0 == 0
        DetailPrint "Registered the logon task"
    ${ElseIf} $0 == ${START_NOT_PROTECTED}
        DetailPrint "The logon task was not registered: $INSTDIR is not protected"
        SetErrorLevel ${EXIT_NOT_PROTECTED}
        MessageBox MB_OK|MB_ICONEXCLAMATION "${PRODUCT} was not set to start with Windows: $INSTDIR, \
            or a folder above it, can be changed by users other than the administrators, who \
            could replace the driver and have it run with administrator rights. Install it into \
            a folder such as $PROGRAMFILES64 to start it with Windows." /SD IDOK
    ${Else}
        DetailPrint "The logon task could not be registered ($0)"
        SetErrorLevel ${EXIT_SCHEDULER_REFUSED}
        MessageBox MB_OK|MB_ICONEXCLAMATION "${PRODUCT} could not be set to start with Windows. \
            It can be set later from the tray menu of the program." /SD IDOK
    ${EndIf}
SectionEnd

LangString DESC_SecProgram ${LANG_ENGLISH} "The driver, its skin and the settings files."
LangString DESC_SecStartWithWindows ${LANG_ENGLISH} \
    "Starts the driver in the tray when you log on to Windows."
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} $(DESC_SecProgram)
    !insertmacro MUI_DESCRIPTION_TEXT ${SecStartWithWindows} $(DESC_SecStartWithWindows)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/StartWithWindows" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecStartWithWindows}
    ${EndIf}
FunctionEnd

Section "un.${PRODUCT} driver" SecUnProgram
    SectionIn RO
    !insertmacro StopRunningProgram

    !insertmacro LogonTaskName
    StrCpy $2 $0
    !insertmacro Schtasks '/Delete /F /TN "$2"'

    ; A driver that would not close loses its file at the next restart.
    Delete /REBOOTOK "$INSTDIR\V270.exe"
    Delete "$INSTDIR\V270Cmd.exe"
    RMDir /r "$INSTDIR\skins"
    ; Temporary files a save cut short by a crash can leave beside the settings.
    Delete "$INSTDIR\.*.tmp-*"
    Delete "$INSTDIR\uninstall.exe"

    SetShellVarContext all
    Delete "$SMPROGRAMS\${DISPLAY_NAME}.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Remove my settings" SecUnSettings
    Delete "$INSTDIR\config.ini"
    Delete "$INSTDIR\Macro_EN.dat"
    Delete "$INSTDIR\Macro_CN.dat"
SectionEnd

Section "-un.Folder"
    ; Removed only when nothing is left in it: kept settings keep it.
    RMDir "$INSTDIR"
SectionEnd

LangString DESC_SecUnSettings ${LANG_ENGLISH} \
    "Also removes config.ini, Macro_EN.dat and Macro_CN.dat. Leave unchecked to keep your \
     profiles and macros for a later install."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecUnSettings} $(DESC_SecUnSettings)
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END

Function un.onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/RemoveSettings" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecUnSettings}
    ${EndIf}
FunctionEnd
