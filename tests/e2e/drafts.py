"""Reads back the draft message files that the .eml handler received, with
Python's standard email package (policy.default), never with Quillora's own
code, and compares them with a scenario's expectations."""
import email.utils
import hashlib
import os
import re
from email import policy
from email.header import decode_header, make_header
from email.parser import BytesParser

RECIPIENT_FIELDS = ("to", "cc", "bcc")


def decoded_words(text):
    return str(make_header(decode_header(text)))


def raw_headers(data):
    """The unfolded header fields of a message, by lower-case name."""
    block = data.split(b"\r\n\r\n", 1)[0].decode("ascii", "replace")
    fields = {}
    for line in re.sub(r"\r\n(?=[ \t])", "", block).split("\r\n"):
        name, _, value = line.partition(":")
        fields.setdefault(name.lower(), []).append(value[1:] if value.startswith(" ") else value)
    return fields


def raw_entries(value):
    """A recipient field's entries, split at the commas outside quotes and
    angle brackets: a name-only entry as its decoded text, any other as
    [display name, address]."""
    entries, current, quoted, angle = [], "", False, False
    for i, c in enumerate(value + ","):
        if c == "," and not quoted and not angle:
            entry = current.strip()
            if "@" in entry:
                name, address = email.utils.parseaddr(entry)
                entries.append([decoded_words(name), address])
            else:
                entries.append(decoded_words(entry).strip('"'))
            current = ""
            continue
        if c == '"' and (i == 0 or value[i - 1] != "\\"):
            quoted = not quoted
        elif c in "<>" and not quoted:
            angle = c == "<"
        current += c
    return entries


def structure_problems(data):
    problems = []
    if re.search(rb"\r(?!\n)|(?<!\r)\n", data):
        problems.append("a line break that is not CR LF")
    if not data.endswith(b"\r\n"):
        problems.append("the last line has no CR LF")
    longest = max(len(line) for line in data.split(b"\r\n"))
    if longest > 998:
        problems.append(f"a line of {longest} octets")
    return problems


def draft_problems(data, expected, files):
    """What differs between one draft (bytes) and its expectation; files maps
    a scenario file's name to its bytes."""
    problems = structure_problems(data)
    message = BytesParser(policy=policy.default).parsebytes(data)
    raw = raw_headers(data)
    raw_checked = set()
    for name, value in (("x-unsent", "1"), ("mime-version", "1.0")):
        if raw.get(name) != [value]:
            problems.append(f"{name}: {raw.get(name)}")
    if "from" in raw:
        problems.append("a From header")
    try:
        email.utils.parsedate_to_datetime(message["date"])
    except (TypeError, ValueError):
        problems.append(f"Date: {message['date']!r}")

    for field in RECIPIENT_FIELDS:
        want = expected.get(field)
        if want is None:
            if field in raw:
                problems.append(f"{field}: present, expected none: {raw[field]}")
            continue
        if len(raw.get(field, [])) != 1:
            problems.append(f"{field}: {raw.get(field)}")
            continue
        if all(isinstance(entry, list) for entry in want):
            got = [[a.display_name, a.addr_spec] for a in message[field].addresses]
        else:
            # Names without an address are no mailboxes to the parser: it
            # complains about them, so this field is read from its raw text.
            raw_checked.add(field)
            got = raw_entries(raw[field][0])
        if got != want:
            problems.append(f"{field}: expected {want}, got {got}")

    if expected.get("subject") != (str(message["subject"]) if "subject" in raw else None):
        problems.append(f"subject: expected {expected.get('subject')!r}, got {message['subject']!r}")

    parts = list(message.iter_parts()) if message.is_multipart() else [message]
    attachment = expected.get("attachment")
    if len(parts) != (2 if attachment else 1) or (attachment is None) == message.is_multipart():
        problems.append(f"parts: {[p.get_content_type() for p in parts]}")
        return problems
    text = parts[0]
    if text.get_content_type() != "text/plain" or text.get_content_charset() != "utf-8":
        problems.append(f"text part: {text['content-type']}")
    body = text.get_content()
    if body != expected.get("body", ""):
        problems.append(f"body: expected {expected.get('body', '')!r}, got {body!r}")
    if attachment:
        part = parts[1]
        content = part.get_content()
        want = hashlib.sha256(files[attachment["file"]]).hexdigest()
        if part.get_filename() != attachment["name"]:
            problems.append(f"attachment name: {part.get_filename()!r}")
        if hashlib.sha256(content).hexdigest() != want or part.get_content_disposition() != "attachment":
            problems.append(f"attachment: {len(content)} bytes, {part['content-disposition']}")

    defects = [str(d) for p in [message] + parts for d in p.defects]
    for p in [message] + parts:
        for name, value in p.items():
            if not (p is message and name.lower() in raw_checked):
                defects += [f"{name}: {d}" for d in value.defects]
    if defects:
        problems.append(f"parser defects: {defects}")
    return problems


def received_drafts(record_dir):
    """The drafts the handler copied, in the order it received them."""
    try:
        names = sorted((n for n in os.listdir(record_dir) if n.endswith(".eml")),
                       key=lambda n: int(n.split(".")[0]))
    except OSError:
        return []
    drafts = []
    for name in names:
        with open(os.path.join(record_dir, name), "rb") as f:
            drafts.append(f.read())
    return drafts
