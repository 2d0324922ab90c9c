#!/usr/bin/env bash
# tarvo-find against the tools a user would pick instead, on a real source
# tree: the Linux 6.1 tree from Debian's linux-source-6.1 (about 78,600
# files, 1.3 GB). Each pair of commands runs alternately, A B A B ..., on a
# warm page cache, then (as root) on a cold one; the script prints each
# side's median and the median of the per-pair ratios A / B, which cancels
# most of the drift of a shared machine. Both sides run first at their
# default thread counts (one per core), then on one thread each. Then the
# peak memory of tarvo-find on two generated files of many short lines, and
# last UTF-16 files against the same text in UTF-8. The rows of Skip Ignored
# Files and Only File Types search the tree made a Git work tree; the
# monorepo's rows search eight copies of the tree in one folder. The rows of
# term matching's worst cases come first: generated texts, one thread, in
# MB/s.
#
# Usage: bench/run.sh [--quick] [--filters] [--terms] [--mono] [--tree] [--cold]
#   --quick     drivers/net only (about 5,700 files, 124 MB), 21 pairs
#   --filters   the rows of Skip Ignored Files and Only File Types alone
#   --terms     the rows of term matching's worst cases alone
#   --mono      the monorepo's rows alone
#   --tree      the tree's warm rows alone: two terms and int against rg and the floor
#   --cold      the cold page cache's rows alone (as root)
#
# Environment: TARVO_BENCH_CACHE (default ~/.cache/tarvo-bench) holds the
# unpacked tree, outside the repository; TARVO_BENCH_PAIRS overrides the
# number of pairs (at least 9 are kept; the remembered-files row takes at
# least 21).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

quick=0
only=  # filters, terms, mono, tree or cold: those rows alone; empty for a whole run
for arg in "$@"; do
    case "$arg" in
        --quick) quick=1 ;;
        --filters | --terms | --mono | --tree | --cold)
            [ -z "$only" ] || { echo "--filters, --terms, --mono, --tree and --cold: one at a time" >&2; exit 2; }
            only=${arg#--} ;;
        *) echo "usage: bench/run.sh [--quick] [--filters] [--terms] [--mono] [--tree] [--cold]" >&2; exit 2 ;;
    esac
done

cache=${TARVO_BENCH_CACHE:-$HOME/.cache/tarvo-bench}
source_archive=/usr/src/linux-source-6.1.tar.xz
tree=$cache/linux-source-6.1
build=$repo/build/bench
work=$cache/run
# Rows run alone keep their scratch files apart, so they may run beside a
# whole run.
[ -n "$only" ] && work=$cache/run-$only
mkdir -p "$cache" "$work"

# ---------------------------------------------------------------------------
# What the benchmark needs: the tree, the peer, a compiler
# ---------------------------------------------------------------------------
. "$repo/scripts/install-missing.sh"
install_missing linux-source-6.1 ripgrep git cmake make g++ xz-utils time

if [ ! -f "$tree/.unpacked" ]; then
    echo "== unpacking $source_archive into $cache"
    rm -rf "$tree"
    tar -C "$cache" -xf "$source_archive"
    touch "$tree/.unpacked"
fi

# ---------------------------------------------------------------------------
# Release builds: tarvo-find without the test suites, and the floor
# ---------------------------------------------------------------------------
echo "== building (Release) in $build"
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARVO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target tarvo-find -j 2 >/dev/null
c++ -std=c++20 -O2 -Wall -Wextra -Werror -o "$build/floor" "$repo/bench/floor.cpp"
find_bin=$build/tarvo-find
floor_bin=$build/floor

if [ $quick = 1 ]; then
    root=$tree/drivers/net
    pairs=21
else
    root=$tree
    pairs=9
fi
pairs=${TARVO_BENCH_PAIRS:-$pairs}
[ "$pairs" -ge 9 ] || pairs=9

