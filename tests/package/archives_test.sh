#!/usr/bin/env bash
# Tests the release archives in dist/ (made by scripts/package) as a user would use them: each is
# unpacked into an empty folder, must hold exactly the files a release holds, and its own host
# program (under Wine for Windows, in the Wine configuration of the matching build) must load the
# unpacked plug-in, report the project's version and convert examples/box.obj into the document
# every build writes.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
version=$(sed -n 's/^project(mevrix VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
golden=$root/tests/data/collada/golden/box_polylist_normals.dae

# archive (after mevrix-VERSION-) | plug-in | host program | build whose Wine runs it, - for none
archives=(
  "linux-x86_64.tar.gz  lib/libmevrix.so  bin/mevrix      -"
  "windows-x64.zip      bin/mevrix.dll    bin/mevrix.exe  windows"
  "windows-x86.zip      bin/mevrix.dll    bin/mevrix.exe  windows32"
)
shared_files="INSTALL.txt include/mevrix/exports.h share/doc/mevrix/LICENSE share/doc/mevrix/README.md"

# Runs a program of the archive: natively, or under the Wine of build/PRESET.
run() {
  local preset=$1
  shift
  if [ "$preset" = - ]; then
    "$@"
    return
  fi
  local cache=$root/build/$preset/CMakeCache.txt
  cmake --build "$root/build/$preset" --target wine_prefix >/dev/null
  WINEPREFIX=$root/build/$preset/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= \
    MEVRIX_WINE=$(sed -n 's/^MEVRIX_WINE:FILEPATH=//p' "$cache") \
    MEVRIX_WINESERVER=$(sed -n 's/^MEVRIX_WINESERVER:FILEPATH=//p' "$cache") \
    sh "$root/cmake/wine-run.sh" "$@"
}

fault() {
  echo "FAILED $archive: $*" >&2
  ok=false
}

passed=0
failed=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for row in "${archives[@]}"; do
  read -r suffix plugin host preset <<<"$row"
  archive=mevrix-$version-$suffix
  top=${archive%.zip}
  top=${top%.tar.gz}
  ok=true
  unpacked=$scratch/$top/unpacked
  work=$scratch/$top/work
  mkdir -p "$unpacked" "$work"
  if [ ! -f "dist/$archive" ]; then
    fault "missing from dist/ (run scripts/package)"
  else
    (cd "$unpacked" && cmake -E tar xf "$root/dist/$archive")
    expected=$(printf '%s\n' $shared_files "$plugin" "$host" | sed "s|^|$top/|" | sort)
    actual=$(cd "$unpacked" && find . -type f -o -type l | sed 's|^\./||' | sort)
    [ "$actual" = "$expected" ] || fault "holds $(echo $actual), not $(echo $expected)"

    cp examples/box.obj "$work/"
    output=$(cd "$work" && run "$preset" "../unpacked/$top/$host" --lib "../unpacked/$top/$plugin" \
      --stop-on-error Version + setDate 2026-12-07T00:00:00Z + setTxrName box_skin \
      + writeCollada box.obj 2 box.dae 2>&1 | tr -d '\r') || fault "the host program failed: $output"
    expected_output=$(printf 'Version: %s\nsetDate: 0\nsetTxrName: 0\nwriteCollada: 0' "$version")
    [ "$output" = "$expected_output" ] || fault "the host program printed: $output"
    if [ ! -f "$work/box.dae" ] || ! tr -d '\r' <"$work/box.dae" | cmp -s - "$golden"; then
      fault "box.dae is not the document every build writes"
    fi
  fi
  if $ok; then
    echo "passed: $archive"
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
  fi
done
echo "archives: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
