#!/usr/bin/env bash
# Checks the downloads scripts/package.sh leaves in a folder, the way each one's users and
# tools see them: the Debian package's fields, files, lintian report, metadata validators,
# manual pages and the installed program; the Windows zip's files, line ends and program
# under wine; the web archive's site. Everything started here is ended here, by its id.
# Usage: tests/package_check.sh PACKAGES_DIR VERSION
# CO2SIM_SNAPSHOT: the snapshot driver for the browser checks (default: the debug build's).
set -uo pipefail
dir=$(cd "$1" && pwd)
version=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/co2sim-package-check.XXXXXX)
WINEPREFIX=""
cleanup() {
  # The prefix's server is gone before its folder is removed.
  if [[ -n "$WINEPREFIX" && -d "$WINEPREFIX" ]]; then
    WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null
    WINEPREFIX="$WINEPREFIX" timeout 60 wineserver -w
  fi
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
unset QXGFX

# --- Debian package -------------------------------------------------------------------------
deb="$dir/co2sim_${version}_amd64.deb"
if [[ ! -f "$deb" ]]; then
  fail "no $(basename "$deb")"
else
  dpkg-deb -I "$deb" >"$work/info.txt" || fail "dpkg-deb -I cannot read the package"
  field() { sed -n "s/^ $1: //p" "$work/info.txt"; }
  [[ "$(field Package)" == co2sim ]] || fail "Package: $(field Package)"
  [[ "$(field Version)" == "$version" ]] || fail "Version: $(field Version), not $version"
  [[ "$(field Architecture)" == amd64 ]] || fail "Architecture: $(field Architecture)"
  # Nothing in the build lists dependencies: these come from the libraries the program links.
  depends=$(field Depends)
  for lib in libsdl2-2.0-0 libc6 libstdc++6; do
    [[ ", $depends" == *", $lib ("* ]] || fail "Depends lacks a versioned $lib: $depends"
  done

  # The files a desktop, man and the software centre look for, and no others.
  dpkg-deb -c "$deb" | awk '$NF !~ /\/$/ {print $NF}' | sort >"$work/files.txt"
  cat >"$work/expected.txt" <<LIST
./usr/bin/co2sim
./usr/share/applications/co2sim.desktop
./usr/share/doc/co2sim/changelog.gz
./usr/share/doc/co2sim/copyright
./usr/share/icons/hicolor/scalable/apps/co2sim.svg
./usr/share/man/es/man1/co2sim.1.gz
./usr/share/man/man1/co2sim.1.gz
LIST
  metainfo=$(grep -x './usr/share/metainfo/.*\.metainfo\.xml' "$work/files.txt")
  metainfo=${metainfo#.}
  [[ -n "$metainfo" ]] || fail "no AppStream metainfo file"
  diff <(grep -v '/metainfo/' "$work/files.txt") "$work/expected.txt" >"$work/files.diff" ||
    fail "package files differ from the expected list: $(cat "$work/files.diff")"

  # Installed into a scratch root, the program is the real one: with no display it says so
  # in one line and ends with status 0.
  dpkg-deb -x "$deb" "$work/root"
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$work/root/usr/bin/co2sim" </dev/null 2>/dev/null)
  status=$?
  [[ "$out" == "Error setting video mode!" ]] || fail "installed co2sim printed: $out"
  [[ $status == 0 ]] || fail "installed co2sim ended with status $status"
  file -b "$work/root/usr/bin/co2sim" | grep -q ', stripped' || fail "the program is not stripped"

  # The ecosystem's own checkers. Lintian may keep only the warnings listed (with their
  # reasons) in packaging/lintian-kept.txt; any other warning or error fails.
  kept=$(sed 's/#.*//' "$here/../packaging/lintian-kept.txt" | awk 'NF {print $1}' | paste -sd, -)
  lintian --fail-on error,warning ${kept:+--suppress-tags "$kept"} "$deb" >"$work/lintian.txt" 2>&1 ||
    fail "lintian: $(cat "$work/lintian.txt")"
  desktop-file-validate "$work/root/usr/share/applications/co2sim.desktop" ||
    fail "the desktop entry does not validate"
  appstreamcli validate --no-net "$work/root$metainfo" >"$work/appstream.txt" 2>&1 ||
    fail "appstreamcli: $(cat "$work/appstream.txt")"
  grep -q '<summary xml:lang="es">' "$work/root$metainfo" || fail "metainfo has no Spanish summary"
  grep -q "<release version=\"$version\"" "$work/root$metainfo" || fail "metainfo lacks release $version"
  grep -q '<image>https://' "$work/root$metainfo" || fail "metainfo has no screenshot"

  # Both manual pages render without a groff warning and say what they must.
  for page in man/man1 man/es/man1; do
    file="$work/root/usr/share/$page/co2sim.1.gz"
    text=$(LC_ALL=C.UTF-8 MANWIDTH=80 MAN_KEEP_STDERR=1 man --warnings -E UTF-8 -l "$file" 2>"$work/man.err")
    [[ ! -s "$work/man.err" && -n "$text" ]] || fail "$page/co2sim.1 does not render: $(cat "$work/man.err")"
    for word in QXGFX terminal null "Error setting video mode!" "co2sim $version"; do
      grep -qF -- "$word" <<<"$text" || fail "$page/co2sim.1 does not mention '$word'"
    done
  done
  # Each NAME line in its page's language (whatis shows it).
  zcat "$work/root/usr/share/man/es/man1/co2sim.1.gz" | sed -n '/^\.SH NOMBRE/{n;p}' | grep -q 'simulador interactivo' ||
    fail "the Spanish manual page's NAME line is not in Spanish"
  grep -q 'Dmitry Bolkhovityanov' "$work/root/usr/share/doc/co2sim/copyright" ||
    fail "the copyright file lacks the font's attribution"
  grep -q '^License: Expat$' "$work/root/usr/share/doc/co2sim/copyright" || fail "the copyright file names no MIT licence"
  grep -q '<project_license>MIT</project_license>' "$work/root$metainfo" || fail "metainfo names no MIT licence"
fi

# --- Windows zip ----------------------------------------------------------------------------
zip="$dir/co2sim-${version}-windows.zip"
if [[ ! -f "$zip" ]]; then
  fail "no $(basename "$zip")"
else
  [[ "$(unzip -Z1 "$zip" | sort | paste -sd' ')" == "LEEME.txt LICENSE.txt co2sim.exe" ]] ||
    fail "zip holds: $(unzip -Z1 "$zip" | paste -sd' ')"
  unzip -q "$zip" -d "$work/zip"
  readme="$work/zip/LEEME.txt"
  # Every line ends in CR LF: as many CRs as LFs, and none elsewhere.
  for text in "$readme" "$work/zip/LICENSE.txt"; do
    lf=$(tr -cd '\n' <"$text" | wc -c); crlf=$(grep -c $'\r$' "$text"); cr=$(tr -cd '\r' <"$text" | wc -c)
    [[ $lf -gt 0 && $lf == "$crlf" && $cr == "$lf" ]] || fail "$(basename "$text") is not in CR LF line ends ($lf LF, $cr CR)"
  done
  grep -q "MIT License" "$work/zip/LICENSE.txt" || fail "LICENSE.txt is not the MIT licence"
  # The program carries no debugging sections.
  if x86_64-w64-mingw32-objdump -h "$work/zip/co2sim.exe" | grep -q '\.debug'; then
    fail "co2sim.exe in the zip is not stripped"
  fi
  for word in "co2sim $version" co2sim.exe Espacio QXGFX; do
    grep -qF -- "$word" "$readme" || fail "LEEME.txt does not mention '$word'"
  done
  if ! command -v wine >/dev/null; then
    fail "wine is missing"
  else
    # A fresh prefix of our own, never given a display.
    export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    env -u DISPLAY -u WAYLAND_DISPLAY wine wineboot --init </dev/null >/dev/null 2>&1
    wineserver -w
    # The status as the Windows side saw it (tests/win32/wine_run.sh says why), with the
    # status helper of the Windows build.
    env -u DISPLAY -u WAYLAND_DISPLAY CO2SIM_BUILD_DIR="$here/../build/windows" \
      "$here/win32/wine_run.sh" "$work/zip/co2sim.exe" </dev/null >"$work/wine.out" 2>"$work/wine.err"
    status=$?
    [[ -s "$work/wine.err" ]] && tail -5 "$work/wine.err"
    [[ "$(cat "$work/wine.out")" == $'Error setting video mode!\r' && $(wc -c <"$work/wine.out") == 27 ]] ||
      fail "co2sim.exe under wine printed: $(od -c "$work/wine.out" | head -3)"
    [[ $status == 0 ]] || fail "co2sim.exe under wine ended with status $status"
  fi
fi

# --- Web archive ----------------------------------------------------------------------------
web="$dir/co2sim-${version}-web.tar.gz"
if [[ -f "$web" ]]; then
  mkdir "$work/web"
  tar -xzf "$web" -C "$work/web" || fail "the web archive does not unpack"
  [[ "$(ls "$work/web")" == "co2sim-${version}-web" ]] || fail "web archive top level: $(ls "$work/web")"
  [[ -f "$work/web/co2sim-${version}-web/index.html" ]] || fail "the web archive has no index.html"
  cmp -s "$work/web/co2sim-${version}-web/LICENSE" "$here/../LICENSE" || fail "the web archive lacks the licence"
  # The unpacked site passes the same browser checks as the build folder.
  snapshot=${CO2SIM_SNAPSHOT:-$here/../build/debug/tools/co2sim-snapshot}
  if [[ -x "$snapshot" ]]; then
    "$here/web/run.sh" "$snapshot" "$work/web-checks" "$work/web/co2sim-${version}-web" >"$work/web-checks.log" 2>&1 ||
      { fail "the unpacked web site fails the browser checks"; tail -30 "$work/web-checks.log"; }
  else
    fail "no snapshot driver at $snapshot for the browser checks of the unpacked site"
  fi
elif [[ -f "$here/../scripts/web-build.sh" ]]; then
  fail "no $(basename "$web") although the web build exists"
else
  echo "package check: no web build yet; web archive not checked"
fi

if ((failures)); then
  echo "package check: $failures failure(s)"
  exit 1
fi
echo "package check: $(ls "$dir" | paste -sd' ') ok"
