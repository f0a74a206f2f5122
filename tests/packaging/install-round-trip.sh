#!/usr/bin/env bash
# The Debian package of this build, installed on this machine: the installed
# station comes up with its main window in a per-user program folder seeded
# from the installed data set; the installed command-line tool, without
# --program-dir, works in that folder (or makes a new user's as the station
# does) and writes the same report as the build's, and writes nothing into
# the installed data set, even as root; purging the package leaves none of
# its files behind. The package is packed from the build as it stands.
#
#   install-round-trip.sh BUILD_DIR
#
# Ends with 77 (skipped), saying why, where this cannot be done: not root,
# a tool missing, or a mirrorwise package installed already (never replaced).
set -euo pipefail
BUILD=$1
skip() {
    echo "skipped: $*"
    exit 77
}
fail() {
    echo "FAILED: $*" >&2
    exit 1
}

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
for tool in dpkg dpkg-deb dpkg-shlibdeps cpack Xvfb xdotool; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
# Two builds testing at once take turns.
exec 9>/tmp/mirrorwise-install-round-trip.lock
flock 9
package_status() {
    dpkg-query -W -f='${db:Status-Status}' mirrorwise 2>/dev/null || true
}
case $(package_status) in
    "" | not-installed) ;;
    *) skip "a mirrorwise package is on this machine already and is left alone" ;;
esac

WORK=$(mktemp -d)
station=""
xvfb=""
# What a failing tool left in the installed data folder goes with the test.
data_folder_was_there=""
if [ -e /usr/share/mirrorwise ]; then data_folder_was_there=yes; fi
cleanup() {
    [ -n "$station" ] && kill "$station" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    case $(package_status) in
        "" | not-installed) ;;
        *) dpkg --purge mirrorwise >/dev/null 2>&1 || true ;;
    esac
    [ -n "$data_folder_was_there" ] || rm -rf /usr/share/mirrorwise
    rm -rf "$WORK"
}
trap cleanup EXIT

# Another user's apt may hold dpkg's lock for a while: wait for it.
dpkg_when_free() {
    local _
    for _ in $(seq 60); do
        dpkg "$@" >"$WORK/dpkg.log" 2>&1 && return 0
        grep -qi "lock" "$WORK/dpkg.log" || break
        sleep 5
    done
    cat "$WORK/dpkg.log" >&2
    return 1
}

cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/pack" >/dev/null ||
    fail "cpack could not pack the build"
deb=$(ls "$WORK"/pack/mirrorwise_*.deb)
dpkg_when_free -i "$deb" || fail "dpkg -i $deb"

# A user's first start: the settings name the data disk, nothing else is there.
export HOME=$WORK/home XDG_RUNTIME_DIR=$WORK/run
unset XDG_DATA_HOME
mkdir -m 700 "$XDG_RUNTIME_DIR"
user=$HOME/.local/share/mirrorwise
disk=$WORK/disk
mkdir -p "$user"
cp -a "$BUILD/demo-disk" "$disk"
printf '[Path]\r\nFilePath=%s\r\n' "$disk" >"$user/MW.ini"

Xvfb -displayfd 1 -nolisten tcp -screen 0 800x600x24 >"$WORK/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$WORK/display" ] && break
    sleep 0.1
done
DISPLAY=:$(head -n1 "$WORK/display")
export DISPLAY
QT_QPA_PLATFORM=xcb /usr/bin/mirrorwise &
station=$!
# The splash window has a caption of its own; a message box captioned
# Mirrorwise (a data disk not found) is far smaller than the main window.
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Mirrorwise$' \
    getwindowgeometry --shell) || fail "the installed station showed no window"
[ "$(sed -n 's/^HEIGHT=//p' <<<"$window")" -ge 300 ] ||
    fail "the installed station showed a message box, not its main window"
kill "$station"
wait "$station" 2>/dev/null || true
station=""

[ "$(stat -c %a "$user")" = 700 ] || fail "$user is readable by others"
grep -q "FilePath=$disk" "$user/MW.ini" || fail "the user's MW.ini was replaced"
for file in /usr/share/mirrorwise/*; do
    cmp -s "$file" "$user/$(basename "$file")" || fail "$file was not copied to $user"
done

# The tool works where the station works, without being told.
/usr/bin/mirrorwise-cli report --disk "$disk" --client 2 --output "$WORK/installed.txt" ||
    fail "the installed mirrorwise-cli made no report"
# The build's data files in a folder of their own: the tool notes the disk's
# audit log in its program folder, and the built one is staged.
mkdir "$WORK/built"
find "$BUILD/program" -maxdepth 1 -type f ! -name 'mirrorwise*' -exec cp {} "$WORK/built" \;
"$BUILD/program/mirrorwise-cli" report --program-dir "$WORK/built" --disk "$disk" --client 2 \
    --output "$WORK/built.txt"
cmp "$WORK/installed.txt" "$WORK/built.txt" || fail "the installed report differs from the build's"
# A user who never started the station: the tool makes the folder as the station would.
fresh=$WORK/fresh/.local/share/mirrorwise
HOME=$WORK/fresh /usr/bin/mirrorwise-cli report --disk "$disk" --client 2 ||
    fail "the installed mirrorwise-cli made no report in a new user's folder"
cmp "$fresh/REPORT.PRN" "$WORK/built.txt" || fail "$fresh/REPORT.PRN differs from the build's report"
[ "$(stat -c %a "$fresh")" = 700 ] || fail "$fresh is readable by others"
# Its PDF is an archive file on a fresh install too: the colour profile is
# built into the program, and the font comes with the package's dependencies.
HOME=$WORK/fresh /usr/bin/mirrorwise-cli report --disk "$disk" --client 2 --pdf "$WORK/report.pdf" ||
    fail "the installed mirrorwise-cli made no PDF"
grep -aq "/S /GTS_PDFA1" "$WORK/report.pdf" || fail "the installed tool's PDF has no output intent"
if command -v qpdf >/dev/null; then
    qpdf --check "$WORK/report.pdf" >/dev/null || fail "qpdf --check finds the installed tool's PDF broken"
fi
# Root may write anywhere, yet the installed data set is the package's alone.
for command in "report --client 2" "export --anonymised --output $WORK/clients.csv"; do
    # shellcheck disable=SC2086 # the command's words
    if /usr/bin/mirrorwise-cli $command --program-dir /usr/share/mirrorwise --disk "$disk" \
        2>"$WORK/refused"; then
        fail "mirrorwise-cli $command wrote into /usr/share/mirrorwise"
    fi
    grep -q "/usr/share/mirrorwise holds the installed data set" "$WORK/refused" ||
        fail "mirrorwise-cli $command: $(cat "$WORK/refused")"
done

dpkg_when_free -P mirrorwise || fail "dpkg -P mirrorwise"
case $(package_status) in
    "" | not-installed) ;;
    *) fail "dpkg -P left mirrorwise $(package_status)" ;;
esac
[ ! -e /usr/share/mirrorwise ] ||
    fail "/usr/share/mirrorwise is left after dpkg -P: $(ls -A /usr/share/mirrorwise)"
while read -r path; do
    path=${path#.}
    case $path in
        */mirrorwise*) [ ! -e "$path" ] || fail "$path is left after dpkg -P" ;;
    esac
done < <(dpkg-deb -c "$deb" | awk '{print $6}')
echo "installed, started, reported and purged: $deb"
