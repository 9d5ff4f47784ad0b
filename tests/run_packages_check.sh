#!/usr/bin/env bash
# Runs scripts/run.sh with the package tools faked (every package reported missing, apt-get
# recording what it is asked for and then failing, which ends the script) and checks that it
# asks for the packages of packages-run.txt and for none that only the tests need.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT
mkdir "$fake/bin"
cat >"$fake/bin/dpkg-query" <<'FAKE'
#!/bin/sh
exit 1
FAKE
cat >"$fake/bin/apt-get" <<FAKE
#!/bin/sh
# Only the install is recorded (after the options and the word "install"); update passes.
case " \$* " in *" install "*) ;; *) exit 0 ;; esac
while [ "\$1" != install ]; do shift; done
shift
echo "\$@" >"$fake/asked"
exit 1
FAKE
cat >"$fake/bin/sudo" <<'FAKE'
#!/bin/sh
exec "$@"
FAKE
chmod +x "$fake/bin/"*
if PATH="$fake/bin:$PATH" bash "$root/scripts/run.sh" >"$fake/out" 2>&1; then
  echo "run.sh went on although the installation failed"; exit 1
fi
[ -f "$fake/asked" ] || { echo "run.sh asked for no package:"; cat "$fake/out"; exit 1; }
packages() { grep -v '^#' "$1" | grep -v '^$' | sort; }
asked=$(tr ' ' '\n' <"$fake/asked" | grep -v '^-' | sort)
status=0
if [ "$asked" != "$(packages "$root/scripts/packages-run.txt")" ]; then
  echo "run.sh asked for: $(echo $asked)"; echo "expected: $(echo $(packages "$root/scripts/packages-run.txt"))"
  status=1
fi
for pkg in $asked; do
  if packages "$root/scripts/packages-test.txt" | grep -qxF "$pkg"; then
    echo "run.sh asked for the test-only package $pkg"; status=1
  fi
done
[ "$status" -eq 0 ] && echo "run.sh asks for $(echo $asked) only"
exit "$status"
