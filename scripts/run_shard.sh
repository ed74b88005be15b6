#!/usr/bin/env bash
# Runs one shard of a test binary in one process, in the order that
# GTEST_SHUFFLE and GTEST_RANDOM_SEED give, and keeps its output so that
# test.sh can count the tests.   run_shard.sh <binary> <index> <shards> <log>
# The shard's tests are those of the filter that test.sh planned beside the
# log (plan/<binary>_<index>.filter), else every shards-th test. A shard that
# runs longer than QS_SHARD_SECONDS (600) is stopped, naming the test it was in.
set -uo pipefail
binary=$1 index=$2 shards=$3 log=$4
limit=${QS_SHARD_SECONDS:-600}
mkdir -p "$(dirname "$log")"
filter="$(dirname "$log")/plan/$(basename "$binary")_$index.filter"
if [ -f "$filter" ]; then
  GTEST_FILTER=$(cat "$filter") timeout --kill-after=10 "$limit" "$binary" >"$log" 2>&1
else
  GTEST_TOTAL_SHARDS=$shards GTEST_SHARD_INDEX=$index timeout --kill-after=10 "$limit" "$binary" >"$log" 2>&1
fi
status=$?
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
  echo "shard stopped after ${limit} s in: $(grep -E '^\[ RUN      \]' "$log" | tail -1)" >>"$log"
fi
cat "$log"
exit "$status"
