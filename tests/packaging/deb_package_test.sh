#!/usr/bin/env bash
# Builds the Debian package from a copy of the project as a packager would
# (dpkg-buildpackage), checks it as Debian's tools check a package, installs
# it into a scratch root as dpkg would on a user's machine, starts the program
# from its desktop entry, and purges it again.
# Usage: deb_package_test.sh SOURCE_DIR APP_ID
set -euo pipefail
source=$1 app_id=$2
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# The project as its files stand, without any build output.
mkdir "$scratch/kelvaro"
if [ -e "$source/.git" ] && command -v git >/dev/null; then
    (cd "$source" && git ls-files -z --cached --others --exclude-standard |
        xargs -0 -I{} find {} -maxdepth 0 -type f -print0 | tar --null -cf - -T -)
else
    tar -C "$source" --exclude=./build --exclude='./obj-*' --exclude=./debian/kelvaro \
        --exclude=./debian/.debhelper -cf - .
fi | tar -C "$scratch/kelvaro" -xf -
(cd "$scratch/kelvaro" && DEB_BUILD_OPTIONS=parallel=2 dpkg-buildpackage -us -uc -b) \
    >"$scratch/build.log" 2>&1 || { tail -n 40 "$scratch/build.log" >&2; fail "dpkg-buildpackage"; }
deb=$(echo "$scratch"/kelvaro_*_"$(dpkg --print-architecture)".deb)
[ -f "$deb" ] || fail "no package in $(ls "$scratch")"

# The run-time dependencies: the Qt libraries (renamed "t64" from Debian 13
# on), the package that carries Qt's SVG image plugin on this release, and the
# face the window is drawn in.
depends=$(dpkg-deb -f "$deb" Depends)
svg_plugin=$(dpkg-query -S "/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/qt6/plugins/imageformats/libqsvg.so" | cut -d: -f1)
for needed in 'libqt6widgets6(t64)?' 'libqt6gui6(t64)?' "$svg_plugin" fonts-arphic-uming; do
    grep -qE "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
# Wayland and Qt's own texts in Chinese are welcome, not required.
recommends=$(dpkg-deb -f "$deb" Recommends)
for optional in qt6-wayland qt6-translations-l10n; do
    grep -q "\b$optional\b" <<<"$recommends" || fail "Recommends lacks $optional: $recommends"
    ! grep -q "\b$optional\b" <<<"$depends" || fail "Depends on $optional: $depends"
done
# Every dependency resolves from this machine's archive, as `apt install ./kelvaro_*.deb` needs.
if [ -n "$(ls /var/lib/apt/lists/*_Packages* 2>/dev/null)" ]; then
    apt-get install --simulate --no-install-recommends "$deb" >"$scratch/apt.log" 2>&1 ||
        { cat "$scratch/apt.log" >&2; fail "apt cannot install $deb"; }
fi

# Debian's checker: no error or warning; what it notes beyond that is shown.
lintian --info --pedantic --fail-on error,warning "$scratch"/kelvaro_*.changes ||
    fail "lintian reports errors or warnings"

# The program as dpkg-buildflags hardens it (hardening=+all), with no run
# path: PIE, stack protector, FORTIFY, full RELRO with immediate binding.
# Control-flow protection is compiled in where the release's flags have it
# (Debian 13), but an executable is marked with it only when every object
# linked is, and Debian's C start files (Scrt1.o) are not: Debian's own
# /usr/bin/ls reports the same.
unpacked=$scratch/unpacked
dpkg-deb -x "$deb" "$unpacked"
program=$unpacked/usr/bin/kelvaro
unmarked=(--nocfprotection)
help=$(hardening-check --help 2>&1 || true)
grep -q -- --nobranchprotection <<<"$help" && unmarked+=(--nobranchprotection)
hardening-check "${unmarked[@]}" "$program" || fail "not hardened as dpkg-buildflags asks"
! readelf -d "$program" | grep -E 'RPATH|RUNPATH' || fail "the program carries a run path"
[ -f "$unpacked/usr/share/man/man1/kelvaro.1.gz" ] || fail "no manual page"

# Installed into a scratch root.
root=$scratch/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
in_root() { dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless "$@"; }
in_root -i "$deb" >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log" >&2; fail "dpkg -i failed"; }
dpkg --root="$root" -s kelvaro | grep -qx "Status: install ok installed" || fail "not installed"

desktop=$root/usr/share/applications/$app_id.desktop
[ -x "$root/usr/bin/kelvaro" ] || fail "no /usr/bin/kelvaro"
[ -f "$desktop" ] || fail "no desktop entry $app_id.desktop"
[ -f "$root/usr/share/metainfo/$app_id.metainfo.xml" ] || fail "no metainfo"
for icon in 16x16 32x32 48x48 64x64 128x128 256x256; do
    [ -f "$root/usr/share/icons/hicolor/$icon/apps/$app_id.png" ] || fail "no $icon icon"
done
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" ] || fail "no scalable icon"
grep -qx "Icon=$app_id" "$desktop" || fail "Icon is not $app_id"
desktop-file-validate "$desktop"
# The menu entry starts the installed program, which opens its window.
PYTHONPATH=$here/.. PYTHONDONTWRITEBYTECODE=1 python3 "$here/start_from_desktop_entry.py" "$root" "$desktop"

# Purged, it leaves nothing behind but dpkg's own records.
in_root --purge kelvaro >>"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log" >&2; fail "dpkg --purge failed"; }
left=$(find "$root" -mindepth 1 -not -path "$root/var" -not -path "$root/var/lib" \
    -not -path "$root/var/lib/dpkg" -not -path "$root/var/lib/dpkg/*")
[ -z "$left" ] || fail "purge left $left"
echo "kelvaro builds, installs, starts from its menu entry and purges: $(dpkg-deb -f "$deb" Package Version | tr '\n' ' ')"
