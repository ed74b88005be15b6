#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (build/fuzz) and runs
# each for a bounded number of runs on its seed corpus; any crash, leak or
# sanitizer report fails.   QS_FUZZ_RUNS=n overrides the number of runs,
# QS_FUZZ_SECONDS=s the time limit of each target (30 s).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"
runs=${QS_FUZZ_RUNS:-100000}
export CCACHE_DIR=${CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/quillstep-ccache}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DQS_FUZZ=ON -DQS_BUILD_TESTS=OFF -DQS_BUILD_BENCH=OFF >/dev/null
targets=()
for src in "$root"/tests/fuzz/*_fuzz.cpp "$root"/tests/fuzz/*_seeds.cpp; do
  [ -e "$src" ] && targets+=("$(basename "$src" .cpp)")
done
cmake --build "$build" -j"${QS_JOBS:-$(nproc)}" --target "${targets[@]}" >"$build/build.log" 2>&1 \
  || { tail -50 "$build/build.log"; exit 1; }
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$root/tests/fuzz/leaks.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Each target runs on one core; as many run at once as there are cores, so
# the wall time shrinks with the machine while every target gets its time.
# Inputs of the image decoders stay small: a decode takes time in proportion
# to its pixels, and a flat image packs thousands of pixels into a byte (a
# PNG up to some 8,000), so a large input can be a real image that takes the
# sanitized build seconds. Its millions of pixels teach the fuzzer nothing a
# small image does not.
max_len_of() {
  case $1 in
    Images) echo 2048 ;;
    *) echo 65536 ;;
  esac
}
fuzz_one() {
  local name=$1 corpus="$build/corpus/$1" seconds=${QS_FUZZ_SECONDS:-30}
  rm -rf "$corpus" && mkdir -p "$corpus"
  if [ -x "$build/tests/fuzz/${name}_seeds" ]; then timeout 300 "$build/tests/fuzz/${name}_seeds" "$corpus"; fi
  # The fuzzer's own limits end it; the outer one only if it hangs itself.
  if timeout --kill-after=10 $((seconds + 300)) "$build/tests/fuzz/${name}_fuzz" -runs="$runs" \
      -max_total_time="$seconds" -max_len="$(max_len_of "$name")" -timeout=10 \
      -artifact_prefix="$build/${name}-" -print_final_stats=0 "$corpus" 2>"$build/${name}_fuzz.log"; then
    echo "fuzz ${name}: passed"
  else
    tail -50 "$build/${name}_fuzz.log"
    echo "fuzz ${name}: FAILED (log: $build/${name}_fuzz.log)"
    return 1
  fi
}
export -f fuzz_one max_len_of
export build runs
echo "fuzz: $runs runs or ${QS_FUZZ_SECONDS:-30} s per target, ${QS_JOBS:-$(nproc)} at once"
for src in "$root"/tests/fuzz/*_fuzz.cpp; do basename "$src" _fuzz.cpp; done \
  | xargs -P "${QS_JOBS:-$(nproc)}" -I{} bash -c 'fuzz_one {}'
