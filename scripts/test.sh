#!/usr/bin/env bash
# Installs what is missing, checks that every source file is formatted as
# .clang-format says, then builds and runs every test twice: a normal build,
# and an AddressSanitizer + UndefinedBehaviorSanitizer build in which any
# sanitizer report fails its test. Then runs each fuzzer for a while.
# Warnings are errors throughout. Usage: scripts/test.sh [fuzz seconds, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds=${1:-60}
jobs=$(nproc)

bash scripts/setup.sh

echo "== formatting (.clang-format)"
mapfile -t sources < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -path ./build\* -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
if ! clang-format --dry-run --Werror "${sources[@]}"; then
  echo "these files differ from .clang-format: run clang-format -i on them"
  exit 1
fi

# Tests that start Qt, PulseAudio or Xvfb keep their runtime files private.
export XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan-suppressions.txt:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

build_and_test() {
  local dir=$1; shift
  echo "== $dir: configure and build"
  cmake -S . -B "$dir" -G Ninja -DNIMBEL_WERROR=ON "$@" >/dev/null
  ninja -C "$dir" -j "$jobs"
  echo "== $dir: tests"
  ctest --test-dir "$dir" -j "$jobs" --output-on-failure --timeout 300
}

build_and_test build
build_and_test build-asan -DNIMBEL_SANITIZE=ON

echo "== fuzzers, ${fuzz_seconds} s each"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DNIMBEL_WERROR=ON -DNIMBEL_FUZZ=ON -DNIMBEL_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build-fuzz -j "$jobs" fuzzers
for fuzzer in build-fuzz/bin/fuzz_*; do
  name=$(basename "$fuzzer"); name=${name#fuzz_}
  work=$(mktemp -d)
  mkdir "$work/corpus"
  cp -r "fuzz/corpus/$name/." "$work/corpus/" 2>/dev/null || true
  echo "-- $name"
  if ! "$fuzzer" "$work/corpus" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -timeout=10 \
       -artifact_prefix="$work/" -print_final_stats=1 >"$work/log" 2>&1; then
    tail -n 60 "$work/log"
    echo "fuzzer $name found a failure"
    exit 1
  fi
  grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units)' "$work/log" || true
  rm -rf "$work"
done
echo "all tests passed"
