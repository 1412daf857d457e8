#!/usr/bin/env bash
# native_mailtoprobe.sh <mailtoprobe>
# Runs the native program as a caller would: with the desktop's mailto
# handler in a throw-away XDG setup it writes that Exec line exactly, with no
# line break, and exits 0; with none it writes nothing and exits with -1 (255).
set -u
probe=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
export XDG_CONFIG_HOME=$root/config XDG_CONFIG_DIRS=$root/etc-xdg
export XDG_DATA_HOME=$root/data XDG_DATA_DIRS=$root/share
unset XDG_CURRENT_DESKTOP
failures=0

expect() { # expect <name> <exit code> <expected output file>
    "$probe" >"$root/out" 2>"$root/err"
    local rc=$?
    if [ "$rc" != "$2" ] || ! cmp -s "$root/out" "$3" || [ -s "$root/err" ]; then
        echo "FAIL $1: exit $rc (want $2), output:"
        od -c "$root/out" | head -5
        cat "$root/err"
        failures=$((failures + 1))
    else
        echo "ok   $1"
    fi
}

: >"$root/empty"
expect "no handler" 255 "$root/empty"

mkdir -p "$root/config" "$root/share/applications"
printf '[Default Applications]\nx-scheme-handler/mailto=quill-mail.desktop;\n' \
    >"$root/config/mimeapps.list"
command='"/opt/Quill Mail/bin/mail" --compose "%u" 100% %s'
printf '[Desktop Entry]\nType=Application\nName=Quill Mail\nExec=%s\n' "$command" \
    >"$root/share/applications/quill-mail.desktop"
printf '%s' "$command" >"$root/expected"
expect "desktop handler" 0 "$root/expected"
expect "second run" 0 "$root/expected"

exit $((failures != 0))
