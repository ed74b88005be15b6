#!/usr/bin/env bash
# Runs one shard of a test binary in one process, in the order that
# GTEST_SHUFFLE and GTEST_RANDOM_SEED give, and keeps its output so that
# test.sh can count the tests.   run_shard.sh <binary> <index> <shards> <log>
set -uo pipefail
binary=$1 index=$2 shards=$3 log=$4
mkdir -p "$(dirname "$log")"
GTEST_TOTAL_SHARDS=$shards GTEST_SHARD_INDEX=$index "$binary" >"$log" 2>&1
status=$?
cat "$log"
exit "$status"
