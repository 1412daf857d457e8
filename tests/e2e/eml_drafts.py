"""Reads the draft message files that Quillora's -eml road writes back with
Python's own email package (policy.default), never with Quillora's code, and
says how a draft differs from what a scenario expects."""
import base64
import email
import hashlib
import os
import re
from email import policy

# A run of base64 encoded words separated by folding white space.
ADJACENT_WORDS = re.compile(rb"=\?utf-8\?B\?[A-Za-z0-9+/=]*\?=(?:\r\n[ \t]+=\?utf-8\?B\?[A-Za-z0-9+/=]*\?=)+",
                            re.IGNORECASE)


def joined_encoded_words(raw):
    """The draft with each run of adjacent encoded words made one: RFC 2047
    has a reader ignore the white space between them, but Python's address
    parser keeps a blank there in a display name."""
    def join(run):
        words = re.findall(rb"\?B\?([A-Za-z0-9+/=]*)\?=", run.group(0), re.IGNORECASE)
        text = b"".join(base64.b64decode(word) for word in words)
        return b"=?utf-8?B?" + base64.b64encode(text) + b"?="
    head, _, rest = raw.partition(b"\r\n\r\n")
    return ADJACENT_WORDS.sub(join, head) + b"\r\n\r\n" + rest


def raw_header(raw, name):
    """The header's value as written, unfolded (CR LF before white space
    removed), or None."""
    head = raw.split(b"\r\n\r\n", 1)[0].decode("latin-1")
    unfolded = re.sub(r"\r\n(?=[ \t])", "", head)
    for line in unfolded.split("\r\n"):
        key, _, value = line.partition(":")
        if key.lower() == name.lower():
            return value.strip()
    return None


def address_defects(name, value):
    """The defects of an address field but for its entries without '@': a
    name written as typed, for the mail app to resolve, is no address to
    Python's parser, by design."""
    entries, entry, quoted, escaped = [], "", False, False
    for c in value:
        if c == "," and not quoted:
            entries.append(entry)
            entry = ""
            continue
        entry += c
        quoted = quoted != (c == '"' and not escaped)
        escaped = c == "\\" and not escaped
    entries.append(entry)
    kept = ",".join(e for e in entries if "@" in e)
    if not kept:
        return ()
    return policy.default.header_factory(name, kept).defects


# A line may pass 78 characters to hold a lone word no fold can split, in these fields, or as name="...",
# whole for readers that know no RFC 2231.
WORD_FIELDS = (b"to", b"cc", b"bcc", b"subject")
WHOLE_NAME = re.compile(rb'\tname="[^"]*"')


def overlong_lines(raw):
    head_lines = raw.split(b"\r\n\r\n", 1)[0].count(b"\r\n") + 1
    overlong, field = [], b""
    for number, line in enumerate(raw.split(b"\r\n")):
        rest = line
        if number < head_lines and line[:1] not in (b" ", b"\t"):
            field, _, rest = line.partition(b":")
        one_word = number < head_lines and field.lower() in WORD_FIELDS and len(rest.split()) == 1
        if len(line) > 78 and not one_word and not WHOLE_NAME.fullmatch(line):
            overlong.append(line.decode("latin-1"))
    return overlong


def typed_names(args):
    """The names typed in -to, -cc and -bcc entries "name <address>", by field and address."""
    typed = {}
    for option, value in zip(args, args[1:]):
        for entry in value.split(";") if option.lower() in ("-to", "-cc", "-bcc") else ():
            match = re.fullmatch(r'[ \t]*("?)(.*?)\1[ \t]*<[ \t]*([^<>]*@[^<>]*?)[ \t]*>[ \t]*', entry, re.S)
            if match:
                typed.setdefault(option[1:].capitalize(), {})[match.group(3)] = match.group(2)
    return typed


