#!/usr/bin/env bash
# tarvo-find driven from outside, as a user runs it. Usage: tarvo_find_test.sh TARVO_FIND
set -u
find_bin=$1 tree=$(mktemp -d) failures=0
trap 'rm -rf "$tree"' EXIT
check() {  # check LABEL EXPECTED ACTUAL
    [ "$2" = "$3" ] && return
    printf 'FAIL %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
    failures=$((failures + 1))
}
run() { "$find_bin" --no-file-names "$@" 2>&1; echo "status $?"; }

src=$tree/src && mkdir -p "$src/sub" "$tree/fmt"
printf '// foo routine\nint Foo(int bar)\n{\n    return foo;\n}\n' >"$src/x.c"
cp "$src/x.c" "$src/x.txt"
long="foo $(printf 'y%.0s' $(seq 1 300))" long2="$(printf 'z%.0s' $(seq 1 201))foo"
printf '%s\nshort foo\n%s\n' "$long" "$long2" >"$tree/fmt/long.c"
mkfifo "$tree/pipe"
printf 'x\0y alpha\n' >"$tree/fmt/nul.bin"
mkdir "$tree/tie" && printf 'zzz tie\naaa tie\n' >"$tree/tie/a.c" && printf 'mmm tie\n' >"$tree/tie/b.c"
mkdir "$tree/cap" && yes alpha | head -n 10000 >"$tree/cap/many.txt" && echo xalphax >"$tree/cap/weak.txt"
printf 'my notes\n' >"$tree/notes.txt"
{ printf '\xff\xfe' && { yes 'filler words of a big wide file' | head -c 34000000 && echo 'a needle'; } |
    iconv -t UTF-16LE; } >"$tree/big16.txt"  # 68 MB
