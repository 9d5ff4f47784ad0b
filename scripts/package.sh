#!/usr/bin/env bash
# Builds what a person downloads, into build/packages/: the Debian package (from the release
# build, through CPack), the Windows zip (co2sim.exe stripped, LEEME.txt, LICENSE.txt) and,
# once the web build exists, the static site with the licence as a tar.gz. Prints each file's
# name and size.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
out="$root/build/packages"
started=$(date +%s)

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target co2sim
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/release/CMakeCache.txt)
[[ -n "$version" ]] || { echo "package: no project version in build/release" >&2; exit 1; }
rm -rf "$out"
mkdir -p "$out"

# Debian package. CPack installs what the release tree has built: the program and the files
# configured beside it; nothing else needs building.
cpack --config build/release/CPackConfig.cmake -G DEB -B build/release/cpack >/dev/null
mv "build/release/cpack/co2sim_${version}_amd64.deb" "$out/"

# Windows zip: the program and its read-me at the top level, as a double-click expects.
scripts/windows-build.sh co2sim
stage=$(mktemp -d "$root/build/packages-stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT
cp build/windows/co2sim.exe build/release/packaging/LEEME.txt "$stage/"
x86_64-w64-mingw32-strip "$stage/co2sim.exe"
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
(cd "$stage" && zip -q -X -9 "$out/co2sim-${version}-windows.zip" co2sim.exe LEEME.txt LICENSE.txt)

# Web site: built by scripts/web-build.sh into build/web/site/, archived under one folder.
if [[ -f scripts/web-build.sh ]]; then
  bash scripts/web-build.sh
  [[ -f build/web/site/index.html ]] || { echo "package: build/web/site/index.html missing" >&2; exit 1; }
  tar -C build/web --owner=0 --group=0 --numeric-owner --sort=name --mode=u+rwX,go+rX,go-w \
      --transform "s,^site,co2sim-${version}-web,;s,^LICENSE,co2sim-${version}-web/LICENSE," \
      -czf "$out/co2sim-${version}-web.tar.gz" site -C "$root" LICENSE
else
  echo "package: no web build here (scripts/web-build.sh missing); no web archive"
fi

echo "Packages of co2sim ${version} in build/packages ($(( $(date +%s) - started )) s):"
for f in "$out"/*; do
  printf '  %-36s %9d bytes\n' "$(basename "$f")" "$(stat -c %s "$f")"
done
