#!/usr/bin/env bash
# Long lists: for each N (10,000, 30,000 and 100,000 by default), AddTask of
# N URLs, SaveSettings and the auto-save's SaveSoon in one run (the latter is
# the share of a save on the window's thread, after 1% of the tasks changed,
# and once more as the first save of a run, which copies every task), LoadSettings in the next (as
# at the next start), through the real INI profile; 5 rounds, medians, peak
# memory of each run, and how many of the N the list holds.
# Usage: bench/many_tasks.sh [N...]   (MANY_TASKS_BIN=... runs another build)
set -euo pipefail
cd "$(dirname "$0")/.."
sizes=("$@")
[ "${#sizes[@]}" -gt 0 ] || sizes=(10000 30000 100000)
bin=${MANY_TASKS_BIN:-build/bin/bench-many-tasks}
if [ -z "${MANY_TASKS_BIN:-}" ]; then
  scripts/install-deps.sh
  scripts/build.sh bench-many-tasks >/dev/null
fi
source bench/lib.sh
for n in "${sizes[@]}"; do
  : > "$work/save.txt"
  : > "$work/load.txt"
  for r in $(seq 5); do
    rm -f "$work/Dromo.ini"
    "$bin" save "$work/Dromo.ini" "$n" >> "$work/save.txt"
    "$bin" load "$work/Dromo.ini" "$n" >> "$work/load.txt"
  done
  echo "$n tasks through the INI profile, 5 rounds (median):"
  printf "  AddTask of all  %6.3f s  (target <= 1 s), %s listed\n" "$(cut -d' ' -f1 "$work/save.txt" | median)" \
    "$(cut -d' ' -f5 "$work/save.txt" | median)"
  printf "  SaveSettings    %6.3f s  (target <= 0.5 s)\n" "$(cut -d' ' -f2 "$work/save.txt" | median)"
  printf "  auto-save       %6.3f s  on the window's thread, 1%% of the tasks changed, the rest left to the writer thread (target <= 0.05 s)\n" \
    "$(cut -d' ' -f4 "$work/save.txt" | median)"
  printf "  first auto-save %6.3f s  on the window's thread, every task copied (once a run)\n" \
    "$(cut -d' ' -f6 "$work/save.txt" | median)"
  printf "  LoadSettings    %6.3f s  (target <= 0.5 s at 30,000, 1.5 s at 100,000), %s listed\n" \
    "$(cut -d' ' -f1 "$work/load.txt" | median)" "$(cut -d' ' -f3 "$work/load.txt" | median)"
  printf "  peak memory     %6.1f MB adding and saving, %.1f MB loading (target <= 120 MB at 30,000, 300 MB at 100,000)\n" \
    "$(cut -d' ' -f3 "$work/save.txt" | median)" "$(cut -d' ' -f2 "$work/load.txt" | median)"
  printf "  profile size    %6.1f MB\n" "$(du -k "$work/Dromo.ini" | awk '{ print $1 / 1024 }')"
done
