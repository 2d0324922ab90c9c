#!/usr/bin/env bash
# Checks the verdicts of ignore_rules_cases.txt against `git check-ignore`, each case alone in a
# work tree with no user or system configuration. Usage: ignore_rules_cases.sh [CASES]
set -u
cases=${1:-$(dirname "$0")/ignore_rules_cases.txt}
scratch=$(mktemp -d) failures=0 count=0 && trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch XDG_CONFIG_HOME=$scratch/config GIT_CONFIG_NOSYSTEM=1
tree=$scratch/tree && git init -q "$tree" || exit 1
while IFS='|' read -r rules path expected fold; do
    [[ -z $rules$path || $rules == \#* ]] && continue
    count=$((count + 1))
    find "$tree" -mindepth 1 -maxdepth 1 ! -name .git -exec rm -rf {} +
    printf '%b' "$rules" >"$tree/.gitignore"
    name=$(printf '%b.' "$path") && name=${name%.}  # keeps a trailing line end or blank
    if [[ $name == */ ]]; then
        name=${name%/} && mkdir -p "$tree/$name"
    else
        mkdir -p "$tree/$(dirname -- "$name")" && : >"$tree/$name"
    fi
    # -z: source, line, pattern and path, each ended by a NUL; no source when nothing matched.
    { IFS= read -r -d '' source; IFS= read -r -d '' _; IFS= read -r -d '' pattern; } < <(
        cd "$tree" && printf '%s\0' "$name" |
            git -c core.ignorecase="$([ "$fold" = fold ] && echo true || echo false)" \
                check-ignore -v -n -z --stdin --no-index)
    got=ignored && [ -z "$source" ] && got=none
    [[ -n $source && $pattern == !* ]] && got=kept
    if [ "$got" != "$expected" ]; then
        printf 'FAIL %q on %q%s: git says %s, the table %s\n' "$rules" "$path" "${fold:+ (fold)}" "$got" "$expected"
        failures=$((failures + 1))
    fi
done <"$cases"
[ "$count" -gt 0 ] || { echo "no cases read from $cases"; exit 1; }
[ $failures -eq 0 ] && echo "all $count cases answer as git check-ignore" || echo "$failures of $count cases differ"
exit $((failures > 0))
