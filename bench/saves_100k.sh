#!/usr/bin/env bash
# Saves under a long, busy list: the real program (offscreen, private session
# bus, fresh XDG folders) with N finished tasks listed (100,000 by default)
# and one task retrying every second against a local port that refuses it,
# so the list changes state all the time and every tick saves. Then CALLS
# AddURL calls over D-Bus (5 by default), one after the other; each is
# answered once its task is on disk. Prints how long each call took to be
# answered, their median and the slowest.
# Usage: bench/saves_100k.sh [N [CALLS]]   (DROMO_BIN=... runs another build;
# MANY_TASKS_BIN=... writes the list with a bench-many-tasks built before)
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-100000}
calls=${2:-5}

if [ -z "${DROMO_SAVES_INSIDE:-}" ]; then
  targets=()
  [ -n "${DROMO_BIN:-}" ] || targets+=(dromo)
  [ -n "${MANY_TASKS_BIN:-}" ] || targets+=(bench-many-tasks)
  [ "${#targets[@]}" -eq 0 ] || scripts/build.sh "${targets[@]}" >/dev/null
  DROMO_SAVES_INSIDE=1 exec dbus-run-session -- "$0" "$n" "$calls"
fi

source bench/lib.sh
dromo=${DROMO_BIN:-$PWD/build/bin/dromo}
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
export QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
ini="$XDG_CONFIG_HOME/Tarnwick Software/Dromo.ini"
mkdir -p "$(dirname "$ini")"
# A port nobody listens on: the connection is refused at once.
dead=http://127.0.0.1:$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')

# N tasks written by the real store, then marked finished (state 8); a task
# added later retries every second, practically for ever, and holds the one
# worker, so the tasks added after it wait in the queue.
"${MANY_TASKS_BIN:-build/bin/bench-many-tasks}" save "$work/list.ini" "$n" >/dev/null
sed -e 's/^\(URL[0-9]*\\Status\)=.*/\1=8/' \
    -e 's/^Max%20Error%20Count=.*/Max%20Error%20Count=1000000/' \
    -e 's/^Interval%20between%20Retries=.*/Interval%20between%20Retries=1/' \
    -e 's/^Max%20Thread%20Number=.*/Max%20Thread%20Number=1/' \
    -e "s|^Save%20to=.*|Save%20to=$work/out/|" "$work/list.ini" > "$ini"
rm -f "$work/list.ini"

owned() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:DROMO.URLMonitor 2>/dev/null | grep -q 'boolean true'
}
add_url() {
  dbus-send --session --print-reply --reply-timeout=900000 --dest=DROMO.URLMonitor /URLMonitor \
    DROMO.URLMonitor.AddURL "string:$1" >/dev/null
}
ms_now() { date +%s%3N; }

"$dromo" & pid=$!
trap 'kill -TERM "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; bench_cleanup' EXIT
for _ in $(seq 3000); do owned && break; sleep 0.01; done
owned || { echo "no Dromo on the bus" >&2; exit 1; }

start=$(ms_now)
add_url "$dead/retrying.bin"
echo "first AddURL (the retrying task; the list loaded meanwhile): $(( $(ms_now) - start )) ms"
sleep 5  # a few retries and the saves they cause

: > "$work/took.txt"
for i in $(seq "$calls"); do
  start=$(ms_now)
  add_url "$dead/added-$i.bin"
  took=$(( $(ms_now) - start ))
  echo "AddURL $i: $took ms"
  echo "$took" >> "$work/took.txt"
done
grep -qF "retrying.bin" "$ini" || { echo "the retrying task is not in the saved list" >&2; exit 1; }
grep -qF "added-$calls.bin" "$ini" || { echo "the last added task is not in the saved list" >&2; exit 1; }
printf "AddURL with %d tasks listed and one retrying every second, %d calls: median %d ms, slowest %d ms" \
  "$n" "$calls" "$(median < "$work/took.txt" | cut -d. -f1)" "$(sort -n "$work/took.txt" | tail -1)"
printf " (target <= 1000 ms; dbus-send included)\n"
