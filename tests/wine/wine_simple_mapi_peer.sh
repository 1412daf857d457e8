#!/usr/bin/env bash
# wine_simple_mapi_peer.sh <Quillora.exe>
# Quillora against Wine's own Simple MAPI, with no mail provider registered:
# Wine's MAPIInitialize fails, so the Drafts road fails and the fallback calls
# MAPISendMail, which Wine turns into a mailto: URL for the desktop. Stub
# xdg-email/xdg-open first on PATH record that URL. Wine keeps the subject and
# the note text (line breaks as %0A, one space per attachment) and drops
# recipients that have no address, which ours never have, and attachments.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

"$here/mail-provider.sh" unregister

mkdir "$work/bin"
for tool in xdg-email xdg-open; do
    cat >"$work/bin/$tool" <<STUB
#!/bin/sh
{ printf '%s' "$tool"; for a in "\$@"; do printf ' %s' "\$a"; done; echo; } >>"$work/record"
STUB
    chmod +x "$work/bin/$tool"
done
printf 'quarterly numbers\n' >"$work/q 1.txt"
attachment=$(windows_path "$work/q 1.txt")

# compose <name> <expected mailto URL> <Quillora arguments...>
compose() {
    local name=$1 want=$2
    shift 2
    rm -f "$work/record"
    PATH="$work/bin:$PATH" "$here/wine-run.sh" "$program" "$@" >/dev/null 2>&1
    local rc=$?
    # The desktop is started by winebrowser after Quillora has returned.
    for _ in $(seq 100); do [ -s "$work/record" ] && break; sleep 0.1; done
    local got
    got=$(cat "$work/record" 2>/dev/null)
    if [ "$rc" != 0 ] || [ "$got" != "xdg-email $want" ]; then
        echo "FAIL $name: exit $rc (want 0)"
        echo "     got:  $got"
        echo "     want: xdg-email $want"
        failures=$((failures + 1))
    else
        echo "ok   $name: $got"
    fi
}

compose "subject, two-line body, recipients without address, one attachment" \
    'mailto:?subject=Hello%20there%20%26%20more&cc=&bcc=&body=Line1%0ALine2%25%20' \
    -to "alice@example.com;Bob Example" -cc bob@example.com -bcc carol@example.com \
    -subject "Hello there & more" -body 'Line1\nLine2%' -attachment "$attachment"
compose "the empty request" 'mailto:?subject=&cc=&bcc=&body='

[ "$failures" = 0 ]
