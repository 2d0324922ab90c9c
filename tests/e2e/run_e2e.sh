#!/usr/bin/env bash
# The real TarvoSearch.exe driven from outside, as a person drives it: keys typed with xdotool
# into its window under Wine on the current X display, then the settings file it wrote read back.
#   run_e2e.sh TarvoSearch.exe WORK_DIR
# Each run starts from a copy of an initialised prefix with no settings file. Artefacts in WORK_DIR:
# searched.png (a search on screen) and the logs. Exit 77 (skipped) without a display or the tools.
set -uo pipefail

exe=$(realpath "$1")
work=$(realpath -m "$2")
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${DISPLAY:-}" ]; then echo "skipped: no X display"; exit 77; fi
for tool in xdotool xwd convert import iconv; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool missing"; exit 77; }
done

. "$here/../../scripts/wine-env.sh"
# Limits, in seconds: generous for a loaded two-core machine; a hang fails. The first start of a
# prefix also starts Wine's services; a search of the small tree below settles, painted.
window_timeout=30 settle_timeout=15 exit_timeout=15
edit_band_height=90  # Wine's caption, the menu bar and the two edit box rows
selection_colour='48,150,250'  # the selected result's ground in a new prefix

failed=0
fail() { echo "FAIL: $*"; failed=1; }

template=${WINEPREFIX:-}
if [ -z "$template" ] || [ ! -f "$template/.tarvo-ready" ]; then
    template="$work/template-prefix"
    (wine_prefix_init "$template") || { echo "FAIL: no Wine prefix"; exit 1; }
fi
prefix="$work/prefix"
rm -rf "$prefix" "$work/corpus"
mkdir -p "$work/corpus/my src"
cp -a "$template" "$prefix"
rm -f "$prefix"/drive_c/users/*/AppData/Roaming/TarvoSearch.txt
export WINEPREFIX="$prefix"
settings="$prefix/drive_c/users/$(id -un)/AppData/Roaming/TarvoSearch.txt"

pids=()
# The server's end ends every program of this prefix.
trap '"$WINESERVER" -k 2>/dev/null; for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done' EXIT

# A small tree: the best result lies in a path with spaces.
printf 'int main(void)\n{\n    return widget_count(gadget);\n}\n/* widget and gadget */\nstatic int widget_count(int gadget) { return gadget; }\n' \
    >"$work/corpus/my src/hello world.c"
printf 'widget gadget notes\n' >"$work/corpus/notes.txt"
printf 'nothing to see\n' >"$work/corpus/other.txt"
winpath() { echo "Z:$1" | tr / '\\'; }
root=$(winpath "$work/corpus")

windows_named() { xdotool search --name "$1" 2>/dev/null; }

until_timeout() {  # until_timeout SECONDS COMMAND...: runs COMMAND until it succeeds
    local deadline=$((SECONDS + $1))
    until "${@:2}"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}

# Prints the ids of the windows named TITLE_REGEX once there are COUNT.
windows_counted() { ids=$(windows_named "$1") && [ "$(grep -c . <<<"$ids")" -ge "$2" ]; }
wait_window() { until_timeout $window_timeout windows_counted "$1" "$2" && echo "$ids"; }

# A search is over when a result is selected (the list shows the selection colour) and the
# picture stops changing (the status line moves while it runs). The band of the Find and Path
# boxes is left out: the caret blinks.
wait_settled() {  # wait_settled WINDOW [any]: "any" does not wait for a result
    local deadline=$((SECONDS + settle_timeout)) last="" now same=0
    while [ $SECONDS -lt $deadline ]; do
        # Pixels only: a PNG carries its creation time.
        xwd -id "$1" -silent | convert xwd:- -crop +0+$edit_band_height +repage "$work/frame.ppm"
        now=$(md5sum <"$work/frame.ppm")
        if [ "$now" = "$last" ] && { [ "${2:-}" = any ] ||
            convert "$work/frame.ppm" -format %c histogram:info:- | grep -q "($selection_colour)"; }; then
            same=$((same + 1)); [ $same -ge 2 ] && return 0
        else
            same=0
        fi
        last=$now; sleep 0.4
    done
    return 1
}

exited() { ! kill -0 "$1" 2>/dev/null; }
wait_exit() { until_timeout $exit_timeout exited "$1" && wait "$1"; }  # PID -> its exit code

geometry() { xdotool getwindowgeometry --shell "$1" | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} END{print x, y}'; }

# A click on the caption (the strip a window 25 px lower leaves free), as a person activates a
# window: keys sent to an inactive window are ignored.
activate_window() {  # activate_window WINDOW
    local x y
    read -r x y <<<"$(geometry "$1")"
    xdotool mousemove $((x + 300)) $((y + 10)) click 1
    sleep 0.3
}

close_window() { activate_window "$1"; xdotool key alt+F4; }  # as a person closes it

