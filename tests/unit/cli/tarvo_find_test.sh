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
expected=$(printf 'Tarvo Search, version 1.0\n100 80 900 680\nold find\nold path\n.c;.cpp;.cxx;.h\n.txt\n1 1 1 0 1 1 1\n\n1000 %s\n500 /gone/file.c' "$tree/x.c")
check "settings written back with the credited memory" "$expected" "$(cat "$settings")"

printf 'my notes\n' >"$tree/notes.txt"
"$find_bin" --settings "$tree/notes.txt" foo "$tree" >/dev/null 2>&1
check "a foreign file is refused" 2 $?
check "a foreign file is left alone" "my notes" "$(cat "$tree/notes.txt")"

# The remembered files of other roots are neither reported nor touched:
# projA's row and projB's row below the non-recursive root stay as they were.
mkdir -p "$tree/projA" "$tree/projB/sub"
printf 'secret\n' | tee "$tree/projA/config.c" "$tree/projB/top.c" >"$tree/projB/sub/deep.c"
printf 'Tarvo Search, version 1.0\n100 80 900 680\n\n\n.c\n\n1 1 1 0 1 1 1\n\n500 %s\n400 %s\n' \
    "$tree/projA/config.c" "$tree/projB/sub/deep.c" >"$settings"
out=$("$find_bin" --settings "$settings" --no-recursive --format tsv secret "$tree/projB" | cut -f3)
check "remembered files outside the roots are not searched" "$tree/projB/top.c" "$out"
check "their rows are left as they were" "$(printf '1000 %s\n500 %s\n400 %s' "$tree/projB/top.c" \
    "$tree/projA/config.c" "$tree/projB/sub/deep.c")" "$(tail -n 3 "$settings")"

# Each limit the request runs into is named on stderr; the search goes on.
words="$(printf '%0101d' 0) $(printf 'w%d ' $(seq 1 100))"
roots=$(printf "$tree/sub;%.0s" $(seq 1 101))
err=$("$find_bin" --format tsv "$words" "$roots" 2>&1 >/dev/null)
check "limits: the search still ran" 1 $?
check "limits named" "tarvo-find: only the first 100 terms are used
tarvo-find: terms longer than 100 bytes are split into several terms
tarvo-find: only the first 100 roots are searched" "$err"

# The line formats through a pipe, on a line with a tab, a CR and a byte
# that is not UTF-8, in a file whose name holds a colon and such a byte.
mkdir "$tree/fmt"
odd="$tree/fmt/a:"$'\xff'".txt"
printf 'x\tfoo\rbar \xff\r\n' >"$odd"
long="foo $(printf 'y%.0s' $(seq 1 300))"
printf '%s\n' "$long" >"$tree/fmt/long.c"
score=$("$find_bin" --no-file-names --format tsv foo "$odd" | cut -f2)
line=$'x\tfoo\rbar \xff'
check "text" "$odd:1:$line" "$("$find_bin" --no-file-names foo "$odd")"
check "rank" "1:$score:$odd:1:$line" "$("$find_bin" --no-file-names --rank foo "$odd")"
check "vimgrep" "$odd:1:3:$line" "$("$find_bin" --no-file-names --format vimgrep foo "$odd")"
check "null" "$odd@1:$line" "$("$find_bin" --no-file-names --null foo "$odd" | tr '\0' @)"
out=$("$find_bin" --no-file-names --format jsonl foo "$odd")
case "$out" in
    *"\"path_bytes\":\"$(printf %s "$odd" | base64 -w0)\""*"\"text_bytes\":\"$(printf 'x\tfoo\rbar \xff\r\n' | base64 -w0)\"}") ;;
    *) check "jsonl with the exact bytes" "path_bytes and text_bytes" "$out" ;;
esac
check "a long line goes into a pipe whole" "$tree/fmt/long.c:1:$long" \
    "$("$find_bin" --no-file-names foo "$tree/fmt/long.c")"
check "files with matches, in the order of their best lines" "$(printf '%s\n%s' "$tree/x.c" "$tree/x.txt")" \
    "$("$find_bin" --no-file-names -l "foo bar" "$tree/x.txt;$tree/x.c")"

# Ctrl+C while the results are printed: the rest is still printed, then the
# notice and status 130; a second Ctrl+C ends the process at once. The
# output is far larger than a pipe holds, so the process waits on the pipe.
mkdir "$tree/many"
for i in $(seq 1 3000); do printf 'foo line %s of many many words\n' "$i"; done >"$tree/many/m.txt"
mkfifo "$tree/pipe"
pending() { grep -E '^(SigPnd|ShdPnd):' "/proc/$1/status" 2>/dev/null | grep -qv '0000000000000000$'; }
for presses in 1 2; do
    "$find_bin" --no-file-names foo "$tree/many" >"$tree/pipe" 2>"$tree/err" &
    pid=$!
    exec 3<"$tree/pipe"
    head -c 1 <&3 >/dev/null  # the search is over and printing has begun
    for _ in $(seq 1 "$presses"); do
        kill -INT "$pid"
        while pending "$pid"; do :; done  # handled before the next one
    done
    if [ "$presses" = 1 ]; then cat <&3 >/dev/null; fi
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid"
    check "status after $presses Ctrl+C" 130 $?
    exec 3<&-
    notice=$([ "$presses" = 1 ] && echo "tarvo-find: interrupted")
    check "notice after $presses Ctrl+C" "$notice" "$(cat "$tree/err")"
