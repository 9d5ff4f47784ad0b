#!/usr/bin/env bash
# Installs the Debian packages that are missing (apt-get update first, and only when something
# is missing). `install-deps.sh run` installs what building and running the program needs
# (packages-run.txt); without an argument, also what the tests, the cross builds, the page and
# the packages need (packages-test.txt, and npm for the browser tests).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
lists=("$here/packages-run.txt")
[[ "${1:-all}" == run ]] || lists+=("$here/packages-test.txt")
missing=()
while read -r pkg; do
  [[ -z "$pkg" || "$pkg" == \#* ]] && continue
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done < <(cat "${lists[@]}")
# npm comes with some builds of node; Debian's nodejs needs its own npm package.
if [[ "${1:-all}" != run ]] && ! command -v npm >/dev/null 2>&1; then
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
