#!/usr/bin/env bash
# What checking a download's SHA-256 costs: a 1 GiB random file from a local
# nginx through dromo-fetch, once plain and once with --checksum, in
# alternating runs (RUNS each, at least 3), with one connection (hashed as
# the data arrives) and with 4 (the file read once after its last byte).
# Prints the median wall and CPU time of each and the ratio hashed/plain;
# target: at most 1.10 of the wall time. Usage: bench/checksum_cost.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
[ "$runs" -ge 3 ] || runs=3

scripts/install-deps.sh
scripts/build.sh dromo-fetch >/dev/null
fetch=$PWD/build/bin/dromo-fetch

source bench/lib.sh
head -c $((1024 * 1024 * 1024)) /dev/urandom > "$work/www/big.bin"
sum="sha-256=$(sha256sum "$work/www/big.bin" | cut -d' ' -f1)"
start_nginx
url=http://127.0.0.1:$port/big.bin

"$fetch" --quiet "$url" "$work/out/warm" >/dev/null  # the page cache warm for every run
rm -f "$work/out/warm"
for connections in 1 4; do
  : > "$work/plain$connections.txt"
  : > "$work/hashed$connections.txt"
  for i in $(seq "$runs"); do
    rm -f "$work/out/p" "$work/out/h"
    timed "$fetch" --quiet --connections "$connections" "$url" "$work/out/p" >> "$work/plain$connections.txt"
    rm -f "$work/out/p"
    timed "$fetch" --quiet --connections "$connections" --checksum "$sum" "$url" "$work/out/h" \
      >> "$work/hashed$connections.txt"
    [ -f "$work/out/h" ] || { echo "the hashed download was not verified" >&2; exit 1; }
    rm -f "$work/out/h"
  done
done

echo "1 GiB over HTTP to disk, $runs alternating runs each (median):"
for connections in 1 4; do
  pw=$(cut -d' ' -f1 "$work/plain$connections.txt" | median); pc=$(cut -d' ' -f2 "$work/plain$connections.txt" | median)
  hw=$(cut -d' ' -f1 "$work/hashed$connections.txt" | median); hc=$(cut -d' ' -f2 "$work/hashed$connections.txt" | median)
  printf "  %d connection(s)  plain  wall %6.3f s  cpu %6.3f s\n" "$connections" "$pw" "$pc"
  printf "  %d connection(s)  SHA-256 wall %6.3f s  cpu %6.3f s\n" "$connections" "$hw" "$hc"
  awk -v hw="$hw" -v pw="$pw" 'BEGIN { printf "  ratio  wall %.3f (target <= 1.10)\n", hw / pw }'
done
