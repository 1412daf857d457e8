#!/usr/bin/env bash
# wine_simple_mapi_peer.sh <Quillora.exe>
# Quillora against Wine's own Simple MAPI, with no mail provider registered:
# Wine's MAPIInitialize fails, so the Drafts road fails and the fallback calls
# MAPISendMail, which Wine hands to the desktop's mail command in one of two
# forms: `xdg-email [--attach FILE]... [--subject S] [--body B]` (Wine 10), or
# `xdg-email mailto:?subject=S&cc=&bcc=&body=B` through winebrowser, which
# drops attachments (Wine 8). Stub xdg-email/xdg-open first on PATH record
# each call; the test decodes either form and checks that the subject, the
# note text (one space per attachment), the recipients that carry an
# address and, where Wine passes them, the attachments arrive, and that no
# address is made up for a recipient given by name only (Wine drops those).
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
#!/usr/bin/env python3
import json, sys
with open("$work/record", "a") as record:
    record.write(json.dumps(["$tool"] + sys.argv[1:]) + "\n")
STUB
    chmod +x "$work/bin/$tool"
done
printf 'quarterly numbers\n' >"$work/q 1.txt"
attachment=$(windows_path "$work/q 1.txt")

# check_call <record> <subject> <body> <attachment or ""> <to> <cc> <bcc>
# (each list comma-separated): the one recorded
# call, decoded from either form, must ask xdg-email for exactly this mail.
# Prints the call; on a mismatch also what was read and what was wanted.
check_call() {
    python3 - "$@" <<'PY'
import json, sys
from urllib.parse import unquote

record, subject, body, attachment, to, cc, bcc = sys.argv[1:]
calls = [json.loads(line) for line in open(record)] if record else []
print(" | ".join(json.dumps(call) for call in calls) or "no call")
if len(calls) != 1:
    sys.exit(1)
tool, *args = calls[0]
got = {"tool": tool, "to": [], "cc": [], "bcc": [], "subject": "", "body": "", "attachments": []}
want = dict(got, tool="xdg-email", subject=subject, body=body,
            attachments=[attachment] if attachment else [],
            **{key: [a for a in value.split(",") if a]
               for key, value in (("to", to), ("cc", cc), ("bcc", bcc))})

if len(args) == 1 and args[0].startswith("mailto:"):
    # Newer Wine quotes each value; what is inside is escaped.
    def value(text):
        quoted = len(text) > 1 and text[0] == text[-1] == '"'
        return unquote(text[1:-1] if quoted else text)
    address, _, query = args[0][len("mailto:"):].partition("?")
    got["to"] = [a for a in value(address).split(",") if a]
    for field in query.split("&") if query else []:
        key, _, text = field.partition("=")
        if key in ("cc", "bcc"):
            got[key] = [a for a in value(text).split(",") if a]
        elif key in ("subject", "body"):
            got[key] = value(text)
        else:
            got.setdefault("unknown", []).append(field)
    # A mailto: URL carries no attachment.
    del got["attachments"], want["attachments"]
else:
    lists = {"--cc": "cc", "--bcc": "bcc", "--attach": "attachments"}
    texts = {"--subject": "subject", "--body": "body"}
    it = iter(args)
    for arg in it:
        if arg in lists:
            got[lists[arg]].append(next(it, None))
        elif arg in texts:
            got[texts[arg]] = next(it, None)
        else:
            got["to"].append(arg)
if got != want:
    print("got:  %s\nwant: %s" % (json.dumps(got, sort_keys=True), json.dumps(want, sort_keys=True)))
    sys.exit(1)
PY
}

# compose <name> <subject> <body> <attachment or ""> <to> <cc> <bcc> <Quillora arguments...>
compose() {
    local name=$1 subject=$2 body=$3 file=$4 to=$5 cc=$6 bcc=$7
    shift 7
    rm -f "$work/record"
    PATH="$work/bin:$PATH" "$here/wine-run.sh" "$program" "$@" >/dev/null 2>"$work/stderr"
    local rc=$?
    # The desktop is started by Wine after Quillora has returned.
    for _ in $(seq 100); do [ -s "$work/record" ] && break; sleep 0.1; done
    [ -e "$work/record" ] || : >"$work/record"
    local report
    report=$(check_call "$work/record" "$subject" "$body" "$file" "$to" "$cc" "$bcc")
    if [ $? != 0 ] || [ "$rc" != 0 ]; then
        echo "FAIL $name: exit $rc (want 0)"
        printf '%s\n' "$report" | sed 's/^/     /'
        tail -n 5 "$work/stderr" | sed 's/^/     stderr: /'
        failures=$((failures + 1))
    else
        echo "ok   $name: $report"
    fi
}

compose "subject, two-line body, recipients with and without an address, one attachment" \
    "Hello there & more" $'Line1\nLine2% ' "$work/q 1.txt" \
    alice@example.com,jo@x.org bob@example.com carol@example.com \
    -to "alice@example.com;Bob Example;Doe, Jo <jo@x.org>" -cc bob@example.com -bcc carol@example.com \
    -subject "Hello there & more" -body 'Line1\nLine2%' -attachment "$attachment"
compose "the empty request" "" "" "" "" "" ""

[ "$failures" = 0 ]
