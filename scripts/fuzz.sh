#!/usr/bin/env bash
# Runs every fuzz target (tests/fuzz) for the given number of seconds (default 180) with the
# address and undefined-behaviour sanitizers, two at a time. Installs clang and its fuzzer
# runtimes when missing and builds into ./build-fuzz (or $FUZZ_BUILD_DIR). New inputs go to
# build-fuzz/corpus/<target>/, seeded from the inputs kept in tests/fuzz/<target>/; a failing
# input is written to build-fuzz/crashes/<target>/: keep it under tests/fuzz/<target>/ once fixed.
# Usage: scripts/fuzz.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-180}
shift || true
BUILD_DIR=${FUZZ_BUILD_DIR:-build-fuzz}
JOBS=${FUZZ_JOBS:-2}

packages=(clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(header_text file_names saved_file_naming folder_history result_page file_type registry)
fi

CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELDORA_FUZZ=ON >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" --target "${targets[@]/#/fuzz_}" >/dev/null

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1:malloc_context_size=2}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen

run() {
  local t=$1
  local corpus="$BUILD_DIR/corpus/$t" crashes="$BUILD_DIR/crashes/$t" log="$BUILD_DIR/fuzz-$t.log"
  mkdir -p "$corpus" "$crashes"
  # Inputs stay small so the fuzzer spends its time on variety; the history reader needs room
  # for a line longer than the 32 KiB limit.
  local max_len=4096
  [ "$t" = folder_history ] && max_len=40000
  [ "$t" = result_page ] && max_len=1500 # 500 elements, the plain walk (cubic) up to 150
  local seeds=()
  [ -d "tests/fuzz/$t" ] && seeds=("tests/fuzz/$t")
  set +e
  "$BUILD_DIR/tests/fuzz/fuzz_$t" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 \
    -rss_limit_mb=4096 -max_len="$max_len" -print_final_stats=1 -artifact_prefix="$crashes/" \
    "$corpus" "${seeds[@]}" >"$log" 2>&1
  local rc=$?
  set -e
  local execs
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  local reports
  reports=$(grep -c -E 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:|property failed' "$log" || true)
  printf '%-18s exit %d  executions %s  reports %s  crash files %d  (log %s)\n' "$t" "$rc" "$execs" \
    "$reports" "$(find "$crashes" -type f | wc -l)" "$log"
  [ "$rc" -eq 0 ]
}

status=0
pids=()
for t in "${targets[@]}"; do
  run "$t" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$JOBS" ]; then
    wait "${pids[0]}" || status=1
    pids=("${pids[@]:1}")
  fi
done
for p in "${pids[@]}"; do wait "$p" || status=1; done
exit $status
