; The installer and uninstaller of Parlix, built by scripts/release.sh with
; makensis from the files of the product build staged in one folder:
;   makensis -DVERSION=1.6 -DVERSION4=1.6.0.0 -DSTAGE=<folder> -DOUTFILE=<setup.exe>
;            -DNSIS_LICENSE=<text> Parlix.nsi
; Silent use: Setup.exe /S [/AUTORUN=0|1] [/START=1] [/D=<folder>]
;             Uninstall.exe /S [/REMOVESETTINGS]
; Without /AUTORUN a silent upgrade keeps the start-at-logon state it finds.
;
; Parlix is installed for the current user alone, with the user's own rights: the
; host then edits the player's settings, Run value and game files, and its hook
; reaches no elevated program. An installation for all users made by an earlier
; installer is removed first (its uninstaller asks Windows for administrator
; rights), keeping the settings; the start at logon and the game set-up are then
; put back for this user.
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user
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
; How long the uninstaller of an installation for all users may take, in
; quarter seconds: two minutes.
!define OLD_UNINSTALL_QUARTERS 480
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_ONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"
!define SETTINGS_KEY "Software\${MAKER}\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
; The user's own program folder, which needs no administrator rights.
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
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
Var OldDir       ; the folder of an installation for all users, removed in .onInit
Var OldRemoved   ; 1 when that installation was removed

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
LangString OldInstallFound ${LANG_ENGLISH} "Parlix is installed for all users of this computer in $OldDir.$\r$\n$\r$\nThis version installs for you alone, in your own programs folder, and runs with your own rights. The installation for all users is removed first; Windows will ask for administrator rights for that. Your settings and message history are kept, and the start at logon and the game set-up are put back for you.$\r$\n$\r$\nRemove it and continue?"
LangString OldInstallFound ${LANG_SIMPCHINESE} "本机已为所有用户安装了 Parlix，位置：$OldDir。$\r$\n$\r$\n此版本只为你安装到你自己的程序文件夹，并以你自己的权限运行。需要先删除为所有用户的安装，Windows 会为此请求管理员权限。你的设置和消息历史会保留，登录时启动和游戏配置会为你恢复。$\r$\n$\r$\n删除它并继续吗？"
LangString OldInstallStays ${LANG_ENGLISH} "The installation for all users in $OldDir was not removed, so Parlix was not installed. Remove $\"Parlix$\" in the list of installed programs, then run this installer again."
LangString OldInstallStays ${LANG_SIMPCHINESE} "为所有用户的安装（$OldDir）未被删除，因此没有安装 Parlix。请在“已安装的程序”列表中删除“Parlix”，然后再次运行本安装程序。"
LangString SetUpAgainFailed ${LANG_ENGLISH} "Parlix is installed, but the game could not be set up again after the installation for all users was removed, so the chat box cannot send messages yet.$\r$\n$\r$\nStart Parlix and click $\"Set up game$\"; it says what stands in the way."
LangString SetUpAgainFailed ${LANG_SIMPCHINESE} "Parlix 已安装，但删除为所有用户的安装后未能重新配置游戏，因此聊天框还不能发送消息。$\r$\n$\r$\n请启动 Parlix 并点击“配置游戏”，它会说明问题所在。"
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
; that stays held is renamed aside and deleted at the user's next logon, by a
; RunOnce value of the user's own: a deletion at restart would need administrator
; rights, which neither program asks for. The uninstaller's value also removes
; the folder, which is then left empty.
Function ${un}DeleteWhenFree
  Exch $R4  ; the file's name, for the RunOnce value
  Exch
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
      !if "${un}" == "un."
        WriteRegStr HKCU "${RUN_ONCE_KEY}" "${PRODUCT} $R4.old" \
          '"$SYSDIR\cmd.exe" /c del /f /q "$R2.old" & rmdir "$INSTDIR"'
      !else
        WriteRegStr HKCU "${RUN_ONCE_KEY}" "${PRODUCT} $R4.old" '"$SYSDIR\cmd.exe" /c del /f /q "$R2.old"'
      !endif
      ${Break}
    ${EndIf}
    Sleep 100
  ${Loop}
  Pop $R2
  Pop $R4
