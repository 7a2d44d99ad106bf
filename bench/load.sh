#!/usr/bin/env bash
# Medians of five runs of bench_load's modes on one 76 MB file per encoding.
# Usage: bench/load.sh [BUILD_DIR] [ENCODING...]
#   (a Release build, default build-release; encodings ascii utf8 cp1252)
set -euo pipefail
build=${1:-build-release}
shift || true
encodings=${*:-ascii utf8 cp1252}
bin="$build/bench/bench_load"
file=$(mktemp --suffix=.out)
trap 'rm -f "$file" "$file.saved"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for encoding in $encodings; do
    "$bin" make "$file" "$encoding"
    for mode in read editor plaintext save; do
        runs=$(for _ in 1 2 3 4 5; do "$bin" "$mode" "$file" 2>/dev/null; done)
        seconds=$(echo "$runs" | awk '{print $2}' | sort -n | sed -n 3p)
        megabytes=$(echo "$runs" | awk '{print $3}' | sort -n | sed -n 3p)
        printf '%-7s %-10s median %s s, peak memory median %s MB\n' "$encoding" "$mode" "$seconds" "$megabytes"
    done
done
