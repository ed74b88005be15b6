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
# The unit-test binaries run as shards side by side (CTest label "shard"),
# each shard one process with its tests in a shuffled order, so that a test
# that depends on what another one left behind fails. The order is fixed so
# that a run is repeatable; QS_TEST_SEED=n tries another.
seed=${QS_TEST_SEED:-1}
export GTEST_SHUFFLE=1 GTEST_RANDOM_SEED=$seed
echo "unit tests in shards, shuffled with seed $seed (QS_TEST_SEED=$seed repeats it)"
rm -rf tests/shards
# Shards of about equal time: from this tree's last run where there is one,
# else from the times kept in the repository.
for binary in quillstep_tests quillstep_demo_tests; do
  shards=$(grep -c "add_test(\[=\[${binary}_shard_" tests/CTestTestfile.cmake)
  "$root/scripts/plan_shards.sh" "tests/$binary" "$shards" "tests/shards/plan/$binary" \
    "$root/tests/test_times.txt" tests/test_times.txt
done
ctest -L shard --output-on-failure -j"${QS_JOBS:-$(nproc)}" "$@" | tee ctest.log || status=1
# Counted from the shards' own summaries; a shard that ended without one
# (a crash) counts as one failed test.
passed=0
failed=0
for log in tests/shards/*.log; do
  p=$(sed -nE 's/^\[  PASSED  \] ([0-9]+) tests?\.$/\1/p' "$log" | tail -1)
  f=$(sed -nE 's/^\[  FAILED  \] ([0-9]+) tests?, listed below:$/\1/p' "$log" | tail -1)
  if [ -z "$p" ] && [ -z "$f" ]; then
    failed=$((failed + 1))
    echo "$log ended without a summary; the last test it started: $(grep -E '^\[ RUN      \]' "$log" | tail -1)"
  fi
  passed=$((passed + ${p:-0}))
  failed=$((failed + ${f:-0}))
done
# Each test's time, for the next run's shards.
sed -nE 's/^\[ +(OK|FAILED) +\] ([^ ]+) \(([0-9]+) ms\)$/\2 \3/p' tests/shards/*.log >tests/test_times.txt
# Bounded fuzz runs of the decoders and loaders.
# A failed fuzz run counts as a failed test.
for fuzz in "$root"/scripts/fuzz*.sh; do
  if [ -x "$fuzz" ] && ! "$fuzz"; then
    failed=$((failed + 1))
    status=1
  fi
done
# One closing line for the whole run.
echo "tests: $passed passed, $failed failed"
exit "$status"
