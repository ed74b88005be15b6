#!/usr/bin/env bash
# Set up, build and run the runner: ./run.sh [runner options]
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/scripts/setup.sh" build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQS_BUILD_TESTS=OFF -DQS_BUILD_BENCH=OFF >&2
exec "$root/build/release/quillstep" "$@"