# ---------------------------------------------------------------------------
# A file memory of 100,000 remembered files
# ---------------------------------------------------------------------------
# Real paths, spelled as the walk spells them: first the searched root's own
# files, then the rest of the tree, then the tree's files again under a
# "/./" spelling (the same files to the disk, other files to the memory)
# until there are 100,000 rows. Priorities run 1 to 10, so the decay at the
# start of the run takes every one to 0: no remembered file is read ahead of
# the walk except one whose path holds a query term, and that one is then
# skipped by the walk. The run reads the same files as the run without a
# memory; what it adds is the memory's own cost: loading 100,000 rows,
# decaying and ordering them, one look-up per file met, and saving.
remembered=100000
settings_template=$work/memory-$quick.txt
# The settings before the memory's rows: the same for the file without rows.
settings_head() {
    printf 'Tarvo Search, version 1.0\n'
    printf -- '-2147483648 0 -2147483648 0\n'
    printf '\n\n.c;.cpp;.cxx;.h\n\n1 1 1 1 1 1 1\n\n'
}
empty_template=$work/memory-empty.txt
settings_head >"$empty_template"
if [ ! -f "$settings_template" ] && [ -z "$only" ]; then
    echo "== writing $remembered remembered files to $settings_template"
    # head closes the pipe early on purpose: no pipefail here.
    (
        set +o pipefail
        {
            settings_head
            {
                find "$root" -type f
                # Outside the root, a path holding a query term would be read
                # ahead of the walk: an extra file, not the memory's cost.
                {
                    find "$tree" -type f -not -path "$root/*"
                    find "$tree" -type f | sed "s|^$tree/|$tree/./|"
                } | grep -viE 'kmalloc|gfp_kernel'
            } | grep -v '/\.unpacked$' | head -n $remembered |
                awk '{ printf "%d %s\n", NR % 10 + 1, $0 }'
        } >"$settings_template.part"
    )
    mv "$settings_template.part" "$settings_template"
fi
settings=$work/memory-run.txt

# ---------------------------------------------------------------------------
# Alternating pairs
# ---------------------------------------------------------------------------
# The worst cases read generated texts, and the cold rows drop the cache.
if [ "$only" != terms ] && [ "$only" != cold ]; then
    echo "== warming the page cache"
    for _ in 1 2; do
        find "$tree" -type f -print0 | xargs -0 cat >/dev/null
    done
fi

now() { echo "${EPOCHREALTIME/[.,]/}"; }  # microseconds

