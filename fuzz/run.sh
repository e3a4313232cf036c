#!/usr/bin/env bash
# Builds the fuzz targets, replays every seed corpus and every saved crash
# file, then fuzzes each target for SECONDS. Exits non-zero on any finding.
#
#   fuzz/run.sh SECONDS [TARGET...]
#
# The build goes to build-fuzz/ (MIRUFO_FUZZ_BUILD to change it). New corpus
# entries found while fuzzing stay in the build folder; the repository's
# corpus only grows by hand. Findings are written to <build>/findings/.
set -euo pipefail

if [ $# -lt 1 ] || ! [[ "$1" =~ ^[0-9]+$ ]]; then
  echo "usage: fuzz/run.sh SECONDS [TARGET...]" >&2
  exit 2
fi
seconds=$1
shift

here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${MIRUFO_FUZZ_BUILD:-$root/build-fuzz}"
jobs="${MIRUFO_FUZZ_BUILD_JOBS:-2}"

CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja >/dev/null
cmake --build "$build" -j "$jobs"

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for source in "$here"/*_fuzz.cpp; do
    name="$(basename "$source" .cpp)"
    targets+=("${name%_fuzz}")
  done
fi

# Leaks are not findings here: the readers hold no state between inputs, and
# libFuzzer's leak check slows every run that throws.
common=(-rss_limit_mb=3072 -timeout=20 -detect_leaks=0 -print_final_stats=1)
export ASAN_OPTIONS="${ASAN_OPTIONS:-abort_on_error=1:allocator_may_return_null=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

failed=()
summary=()
mkdir -p "$build/findings"
for name in "${targets[@]}"; do
  binary="$build/${name}_fuzz"
  corpus="$here/corpus/$name"
  crashes="$here/crashes/$name"
  dict="$here/dict/$name.dict"
  work="$build/corpus/$name"
  log="$build/$name.log"
  if [ ! -x "$binary" ]; then
    echo "no fuzz target $name" >&2
    failed+=("$name")
    continue
  fi
  options=("${common[@]}")
  [ -f "$dict" ] && options+=("-dict=$dict")
  # Text files of a few hundred bytes reach every rule of the text parsers;
  # longer inputs only slow them down.
  # A run of one of them allocates a few kilobytes at most, so a quarantine of
  # 16 MB still holds the freed blocks of thousands of runs; the default
  # 256 MB only makes every allocation touch fresh pages, which was a third
  # of their time.
  asan="$ASAN_OPTIONS"
  case "$name" in
  tanmatsu_list | named_bits_list | ini_file | standby_file_name)
    options+=(-max_len=1024)
    asan="$asan:quarantine_size_mb=16"
    ;;
  esac

  # Replay: every seed and every saved crash file once, without fuzzing.
  replay=()
  [ -d "$corpus" ] && replay+=("$corpus"/*)
  [ -d "$crashes" ] && replay+=("$crashes"/*)
  if [ ${#replay[@]} -gt 0 ] &&
    ! "$binary" "${common[@]}" -runs=1 "${replay[@]}" >"$log.replay" 2>&1; then
    echo "== $name: replay FAILED (see $log.replay)"
    tail -n 30 "$log.replay"
    failed+=("$name")
    continue
  fi

  if [ "$seconds" -gt 0 ]; then
    mkdir -p "$work"
    if ! ASAN_OPTIONS="$asan" "$binary" "${options[@]}" -max_total_time="$seconds" \
      -artifact_prefix="$build/findings/$name-" "$work" "$corpus" >"$log" 2>&1; then
      echo "== $name: FINDING (see $log)"
      grep -E "ERROR|runtime error|deadly|SUMMARY|Test unit written" "$log" | head -n 20
      failed+=("$name")
      continue
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    summary+=("$(printf '%-20s %8s exec/s %12s executions in %ss' "$name" "$rate" "$runs" "$seconds")")
  else
    summary+=("$(printf '%-20s replayed' "$name")")
  fi
done

printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]}" >&2
  exit 1
fi
echo "fuzz: no findings"
