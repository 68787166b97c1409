#!/usr/bin/env bash
# Fails when a C++ file of src/ or tests/ is not formatted as .clang-format
# says, naming each such file. With --fix, formats them in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
tool=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$tool" ]; then
  echo "check-format: clang-format is not installed (scripts/install-deps.sh installs it)" >&2
  exit 2
fi
mapfile -t files < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' | grep -v '/node_modules/')
if [ "${1:-}" = "--fix" ]; then
  "$tool" -i --style=file "${files[@]}"
  exit 0
fi
# One clang-format for all the files (starting one per file took minutes):
# it goes on past a file out of layout and names the place of each, as
# "FILE:LINE:COLUMN: error: ...". Its status alone also fails the check, so a
# file it could not read is not passed over.
status=0
report=$("$tool" --style=file --dry-run --Werror "${files[@]}" 2>&1) || status=$?
mapfile -t bad < <(grep -oE '^[^:[:space:]]+:[0-9]+:[0-9]+: error' <<<"$report" | cut -d: -f1 | sort -u)
if [ ${#bad[@]} -gt 0 ] || [ "$status" -ne 0 ]; then
  printf 'check-format: not formatted as .clang-format says:\n' >&2
  if [ ${#bad[@]} -gt 0 ]; then
    printf '  %s\n' "${bad[@]}" >&2
  else
    printf '%s\n' "$report" >&2
  fi
  printf 'Run scripts/check-format.sh --fix to format them.\n' >&2
  exit 1
fi
echo "check-format: ${#files[@]} files formatted as .clang-format says"
