#!/usr/bin/env bash
# real_callers.sh <Quillora.exe>
# Quillora as users call it, with the simulated client registered as the mail
# provider: the README's cmd example (start "" /wait, then %ERRORLEVEL%) run
# by Wine's cmd, and a VBScript (WScript.Shell's Run, waiting) run by Wine's
# cscript. Each caller must see the exit code, on success and on failure,
# and the client's transcript must hold the form that was asked for.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

exe=$(windows_path "$program")
printf 'May figures\r\n' >"$work/May report.pdf"
attachment=$(windows_path "$work/May report.pdf")
# Every road fails: no MAPI, and the send dialog reports a failure.
printf '{"initialize": "0x80004005", "simpleMapi": {"result": 2}}' >"$work/broken.json"

cat >"$work/caller.bat" <<BAT
@echo off
start "" /wait "$exe" -to "alice@example.com;bob@example.com" -subject "Monthly report" ^
    -body "Hello,\n\nthe report is attached." -attachment "$attachment"
echo %ERRORLEVEL%
BAT
cat >"$work/caller.vbs" <<VBS
Set shell = CreateObject("WScript.Shell")
code = shell.Run("""$exe"" -to ""alice@example.com;bob@example.com"" -subject ""Monthly report""" & _
    " -body ""Hello,\n\nthe report is attached."" -attachment ""$attachment""", 0, True)
WScript.Echo code
WScript.Quit code
VBS

# call <name> <expected code> <profile or ""> <caller command...>
call() {
    local name=$1 want=$2 profile=$3
    shift 3
    rm -f "$work/transcript.json"
    local out
    local settings=(MAPISIM_TRANSCRIPT="$(windows_path "$work/transcript.json")")
    [ -n "$profile" ] && settings+=(MAPISIM_PROFILE="$(windows_path "$profile")")
    out=$(env "${settings[@]}" "$here/wine-run.sh" "$@" 2>/dev/null | tr -d '\r')
    local problem
    problem=$(python3 - "$work/transcript.json" "$want" "$out" 2>&1 <<'PY'
import json, sys
path, want, out = sys.argv[1], sys.argv[2], sys.argv[3].strip()
if out != want:
    sys.exit(f"the caller saw {out!r}, want {want!r}")
try:
    t = json.load(open(path))
except (OSError, ValueError) as e:
    sys.exit(f"no transcript: {e}")
if want == "0":
    if len(t["forms"]) != 1 or t["sends"]:
        sys.exit(f"want one form and no send dialog: {t}")
    f = t["forms"][0]
    got = ([r["address"] for r in f["recipients"]], f["subject"], f["body"],
           [(a["longFilename"], a["size"]) for a in f["attachments"]])
    expected = (["alice@example.com", "bob@example.com"], "Monthly report",
                "Hello,\n\nthe report is attached.", [("May report.pdf", 13)])
    if got != expected:
        sys.exit(f"form {got}, want {expected}")
elif t["forms"] or len(t["sends"]) != 1 or t["sends"][0]["result"] != 2:
    sys.exit(f"want no form and one failed send dialog: {t}")
if t["outstanding"] != {"references": 0, "buffers": 0}:
    sys.exit(f"outstanding {t['outstanding']}")
PY
    )
    if [ -n "$problem" ]; then
        echo "FAIL $name: $problem"
        failures=$((failures + 1))
    else
        echo "ok   $name: exit $want"
    fi
}

call "cmd, start /wait, form shown" 0 "" cmd /c "$(windows_path "$work/caller.bat")"
call "cmd, start /wait, both roads fail" -1 "$work/broken.json" cmd /c "$(windows_path "$work/caller.bat")"
call "cscript, WScript.Shell Run, form shown" 0 "" cscript //nologo "$(windows_path "$work/caller.vbs")"
call "cscript, WScript.Shell Run, both roads fail" -1 "$work/broken.json" \
    cscript //nologo "$(windows_path "$work/caller.vbs")"

[ "$failures" = 0 ]
