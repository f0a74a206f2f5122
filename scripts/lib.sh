# Shared by the project's scripts: installing the Debian packages a command
# needs (only those missing), building and staging a program folder.

# The packages every build needs. The PDF reports' colour profile comes from
# icc-profiles-free; the tests read their compressed streams with zlib.
MW_BUILD_PACKAGES=(g++ cmake ninja-build pkg-config libsqlite3-dev googletest libgtest-dev
                   libbenchmark-dev qt6-base-dev qt6-multimedia-dev libx11-dev
                   gstreamer1.0-plugins-good fonts-liberation cups-client icc-profiles-free
                   zlib1g-dev)
# The command-line tool writes statistics files through ReadStat and
# workbooks through libxlsxwriter.
MW_BUILD_PACKAGES+=(libreadstat-dev libxlsxwriter-dev)
# The archive of returned disks reaches a PostgreSQL server through libpq.
MW_BUILD_PACKAGES+=(libpq-dev)

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

# mw_configure BUILD_DIR [cmake options...]
mw_configure() {
    local dir=$1
    shift
    cmake -S "$MW_ROOT" -B "$dir" -G Ninja "$@" >/dev/null
}

# mw_build BUILD_DIR [cmake options...]
mw_build() {
    mw_configure "$@"
    cmake --build "$1" -j "$(nproc)"
}

# mw_stage PROGRAM_SRC DEST
# Copies the program folder PROGRAM_SRC into DEST, replacing what is there.
# A station may be running from DEST: writing into its executable fails
# ("Text file busy") and writing into a file it has open would change it under
# it. So each file is copied beside its target under a temporary name and
# renamed over the target; the running program keeps the old file it opened.
# Files in DEST that PROGRAM_SRC lacks (MW.ini, REPORT.PRN, sounds) are kept.
mw_stage() {
    local src=$1 dest=$2 rel dir tmp
    [ -d "$src" ] || { echo "mw_stage: $src: no such folder" >&2; return 1; }
    mkdir -p "$dest" || return 1
    while IFS= read -r -d '' rel; do
        rel=${rel#./}
        if [ -d "$src/$rel" ] && [ ! -L "$src/$rel" ]; then
            mkdir -p "$dest/$rel" || return 1
            continue
        fi
        dir=$(dirname "$dest/$rel")
        tmp=$(mktemp "$dir/.$(basename "$rel").staging.XXXXXX") || return 1
        if ! cp -a --remove-destination "$src/$rel" "$tmp" || ! mv -fT "$tmp" "$dest/$rel"; then
            rm -f "$tmp"
            echo "mw_stage: cannot stage $dest/$rel" >&2
            return 1
        fi
    done < <(cd "$src" && find . -mindepth 1 -print0)
}
