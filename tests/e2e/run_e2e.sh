#!/usr/bin/env bash
# The real TarvoSearch.exe driven from outside, as a person drives it: keys
# typed with xdotool into its window under Wine on the current X display,
# then the settings file it wrote read back from the Wine prefix.
#
#   run_e2e.sh TarvoSearch.exe WORK_DIR
#
# Each run starts from a copy of an initialised prefix with no settings
# file, so the program meets its first start. Artefacts in WORK_DIR:
# screenshot.png (a search with results and a preview), maximised.png (the
# whole screen with the maximised window) and the logs.
# Exit 77 (skipped) without a display or the tools.
set -uo pipefail

exe=$(realpath "$1")
work=$(realpath -m "$2")
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${DISPLAY:-}" ]; then echo "skipped: no X display"; exit 77; fi
for tool in xdotool xwd convert import iconv; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool missing"; exit 77; }
done

# shellcheck source=../../scripts/wine-env.sh
. "$here/../../scripts/wine-env.sh"

# Limits, in seconds: generous for a loaded two-core machine, short enough
# that a hang fails the run instead of stalling it.
window_timeout=30  # first start of a prefix also starts Wine's services
settle_timeout=15  # a search of the small tree below, painted
exit_timeout=15
# Wine's caption, the menu bar and the two edit box rows, in pixels.
edit_band_height=90
# The selected result's ground: the system highlight colour of a new prefix.
selection_colour='48,150,250'

fail() { echo "FAIL: $*"; failed=1; }
failed=0

# --- prefix: a copy of an initialised one, without a settings file --------
template=${WINEPREFIX:-}
if [ -z "$template" ] || [ ! -f "$template/.tarvo-ready" ]; then
    template="$work/template-prefix"
    (wine_prefix_init "$template") || { echo "FAIL: no Wine prefix"; exit 1; }
fi
prefix="$work/prefix"
rm -rf "$prefix" "$work/corpus"
mkdir -p "$work"
cp -a "$template" "$prefix"
rm -f "$prefix"/drive_c/users/*/AppData/Roaming/TarvoSearch.txt
export WINEPREFIX="$prefix"
settings="$prefix/drive_c/users/$(id -un)/AppData/Roaming/TarvoSearch.txt"

pids=()
cleanup() {
    "$WINESERVER" -k 2>/dev/null  # ends every program of this prefix
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
}
trap cleanup EXIT

# --- a small tree: the best result lies in a path with spaces --------------
mkdir -p "$work/corpus/my src"
printf 'int main(void)\n{\n    return widget_count(gadget);\n}\n/* widget and gadget */\nstatic int widget_count(int gadget) { return gadget; }\n' \
    >"$work/corpus/my src/hello world.c"
printf 'widget gadget notes\n' >"$work/corpus/notes.txt"
printf 'nothing to see\n' >"$work/corpus/other.txt"
winpath() { echo "Z:$1" | tr / '\\'; }
root=$(winpath "$work/corpus")

start_program() {  # start_program LOG -> pid in $started
    "$WINE" "$exe" >"$1" 2>&1 &
    started=$!
    pids+=("$started")
}

windows_named() { xdotool search --name "$1" 2>/dev/null; }

