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

work=$(mktemp -d)
cleanup() {
  [ -f "$work/nginx.pid" ] && kill "$(cat "$work/nginx.pid")" 2>/dev/null || true
  [ -n "${fault_pid:-}" ] && kill "$fault_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/www" "$work/tmp" "$work/out"
head -c $((256 * 1024 * 1024)) /dev/urandom > "$work/www/big.bin"
head -c $((40 * 1024 * 1024)) /dev/urandom > "$work/www/forty.bin"

port=$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
user_line=""
[ "$(id -u)" -eq 0 ] && user_line="user root root;"
cat > "$work/nginx.conf" <<CONF
$user_line
worker_processes 1;
error_log $work/error.log;
pid $work/nginx.pid;
events { worker_connections 64; }
http {
  access_log off; sendfile on;
  client_body_temp_path $work/tmp; proxy_temp_path $work/tmp; fastcgi_temp_path $work/tmp;
  uwsgi_temp_path $work/tmp; scgi_temp_path $work/tmp;
  server { listen 127.0.0.1:$port; root $work/www; }
}
CONF
/usr/sbin/nginx -c "$work/nginx.conf" -p "$work"
for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$port/" && break || sleep 0.1; done
url=http://127.0.0.1:$port/big.bin

# One timed run: prints "wall cpu" in seconds.
timed() {
  /usr/bin/time -o "$work/time.txt" -f "%e %U %S" "$@" >/dev/null 2>&1
  awk '{ printf "%.3f %.3f\n", $1, $2 + $3 }' "$work/time.txt"
}

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

median() { sort -n | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
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
