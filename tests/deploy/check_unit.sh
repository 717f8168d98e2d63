#!/bin/sh
# Checks a systemd unit (the table's template, the lobby service's): the sandboxing it
# promises is there, its ExecStart runs the program as EXECSTART (a regular expression;
# the table's port by default), and systemd-analyze verify has nothing to say about it.
# Exits 77 (skipped) without systemd-analyze.
# Usage: check_unit.sh UNIT PROGRAM WORKDIR [EXECSTART]
set -eu
unit=$1
server=$2
dir=$3
execstart=${4:-'ExecStart=.* --port %i'}
if ! command -v systemd-analyze >/dev/null 2>&1; then
    echo "SKIPPED: systemd-analyze is not installed, so the unit was not verified"
    exit 77
fi

# Verify wants the command to exist: the built server stands in for the installed one.
mkdir -p "$dir"
name=$(basename "$unit")
case $name in
*@.service) copy="$dir/${name%@.service}@7780.service" ;;
*) copy="$dir/$name" ;;
esac
sed "s|^ExecStart=[^ ]*|ExecStart=$server|" "$unit" >"$copy"

status=0
for line in "$execstart" DynamicUser=yes NoNewPrivileges=yes ProtectSystem=strict \
    PrivateTmp=yes 'MemoryMax=[0-9]+[KMG]' Restart=on-failure KillSignal=SIGTERM \
    StandardOutput=journal StandardError=journal; do
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
exit $status
