#!/usr/bin/env bash
# The interpreter's benchmarks beside lua5.4 running the same programs:
# a 10-million-step sum on locals, a recursive fib(27) and 100000 string appends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build/release"}
"$build/bench/quillstep_bench" --benchmark_filter='BM_VM_' --benchmark_format=console
command -v lua5.4 >/dev/null || { echo "lua5.4 is not installed"; exit 0; }
time_lua() {
  local start end
  start=$(date +%s%N)
  lua5.4 -e "$1" >/dev/null
  end=$(date +%s%N)
  echo "lua5.4 $2: $(( (end - start) / 1000000 )) ms"
}
time_lua 'local s, i = 0, 0 while i < 10000000 do s = s + i i = i + 1 end print(s)' "sum loop 10M"
time_lua 'local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end print(fib(27))' "fib(27)"
time_lua 'local s, i = "", 0 while i < 100000 do s = s .. "x" i = i + 1 end print(#s)' "concat 100k"
