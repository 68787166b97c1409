#!/usr/bin/env bash
# Hand-overs and start-up under abuse, with the real program on a private
# session bus (offscreen, fresh XDG folders). RUNS rounds of each (default 20):
#  - kill -9 right after `dromo URL` returned 0, and after a delay; then a
#    restart: how many URLs are missing from the saved list;
#  - AddURL of refused URLs: the reply and how long it took;
#  - two `dromo URL` at once with none running, and a plain start followed
#    within 0-10 ms by `dromo URL`: how many URLs never arrived;
#  - SIGTERM 0-50 ms after the start: how many starts the signal killed
#    outright (before main runs this cannot be helped) instead of the
#    end-of-session path;
#  - bursts: kill -9 right after 6 callers at once (gdbus, 20 AddURL each)
#    all heard success, and right after `dromo URL1 ... URL200` returned 0;
#    then a restart: how many URLs are missing from the saved list.
# Usage: bench/handover_soak.sh [RUNS]   (DROMO_BIN=... runs another build)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}

if [ -z "${DROMO_SOAK_INSIDE:-}" ]; then
  scripts/build.sh dromo >/dev/null
  DROMO_SOAK_INSIDE=1 exec dbus-run-session -- "$0" "$runs"
fi

source bench/lib.sh
dromo=${DROMO_BIN:-$PWD/build/bin/dromo}  # another build to compare with
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
export QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
ini="$XDG_CONFIG_HOME/Tarnwick Software/Dromo.ini"
# A port nobody listens on: the tasks fail, wait to retry and stay listed.
dead=http://127.0.0.1:$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')

owned() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:DROMO.URLMonitor 2>/dev/null | grep -q 'boolean true'
}
wait_owned() { for _ in $(seq 500); do owned && return 0; sleep 0.01; done; echo "no Dromo on the bus" >&2; return 1; }
wait_gone() { for _ in $(seq 500); do owned || return 0; sleep 0.01; done; return 1; }
fresh_profile() {
  rm -f "$ini"
  mkdir -p "$(dirname "$ini")"
  printf '[Settings]\nSave%%20to=%s/\n' "$work/out" > "$ini"
}
saved() { grep -cF "$1" "$ini" 2>/dev/null || true; }
stop() { kill -TERM "$1" 2>/dev/null || true; wait "$1" 2>/dev/null || true; wait_gone; }
ms_now() { date +%s%3N; }

# 1. kill -9 after the caller heard success.
for delay in 0 0.3; do
  fresh_profile
  lost=0
  for i in $(seq "$runs"); do
    "$dromo" & pid=$!
    wait_owned
    "$dromo" "$dead/k$delay-$i.bin"
    sleep "$delay"
    kill -KILL "$pid"; wait "$pid" 2>/dev/null || true
    wait_gone
  done
  "$dromo" & pid=$!
  wait_owned
  stop "$pid"
  for i in $(seq "$runs"); do [ "$(saved "$dead/k$delay-$i.bin")" -ge 1 ] || lost=$((lost + 1)); done
  echo "kill -9 ${delay} s after dromo URL exited 0, $runs runs, restarted: $lost lost"
done

# 2. Refused URLs answer at once.
fresh_profile
"$dromo" & pid=$!
wait_owned
worst=0
for i in $(seq "$runs"); do
  for url in nonsense "" "ftp://127.0.0.1/dir/"; do
    start=$(ms_now)
    if dbus-send --session --print-reply --reply-timeout=30000 --dest=DROMO.URLMonitor /URLMonitor \
         DROMO.URLMonitor.AddURL "string:$url" >/dev/null 2>&1; then
      echo "AddURL '$url' was not refused" >&2; exit 1
    fi
    took=$(( $(ms_now) - start ))
    [ "$took" -gt "$worst" ] && worst=$took
  done
done
stop "$pid"
echo "AddURL of a refused URL, $((3 * runs)) calls: error reply, slowest ${worst} ms (dbus-send included)"

