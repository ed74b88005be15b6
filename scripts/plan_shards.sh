#!/usr/bin/env bash
# Splits the tests of a test binary into shards of about equal running time:
# the longest test first, each into the shard with the least time so far.
# Times come from the given files ("<test> <ms>" lines; a later file wins);
# a test that none of them names counts as a short one.
#   plan_shards.sh <binary> <shards> <out-prefix> [times files...]
# writes <out-prefix>_<index>.filter, each a gtest filter of its tests.
set -euo pipefail
binary=$1 shards=$2 prefix=$3
shift 3
times=()
for f in "$@"; do [ -f "$f" ] && times+=("$f"); done
mkdir -p "$(dirname "$prefix")"
rm -f "$prefix"_*.filter
"$binary" --gtest_list_tests | awk '
  /^Running main/ { next }
  /^[^ ]/ { sub(/ *#.*/, ""); suite = $0; next }
  /^  / { sub(/^  /, ""); sub(/ *#.*/, ""); print suite $0 }
' | awk -v shards="$shards" -v prefix="$prefix" '
  FILENAME != "-" { ms[$1] = $2; next }
  { name[++n] = $1; t[n] = ($1 in ms) ? ms[$1] : 20 }
  END {
    # Longest first (a simple insertion sort: a few thousand names).
    for (i = 2; i <= n; ++i) {
      kn = name[i]; kt = t[i]
      for (j = i - 1; j >= 1 && t[j] < kt; --j) { name[j + 1] = name[j]; t[j + 1] = t[j] }
      name[j + 1] = kn; t[j + 1] = kt
    }
    for (s = 0; s < shards; ++s) { load[s] = 0; list[s] = "" }
    for (i = 1; i <= n; ++i) {
      best = 0
      for (s = 1; s < shards; ++s) if (load[s] < load[best]) best = s
      load[best] += t[i]
      list[best] = list[best] (list[best] == "" ? "" : ":") name[i]
    }
    # A shard left without tests runs none ("-*"; an empty filter means all).
    for (s = 0; s < shards; ++s) printf "%s\n", (list[s] == "" ? "-*" : list[s]) > (prefix "_" s ".filter")
  }
' "${times[@]}" -
