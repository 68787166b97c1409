#!/usr/bin/env bash
# "Load Download List..." on the window's thread: lists of 500 to 30,000
# tasks as the window writes them, and the 66-byte list that claims
# 999,999,999; 5 rounds each, medians. Loading must grow in proportion to
# the list: the last line compares the cost per task of the largest list
# with that of the smallest, in the same run.
# Usage: bench/list_file.sh [N...]
set -euo pipefail
cd "$(dirname "$0")/.."
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(500 1000 2000 4000 30000)
scripts/build.sh bench-list-file >/dev/null
source bench/lib.sh
run() {
  : > "$work/runs.txt"
  for _ in $(seq 5); do build/bin/bench-list-file "$1" >> "$work/runs.txt"; done
  load=$(cut -d' ' -f1 "$work/runs.txt" | median)
  save=$(cut -d' ' -f2 "$work/runs.txt" | median)
}
echo "Load Download List, 5 rounds (median): load, then the save that puts the tasks on disk"
run hostile
printf "  %-22s load %8.4f s   save %7.4f s\n" "66 bytes, num=999999999" "$load" "$save"
first="" last=""
for n in "${sizes[@]}"; do
  run "$n"
  per=$(awk -v t="$load" -v n="$n" 'BEGIN { printf "%.2f", t / n * 1e6 }')
  printf "  %-22s load %8.4f s   save %7.4f s   %s us per task\n" "$n tasks" "$load" "$save" "$per"
  [ -n "$first" ] || first=$per
  last=$per
done
awk -v a="$first" -v b="$last" -v s="${sizes[0]}" -v l="${sizes[${#sizes[@]}-1]}" \
  'BEGIN { printf "  cost per task at %d tasks / at %d tasks: %.2f (1.0 is linear)\n", l, s, b / a }'
