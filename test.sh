#!/usr/bin/env bash
# Set up, build and run every test under AddressSanitizer and UBSan: ./test.sh
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/setup.sh" build/asan -DCMAKE_BUILD_TYPE=Debug -DQS_SANITIZE=ON
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ALSOFT_DRIVERS=null
# llvmpipe draws on the calling thread: its worker threads can make the leak
# checker's stop-the-world tracer crash at process exit.
export LP_NUM_THREADS=0
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"$root/scripts/check_layers.sh"
mapfile -t archives < "$root/build/asan/engine_archives.txt"
"$root/scripts/check_symbols.sh" "${archives[@]}"
cd "$root/build/asan"
status=0
ctest --output-on-failure -j"${QS_JOBS:-$(nproc)}" "$@" | tee ctest.log || status=1
summary=$(grep -E "tests passed, [0-9]+ tests failed out of [0-9]+" ctest.log | tail -1)
# CTest gives every test a process of its own; each unit-test binary also runs
# once with all its tests in one process, in a shuffled order, so that a test
# that depends on what another one left behind fails. The order is fixed so
# that a run is repeatable; QS_TEST_SEED=n tries another.
seed=${QS_TEST_SEED:-1}
shuffled_failed=0
for binary in quillstep_tests quillstep_demo_tests; do
  log="$root/build/asan/$binary-shuffled.log"
  echo "$binary in one process, shuffled with seed $seed (QS_TEST_SEED=$seed repeats it)"
  if ! (cd tests && "./$binary" --gtest_shuffle --gtest_random_seed="$seed") >"$log" 2>&1; then
    grep -E "^\[  FAILED  \] .*\(" "$log" || tail -30 "$log"
    echo "$binary failed in one shuffled process (seed $seed); its output is in $log"
    shuffled_failed=$((shuffled_failed + 1))
    status=1
  fi
done
# Bounded fuzz runs of the decoders and loaders.
for fuzz in "$root"/scripts/fuzz*.sh; do
  if [ -x "$fuzz" ]; then "$fuzz"; fi
done
# One closing line for the whole run; a failed shuffled run counts as a failed test.
total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$summary")
failed=$(sed -E 's/.*, ([0-9]+) tests failed.*/\1/' <<<"$summary")
echo "tests: $((total - failed)) passed, $((failed + shuffled_failed)) failed"
exit "$status"
