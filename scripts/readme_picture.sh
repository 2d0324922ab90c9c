#!/usr/bin/env bash
# Takes the README's picture again: the window's search of the Linux 6.1 tree that bench/run.sh
# unpacks into its cache, seen as D:\linux through drive D: of the Wine prefix: too slow a search
# for the end-to-end suite. Without a display it runs on a virtual screen, as ./test.sh does.
# Usage: scripts/readme_picture.sh [TarvoSearch.exe [WORK_DIR]] (default: the windows preset's
# build); the picture is WORK_DIR/readme-screenshot.png, to be copied to docs/screenshot.png. With
# TARVO_PICTURE_DPI=144 the screen is at 150 % and the picture is readme-screenshot-144.png, to be
# copied to docs/screenshot-150.png.
set -uo pipefail
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

build=$(cd "$(dirname "$0")/.." && pwd)/build/windows
exe=$(realpath "${1:-$build/TarvoSearch.exe}")
work=$(realpath -m "${2:-$build/readme-picture}")
linux_tree=${TARVO_BENCH_CACHE:-$HOME/.cache/tarvo-bench}/linux-source-6.1
[ -f "$linux_tree/.unpacked" ] || { echo "no $linux_tree: bench/run.sh unpacks it"; exit 1; }
export WINEPREFIX=${WINEPREFIX:-$build/wine-prefix}
. "$(dirname "$0")/../tests/e2e/window_driver.sh"
dpi=${TARVO_PICTURE_DPI:-96} picture=readme-screenshot.png
if [ "$dpi" != 96 ]; then
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    edit_band_height=$((edit_band_height * dpi / 96)) picture=readme-screenshot-$dpi.png
fi

mkdir -p "$work/drive-d"
ln -sfn "$linux_tree" "$work/drive-d/linux"
ln -sfn "$work/drive-d" "$prefix/dosdevices/d:"
start_window "$work/picture.log"
settle_timeout=240 type_search "$main" 'kmem_cache_create SLAB_HWCACHE_ALIGN' 'D:\linux'
read -r x y <<<"$(geometry "$main")"
size=$(xdotool getwindowgeometry --shell "$main" | awk -F= '/^WIDTH=/{w=$2} /^HEIGHT=/{h=$2} END{print w "x" h}')
import -window root -crop "$size+$x+$y" +repage "$work/$picture"
close_window "$main"
wait_exit "$started" || fail "the window did not exit"
[ $failed -eq 0 ] || exit 1
echo "the picture: $work/$picture"
"$WINESERVER" -k 2>/dev/null
rm -rf "$prefix"  # 700 MB, kept only when something failed
