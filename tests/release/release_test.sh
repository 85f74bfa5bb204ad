#!/usr/bin/env bash
# Tests of the release files, made from the product build by the same packaging
# step as scripts/release.sh, into <build>/release-test.
#   contents: the zip's and the installer's files, 32-bit programs carrying the
#             version, guides as Windows text; runs everywhere.
#   install:  under 32-bit Wine in a fresh WINEARCH=win32 prefix: a silent install
#             for the current user alone puts the files into the user's program
#             folder and the shortcut, the uninstall entry and the quoted Run value
#             into the user's own places, touching nothing of the machine's, and the
#             host starts with the user's rights; an upgrade over the running host
#             stops it first; a silent uninstall leaves no file, no Run value, no
#             settings and the userconfig.cfg it found before, with its read-only
#             and hidden marks. Then an installation for all users made by the
#             earlier installer (its script from the history) is replaced: removed,
#             its settings, start at logon and game set-up carried over, and an
#             empty userconfig.cfg that was there survives it all; where the game
#             cannot be set up again the silent install ends with exit code 2. Exits 77
#             (skipped) where this machine cannot run a 32-bit program.
# Usage: release_test.sh contents|install <build folder of the win32 preset>
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
mode=${1:?contents or install}
build=$(cd "${2:?build folder}" && pwd)
out=$build/release-test
passed=0 failed=0
check() {  # check <description> <command...>
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); echo "ok - $what"
  else failed=$((failed + 1)); echo "not ok - $what"; fi
}
finish() {
  echo "release $mode: $passed passed, $failed failed"
  [ "$failed" = 0 ]
  exit
}

command -v makensis >/dev/null && command -v zip >/dev/null && command -v 7z >/dev/null \
  || bash "$root/scripts/lib/deps.sh" release >/dev/null || { echo "release tools missing"; exit 1; }
