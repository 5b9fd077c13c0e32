#!/usr/bin/env bash
# Installs what the project needs, builds it, runs every test, runs each
# benchmark briefly, then builds the tests again with AddressSanitizer and
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

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORIK_WERROR=ON
cmake --build "$build" -j "$jobs"
export FIREBIRD="$build/fbroot"
run_tests "$build"
# Each benchmark runs briefly so that none of them rots; figures are printed, not judged.
for b in "$build"/bench/*_bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.01 || { echo "benchmark $(basename "$b") failed"; exit 1; }
done

# The tests again under the sanitizers; any finding fails its test.
san="$build-san"
cmake -S . -B "$san" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORIK_WERROR=ON -DVORIK_SANITIZE=ON
cmake --build "$san" -j "$jobs" --target tests/all
export FIREBIRD="$san/fbroot"
# No leak check: the system's font library leaks at exit, and the leak
# checker itself crashes at the exit of processes that ran the database engine.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
run_tests "$san"
