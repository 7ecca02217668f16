#!/usr/bin/env bash
# End-to-end test of the shell integration in the Wine prefix's registry:
# associating ".wav" that belongs to another program keeps that program's
# values in backups and gives them back; "-install" and "-uninstall" leave
# the registry as it was; the burning program and the tone generator are
# started through the templates a stand-in registered; the update check asks
# a local HTTP server and hands only web addresses to the browser.
# Usage: shell_e2e.sh BUILD_DIR   (the win64 build folder)
E2E_NAME=shell
source "$(dirname "$0")/e2e_common.sh"
check=$build/shell/shell_check.exe
[ -f "$check" ] || fail "build shell_check first"
player='ZedTestPlayer.wav'
player_command='"C:\player.exe" /open "%1"'
noted=$work/noted.txt
server_pid=
usual_browser=$(wine reg query 'HKCR\http\shell\open\command' /ve 2>/dev/null | tr -d '\r' |
                sed -n 's/.*REG_SZ    //p')
[[ "$usual_browser" != *shell_check* ]] || usual_browser='"C:\windows\system32\winebrowser.exe" "%1"'

finish() {
  drive close >/dev/null 2>&1 || true
  drive answer Razavo 7 3 >/dev/null 2>&1 || true
  drive wait-gone 20 >/dev/null 2>&1 || true
  [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true
  # Whatever a failed run left of ours in the prefix's classes goes.
  wine "$editor" -uninstall >/dev/null 2>&1 || true
  wine reg delete 'HKCR\.wav' /f >/dev/null 2>&1 || true
  wine reg delete "HKCR\\$player" /f >/dev/null 2>&1 || true
  wine reg delete 'HKCU\Software\Zedirad\VuzivoApp' /f >/dev/null 2>&1 || true
  wine reg delete 'HKLM\Software\Zedirad\Zidede' /f >/dev/null 2>&1 || true
  [ -z "$usual_browser" ] ||
    wine reg add 'HKCR\http\shell\open\command' /ve /d "$usual_browser" /f >/dev/null 2>&1 || true
}
trap finish EXIT
query() { wine reg query "$1" "${@:2}" 2>/dev/null | tr -d '\r'; }
value_of() { query "$1" "${@:2}" | sed -n 's/.*REG_[A-Z_]*    //p'; }
noted_lines() { tr -d '\r' <"$noted" 2>/dev/null; }
wait_noted() {  # until the stand-in noted at least $1 lines
  for _ in $(seq 100); do
    [ "$(noted_lines | wc -l)" -ge "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

echo "-- associating .wav of another player keeps its values and gives them back"
wine reg add 'HKCR\.wav' /ve /d "$player" /f >/dev/null
wine reg add "HKCR\\$player" /ve /d "Wave Sound" /f >/dev/null
wine reg add "HKCR\\$player\\DefaultIcon" /ve /t REG_EXPAND_SZ /d '%SystemRoot%\player.exe,-120' /f >/dev/null
wine reg add "HKCR\\$player\\shell" /ve /d play /f >/dev/null
wine reg add "HKCR\\$player\\shell\\open\\command" /ve /d "$player_command" /f >/dev/null
wine reg add "HKCR\\$player\\shell\\open" /v LegacyDisable /d "" /f >/dev/null
wine reg add "HKCR\\$player\\shell\\open\\DropTarget" /v CLSID /d '{0123ABCD-0000-0000-0000-000000000000}' /f >/dev/null
wine reg export "HKCR\\$player" "$work/player-before.reg" >/dev/null
program=$(win "$editor")
open_command="\"$program\" \"%L\""

wine "$check" associate .wav "$program" || fail "associating .wav failed"
[ "$(value_of "HKCR\\$player\\shell\\open\\command" /ve)" = "$open_command" ] ||
  fail "the open command is $(value_of "HKCR\\$player\\shell\\open\\command" /ve)"
[ "$(value_of "HKCR\\$player\\shell\\open\\command" /v Razavo.BAK)" = "$player_command" ] ||
  fail "the player's command was not kept"
query "HKCR\\$player\\DefaultIcon" /v Razavo.BAK | grep -q 'REG_EXPAND_SZ    %SystemRoot%\\player.exe,-120' ||
  fail "the player's icon was not kept as it was: $(query "HKCR\\$player\\DefaultIcon")"
query "HKCR\\$player\\shell\\open" /v LegacyDisable | grep -q LegacyDisable && fail "LegacyDisable is still there"
[ "$(value_of "HKCR\\$player\\shell\\open\\DropTarget" /v Razavo.BAK)" = '{0123ABCD-0000-0000-0000-000000000000}' ] ||
  fail "the drop target's CLSID was not kept"
[ "$(wine "$check" associated .wav "$program" | tr -d '\r')" = yes ] || fail ".wav does not count as associated"

wine "$check" associate .wav "$program" || fail "associating .wav again failed"
[ "$(value_of "HKCR\\$player\\shell\\open\\command" /v Razavo.BAK)" = "$player_command" ] ||
  fail "associating again replaced the first backup"
[ "$(value_of "HKCR\\$player" /v Razavo.BAK)" = "Wave Sound" ] || fail "the class description's backup changed"

wine "$check" remove .wav "$program" || fail "removing the association failed"
wine reg export "HKCR\\$player" "$work/player-after.reg" >/dev/null
cmp -s "$work/player-before.reg" "$work/player-after.reg" ||
  fail "the player's class differs after removing: $(diff <(iconv -f UTF-16 -t UTF-8 "$work/player-before.reg") \
       <(iconv -f UTF-16 -t UTF-8 "$work/player-after.reg"))"
[ "$(value_of 'HKCR\.wav' /ve)" = "$player" ] || fail ".wav no longer names the player's class"

echo "-- -install and -uninstall leave the registry as it was"
wine reg export HKCR "$work/classes-before.reg" >/dev/null
query 'HKLM\Software\Zedirad\Razavo' >/dev/null && fail "the prefix holds machine-wide settings of ours already"
# Nothing when no program of ours wrote machine-wide settings yet.
zedirad_before=$(query 'HKLM\Software\Zedirad' /s || true)
wine "$editor" -install || fail "-install failed"
[ "$(value_of "HKCR\\$player\\Shell\\Edit with Razavo\\command" /ve)" = "$program \"%L\"" ] ||
  fail "no edit verb on .wav: $(query "HKCR\\$player\\Shell" /s)"
[ "$(value_of 'HKCR\mp3file\Shell\Batch Convert with Razavo\command' /ve)" = "$program -batch \"%L\"" ] ||
  fail "no batch verb on .mp3"
query 'HKCR\vrpfile\Shell\Edit with Razavo\command' >/dev/null || fail "no edit verb on projects"
[ "$(value_of 'HKLM\Software\Zedirad\Razavo\Settings' /v RunEdit)" = "\"$program\" \"%s\" -runedit" ] ||
  fail "RunEdit is $(value_of 'HKLM\Software\Zedirad\Razavo\Settings' /v RunEdit)"
[ "$(value_of 'HKLM\Software\Zedirad\Razavo\Settings' /v RunLoad)" = "\"$program\" %s -runedit" ] ||
  fail "RunLoad is $(value_of 'HKLM\Software\Zedirad\Razavo\Settings' /v RunLoad)"
# The user also chose, in the options, to open .wav and .flac files with the editor.
wine "$check" associate .wav "$program" && wine "$check" associate .flac "$program" || fail "associating failed"
wine "$editor" -uninstall || fail "-uninstall failed"
wine reg export HKCR "$work/classes-after.reg" >/dev/null
cmp -s "$work/classes-before.reg" "$work/classes-after.reg" ||
  fail "the classes differ after -uninstall: $(diff <(iconv -f UTF-16 -t UTF-8 "$work/classes-before.reg") \
       <(iconv -f UTF-16 -t UTF-8 "$work/classes-after.reg") | head -20)"
[ "$(query 'HKLM\Software\Zedirad' /s || true)" = "$zedirad_before" ] ||
  fail "machine-wide settings are left after -uninstall: $(query 'HKLM\Software\Zedirad' /s || true)"

echo "-- the burning program gets the open files through its template"
sox -n -r 8000 -c 1 -b 16 "$work/a b.wav" synth 0.5 sine 440
sox -n -r 8000 -c 1 -b 16 "$work/c.wav" synth 0.5 sine 660
wine reg add 'HKCU\Software\Zedirad\VuzivoApp\Settings' /v CopyCD /d "\"$(win "$check")\" note \"$(win "$noted")\" %s" /f >/dev/null
start_editor "$(win "$work/a b.wav")" "$(win "$work/c.wav")"
drive wait-frame 60 >/dev/null || fail "the editor did not start"
for _ in $(seq 100); do [ "$(drive documents | wc -l)" -ge 2 ] && break; sleep 0.1; done
[ "$(drive documents | wc -l)" -ge 2 ] || fail "the two files did not open: $(drive documents)"
temp=$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
list_file="$temp\\burn.txt"
drive command 1012 >/dev/null
wait_noted 6 || fail "the burner was not started: $(noted_lines)"
expected=$(printf '%s\n' -type audio -list "$list_file" "list:$(win "$work/a b.wav")" "list:$(win "$work/c.wav")")
[ "$(noted_lines | sed 's/\r$//')" = "$expected" ] || fail "the burner got
$(noted_lines)
instead of
$expected"
grep -q $'\r$' <(sed -n 5p "$noted") || fail "the list's lines do not end in CR LF"
[ ! -e "$(winepath -u "$list_file")" ] || fail "the list file was left behind"
rm -f "$noted"
drive command 1018 >/dev/null
wait_noted 3 || fail "the burner was not started for a data disc"
[ "$(noted_lines | sed -n 2p)" = data ] || fail "a data disc was asked as $(noted_lines | sed -n 2p)"

echo "-- unsaved files are not handed to the burner"
drive command 1001 >/dev/null
rm -f "$noted"
drive post 1012 >/dev/null
drive answer "Saving files required" 1 10 >/dev/null || fail "no message about the unsaved file"
sleep 0.5
[ ! -e "$noted" ] || fail "the burner was started with an unsaved file"
drive post 1003 >/dev/null
drive answer Razavo 7 10 >/dev/null || true

echo "-- the tone generator starts through its template, or is offered"
wine reg add 'HKLM\Software\Zedirad\Zidede\Settings' /v RunZidede /d "\"$(win "$check")\" note \"$(win "$noted")\" -tone" /f >/dev/null
drive command 7002 >/dev/null
wait_noted 1 || fail "the tone generator was not started"
[ "$(noted_lines)" = -tone ] || fail "the tone generator got $(noted_lines)"
wine reg delete 'HKLM\Software\Zedirad\Zidede' /f >/dev/null
drive post 7002 >/dev/null
drive answer "Zidede Generator Required" 7 10 >/dev/null || fail "no question about the missing tone generator"

echo "-- the options' file types are applied on OK"
options_ok() {  # opens the options, clicks the check box of .wav (row 0) unless told not to, presses OK
  drive post 1010 >/dev/null
  drive dialog-wait "Razavo Options" 10 >/dev/null || fail "the options did not open"
  [ "${1:-}" = keep ] || drive dialog-click "Razavo Options" 101 0.04 0.08 >/dev/null
  drive answer "Razavo Options" 1 10 >/dev/null || fail "the options did not take OK"
  drive dialog-gone "Razavo Options" 10 >/dev/null || fail "the options stayed open"
}
options_ok
[ "$(value_of "HKCR\\$player\\shell\\open\\command" /ve)" = "$open_command" ] ||
  fail "checking .wav did not associate it: $(query "HKCR\\$player" /s)"
wine reg add "$settings_key" /v AddToWEContext /d 1 /f >/dev/null
options_ok
[ "$(value_of "HKCR\\$player\\shell\\open\\command" /ve)" = "$player_command" ] ||
  fail "unchecking .wav did not give it back: $(query "HKCR\\$player" /s)"
query 'HKCR\mp3file\Shell\Edit with Razavo\command' >/dev/null || fail "the Explorer menu entry was not added"
drive post 1010 >/dev/null
drive dialog-wait "Razavo Options" 10 >/dev/null || fail "the options did not open"
drive dialog-click "Razavo Options" 102 0.05 0.5 >/dev/null
drive answer "Razavo Options" 1 10 >/dev/null || fail "the options did not take OK"
drive dialog-gone "Razavo Options" 10 >/dev/null || fail "the options stayed open"
[ "$(value_of "$settings_key" /v AddToWEContext)" = 0 ] || fail "AddToWEContext was not switched off"
query 'HKCR\mp3file' >/dev/null && fail "the Explorer menu entries were left: $(query 'HKCR\mp3file' /s)"
wine reg export "HKCR\\$player" "$work/player-after-options.reg" >/dev/null
cmp -s "$work/player-before.reg" "$work/player-after-options.reg" || fail "the player's class differs after the options"

echo "-- the update check"
mkdir -p "$work/www"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work/www" >"$work/http.log" 2>&1 &
server_pid=$!
for _ in $(seq 50); do curl -s "http://127.0.0.1:$port/" >/dev/null && break; sleep 0.1; done
wine reg add 'HKCU\Software\Zedirad\Razavo\Update' /v Host /d "127.0.0.1:$port" /f >/dev/null
wine reg add 'HKCU\Software\Zedirad\Razavo\Update' /v Path /d /razavo.txt /f >/dev/null
wine reg add 'HKCR\http\shell\open\command' /ve /d "\"$(win "$check")\" note \"$(win "$noted")\" \"%1\"" /f >/dev/null
rm -f "$noted"
last_check() { value_of "$settings_key" /v LastCheckVersion; }

printf 'version=3.05' >"$work/www/razavo.txt"
drive post 6021 >/dev/null
drive answer "Version Current" 1 20 >/dev/null || fail "3.05 did not give the up-to-date message"

printf 'version=3.1&info=http://127.0.0.1:%s/new.html' "$port" >"$work/www/razavo.txt"
drive post 6021 >/dev/null
drive answer "Update Version Available" 6 20 >/dev/null || fail "3.1 did not ask about the new version"
wait_noted 1 || fail "the new version's page was not opened"
[ "$(noted_lines)" = "http://127.0.0.1:$port/new.html" ] || fail "the browser was asked for $(noted_lines)"
[ "$(last_check)" = 310 ] || fail "LastCheckVersion is \"$(last_check)\", not 310"

printf 'version=0.9' >"$work/www/razavo.txt"
drive post 6021 >/dev/null
sleep 1
for title in "Version Current" "Update Version Available"; do
  ! drive dialog-wait "$title" 2 >/dev/null 2>&1 || fail "0.9 showed \"$title\""
done

for address in 'file:///C:/windows/notepad.exe' '\\127.0.0.1\share\setup.exe'; do
  printf 'version=3.2&info=%s' "$address" >"$work/www/razavo.txt"
  drive post 6021 >/dev/null
  drive answer "Update Version Available" 6 20 >/dev/null || fail "3.2 did not ask about the new version"
  sleep 1
  [ "$(noted_lines | wc -l)" = 1 ] || fail "the address $address was opened: $(noted_lines)"
  [ "$(last_check)" = 310 ] || fail "LastCheckVersion changed to $(last_check) for $address"
done
grep -q 'GET /razavo.txt' "$work/http.log" || fail "the server was not asked for the version file"
echo "PASS"
