# Debian packages the project needs, and a helper that installs the missing
# ones. Sourced by the scripts in tools/ and by .ci/run.

# Compiler, build system and the libraries the program links.
BUILD_PACKAGES=(cmake ninja-build g++)
# What the test suite and the benchmarks add.
TEST_PACKAGES=(googletest libgtest-dev libbenchmark-dev locales)
# The libFuzzer build.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

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
