# Debian packages the project needs, and a helper that installs the missing
# ones. Sourced by the scripts in tools/ and by .ci/run.

# Qt's SVG image plugin, which the banner is rendered with on high-DPI screens:
# part of the SVG library on Debian 12, a package of its own from Debian 13 on.
if grep -qx 'VERSION_ID="12"' /etc/os-release 2>/dev/null; then
    QT_SVG_PLUGIN_PACKAGE=libqt6svg6
else
    QT_SVG_PLUGIN_PACKAGE=qt6-svg-plugins
fi

# Compiler, build system, the Qt 6 libraries the program links, the SVG
# plugin it draws the banner with and the font its window is drawn in.
BUILD_PACKAGES=(cmake ninja-build g++ libfast-float-dev libfmt-dev qt6-base-dev
    "$QT_SVG_PLUGIN_PACKAGE" fonts-arphic-uming)
# What the test suite adds: the test frameworks, a locale source, a real X
# server and session bus with the tools that drive and inspect the window, the
# accessibility bus with AT-SPI's bindings for Debian's Python (to listen as a
# screen reader does), and the tools that build and check the Debian package
# (dpkg-buildpackage, lintian, hardening-check) and its desktop files; the desktops the window is
# tried under: a Wayland compositor with Qt's Wayland platform, Qt's GTK 3
# theme with a dark GTK theme, Qt's own translations, and an X11 window
# manager that offers full screen to any window; the Chinese faces a desktop
# may have instead of the window's.
TEST_PACKAGES=(googletest libgtest-dev locales python3
    xvfb xauth dbus-daemon xdotool x11-utils xclip imagemagick
    at-spi2-core libglib2.0-bin python3-gi gir1.2-atspi-2.0
    dpkg-dev build-essential debhelper lintian devscripts file desktop-file-utils appstream
    weston qt6-wayland qt6-gtk-platformtheme gnome-themes-extra qt6-translations-l10n xfwm4
    fonts-noto-cjk fonts-wqy-zenhei)
# The benchmarks: Google Benchmark, and the X libraries of the start-up timer.
BENCH_PACKAGES=(libbenchmark-dev libx11-dev libxdamage-dev)
# Kelvaro.exe for 32-bit Windows: the mingw-w64 cross compiler, the build
# system and the number libraries' headers.
WINDOWS_BUILD_PACKAGES=(cmake ninja-build g++-mingw-w64-i686-win32 libfast-float-dev libfmt-dev
    python3)
# The Windows builds with their tests: the 64-bit cross compiler too, and
# 64-bit Wine (with its commands, wineserver among them, on the PATH) to run
# the tests of the 64-bit build in Xvfb.
WINDOWS_PACKAGES=("${WINDOWS_BUILD_PACKAGES[@]}" g++-mingw-w64-x86-64-win32 wine wine64 fonts-wine
    fonts-arphic-uming xvfb xauth dbus-daemon icoutils file)
# Fresh chroots of other Debian releases, to run the suite there as a
# newcomer would (tools/in-debian-chroot).
CHROOT_PACKAGES=(mmdebstrap debootstrap git)

# Installs the packages given that are not installed yet: with apt-get when
# running as root, otherwise prints the one command that does it and fails.
require_packages() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null | grep -qx installed; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Kelvaro needs these Debian packages first:" >&2
        echo "    sudo apt-get install ${missing[*]}" >&2
        return 1
    fi
    echo "Installing ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -q >&2
    apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
}

# 32-bit Wine, for the tests of the 32-bit Windows build, on a machine that
# can run i386 Linux code: i386 packages are added to dpkg's architectures and
# Wine's 32-bit half installed, which upgrades the amd64 twins of its
# libraries to the same versions. Elsewhere it says why not and succeeds: the
# 32-bit tests then report themselves skipped.
require_32bit_wine() {
    require_packages libc6-i386 || return 1
    if ! error=$(/lib/ld-linux.so.2 --version 2>&1 >/dev/null); then
        echo "No 32-bit Wine: this machine cannot run i386 code (${error:-/lib/ld-linux.so.2 fails})" >&2
        return 0
    fi
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        if [ "$(id -u)" -ne 0 ]; then
            echo "Kelvaro's 32-bit tests need i386 packages first:" >&2
            echo "    sudo dpkg --add-architecture i386 && sudo apt-get update" >&2
            return 1
        fi
        dpkg --add-architecture i386
        apt-get update -q >&2
    fi
    require_packages wine32:i386
}

# The libFuzzer build: clang, and the sanitizer runtimes of the clang version
# the release carries (clang 14 on Debian 12, clang 19 on Debian 13).
require_fuzz_packages() {
    require_packages clang || return 1
    local major
    major=$(clang -dumpversion | cut -d. -f1)
    require_packages "libclang-rt-$major-dev"
}
