#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (build/fuzz) and runs
# each for a bounded number of runs on its seed corpus; any crash, leak or
# sanitizer report fails.   QS_FUZZ_RUNS=n overrides the number of runs,
# QS_FUZZ_SECONDS=s the time limit of each target (60 s).
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
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for src in "$root"/tests/fuzz/*_fuzz.cpp; do
  name=$(basename "$src" _fuzz.cpp)
  corpus="$build/corpus/$name"
  rm -rf "$corpus" && mkdir -p "$corpus"
  if [ -x "$build/tests/fuzz/${name}_seeds" ]; then "$build/tests/fuzz/${name}_seeds" "$corpus"; fi
  echo "fuzz ${name}: $runs runs"
  "$build/tests/fuzz/${name}_fuzz" -runs="$runs" -max_total_time="${QS_FUZZ_SECONDS:-60}" -max_len=65536 -timeout=10 \
    -artifact_prefix="$build/" -print_final_stats=0 "$corpus" 2>"$build/${name}_fuzz.log" \
    || { tail -50 "$build/${name}_fuzz.log"; exit 1; }
done
