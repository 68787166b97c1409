#!/usr/bin/env bash
# Many URLs at once, the real program on a private session bus (offscreen,
# fresh XDG folders) against aria2c -j12 and curl --parallel, nginx on the
# loopback; RUNS rounds of each (at least 5), medians and ratios:
#  - 500 files of 32 KB: from `dromo URL1 ... URL500` to all 500 files whole
#    on disk (Dromo with 12 workers, as aria2c -j12), against aria2c -j12 -i
#    LIST and curl --parallel over the same URLs;
#  - 2,000 URLs in one `dromo URL1 ... URL2000`: until it returns (each
#    caller hears success only once its task is on disk);
#  - 300 AddURL calls from 6 callers at once (gdbus): until all returned.
# The hand-overs name a port nobody listens on, so no transfer competes
# with them. Usage: bench/batch_vs_aria2.sh [RUNS]  (DROMO_BIN=... runs
# another build)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
[ "$runs" -ge 5 ] || runs=5

if [ -z "${DROMO_BATCH_INSIDE:-}" ]; then
  [ -n "${DROMO_BIN:-}" ] || scripts/build.sh dromo >/dev/null
  DROMO_BATCH_INSIDE=1 exec dbus-run-session -- "$0" "$runs"
fi

source bench/lib.sh
dromo=${DROMO_BIN:-$PWD/build/bin/dromo}
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
export QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
ini="$XDG_CONFIG_HOME/Tarnwick Software/Dromo.ini"
dead=http://127.0.0.1:$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')

owned() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:DROMO.URLMonitor 2>/dev/null | grep -q 'boolean true'
}
wait_owned() { for _ in $(seq 1000); do owned && return 0; sleep 0.01; done; echo "no Dromo on the bus" >&2; return 1; }
wait_gone() { for _ in $(seq 1000); do owned || return 0; sleep 0.01; done; return 1; }
start_dromo() {
  rm -rf "$(dirname "$ini")" "$work/out"
  mkdir -p "$(dirname "$ini")" "$work/out"
  printf '[Settings]\nSave%%20to=%s/\nMax%%20Thread%%20Number=12\n' "$work/out" > "$ini"
  "$dromo" & dromo_pid=$!
  wait_owned
}
stop_dromo() { kill -TERM "$dromo_pid" 2>/dev/null || true; wait "$dromo_pid" 2>/dev/null || true; wait_gone; }
now() { date +%s.%N; }
since() { awk -v s="$1" -v e="$(now)" 'BEGIN { printf "%.3f\n", e - s }'; }
whole_files() { find "$work/out" -maxdepth 1 -type f -size 32768c ! -name '*+++' | wc -l; }
wait_whole() {
  for _ in $(seq 6000); do [ "$(whole_files)" -ge "$1" ] && return 0; sleep 0.005; done
  echo "only $(whole_files) of $1 files arrived" >&2; return 1
}

for i in $(seq 500); do head -c 32768 /dev/urandom > "$work/www/s$i.bin"; done
start_nginx
small=()
for i in $(seq 500); do small+=("http://127.0.0.1:$port/s$i.bin"); done
printf '%s\n' "${small[@]}" > "$work/small.txt"
many=()
for i in $(seq 2000); do many+=("$dead/pub/h$i.bin"); done

: > "$work/d500.txt"; : > "$work/a500.txt"; : > "$work/c500.txt"; : > "$work/d2000.txt"; : > "$work/calls.txt"; : > "$work/floor.txt"
for r in $(seq "$runs"); do
  start_dromo
  t=$(now)
  "$dromo" "${small[@]}"
  wait_whole 500
  since "$t" >> "$work/d500.txt"
  stop_dromo

  rm -rf "$work/out"; mkdir -p "$work/out"
  t=$(now)
  aria2c -q -j12 -d "$work/out" -i "$work/small.txt" --allow-overwrite=true --auto-file-renaming=false \
    --file-allocation=none
  since "$t" >> "$work/a500.txt"
  [ "$(whole_files)" -eq 500 ] || { echo "aria2c left $(whole_files) files" >&2; exit 1; }

  rm -rf "$work/out"; mkdir -p "$work/out"
  t=$(now)
  (cd "$work/out" && curl -s --parallel --remote-name-all "${small[@]}" 2>/dev/null)
  since "$t" >> "$work/c500.txt"
  [ "$(whole_files)" -eq 500 ] || { echo "curl left $(whole_files) files" >&2; exit 1; }

  start_dromo
  t=$(now)
  "$dromo" "${many[@]}"
  since "$t" >> "$work/d2000.txt"
  [ "$(grep -c "^URL[0-9]*\\\\Target=$dead/pub/h" "$ini")" -eq 2000 ] || { echo "not all 2000 saved" >&2; exit 1; }
  stop_dromo

  start_dromo
  t=$(now)
  callers=()
  for c in $(seq 6); do
    (for i in $(seq 50); do
       gdbus call --session --dest DROMO.URLMonitor --object-path /URLMonitor \
         --method DROMO.URLMonitor.AddURL "$dead/calls/c$c-$i.bin" >/dev/null
     done) &
    callers+=($!)
  done
  wait "${callers[@]}"
  since "$t" >> "$work/calls.txt"
  stop_dromo

  # The floor of that row: the same 300 gdbus calls to the bus itself.
  t=$(now)
  callers=()
  for c in $(seq 6); do
    (for i in $(seq 50); do
       gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
         --method org.freedesktop.DBus.GetId >/dev/null
     done) &
    callers+=($!)
  done
  wait "${callers[@]}"
  since "$t" >> "$work/floor.txt"
done

d500=$(median < "$work/d500.txt"); a500=$(median < "$work/a500.txt"); c500=$(median < "$work/c500.txt")
d2000=$(median < "$work/d2000.txt"); calls=$(median < "$work/calls.txt"); floor=$(median < "$work/floor.txt")
awk -v d="$d500" -v a="$a500" -v c="$c500" -v h="$d2000" -v k="$calls" -v f="$floor" -v n="$runs" 'BEGIN {
  printf "Many URLs at once, nginx on the loopback, %d rounds (median):\n", n
  printf "  500 x 32 KB, hand-over to all on disk: Dromo (12 workers) %.3f s, aria2c -j12 %.3f s, curl --parallel %.3f s\n", d, a, c
  printf "    Dromo / aria2c %.2f (target <= 1), Dromo / curl %.2f\n", d / a, d / c
  printf "  dromo URL1 ... URL2000 until it returns  %.3f s  (target <= 1 s)\n", h
  printf "  300 AddURL from 6 gdbus callers at once  %.3f s  (target <= 3 s); the same 300 gdbus calls to the bus alone %.3f s\n", k, f }'
