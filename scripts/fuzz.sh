#!/usr/bin/env bash
# Fuzzes Dromo's readers of outside input with libFuzzer (tests/fuzz/).
#
#   scripts/fuzz.sh TARGET SECONDS [LIBFUZZER-OPTION...]
#       fuzzes one target (names, httpresponse, segmentplan, inidocument,
#       downloadlist, nativemessaging, parseurl, digest, urlpattern, metalink,
#       linkheader, hlsplaylist, mpd, cookiejar) for that long, then prints its executions and findings
#   scripts/fuzz.sh --replay
#       runs every target once over its seeds under libFuzzer (what CI does)
#   scripts/fuzz.sh --list
#       names the targets
#
# The targets are built in build-fuzz/ with clang, libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer. The seeds in
# tests/fuzz/corpus/TARGET stay as they are; inputs the run found worth
# keeping go to build-fuzz/fuzz/TARGET/corpus (copy the few that matter into
# the seeds), and each finding (crash, broken rule, leak, timeout) is kept
# as a file in build-fuzz/fuzz/TARGET/findings/: rerun one with
# build-fuzz/bin/fuzz_TARGET FILE.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=build-fuzz
targets=(names httpresponse segmentplan inidocument downloadlist nativemessaging parseurl digest urlpattern metalink
  linkheader hlsplaylist mpd cookiejar)

usage() {
  sed -n '4,11p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
}

# clang++ that links a libFuzzer program; nothing when there is none.
fuzz_compiler() {
  local cxx scratch
  scratch=$(mktemp -d)
  for cxx in ${CXX_FUZZ:-clang++ clang++-19 clang++-18 clang++-17 clang++-16 clang++-15 clang++-14}; do
    command -v "$cxx" >/dev/null || continue
    printf '#include <cstddef>\n#include <cstdint>\nextern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }\n' \
      >"$scratch/probe.cpp"
    if "$cxx" -fsanitize=fuzzer "$scratch/probe.cpp" -o "$scratch/probe" 2>/dev/null; then
      command -v "$cxx"
      break
    fi
  done
  rm -rf "$scratch"
}

build() {
  local cxx=$1
  shift
  BUILD_DIR=$build_dir CMAKE_OPTIONS="-DDROMO_FUZZ=ON -DCMAKE_CXX_COMPILER=$cxx -DCMAKE_BUILD_TYPE=RelWithDebInfo" \
    scripts/build.sh "$@"
}

[ $# -ge 1 ] || usage
if [ "$1" = "--list" ]; then
  printf '%s\n' "${targets[@]}"
  exit 0
fi
cxx=$(fuzz_compiler)
if [ "$1" = "--replay" ]; then
  if [ -z "$cxx" ]; then
    echo "fuzz.sh: no clang with libFuzzer here; the seeds were replayed by the plain build's Fuzz.* tests only"
    exit 0
  fi
  build "$cxx"
  ctest --test-dir "$build_dir" --output-on-failure -j2 -L fuzz
  exit 0
fi

[ $# -ge 2 ] || usage
target=$1
seconds=$2
shift 2
printf '%s\n' "${targets[@]}" | grep -qx "$target" || { echo "fuzz.sh: no target $target (--list names them)"; exit 2; }
[[ $seconds =~ ^[0-9]+$ ]] || usage
[ -n "$cxx" ] || { echo "fuzz.sh: needs clang with libFuzzer (Debian: clang libclang-rt-dev)"; exit 1; }
build "$cxx" "fuzz_$target"

work=$build_dir/fuzz/$target
mkdir -p "$work/corpus" "$work/findings"
log=$work/fuzz-$(date +%Y%m%d-%H%M%S).log
before=$(find "$work/findings" -type f | wc -l)
started=$SECONDS
status=0
# A single input that takes 10 s is a finding too (a hang on hostile input).
"$build_dir/bin/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work/findings/" "$@" "$work/corpus" "tests/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
elapsed=$((SECONDS - started))

# libFuzzer's final statistics, on one line.
stat() { sed -n "s/^stat::$1: *//p" "$log" | tail -1; }
new_findings=$(($(find "$work/findings" -type f | wc -l) - before))
grep -E '^(==[0-9]+==ERROR|SUMMARY|.*property broken)' "$log" | head -5 || true
echo "fuzz_$target: $(stat number_of_executed_units) executions in ${elapsed} s ($(stat average_exec_per_sec)/s)," \
  "$(stat new_units_added) new inputs, $new_findings finding(s) (in $work/findings), log $log"
exit $status