far=$tree/deep && while [ ${#far} -le 4095 ]; do far=$far/$(printf 'f%.0s' $(seq 1 200)); done
mkdir -p "$far" && echo alpha >"$tree/deep/a.c"  # the last folder passes PATH_MAX: counted, not entered
head="Tarvo Search, version 1.0\n100 80 900 680\n\n\n.c\n.txt\n1 1 1 0 1 1 1\n\n"
printf "$head"'500 /gone/file.c\n' | tee "$tree/settings.txt" >"$tree/read-only.txt"
chmod 444 "$tree/read-only.txt"
mkdir -p "$tree/projA" "$tree/projB/sub"
printf 'secret\n' | tee "$tree/projA/config.c" "$tree/projB/top.c" >"$tree/projB/sub/deep.c"
printf "$head"'500 %s\n400 %s\n' "$tree/projA/config.c" "$tree/projB/sub/deep.c" >"$tree/projects.txt"
printf 'a\tfoo\n' >"$tree/fmt/tabs.c" && printf "$head"'tab-width=2\n' >"$tree/tabs.txt"

# The scoring example (x.txt is not highlighted), options, exit statuses, limits, the formats
# through a pipe; --settings read, only its memory rows rewritten, or said when it cannot be.
t=$'\t'
x="$t$src/x.c$t" y="$t$src/x.txt$t"
while IFS='|' read -r label expected args; do
    check "$label" "$(printf "$expected")" "$(eval "run $args")"
done <<CASES
worked example|1${t}2003050${x}2${t}int Foo(int bar)\n2${t}2002550${y}2${t}int Foo(int bar)\n3${t}1002020${x}1${t}// foo routine\n4${t}1002020${y}1${t}// foo routine\n5${t}1002010${x}4${t}    return foo;\n6${t}1002010${y}4${t}    return foo;\nstatus 0|--format tsv "foo bar" "$src"
no results|status 1|no-such-term "$src"
usage error|status 2|--frobnicate x | tail -n 1
missing root|Error: can't open directory /nonexistent-root\n$src/x.c:2:int Foo(int bar)\nstatus 0|bar "/nonexistent-root;$src/x.c"
paths past PATH_MAX|$tree/deep/a.c:1:alpha\ntarvo-find: 1 path longer than 4,095 bytes was passed over\nstatus 0|alpha "$tree/deep"
limits|tarvo-find: only the first 100 terms are used\ntarvo-find: terms longer than 100 bytes are split into several terms\ntarvo-find: only the first 100 roots are searched\nstatus 1|"$(printf '%0101d' 0) $(printf 'w%d ' $(seq 1 100))" "$(printf "$src/sub;%.0s" $(seq 1 101))"
threads past what can help|tarvo-find: -j 1000000 is more than can help; N files are read at once\n$src/x.c:2:int Foo(int bar)\nstatus 0|-j 1000000 bar "$src/x.c" | sed 's/; [0-9]* files/; N files/'
a UTF-16 file of any size|$tree/big16.txt:1062501:a needle\n1 Matches     Files: 1   Lines: 1,062,501   Bytes: 34,000,009\nstatus 0|--stats needle "$tree/big16.txt" | sed 's/   Time: .*//'
whole lines in every format|$tree/fmt/long.c:3:202:$long2\n3${t}$long2\nstatus 0\n1|--format vimgrep foo "$tree/fmt/long.c" | grep :202:; run --format tsv foo "$tree/fmt/long.c" | cut -f4,5 | tail -n 2; run --format jsonl foo "$tree/fmt/long.c" | grep -c "$long\"}"
files with matches, best first|$src/x.c\n$src/x.txt\nstatus 0|-l "foo bar" "$src/x.txt;$src/x.c"
NUL bytes into a pipe|$tree/fmt/nul.bin:1:x@y alpha\nstatus 0\n$tree/fmt/nul.bin:1:5:x@y alpha\nstatus 0\n"text_bytes":"eAB5IGFscGhh"|--search-binary alpha "$tree/fmt/nul.bin" | tr '\0' @; run --search-binary --format vimgrep alpha "$tree/fmt/nul.bin" | tr '\0' @; run --search-binary --format jsonl alpha "$tree/fmt/nul.bin" | grep -o '"text_bytes":"[^"]*"'
the cap is said|tarvo-find: 10,001 matching lines; the best 9,999 are printed\nstatus 0|alpha "$tree/cap" | tail -n 2
the cap unseen under --top|$tree/cap/many.txt:1:alpha\nstatus 0|--top 1 alpha "$tree/cap"
-l sorts a file by the first of its tied best lines|$tree/tie/b.c\n$tree/tie/a.c\nstatus 0|-l --sort line tie "$tree/tie"
-l is not cut by the cap, on one scanner or two|$tree/cap/many.txt\n$tree/cap/weak.txt\nstatus 0\n$tree/cap/many.txt\n$tree/cap/weak.txt\nstatus 0|-j 1 -l alpha "$tree/cap"; run -j 2 -l alpha "$tree/cap"
sort by name keeps the rank|2${t}1\n1${t}2\nstatus 0|--format tsv --sort name --top 2 --exclude .txt "foo bar" "$src" | cut -f1,4
a foreign settings file left alone|tarvo-find: $tree/notes.txt exists but is not a Tarvo Search settings file; not touching it\nstatus 2\nmy notes|--settings "$tree/notes.txt" foo "$src/x.c"; cat "$tree/notes.txt"
settings read and written back|$src/x.c\n$src/x.c\n$src/x.c\nstatus 0\n${head}1000 $src/x.c\n500 /gone/file.c|--settings "$tree/settings.txt" --format tsv "foo bar" "$src" | cut -f3; cat "$tree/settings.txt"
remembered files outside the roots|$tree/projB/top.c\nstatus 0\n1000 $tree/projB/top.c\n500 $tree/projA/config.c\n400 $tree/projB/sub/deep.c|--settings "$tree/projects.txt" --no-recursive --format tsv secret "$tree/projB" | cut -f3; tail -n 3 "$tree/projects.txt"
a read-only settings file|tarvo-find: can't save settings $tree/read-only.txt: Permission denied\nstatus 2\n${head}500 /gone/file.c|--settings "$tree/read-only.txt" foo "$src/x.c" | tail -n 2; cat "$tree/read-only.txt"
CASES
# --files: what a search would read, in the walk's order; with --skip-ignored what Git lists as
# neither tracked nor ignored (global excludes and info/exclude too); --stats counts what is left out.
repo=$tree/repo && mkdir -p "$repo" && git -C "$repo" init -q
export HOME=$tree/home XDG_CONFIG_HOME=$tree/config
mkdir -p "$XDG_CONFIG_HOME/git" && printf '*.glob\n' >"$XDG_CONFIG_HOME/git/ignore"
printf '*.bak\n' >>"$repo/.git/info/exclude"
printf '*.o\r\nbuild/\n!keep.o\nlogs/*\n!logs/keep.log\n\\#hash\n/top.c\ndocs/**/gen\n*.tmp  \n' >"$repo/.gitignore"
mkdir -p "$repo"/{sub/deep,build,logs,docs/a/b/gen} && printf '*.c\n!main.c\n' >"$repo/sub/.gitignore"
for f in a.c a.o keep.o '#hash' top.c 'sp ace.c' x.tmp y.bak z.glob sub/top.c sub/main.c sub/deep/q.o \
    build/x.c build/keep.o logs/a.log logs/keep.log docs/gen docs/gen.txt docs/a/b/gen/x.txt; do
    printf 'x\n' >"$repo/$f"
done
listed() { "$find_bin" --files --null "$@" | tr '\0' '\n' | sed "s|^$repo/||" | sort; }
check "--files --skip-ignored lists what git does" "$(git -C "$repo" ls-files -z -o --exclude-standard | tr '\0' '\n' | sort)" \
    "$(listed --skip-ignored "$repo")"
check "--stats counts what the filters skip" "Files: 3   Lines: 3   Bytes: 6     18 files and folders skipped by filters" \
    "$("$find_bin" --stats --skip-ignored --include .c nothing-matches "$repo" 2>&1 | sed 's/.*Matches     //; s/   Time: [0-9:.]*//')"
check "--files lists a file once through roots one under the other" $'a.c\nsp ace.c\nsub/main.c\nsub/top.c\ntop.c' \
    "$(listed --include .c --skip-folders 'build;docs' "$repo/sub;$repo;$repo/sub/")"
check "--files with nothing to list" "status 1" "$("$find_bin" --files --include .none "$repo"; echo "status $?")"
unset HOME XDG_CONFIG_HOME

# On a terminal: the stored texts, control bytes shown, vimgrep's column from the whole line, tabs.
tty() {
    SHELL=/bin/bash script -qec "stty -onlcr; $(printf '%q ' "$find_bin" --no-file-names --color never "$@") 2>&1
        echo status \$?" /dev/null </dev/null
}
esc="$tree/fmt/esc"$'\e'"[2Jname.txt" && printf 'ring\a foo \x7f\n' >"$esc"
while IFS='|' read -r label expected args; do
    check "$label on a terminal" "$(printf "$expected")" "$(eval "tty $args")"
done <<CASES
vimgrep|$tree/fmt/long.c:3:202:…${long2:171}\nstatus 0|--format vimgrep foo "$tree/fmt/long.c" | grep -e :3: -e status
tsv|$tree/fmt/esc^[[2Jname.txt${t}1${t}ring^G foo ^?\nstatus 0|--format tsv foo "$esc" | cut -f3-
tabs|$tree/fmt/tabs.c:1:a   foo\nstatus 0|foo "$tree/fmt/tabs.c"
--tab-width|$tree/fmt/tabs.c:1:a       foo\nstatus 0|--tab-width 8 foo "$tree/fmt/tabs.c"
tab width from the settings|$tree/fmt/tabs.c:1:a foo\nstatus 0|--settings "$tree/tabs.txt" foo "$tree/fmt/tabs.c"
CASES

# Lost output is an error, whatever was printed; a closed pipe still ends it as the shell's 141.
for args in "foo $src" "-l foo $src" "--format jsonl foo $src" "--files $src" --help --version; do
    check "$args into a full disk" $'tarvo-find: write error: No space left on device\nstatus 2' \
        "$("$find_bin" $args 2>&1 >/dev/full; echo "status $?")"
    check "$args into a closed stdout" $'tarvo-find: write error: Bad file descriptor\nstatus 2' \
        "$("$find_bin" $args 2>&1 >&-; echo "status $?")"
done

# -j1 against -j4: the same output, counts and memory, over case twins (Tie, tie) and past the cap.
gen=$tree/gen && mkdir -p "$gen"/d{1..3}/e{0..2}
awk -v root="$gen" 'BEGIN { srand(11); n = split("foo bar Foo int x_bar BAR fooBar /* */ {", w, " ")
    for (f = 0; f < 90; f++) {
        path = root (f % 4 ? "/d" f % 4 "/e" f % 3 : "") "/" (f % 7 ? "f" f : "Tie") (f % 2 ? ".c" : ".txt")
        for (l = f % 30 == 5 ? 6000 : int(rand() * 300) + 1; l > 0; l--) {
            text = ""; for (k = int(rand() * 6); k > 0; k--) text = text w[int(rand() * n) + 1] " "
            print text > path
        } } }'
for t in "$gen"/Tie.* "$gen"/*/*/Tie.*; do cp "$t" "${t%/*}/tie.${t##*.}"; done
# More folders in flight than are held open, with files of the same name: each opened in its own.
for i in $(seq 1 70); do mkdir "$gen/d$((i % 3 + 1))/g$i" && echo "foo $i" >"$gen/d$((i % 3 + 1))/g$i/same.c"; done
for i in 1 2 3; do printf 'foo %s\n' "$i" | tee "$gen/d$i/a.c" "$gen/d$i/z.c" >/dev/null; done
printf 'foo bar\0x_bar\n' >"$gen/d1/e1/binary.c"
printf "$head"'700 %s\n500 %s\n' "$gen/d1/e1/f1.c" "$gen/d3/e1/Tie.c" >"$tree/j-memory.txt"
for args in '--stats --format tsv "foo bar"' '-l int' '--sort name --format tsv --top 50 foo' \
    '--search-binary --format jsonl --stats x_bar' '--settings "$tree/j-settings" --format tsv "foo bar"'; do
    for j in 1 4; do
        cp "$tree/j-memory.txt" "$tree/j-settings"
        eval "\"$find_bin\" -j $j $args \"$gen\"" >"$tree/j$j.out" 2>&1
        sed -i 's/   Time: .*//' "$tree/j$j.out" && cat "$tree/j-settings" >>"$tree/j$j.out"
    done
    check "-j1 and -j4 alike: $args" "$(cat "$tree/j1.out")" "$(cat "$tree/j4.out")"
done
check "the -j run hit the cap" 9999 "$("$find_bin" -j 4 --format tsv foo "$gen" | wc -l)"

# Under the least descriptor limit, a slow first file keeps folders open until opens fail; they
# are let go and tried again, so every -j lists every file. A tree too deep is said.
fds=$tree/fds && mkdir -p "$fds"/s{1..3}/s{1..3}/s{1..3}/s{1..3} && yes foo | head -n 300000 >"$tree/slow.c"
find "$fds" -type d -exec sh -c 'for d; do printf "x\nfoo\n" | tee "$d"/f1.c "$d"/f2.c "$d"/f3.c "$d"/f4.c; done >/dev/null' _ {} +
all=$("$find_bin" -j 1 -l foo "$tree/slow.c;$fds" 2>&1)
# The sanitizers' type check needs a descriptor (a pipe) to read memory: one scanner there.
scanner_counts="1 2 4 8"
[[ $find_bin == *-asan/* ]] && scanner_counts=1
for j in $scanner_counts; do
    check "-j$j under ulimit -n 16" "$all" \
        "$(ulimit -n 16 && "$find_bin" -j $j -l foo "$tree/slow.c;$fds" 2>&1 | grep -v 'than can help')"
done
mkdir -p "$tree/narrow$(printf '/a%.0s' $(seq 1 16))" && echo foo >"$tree/narrow/a/a/a/x.c"
check "a tree too deep for ulimit -n 16" \
    "$(printf 'Error: too many files open to list %s/a/…\n%s\nstatus 0' "$tree/narrow" "$tree/narrow/a/a/a/x.c")" \
    "$(ulimit -n 16 && "$find_bin" -j 1 -l foo "$tree/narrow" 2>&1 | sed 's|\(to list .*/narrow/a\)/.*|\1/…|'; echo "status ${PIPESTATUS[0]}")"
check "ulimit -n 15" $'tarvo-find: only 15 files may be open at once (ulimit -n); a search needs 16\nstatus 2' \
    "$(ulimit -n 15 && "$find_bin" foo "$fds" 2>&1; echo "status $?")"

# Ctrl+C while printing into a full pipe: the rest, the notice, status 130; a second one ends it.
mkdir "$tree/many" && seq 1 3000 | sed 's/.*/foo line & of many many words/' >"$tree/many/m.txt"
check "a closed pipe" 141 "$("$find_bin" foo "$tree/many" | head -c 1 >/dev/null; echo "${PIPESTATUS[0]}")"
pending() { grep -E '^(SigPnd|ShdPnd):' "/proc/$1/status" 2>/dev/null | grep -qv '0000000000000000$'; }
for presses in 1 2; do
    "$find_bin" --no-file-names foo "$tree/many" >"$tree/pipe" 2>"$tree/err" & pid=$!
    exec 3<"$tree/pipe"
    head -c 1 <&3 >/dev/null  # the search is over and printing has begun
    for _ in $(seq 1 "$presses"); do
        kill -INT "$pid"
        while pending "$pid"; do :; done  # handled before the next one
    done
    [ "$presses" = 1 ] && cat <&3 >/dev/null
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null; wait "$pid"; check "status after $presses Ctrl+C" 130 $?
    exec 3<&-
    check "notice after $presses Ctrl+C" "$([ "$presses" = 1 ] && echo "tarvo-find: interrupted")" \
        "$(cat "$tree/err")"
done

[ $failures -eq 0 ] && echo "all tarvo-find checks passed" || echo "$failures check(s) failed"
exit $((failures > 0))
