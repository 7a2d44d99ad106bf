#!/usr/bin/env bash
# Medians of bench_load's modes, each run a process of its own, the builds run
# in turn so that they share the machine's load, the floor in the same runs.
# Usage: bench/load.sh [RUNS] BUILD_DIR...      (Release builds; default build-rel)
#   BENCH_ENCODINGS   encodings of the 76 MB file (default "ascii utf8 cp1252")
#   BENCH_MODES       modes (default "floor editor plaintext save keys")
#   BENCH_LONG_LINE   set to 1 to add a 5,000,000-character line (longline)
#   BENCH_GIGABYTE    set to 1 to add a 1 GB file (floor, editor)
set -euo pipefail
# shellcheck source=bench/arguments.sh
. "$(dirname "$0")/arguments.sh" "$@"
encodings=${BENCH_ENCODINGS:-ascii utf8 cp1252}
modes=${BENCH_MODES:-floor editor plaintext save keys}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
maker="${builds[0]}/bench/bench_load"

# Runs "mode file" for every build, runs times in turn; prints the median of
# every column of each build's output.
measure() {
    local label=$1 mode=$2 file=$3
    for _ in $(seq "$runs"); do
        for i in "${!builds[@]}"; do
            "${builds[$i]}/bench/bench_load" "$mode" "$file" 2>/dev/null >>"$work/$i.out" || echo "failed" >>"$work/$i.out"
        done
    done
    for i in "${!builds[@]}"; do
        awk -v label="$label" -v build="${builds[$i]}" '
            $1 == "failed" { failed++; next }
            { rows++; for (c = 2; c <= NF; c++) v[c, rows] = $c; columns = NF }
            END {
                line = sprintf("%-30s %-22s", label, build)
                for (c = 2; c <= columns; c++) {
                    n = 0
                    for (r = 1; r <= rows; r++) s[++n] = v[c, r]
                    for (a = 1; a <= n; a++) for (b = a + 1; b <= n; b++) if (s[b] < s[a]) { t = s[a]; s[a] = s[b]; s[b] = t }
                    line = line sprintf(" %s", s[int((n + 1) / 2)])
                }
                if (failed) line = line sprintf(" (%d failed)", failed)
                print line
            }' "$work/$i.out"
        rm -f "$work/$i.out"
    done
}

echo "medians of $runs runs: seconds, peak MB, then the mode's own seconds (keys: Ctrl+End, Up, a typed"
echo "character; longline: End, then % of a core while the caret blinks)"
for encoding in $encodings; do
    "$maker" make "$work/big.out" "$encoding"
    for mode in $modes; do
        measure "$encoding $mode" "$mode" "$work/big.out"
    done
done
if [ "${BENCH_LONG_LINE:-0}" = 1 ]; then
    "$maker" makeline "$work/line.out"
    measure "long line floor" floor "$work/line.out"
    measure "long line" longline "$work/line.out"
fi
if [ "${BENCH_GIGABYTE:-0}" = 1 ]; then
    rm -f "$work/big.out"
    "$maker" make "$work/giga.out" ascii 1000
    measure "1 GB floor" floor "$work/giga.out"
    measure "1 GB editor" editor "$work/giga.out"
fi
