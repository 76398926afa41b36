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
; settings; add /RemoveSettings to remove them too).

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "${VERSION_FILE}"
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh
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
    !insertmacro StopRunningProgram

    SetOverwrite on
    File "${PROGRAM_DIR}\V270.exe"
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
; installed program in the tray. Registered from task XML, as the program's tray menu does.
Section /o "Start with Windows" SecStartWithWindows
    !insertmacro LogonTaskName
    StrCpy $2 $0
    System::Call 'advapi32::GetUserNameW(w .r3, *i ${NSIS_MAX_STRLEN}) i'
    ReadEnvStr $4 USERDOMAIN
    ${If} $4 != ""
        StrCpy $3 "$4\$3"
    ${EndIf}
    ${WordReplace} "$3" "&" "&amp;" "+" $3
    ${WordReplace} "$INSTDIR\V270.exe" "&" "&amp;" "+" $5

    InitPluginsDir
    FileOpen $0 "$PLUGINSDIR\logon-task.xml" w
    FileWriteUTF16LE /BOM $0 '<?xml version="1.0" encoding="UTF-16"?>$\r$\n'
    FileWriteUTF16LE $0 '<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">$\r$\n'
    FileWriteUTF16LE $0 '  <RegistrationInfo>$\r$\n'
    FileWriteUTF16LE $0 '    <Description>Starts the V270 mouse driver in the tray at logon.</Description>$\r$\n'
    FileWriteUTF16LE $0 '  </RegistrationInfo>$\r$\n'
    FileWriteUTF16LE $0 '  <Triggers>$\r$\n'
    FileWriteUTF16LE $0 '    <LogonTrigger><Enabled>true</Enabled><UserId>$3</UserId></LogonTrigger>$\r$\n'
    FileWriteUTF16LE $0 '  </Triggers>$\r$\n'
    FileWriteUTF16LE $0 '  <Principals>$\r$\n'
    FileWriteUTF16LE $0 '    <Principal id="Author">$\r$\n'
    FileWriteUTF16LE $0 '      <UserId>$3</UserId>$\r$\n'
    FileWriteUTF16LE $0 '      <LogonType>InteractiveToken</LogonType>$\r$\n'
    FileWriteUTF16LE $0 '      <RunLevel>HighestAvailable</RunLevel>$\r$\n'
    FileWriteUTF16LE $0 '    </Principal>$\r$\n'
    FileWriteUTF16LE $0 '  </Principals>$\r$\n'
    FileWriteUTF16LE $0 '  <Settings>$\r$\n'
    FileWriteUTF16LE $0 '    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>$\r$\n'
    FileWriteUTF16LE $0 '    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>$\r$\n'
    FileWriteUTF16LE $0 '    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>$\r$\n'
    FileWriteUTF16LE $0 '    <ExecutionTimeLimit>PT0S</ExecutionTimeLimit>$\r$\n'
    FileWriteUTF16LE $0 '    <Enabled>true</Enabled>$\r$\n'
    FileWriteUTF16LE $0 '  </Settings>$\r$\n'
    FileWriteUTF16LE $0 '  <Actions Context="Author">$\r$\n'
    FileWriteUTF16LE $0 '    <Exec><Command>$5</Command><Arguments>--tray</Arguments></Exec>$\r$\n'
    FileWriteUTF16LE $0 '  </Actions>$\r$\n'
    FileWriteUTF16LE $0 '</Task>$\r$\n'
    FileClose $0

    !insertmacro Schtasks '/Create /F /TN "$2" /XML "$PLUGINSDIR\logon-task.xml"'
    ${If} $0 == 0
        DetailPrint "Registered the logon task $\"$2$\""
    ${Else}
        DetailPrint "The logon task could not be registered ($0)"
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
