#!/usr/bin/env bash
# One Metalink file through dromo-fetch and aria2c: a .meta4 listing 4
# mirrors of a 64 MiB file (nginx servers on 127.0.0.1 to 127.0.0.4, other
# hosts as mirrors are, that cap each connection at 4 MiB/s), with its SHA-256 and the SHA-256 of each 1 MiB piece.
# Each tool with its defaults (dromo-fetch --metalink, aria2c -M) and with
# 8 connections (dromo-fetch --connections 8, aria2c -x8 -s8 -k1M: without
# -k aria2c splits no file below 40 MiB, and Dromo's pieces are 1 MiB), in
# alternating runs (RUNS each, at least 5; medians): throughput and CPU time
# (user + sys) against aria2c's. Every file is compared with the original
# after its run. Everything runs on 127.0.0.1.
# Usage: bench/metalink_vs_aria2.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
[ "$runs" -ge 5 ] || runs=5

scripts/install-deps.sh
if ! command -v aria2c >/dev/null; then
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  "${as_root[@]}" apt-get install -y -qq aria2 >/dev/null
fi
scripts/build.sh dromo-fetch >/dev/null
fetch=$PWD/build/bin/dromo-fetch

source bench/lib.sh
mib=64
mirrors=4
head -c $((mib * 1024 * 1024)) /dev/urandom > "$work/www/f.bin"
start_nginx_servers "$mirrors" "limit_rate 4m;"
/usr/bin/python3 - "$work/www/f.bin" "${hosts[@]}" > "$work/f.meta4" <<'PY'
import hashlib, sys
path, hosts = sys.argv[1], sys.argv[2:]
data = open(path, "rb").read()
piece = 1024 * 1024
print('<?xml version="1.0" encoding="UTF-8"?>')
print('<metalink xmlns="urn:ietf:params:xml:ns:metalink">')
print(' <file name="f.bin">')
print('  <size>%d</size>' % len(data))
print('  <hash type="sha-256">%s</hash>' % hashlib.sha256(data).hexdigest())
print('  <pieces length="%d" type="sha-256">' % piece)
for at in range(0, len(data), piece):
    print('   <hash>%s</hash>' % hashlib.sha256(data[at:at + piece]).hexdigest())
print('  </pieces>')
for n, host in enumerate(hosts, 1):
    print('  <url priority="%d">http://%s/f.bin</url>' % (n, host))
print(' </file>')
print('</metalink>')
PY

check() {
  cmp -s "$1" "$work/www/f.bin" || { echo "$2 wrote a different file" >&2; exit 1; }
  rm -rf "$work/out" && mkdir -p "$work/out"
}
aria() {
  timed aria2c -q --file-allocation=none --allow-overwrite=true --auto-file-renaming=false -d "$work/out" "$@" \
    -M "$work/f.meta4"
}

for f in dromo1 aria1 dromo8 aria8; do : > "$work/$f.txt"; done
for i in $(seq "$runs"); do
  timed "$fetch" --quiet --metalink "$work/f.meta4" "$work/out/d" >> "$work/dromo1.txt"
  check "$work/out/d" "dromo-fetch"
  aria >> "$work/aria1.txt"
  check "$work/out/f.bin" "aria2c"
  timed "$fetch" --quiet --connections 8 --metalink "$work/f.meta4" "$work/out/d" >> "$work/dromo8.txt"
  check "$work/out/d" "dromo-fetch --connections 8"
  aria -x8 -s8 -k1M >> "$work/aria8.txt"
  check "$work/out/f.bin" "aria2c -x8 -s8 -k1M"
done

col() { cut -d' ' -f"$2" "$work/$1.txt" | median; }
echo "$mib MiB from $mirrors mirrors, each connection capped at 4 MiB/s, with piece hashes;" \
  "$runs alternating runs each (median):"
for n in 1 8; do
  dw=$(col "dromo$n" 1); dc=$(col "dromo$n" 2); aw=$(col "aria$n" 1); ac=$(col "aria$n" 2)
  if [ "$n" = 1 ]; then
    dname="dromo-fetch --metalink"; aname="aria2c -M (its defaults)"
  else
    dname="dromo-fetch --connections 8"; aname="aria2c -x8 -s8 -k1M"
  fi
  awk -v dw="$dw" -v dc="$dc" -v aw="$aw" -v ac="$ac" -v m="$mib" -v dn="$dname" -v an="$aname" 'BEGIN {
    printf "  %-28s %6.2f s  %6.2f MiB/s  cpu %.3f s\n", dn, dw, m / dw, dc
    printf "  %-28s %6.2f s  %6.2f MiB/s  cpu %.3f s\n", an, aw, m / aw, ac
    printf "  throughput vs aria2c %.3f (target >= 1.0), cpu vs aria2c %.3f (target <= 1.0)\n", aw / dw, dc / ac }'
done
