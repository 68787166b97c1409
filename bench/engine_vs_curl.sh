#!/usr/bin/env bash
# Dromo's engine against curl's command line on the same local nginx:
#  - a 256 MiB random file written to disk, alternating runs (RUNS each, at
#    least 5), median wall and CPU time and their ratios;
#  - the speed limit: 40 MB at 2000 KB/s, the time against the ideal;
#  - how long a transfer call takes to end after Abort on a stalled server.
# Everything runs on 127.0.0.1. Usage: bench/engine_vs_curl.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}
[ "$runs" -ge 5 ] || runs=5

scripts/install-deps.sh
scripts/build.sh dromo-fetch >/dev/null
fetch=$PWD/build/bin/dromo-fetch

source bench/lib.sh
head -c $((256 * 1024 * 1024)) /dev/urandom > "$work/www/big.bin"
head -c $((40 * 1024 * 1024)) /dev/urandom > "$work/www/forty.bin"
start_nginx
url=http://127.0.0.1:$port/big.bin

: > "$work/dromo.txt"
: > "$work/curl.txt"
"$fetch" --quiet "$url" "$work/out/warm" >/dev/null  # page cache warm for both
rm -f "$work/out/warm"
for i in $(seq "$runs"); do
  rm -f "$work/out/d" "$work/out/c"
  timed "$fetch" --quiet "$url" "$work/out/d" >> "$work/dromo.txt"
  cmp -s "$work/out/d" "$work/www/big.bin" || { echo "dromo-fetch wrote a different file" >&2; exit 1; }
  timed curl -s -o "$work/out/c" "$url" >> "$work/curl.txt"
  rm -f "$work/out/d" "$work/out/c"
done

dw=$(cut -d' ' -f1 "$work/dromo.txt" | median); dc=$(cut -d' ' -f2 "$work/dromo.txt" | median)
cw=$(cut -d' ' -f1 "$work/curl.txt" | median);  cc=$(cut -d' ' -f2 "$work/curl.txt" | median)
echo "256 MiB over HTTP to disk, $runs alternating runs each (median):"
printf "  dromo-fetch  wall %6.3f s  cpu %6.3f s\n" "$dw" "$dc"
printf "  curl         wall %6.3f s  cpu %6.3f s\n" "$cw" "$cc"
awk -v dw="$dw" -v cw="$cw" -v dc="$dc" -v cc="$cc" 'BEGIN {
  printf "  ratio        wall %.3f (target <= 1.05)  cpu %.3f (target <= 1.20)\n", dw / cw, dc / cc }'

rm -f "$work/out/slow"
start=$(date +%s.%N)
"$fetch" --quiet --speed 2000 "http://127.0.0.1:$port/forty.bin" "$work/out/slow" >/dev/null
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" 'BEGIN {
  ideal = 40 * 1024 * 1024 / (2000 * 1024); took = e - s
  printf "40 MB at 2000 KB/s: %.2f s against %.2f s ideal (%+.1f%%, target within 5%%)\n", took, ideal, 100 * (took - ideal) / ideal }'

/usr/bin/python3 tests/support/faultserver.py "$work/www" > "$work/fault.txt" &
fault_pid=$!
for _ in $(seq 50); do grep -q PORT "$work/fault.txt" 2>/dev/null && break || sleep 0.1; done
fport=$(cut -d' ' -f2 "$work/fault.txt")
: > "$work/abort.txt"
for i in $(seq 5); do
  rm -f "$work/out/stall"*
  start=$(date +%s.%N)
  "$fetch" --quiet --abort-after 500 "http://127.0.0.1:$fport/file/forty.bin?stall=1000" "$work/out/stall" >/dev/null 2>&1 || true
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.0f\n", (e - s - 0.5) * 1000 }' >> "$work/abort.txt"
done
echo "Abort on a stalled transfer: the call ended $(median < "$work/abort.txt") ms after Abort (median of 5, process start included; target < 200 ms)"
