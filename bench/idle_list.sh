#!/usr/bin/env bash
# Idle with a long list: the real program (offscreen, private session bus,
# fresh XDG folders) with N finished tasks listed (10,000 by default) and
# nothing running. After it settled, for 30 s: its CPU share (user + system
# time over wall time) and the wake-ups per second of the window's thread
# (its context switches). 3 rounds, medians. N=0 gives the floor.
# Usage: bench/idle_list.sh [N]   (DROMO_BIN=... runs another build)
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-10000}

if [ -z "${DROMO_IDLE_INSIDE:-}" ]; then
  [ -n "${DROMO_BIN:-}" ] || scripts/build.sh dromo bench-many-tasks >/dev/null
  DROMO_IDLE_INSIDE=1 exec dbus-run-session -- "$0" "$n"
fi

source bench/lib.sh
dromo=${DROMO_BIN:-$PWD/build/bin/dromo}
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
export QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
ini="$XDG_CONFIG_HOME/Tarnwick Software/Dromo.ini"
mkdir -p "$(dirname "$ini")"
# N tasks written by the real store, then marked finished (state 8).
build/bin/bench-many-tasks save "$work/list.ini" "$n" >/dev/null
sed -e 's/^\(URL[0-9]*\\Status\)=.*/\1=8/' "$work/list.ini" > "$ini"

# CPU time in nanoseconds over every thread (the scheduler's own count: the
# clock ticks of /proc/PID/stat are too coarse for a share this small).
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f\n", s }'; }
switches() { awk '/^(voluntary|nonvoluntary)_ctxt_switches/ { s += $2 } END { print s }' "/proc/$1/task/$1/status"; }
: > "$work/cpu.txt"
: > "$work/wake.txt"
for r in 1 2 3; do
  "$dromo" & pid=$!
  sleep 10  # loaded, listed, the first auto-save done
  c0=$(cpu_ns "$pid"); w0=$(switches "$pid")
  sleep 30
  c1=$(cpu_ns "$pid"); w1=$(switches "$pid")
  kill -TERM "$pid"; wait "$pid" 2>/dev/null || true
  awk -v a="$c0" -v b="$c1" 'BEGIN { printf "%.3f\n", (b - a) / 1e9 / 30 * 100 }' >> "$work/cpu.txt"
  awk -v a="$w0" -v b="$w1" 'BEGIN { printf "%.1f\n", (b - a) / 30 }' >> "$work/wake.txt"
done
printf "Idle, %d finished tasks listed, 3 rounds of 30 s (median): %.3f %% CPU (target <= 0.1 %%), %.1f wake-ups/s of the window's thread\n" \
  "$n" "$(median < "$work/cpu.txt")" "$(median < "$work/wake.txt")"