# time_one OUTPUT COMMAND...: seconds, with stdout to a file (a peer may
# stop early when it sees its output going to /dev/null).
time_one() {
    local out=$1
    shift
    local start end
    start=$(now)
    "$@" >"$out" 2>/dev/null || true
    end=$(now)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f\n", (b - a) / 1e6 }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.4f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

summary=$work/summary.txt
: >"$summary"

# run_pair LABEL "A COMMAND" "B COMMAND" [PREPARE_A] [PREPARE_B]
run_pair() {
    local label=$1 a=$2 b=$3 prepare=${4:-true} prepare_b=${5:-true}
    local ta=() tb=() ratios=() i t1 t2
    echo "== $label ($pairs pairs)"
    echo "   A: $a"
    echo "   B: $b"
    for ((i = 0; i < pairs; i++)); do
        eval "$prepare"
        t1=$(eval "time_one $work/a.out $a")
        eval "$prepare_b"
        t2=$(eval "time_one $work/b.out $b")
        ta+=("$t1")
        tb+=("$t2")
        ratios+=("$(awk -v x="$t1" -v y="$t2" 'BEGIN { printf "%.4f", x / y }')")
        printf '   pair %2d: A %ss  B %ss  A/B %s\n' $((i + 1)) "$t1" "$t2" "${ratios[-1]}"
    done
    local ma mb mr
    ma=$(printf '%s\n' "${ta[@]}" | median)
    mb=$(printf '%s\n' "${tb[@]}" | median)
    mr=$(printf '%s\n' "${ratios[@]}" | median)
    printf '   median A %ss, median B %ss, median A/B %s\n' "$ma" "$mb" "$mr"
    printf '| %s | %s | %s | %s |\n' "$label" "$ma" "$mb" "$mr" >>"$summary"
    median_a=$ma  # for a row that turns it into a rate
}

# ---------------------------------------------------------------------------
# Term matching's worst cases, one thread
# ---------------------------------------------------------------------------
# Texts of 16 MiB, each with the query that makes it worst for matching and
# marking the terms: terms inside one another, terms of one letter, terms of
# a hundred bytes sharing their first 98, every letter case variant of a
# word, terms holding line feeds; text of one repeated byte, one line of
# 16 MiB, long lines and lines of one byte. Any query within the limits (100
# terms of 100 bytes) should run at 20 MB/s or more on one thread. The peer
# is grep -c -i -F -f with the same terms in the C locale (fixed strings,
# letter case ignored, lines counted); terms holding line feeds have none,
# so that row holds the 49 terms against the first alone. Each row prints
# tarvo-find's MB/s from its median, beside the load average: the machine
# may be shared.
terms_dir=$cache/terms
mkdir -p "$terms_dir"
terms_size=$((16 << 20))
# terms_text NAME: the repeated unit on standard input (byte for byte, its
# last line feed too), cut to terms_size bytes; prints the file's path.
terms_text() {
    local file=$terms_dir/$1.txt unit
    unit=$(cat; echo x)
    if [ ! -f "$file" ]; then
        (
            set +o pipefail  # head closes the pipe early on purpose
            UNIT=${unit%x} awk 'BEGIN { for (;;) printf "%s", ENVIRON["UNIT"] }' |
                head -c $terms_size >"$file.part"
        )
        mv "$file.part" "$file"
    fi
    echo "$file"
}
repeat() { awk -v s="$1" -v n="$2" 'BEGIN { for (i = 0; i < n; i++) printf "%s", s }'; }
# terms_pair LABEL FILE FIND_TEXT [ONE_TERM]: tarvo-find -j1 against grep
# with the terms, or with ONE_TERM against itself with that term alone; then
# the rate.
terms_pair() {
    local label=$1 file=$2 find_text=$3 one_term=${4:-} patterns peer peer_label
    if [ -z "$one_term" ]; then
        patterns=$terms_dir/$(basename "$file" .txt).patterns
        printf '%s\n' $find_text >"$patterns"
        peer="LC_ALL=C grep -c -i -F -f $(printf '%q' "$patterns") $(printf '%q' "$file")"
        peer_label="grep -c -i -F -f"
    else
        peer="$find_bin -j1 --format tsv --top 100 $(printf '%q' "$one_term") $(printf '%q' "$file")"
        peer_label="itself with $one_term alone"
    fi
    run_pair "$label, one thread: tarvo-find -j1 vs $peer_label" \
        "$find_bin -j1 --format tsv --top 100 $(printf '%q' "$find_text") $(printf '%q' "$file")" "$peer"
    local rate
    rate=$(awk -v b="$(stat -c %s "$file")" -v s="$median_a" 'BEGIN { printf "%.1f", b / 1048576 / s }')
    echo "   tarvo-find: $rate MB/s, load $(cut -d' ' -f1-3 /proc/loadavg)"
    printf '| %s: tarvo-find -j1, MB/s (load %s) | %s | | |\n' "$label" \
        "$(cut -d' ' -f1 /proc/loadavg)" "$rate" >>"$summary"
}
if [ "$only" = terms ] || { [ $quick = 0 ] && [ -z "$only" ]; }; then
    one_line=$(repeat a 4096 | terms_text one-line)
    long_lines=$(printf '%s\n' "$(repeat a 120)" | terms_text long-lines)
    short_lines=$(printf 'a\n' | terms_text short-lines)
    line_feeds=$(printf '\n\n' | terms_text line-feeds)
    # Line i of 99: i letters a, a b, then 99 - i letters a; term i is line i.
    shared_lines=$(awk 'BEGIN { for (i = 0; i < 99; i++) { for (j = 0; j < 100; j++) printf (j == i ? "b" : "a"); printf "\n" } }' |
        terms_text shared-lines)
    case_lines=$(printf 'AbCdEf abcdef ABCDEF\n' | terms_text case-lines)
    # Lines of one word whose substrings are the terms: all on every line.
    word_lines=$(printf 'abcdefghijklmno\n' | terms_text word-lines)
    nested=$(awk 'BEGIN { for (n = 1; n <= 100; n++) { for (j = 0; j < n; j++) printf "a"; printf " " } }')
    terms_pair "a aa ... a^100 over one line of a" "$one_line" "$nested"
    terms_pair "a aa ... a^100 over lines of 120 a" "$long_lines" "$nested"
    terms_pair "a x 100 over lines of one a" "$short_lines" "$(repeat 'a ' 100)"
    terms_pair "99 terms of 100 bytes sharing 98, over lines holding one each" "$shared_lines" \
        "$(awk 'BEGIN { for (i = 0; i < 99; i++) { for (j = 0; j < 100; j++) printf (j == i ? "b" : "a"); printf " " } }')"
    terms_pair "the 64 letter case variants of abcdef over lines of three" "$case_lines" \
        "$(awk 'BEGIN { w = "abcdef"; for (m = 0; m < 64; m++) { for (k = 0; k < 6; k++) { c = substr(w, k + 1, 1); printf (int(m / 2 ^ k) % 2 ? toupper(c) : c) } printf " " } }')"
    terms_pair "100 substrings of a 15-letter word over lines of it" "$word_lines" \
        "$(awk 'BEGIN { w = "abcdefghijklmno"; n = 0; for (len = 1; len <= 15 && n < 100; len++) for (i = 1; i + len - 1 <= 15 && n < 100; i++) { printf "%s ", substr(w, i, len); n++ } }')"
    terms_pair "\\n \\n\\n ... (49 line feeds) over line feeds" "$line_feeds" \
        "$(awk 'BEGIN { for (n = 1; n <= 49; n++) { for (j = 0; j < n; j++) printf "\\n"; printf " " } }')" \
        '\\n'
fi
[ "$only" = terms ] && { cat "$summary"; exit 0; }

# peak_rss LABEL PREPARE COMMAND: the peak resident set size of COMMAND (a
# string, as run_pair takes), from /usr/bin/time -v, the median of 3 runs,
# in MB; PREPARE runs before each.
peak_rss() {
    local label=$1 prepare=$2 command=$3 runs=() i kb
    echo "== $label"
    echo "   $command"
    for i in 1 2 3; do
        eval "$prepare"
        kb=$( { eval "/usr/bin/time -v $command" >"$work/a.out"; } 2>&1 |
            awk -F': ' '/Maximum resident set size/ { print $2 }')
        runs+=("$(awk -v k="$kb" 'BEGIN { printf "%.1f", k / 1024 }')")
        echo "   run $i: ${runs[-1]} MB"
    done
    printf '| %s | %s | | |\n' "$label" "$(printf '%s\n' "${runs[@]}" | median)" >>"$summary"
}

# ---------------------------------------------------------------------------
# A monorepo: the tree eight times over in one folder
# ---------------------------------------------------------------------------
# Eight hard-linked copies of the tree (of drivers/net with --quick) side by
# side: eight times the files and folders (628,632 files for the whole tree)
# over the same bytes in the page cache, so these rows measure what each file
# and folder costs, not reading. The settings file remembers every file at
# priority 1, which the decay at the start of the run takes to 0: the run
# reads the same files as a run without one, and what it adds is the
# memory's own cost at that size (loading, a look-up per file, saving).
mono_copies=8
mono=$cache/linux-mono
[ $quick = 1 ] && mono=$cache/linux-mono-quick
make_mono() {
    [ -f "$mono.ready" ] && return
    echo "== making $mono: $mono_copies hard-linked copies of $root"
    rm -rf "$mono" && mkdir -p "$mono"
    local i
    for ((i = 1; i <= mono_copies; i++)); do
        cp -al "$root" "$mono/linux-$i"
        rm -f "$mono/linux-$i/.unpacked"
    done
    touch "$mono.ready"
}
monorepo_rows() {
    make_mono
    find "$mono" >/dev/null  # its folders into the cache
    local rows=$work/memory-mono-$quick.txt run_file=$work/memory-mono-run.txt
    if [ ! -f "$rows" ]; then
        echo "== writing every file under $mono to $rows"
        { settings_head && find "$mono" -type f | awk '{ printf "1 %s\n", $0 }'; } >"$rows.part"
        mv "$rows.part" "$rows"
    fi
    local files mq two_terms_mono with_rows copy_rows
    files=$(($(wc -l <"$rows") - 8))  # settings_head writes 8 lines
    mq=$(printf '%q' "$mono")
    two_terms_mono="$find_bin --format tsv --top 100 'kmalloc GFP_KERNEL' $mq"
    with_rows="$find_bin --settings $(printf '%q' "$run_file") --format tsv --top 100 'kmalloc GFP_KERNEL' $mq"
    copy_rows="cp $(printf '%q' "$rows") $(printf '%q' "$run_file") && sync $(printf '%q' "$run_file")"
    echo "== monorepo $mono: $files files"
    run_pair "monorepo, 2 terms, default threads: tarvo-find vs rg -uu -i -n" \
        "$two_terms_mono" \
        "rg -uu -i -n -e kmalloc -e GFP_KERNEL $mq"
    run_pair "monorepo, file list: tarvo-find --files vs rg -uu --files" \
        "$find_bin --files $mq" \
        "rg -uu --files $mq"
    # As the remembered-files row above, at least 21 pairs.
    pairs=$((pairs > 21 ? pairs : 21)) run_pair \
        "monorepo, 2 terms, default threads: $files remembered files vs none" \
        "$with_rows" "$two_terms_mono" "$copy_rows"
    peak_rss "peak RSS (MB): monorepo, 2 terms, $files remembered files" "$copy_rows" "$with_rows"
    peak_rss "peak RSS (MB): monorepo, 2 terms, no settings file" true "$two_terms_mono"
}

print_summary() {
    echo
    echo "== summary: $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), root ${root#$cache/}, load $(cut -d' ' -f1-3 /proc/loadavg)"
    echo "| pair | median A (s, or MB) | median B (s) | median A/B |"
    echo "|---|---|---|---|"
    cat "$summary"
}
if [ "$only" = mono ]; then
    monorepo_rows
    print_summary
    exit 0
fi

q=$(printf '%q' "$root")
two_terms="$find_bin --format tsv --top 100 'kmalloc GFP_KERNEL' $q"
two_terms_j1="$find_bin -j1 --format tsv --top 100 'kmalloc GFP_KERNEL' $q"

# ---------------------------------------------------------------------------
# Cold page cache: the same query with nothing of the tree in memory
# ---------------------------------------------------------------------------
# Before every run the page cache is written back and dropped, which only
# root may do. Reading from the disk then dominates, and how many reads a
# program keeps in flight counts as much as its own work: each side runs on
# one thread, then at its default thread count. A whole run takes these rows
# after the warm ones, since they leave the tree's pages out of the cache.
drop_cache() { sync && echo 3 >/proc/sys/vm/drop_caches; }
cold_rows() {
    if ! (drop_cache) 2>/dev/null; then
        echo "== cold page cache: skipped (dropping the page cache needs root and a writable /proc/sys/vm/drop_caches)"
        return
    fi
    run_pair "cold, 2 terms, one thread: tarvo-find -j1 vs rg -j1 -uu -i -n" \
        "$two_terms_j1" \
        "rg -j1 -uu -i -n -e kmalloc -e GFP_KERNEL $q" drop_cache drop_cache
    run_pair "cold, 2 terms, default threads: tarvo-find vs rg -uu -i -n" \
        "$two_terms" \
        "rg -uu -i -n -e kmalloc -e GFP_KERNEL $q" drop_cache drop_cache
    run_pair "cold, 2 terms: tarvo-find vs the SSE2 floor" \
        "$two_terms" \
        "$floor_bin $q" drop_cache drop_cache
}
[ "$only" = cold ] && { cold_rows; print_summary; exit 0; }

# ---------------------------------------------------------------------------
# Skip Ignored Files: the tree made a Git work tree
# ---------------------------------------------------------------------------
# Two copies of the tree beside it, hard-linked so they cost no room and
# share its cached pages, each with an empty repository (git init): one
# keeps the tree's .gitignore files (306 of them) without the Debian
# packaging block at the end of the top one, which ignores everything at
# the top level; the other has none. The top .gitignore is replaced, not
# written into, so the tree's own copy stays as it was. The option on
# against off tells what the rules cost where they apply and where there
# are none; ripgrep at its defaults honours .gitignore files too.
work_tree() {  # work_tree DIR KEEP_RULES
    local dir=$1
    [ -f "$dir.ready" ] && return
    echo "== making $dir a Git work tree"
    rm -rf "$dir" && cp -al "$tree" "$dir" && rm -f "$dir/.unpacked"
    if [ "$2" = 1 ]; then
        local block
        block=$(grep -n '^# Debian packaging' "$dir/.gitignore" | cut -d: -f1)
        head -n $((block - 2)) "$tree/.gitignore" >"$dir/.gitignore.new"
        mv "$dir/.gitignore.new" "$dir/.gitignore"
    else
        find "$dir" -name .gitignore -delete
    fi
    git -C "$dir" init -q
    touch "$dir.ready"
}
filter_rows() {
    git_tree=$cache/linux-git
    bare_tree=$cache/linux-git-no-rules
    work_tree "$git_tree" 1
    work_tree "$bare_tree" 0
    find "$git_tree" "$bare_tree" >/dev/null  # their folders into the cache
    gq=$(printf '%q' "$git_tree${root#"$tree"}")
    bq=$(printf '%q' "$bare_tree${root#"$tree"}")
    echo "== files read under $git_tree${root#"$tree"}: $("$find_bin" --files "$git_tree${root#"$tree"}" | wc -l)," \
        "with --skip-ignored $("$find_bin" --files --skip-ignored "$git_tree${root#"$tree"}" | wc -l)," \
        "listed by git $(git -C "$git_tree${root#"$tree"}" ls-files -o --exclude-standard | wc -l)"
    run_pair "Git tree, 2 terms, one thread: --skip-ignored vs without" \
        "$find_bin -j1 --skip-ignored --format tsv --top 100 'kmalloc GFP_KERNEL' $gq" \
        "$find_bin -j1 --format tsv --top 100 'kmalloc GFP_KERNEL' $gq"
    run_pair "Git tree, 2 terms, default threads: --skip-ignored vs without" \
        "$find_bin --skip-ignored --format tsv --top 100 'kmalloc GFP_KERNEL' $gq" \
        "$find_bin --format tsv --top 100 'kmalloc GFP_KERNEL' $gq"
    run_pair "Git tree without .gitignore files, 2 terms, one thread: --skip-ignored vs without" \
        "$find_bin -j1 --skip-ignored --format tsv --top 100 'kmalloc GFP_KERNEL' $bq" \
        "$find_bin -j1 --format tsv --top 100 'kmalloc GFP_KERNEL' $bq"
    run_pair "Git tree, 2 terms, default threads: tarvo-find --skip-ignored vs rg -i -n (its defaults)" \
        "$find_bin --skip-ignored --format tsv --top 100 'kmalloc GFP_KERNEL' $gq" \
        "rg -i -n -e kmalloc -e GFP_KERNEL $gq"
    # ripgrep passes over links unless told to follow them: the 13 links to .h
    # files here are read by tarvo-find only.
    run_pair "Git tree, Only File Types .c;.h, default threads: tarvo-find --include vs rg -uu -i -n -g '*.[ch]'" \
        "$find_bin --include '.c;.h' --format tsv --top 100 'kmalloc GFP_KERNEL' $gq" \
        "rg -uu -i -n -g '*.[ch]' -e kmalloc -e GFP_KERNEL $gq"
}
[ "$only" = tree ] || filter_rows
[ "$only" = filters ] && { print_summary; exit 0; }

run_pair "2 terms, default threads: tarvo-find vs rg -uu -i -n" \
    "$two_terms" \
    "rg -uu -i -n -e kmalloc -e GFP_KERNEL $q"
run_pair "int, default threads: tarvo-find vs rg -uu -c -i" \
    "$find_bin --format tsv --top 100 int $q" \
    "rg -uu -c -i int $q"

run_pair "2 terms, one thread: tarvo-find -j1 vs rg -j1 -uu -i -n" \
    "$two_terms_j1" \
    "rg -j1 -uu -i -n -e kmalloc -e GFP_KERNEL $q"
run_pair "2 terms, one thread: tarvo-find -j1 vs the SSE2 floor" \
    "$two_terms_j1" \
    "$floor_bin $q"
run_pair "int, one thread: tarvo-find -j1 vs rg -j1 -uu -c -i" \
    "$find_bin -j1 --format tsv --top 100 int $q" \
    "rg -j1 -uu -c -i int $q"
[ "$only" = tree ] && { print_summary; exit 0; }
# The settings file is rewritten by every run (the memory is credited and
# saved), so each run starts from the same 100,000 rows; the copy is flushed
# first so that its write-back does not fall into the timed runs. The row
# looks for a difference of 2 %, about what single runs of one command vary
# by here, so it takes at least 21 pairs to bring its median within reach.
with_memory="$find_bin -j1 --settings $(printf '%q' "$settings") --format tsv --top 100 'kmalloc GFP_KERNEL' $q"
copy_memory="cp $(printf '%q' "$settings_template") $(printf '%q' "$settings") && sync $(printf '%q' "$settings")"
pairs=$((pairs > 21 ? pairs : 21)) run_pair "2 terms, one thread: 100,000 remembered files vs none" \
    "$with_memory" "$two_terms_j1" "$copy_memory"
# The same against a settings file without rows: a run that keeps a settings
# file at all saves it safely (written, flushed, renamed over the old one)
# whatever it remembers, so this row leaves out what every --settings run
# pays and shows what the remembered files themselves cost.
pairs=$((pairs > 21 ? pairs : 21)) run_pair "2 terms, one thread: 100,000 remembered files vs a settings file without rows" \
    "$with_memory" "$with_memory" "$copy_memory" \
    "cp $(printf '%q' "$empty_template") $(printf '%q' "$settings") && sync $(printf '%q' "$settings")"

monorepo_rows
cold_rows  # after every warm row: it leaves the tree's pages out of the cache

# ---------------------------------------------------------------------------
# Peak memory on files of many short lines, every line a candidate
# ---------------------------------------------------------------------------
# The scanner scores a line once it is out of the other terms' reach, so its
# memory should not grow with a file's lines or terms. Peak resident set
# size from /usr/bin/time -v, the median of 3 runs (MB), at default threads.
lines_dir=$cache/lines
mkdir -p "$lines_dir"
(
    set +o pipefail  # head closes the pipe early on purpose
    [ -f "$lines_dir/ab-e.txt" ] || yes 'ab e' | head -n 50000000 >"$lines_dir/ab-e.txt"
    [ -f "$lines_dir/letters.txt" ] ||
        yes 'a b c d e f g h i j k l m n o p q r s t u v w x y z' | head -n 5000000 >"$lines_dir/letters.txt"
)
peak_rss "peak RSS (MB): e over 50 M lines of \`ab e\`" true \
    "$find_bin --format tsv --top 100 e $(printf '%q' "$lines_dir/ab-e.txt")"
peak_rss "peak RSS (MB): the 26 letters over 5 M lines of \`a b c … z\`" true \
    "$find_bin --format tsv --top 100 'a b c d e f g h i j k l m n o p q r s t u v w x y z' $(printf '%q' "$lines_dir/letters.txt")"

# ---------------------------------------------------------------------------
# UTF-16 files: the same text as UTF-16 and as UTF-8
# ---------------------------------------------------------------------------
# A UTF-16 file is decoded as it is read, so it should cost about what its
# text does in UTF-8, whatever its size. LONG holds 10,000 lines of 2,950
# characters, each holding the term (59 MB as UTF-16), all printed whole into
# a file: each printed line is read again from the file. BIG is 100 MB of
# UTF-16, past the size a file was once decoded whole at, with the term on
# every 1,000th line: its time, and its peak memory, which should not grow
# with the file.
utf16_dir=$cache/utf16
mkdir -p "$utf16_dir"
utf16_pair() {  # utf16_pair NAME: NAME.utf8.txt written by the caller; NAME.utf16.txt from it
    [ -f "$utf16_dir/$1.utf16.txt" ] && return
    { printf '\xff\xfe' && iconv -f UTF-8 -t UTF-16LE "$utf16_dir/$1.utf8.txt"; } >"$utf16_dir/$1.part"
    mv "$utf16_dir/$1.part" "$utf16_dir/$1.utf16.txt"
}
[ -f "$utf16_dir/long.utf8.txt" ] || awk 'BEGIN { pad = sprintf("%2930s", ""); gsub(/ /, "x", pad)
    for (i = 1; i <= 10000; i++) printf "line %05d needle %s\n", i, pad }' >"$utf16_dir/long.utf8.txt"
utf16_pair long
[ -f "$utf16_dir/big.utf8.txt" ] || awk 'BEGIN { for (i = 1; i <= 1000000; i++)
    print (i % 1000 ? "filler words of a big file in UTF-16, read as text" : "the needle, once in a while") }' \
    >"$utf16_dir/big.utf8.txt"
utf16_pair big
run_pair "UTF-16, 10,000 long matching lines printed whole: 59 MB as UTF-16 vs as UTF-8" \
    "$find_bin needle $(printf '%q' "$utf16_dir/long.utf16.txt")" \
    "$find_bin needle $(printf '%q' "$utf16_dir/long.utf8.txt")"
run_pair "UTF-16, 100 MB, needle: as UTF-16 vs as UTF-8" \
    "$find_bin --format tsv --top 100 needle $(printf '%q' "$utf16_dir/big.utf16.txt")" \
    "$find_bin --format tsv --top 100 needle $(printf '%q' "$utf16_dir/big.utf8.txt")"
peak_rss "peak RSS (MB): needle in 100 MB of UTF-16" true \
    "$find_bin --format tsv --top 100 needle $(printf '%q' "$utf16_dir/big.utf16.txt")"

print_summary
