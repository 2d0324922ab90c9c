#!/usr/bin/env bash
# tarvo-find driven from outside, as a user runs it.
# Usage: tarvo_find_test.sh PATH_TO_TARVO_FIND
set -u
find_bin=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
failures=0

check() {  # check LABEL EXPECTED ACTUAL
    if [ "$2" != "$3" ]; then
        printf 'FAIL %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
        failures=$((failures + 1))
    fi
}

printf '// foo routine\nint Foo(int bar)\n{\n    return foo;\n}\n' >"$tree/x.c"
cp "$tree/x.c" "$tree/x.txt"
mkdir "$tree/sub"
printf 'nothing here\n' >"$tree/sub/other.c"

# The scoring example, through the whole program: x.c is on the highlight
# list, x.txt is not, so its definition bonus is halved.
out=$("$find_bin" --no-file-names --format tsv "foo bar" "$tree")
check "exit status with results" 0 $?
expected=$(printf '1\t2003050\t%s\t2\tint Foo(int bar)\\n\n2\t2002550\t%s\t2\tint Foo(int bar)\\n\n3\t1002020\t%s\t1\t// foo routine\\n\n4\t1002020\t%s\t1\t// foo routine\\n\n5\t1002010\t%s\t4\t    return foo;\\n\n6\t1002010\t%s\t4\t    return foo;\\n' \
    "$tree/x.c" "$tree/x.txt" "$tree/x.c" "$tree/x.txt" "$tree/x.c" "$tree/x.txt")
check "worked example in tsv" "$expected" "$out"

out=$("$find_bin" --no-file-names --format tsv --top 1 --exclude .txt "foo bar" "$tree")
check "top and exclude" "$(printf '1\t2003050\t%s\t2\tint Foo(int bar)\\n' "$tree/x.c")" "$out"

out=$("$find_bin" --no-file-names --format tsv --sort name --top 2 "foo bar" "$tree" | cut -f1,4)
check "sort by name keeps the rank column" "$(printf '3\t1\n1\t2')" "$out"

"$find_bin" --no-file-names "no-such-term" "$tree" >/dev/null
check "exit status without results" 1 $?
"$find_bin" --frobnicate x >/dev/null 2>&1
check "exit status of a usage error" 2 $?

# A root that cannot be opened is reported and the next root still searched.
err=$("$find_bin" --no-file-names --format tsv "bar" "/nonexistent-root;$tree/sub;$tree/x.c" 2>&1 >/dev/null)
check "missing root reported" "Error: can't open directory /nonexistent-root" "$err"
out=$("$find_bin" --no-file-names --format tsv "bar" "/nonexistent-root;$tree/x.c" 2>/dev/null | cut -f3)
check "search goes on after a missing root" "$tree/x.c" "$out"

err=$("$find_bin" --no-file-names --stats "foo" "$tree" 2>&1 >/dev/null)
case "$err" in
    "6 Matches     Files: 3   Lines: 11   Bytes: "*"   Time: "*:*.*) ;;
    *) check "status line on stderr" "6 Matches     Files: 3   Lines: 11 ..." "$err" ;;
esac

# --settings: options and memory from the file, results credited, and
# nothing but the memory rows rewritten.
settings="$tree/TarvoSearch.txt"
printf 'Tarvo Search, version 1.0\n100 80 900 680\nold find\nold path\n.c;.cpp;.cxx;.h\n.txt\n1 1 1 0 1 1 1\n\n500 /gone/file.c\n' >"$settings"
out=$("$find_bin" --settings "$settings" --format tsv "foo bar" "$tree" | cut -f3)
check "settings exclude list and no file names" "$(printf '%s\n%s\n%s' "$tree/x.c" "$tree/x.c" "$tree/x.c")" "$out"
expected=$(printf 'Tarvo Search, version 1.0\n100 80 900 680\nold find\nold path\n.c;.cpp;.cxx;.h\n.txt\n1 1 1 0 1 1 1\n\n1000 %s' "$tree/x.c")
check "settings written back with the credited memory" "$expected" "$(cat "$settings")"

printf 'my notes\n' >"$tree/notes.txt"
"$find_bin" --settings "$tree/notes.txt" foo "$tree" >/dev/null 2>&1
check "a foreign file is refused" 2 $?
check "a foreign file is left alone" "my notes" "$(cat "$tree/notes.txt")"

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all tarvo-find checks passed"
