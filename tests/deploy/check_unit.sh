#!/bin/sh
# Checks a systemd unit (the table's template, the lobby service's): the sandboxing it
# promises is there, its ExecStart runs the program as EXECSTART (a regular expression; the
# table's port and drain by default), systemd-analyze verify has nothing to say about it,
# systemd-analyze security rates its exposure 2.0 or lower, and a table's stop timeout
# outlasts its drain. Exits 77 (skipped) without systemd-analyze.
# Usage: check_unit.sh UNIT PROGRAM WORKDIR [EXECSTART]
set -eu
unit=$1
server=$2
dir=$3
execstart=${4:-'ExecStart=.* --port %i --drain [0-9]+'}
if ! command -v systemd-analyze >/dev/null 2>&1; then
    echo "SKIPPED: systemd-analyze is not installed, so the unit was not verified"
    exit 77
fi

# Verify wants the command to exist: the built program stands in for the installed one.
mkdir -p "$dir"
name=$(basename "$unit")
tablelines=""
case $name in
*@.service)
    copy="$dir/${name%@.service}@7780.service"
    tablelines="ConfigurationDirectory=tessarin-server WorkingDirectory=%E/tessarin-server"
    ;;
*) copy="$dir/$name" ;;
esac
sed "s|^ExecStart=[^ ]*|ExecStart=$server|" "$unit" >"$copy"

status=0
for line in "$execstart" DynamicUser=yes NoNewPrivileges=yes ProtectSystem=strict \
    PrivateTmp=yes 'MemoryMax=[0-9]+[KMG]' Restart=on-failure KillSignal=SIGTERM \
    StandardOutput=journal StandardError=journal SystemCallFilter=@system-service \
    'RestrictAddressFamilies=AF_INET AF_INET6 AF_UNIX' RestrictNamespaces=yes ProtectClock=yes \
    'TimeoutStopSec=[0-9]+s' $tablelines; do
    if ! grep -Eqx "$line" "$copy"; then
        echo "the unit has no line $line"
        status=1
    fi
done

# Unknown keys and bad values are only warnings to verify: any output fails the check.
if ! out=$(systemd-analyze verify "$copy" 2>&1) || [ -n "$out" ]; then
    echo "systemd-analyze verify $copy:"
    echo "$out"
    status=1
fi
drain=$(sed -n 's/^ExecStart=.* --drain \([0-9]*\).*/\1/p' "$copy")
timeout=$(sed -n 's/^TimeoutStopSec=\([0-9]*\)s$/\1/p' "$copy")
if [ -n "$drain" ] && [ -n "$timeout" ] && [ "$timeout" -le "$drain" ]; then
    echo "TimeoutStopSec=${timeout}s does not outlast --drain $drain: systemd would kill a game"
    status=1
fi

# The exposure is a number from 0.0 (locked down) to 10.0.
report=$(systemd-analyze security --offline=true "$copy" 2>&1 || true)
exposure=$(printf '%s\n' "$report" | sed -n 's/.*Overall exposure level for .*: \([0-9.]*\) .*/\1/p')
if [ -z "$exposure" ]; then
    echo "systemd-analyze security gave no exposure level:"
    echo "$report"
    status=1
elif ! awk -v e="$exposure" 'BEGIN { exit !(e <= 2.0) }'; then
    echo "systemd-analyze security rates the unit $exposure, above 2.0:"
    printf '%s\n' "$report" | grep '✗'
    status=1
else
    echo "exposure $exposure"
fi
exit $status