# Waits until a window of that exact title exists; prints its id.
wait_window() {  # wait_window TITLE_REGEX COUNT
    local deadline=$((SECONDS + window_timeout))
    while [ $SECONDS -lt $deadline ]; do
        local ids
        ids=$(windows_named "$1")
        if [ "$(printf '%s\n' "$ids" | grep -c .)" -ge "$2" ]; then
            printf '%s\n' "$ids"
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# The search is over when its first result is selected (the list shows
# the selection colour) and the picture then stops changing: while a search
# runs the status line's counts and time move with every repaint. The top
# band with the Find and Path boxes is left out: the caret blinks there.
wait_settled() {  # wait_settled WINDOW [any]: "any" does not wait for a result
    local deadline=$((SECONDS + settle_timeout)) last="" now same=0
    while [ $SECONDS -lt $deadline ]; do
        # Pixels only: a PNG carries its creation time, so two files of the
        # same picture taken a second apart would never compare equal.
        xwd -id "$1" -silent | convert xwd:- -crop +0+$edit_band_height +repage "$work/frame.ppm"
        now=$(md5sum <"$work/frame.ppm")
        if [ "$now" = "$last" ] && { [ "${2:-}" = any ] || has_selection "$work/frame.ppm"; }; then
            same=$((same + 1))
            [ $same -ge 2 ] && return 0
        else
            same=0
        fi
        last=$now
        sleep 0.4
    done
    return 1
}

has_selection() {  # has_selection PNG
    convert "$1" -format %c histogram:info:- | grep -q "($selection_colour)"
}

wait_exit() {  # wait_exit PID -> its exit code
    local deadline=$((SECONDS + exit_timeout))
    while kill -0 "$1" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || return 124
        sleep 0.2
    done
    wait "$1"
}

geometry() {  # geometry WINDOW -> "x y"
    xdotool getwindowgeometry --shell "$1" | awk -F= '/^X=/{x=$2} /^Y=/{y=$2} END{print x, y}'
}

# Activates a window as a person does, with a click on its caption (the
# strip at its top that a window 25 px lower leaves free); keys typed by
# xdotool then go to it. Keys sent to an inactive window are ignored.
activate_window() {  # activate_window WINDOW
    local x y
    read -r x y <<<"$(geometry "$1")"
    xdotool mousemove $((x + 300)) $((y + 10)) click 1
    sleep 0.3
}

close_window() {  # close_window WINDOW: Alt+F4, as a person closes it
    activate_window "$1"
    xdotool key alt+F4
}

# The window writes Windows line ends: each line is compared without its CR,
# and every line must have one.
settings_line() { sed -n "$1p" "$settings" | tr -d '\r'; }
crlf_lines() { [ "$(grep -c $'\r$' "$settings")" = "$(wc -l <"$settings")" ]; }

# Starts the program and types a search as a person types it: the Find
# text, Tab, the tree, Enter. Sets $started (the pid) and $main (the window).
start_and_search() {  # start_and_search LOG FIND_TEXT
    start_program "$1"
    main=$(wait_window '^Tarvo Search$' 1 | head -1) || { echo "FAIL: no window"; exit 1; }
    activate_window "$main"
    xdotool type --delay 12 "$2"
    xdotool key Tab
    xdotool type --delay 12 "$root"
    xdotool key Return
    wait_settled "$main" || fail "the window never settled after the search for '$2'"
}

# --- scenario 1: a search typed as a person types it ------------------------
echo "== search, preview, Notepad, close"
start_and_search "$work/first.log" 'widget gadget'
first=$started
xwd -id "$main" -silent | convert xwd:- "$work/screenshot.png"
xdotool key F6  # Stop: nothing runs any more, it must change nothing

# F8: the previewed file in Notepad, its path with spaces as one argument.
xdotool key F8
if notepad=$(wait_window 'hello world\.c' 1 | head -1); then
    echo "Notepad: $(xdotool getwindowname "$notepad")"
    "$WINE" taskkill /im notepad.exe >/dev/null 2>&1
else
    fail "Notepad did not open the previewed file"
fi

close_window "$main"
wait_exit "$first"
code=$?
[ $code -eq 0 ] || fail "exit code $code after Alt+F4"

if [ ! -f "$settings" ]; then
    fail "no settings file at $settings"
else
    expect_line() {  # expect_line N TEXT
        local got
        got=$(settings_line "$1")
        [ "$got" = "$2" ] || fail "settings line $1: '$got', expected '$2'"
    }
    expect_line 1 'Tarvo Search, version 1.0'
    settings_line 2 | grep -Eq '^-?[0-9]+ -?[0-9]+ -?[0-9]+ -?[0-9]+$' ||
        fail "settings line 2 is no rectangle: '$(settings_line 2)'"
    expect_line 3 'widget gadget'
    expect_line 4 "$root"
    expect_line 5 '.c;.cpp;.cxx;.h'
    expect_line 6 ''
    expect_line 7 '1 1 1 1 1 1 1'
    expect_line 8 ''
    expect_line 9 "1000 $root\\my src\\hello world.c"
    expect_line 10 "999 $root\\notes.txt"
    crlf_lines || fail "settings lines do not all end in CR LF"
fi

# --- scenario 2: New Window, and the last to exit decides the file ---------
echo "== New Window"
start_program "$work/second.log"
older_pid=$started
older=$(wait_window '^Tarvo Search$' 1 | head -1) || { echo "FAIL: no second start"; cat "$work/second.log"; exit 1; }
activate_window "$older"
xdotool key ctrl+n
newer=""
if ids=$(wait_window '^Tarvo Search$' 2); then
    newer=$(printf '%s\n' "$ids" | grep -vx "$older" | head -1)
fi
if [ -z "$newer" ]; then
    fail "New Window started no second window"
else
    read -r ox oy <<<"$(geometry "$older")"
    read -r nx ny <<<"$(geometry "$newer")"
    echo "older at $ox,$oy; newer at $nx,$ny"
    [ $((nx - ox)) -eq 25 ] && [ $((ny - oy)) -eq 25 ] ||
        fail "the new window is not 25 px right of and below the old one"
    wait_settled "$newer" any
    activate_window "$newer"
    xdotool key --repeat 20 BackSpace  # the caret starts after the loaded text
    xdotool type --delay 12 'second window'
    xdotool key Return
    wait_settled "$newer" any
    # The older one exits first; the newer one, exiting last, decides.
    close_window "$older"
    wait_exit "$older_pid" || fail "the older window did not exit"
    close_window "$newer"
    deadline=$((SECONDS + exit_timeout))
    while [ -n "$(windows_named '^Tarvo Search$')" ] && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
    [ -z "$(windows_named '^Tarvo Search$')" ] || fail "the newer window did not exit"
    sleep 0.5
    [ "$(settings_line 1)" = 'Tarvo Search, version 1.0' ] || fail "settings file damaged"
    [ "$(settings_line 3)" = 'second window' ] ||
        fail "line 3 is '$(settings_line 3)', not the last window's text"
fi

# --- the README's picture, on request: TARVO_README_PICTURE=1 --------------
# A real tree: bench/run.sh unpacks Debian's linux-source-6.1 into its cache;
# unpacking it here, and a search of the whole tree under Wine, would cost
# every run a minute or more. Drive D: of the prefix holds it as D:\linux.
# The picture is $work/readme-screenshot.png; docs/screenshot.png is a copy.
linux_tree=${TARVO_BENCH_CACHE:-$HOME/.cache/tarvo-bench}/linux-source-6.1
if [ "${TARVO_README_PICTURE:-0}" != 1 ]; then
    echo "== README picture not asked for (TARVO_README_PICTURE=1 takes it)"
elif [ -f "$linux_tree/.unpacked" ]; then
    echo "== README picture: $linux_tree as D:\\linux"
    mkdir -p "$work/drive-d"
    ln -sfn "$linux_tree" "$work/drive-d/linux"
    ln -sfn "$work/drive-d" "$prefix/dosdevices/d:"
    rm -f "$settings"
    start_program "$work/picture.log"
    picture_pid=$started
    if picture=$(wait_window '^Tarvo Search$' 1 | head -1); then
        activate_window "$picture"
        xdotool type --delay 12 'kmem_cache_create SLAB_HWCACHE_ALIGN'
        xdotool key Tab
        xdotool type --delay 12 'D:\linux'
        xdotool key Return
        settle_timeout=240 wait_settled "$picture" || fail "the search of D:\\linux never settled"
        read -r px py <<<"$(geometry "$picture")"
        size=$(xdotool getwindowgeometry --shell "$picture" | awk -F= '/^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END{print w "x" h}')
        import -window root -crop "$size+$px+$py" +repage "$work/readme-screenshot.png"
        close_window "$picture"
        wait_exit "$picture_pid" || fail "the README picture's window did not exit"
    else
        fail "no window for the README picture"
    fi
else
    echo "== README picture skipped: no $linux_tree (bench/run.sh unpacks it)"
fi

# --- scenario 3: a settings folder under a non-ASCII name, maximised, Shift+Tab
echo "== non-ASCII settings folder, maximised window, Shift+Tab"
# The user's application-data folder moved under C:\users\Jürgen: regedit
# reads a REGEDIT4 file in the ANSI code page, so the ü is one Latin-1 byte.
appdata="$prefix/drive_c/users/Jürgen/AppData/Roaming"
mkdir -p "$appdata"
iconv -f UTF-8 -t LATIN1 >"$work/appdata.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders]
"AppData"="C:\\users\\Jürgen\\AppData\\Roaming"

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders]
"AppData"="C:\\users\\Jürgen\\AppData\\Roaming"
REG
"$WINE" regedit /S "$(winpath "$work/appdata.reg")" >/dev/null 2>&1
settings="$appdata/TarvoSearch.txt"

