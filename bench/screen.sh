#!/usr/bin/env bash
# Times Ostrel as a user sees it, from outside the process, on a virtual
# display: the program started with a 76 MB output file until its text is on
# the screen, and Ctrl+End in that file until the screen settles. Several
# builds are run in turn, so that their figures share the machine's load.
#
# Usage: bench/screen.sh [RUNS] BUILD_DIR...   (Release builds; default build-rel)
#
# How "on the screen" is told from outside: the screen is captured with xwd
# over and over, each capture's checksum noted with the time it was taken. A
# run ends once the program's window is mapped, the screen has changed and
# then nothing has changed for 1.5 s but the blinking caret; the screen's
# states in that last stretch (text with and without the caret) are the
# settled ones, and the time reported is when the first capture showing one of
# them had been taken. So a figure is at most one capture late, and the
# capture interval is printed with it.
set -euo pipefail
# shellcheck source=bench/arguments.sh
. "$(dirname "$0")/arguments.sh" "$@"
for tool in Xvfb xwd xdotool md5sum; do
    command -v "$tool" >/dev/null || { echo "screen.sh needs $tool (scripts/install-deps)" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

export DISPLAY=:$((200 + $$ % 300))
Xvfb "$DISPLAY" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
export QT_QPA_PLATFORM=xcb
# The user's Qt settings would bring back the windows of the user's last
# session, and the user's running Ostrel would take the file.
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Each build's program runs from a folder of its own: that folder is its home,
# with a settings file that places the windows and names an engine that exists.
"${builds[0]}/bench/bench_load" make "$work/big.out" ascii 2>/dev/null
for i in "${!builds[@]}"; do
    mkdir -p "$work/$i"
    cp "${builds[$i]}/ostrel" "$work/$i/ostrel"
    cat >"$work/$i/ostrel.ini.start" <<EOF
[Main Window Size]
0 0 800 600
[Command Window Size]
0 0 790 150
[Output Window Size]
0 150 790 400
[Explorer Window Size]
600 0 150 500
[Quelm Files]
/bin/true
$work/none.hlp
[Working Directory]
$work
[Command File Extension]
.cf
[Ouptut File Extension]
.out
[Screen Font]
10 Courier New
[Print Font]
10 Courier New
[Command History]
[Output History]
EOF
    sed -i 's/$/\r/' "$work/$i/ostrel.ini.start"
done

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Captures the screen until it has settled with the program's window shown
# (at most limit seconds) and prints the milliseconds from start to the first
# capture of a settled state, and the median capture interval.
watch_screen() {
    local start=$1 limit=$2 pid=$3 log=$work/captures
    : >"$log"
    local deadline=$((start + limit * 1000000000))
    while :; do
        local hash taken
        hash=$(xwd -root -silent | md5sum | cut -c1-32)
        taken=$(now)
        echo "$taken $hash" >>"$log"
        [ "$taken" -lt "$deadline" ] || break
        xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1 || continue
        # Settled: the screen has changed since the start, and the last 1.5 s
        # show at most two states (the caret's blink).
        awk -v t="$taken" -v start="$start" '
            { time[NR] = $1; hash[NR] = $2 }
            END {
                if (t - start < 2e9) exit 1
                for (i = 1; i <= NR; i++) if (time[i] >= t - 1.5e9) { seen[hash[i]] = 1 }
                n = 0; for (h in seen) n++
                exit n <= 2 && !(hash[1] in seen) ? 0 : 1
            }' "$log" && break
    done
    local first gap
    first=$(awk -v start="$start" '
        { time[NR] = $1; hash[NR] = $2 }
        END {
            last = time[NR]
            for (i = 1; i <= NR; i++) if (time[i] >= last - 1.5e9) settled[hash[i]] = 1
            for (i = 1; i <= NR; i++) if (hash[i] in settled) { printf "%.0f\n", (time[i] - start) / 1e6; exit }
        }' "$log")
    gap=$(awk 'NR > 1 { printf "%.0f\n", ($1 - previous) / 1e6 } { previous = $1 }' "$log" | median)
    echo "$first $gap"
}

for run in $(seq "$runs"); do
    for i in "${!builds[@]}"; do
        cp "$work/$i/ostrel.ini.start" "$work/$i/ostrel.ini"
        start=$(now)
        "$work/$i/ostrel" "$work/big.out" >/dev/null 2>&1 &
        pid=$!
        read -r open gap < <(watch_screen "$start" 20 "$pid")
        window=$(xdotool search --onlyvisible --pid "$pid" | head -1)
        xdotool windowfocus --sync "$window"
        sleep 1
        start=$(now)
        xdotool key --window "$window" ctrl+End
        read -r key keygap < <(watch_screen "$start" 10 "$pid")
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        echo "$open $gap $key $keygap" >>"$work/results.$i"
    done
done

for i in "${!builds[@]}"; do
    printf '%s: 76 MB file opened until shown: median %s ms; Ctrl+End until settled: median %s ms (captures every %s ms)\n' \
        "${builds[$i]}" "$(cut -d' ' -f1 "$work/results.$i" | median)" "$(cut -d' ' -f3 "$work/results.$i" | median)" \
        "$(cut -d' ' -f2 "$work/results.$i" | median)"
done