# 3. Starts racing each other.
missing=0
for i in $(seq "$runs"); do
  fresh_profile
  "$dromo" "$dead/a$i.bin" & p1=$!
  "$dromo" "$dead/b$i.bin" & p2=$!
  for _ in $(seq 1000); do kill -0 "$p1" 2>/dev/null && kill -0 "$p2" 2>/dev/null || break; sleep 0.01; done
  wait_owned
  for _ in $(seq 500); do [ "$(saved "$dead/a$i.bin")" -ge 1 ] && [ "$(saved "$dead/b$i.bin")" -ge 1 ] && break; sleep 0.01; done
  for u in a b; do [ "$(saved "$dead/$u$i.bin")" -ge 1 ] || missing=$((missing + 1)); done
  kill -TERM "$p1" "$p2" 2>/dev/null || true; wait "$p1" "$p2" 2>/dev/null || true; wait_gone
done
echo "two dromo URL at once with none running, $runs runs: $missing of $((2 * runs)) URLs missing"
missing=0
for i in $(seq "$runs"); do
  fresh_profile
  "$dromo" & p1=$!
  sleep "0.00$((i % 10))"
  "$dromo" "$dead/c$i.bin" & p2=$!
  wait_owned
  for _ in $(seq 500); do [ "$(saved "$dead/c$i.bin")" -ge 1 ] && break; sleep 0.01; done
  [ "$(saved "$dead/c$i.bin")" -ge 1 ] || missing=$((missing + 1))
  # Whichever lost the lock without URLs shows its box: it goes too.
  kill -TERM "$p1" "$p2" 2>/dev/null || true; sleep 0.2; kill -KILL "$p1" "$p2" 2>/dev/null || true
  wait "$p1" "$p2" 2>/dev/null || true; wait_gone
done
echo "dromo URL 0-9 ms after a plain start, $runs runs: $missing URLs missing"

# 4. SIGTERM while starting.
killed=0
clean=0
killed_at=""
for i in $(seq "$runs"); do
  fresh_profile
  at=$(( (i * 5 / 2) % 50 ))
  "$dromo" & pid=$!
  sleep "0.0$((at / 10))$((at % 10))"
  kill -TERM "$pid"
  status=0; wait "$pid" || status=$?
  if [ "$status" -eq 143 ]; then
    killed=$((killed + 1)); killed_at="$killed_at $at"
  elif [ "$status" -eq 0 ]; then
    clean=$((clean + 1))
  fi
  wait_gone || true
done
echo "SIGTERM 0-49 ms after the start, $runs runs: $clean ended through the end-of-session path," \
     "$killed killed by the signal (sent after:${killed_at:- none} ms)"

# 5. Bursts: many callers, one long command line; kill -9 once all heard.
lost_calls=0
lost_line=0
for i in $(seq "$runs"); do
  fresh_profile
  "$dromo" & pid=$!
  wait_owned
  callers=()
  for c in $(seq 6); do
    (for j in $(seq 20); do
       gdbus call --session --dest DROMO.URLMonitor --object-path /URLMonitor \
         --method DROMO.URLMonitor.AddURL "$dead/burst$i-$c-$j.bin" >/dev/null
     done) &
    callers+=($!)
  done
  wait "${callers[@]}"
  kill -KILL "$pid"; wait "$pid" 2>/dev/null || true
  wait_gone
  "$dromo" & pid=$!
  wait_owned
  line=()
  for j in $(seq 200); do line+=("$dead/line$i-$j.bin"); done
  "$dromo" "${line[@]}"
  kill -KILL "$pid"; wait "$pid" 2>/dev/null || true
  wait_gone
  for c in $(seq 6); do
    for j in $(seq 20); do [ "$(saved "$dead/burst$i-$c-$j.bin")" -ge 1 ] || lost_calls=$((lost_calls + 1)); done
  done
  for j in $(seq 200); do [ "$(saved "$dead/line$i-$j.bin")" -ge 1 ] || lost_line=$((lost_line + 1)); done
done
echo "kill -9 right after 6 callers x 20 AddURL all heard success, $runs runs: $lost_calls of $((120 * runs)) lost"
echo "kill -9 right after dromo URL1 ... URL200 exited 0, $runs runs: $lost_line of $((200 * runs)) lost"