FunctionEnd
!macroend
!insertmacro DefineStopHost ""
!insertmacro DefineStopHost "un."

!macro DeleteWhenFree un folder name
  Push "${folder}\${name}"
  Push "${name}"
  Call ${un}DeleteWhenFree
!macroend

; An installation for all users would leave a second copy, its Start-menu entry
; and its uninstall entry beside this one. Its own uninstaller takes it away,
; silently, so that it keeps the settings; Windows asks for administrator rights.
; Without that the installer stops: the player is told what to do.
Function RemoveInstallForAllUsers
  ReadRegStr $OldDir HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $OldDir == ""
    Return
  ${EndIf}
  MessageBox MB_YESNO|MB_ICONQUESTION "$(OldInstallFound)" /SD IDYES IDYES remove
  SetErrorLevel 2
  Quit
  remove:
  ClearErrors
  ExecShellWait "open" "$OldDir\Uninstall.exe" "/S"
  ${IfNot} ${Errors}
    ; The uninstaller runs on from a copy of itself; its uninstall entry goes last.
    StrCpy $R1 0
    ${Do}
      ClearErrors
      ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
      ${If} ${Errors}
        StrCpy $OldRemoved 1
        StrCpy $Upgrade 1
        Return
      ${EndIf}
      Sleep 250
      IntOp $R1 $R1 + 1
    ${LoopWhile} $R1 < ${OLD_UNINSTALL_QUARTERS}
  ${EndIf}
  MessageBox MB_OK|MB_ICONEXCLAMATION "$(OldInstallStays)" /SD IDOK
  SetErrorLevel 2
  Quit
FunctionEnd

Function .onInit
  ; Read before an installation for all users is removed, which takes it away.
  ReadRegStr $R0 HKCU "${RUN_KEY}" "${PRODUCT}"
  StrCpy $HadAutoRun 0
  ${If} $R0 != ""
    StrCpy $HadAutoRun 1
  ${EndIf}
  ReadRegStr $R0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  StrCpy $Upgrade 0
  ${If} $R0 != ""
    StrCpy $Upgrade 1
  ${EndIf}
  StrCpy $OldRemoved 0
  Call RemoveInstallForAllUsers
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
  !insertmacro DeleteWhenFree "" "$INSTDIR" "${HOST}"
  !insertmacro DeleteWhenFree "" "$INSTDIR" "Parlix.dll"

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

  SetShellVarContext current
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${HOST}" "" "$INSTDIR\${HOST}" 0 SW_SHOWNORMAL "" "${PRODUCT} ${VERSION}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\${HOST}",0'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $R0 $R1 $R2
  IntFmt $R0 "0x%08X" $R0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$R0"

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
  ${EndIf}

  ; The uninstaller of the installation for all users took this user's game
  ; set-up away (it ran with administrator rights, on the settings it found);
  ; the settings name the game, so the set-up is put back, as the player.
  ${If} $OldRemoved == 1
    ReadRegStr $R0 HKCU "${SETTINGS_KEY}" "Executable File"
    ${If} $R0 != ""
      nsExec::Exec '"$INSTDIR\${HOST}" --setup-game'
      Pop $R0
      DetailPrint "--setup-game: $R0"
      ; Without the set-up the send key is unbound: the player must hear of it. A
      ; silent install says it by its exit code, 2: installed, game not set up.
      ${If} $R0 != 0
        DetailPrint "$(SetUpAgainFailed)"
        MessageBox MB_OK|MB_ICONEXCLAMATION "$(SetUpAgainFailed)" /SD IDOK
        SetErrorLevel 2
      ${EndIf}
    ${EndIf}
  ${EndIf}

  ${If} ${Silent}
  ${AndIf} $StartNow == 1
    Call StartHostNow
  ${EndIf}
SectionEnd

Function un.onInit
  SetShellVarContext current
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

  !insertmacro DeleteWhenFree "un." "$INSTDIR" "${HOST}"
  !insertmacro DeleteWhenFree "un." "$INSTDIR" "Parlix.dll"
  Delete "$INSTDIR\Guide.txt"
  Delete "$INSTDIR\Guide-zh-CN.txt"
  Delete "$INSTDIR\licenses\*.txt"
  RMDir "$INSTDIR\licenses"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: the player may have kept files of their own there.
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
