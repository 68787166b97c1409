#!/usr/bin/env bash
# N tasks (10,000 by default): AddTask of N URLs, SaveSettings and the
# auto-save's SaveSoon in one run, LoadSettings in the next (as at the next
# start), through the real INI profile; 5 rounds, medians, peak memory of
# each run.
# Usage: bench/many_tasks.sh [N]
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-10000}
scripts/install-deps.sh
scripts/build.sh bench-many-tasks >/dev/null
source bench/lib.sh
: > "$work/save.txt"
: > "$work/load.txt"
for r in $(seq 5); do
  rm -f "$work/Dromo.ini"
  build/bin/bench-many-tasks save "$work/Dromo.ini" "$n" >> "$work/save.txt"
  build/bin/bench-many-tasks load "$work/Dromo.ini" "$n" >> "$work/load.txt"
done
echo "$n tasks through the INI profile, 5 rounds (median):"
printf "  AddTask of all  %6.3f s  (target <= 1 s)\n" "$(cut -d' ' -f1 "$work/save.txt" | median)"
printf "  SaveSettings    %6.3f s  (target <= 0.25 s)\n" "$(cut -d' ' -f2 "$work/save.txt" | median)"
printf "  auto-save       %6.3f s  on the window's thread, the disk left to the writer thread\n" \
  "$(cut -d' ' -f4 "$work/save.txt" | median)"
printf "  LoadSettings    %6.3f s  (target <= 0.3 s)\n" "$(cut -d' ' -f1 "$work/load.txt" | median)"
printf "  peak memory     %6.1f MB adding and saving, %.1f MB loading (target <= 80 MB)\n" \
  "$(cut -d' ' -f3 "$work/save.txt" | median)" "$(cut -d' ' -f2 "$work/load.txt" | median)"
printf "  profile size    %6.1f MB\n" "$(du -k "$work/Dromo.ini" | awk '{ print $1 / 1024 }')"
