#!/bin/bash
# Measures the walk against find and the copy against cp on generated trees, in one run, on a
# warm cache, and prints the ratios. See bench/README.md.
#
#   bench/run.sh [BUILD_DIR]      BUILD_DIR holds bin/bench_walk and bin/bench_copy (default: build)
set -euo pipefail

BIN="${1:-build}/bin"
for program in bench_walk bench_copy bench_selection; do
    [ -x "$BIN/$program" ] || { echo "missing $BIN/$program: build the bench targets first" >&2; exit 2; }
done

REPEATS=5
DAY=2021-06-15
NEXT_DAY=2021-06-16
WORK=$(mktemp -d /tmp/tarsel-bench.XXXXXX)
trap 'rm -rf "$WORK"' EXIT

now() { date +%s%N; }
seconds_since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.6f", (b - a) / 1e9 }'; }
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 < a + 0) ? b : a }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# --- Walk: 200 000 files in 20 000 folders, 1 % written on DAY -------------------------------
SRC="$WORK/walk"
echo "generating the walk tree in $SRC ..."
awk 'BEGIN { for (t = 0; t < 200; t++) { printf "d%03d\n", t;
                                           for (s = 0; s < 99; s++) printf "d%03d/s%02d\n", t, s } }' \
    > "$WORK/folders.txt"
awk 'BEGIN { for (i = 0; i < 10; i++) printf "f%d.txt\n", i }' > "$WORK/names.txt"
mkdir "$SRC"
(cd "$SRC" && xargs mkdir -p < "$WORK/folders.txt")
awk 'NR == FNR { name[n++] = $0; next } { for (i = 0; i < n; i++) print $0 "/" name[i] }' \
    "$WORK/names.txt" "$WORK/folders.txt" > "$WORK/files.txt"
(cd "$SRC" && xargs touch < "$WORK/files.txt")
(cd "$SRC" && awk 'NR % 100 == 0' "$WORK/files.txt" | xargs touch -d "$DAY 12:00:00")
echo "$(wc -l < "$WORK/folders.txt") folders, $(wc -l < "$WORK/files.txt") files"

find_walk() { find "$SRC" -type f -newermt "$DAY" ! -newermt "$NEXT_DAY"; }
# The selection of the main window itself (panels, lists, grid, log), same tree, same day.
window_walk() { "$BIN/bench_selection" "$SRC" "$DAY" 2> /dev/null | cut -d' ' -f2; }
# Warm the cache and check that both see the same files.
found=$(find_walk | wc -l)
walked=$("$BIN/bench_walk" "$SRC" "$DAY" | cut -d' ' -f1)
echo "selected: find $found, bench_walk $walked"
[ "$found" = "$walked" ] || { echo "the counts differ" >&2; exit 1; }

best_find=""
best_walk=""
best_walk_inside=""
for _ in $(seq "$REPEATS"); do
    start=$(now)
    find_walk > /dev/null
    best_find=$(min "$best_find" "$(seconds_since "$start")")
    start=$(now)
    inside=$("$BIN/bench_walk" "$SRC" "$DAY" | cut -d' ' -f2)
    best_walk=$(min "$best_walk" "$(seconds_since "$start")")
    best_walk_inside=$(min "$best_walk_inside" "$inside")
done
echo "walk: find ${best_find}s, bench_walk ${best_walk}s with its start-up" \
     "(ScanFolder alone ${best_walk_inside}s), best of $REPEATS"
echo "WALK RATIO $(ratio "$best_walk" "$best_find") (target <= 1.25)," \
     "ScanFolder alone $(ratio "$best_walk_inside" "$best_find")"
best_window=""
for _ in $(seq "$REPEATS"); do
    best_window=$(min "$best_window" "$(window_walk)")
done
echo "WINDOW WALK RATIO $(ratio "$best_window" "$best_find") (the window's selection ${best_window}s)"
rm -rf "$SRC"

# --- Copy: 20 000 files of 16 KiB in 200 folders -------------------------------------------
CSRC="$WORK/copy"
echo "generating the copy tree in $CSRC ..."
for d in $(seq 0 199); do
    folder=$(printf '%s/d%03d' "$CSRC" "$d")
    mkdir -p "$folder"
    head -c $((100 * 16384)) /dev/urandom | split -b 16384 -a 2 -d - "$folder/f"
done
echo "$(find "$CSRC" -type f | wc -l) files"
cat "$CSRC"/*/* > /dev/null

best_cp=""
best_copy=""
best_copy_inside=""
for _ in $(seq "$REPEATS"); do
    rm -rf "$WORK/cp-target" "$WORK/tarsel-target"
    sync
    start=$(now)
    cp -r --preserve=timestamps "$CSRC" "$WORK/cp-target"
    best_cp=$(min "$best_cp" "$(seconds_since "$start")")
    sync
    start=$(now)
    inside=$("$BIN/bench_copy" "$CSRC" "$WORK/tarsel-target" | cut -d' ' -f2)
    best_copy=$(min "$best_copy" "$(seconds_since "$start")")
    best_copy_inside=$(min "$best_copy_inside" "$inside")
done
diff -r "$CSRC" "$WORK/tarsel-target" > /dev/null || { echo "the copy differs" >&2; exit 1; }
echo "copy: cp ${best_cp}s, RunCopy ${best_copy_inside}s (bench_copy with its walk and start-up" \
     "${best_copy}s), best of $REPEATS"
echo "COPY RATIO $(ratio "$best_copy_inside" "$best_cp") (target <= 1.3)," \
     "with the walk and start-up $(ratio "$best_copy" "$best_cp")"

rm -rf "$CSRC" "$WORK/cp-target" "$WORK/tarsel-target"

# --- A million selected files: 1 000 000 files in 10 000 folders, all written on DAY ----------
BIG="$WORK/million"
echo "generating a million files in $BIG ..."
awk 'BEGIN { for (t = 0; t < 100; t++) for (s = 0; s < 100; s++)
                 printf "dossier_%03d/sous_dossier_%03d\n", t, s }' > "$WORK/big-folders.txt"
mkdir "$BIG"
(cd "$BIG" && xargs mkdir -p < "$WORK/big-folders.txt")
# Files of one folder were written in 100 different seconds of the day.
for i in $(seq 0 99); do
    sec=$(printf '%02d' $((i % 60)))
    min=$(printf '%02d' $((i / 60)))
    (cd "$BIG" && awk -v i="$i" '{ print $0 "/fichier_numero_" i ".txt" }' "$WORK/big-folders.txt" \
        | xargs touch -d "$DAY 12:$min:$sec")
done
big_found=$(find "$BIG" -type f -newermt "$DAY" ! -newermt "$NEXT_DAY" | wc -l)
start=$(now)
find "$BIG" -type f -newermt "$DAY" ! -newermt "$NEXT_DAY" > /dev/null
big_find=$(seconds_since "$start")
read -r rows walk per_row clear again scroll < <("$BIN/bench_selection" "$BIG" "$DAY" 2> /dev/null)
echo "million: find ${big_find}s for $big_found files; the window selected $rows rows in ${walk}s," \
     "a second selection ${again}s, \"Tout Effacer\" ${clear}s, 50 jumps through the grid ${scroll}s"
echo "MILLION WALK RATIO $(ratio "$walk" "$big_find"), second selection $(ratio "$again" "$big_find")"
echo "MEMORY PER ROW $per_row bytes (target <= 400)"
