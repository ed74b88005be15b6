#!/usr/bin/env bash
# Fails, naming file and line, when a source file includes a folder above its
# own layer or a host-system header outside src/Host/. The layer order is the
# QS_LAYERS list of the top-level CMakeLists.txt (bottom first).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
layers=$(sed -n '/^set(QS_LAYERS/,/)/p' "$root/CMakeLists.txt" | tr -d '()' | tr -s ' \n' '\n' | grep -v -e '^set$' -e '^QS_LAYERS$' -e '^$')
# Headers of the host system: only src/Host/ may include them.
host_headers='^(SDL2?/|curl/|EGL/|GL/|GLES[0-9]*/|KHR/|sys/|unistd\.h|fcntl\.h|dirent\.h|dlfcn\.h|pthread\.h|signal\.h|poll\.h|netdb\.h|netinet/|arpa/|spawn\.h|termios\.h|pwd\.h|sched\.h|semaphore\.h|linux/|X11/|wayland)'
status=0
rank() { awk -v want="$1" '$0 == want { print NR; found = 1 } END { if (!found) print 0 }' <<<"$layers"; }
declare -A level
i=0
for layer in $layers; do i=$((i + 1)); level[$layer]=$i; done
level[Main]=$((i + 1))  # process entry: above every layer
while IFS= read -r -d '' file; do
  rel=${file#"$root"/}
  folder=$(cut -d/ -f2 <<<"$rel")
  own=${level[$folder]:-}
  if [ -z "$own" ]; then
    echo "$rel: folder src/$folder is not in QS_LAYERS of CMakeLists.txt" >&2; status=1; continue
  fi
  while IFS=: read -r line text; do
    inc=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]([^">]+)[">].*/\1/' <<<"$text")
    if [[ $text =~ \<[^\>]+\> ]]; then
      if [ "$folder" != Host ] && [[ $inc =~ $host_headers ]]; then
        echo "$rel:$line: host header <$inc> outside src/Host/" >&2; status=1
      fi
      continue
    fi
    [[ $inc == */* ]] || continue
    target=${inc%%/*}
    other=${level[$target]:-}
    [ -z "$other" ] && continue
    if [ "$other" -gt "$own" ]; then
      echo "$rel:$line: includes \"$inc\" from src/$target, a layer above src/$folder" >&2; status=1
    fi
  done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(find "$root/src" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' \) -print0)
# Game modules and tools sit above the engine; only the host-header rule applies.
while IFS= read -r -d '' file; do
  rel=${file#"$root"/}
  while IFS=: read -r line text; do
    inc=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*<([^>]+)>.*/\1/' <<<"$text")
    if [[ $inc =~ $host_headers ]]; then echo "$rel:$line: host header <$inc> outside src/Host/" >&2; status=1; fi
  done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*<' "$file" || true)
done < <(find "$root/game" "$root/tools" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
[ $status -eq 0 ] || echo "Layer check failed: see the lines above." >&2
exit $status
