#!/usr/bin/env bash
# Checks moody as it is installed and packaged: `cmake --install` into a temporary prefix, the
# installed files validated with the desktop's own tools, the program's command line answered
# from the installed binary, the Debian package built with CPack, listed and checked by lintian,
# and, as root, the package installed with apt-get and run from /usr/games.
#
# Usage: bash scripts/check-install.sh [build directory, default build]
# Reuses the build directory (CI has just built and tested it); builds what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
dir=${1:-build}

failures=0
pass() { echo "ok: $*"; }
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
check() {  # check DESCRIPTION COMMAND...: passes when the command succeeds
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake -S . -B "$dir" >/dev/null
cmake --build "$dir" -j "$(nproc)" >/dev/null
dir=$(cd "$dir" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")
[ -n "$version" ] || { echo "no project version in $dir/CMakeCache.txt" >&2; exit 1; }
echo "project version: $version"

# --- cmake --install into a temporary prefix --------------------------------------------------
prefix=$work/prefix
cmake --install "$dir" --prefix "$prefix" >/dev/null
expected_files=(
  bin/moody
  share/applications/moody.desktop
  share/icons/hicolor/48x48/apps/moody.png
  share/icons/hicolor/64x64/apps/moody.png
  share/icons/hicolor/128x128/apps/moody.png
  share/icons/hicolor/256x256/apps/moody.png
  share/icons/hicolor/scalable/apps/moody.svg
  share/man/man6/moody.6.gz
  share/doc/moody/copyright
  share/doc/moody/changelog.gz
  share/xscreensaver/config/moody.xml
)
for f in "${expected_files[@]}"; do
  check "installed $f" test -s "$prefix/$f"
done
check "installed bin/moody is executable" test -x "$prefix/bin/moody"
check "xscreensaver's folder links to the program" \
  test "$(readlink -f "$prefix/libexec/xscreensaver/moody")" = "$(readlink -f "$prefix/bin/moody")"
check "moody.xml is well-formed and runs moody --demo --root" python3 -c '
import sys, xml.etree.ElementTree as E
s = E.parse(sys.argv[1]).getroot()
sys.exit(not (s.get("name") == "moody" and [c.get("arg") for c in s.iter("command")] == ["--demo", "--root"]))' \
  "$prefix/share/xscreensaver/config/moody.xml"
metainfo=("$prefix"/share/metainfo/*.metainfo.xml)
check "installed one AppStream file" test "${#metainfo[@]}" -eq 1 -a -s "${metainfo[0]}"
echo "installed files:"
(cd "$prefix" && find . -type f | sort | sed 's|^\./|  |')

# Each PNG is a square of the size its folder names (the width and height in the IHDR chunk).
for size in 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/moody.png
  w=$(( $(od -An -tu1 -j16 -N4 "$png" | awk '{print ($1*16777216)+($2*65536)+($3*256)+$4}') ))
  h=$(( $(od -An -tu1 -j20 -N4 "$png" | awk '{print ($1*16777216)+($2*65536)+($3*256)+$4}') ))
  check "icon ${size}x${size} is ${w}x${h}" test "$w" -eq "$size" -a "$h" -eq "$size"
done

desktop=$prefix/share/applications/moody.desktop
check "desktop-file-validate accepts moody.desktop" desktop-file-validate "$desktop"
# check_exec DESKTOP_ENTRY PROGRAM: the entry starts the program by that full path, and it is there.
check_exec() {
  check "the desktop entry runs $2" grep -qx "Exec=$2" "$1"
  check "$2 is executable" test -x "$2"
}
check_exec "$desktop" "$prefix/bin/moody"
check "the desktop entry shows the installed icon" grep -qx 'Icon=moody' "$desktop"
check "the desktop entry needs no terminal" grep -qx 'Terminal=false' "$desktop"
check "the desktop entry is in the Game category" grep -qE '^Categories=(.*;)?Game;' "$desktop"
check "appstreamcli validate --no-net accepts the metainfo" \
  appstreamcli validate --no-net "${metainfo[0]}"
check "the metainfo's release is the project version" \
  grep -q "<release version=\"$version\"" "${metainfo[0]}"
check "the metainfo launches moody.desktop" \
  grep -q '<launchable type="desktop-id">moody.desktop</launchable>' "${metainfo[0]}"

man_page=$work/moody.6
zcat "$prefix/share/man/man6/moody.6.gz" >"$man_page"
groff_out=$(groff -man -ww -z "$man_page" 2>&1) && [ -z "$groff_out" ] &&
  pass "the man page renders without warnings" ||
  fail "the man page renders without warnings: $groff_out"
for section in NAME SYNOPSIS DESCRIPTION OPTIONS KEYS ENVIRONMENT "EXIT STATUS"; do
  check "the man page has $section" grep -qx "\.SH \"\\?$section\"\\?" "$man_page"
done
check "the man page names the version" grep -q "moody $version" "$man_page"

# The copyright file: DEP-5, the licence the AppStream data names, and LICENSE's holders and
# text word for word (its blank lines written as " .").
copyright=$prefix/share/doc/moody/copyright
license=$(sed -n 's|.*<project_license>\(.*\)</project_license>.*|\1|p' "${metainfo[0]}")
check "the metainfo names the project's licence ($license)" test -n "$license"
check "the copyright file is machine-readable (DEP-5)" grep -qx \
  'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$copyright"
holders=$(head -1 LICENSE | sed 's/^Copyright (c) //')
check "the copyright file covers every file: $holders, $license" \
  grep -Pzq "\nFiles: \\*\nCopyright: $holders\nLicense: $license\n" "$copyright"
# The text is what follows the last License line, the licence's own paragraph.
awk -v head="License: $license" '$0 == head { text = ""; next } { text = text $0 "\n" }
  END { printf "%s", text }' "$copyright" >"$work/licence"
check "the copyright file holds LICENSE's text" \
  cmp -s "$work/licence" <(tail -n +3 LICENSE | sed 's/^$/./; s/^/ /')

# The changelog, in Debian's format: one entry per release of CHANGELOG.md, this one on top.
zcat "$prefix/share/doc/moody/changelog.gz" >"$work/changelog"
check "the changelog's latest entry is $version" \
  test "$(dpkg-parsechangelog -l "$work/changelog" -S Version)" = "$version"
check "the changelog has CHANGELOG.md's releases, in order" test \
  "$(dpkg-parsechangelog -l "$work/changelog" --all --format rfc822 | sed -n 's/^Version: //p')" = \
  "$(sed -n 's/^## \([^ ]*\) .*/\1/p' CHANGELOG.md)"

# --- the installed program's command line ------------------------------------------------------
# check_cli BINARY: --help and --version exit 0 on stdout, an unknown option exits 2 on stderr.
check_cli() {
  local bin=$1 out err status
  out=$("$bin" --help 2>"$work/err") && status=0 || status=$?
  err=$(cat "$work/err")
  [ "$status" -eq 0 ] && [ -z "$err" ] && grep -q '^Usage: moody' <<<"$out" &&
    grep -q -- '--window' <<<"$out" && grep -q 'Escape' <<<"$out" &&
    grep -q 'MOODY_WINDOW' <<<"$out" &&
    pass "$bin --help exits 0 with the usage" ||
    fail "$bin --help (status $status): $out $err"

  out=$("$bin" --version 2>"$work/err") && status=0 || status=$?
  [ "$status" -eq 0 ] && [ "$out" = "moody $version" ] &&
    pass "$bin --version exits 0: $out" ||
    fail "$bin --version (status $status): '$out', expected 'moody $version'"

  out=$("$bin" --no-such-option 2>"$work/err") && status=0 || status=$?
  err=$(cat "$work/err")
  [ "$status" -eq 2 ] && [ -z "$out" ] && grep -q "'--no-such-option'" <<<"$err" &&
    pass "$bin --no-such-option exits 2 naming it on stderr" ||
    fail "$bin --no-such-option (status $status): stdout '$out', stderr '$err'"
}
check_cli "$prefix/bin/moody"

# --- the Debian package ------------------------------------------------------------------------
cpack -G DEB --config "$dir/CPackConfig.cmake" -B "$work/package" >/dev/null
debs=("$work"/package/moody_*.deb)
check "cpack -G DEB made one moody_${version}_*.deb" \
  test "${#debs[@]}" -eq 1 -a -s "${debs[0]}"
deb=${debs[0]}
echo "package: $(basename "$deb")"
listing=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||')
# The package puts the program with the system's games; everything else where `cmake --install` does.
for f in "${expected_files[@]/#bin\//games/}" "share/metainfo/$(basename "${metainfo[0]}")"; do
  check "the package holds /usr/$f" grep -qx "usr/$f" <<<"$listing"
done
check "the package has nothing in /usr/bin" bash -c '! grep -q "^usr/bin/." <<<"$1"' _ "$listing"
mkdir "$work/unpacked"
dpkg-deb -x "$deb" "$work/unpacked"
check "the package's desktop entry runs /usr/games/moody" \
  grep -qx 'Exec=/usr/games/moody' "$work/unpacked/usr/share/applications/moody.desktop"
check "the package links /usr/libexec/xscreensaver/moody to the program" \
  test "$(readlink "$work/unpacked/usr/libexec/xscreensaver/moody")" = ../../games/moody

# Debian's own checker: no error and no warning, but for the placeholder maintainer's address
# (a packager sets MOODY_MAINTAINER; the changelog is signed with it too). Its findings are read
# here, so its status only tells whether it ran.
lintian_status=0
lintian --fail-on none "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
lintian_out=$(grep -v '^running with root privileges' "$work/lintian.log" || true)
echo "lintian (status $lintian_status):"
sed 's/^/  /' <<<"$lintian_out"
problems=$(grep -E '^[EW]: ' <<<"$lintian_out" |
  grep -vE '^E: moody: bogus-mail-host(-in-debian-changelog)? .*\<moody@localhost\>' || true)
[ "$lintian_status" -eq 0 ] && [ -z "$problems" ] &&
  pass "lintian finds no error or warning but the placeholder maintainer's" ||
  fail "lintian (status $lintian_status): $problems"
check "the package's version is $version" test "$(dpkg-deb -f "$deb" Version)" = "$version"
maintainer=$(sed -n 's/^MOODY_MAINTAINER:STRING=//p' "$dir/CMakeCache.txt")
check "the package's maintainer is MOODY_MAINTAINER ($maintainer)" \
  test "$(dpkg-deb -f "$deb" Maintainer)" = "$maintainer"
check "the changelog is signed by MOODY_MAINTAINER" \
  test "$(dpkg-parsechangelog -l "$work/changelog" -S Maintainer)" = "$maintainer"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# Worked out from the binary: the C library and the libraries it links against.
for lib in libc6 libx11-6 libxxf86vm1 libgl1 libpng16-16; do
  check "Depends names $lib" grep -qE "(^|, )$lib( |,|$)" <<<"$depends"
done

if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: installing the package needs root (apt-get install ./$(basename "$deb"))"
else
  was_installed=0
  dpkg-query -W -f='${Status}' moody 2>/dev/null | grep -q "install ok installed" && was_installed=1
  cp "$deb" "$work/$(basename "$deb")"
  if (cd "$work" && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    "./$(basename "$deb")" >"$work/apt.log" 2>&1); then
    pass "apt-get install ./$(basename "$deb")"
    check_exec /usr/share/applications/moody.desktop /usr/games/moody
    check "dpkg lists /usr/games/moody as moody's" bash -c 'dpkg -S /usr/games/moody >/dev/null'
    check_cli /usr/games/moody
    # Leave the machine as it was unless moody was installed before.
    if [ "$was_installed" -eq 0 ]; then
      DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq moody >/dev/null 2>&1 || true
    fi
  else
    cat "$work/apt.log" >&2
    fail "apt-get install ./$(basename "$deb")"
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures install check(s) failed" >&2
  exit 1
fi
echo "all install checks passed"
