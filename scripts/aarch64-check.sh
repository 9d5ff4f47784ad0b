#!/usr/bin/env bash
# The 64-bit ARM build: cross-builds it (preset aarch64), runs its unit tests under
# qemu-user, and compares its snapshot driver's output with the native build's for a set of
# runs of the simulator and a drawing of clipped lines: cell text byte for byte, PNGs pixel
# for pixel.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

start=$SECONDS
cmake --preset aarch64 >/dev/null
cmake --build --preset aarch64
echo "aarch64 build: $((SECONDS - start)) s"

start=$SECONDS
ctest --preset aarch64 -j2
echo "aarch64 unit tests under qemu: $((SECONDS - start)) s"

# The native side: the debug build's tools (built by scripts/test.sh; a no-op then).
cmake --preset debug >/dev/null
cmake --build --preset debug --target co2sim-snapshot co2sim-line-shot

out=build/aarch64-compare
rm -rf "${out}"
mkdir -p "${out}/native" "${out}/aarch64"
native=build/debug/tools
cross=build/aarch64/tools
emulator=scripts/qemu-aarch64.sh

# NAME FROM TO PERCENT: one run to its end-of-run wait, then the space bar.
runs=()
for range in "2 3" "27 28" "10 20"; do
  for percent in 1 12.75 33.3 99.9; do
    read -r from to <<<"${range}"
    runs+=("${from}-${to}-at-${percent} ${from} ${to} ${percent}")
  done
done
runs+=("2-58-at-50 2 58 50")

compare_png() {
  # Pixel for pixel: the decoded pixels, not the bytes of the files.
  local difference
  difference=$(compare -metric AE "$1" "$2" null: 2>&1) || true
  if [ "${difference%% *}" != "0" ]; then
    echo "   PNG differs: ${difference} pixels ($1, $2)"
    return 1
  fi
}

status=0
start=$SECONDS
for run in "${runs[@]}"; do
  read -r name from to percent <<<"${run}"
  args=("type:${from}\r${to}\r${percent}\r" wait:end)
  for side in native aarch64; do
    dir="${out}/${side}"
    if [ "${side}" = native ]; then tool=("${native}/co2sim-snapshot"); else tool=("${emulator}" "${cross}/co2sim-snapshot"); fi
    "${tool[@]}" "${args[@]}" "shot:${dir}/${name}.png" "cells:${dir}/${name}.txt" key:Space \
      >"${dir}/${name}.summary"
  done
  if cmp -s "${out}/native/${name}.txt" "${out}/aarch64/${name}.txt" &&
     cmp -s "${out}/native/${name}.summary" "${out}/aarch64/${name}.summary" &&
     compare_png "${out}/native/${name}.png" "${out}/aarch64/${name}.png"; then
    echo "   same: ${name} ($(cat "${out}/native/${name}.summary"))"
  else
    echo "   DIFFERENT: ${name}"
    status=1
  fi
done

"${native}/co2sim-line-shot" 3000 "${out}/native/lines.png"
"${emulator}" "${cross}/co2sim-line-shot" 3000 "${out}/aarch64/lines.png"
if compare_png "${out}/native/lines.png" "${out}/aarch64/lines.png"; then
  echo "   same: 3000 clipped lines"
else
  echo "   DIFFERENT: clipped lines"
  status=1
fi
echo "snapshot comparison: $((SECONDS - start)) s"
exit "${status}"
