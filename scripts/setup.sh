#!/usr/bin/env bash
# Shared set-up of run.sh and test.sh: install missing Debian packages,
# then configure and build one build tree.
#   setup.sh <build-dir> <cmake options...>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1; shift

missing=()
while read -r pkg; do
  [ -z "$pkg" ] && continue
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done < "$root/scripts/packages.txt"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}" >&2
fi

# One compiler cache per machine, outside the clone, with paths taken relative
# to the clone: a fresh clone elsewhere (CI) reuses what an earlier build made.
export CCACHE_DIR=${CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/quillstep-ccache}
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
export CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-5G}
cmake -S "$root" -B "$root/$build" -G Ninja "$@" >/dev/null
# The build's own output goes to a log; it is shown only when the build fails.
log="$root/$build/build.log"
if ! cmake --build "$root/$build" -j"${QS_JOBS:-$(nproc)}" >"$log" 2>&1; then
  grep -E "error|Error" "$log" | head -40 >&2
  tail -30 "$log" >&2
  exit 1
fi
