#!/bin/sh
# Builds the Debian package from a build folder into a temporary folder, then checks its
# control fields and contents with dpkg-deb, and its desktop entry with desktop-file-validate
# when that tool is installed.
# Usage: check_deb.sh CPACK BUILD_DIR VERSION
# Exit status: 0 all checks passed, 1 a check failed, 77 dpkg-deb is missing (test skipped).
# shellcheck disable=SC2317 # the check functions run through check()

cpack=$1
build=$2
version=$3

if ! command -v dpkg-deb >/dev/null 2>&1; then
    echo "SKIP: dpkg-deb is not installed"
    exit 77
fi

passed=0
failed=0
pass() {
    passed=$((passed + 1))
    echo "PASS: $1"
}
fail() {
    failed=$((failed + 1))
    echo "FAIL: $1"
}
check() {
    label=$1
    shift
    if "$@"; then pass "$label"; else fail "$label"; fi
}
finish() {
    echo "$passed passed, $failed failed"
    if [ "$failed" -eq 0 ]; then exit 0; fi
    exit 1
}

tmp=$(mktemp -d) || exit 1
trap 'rm -rf "$tmp"' EXIT

if ! "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$tmp" >"$tmp/cpack.log" 2>&1; then
    cat "$tmp/cpack.log"
    fail "cpack builds the package"
    finish
fi
pass "cpack builds the package"

arch=$(dpkg --print-architecture)
deb="$tmp/tarsel_${version}_${arch}.deb"
if [ ! -f "$deb" ]; then
    ls "$tmp"
    fail "the package is named tarsel_${version}_${arch}.deb"
    finish
fi
pass "the package is named tarsel_${version}_${arch}.deb"

field_is() {
    value=$(dpkg-deb --field "$deb" "$1")
    [ "$value" = "$2" ] || { echo "  $1: '$value', expected '$2'"; return 1; }
}
check "Package is tarsel" field_is Package tarsel
check "Version is $version" field_is Version "$version"
check "Architecture is $arch" field_is Architecture "$arch"
check "Section is utils" field_is Section utils
check "Maintainer is Norvane" field_is Maintainer "Norvane <contact@norvane.fr>"

description=$(dpkg-deb --field "$deb" Description)
synopsis=$(printf '%s\n' "$description" | head -n 1)
long_lines=$(printf '%s\n' "$description" | tail -n +2 | grep -c '[^ .]')
check "Description has a synopsis" [ -n "$synopsis" ]
check "Description has a long text" [ "$long_lines" -ge 2 ]

# One Depends entry per line, versions removed: "libqt6core6", "7zip | p7zip-full".
depends_field=$(dpkg-deb --field "$deb" Depends)
depends=$(printf '%s\n' "$depends_field" | tr ',' '\n' |
    sed -e 's/([^)]*)//g' -e 's/  */ /g' -e 's/^ //' -e 's/ $//')
depends_on() {
    printf '%s\n' "$depends" | grep -qxF "$1" || { echo "  Depends: $depends_field"; return 1; }
}
for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6svg6 qt6-qpa-plugins; do
    check "Depends on $library" depends_on "$library"
done
check "Depends on 7zip | p7zip-full" depends_on "7zip | p7zip-full"

# The package holds the program, its desktop entry and its icon, and no other file.
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $1, $6 }' | sort >"$tmp/files"
sort >"$tmp/expected" <<'LIST'
-rw-r--r-- ./usr/share/applications/tarsel.desktop
-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/tarsel.svg
-rwxr-xr-x ./usr/bin/tarsel
LIST
check "contents are the program, desktop entry and icon" diff "$tmp/expected" "$tmp/files"

dpkg-deb --extract "$deb" "$tmp/root"
entry="$tmp/root/usr/share/applications/tarsel.desktop"
check "the desktop entry starts tarsel" grep -qx 'Exec=tarsel' "$entry"
check "the desktop entry shows the tarsel icon" grep -qx 'Icon=tarsel' "$entry"
if command -v desktop-file-validate >/dev/null 2>&1; then
    check "desktop-file-validate accepts the entry" desktop-file-validate "$entry"
else
    echo "SKIP: desktop-file-validate is not installed"
fi

finish
