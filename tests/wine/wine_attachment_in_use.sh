#!/usr/bin/env bash
# wine_attachment_in_use.sh <Quillora.exe> <file_holder.exe>
# A file that another Wine process holds open for writing is still attached,
# byte for byte: file_holder opens it for writing and keeps it open while
# Quillora runs against the simulated client (registered as the provider),
# and while the draft-file road (-eml, both MAPI roads failing) opens it.
# Wine's server enforces share modes between its processes as Windows does.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
program=$1
holder=$2
work=$(mktemp -d)
holder_pid=
cleanup() {
    touch "$work/release"
    [ -n "$holder_pid" ] && wait "$holder_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

file="$work/in use.log"
printf 'first line\r\n' >"$file"
"$here/wine-run.sh" "$holder" "$(windows_path "$file")" "$(windows_path "$work/ready")" \
    "$(windows_path "$work/release")" </dev/null >/dev/null 2>&1 &
holder_pid=$!
for _ in $(seq 300); do
    [ -e "$work/ready" ] && break
    kill -0 "$holder_pid" 2>/dev/null || break
    sleep 0.1
done
[ -e "$work/ready" ] || { echo "FAIL file_holder never held the file open"; exit 1; }

MAPISIM_TRANSCRIPT=$(windows_path "$work/transcript.json") \
    "$here/wine-run.sh" "$program" -subject "in use" -attachment "$(windows_path "$file")" \
    </dev/null >/dev/null 2>&1
rc=$?
printf '{"initialize": "0x80004005", "simpleMapi": {"result": 2}}' >"$work/no-mapi.json"
MAPISIM_PROFILE=$(windows_path "$work/no-mapi.json") \
    "$here/wine-run.sh" "$program" -eml -subject "in use" -attachment "$(windows_path "$file")" \
    -log "$(windows_path "$work/run.log")" </dev/null >/dev/null 2>&1
touch "$work/release"
wait "$holder_pid"
holder_rc=$?
holder_pid=

python3 - "$work/transcript.json" "$file" "$rc" "$holder_rc" "$work/run.log" <<'EOF'
import hashlib, json, os, re, sys
transcript_path, file_path, rc, holder_rc, log_path = sys.argv[1:]
data = open(file_path, "rb").read()
problems = []
if holder_rc != "0":
    problems.append(f"file_holder exited {holder_rc}: it did not hold the file open")
if rc != "0":
    problems.append(f"Quillora exited {rc}, want 0")
try:
    forms = json.load(open(transcript_path))["forms"]
except (OSError, ValueError, KeyError) as error:
    forms = None
    problems.append(f"no readable transcript: {error}")
if forms is not None:
    attachments = forms[0]["attachments"] if len(forms) == 1 else None
    want = {"longFilename": "in use.log", "size": len(data), "dataSize": len(data),
            "sha256": hashlib.sha256(data).hexdigest()}
    if not attachments or len(attachments) != 1:
        problems.append(f"want one form with one attachment, got {json.dumps(forms)[:600]}")
    else:
        got = {k: attachments[0].get(k) for k in want}
        if got != want:
            problems.append(f"attachment {got}, want {want}")
# The draft road got past the attachment: it was written, whether or not a
# program is registered for .eml files in this prefix.
log = open(log_path, encoding="latin-1").read() if os.path.exists(log_path) else ""
if not re.search(r"road draft file \(-eml\): (succeeded|failed: ShellExecuteExW)", log):
    problems.append("the draft road did not open the held file: " + json.dumps(log[-600:]))
for p in problems:
    print("FAIL", p)
if not problems:
    print(f"ok   the held file was attached whole ({len(data)} bytes), and the draft road took it")
sys.exit(1 if problems else 0)
EOF