mapfile -t made < <(bash "$root/scripts/lib/package.sh" "$build" "$out")
setup=${made[0]:-} zip=${made[1]:-}
[ -f "$setup" ] && [ -f "$zip" ] || { echo "packaging failed"; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
stage=$out/stage/Parlix-$version

if [ "$mode" = contents ]; then
  expected_zip="Parlix-$version/
Parlix-$version/Guide-zh-CN.txt
Parlix-$version/Guide.txt
Parlix-$version/Parlix.dll
Parlix-$version/ParlixHost.exe
Parlix-$version/licenses/
Parlix-$version/licenses/GCC-runtime.txt
Parlix-$version/licenses/GPL-3.txt
Parlix-$version/licenses/mingw-w64-runtime.txt"
  check "the zip holds the programs, the guides and the licences in one folder" \
    test "$(unzip -Z1 "$zip" | LC_ALL=C sort)" = "$expected_zip"
  listing=$(7z l -ba -slt "$setup" | sed -n 's/^Path = //p' | LC_ALL=C sort | tr '\\' /)
  for f in ParlixHost.exe Parlix.dll Guide.txt Guide-zh-CN.txt licenses/GCC-runtime.txt licenses/GPL-3.txt \
           licenses/mingw-w64-runtime.txt licenses/NSIS.txt Uninstall.exe; do
    check "the installer holds $f" grep -qx "$f" <<<"$listing"
  done
  for f in ParlixHost.exe Parlix.dll; do
    check "$f is a 32-bit program" grep -q 'file format pei-i386' <(i686-w64-mingw32-objdump -f "$stage/$f")
    check "$f carries the version $version" grep -qx "$version" <(strings -n 3 -el "$stage/$f")
    unzip -p "$zip" "Parlix-$version/$f" >"$out/unzipped"
    check "the zip's $f is the built one" cmp -s "$out/unzipped" "$build/bin/$f"
  done
  check "the installer carries the version $version" grep -qx "$version" <(strings -n 3 -el "$setup")
  check "the installer asks for no administrator rights" \
    grep -q 'requestedExecutionLevel level="asInvoker"' <(strings -n 8 "$setup")
  for f in Guide.txt Guide-zh-CN.txt; do
    check "$f starts with a UTF-8 BOM" test "$(head -c 3 "$stage/$f" | od -An -tx1 | tr -d ' ')" = efbbbf
    check "$f ends every line with CR LF" test "$(grep -c $'[^\r]$' "$stage/$f")" = 0
  done
  check "the Chinese guide is Chinese" grep -q '配置游戏' "$stage/Guide-zh-CN.txt"
  echo "sizes: $(stat -c %s "$setup") bytes $(basename "$setup"), $(stat -c %s "$zip") bytes $(basename "$zip")"
  finish
fi

[ "$mode" = install ] || { echo "unknown mode $mode"; exit 2; }
wine32=/usr/lib/wine/wine
server32=/usr/lib/wine/wineserver
[ -x "$wine32" ] || { echo "no 32-bit Wine here; skipped"; exit 77; }
export PARLIX_LOGS=$out/logs
source "$root/scripts/lib/wine-env.sh"
export WINEPREFIX=$out/prefix WINEARCH=win32
rm -rf "$WINEPREFIX" "$PARLIX_LOGS"
mkdir -p "$PARLIX_LOGS"
stop_all() { "$server32" -k 2>/dev/null; timeout 20 "$server32" -w 2>/dev/null; parlix_wine_stop; }
trap stop_all EXIT
parlix_display_start || { echo "no X display"; exit 1; }
timeout 300 "$wine32" wineboot -i >"$PARLIX_LOGS/wineboot.log" 2>&1 </dev/null
# Whether this machine runs 32-bit programs: Wine's own 32-bit cmd.exe, not ours.
if [ "$(timeout 60 "$wine32" cmd /c echo probe32 2>/dev/null </dev/null | tr -d '\r')" != probe32 ]; then
  echo "this machine cannot run 32-bit programs; skipped"
  exit 77
fi

drive=$WINEPREFIX/drive_c
wine_run() { timeout 120 "$wine32" "$@" </dev/null >>"$PARLIX_LOGS/wine.log" 2>&1; }
# A folder of the user's environment, as Windows and as Unix spell it.
win_folder() { timeout 60 "$wine32" cmd /c echo "%$1%" 2>/dev/null </dev/null | tr -d '\r'; }
unix_path() { timeout 60 "$wine32" winepath -u "$1" 2>/dev/null </dev/null | tr -d '\r'; }
win_instdir="$(win_folder LOCALAPPDATA)\\Programs\\Parlix"
instdir=$(unix_path "$win_instdir")
shortcut="$(unix_path "$(win_folder APPDATA)")/Microsoft/Windows/Start Menu/Programs/Parlix.lnk"
machine_instdir="$drive/Program Files/Parlix"
win_machine_instdir='C:\Program Files\Parlix'
machine_shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Parlix.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Parlix'
machine_uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Parlix'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
settings_key='HKCU\Software\Kelvandor\Parlix'
host_log=$out/host.log
win_host_log="Z:${host_log//\//\\}"
[ -n "$instdir" ] && [[ $win_instdir == [A-Z]:\\* ]] || { echo "the user's folders are unknown"; exit 1; }

# The data of a registry value, or nothing when it is missing.
reg_value() {
  timeout 60 "$wine32" reg query "$1" /v "$2" 2>/dev/null </dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
reg_key_exists() { timeout 60 "$wine32" reg query "$1" >/dev/null 2>&1 </dev/null; }
# The attribute letters of a file as Windows shows them (R, H, ...).
attributes() { timeout 60 "$wine32" attrib "$1" 2>/dev/null </dev/null | tr -d '\r' | cut -c1-11 | tr -d ' '; }
# Polls a condition every tenth of a second until it holds or the seconds pass.
wait_until() {
  local seconds=$1 i; shift
  for ((i = 0; i < seconds * 10; i++)); do "$@" && return 0; sleep 0.1; done
  return 1
}
log_has_count() {
  local n
  n=$(grep -c "^$1\$" "$host_log" 2>/dev/null)
  [ "${n:-0}" -ge "$2" ]
}
start_host() {  # start_host [<folder>]
  "$wine32" "${1:-$win_instdir}\\ParlixHost.exe" --log "$win_host_log" </dev/null >>"$PARLIX_LOGS/host.out" 2>&1 &
}

# A game as a player has it: a userconfig.cfg of the player's own in cstrike (a
# BOM, CR LF, no line end after the last line), kept read-only and hidden, and a
# czero folder without one.
game=$drive/Games/HL
win_cstrike_config='C:\Games\HL\cstrike\userconfig.cfg'
mkdir -p "$game/cstrike" "$game/czero"
: >"$game/hl.exe"
printf '\xEF\xBB\xBF// mine\r\nname "player"\r\nsensitivity "2.5"' >"$game/cstrike/userconfig.cfg"
cp "$game/cstrike/userconfig.cfg" "$out/userconfig.before"
# One mark per call: Wine's attrib sets only one of several.
wine_run attrib +r "$win_cstrike_config"
wine_run attrib +h "$win_cstrike_config"
marks_before=$(attributes "$win_cstrike_config")
check "the player's userconfig.cfg is read-only and hidden" eval '[[ $marks_before == *R* && $marks_before == *H* ]]'
wine_run reg add "$settings_key" /v 'Executable File' /t REG_SZ /d 'C:\Games\HL\hl.exe' /f
rm -f "$host_log"

wine_run "$setup" /S /AUTORUN=1
check "a silent install ends with exit code 0" test $? = 0
for f in ParlixHost.exe Parlix.dll Uninstall.exe Guide.txt Guide-zh-CN.txt licenses/GCC-runtime.txt licenses/NSIS.txt; do
  check "the install put $f in the user's program folder" test -f "$instdir/$f"
done
check "the installed programs are the built ones" cmp -s "$instdir/Parlix.dll" "$build/bin/Parlix.dll"
check "the user's Start menu has a shortcut" test -f "$shortcut"
# Wine gives every program administrator rights, so the manifest is what shows
# that Windows starts the uninstaller, like the installer, with the user's own.
check "the uninstaller asks for no administrator rights" \
  grep -q 'requestedExecutionLevel level="asInvoker"' <(strings -n 8 "$instdir/Uninstall.exe")
check "the user's uninstall entry names the version" test "$(reg_value "$uninstall_key" DisplayVersion)" = "$version"
check "the uninstall entry has a quiet uninstall command" \
  test "$(reg_value "$uninstall_key" QuietUninstallString)" = "\"$win_instdir\\Uninstall.exe\" /S"
check "the Run value is the quoted program path" \
  test "$(reg_value "$run_key" Parlix)" = "\"$win_instdir\\ParlixHost.exe\""
check "nothing of the machine's is touched" \
  eval '[ ! -e "$machine_instdir" ] && [ ! -e "$machine_shortcut" ] && ! reg_key_exists "$machine_uninstall_key"'

start_host
check "the installed host starts and installs its hook" wait_until 60 log_has_count installed 1
check "the installed host shows its window" wait_until 30 grep -q '^shown' "$host_log"
wine_run "$win_instdir\\ParlixHost.exe" --setup-game --log "$win_host_log"
check "the host sets the game up" grep -q 'exec parlix.cfg' "$game/cstrike/userconfig.cfg"
check "the set-up kept userconfig.cfg read-only and hidden" test "$(attributes "$win_cstrike_config")" = "$marks_before"
printf 'say "last"' >"$game/cstrike/parlix.cfg"

# An upgrade in place over the running host.
wine_run "$setup" /S
check "a silent upgrade ends with exit code 0" test $? = 0
check "the upgrade stopped the running host first" wait_until 30 log_has_count exit 1
check "the upgrade left the programs in place" test -f "$instdir/ParlixHost.exe" -a -f "$instdir/Parlix.dll"
check "the upgrade kept the start at logon" \
  test "$(reg_value "$run_key" Parlix)" = "\"$win_instdir\\ParlixHost.exe\""

start_host
check "the upgraded host starts" wait_until 60 log_has_count installed 2
wine_run "$win_instdir\\Uninstall.exe" /S /REMOVESETTINGS
# The uninstaller runs on from a copy of itself; its end is the folder's.
check "a silent uninstall removes the program folder" wait_until 60 test ! -e "$instdir"
check "the uninstall stopped the host" wait_until 30 log_has_count exit 2
check "the uninstall entry is gone" wait_until 30 eval '! reg_key_exists "$uninstall_key"'
check "the Start menu shortcut is gone" test ! -e "$shortcut"
check "the Run value is gone" test -z "$(reg_value "$run_key" Parlix)"
check "the settings are gone as asked" eval '! reg_key_exists "$settings_key"'
check "userconfig.cfg is byte for byte the one found before" cmp -s "$game/cstrike/userconfig.cfg" "$out/userconfig.before"
check "userconfig.cfg is still read-only and hidden" test "$(attributes "$win_cstrike_config")" = "$marks_before"
check "the userconfig.cfg the set-up made in czero is gone" test ! -e "$game/czero/userconfig.cfg"
check "parlix.cfg is gone" test ! -e "$game/cstrike/parlix.cfg"

# An installation for all users, made by the earlier installer (the last script
# that installed for all users) from the same programs, is replaced.
machine_script_commit=978118a2983ac2d7105a0ac4078f3f89ff8340a6
machine_setup=$out/Parlix-$version-setup-for-all-users.exe
if ! git -C "$root" show "$machine_script_commit:installer/Parlix.nsi" >"$out/machine.nsi" 2>/dev/null; then
  echo "no history to make the earlier installer from: the upgrade from it is not tested"
  finish
fi
IFS=. read -r major minor _ <<<"$version"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DVERSION4="$major.${minor:-0}.0.0" \
  -DSTAGE="$stage" -DOUTFILE="$machine_setup" -DNSIS_LICENSE="$out/stage/NSIS.txt" "$out/machine.nsi" \
  >"$PARLIX_LOGS/makensis-machine.log" 2>&1
check "the earlier installer is made" test -f "$machine_setup"
: >"$game/czero/userconfig.cfg"
wine_run reg add "$settings_key" /v 'Executable File' /t REG_SZ /d 'C:\Games\HL\hl.exe' /f
wine_run "$machine_setup" /S /AUTORUN=1
check "the earlier installer installs for all users" \
  eval 'test -f "$machine_instdir/ParlixHost.exe" && reg_key_exists "$machine_uninstall_key"'
wine_run "$win_machine_instdir\\ParlixHost.exe" --setup-game --log "$win_host_log"
check "the installation for all users sets the game up" grep -q 'exec parlix.cfg' "$game/czero/userconfig.cfg"
start_host "$win_machine_instdir"
check "the host of the installation for all users runs" wait_until 60 log_has_count installed 3

wine_run "$setup" /S
check "the per-user install over it ends with exit code 0" test $? = 0
check "it removed the installation for all users" \
  eval '[ ! -e "$machine_instdir" ] && [ ! -e "$machine_shortcut" ] && ! reg_key_exists "$machine_uninstall_key"'
check "its host was stopped" wait_until 30 log_has_count exit 3
check "Parlix is installed for the user" test -f "$instdir/ParlixHost.exe" -a -f "$shortcut"
check "the user's uninstall entry is there" reg_key_exists "$uninstall_key"
check "the start at logon now names the user's copy" \
  test "$(reg_value "$run_key" Parlix)" = "\"$win_instdir\\ParlixHost.exe\""
check "the settings were kept" test "$(reg_value "$settings_key" 'Executable File')" = 'C:\Games\HL\hl.exe'
check "the game is set up again" \
  eval 'grep -q "exec parlix.cfg" "$game/cstrike/userconfig.cfg" && grep -q "exec parlix.cfg" "$game/czero/userconfig.cfg"'
check "userconfig.cfg kept its marks through it all" test "$(attributes "$win_cstrike_config")" = "$marks_before"

wine_run "$win_instdir\\Uninstall.exe" /S /REMOVESETTINGS
check "the uninstall removes the user's program folder" wait_until 60 test ! -e "$instdir"
check "the userconfig.cfg that was there empty is there, empty" \
  eval 'test -f "$game/czero/userconfig.cfg" && ! test -s "$game/czero/userconfig.cfg"'
check "the player's userconfig.cfg is byte for byte the one found before" \
  cmp -s "$game/cstrike/userconfig.cfg" "$out/userconfig.before"

# The same upgrade where the game cannot be set up again, the settings naming a
# game without its mod folders: the player is told, a silent install by its exit
# code 2, and Parlix is installed all the same.
mkdir -p "$drive/Games/Bare"
: >"$drive/Games/Bare/hl.exe"
wine_run reg add "$settings_key" /v 'Executable File' /t REG_SZ /d 'C:\Games\Bare\hl.exe' /f
wine_run "$machine_setup" /S
check "the earlier installer installs for all users again" test -f "$machine_instdir/ParlixHost.exe"
wine_run "$setup" /S
check "a per-user install over it whose game set-up fails ends with exit code 2" test $? = 2
check "it removed the installation for all users all the same" test ! -e "$machine_instdir"
check "and installed Parlix for the user" test -f "$instdir/ParlixHost.exe" -a -f "$instdir/Parlix.dll"
wine_run "$win_instdir\\Uninstall.exe" /S /REMOVESETTINGS
check "the uninstall removes the user's program folder again" wait_until 60 test ! -e "$instdir"
finish
