#!/usr/bin/env bash
# wine_mailtoprobe.sh <mailtoprobe.exe>
# Runs the Windows mailtoprobe under Wine against Wine's own registry: first
# Wine's registered mailto command byte for byte, then values set with
# `reg add` for each edge case. Wine's mailto registration is exported first
# and imported again at the end, whatever happens in between.
# QUILLORA_WINE_BITS picks the loader and the registry view (HKCR of a 32-bit
# program is its own view), see wine-env.sh.
set -u
here=$(cd "$(dirname "$0")" && pwd)
wine_dir=$here/../wine
. "$wine_dir/wine-env.sh"
probe=$1
work=$(mktemp -d)
key='HKCR\mailto\shell\open\command'
failures=0

reg() { wine_reg "$@" >"$work/reg.log" 2>&1; }
saved=$(windows_path "$work/mailto.reg")

restore() {
    reg delete 'HKCR\mailto' /f
    reg import "$saved" || echo "FAIL could not restore Wine's mailto registration" >&2
}

# expect <name> <exit code> <expected output file>
expect() {
    "$wine_dir/wine-run.sh" "$probe" >"$work/out" 2>/dev/null
    local rc=$?
    if [ "$rc" != "$2" ] || ! cmp -s "$work/out" "$3"; then
        echo "FAIL $1: exit $rc (want $2); wrote $(wc -c <"$work/out") bytes:"
        od -c "$work/out" | head -4
        failures=$((failures + 1))
    else
        echo "ok   $1 (exit $rc, $(wc -c <"$work/out") bytes)"
    fi
}

# expect_value <name> <type> <data> <exit code> <expected output>
expect_value() {
    reg add "$key" /ve /t "$2" /d "$3" /f || { echo "FAIL $1: reg add"; cat "$work/reg.log"; failures=$((failures + 1)); return; }
    printf '%s' "$5" >"$work/expected"
    expect "$1" "$4" "$work/expected"
}

# Wine's own registered command, as `reg query` shows it.
registered_command() {
    reg query "$key" /ve && tr -d '\r' <"$work/reg.log" |
        sed -n 's/^ *(Default) *REG_SZ    //p'
}

reg export 'HKCR\mailto' "$saved" /y || { echo "cannot export HKCR\\mailto"; cat "$work/reg.log"; exit 1; }
trap 'restore; rm -rf "$work"' EXIT

original=$(registered_command)
[ -n "$original" ] || { echo "FAIL Wine has no mailto command registered"; exit 1; }
printf '%s' "$original" >"$work/original"
expect "Wine's own command: $original" 0 "$work/original"

text1023=$(printf 'a%.0s' $(seq 1023))
expect_value "1023 bytes" REG_SZ "$text1023" 0 "$text1023"
expect_value "1024 bytes" REG_SZ "${text1023}b" 255 ""
quoted='"C:\Program Files\Quill Mail\mail.exe" /compose "%1" %s %n %% 100% %d'
expect_value "spaces, quotes, percent signs" REG_SZ "$quoted" 0 "$quoted"
expand='%ProgramFiles%\Quill Mail\mail.exe "%1"'
expect_value "REG_EXPAND_SZ unexpanded" REG_EXPAND_SZ "$expand" 0 "$expand"
expect_value "empty string" REG_SZ "" 0 ""
expect_value "REG_DWORD with a zero byte" REG_DWORD 0x00434241 0 "ABC"
expect_value "REG_DWORD without a zero byte" REG_DWORD 0x44434241 0 "ABCD"
expect_value "REG_BINARY without a zero byte" REG_BINARY 616263 0 "abc"
expect_value "two runs, same text (first)" REG_SZ "mail \"%1\"" 0 "mail \"%1\""
expect "two runs, same text (second)" 0 "$work/expected"

: >"$work/empty"
reg delete "$key" /ve /f
expect "no default value" 255 "$work/empty"
reg delete 'HKCR\mailto' /f
expect "no key" 255 "$work/empty"

trap 'rm -rf "$work"' EXIT
restore
if [ "$(registered_command)" != "$original" ]; then
    echo "FAIL Wine's mailto command was not restored"
    failures=$((failures + 1))
else
    echo "ok   Wine's mailto command restored"
fi
exit $((failures != 0))
