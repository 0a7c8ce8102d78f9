#!/usr/bin/env bash
# Builds the libFuzzer targets of the file loaders with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer and runs each for SECONDS on its seed corpus and dictionary. Fails
# on any finding (crash, leak, undefined behaviour, broken promise, time-out, memory blow-up);
# the input that found it is kept in BUILD_DIR/fuzz-findings. Where clang or its libFuzzer
# runtime is missing it says "skipped" and runs nothing.
# Usage: tests/fuzz/run.sh BUILD_DIR [SECONDS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
build=${1:?usage: run.sh BUILD_DIR [SECONDS]}
seconds=${2:-60}
jobs=$(nproc 2>/dev/null || echo 2)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cxx=""
for c in clang++ clang++-14; do
  if command -v "$c" >/dev/null; then cxx=$(command -v "$c"); break; fi
done
if [ -z "$cxx" ]; then
  echo "fuzz: skipped: no clang++ found (Debian: clang and libclang-rt-14-dev); no fuzz target ran"
  exit 0
fi
printf 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }\n' >"$work/probe.cpp"
if ! "$cxx" -fsanitize=fuzzer,address,undefined "$work/probe.cpp" -o "$work/probe" 2>"$work/probe.log"; then
  echo "fuzz: skipped: $cxx cannot link libFuzzer with the sanitizers (Debian: libclang-rt-14-dev); no fuzz target ran"
  sed 's/^/fuzz:   /' "$work/probe.log" | head -5
  exit 0
fi

cmake -S "$src" -B "$build" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DFLIKKA_SANITIZE=ON -DFLIKKA_FUZZ=ON -DFLIKKA_BENCH=OFF -DFLIKKA_E2E=OFF >/dev/null
cmake --build "$build" -j"$jobs" --target fuzz_targets

findings="$build/fuzz-findings"
mkdir -p "$findings"
names=()
for t in "$build"/*_fuzz; do
  [ -x "$t" ] && names+=("$(basename "$t" _fuzz)")
done
[ ${#names[@]} -gt 0 ] || { echo "fuzz: FAIL: no fuzz target was built"; exit 1; }

# One target a core at a time; each writes what it learns into a scratch copy of its corpus.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
running=0
for n in "${names[@]}"; do
  mkdir -p "$work/$n"
  dict=()
  [ -f "$here/$n.dict" ] && dict=(-dict="$here/$n.dict")
  seeds=()
  [ -d "$here/corpus/$n" ] && seeds=("$here/corpus/$n")
  (
    rc=0
    "$build/${n}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$findings/$n-" "${dict[@]}" "$work/$n" "${seeds[@]}" >"$work/$n.log" 2>&1 || rc=$?
    echo "$rc" >"$work/$n.rc"
  ) &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done

wait
failed=0
for n in "${names[@]}"; do
  rc=$(cat "$work/$n.rc" 2>/dev/null || echo "no status")
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$n.log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/$n.log")
  corpus=$(find "$work/$n" -type f | wc -l)
  if [ "$rc" != 0 ] || grep -qE "^(==[0-9]+==ERROR|SUMMARY: |.*runtime error:|broken promise)" "$work/$n.log"; then
    echo "fuzz: FAIL: $n (exit $rc); the finding is kept in $findings:"
    grep -E "ERROR|SUMMARY|runtime error|broken promise|Test unit written" "$work/$n.log" | head -20 | sed 's/^/fuzz:   /'
    failed=1
  else
    echo "fuzz: $n: ${runs:-?} inputs in ${seconds} s (${rate:-?} a second), $corpus new inputs kept, no finding"
  fi
done
exit "$failed"
