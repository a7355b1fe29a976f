#!/usr/bin/env bash
# Unpacks Debian's libpng and zlib sources into DIR (default build-web/third_party), for the
# browser build: the page decodes its pictures with the same libpng as the desktop. apt-get works
# from a private list of deb-src entries made from the machine's own Debian sources, in DIR, so
# the machine's apt set-up is left alone. The security archive serves no sources here: the
# main archive's are taken. Does nothing when both are there already.
set -euo pipefail
dir=${1:-build-web/third_party}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
if compgen -G "$dir/libpng1.6-*/png.c" >/dev/null && compgen -G "$dir/zlib-*/inflate.c" >/dev/null; then
  exit 0
fi
apt_dir=$dir/apt
mkdir -p "$apt_dir/lists/partial"
list=$apt_dir/sources.list
: >"$list"
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
# deb-src twins of the machine's Debian entries (deb822 stanzas or one-line entries).
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  awk -v keyring="$keyring" '
    function flush() { if (uris != "" && types ~ /deb/) { n = split(suites, s, " "); for (i = 1; i <= n; i++) print "deb-src [signed-by=" keyring "] " uris " " s[i] " " comps }; uris = suites = comps = types = "" }
    /^[[:space:]]*$/ { flush(); next }
    /^Types:/ { $1 = ""; types = $0 } /^URIs:/ { uris = $2 } /^Suites:/ { $1 = ""; suites = $0 }
    /^Components:/ { $1 = ""; comps = $0 }
    END { flush() }' "$f" | grep -i debian | grep -v -- -security >>"$list" || true
done
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] || continue
  sed -n 's/^deb \(\[[^]]*\] \)\?\(http[^ ]*debian[^ ]*\) /deb-src [signed-by='"${keyring//\//\\/}"'] \2 /p' "$f" | grep -v -- -security >>"$list" || true
done
if [ ! -s "$list" ]; then
  echo "deb-src [signed-by=$keyring] http://deb.debian.org/debian bookworm main" >"$list"
fi
opts=(-o Dir::Etc::SourceList="$list" -o Dir::Etc::SourceParts=/dev/null
      -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
      -o APT::Sandbox::User=root)
mkdir -p "$apt_dir/cache/archives/partial"
apt-get "${opts[@]}" -qq update
(cd "$dir" && apt-get "${opts[@]}" -qq source libpng1.6 zlib >/dev/null)
compgen -G "$dir/libpng1.6-*/png.c" >/dev/null && compgen -G "$dir/zlib-*/inflate.c" >/dev/null