# The window writes Windows line ends: lines compared without, each has one.
settings_line() { sed -n "$1p" "$settings" | tr -d '\r'; }
expect_line() {  # expect_line N TEXT WHAT
    [ "$(settings_line "$1")" = "$2" ] || fail "line $1 is '$(settings_line "$1")', not $3"
}

# Starts the program and waits for its window: sets $started (the pid) and $main (the window).
start_window() {  # start_window LOG
    "$WINE" "$exe" >"$1" 2>&1 & started=$!
    pids+=("$started")
    main=$(wait_window '^Tarvo Search$' 1 | head -1) || { echo "FAIL: no window"; cat "$1"; exit 1; }
}

# Types FIND_TEXT, Tab, PATH and Enter as a person does, then waits for the search to settle.
type_search() {  # type_search WINDOW FIND_TEXT PATH [any]
    activate_window "$1"
    xdotool type --delay 12 "$2" && xdotool key Tab && xdotool type --delay 12 "$3"
    xdotool key Return
    wait_settled "$1" "${4:-}" || fail "the window never settled after the search for '$2'"
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
    # A Path is needed: an empty one is reported, not searched.
    type_search "$newer" 'second window' "$root" any
    close_window "$older"
    wait_exit "$older_pid" || fail "the older window did not exit"
    close_window "$newer"
    # Its title now names its search.
    no_window() { [ -z "$(windows_named 'Tarvo Search$')" ]; }
    until_timeout $exit_timeout no_window || fail "the newer window did not exit"
    sleep 0.5
    expect_line 1 'Tarvo Search, version 1.0' "the header: settings file damaged"
    expect_line 3 'second window' "the last window's text"
fi

# The README's picture, on request (TARVO_README_PICTURE=1): a real tree, too slow for every
# run. bench/run.sh unpacks Debian's linux-source-6.1 into its cache; drive D: of the prefix
# holds it as D:\linux. The picture is $work/readme-screenshot.png (docs/screenshot.png).
linux_tree=${TARVO_BENCH_CACHE:-$HOME/.cache/tarvo-bench}/linux-source-6.1
if [ "${TARVO_README_PICTURE:-0}" != 1 ]; then
    echo "== README picture not asked for (TARVO_README_PICTURE=1 takes it)"
elif [ -f "$linux_tree/.unpacked" ]; then
    echo "== README picture: $linux_tree as D:\\linux"
    mkdir -p "$work/drive-d"
    ln -sfn "$linux_tree" "$work/drive-d/linux"
    ln -sfn "$work/drive-d" "$prefix/dosdevices/d:"
    rm -f "$settings"
    start_window "$work/picture.log"
    settle_timeout=240 type_search "$main" 'kmem_cache_create SLAB_HWCACHE_ALIGN' 'D:\linux'
    read -r px py <<<"$(geometry "$main")"
    size=$(xdotool getwindowgeometry --shell "$main" | awk -F= '/^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END{print w "x" h}')
    import -window root -crop "$size+$px+$py" +repage "$work/readme-screenshot.png"
    close_window "$main"
    wait_exit "$started" || fail "the README picture's window did not exit"
else
    echo "== README picture skipped: no $linux_tree (bench/run.sh unpacks it)"
fi

echo "== non-ASCII settings folder, Shift+Tab, F8"
# AppData moved under C:\users\Jürgen: regedit reads a REGEDIT4 file in the ANSI code page, so
# the ü is one Latin-1 byte.
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
# The caret at a box's start before Shift+Tab leaves it: what is typed after Shift+Tab must be
# appended, not replace a selection.
xdotool key Home shift+Tab && xdotool type --delay 12 ' gadget'
xdotool key Home shift+Tab && xdotool type --delay 12 '\my src'
xdotool key Return
wait_settled "$main" || fail "the window never settled after Shift+Tab and Enter"
# F8: the previewed file in Notepad, its path with spaces as one argument.
xdotool key F8
wait_window 'hello world\.c' 1 >/dev/null || fail "Notepad did not open the previewed file"
"$WINE" taskkill /im notepad.exe >/dev/null 2>&1
close_window "$main"
wait_exit "$started" || fail "exit code $? after Alt+F4"

[ -f "$settings" ] || fail "no settings file in the folder named with ü: $settings"
[ "$(grep -c $'\r$' "$settings")" = "$(wc -l <"$settings")" ] ||
    fail "settings lines do not all end in CR LF"
expect_line 3 'widget gadget' "the Find text after Shift+Tab"
expect_line 4 "$root\\my src" "the Path text after Shift+Tab"

[ $failed -eq 0 ] || { echo "== settings file:"; cat "$settings" 2>/dev/null; exit 1; }
echo "== end-to-end: all passed (screenshot: $work/searched.png)"
"$WINESERVER" -k 2>/dev/null
rm -rf "$prefix"  # 700 MB, kept only when something failed
