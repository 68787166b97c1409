#!/usr/bin/env bash
# Twelve 64 MiB downloads at once from a local nginx: Dromo's workers (12
# threads through CurlEngine) against 12 curl processes in parallel, in
# alternating runs (RUNS each, at least 5). Prints the median aggregate
# throughput of each and their ratio; Dromo's tasks with one connection each
# (as curl), with 4 (the default number, each opened only where it raises
# the throughput), and with every option as the program ships it (4
# connections, a 64 KB auto-save step). Usage:
# bench/downloads_vs_curl.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
[ "$runs" -ge 5 ] || runs=5
scripts/install-deps.sh
scripts/build.sh bench-downloads >/dev/null
source bench/lib.sh
for i in $(seq 0 11); do head -c $((64 * 1024 * 1024)) /dev/urandom > "$work/www/f$i"; done
start_nginx
total_mib=$((12 * 64))

: > "$work/dromo.txt"
: > "$work/dromo4.txt"
: > "$work/shipped.txt"
: > "$work/curl.txt"
for r in $(seq "$runs"); do
  for connections in 1 4 defaults; do
    out=$work/dromo.txt
    [ "$connections" = 4 ] && out=$work/dromo4.txt
    [ "$connections" = defaults ] && out=$work/shipped.txt
    rm -rf "$work/out"/*
    build/bin/bench-downloads "http://127.0.0.1:$port/f" "$work/out" 12 12 "$connections" >> "$out"
    for i in $(seq 0 11); do cmp -s "$work/out/f$i" "$work/www/f$i" || { echo "file $i differs" >&2; exit 1; }; done
  done
  rm -rf "$work/out"/*
  start=$(date +%s.%N)
  for i in $(seq 0 11); do curl -s -o "$work/out/f$i" "http://127.0.0.1:$port/f$i" & done
  wait
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f\n", e - s }' >> "$work/curl.txt"
done
dt=$(median < "$work/dromo.txt")
d4=$(median < "$work/dromo4.txt")
ds=$(median < "$work/shipped.txt")
ct=$(median < "$work/curl.txt")
awk -v d="$dt" -v d4="$d4" -v ds="$ds" -v c="$ct" -v m="$total_mib" -v n="$runs" 'BEGIN {
  printf "12 x 64 MiB in parallel from a local nginx, %d alternating runs each (median):\n", n
  printf "  Dromo, 12 workers, 1 connection each    %6.3f s  %7.1f MiB/s\n", d, m / d
  printf "  Dromo, 12 workers, 4 connections each   %6.3f s  %7.1f MiB/s\n", d4, m / d4
  printf "  Dromo, 12 workers, shipped defaults     %6.3f s  %7.1f MiB/s\n", ds, m / ds
  printf "  12 curl processes                       %6.3f s  %7.1f MiB/s\n", c, m / c
  printf "  throughput ratio, 1 connection  %.3f (target >= 0.95)\n", c / d
  printf "  throughput ratio, 4 connections %.3f\n", c / d4
  printf "  throughput ratio, shipped defaults %.3f (target >= 1.1)\n", c / ds }'
