#!/usr/bin/env bash
# `cmake --install` into a temporary prefix puts exactly the program, its desktop
# entry and its icons in place, and the installed program tells its version and site.
# usage: install_test.sh CMAKE BUILD_DIR VERSION SITE_HOST
set -euo pipefail
cmake_command=$1 build=$2 version=$3 host=$4

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
"$cmake_command" --install "$build" --prefix "$prefix" >/dev/null

expected="bin/paperdl
share/applications/paperdl.desktop
share/icons/hicolor/128x128/apps/paperdl.png
share/icons/hicolor/48x48/apps/paperdl.png
share/icons/hicolor/scalable/apps/paperdl.svg"
actual=$(cd "$prefix" && find . -type f -printf '%P\n' | LC_ALL=C sort)
if [ "$actual" != "$expected" ]; then
  printf 'installed files differ.\nexpected:\n%s\nactual:\n%s\n' "$expected" "$actual"
  exit 1
fi

[ -x "$prefix/bin/paperdl" ] || { echo "bin/paperdl is not executable"; exit 1; }
desktop="$prefix/share/applications/paperdl.desktop"
for line in "Exec=paperdl" "Icon=paperdl" "Type=Application" "Name[zh_CN]=苇川试卷下载器" \
  "Name=Weichuan Paper Downloader"; do
  grep -qxF "$line" "$desktop" || { echo "desktop entry lacks: $line"; exit 1; }
done
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$desktop"; fi
for png in 48 128; do
  file "$prefix/share/icons/hicolor/${png}x${png}/apps/paperdl.png" | grep -q "PNG image data, $png x $png" ||
    { echo "icon ${png}x${png} is not a PNG of that size"; exit 1; }
done

out=$("$prefix/bin/paperdl" --version) || { echo "paperdl --version failed"; exit 1; }
echo "paperdl --version: $out"
grep -qF "$version" <<<"$out" || { echo "the version $version is missing"; exit 1; }
grep -qF "$host" <<<"$out" || { echo "the site host $host is missing"; exit 1; }
