#!/bin/sh
# Runs screenreader_test.py against the game: in a network namespace of its own (the solo
# game's server then listens on no port of the machine's), with a private D-Bus session and
# the accessibility bus it starts, under Xvfb. Exit code 77: skipped, with the reason.
# Usage: screenreader_test.sh TESSARIN SCRIPT
set -eu
app=$1
script=$2
skip() {
    echo "SKIPPED: $*"
    exit 77
}
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "at-spi2-core is not installed"
command -v dbus-run-session >/dev/null || skip "dbus-run-session (dbus) is not installed"
command -v xvfb-run >/dev/null || skip "xvfb-run is not installed"
command -v xdotool >/dev/null || skip "xdotool is not installed"
unshare -n ip link set lo up 2>/dev/null ||
    skip "no private network namespace here (unshare -n needs root)"

# A folder of its own: the settings, the tally and the single-copy marker live there.
work=$(mktemp -d "$PWD/screenreader.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$app" "$work/tessarin"
chmod 700 "$work"
cd "$work"
unshare -n sh -c 'ip link set lo up && exec dbus-run-session -- xvfb-run -a \
    -s "-screen 0 1024x768x24" /usr/bin/python3 "$0" "$1"' "$script" "$work/tessarin"
