#!/usr/bin/env bash
# CPack builds a .deb that holds the installed files, depends on the runtime
# libraries, and whose paperdl runs.
# usage: package_test.sh CPACK BUILD_DIR VERSION SITE_HOST
set -euo pipefail
cpack_command=$1 build=$2 version=$3 host=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cpack_command" --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
deb=$(find "$work" -maxdepth 1 -name 'paperdl_*.deb')
[ -n "$deb" ] || { echo "no .deb was built"; exit 1; }

[ "$(dpkg-deb -f "$deb" Package)" = paperdl ] || { echo "wrong package name"; exit 1; }
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || { echo "wrong package version"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
names=$(tr ',' '\n' <<<"$depends" | sed 's/^ *//; s/ .*//')
for dependency in libcurl4 libfltk1.3 libpcre2-16-0 libstdc++6 fonts-wqy-zenhei xdg-utils; do
  grep -qxF "$dependency" <<<"$names" || { echo "Depends lacks $dependency"; exit 1; }
done

dpkg-deb -x "$deb" "$work/root"
for path in usr/bin/paperdl usr/share/applications/paperdl.desktop \
  usr/share/icons/hicolor/scalable/apps/paperdl.svg; do
  [ -f "$work/root/$path" ] || { echo "the package lacks /$path"; exit 1; }
done
out=$("$work/root/usr/bin/paperdl" --version)
echo "paperdl --version: $out"
grep -qF "$version" <<<"$out" || { echo "the version $version is missing"; exit 1; }
grep -qF "$host" <<<"$out" || { echo "the site host $host is missing"; exit 1; }