done

# The save: line ends kept, links followed, mode kept, and what cannot be
# replaced reported.
crlf=$(printf 'Tarvo Search, version 1.0\r\n100 80 900 680\r\n\r\n\r\n.c\r\n\r\n1 1 1 0 1 1 1\r\n\r\n')
printf '%s\n' "$crlf" >"$settings"
"$find_bin" --settings "$settings" foo "$tree/x.c" >/dev/null
check "CR LF line ends kept" "$(printf '%s\n1000 %s\r' "$crlf" "$tree/x.c")" "$(cat "$settings")"

mkdir "$tree/real"
printf '%s\n' "$crlf" >"$tree/real/target.txt"
ln -s real/target.txt "$tree/link.txt"
chmod 600 "$tree/real/target.txt"
"$find_bin" --settings "$tree/link.txt" foo "$tree/x.c" >/dev/null
check "a linked file: the link stays" "real/target.txt" "$(readlink "$tree/link.txt")"
check "a linked file: the target is written" "1000 $tree/x.c" "$(tail -n 1 "$tree/real/target.txt" | tr -d '\r')"
check "the mode is kept" "600 0" "$(stat -c %a "$tree/real/target.txt") $(ls -A "$tree/real" | grep -vc '^target.txt$')"

mkfifo "$tree/fifo"
mkdir "$tree/folder"
ln -s /dev/null "$tree/null-link"
ln -s /dev/zero "$tree/zero-link"
for name in fifo folder null-link zero-link; do
    err=$(timeout 10 "$find_bin" --settings "$tree/$name" foo "$tree/x.c" 2>&1 >/dev/null)
    check "$name refused" "2 tarvo-find: $tree/$name exists but is not a regular file; not touching it" "$? $err"
done
check "nothing replaced" "fifo directory /dev/null /dev/zero" \
    "$(stat -c %F "$tree/fifo") $(stat -c %F "$tree/folder") $(readlink "$tree/null-link") $(readlink "$tree/zero-link")"

printf '%s\n' "$crlf" >"$settings"
chmod 444 "$settings"
err=$("$find_bin" --settings "$settings" foo "$tree/x.c" 2>&1 >/dev/null)
check "a read-only file is not replaced" "2 tarvo-find: can't save settings $settings: Permission denied" "$? $err"
check "a read-only file is left as it was" "$crlf" "$(cat "$settings")"
rm -f "$settings"

# Root writes into any folder: the read-only folder is met as nobody, who
# runs a copy of the program (the build folder may be closed to others).
as_user=()
[ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
cp "$find_bin" "$tree/tarvo-find"
mkdir "$tree/locked"
printf '%s\n' "$crlf" >"$tree/locked/S.txt"
chmod 666 "$tree/locked/S.txt"
chmod 555 "$tree/locked"
chmod 755 "$tree"
err=$("${as_user[@]}" "$tree/tarvo-find" --settings "$tree/locked/S.txt" foo "$tree/x.c" 2>&1 >/dev/null)
check "a read-only folder" "2 tarvo-find: can't save settings $tree/locked/S.txt: Permission denied" "$? $err"
chmod 755 "$tree/locked"

# Two runs saving one file at once leave one of their two files, whole. The
# excluded rows stay remembered and make each save long enough to overlap.
big="$tree/big.txt"
{
    printf 'Tarvo Search, version 1.0\n0 0 100 100\n\n\n.c\n.zz\n1 1 1 0 1 1 1\n\n'
    seq -f '500 /remembered/%07g/a-path-long-enough-to-make-the-file-big.zz' 1 100000
} >"$big"
cp "$big" "$tree/alone-a.txt"
cp "$big" "$tree/alone-b.txt"
"$find_bin" --settings "$tree/alone-a.txt" foo "$tree/x.c" >/dev/null
"$find_bin" --settings "$tree/alone-b.txt" nothing "$tree/sub" >/dev/null
whole=0
for round in $(seq 20); do
    cp "$big" "$settings"
    "$find_bin" --settings "$settings" foo "$tree/x.c" >/dev/null &
    "$find_bin" --settings "$settings" nothing "$tree/sub" >/dev/null &
    wait
    if cmp -s "$settings" "$tree/alone-a.txt" || cmp -s "$settings" "$tree/alone-b.txt"; then
        whole=$((whole + 1))
    fi
done
check "two writers: one whole file in each of 20 rounds" 20 "$whole"
check "two writers: no temporary file left" "" "$(ls -A "$tree" | grep '^TarvoSearch.txt.')"

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all tarvo-find checks passed"
