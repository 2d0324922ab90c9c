# Sourced by test.sh, run.sh and bench/run.sh: installs, from Debian's
# packages, those of the named packages that are not installed yet, so each
# script works on a fresh machine and costs nothing on a prepared one.
install_missing() {
    local need=() pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "ok installed" || need+=("$pkg")
    done
    if [ ${#need[@]} -gt 0 ]; then
        echo "== installing: ${need[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}"
    fi
}
