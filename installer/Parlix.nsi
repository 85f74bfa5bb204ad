; The installer and uninstaller of Parlix, built by scripts/release.sh with
; makensis from the files of the product build staged in one folder:
;   makensis -DVERSION=1.6 -DVERSION4=1.6.0.0 -DSTAGE=<folder> -DOUTFILE=<setup.exe>
;            -DNSIS_LICENSE=<text> Parlix.nsi
; Silent use: Setup.exe /S [/AUTORUN=0|1] [/START=1] [/D=<folder>]
;             Uninstall.exe /S [/REMOVESETTINGS]
; Without /AUTORUN a silent upgrade keeps the start-at-logon state it finds.
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define PRODUCT "Parlix"
!define MAKER "Kelvandor"
!define HOST "ParlixHost.exe"
!define HOST_WINDOW_CLASS "ParlixHostWindow"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Parlix"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\${MAKER}\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; The 32-bit program folder: "Program Files (x86)" on 64-bit Windows.
InstallDir "$PROGRAMFILES32\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

; The project states no copyright line to put in the version resource.
!pragma warning disable 9100
VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${MAKER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"

Var AutoRun      ; 1 when the Run value is to be written
Var StartNow     ; 1 when the host is to be started at the end of a silent install
Var HadAutoRun   ; 1 when the Run value was there before this install
Var Upgrade      ; 1 when an earlier install is found

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(StartNowText)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartHostNow
; The finish page's second box asks for the start at logon.
!define MUI_FINISHPAGE_SHOWREADME
!define MUI_FINISHPAGE_SHOWREADME_TEXT "$(AutoRunText)"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION EnableAutoRun
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for a user whose language is neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString StartNowText ${LANG_ENGLISH} "Start Parlix now"
LangString StartNowText ${LANG_SIMPCHINESE} "现在启动 Parlix"
LangString AutoRunText ${LANG_ENGLISH} "Start Parlix when I log on to Windows"
LangString AutoRunText ${LANG_SIMPCHINESE} "登录 Windows 时启动 Parlix"
LangString HostStillRunning ${LANG_ENGLISH} "Parlix is still running and could not be stopped. Exit it (tray icon, Exit) and click Retry."
LangString HostStillRunning ${LANG_SIMPCHINESE} "Parlix 仍在运行，无法停止。请退出它（托盘图标，“退出”）后点击“重试”。"
LangString KeepSettings ${LANG_ENGLISH} "Keep the Parlix settings and the message history?$\r$\n$\r$\nChoose No to remove them too."
LangString KeepSettings ${LANG_SIMPCHINESE} "保留 Parlix 的设置和消息历史吗？$\r$\n$\r$\n选择“否”将一并删除。"
LangString GuideName ${LANG_ENGLISH} "Guide.txt"
LangString GuideName ${LANG_SIMPCHINESE} "Guide-zh-CN.txt"

; Closes the running host as the player's Exit does (it takes its hook away
; first) and waits for its window to go, ten seconds at most before asking.
!macro DefineStopHost un
Function ${un}StopHost
  StrCpy $R1 0
  ${Do}
    FindWindow $R0 "${HOST_WINDOW_CLASS}"
    ${If} $R0 == 0
      Return
    ${EndIf}
    SendMessage $R0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    Sleep 100
    IntOp $R1 $R1 + 1
    ${If} $R1 >= 100
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(HostStillRunning)" /SD IDCANCEL IDRETRY +2
      Abort
      StrCpy $R1 0
    ${EndIf}
  ${Loop}
FunctionEnd

; Deletes a file of ours that a process may still hold: the host for a moment
; after its window went, the module in a game until the game lets it go. A file
; that stays held is renamed aside and deleted at the next restart.
Function ${un}DeleteWhenFree
  Exch $R2
  StrCpy $R3 0
  ${DoWhile} ${FileExists} "$R2"
    Delete "$R2"
    ${IfNot} ${FileExists} "$R2"
      ${Break}
    ${EndIf}
    IntOp $R3 $R3 + 1
    ${If} $R3 >= 50
      Delete "$R2.old"
      Rename "$R2" "$R2.old"
      Delete /REBOOTOK "$R2.old"
      ${Break}
    ${EndIf}
    Sleep 100
  ${Loop}
  Pop $R2
FunctionEnd
!macroend
!insertmacro DefineStopHost ""
!insertmacro DefineStopHost "un."

!macro DeleteWhenFree un path
  Push "${path}"
  Call ${un}DeleteWhenFree
