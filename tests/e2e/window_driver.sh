# Sourced by run_e2e.sh and scripts/readme_picture.sh: the real TarvoSearch.exe ($exe) under Wine on
# the X display, driven with xdotool. Sets $prefix (a fresh copy under $work, no settings file) and
# $settings, the file the program writes. Exit 77 (skipped) without a display or the tools.

if [ -z "${DISPLAY:-}" ]; then echo "skipped: no X display"; exit 77; fi
for tool in xdotool xwd convert import iconv; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool missing"; exit 77; }
done

. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh"
# Limits, in seconds: generous for a loaded two-core machine; a hang fails.
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
rm -rf "$prefix"
mkdir -p "$work"
cp -a "$template" "$prefix"
rm -f "$prefix"/drive_c/users/*/AppData/Roaming/TarvoSearch.txt
export WINEPREFIX="$prefix"
# The template's server writes its registry to disk when it likes, so the copy may hold the DPI
# of a suite that has since put it back: the program starts at 96 DPI here.
"$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
settings="$prefix/drive_c/users/$(id -un)/AppData/Roaming/TarvoSearch.txt"

pids=()
# The server's end ends every program of this prefix.
trap '"$WINESERVER" -k 2>/dev/null; for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done' EXIT

winpath() { echo "Z:$1" | tr / '\\'; }
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

# A search is over when a result is selected (the selection colour shows) and the picture stops
# changing; the band of the boxes, where the caret blinks, is left out.
wait_settled() {  # wait_settled WINDOW [any]: "any" does not wait for a result
    local deadline=$((SECONDS + settle_timeout)) last="" now same=0
    while [ $SECONDS -lt $deadline ]; do
        [ -f "$work/frame.ppm" ] && mv "$work/frame.ppm" "$work/frame-before.ppm"
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
    # What still changed (width x height + x + y below the boxes, 1x1-1-1 for nothing), and the
    # last two frames as unsettled-*.png, for whoever reads the failure.
    echo "the last two frames differ in $(convert "$work/frame-before.ppm" "$work/frame.ppm" \
        -compose difference -composite -trim -format '%wx%h%X%Y' info: 2>/dev/null)"
    convert "$work/frame-before.ppm" "$work/unsettled-1.png" && convert "$work/frame.ppm" "$work/unsettled-2.png"
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

# Starts the program and waits for its window: sets $started (the pid) and $main (the window).
start_window() {  # start_window LOG
    "$WINE" "$exe" >"$1" 2>&1 &
    started=$!
    pids+=("$started")
    main=$(wait_window '^Tarvo Search$' 1 | head -1) || { echo "FAIL: no window"; cat "$1"; exit 1; }
}

# Types FIND_TEXT, Tab, PATH (over the Path text) and Enter, then waits for the search to settle.
type_search() {  # type_search WINDOW FIND_TEXT PATH [any]
    activate_window "$1"
    xdotool type --delay 12 "$2" && xdotool key Tab shift+Home && xdotool type --delay 12 "$3"
    xdotool key Return
    wait_settled "$1" "${4:-}" || fail "the window never settled after the search for '$2'"
}
