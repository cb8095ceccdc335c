#!/usr/bin/env bash
# `cmake --install` into a fresh prefix gives a working installation: the
# programs, the shipped data, a desktop entry that desktop-file-validate
# accepts, the icon, the dictionary file type and the manual pages; and the
# installed programs find their data under <prefix>/share/kea.
# Usage: install.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: install.sh BUILD_DIR}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
for file in bin/kea bin/kea-cli bin/kkbuild bin/kkmerge \
            share/kea/Dictionaries/English.kkd share/kea/Definitions/WordNet.kkd \
            share/kea/Tips.txt share/kea/help/index.html share/kea/kea.svg \
            share/applications/kea.desktop share/icons/hicolor/scalable/apps/kea.svg \
            share/mime/packages/kea-dictionary.xml \
            share/man/man1/kea.1 share/man/man1/kea-cli.1 share/man/man1/kkbuild.1 \
            share/man/man1/kkmerge.1; do
  [ -e "$prefix/$file" ] || fail "$file was not installed"
done
[ ! -e "$prefix/bin/kea-prepare" ] || fail "kea-prepare serves the build only and is not installed"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/kea.desktop" || fail "the desktop entry is not valid"
else
  fail "desktop-file-validate is missing (scripts/test.sh installs desktop-file-utils)"
fi
grep -q '<glob pattern="\*\.kkd"/>' "$prefix/share/mime/packages/kea-dictionary.xml" || fail "no *.kkd glob"
grep -q '^MimeType=application/x-kea-dictionary;' "$prefix/share/applications/kea.desktop" || fail "no MimeType"

# The installed kea-cli finds the installed dictionary on its own.
found=$(cd / && "$prefix/bin/kea-cli" search ';lobikes' 2>/dev/null) || fail "the installed kea-cli did not search"
[ "$found" = "obelisk" ] || fail "the installed kea-cli found '$found'"
# The installed dictionaries keep their block summaries (the install keeps
# their time stamps to the second).
for dictionary in Dictionaries/English.kkd Definitions/WordNet.kkd; do
  "$prefix/bin/kea-cli" info "$prefix/share/kea/$dictionary" | grep -q '^Block summaries: yes' ||
    fail "the installed $dictionary does not use its block summaries"
done
echo "passed: installed into $prefix and searched"
