#!/usr/bin/env bash
# Many small files from one HTTPS server that speaks HTTP/2: the real
# program on a private session bus (offscreen, fresh XDG folders, 12
# workers, new profile so "Http Version" is its default "2") against
# `curl --parallel --http2` and `aria2c -j16`, nginx with TLS and HTTP/2 on
# the loopback (a self-signed certificate made here); RUNS rounds of each
# (at least 5), medians and ratios:
#  - 500 files of 32 KB,
#  - 2,000 files of 4 KB,
# each from `dromo URL1 ... URLn` (or the other command) to all n files whole
# on disk. Usage: bench/batch_h2.sh [RUNS]  (DROMO_BIN=... runs another build)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
[ "$runs" -ge 5 ] || runs=5

if [ -z "${DROMO_BATCH_INSIDE:-}" ]; then
  [ -n "${DROMO_BIN:-}" ] || scripts/build.sh dromo >/dev/null
  DROMO_BATCH_INSIDE=1 exec dbus-run-session -- "$0" "$runs"
fi

nginx_listen="ssl http2" nginx_scheme=https
source bench/lib.sh
dromo=${DROMO_BIN:-$PWD/build/bin/dromo}
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/run
export QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
ini="$XDG_CONFIG_HOME/Tarnwick Software/Dromo.ini"

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
export CURL_CA_BUNDLE=$work/cert.pem

owned() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:DROMO.URLMonitor 2>/dev/null | grep -q 'boolean true'
}
wait_owned() { for _ in $(seq 1000); do owned && return 0; sleep 0.01; done; echo "no Dromo on the bus" >&2; return 1; }
wait_gone() { for _ in $(seq 1000); do owned || return 0; sleep 0.01; done; return 1; }
start_dromo() {
  rm -rf "$(dirname "$ini")" "$work/out"
  mkdir -p "$(dirname "$ini")" "$work/out"
  printf '[Settings]\nSave%%20to=%s/\nMax%%20Thread%%20Number=12\n' "$work/out" > "$ini"
  "$dromo" & dromo_pid=$!
  wait_owned
}
stop_dromo() { kill -TERM "$dromo_pid" 2>/dev/null || true; wait "$dromo_pid" 2>/dev/null || true; wait_gone; }
now() { date +%s.%N; }
since() { awk -v s="$1" -v e="$(now)" 'BEGIN { printf "%.3f\n", e - s }'; }
# Whole files of SIZE bytes in the output folder.
whole_files() { find "$work/out" -maxdepth 1 -type f -size "$1"c ! -name '*+++' | wc -l; }
wait_whole() {
  for _ in $(seq 12000); do [ "$(whole_files "$2")" -ge "$1" ] && return 0; sleep 0.005; done
  echo "only $(whole_files "$2") of $1 files arrived" >&2; return 1
}
fresh_out() { rm -rf "$work/out"; mkdir -p "$work/out"; }

# One round of one set: COUNT files of SIZE bytes named PREFIXi.bin.
round() {
  local count=$1 size=$2 prefix=$3 urls=() t
  for i in $(seq "$count"); do urls+=("https://127.0.0.1:$port/$prefix$i.bin"); done
  printf '%s\n' "${urls[@]}" > "$work/list.txt"

  start_dromo
  t=$(now)
  "$dromo" "${urls[@]}"
  wait_whole "$count" "$size"
  since "$t" >> "$work/d$count.txt"
  stop_dromo

  fresh_out
  t=$(now)
  (cd "$work/out" && curl -s --parallel --http2 --cacert "$work/cert.pem" --remote-name-all "${urls[@]}" 2>/dev/null)
  since "$t" >> "$work/c$count.txt"
  [ "$(whole_files "$size")" -eq "$count" ] || { echo "curl left $(whole_files "$size") files" >&2; exit 1; }

  fresh_out
  t=$(now)
  aria2c -q -j16 -d "$work/out" -i "$work/list.txt" --ca-certificate="$work/cert.pem" --allow-overwrite=true \
    --auto-file-renaming=false --file-allocation=none
  since "$t" >> "$work/a$count.txt"
  [ "$(whole_files "$size")" -eq "$count" ] || { echo "aria2c left $(whole_files "$size") files" >&2; exit 1; }
}

for i in $(seq 500); do head -c 32768 /dev/urandom > "$work/www/s$i.bin"; done
for i in $(seq 2000); do head -c 4096 /dev/urandom > "$work/www/t$i.bin"; done
start_nginx "ssl_certificate $work/cert.pem; ssl_certificate_key $work/key.pem;"
[ "$(curl -s --http2 -o /dev/null -w '%{http_version}' "https://127.0.0.1:$port/s1.bin")" = 2 ] ||
  { echo "nginx does not speak HTTP/2" >&2; exit 1; }

for c in 500 2000; do : > "$work/d$c.txt"; : > "$work/c$c.txt"; : > "$work/a$c.txt"; done
for r in $(seq "$runs"); do
  round 500 32768 s
  round 2000 4096 t
done

echo "Many small files over HTTPS with HTTP/2, nginx on the loopback, $runs rounds (median),"
echo "hand-over to all on disk; Dromo with 12 workers:"
for c in 500 2000; do
  d=$(median < "$work/d$c.txt"); cu=$(median < "$work/c$c.txt"); a=$(median < "$work/a$c.txt")
  awk -v n="$c" -v d="$d" -v c="$cu" -v a="$a" 'BEGIN {
    printf "  %4d files: Dromo %.3f s, curl --parallel --http2 %.3f s, aria2c -j16 %.3f s\n", n, d, c, a
    printf "    Dromo / curl %.2f (target <= 1.5), aria2c / Dromo %.2f (target >= 2)\n", d / c, a / d }'
done