start_and_search "$work/third.log" 'widget'
third=$started
xdotool key alt+space
sleep 0.5
xdotool key x  # Maximize, from the window's system menu
wait_settled "$main" || fail "the maximised window never settled"
width=$(xdotool getwindowgeometry --shell "$main" | sed -n 's/^WIDTH=//p')
# A maximised frame reaches past the screen's edges, as on Windows.
[ "$width" -ge "$(xdotool getdisplaygeometry | cut -d' ' -f1)" ] ||
    fail "the window is $width pixels wide, not maximised"
import -window root "$work/maximised.png"
# Each box's caret at its start before Shift+Tab leaves it: a letter typed
# after Shift+Tab must be appended, not replace a selection.
xdotool key Home shift+Tab
xdotool type --delay 12 ' gadget'
xdotool key Home shift+Tab
xdotool type --delay 12 '\my src'
xdotool key Return
wait_settled "$main" || fail "the window never settled after Shift+Tab and Enter"
close_window "$main"
wait_exit "$third" || fail "exit code $? after Alt+F4 in the maximised window"

if [ ! -f "$settings" ]; then
    fail "no settings file in the folder named with ü: $settings"
else
    crlf_lines || fail "settings lines do not all end in CR LF"
    [ "$(settings_line 3)" = 'widget gadget' ] ||
        fail "line 3 is '$(settings_line 3)', not the Find text typed after Shift+Tab"
    [ "$(settings_line 4)" = "$root\\my src" ] ||
        fail "line 4 is '$(settings_line 4)', not the Path text typed after Shift+Tab"
fi

if [ $failed -ne 0 ]; then
    echo "== settings file:"; cat "$settings" 2>/dev/null
    exit 1
fi
echo "== end-to-end: all passed (screenshot: $work/screenshot.png)"
# The prefix copy (700 MB) is kept only when something failed.
"$WINESERVER" -k 2>/dev/null
rm -rf "$prefix"
