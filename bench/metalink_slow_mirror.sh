#!/usr/bin/env bash
# A Metalink download with a mirror that trickles (a slowloris) beside fast
# ones, through dromo-fetch and aria2c: a .meta4 listing 3 mirrors of a
# 32 MiB file (nginx servers on 127.0.0.1 to 127.0.0.3 that cap each
# connection at 4 MiB/s) with its SHA-256, once as it is and once with a
# fourth mirror capped at 8 bytes a second after its first KiB (nginx sends
# a page, then waits minutes for the average to come down: without the
# end-game the idle time-out, 120 s, ended it), listed second so that it
# gets a share from the start. Each tool with
# its defaults (dromo-fetch --metalink, aria2c -M), in alternating runs
# (RUNS each, at least 3; medians): the time with the slow mirror against
# the time without it. A run is stopped after LIMIT seconds (default 300)
# and counts as LIMIT, marked ">". Every finished file is compared with the
# original after its run. Everything runs on 127.0.0.1.
# Usage: bench/metalink_slow_mirror.sh [RUNS] [LIMIT]; DROMO_FETCH=PATH
# measures another build of dromo-fetch.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
[ "$runs" -ge 3 ] || runs=3
limit=${2:-300}

scripts/install-deps.sh
if ! command -v aria2c >/dev/null; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  "${as_root[@]}" apt-get install -y -qq aria2 >/dev/null
fi
fetch=${DROMO_FETCH:-}
if [ -z "$fetch" ]; then
  scripts/build.sh dromo-fetch >/dev/null
  fetch=$PWD/build/bin/dromo-fetch
fi

source bench/lib.sh
mib=32
head -c $((mib * 1024 * 1024)) /dev/urandom > "$work/www/f.bin"
# The slow location lets its head and first KiB through at once, as a
# slowloris answers, then trickles.
start_nginx_servers 4 "limit_rate 4m; location /slow/ { alias $work/www/; limit_rate 8; limit_rate_after 1k; }"
# The document: the fast mirrors, and with `slow` the trickling one second.
meta4() {
  /usr/bin/python3 - "$work/www/f.bin" "$1" "${hosts[@]}" <<'PY'
import hashlib, sys
path, slow, hosts = sys.argv[1], sys.argv[2] == "slow", sys.argv[3:]
data = open(path, "rb").read()
urls = ["http://%s/f.bin" % h for h in hosts[:3]]
if slow:
    urls.insert(1, "http://%s/slow/f.bin" % hosts[3])
print('<?xml version="1.0" encoding="UTF-8"?>')
print('<metalink xmlns="urn:ietf:params:xml:ns:metalink">')
print(' <file name="f.bin">')
print('  <size>%d</size>' % len(data))
print('  <hash type="sha-256">%s</hash>' % hashlib.sha256(data).hexdigest())
for n, url in enumerate(urls, 1):
    print('  <url priority="%d">%s</url>' % (n, url))
print(' </file>')
print('</metalink>')
PY
}
meta4 fast > "$work/fast.meta4"
meta4 slow > "$work/slow.meta4"

# One run of a tool (its target file, then its command): "wall cpu", or
# "LIMIT cpu >" when it was stopped; a finished file must be the original.
run() {
  local file=$1 result
  shift
  result=$(timed timeout "$limit" "$@") || true
  if cmp -s "$file" "$work/www/f.bin"; then
    echo "$result"
  elif awk -v t="${result%% *}" -v l="$limit" 'BEGIN { exit !(t >= l - 1) }'; then
    echo "$limit ${result#* } >"
  else
    echo "$* wrote a different file" >&2
    exit 1
  fi
  rm -rf "$work/out" && mkdir -p "$work/out"
}

for f in dromo-fast dromo-slow aria-fast aria-slow; do : > "$work/$f.txt"; done
for i in $(seq "$runs"); do
  for kind in fast slow; do
    run "$work/out/d" "$fetch" --quiet --metalink "$work/$kind.meta4" "$work/out/d" >> "$work/dromo-$kind.txt"
    run "$work/out/f.bin" aria2c -q --file-allocation=none --allow-overwrite=true --auto-file-renaming=false \
      -d "$work/out" -M "$work/$kind.meta4" >> "$work/aria-$kind.txt"
  done
done

col() { cut -d' ' -f1 "$work/$1.txt" | median; }
stopped() { grep -q '>' "$work/$1.txt" && echo " (runs stopped at $limit s: >)" || true; }
echo "$mib MiB from 3 mirrors capped at 4 MiB/s a connection, with and without a 4th capped at 8 B/s;" \
  "$runs alternating runs each (median wall time):"
for tool in dromo aria; do
  name="dromo-fetch --metalink"
  [ "$tool" = aria ] && name="aria2c -M (its defaults)"
  awk -v f="$(col "$tool-fast")" -v s="$(col "$tool-slow")" -v n="$name" -v x="$(stopped "$tool-slow")" 'BEGIN {
    printf "  %-26s without %6.2f s  with the slow mirror %6.2f s  (%.2f times)%s\n", n, f, s, s / f, x }'
  echo "    each run with it: $(cut -d' ' -f1,3 "$work/$tool-slow.txt" | tr '\n' ' ')"
done
