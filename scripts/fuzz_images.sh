#!/usr/bin/env bash
# Fuzzes the image decoders and the bitmap-file reader for a bounded number of
# runs: ./scripts/fuzz_images.sh   (QS_FUZZ_RUNS overrides the 20000 runs)
# The engine is built with clang and sanitizer coverage in build/fuzz-images;
# the seed corpus is written fresh by our own encoders on every run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz-images
runs=${QS_FUZZ_RUNS:-20000}
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

export CCACHE_DIR=${CCACHE_DIR:-$root/.ccache}
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQS_BUILD_TESTS=OFF -DQS_BUILD_BENCH=OFF -DQS_SANITIZE=OFF \
  -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$build" -j"${QS_JOBS:-$(nproc)}" --target quillstep_engine

libs="-lpng -ljpeg -lgif -lz -lpthread -ldl"
clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root/src" -I"$root/tests" "$root/tests/fuzz/fuzz_images.cpp" "$build/libquillstep_engine.a" $libs \
  -o "$build/fuzz_images"
clang++ -std=c++20 -g -O1 -I"$root/tests" "$root/tests/fuzz/fuzz_images_seeds.cpp" \
  "$root/tests/support/ImageFixtures.cpp" $libs -o "$build/fuzz_images_seeds"

corpus=$build/corpus
rm -rf "$corpus"
mkdir -p "$corpus"
"$build/fuzz_images_seeds" "$corpus"
cd "$build"
ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=1} \
  "$build/fuzz_images" -runs="$runs" -max_len=8192 -timeout=20 -rss_limit_mb=2560 -seed=1 \
  -print_final_stats=1 "$corpus"
