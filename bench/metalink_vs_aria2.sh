#!/usr/bin/env bash
# One file from four mirrors at once, against aria2c on the same .meta4, in
# alternating runs (RUNS each, at least 5; medians): four nginx servers on
# 127.0.0.1, each capping every connection at 2 MiB/s, serve the same
# 32 MiB; the Metalink lists them with the file's SHA-256 and SHA-256
# digests of its 1 MiB pieces. Both programs check the file and its pieces.
#  - defaults: dromo-fetch --connections 4 (a share for each mirror) and
#    aria2c's own (five splits, one connection per server);
#  - 8 connections: dromo-fetch --connections 8, aria2c -s8 -x2.
# Throughput and CPU time (user + sys) against aria2c's.
# Usage: bench/metalink_vs_aria2.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
[ "$runs" -ge 5 ] || runs=5

scripts/install-deps.sh
command -v aria2c >/dev/null || { echo "aria2c is not installed" >&2; exit 2; }
scripts/build.sh dromo-fetch >/dev/null
fetch=$PWD/build/bin/dromo-fetch

source bench/lib.sh
mib=32
head -c $((mib * 1024 * 1024)) /dev/urandom > "$work/www/f.bin"
ports=()
for n in 1 2 3 4; do
  start_nginx "limit_rate 2m;"
  mv "$work/nginx.pid" "$work/nginx$n.pid"
  ports+=("$port")
done
stop_all() {
  for n in 1 2 3 4; do kill "$(cat "$work/nginx$n.pid")" 2>/dev/null || true; done
  bench_cleanup
}
trap stop_all EXIT

/usr/bin/python3 - "$work/www/f.bin" "$work/f.meta4" "${ports[@]}" <<'PY'
import hashlib, sys
data = open(sys.argv[1], "rb").read()
piece = 1 << 20
urls = "".join('<url priority="%d">http://127.0.0.1:%s/f.bin</url>\n' % (i + 1, p) for i, p in enumerate(sys.argv[3:]))
hashes = "".join("<hash>%s</hash>\n" % hashlib.sha256(data[i:i + piece]).hexdigest() for i in range(0, len(data), piece))
open(sys.argv[2], "w").write(
    '<?xml version="1.0" encoding="UTF-8"?>\n<metalink xmlns="urn:ietf:params:xml:ns:metalink">\n'
    '<file name="f.bin">\n<size>%d</size>\n<hash type="sha-256">%s</hash>\n'
    '<pieces length="%d" type="sha-256">\n%s</pieces>\n%s</file>\n</metalink>\n'
    % (len(data), hashlib.sha256(data).hexdigest(), piece, hashes, urls))
PY

for f in d4 a4 d8 a8; do : > "$work/$f.txt"; done
check() { cmp -s "$1" "$work/www/f.bin" || { echo "$2 wrote a different file" >&2; exit 1; }; }
for i in $(seq "$runs"); do
  rm -rf "$work/out/"*
  timed "$fetch" --quiet --connections 4 --metalink "$work/f.meta4" "$work/out/d4" >> "$work/d4.txt"
  check "$work/out/d4" dromo-fetch
  # aria2c names the file as the Metalink does, in its folder.
  timed aria2c -q --file-allocation=none --allow-overwrite=true -d "$work/out/a4" -M "$work/f.meta4" \
    >> "$work/a4.txt"
  check "$work/out/a4/f.bin" aria2c
  rm -rf "$work/out/"*
  timed "$fetch" --quiet --connections 8 --metalink "$work/f.meta4" "$work/out/d8" >> "$work/d8.txt"
  check "$work/out/d8" dromo-fetch
  timed aria2c -q -s8 -x2 --file-allocation=none --allow-overwrite=true -d "$work/out/a8" \
    -M "$work/f.meta4" >> "$work/a8.txt"
  check "$work/out/a8/f.bin" aria2c
done

col() { cut -d' ' -f"$2" "$work/$1.txt" | median; }
report() {
  awk -v what="$1" -v dw="$(col "$2" 1)" -v dc="$(col "$2" 2)" -v aw="$(col "$3" 1)" -v ac="$(col "$3" 2)" \
    -v m="$mib" 'BEGIN {
    printf "%s\n  dromo-fetch %6.2f s  %6.2f MiB/s  cpu %.3f s\n", what, dw, m / dw, dc
    printf "  aria2c      %6.2f s  %6.2f MiB/s  cpu %.3f s\n", aw, m / aw, ac
    printf "  throughput vs aria2c %.3f (target >= 1.0), cpu vs aria2c %.3f (target <= 1.0)\n", aw / dw, dc / ac }'
}
echo "$mib MiB from 4 mirrors, each connection capped at 2 MiB/s, $runs alternating runs each (median):"
report "defaults (dromo-fetch --connections 4, aria2c's own):" d4 a4
report "8 connections (dromo-fetch --connections 8, aria2c -s8 -x2):" d8 a8
