#!/usr/bin/env bash
# One file over several connections, against aria2c and curl on the same
# local nginx, in alternating runs (RUNS each, at least 5; medians):
#  - 64 MiB from a location that caps each connection at 2 MiB/s:
#    dromo-fetch --connections 8, aria2c -x8 -s8 (pieces of 1 MiB, as Dromo's)
#    and curl (one connection, on the first 16 MiB of the same file):
#    throughput, and CPU time (user + sys) against aria2c's;
#  - 8, 24 and 64 MiB from a location that caps each connection at 1 MiB/s
#    (nginx sends each request its first second's worth at once): dromo-fetch
#    --connections 8 against aria2c -x8 -s8 -k1M, ratio of aria2c's time to
#    Dromo's (target >= 1.0 for each size);
#  - 256 MiB uncapped: 8 connections against 1;
#  - the task's speed limit shared by 8 connections: 40 MB at 2000 KB/s.
# Everything runs on 127.0.0.1. Usage: bench/segmented_vs_aria2.sh [RUNS]
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
head -c $((64 * 1024 * 1024)) /dev/urandom > "$work/www/f64.bin"
head -c $((256 * 1024 * 1024)) /dev/urandom > "$work/www/f256.bin"
head -c $((40 * 1024 * 1024)) /dev/urandom > "$work/www/f40.bin"
for m in 8 24; do head -c $((m * 1024 * 1024)) /dev/urandom > "$work/www/f$m.bin"; done
start_nginx "location /capped/ { alias $work/www/; limit_rate 2m; }
  location /capped1/ { alias $work/www/; limit_rate 1m; }"
capped=http://127.0.0.1:$port/capped/f64.bin
mib=64

for f in dromo aria curl one eight; do : > "$work/$f.txt"; done
for m in 8 24 64; do : > "$work/d$m.txt"; : > "$work/a$m.txt"; done
for i in $(seq "$runs"); do
  for m in 8 24 64; do
    small=http://127.0.0.1:$port/capped1/f$m.bin
    rm -f "$work/out/"*
    timed "$fetch" --quiet --connections 8 "$small" "$work/out/d" >> "$work/d$m.txt"
    cmp -s "$work/out/d" "$work/www/f$m.bin" || { echo "dromo-fetch wrote a different file" >&2; exit 1; }
    timed aria2c -q -x8 -s8 -k1M --file-allocation=none --allow-overwrite=true -d "$work/out" -o a "$small" \
      >> "$work/a$m.txt"
    cmp -s "$work/out/a" "$work/www/f$m.bin" || { echo "aria2c wrote a different file" >&2; exit 1; }
  done
  rm -f "$work/out/"*
  timed "$fetch" --quiet --connections 8 "$capped" "$work/out/d" >> "$work/dromo.txt"
  cmp -s "$work/out/d" "$work/www/f64.bin" || { echo "dromo-fetch wrote a different file" >&2; exit 1; }
  timed aria2c -q -x8 -s8 -k1M --file-allocation=none --allow-overwrite=true -d "$work/out" -o a "$capped" \
    >> "$work/aria.txt"
  cmp -s "$work/out/a" "$work/www/f64.bin" || { echo "aria2c wrote a different file" >&2; exit 1; }
  timed curl -s -r 0-$((16 * 1024 * 1024 - 1)) -o "$work/out/c" "$capped" >> "$work/curl.txt"
  rm -f "$work/out/"*
  timed "$fetch" --quiet --connections 1 "http://127.0.0.1:$port/f256.bin" "$work/out/1" >> "$work/one.txt"
  rm -f "$work/out/"*
  timed "$fetch" --quiet --connections 8 "http://127.0.0.1:$port/f256.bin" "$work/out/8" >> "$work/eight.txt"
  cmp -s "$work/out/8" "$work/www/f256.bin" || { echo "dromo-fetch wrote a different file" >&2; exit 1; }
done

col() { cut -d' ' -f"$2" "$work/$1.txt" | median; }
dw=$(col dromo 1); dc=$(col dromo 2); aw=$(col aria 1); ac=$(col aria 2); cw=$(col curl 1)
ow=$(col one 1); ew=$(col eight 1)
echo "64 MiB, each connection capped at 2 MiB/s, $runs alternating runs each (median):"
awk -v dw="$dw" -v dc="$dc" -v aw="$aw" -v ac="$ac" -v cw="$cw" -v m="$mib" 'BEGIN {
  printf "  dromo-fetch, 8 connections  %6.2f s  %6.2f MiB/s  cpu %.3f s\n", dw, m / dw, dc
  printf "  aria2c -x8 -s8              %6.2f s  %6.2f MiB/s  cpu %.3f s\n", aw, m / aw, ac
  printf "  curl (16 MiB of it)         %6.2f s  %6.2f MiB/s\n", cw, 16 / cw
  printf "  throughput vs aria2c %.3f (target >= 1.0), vs curl %.2f (target >= 6)\n", aw / dw, (m / dw) / (16 / cw)
  printf "  cpu vs aria2c %.3f (target <= 1.0)\n", dc / ac }'
echo "Each connection capped at 1 MiB/s, 8 connections, $runs alternating runs each (median):"
for m in 8 24 64; do
  awk -v m="$m" -v d="$(col d$m 1)" -v a="$(col a$m 1)" 'BEGIN {
    printf "  %2d MiB: dromo-fetch %6.3f s, aria2c %6.3f s: aria2c time / Dromo time %.3f (target >= 1.0)\n", m, d, a, a / d }'
done
echo "256 MiB uncapped:"
awk -v o="$ow" -v e="$ew" 'BEGIN {
  printf "  1 connection %.3f s, 8 connections %.3f s: throughput ratio %.3f (target >= 0.95)\n", o, e, o / e }'

rm -f "$work/out/"*
start=$(date +%s.%N)
"$fetch" --quiet --connections 8 --speed 2000 "http://127.0.0.1:$port/f40.bin" "$work/out/slow" >/dev/null
end=$(date +%s.%N)
cmp -s "$work/out/slow" "$work/www/f40.bin" || { echo "dromo-fetch wrote a different file" >&2; exit 1; }
awk -v s="$start" -v e="$end" 'BEGIN {
  ideal = 40 * 1024 * 1024 / (2000 * 1024); took = e - s
  printf "40 MB at 2000 KB/s over 8 connections: %.2f s against %.2f s ideal (%+.1f%%, target within 3%%)\n", took, ideal, 100 * (took - ideal) / ideal }'
