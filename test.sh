#!/usr/bin/env bash
# Installs what the project needs, builds it, runs every test, runs each test
# program once more whole with its tests shuffled, runs each benchmark
# briefly, then builds the tests again with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer and runs them there. Idempotent.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$here"
bash tools/setup-deps.sh
build="${VORIK_BUILD_DIR:-$here/build}"
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

# Runs the tests of build folder $1 once (further arguments go to ctest). A
# test labelled "gui" drives modal dialogs within a time limit that a loaded
# machine can miss: when only such tests failed, they run once more, with a
# warning; a real fault fails both runs. Any other failure fails at once.
run_tests() {
  local dir="$1"
  shift
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600 "$@" && return 0
  local failed gui others
  failed="$(cut -d: -f2- "$dir/Testing/Temporary/LastTestsFailed.log")"
  gui="$(ctest --test-dir "$dir" -N -L '^gui$' | sed -n 's/^ *Test *#[0-9]*: //p')"
  others="$(grep -vxF -f <(echo "$gui") <<<"$failed" || true)"
  [ -z "$others" ] || return 1
  echo "WARNING: GUI tests failed and run once more:"
  echo "$failed"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600 --rerun-failed
}

# Runs test program $1 whole in its build folder, as ctest runs its tests,
# shuffled by $seed; the output into file $2.
shuffled_run() {
  (cd "$(dirname "$1")" && VORIK_SOURCE_DIR="$here" timeout 1800 "$1" --gtest_shuffle \
     --gtest_random_seed="$seed" --gtest_brief=1) >"$2" 2>&1
}

# ctest runs every test in a process of its own. Here each test program of
# build folder $1 runs once more whole, its tests in a shuffled order, the
# programs side by side: a test that passes only after another, or breaks the
# one after it, fails here. The order comes from the seed GTEST_RANDOM_SEED
# (1-99999; unset or 0: a new one from the clock), printed so that a failing
# order can be replayed, whole with "GTEST_RANDOM_SEED=<seed> bash test.sh" or
# for one program with "<program> --gtest_shuffle --gtest_random_seed=<seed>".
# As in run_tests, a program whose only failures are "gui" tests runs once
# more in the same order, with a warning.
run_shuffled() {
  local dir="$1" logs gui status=0
  seed="${GTEST_RANDOM_SEED:-0}"
  [ "$seed" != 0 ] || seed=$(( $(date +%s) % 99999 + 1 ))
  echo "== Test programs whole, tests shuffled with seed $seed (replay: GTEST_RANDOM_SEED=$seed bash test.sh)"
  logs="$(mktemp -d)"
  gui="$(ctest --test-dir "$dir" -N -L '^gui$' | sed -n 's/^ *Test *#[0-9]*: //p')"
  local programs=() pids=() p
  for p in "$dir"/tests/*/*_tests; do [ -x "$p" ] && programs+=("$p"); done
  for p in "${programs[@]}"; do
    shuffled_run "$p" "$logs/$(basename "$p")" &
    pids+=($!)
  done
  for i in "${!programs[@]}"; do
    p="${programs[$i]}"
    local log="$logs/$(basename "$p")" failed others
    wait "${pids[$i]}" && { echo "$(basename "$p"): $(grep -m1 'tests\? from .* ran' "$log" || echo passed)"; continue; }
    cat "$log"
    failed="$(sed -n 's/^\[  FAILED  \] \([^ ,]*\).*/\1/p' "$log" | grep '\.' | sort -u || true)"
    others="$(grep -vxF -f <(echo "$gui") <<<"$failed" || true)"
    if [ -n "$failed" ] && [ -z "$others" ]; then
      echo "WARNING: GUI tests of $(basename "$p") failed in the shuffled run; it runs once more in the same order:"
      echo "$failed"
      shuffled_run "$p" "$log" && { echo "$(basename "$p"): passed the second run"; continue; }
      cat "$log"
    fi
    echo "$(basename "$p") failed with the tests shuffled by seed $seed"
    status=1
  done
  rm -rf "$logs"
  return $status
}

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORIK_WERROR=ON
cmake --build "$build" -j "$jobs"
export FIREBIRD="$build/fbroot"
run_tests "$build"
run_shuffled "$build"
# Each benchmark runs briefly so that none of them rots; figures are printed,
# not judged, but a benchmark that fails or stops a case with an error fails
# the run. They run side by side ($jobs at a time; most of their time is
# setting up their databases), each printed whole in turn.
benchlogs="$(mktemp -d)"
benches=()
for b in "$build"/bench/*_bench; do if [ -x "$b" ]; then benches+=("$b"); fi; done
printf '%s\n' "${benches[@]}" | xargs -r -P "$jobs" -I{} sh -c \
  '"$1" --benchmark_min_time=0.01 >"$2/$(basename "$1").log" 2>&1 || touch "$2/$(basename "$1").failed"' sh {} "$benchlogs"
for b in "${benches[@]}"; do
  echo "== $(basename "$b")"
  cat "$benchlogs/$(basename "$b").log"
  [ ! -e "$benchlogs/$(basename "$b").failed" ] || { echo "benchmark $(basename "$b") failed"; exit 1; }
  # A case that stopped with an error (SkipWithError) fails the run as well.
  ! grep -q "ERROR OCCURRED" "$benchlogs/$(basename "$b").log" || { echo "benchmark $(basename "$b") failed"; exit 1; }
done
rm -rf "$benchlogs"

# The tests again under the sanitizers; any finding fails its test. This tree
# is built with clang, so that every run also proves the tree builds with it,
# and only what its tests run (no benchmarks). A tree configured with another
# compiler before is configured afresh.
san="$build-san"
grep -qs '^CMAKE_CXX_COMPILER:[A-Z]*=.*clang++' "$san/CMakeCache.txt" || rm -rf "$san/CMakeCache.txt" "$san/CMakeFiles"
cmake -S . -B "$san" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORIK_WERROR=ON -DVORIK_SANITIZE=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
cmake --build "$san" -j "$jobs" --target tests/all
export FIREBIRD="$san/fbroot"
# No leak check: the system's font library leaks at exit, and the leak
# checker itself crashes at the exit of processes that ran the database engine.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
run_tests "$san"