def form_mismatches(raw):
    """What every draft must be: CR LF line ends only, no line over 998
    octets, a new unsent message with a date first (so that a reader
    guessing the type from the content takes it for mail) and no sender,
    and nothing Python's parser finds fault with, in any header or part."""
    problems = []
    if not raw.startswith(b"Date: "):
        problems.append("the first header is not Date")
    if not raw.endswith(b"\r\n"):
        problems.append("does not end with CR LF")
    lines = raw.split(b"\r\n")
    if any(b"\r" in line or b"\n" in line for line in lines):
        problems.append("a line ends without CR LF")
    if any(len(line) > 998 for line in lines):
        problems.append("a line over 998 octets")
    problems += [f"a line over 78 characters that a fold could shorten: {line!r}" for line in overlong_lines(raw)]
    message = email.message_from_bytes(raw, policy=policy.default)
    if message["X-Unsent"] != "1" or message["MIME-Version"] != "1.0":
        problems.append("X-Unsent or MIME-Version missing")
    if message["Date"] is None or message["Date"].datetime is None:
        problems.append("no valid Date")
    if message["From"] is not None:
        problems.append("a From header: the mail app puts in the account")
    for name, value in message.items():
        defects = getattr(value, "defects", None)
        if defects and name.lower() in ("to", "cc", "bcc"):
            defects = address_defects(name, raw_header(raw, name))
        if defects:
            problems.append(f"{name} defects: {defects}")
    for part in message.walk():
        if part.defects:
            problems.append(f"defects in {part.get_content_type()}: {part.defects}")
        for name in ("Content-Type", "Content-Disposition"):
            if part[name] is not None and part[name].defects:
                problems.append(f"{name} defects: {part[name].defects}")
    return message, problems


def draft_mismatches(raw, expected, files_dir, args=()):
    message, problems = form_mismatches(raw)
    for name, value in expected.get("headers", {}).items():
        if raw_header(raw, name) != value:
            problems.append(f"header {name}: expected {value!r}, got {raw_header(raw, name)!r}")
    addresses = email.message_from_bytes(joined_encoded_words(raw), policy=policy.default)
    for key in ("To", "Cc", "Bcc"):
        if key.lower() not in expected:
            continue
        want = expected[key.lower()]
        header = addresses[key]
        got = None if header is None else [[a.display_name, a.addr_spec] for a in header.addresses]
        if header is not None and header.defects:
            problems.append(f"{key}: defects {header.defects}")
        if got != want:
            problems.append(f"{key}: expected {want}, got {got}")
    for key, names in typed_names(args).items():
        header = addresses[key]
        for address in header.addresses if header is not None else ():
            typed = names.get(address.addr_spec, address.display_name)
            if address.display_name != typed:
                problems.append(f"{key}: {address.addr_spec} named {address.display_name!r}, typed {typed!r}")
    if "subject" in expected and message["Subject"] != expected["subject"]:
        problems.append(f"Subject: expected {expected['subject']!r}, got {message['Subject']!r}")

    # "attachment" names the one file, "attachments" several, in order.
    attachments = expected.get("attachments") or ([expected["attachment"]]
                                                   if expected.get("attachment") else [])
    parts = list(message.iter_parts()) if message.is_multipart() else [message]
    if message.get_content_type() != ("multipart/mixed" if attachments else "text/plain"):
        problems.append(f"content type {message.get_content_type()}")
    if len(parts) != 1 + len(attachments):
        return problems + [f"{len(parts)} parts"]
    text = parts[0]
    if text.get_content_type() != "text/plain" or text.get_content_charset() != "utf-8":
        problems.append("the text part is not text/plain in UTF-8")
    elif "body" in expected and text.get_content() != expected["body"]:
        problems.append(f"body: expected {expected['body']!r}, got {text.get_content()!r}")
    for i, (attachment, part) in enumerate(zip(attachments, parts[1:])):
        with open(os.path.join(files_dir, attachment["file"]), "rb") as f:
            want = hashlib.sha256(f.read()).hexdigest()
        data = part.get_content()
        if part.get_content_disposition() != "attachment":
            problems.append(f"file {i + 1} is not an attachment")
        if part.get_filename() != attachment["name"]:
            problems.append(f"file {i + 1}'s name: expected {attachment['name']!r}, "
                            f"got {part.get_filename()!r}")
        if not isinstance(data, bytes) or hashlib.sha256(data).hexdigest() != want:
            problems.append(f"file {i + 1}'s SHA-256 differs from the file's")
    return problems
