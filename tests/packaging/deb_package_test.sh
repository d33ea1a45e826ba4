#!/usr/bin/env bash
# Packs this build tree into a .deb and installs it into a scratch root, as
# dpkg would on a user's machine; then checks what a desktop finds there.
# Usage: deb_package_test.sh BUILD_DIR APP_ID
set -euo pipefail
build=$1 app_id=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >/dev/null
deb=$(echo "$scratch"/out/kelvaro_*.deb)

fail() { echo "FAIL: $*" >&2; exit 1; }

# The run-time dependencies: the Qt libraries and the face the window is drawn in.
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6gui6 libqt6svg6 fonts-arphic-uming; do
    grep -q "\b$needed\b" <<<"$depends" || fail "Depends lacks $needed: $depends"
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

root=$scratch/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless -i "$deb" \
    >"$scratch/dpkg.log" 2>&1 || { cat "$scratch/dpkg.log" >&2; fail "dpkg -i failed"; }
dpkg --root="$root" -s kelvaro | grep -qx "Status: install ok installed" || fail "not installed"

desktop=$root/usr/share/applications/$app_id.desktop
[ -x "$root/usr/bin/kelvaro" ] || fail "no /usr/bin/kelvaro"
[ -f "$desktop" ] || fail "no desktop entry $app_id.desktop"
[ -f "$root/usr/share/metainfo/$app_id.metainfo.xml" ] || fail "no metainfo"
for icon in 16x16 32x32 48x48 64x64 128x128 256x256; do
    [ -f "$root/usr/share/icons/hicolor/$icon/apps/$app_id.png" ] || fail "no $icon icon"
done
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" ] || fail "no scalable icon"
# The menu entry starts the installed program and shows the installed icon.
grep -qx "Exec=kelvaro" "$desktop" || fail "Exec is not kelvaro"
grep -qx "Icon=$app_id" "$desktop" || fail "Icon is not $app_id"
desktop-file-validate "$desktop"
echo "kelvaro installs into a scratch root: $(dpkg-deb -f "$deb" Package Version | tr '\n' ' ')"
