#!/usr/bin/env bash
# The real TarvoSearch.exe driven as a person drives it, its settings file read back. Usage:
# run_e2e.sh TarvoSearch.exe WORK_DIR (screenshots and logs left there). Exit 77 without a display.
set -uo pipefail

exe=$(realpath "$1")
work=$(realpath -m "$2")
. "$(dirname "$0")/window_driver.sh"

rm -rf "$work/corpus"
mkdir -p "$work/corpus/my src"
# A small tree: the best result lies in a path with spaces.
printf 'int main(void)\n{\n    return widget_count(gadget);\n}\n/* widget and gadget */\nstatic int widget_count(int gadget) { return gadget; }\n' \
    >"$work/corpus/my src/hello world.c"
printf 'widget gadget notes\n' >"$work/corpus/notes.txt"
printf 'nothing to see\n' >"$work/corpus/other.txt"
root=$(winpath "$work/corpus")

expect_line() {  # expect_line N TEXT WHAT; the window writes CR LF, compared without the CR
    local line && line=$(sed -n "$1p" "$settings" | tr -d '\r')
    [ "$line" = "$2" ] || fail "line $1 is '$line', not $3"
}

echo "== New Window, and the last to exit decides the file"
start_window "$work/second.log"
older_pid=$started older=$main
activate_window "$older"
xdotool key ctrl+n
newer=$(wait_window '^Tarvo Search$' 2 | grep -vx "$older" | head -1)
if [ -z "$newer" ]; then
    fail "New Window started no second window"
else
    [ "$(geometry "$newer")" = "$(geometry "$older" | awk '{print $1 + 25, $2 + 25}')" ] ||
        fail "the new window is not 25 px right of and below the old one"
    wait_settled "$newer" any
    activate_window "$newer"
    xdotool key --repeat 20 BackSpace  # the caret starts after the loaded text
    type_search "$newer" 'second window' "$root" any
    close_window "$older"
    wait_exit "$older_pid" || fail "the older window did not exit"
    close_window "$newer"
    no_window() { [ -z "$(windows_named 'Tarvo Search$')" ]; }
    until_timeout $exit_timeout no_window || fail "the newer window did not exit"
    sleep 0.5
    expect_line 1 'Tarvo Search, version 1.0' "the header: settings file damaged"
    expect_line 3 'second window' "the last window's text"
fi

echo "== non-ASCII settings folder"
# AppData moved under C:\users\Jürgen (regedit reads REGEDIT4 in the ANSI code page: Latin-1).
appdata="$prefix/drive_c/users/Jürgen/AppData/Roaming"
mkdir -p "$appdata"
folders='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer'
{
    echo REGEDIT4
    for key in 'User Shell Folders' 'Shell Folders'; do
        printf '\n[%s\\%s]\n"AppData"="%s"\n' "$folders" "$key" 'C:\\users\\Jürgen\\AppData\\Roaming'
    done
} | iconv -f UTF-8 -t LATIN1 >"$work/appdata.reg"
"$WINE" regedit /S "$(winpath "$work/appdata.reg")" >/dev/null 2>&1
settings="$appdata/TarvoSearch.txt"

start_window "$work/third.log"
type_search "$main" 'widget' "$root"
import -window root "$work/searched.png"
close_window "$main"
wait_exit "$started" || fail "exit code $? after Alt+F4"

[ -f "$settings" ] || fail "no settings file in the folder named with ü: $settings"
[ "$(grep -c $'\r$' "$settings")" = "$(wc -l <"$settings")" ] ||
    fail "settings lines do not all end in CR LF"
expect_line 3 'widget' "the Find text"
expect_line 4 "$root" "the Path text"

echo "== at 150 %: closed maximized, it starts maximized and is restored to its size"
# The window's system menu from the keyboard: Alt+Space, then Maximize (x) or Restore (r).
"$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
edit_band_height=$((edit_band_height * 3 / 2))
size() { xdotool getwindowgeometry --shell "$1" | awk -F= '/^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END{print w, h}'; }
system_menu() { activate_window "$1"; xdotool key alt+space && sleep 0.3 && xdotool key "$2" && sleep 0.5; }
rm -f "$settings"  # empty boxes to type into
start_window "$work/fourth.log"
type_search "$main" 'widget' "$root"
import -window root "$work/scaled.png"
normal=$(size "$main")
system_menu "$main" x
close_window "$main"
wait_exit "$started" || fail "exit code $? after Alt+F4 at 150 %"
grep -qx $'maximized=1\r' "$settings" || fail "no maximized=1 line in the settings file"
start_window "$work/fifth.log"
wait_settled "$main" any
read -r width height <<<"$(size "$main")"
read -r screen_width screen_height <<<"$(xdotool getdisplaygeometry)"
[ "$width" -ge "$screen_width" ] && [ "$height" -ge "$screen_height" ] ||
    fail "the window restarted at $width x $height, not maximized on $screen_width x $screen_height"
system_menu "$main" r
[ "$(size "$main")" = "$normal" ] || fail "restored to $(size "$main"), not $normal"
close_window "$main"
wait_exit "$started" || fail "exit code $? after the restore"
! grep -q '^maximized=' "$settings" || fail "a restored window was saved maximized"

[ $failed -eq 0 ] || { echo "== settings file:"; cat "$settings" 2>/dev/null; exit 1; }
echo "== end-to-end: all passed (screenshots: $work/searched.png, $work/scaled.png at 150 %)"
"$WINESERVER" -k 2>/dev/null
rm -rf "$prefix"  # 700 MB, kept only when something failed
