#!/usr/bin/env bash
# package.sh - makes the Debian package with CPack from the build tree and checks what it holds:
# the programs, the whole Pascal runtime with its packages, the man page, the documentation, the
# examples and the CMake package, dependencies from the linked libraries, and nothing else.
# Usage: package.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$(cd "$1" && pwd)
build_dir=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work" >/dev/null
deb=$(ls "$work"/*.deb)
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' | grep -v '/$' | sort >"$work/files"

expect() {
  grep -qx "$1" "$work/files" || { echo "package: $(basename "$deb") lacks $1"; exit 1; }
}
expect /usr/bin/kiv
[[ -f "$build_dir/workbench/kiv-workbench" ]] && expect /usr/bin/kiv-workbench
for unit in "$source_dir"/runtime/pascal/*.pas; do expect "/usr/share/kiv/runtime/pascal/$(basename "$unit")"; done
expect /usr/share/kiv/runtime/pascal/kivruntime.lpk
expect /usr/share/kiv/runtime/pascal/fpmake.pp
expect /usr/share/man/man1/kiv.1
expect /usr/share/doc/kiv/tutorial.md
expect /usr/share/doc/kiv/LICENSE
expect /usr/share/kiv/examples/calc/calc.kvp
expect /usr/share/kiv/examples/json/json.kvp
expect /usr/lib/cmake/kiv/kivConfig.cmake
# Nothing of the build tree or of generated example output.
if grep -E '\.(o|a|ppu)$|/out/|CMakeFiles' "$work/files"; then
  echo "package: it holds files that are not meant to be installed"
  exit 1
fi
depends=$(dpkg-deb -f "$deb" Depends)
[[ "$depends" == *libc6* && "$depends" == *libstdc++6* ]] ||
  { echo "package: Depends is '$depends'"; exit 1; }
echo "package: OK ($(basename "$deb"), $(wc -l <"$work/files") files; Depends: $depends)"
