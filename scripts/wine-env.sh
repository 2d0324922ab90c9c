# Sourced by test.sh and run.sh: the Wine prefix the Windows build runs in,
# kept under the build tree and set up once.
#
# Why each registry value matters:
#   Managed=N        without a window manager, hiding a managed window waits
#                    2 s for a withdraw event that never comes
#   ShowCrashDialog  a crash would otherwise hang in the debugger's dialog;
#                    with it off the process ends with code 5
#   Fonts            Liberation Sans and Mono stand in for Arial and Courier
#                    New with the same metrics; without the replacement
#                    "Courier New" falls back to a proportional face

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

wine_prefix_init() {  # wine_prefix_init DIR
    export WINEPREFIX="$1"
    if [ -f "$WINEPREFIX/.tarvo-ready" ]; then return 0; fi
    echo "== creating the Wine prefix $WINEPREFIX (once)"
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot --init >/dev/null 2>&1 || true
    cat >"$WINEPREFIX/tarvo.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Courier New"="Liberation Mono"
REG
    "$WINE" regedit /S "Z:$(echo "$WINEPREFIX/tarvo.reg" | tr / '\\')" >/dev/null 2>&1
    "$WINESERVER" -w
    touch "$WINEPREFIX/.tarvo-ready"
}

# A persistent server with its services started now: otherwise every
# program's first start spawns them, they inherit its output pipe and CTest
# waits for them (2.5 s per test). The desktop process (explorer) quits a few
# seconds after its last window is gone and the next window program would
# start it again, with the same wait: a minimised clock keeps it alive.
wine_server_start() {
    "$WINESERVER" -k 2>/dev/null || true  # one left from another display keeps its screen size
    "$WINESERVER" -p
    "$WINE" wineboot >/dev/null 2>&1 || true
    if [ -n "${DISPLAY:-}" ]; then
        "$WINE" start /min clock.exe >/dev/null 2>&1 || true
    fi
}

wine_server_stop() {
    "$WINESERVER" -k 2>/dev/null || true
}
