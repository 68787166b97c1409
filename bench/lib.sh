# Shared by the benchmark scripts: a work folder, a local nginx serving
# $work/www on 127.0.0.1, timing and medians. Source it after `cd` to the repo.

work=$(mktemp -d)
mkdir -p "$work/www" "$work/tmp" "$work/out"
bench_cleanup() {
  [ -f "$work/nginx.pid" ] && kill "$(cat "$work/nginx.pid")" 2>/dev/null || true
  [ -n "${fault_pid:-}" ] && kill "$fault_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap bench_cleanup EXIT

# Starts nginx on a free port; sets $port. An argument goes into its server
# block (locations with their own limits).
start_nginx() {
  start_nginx_servers 1 "${1:-}"
}

# What every server's listen line adds ("ssl http2" for HTTPS with HTTP/2,
# with the certificate in the block) and the scheme that reaches it.
nginx_listen=${nginx_listen:-}
nginx_scheme=${nginx_scheme:-http}

# Starts one nginx with COUNT servers, each on an address of the loopback
# of its own (127.0.0.1, 127.0.0.2, ...: other hosts, as mirrors are) and a
# free port, all serving $work/www; sets $hosts (an array of ADDRESS:PORT),
# $ports and $port (the first server's). BLOCK goes into every server block.
start_nginx_servers() {
  local count=$1 block=${2:-} servers="" h
  read -r -a hosts < <(/usr/bin/python3 -c '
import socket, sys
held = [socket.socket() for _ in range(int(sys.argv[1]))]
for n, s in enumerate(held): s.bind(("127.0.0.%d" % (n + 1), 0))
print(" ".join("%s:%d" % s.getsockname() for s in held))' "$count")
  ports=("${hosts[@]##*:}")
  port=${ports[0]}
  for h in "${hosts[@]}"; do servers+="server { listen $h $nginx_listen; root $work/www; $block }"$'\n'; done
  local user_line=""
  [ "$(id -u)" -eq 0 ] && user_line="user root root;"
  cat > "$work/nginx.conf" <<CONF
$user_line
worker_processes 2;
error_log $work/error.log;
pid $work/nginx.pid;
events { worker_connections 256; }
http {
  access_log off; sendfile on;
  client_body_temp_path $work/tmp; proxy_temp_path $work/tmp; fastcgi_temp_path $work/tmp;
  uwsgi_temp_path $work/tmp; scgi_temp_path $work/tmp;
  $servers
}
CONF
  /usr/sbin/nginx -c "$work/nginx.conf" -p "$work"
  for h in "${hosts[@]}"; do
    for _ in $(seq 50); do curl -s -k -o /dev/null "$nginx_scheme://$h/" && continue 2 || sleep 0.1; done
    echo "nginx did not start" >&2
    return 1
  done
}

# One timed run of a command: prints "wall cpu" in seconds. The times are
# the last line: a command that fails has its exit status on the first.
timed() {
  /usr/bin/time -o "$work/time.txt" -f "%e %U %S" "$@" >/dev/null 2>&1
  awk 'END { printf "%.3f %.3f\n", $1, $2 + $3 }' "$work/time.txt"
}

median() { sort -n | awk '{ a[NR] = $1 } END { print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }
