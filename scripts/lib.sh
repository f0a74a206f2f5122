# Shared by the project's scripts: installing the Debian packages a command
# needs (only those missing) and building.

# The packages every build needs.
MW_BUILD_PACKAGES=(g++ cmake ninja-build pkg-config libsqlite3-dev googletest libgtest-dev
                   libbenchmark-dev qt6-base-dev qt6-multimedia-dev libx11-dev)

mw_missing_packages() {
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || echo "$pkg"
    done
}

mw_install_packages() {
    local missing
    missing=$(mw_missing_packages "$@")
    [ -z "$missing" ] && return 0
    echo "Installing: $(echo $missing)"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    # shellcheck disable=SC2086
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
}

# mw_build BUILD_DIR [cmake options...]
mw_build() {
    local dir=$1
    shift
    cmake -S "$MW_ROOT" -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$(nproc)"
}