!macroend

Function .onInit
  ReadRegStr $R0 HKCU "${RUN_KEY}" "${PRODUCT}"
  StrCpy $HadAutoRun 0
  ${If} $R0 != ""
    StrCpy $HadAutoRun 1
  ${EndIf}
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  StrCpy $Upgrade 0
  ${If} $R0 != ""
    StrCpy $Upgrade 1
  ${EndIf}
  ; A silent install is told what to do; otherwise the finish page asks.
  ${GetParameters} $R0
  StrCpy $AutoRun ""
  ClearErrors
  ${GetOptions} $R0 "/AUTORUN=" $R1
  ${IfNot} ${Errors}
    StrCpy $AutoRun $R1
  ${EndIf}
  StrCpy $StartNow 0
  ClearErrors
  ${GetOptions} $R0 "/START=" $R1
  ${IfNot} ${Errors}
    StrCpy $StartNow $R1
  ${EndIf}
FunctionEnd

Function WriteRunValue
  ; Quoted, so that Windows cannot take "C:\Program" for the program.
  WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\${HOST}"'
FunctionEnd

; A first install offers the start at logon; an upgrade offers what was there.
Function FinishPageShow
  ${If} $Upgrade == 1
  ${AndIf} $HadAutoRun == 0
    SendMessage $mui.FinishPage.ShowReadme ${BM_SETCHECK} ${BST_UNCHECKED} 0
  ${EndIf}
FunctionEnd

Function EnableAutoRun
  Call WriteRunValue
FunctionEnd

Function StartHostNow
  Exec '"$INSTDIR\${HOST}"'
FunctionEnd

Section "Parlix" SecMain
  SectionIn RO
  Call StopHost
  !insertmacro DeleteWhenFree "" "$INSTDIR\${HOST}"
  !insertmacro DeleteWhenFree "" "$INSTDIR\Parlix.dll"

  SetOutPath "$INSTDIR"
  File "${STAGE}\${HOST}"
  File "${STAGE}\Parlix.dll"
  File "${STAGE}\Guide.txt"
  File "${STAGE}\Guide-zh-CN.txt"
  SetOutPath "$INSTDIR\licenses"
  File "${STAGE}\licenses\*.txt"
  ; Uninstall.exe is made of this installer's own code.
  File /oname=NSIS.txt "${NSIS_LICENSE}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  SetShellVarContext all
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${HOST}" "" "$INSTDIR\${HOST}" 0 SW_SHOWNORMAL "" "${PRODUCT} ${VERSION}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\${HOST}",0'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $R0 $R1 $R2
  IntFmt $R0 "0x%08X" $R0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$R0"

  ; The start at logon is written anew, quoted and naming this folder: by the
  ; finish page's box, or in a silent install by /AUTORUN, without which an
  ; upgrade keeps the state it found.
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  ${If} ${Silent}
    ${If} $AutoRun == 1
      Call WriteRunValue
    ${ElseIf} $AutoRun == ""
    ${AndIf} $HadAutoRun == 1
      Call WriteRunValue
    ${EndIf}
    ${If} $StartNow == 1
      Call StartHostNow
    ${EndIf}
  ${EndIf}
SectionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "Uninstall"
  Call un.StopHost
  ; The bind lines in the game's userconfig.cfg, every other byte kept; the
  ; host finds the game in the settings, so this comes before they may go.
  ; Through nsExec, which gives it an output pipe: it reports there, not in a box.
  nsExec::Exec '"$INSTDIR\${HOST}" --remove-game-setup'
  Pop $R0
  DetailPrint "--remove-game-setup: $R0"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"

  ${un.GetParameters} $R1
  ClearErrors
  ${un.GetOptions} $R1 "/REMOVESETTINGS" $R2
  ${If} ${Errors}
    ; A silent uninstall keeps them unless told otherwise.
    MessageBox MB_YESNO|MB_ICONQUESTION "$(KeepSettings)" /SD IDYES IDYES keep
  ${EndIf}
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\${MAKER}"
  keep:

  !insertmacro DeleteWhenFree "un." "$INSTDIR\${HOST}"
  !insertmacro DeleteWhenFree "un." "$INSTDIR\Parlix.dll"
  Delete "$INSTDIR\Guide.txt"
  Delete "$INSTDIR\Guide-zh-CN.txt"
  Delete "$INSTDIR\licenses\*.txt"
  RMDir "$INSTDIR\licenses"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: the player may have kept files of their own there.
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
