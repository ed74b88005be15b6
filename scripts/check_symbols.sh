#!/usr/bin/env bash
# Fails when two objects of the engine's libraries define the same symbol: the
# linker would otherwise take whichever object it meets first.
#   check_symbols.sh <library.a>...
set -euo pipefail
dups=$(nm -C --defined-only "$@" 2>/dev/null | awk '
  /^[^ ]+\.o:$/ { obj = $1; next }
  $2 ~ /^[TDBR]$/ {
    sym = $0; sub(/^[0-9a-f]+ [A-Za-z] /, "", sym)
    if (sym ~ /__odr_asan|_GLOBAL__|\.cold|^guard variable|^vtable|^typeinfo/) next
    if (!((sym, obj) in seen)) { seen[sym, obj] = 1; count[sym]++; where[sym] = where[sym] " " obj }
  }
  END { for (s in count) if (count[s] > 1) print s ":" where[s] }')
if [ -n "$dups" ]; then
  echo "Symbols defined in more than one object of the engine:" >&2
  echo "$dups" >&2
  exit 1
fi
