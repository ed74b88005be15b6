#!/usr/bin/env bash
# Fails, naming file and line, when a source file of src/ includes a layer
# that its own layer does not declare, when a layer's declaration uses a layer
# declared after it (the graph would have a cycle) or one that does not exist,
# when a folder of src/ is not declared, and when a file outside src/Host/
# includes a host-system header. Declarations are the qs_layer lines of the
# top-level CMakeLists.txt (bottom first) and its QS_MAIN_USES for src/Main.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# Headers of the host system: only src/Host/ may include them.
host_headers='^(SDL2?/|curl/|EGL/|GL/|GLES[0-9]*/|KHR/|sys/|unistd\.h|fcntl\.h|dirent\.h|dlfcn\.h|pthread\.h|signal\.h|poll\.h|netdb\.h|netinet/|arpa/|spawn\.h|termios\.h|pwd\.h|sched\.h|semaphore\.h|linux/|X11/|wayland)'
folders=$(find src -mindepth 1 -maxdepth 1 -type d -printf '%f\n' | sort)
includes() {
  grep -rn -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' src game tools \
    --include='*.h' --include='*.cpp' --include='*.c' || true
}
awk -v host="$host_headers" -v folders="$folders" '
  function fail(msg) { print msg > "/dev/stderr"; bad = 1 }
  # The includes, one "file:line:text" each, after the declarations.
  FILENAME != "CMakeLists.txt" { rows[++count] = $0; next }
  # qs_layer(Name "Uses ..." "purpose")
  /^qs_layer\(/ {
    line = $0; sub(/^qs_layer\([[:space:]]*/, "", line)
    name = line; sub(/[[:space:]].*/, "", name)
    split(line, q, "\"")
    declare(name, q[2], FNR)
    next
  }
  /^set\(QS_MAIN_USES / {
    line = $0; sub(/^set\(QS_MAIN_USES[[:space:]]*/, "", line); sub(/\).*/, "", line)
    declare("Main", line, FNR)
  }
  function declare(name, uses, at,    n, list, i) {
    if (name in where) fail("CMakeLists.txt:" at ": layer " name " is declared twice")
    where[name] = at
    n = split(uses, list, /[[:space:]]+/)
    for (i = 1; i <= n; ++i) {
      if (list[i] == "") continue
      if (list[i] == name) fail("CMakeLists.txt:" at ": layer " name " uses itself")
      else if (!(list[i] in where)) {
        if (list[i] in isFolder) fail("CMakeLists.txt:" at ": layer " name " uses " list[i] ", declared after it: the layers would form a cycle")
        else fail("CMakeLists.txt:" at ": layer " name " uses " list[i] ", which is no folder of src/")
      }
      allowed[name, list[i]] = 1
      used[name, list[i]] = 0
    }
  }
  BEGIN {
    n = split(folders, f, "\n")
    for (i = 1; i <= n; ++i) isFolder[f[i]] = 1
  }
  END {
    for (folder in isFolder)
      if (!(folder in where)) fail("src/" folder ": the folder is not declared with qs_layer in CMakeLists.txt")
    for (i = 1; i <= count; ++i) {
      row = rows[i]
      if (row == "") continue
      file = row; sub(/:.*/, "", file)
      rest = substr(row, length(file) + 2)
      at = rest; sub(/:.*/, "", at)
      text = substr(rest, length(at) + 2)
      target = text; sub(/^[[:space:]]*#[[:space:]]*include[[:space:]]*/, "", target)
      angle = substr(target, 1, 1) == "<"
      target = substr(target, 2); sub(/[">].*/, "", target)
      split(file, parts, "/")
      own = parts[1] == "src" ? parts[2] : ""
      if (angle) {
        if (own != "Host" && target ~ host) fail(file ":" at ": host header <" target "> outside src/Host/")
        continue
      }
      if (own == "" || target !~ /\//) continue
      layer = target; sub(/\/.*/, "", layer)
      if (!(layer in isFolder) || layer == own) continue
      if ((own, layer) in allowed) { used[own, layer] = 1; continue }
      fail(file ":" at ": includes \"" target "\", but src/" own " does not declare " layer " (CMakeLists.txt:" where[own] ")")
    }
    for (key in used) if (!used[key]) {
      split(key, pair, SUBSEP)
      fail("CMakeLists.txt:" where[pair[1]] ": layer " pair[1] " declares " pair[2] " but includes nothing from it")
    }
    if (bad) print "Layer check failed: see the lines above." > "/dev/stderr"
    exit bad
  }
' CMakeLists.txt <(includes)
