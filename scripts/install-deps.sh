#!/usr/bin/env bash
# Installs the Debian packages of scripts/packages.txt that are missing (apt-get update
# first, and only when something is missing).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
missing=()
while read -r pkg; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done < "$here/packages.txt"
# npm comes with some builds of node; Debian's nodejs needs its own npm package.
if ! command -v npm >/dev/null 2>&1; then
  missing+=(npm)
fi
if ((${#missing[@]})); then
  echo "Installing missing packages: ${missing[*]}"
  sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  # Another installation may hold the package manager's locks: wait for it (up to 10 min).
  lock=(-o DPkg::Lock::Timeout=600)
  $sudo apt-get "${lock[@]}" update -q
  $sudo apt-get "${lock[@]}" install -y -q --no-install-recommends "${missing[@]}"
fi
