#!/usr/bin/env python3
"""Runs end-to-end scenario files against Quillora and the simulated mail
client, natively or under Wine. The scenario format: README.md beside this
file."""
import argparse
import glob
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time

import eml_drafts


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def split_windows_command_line(line):
    """Splits a command line the way the Windows C runtime builds argv:
    blanks separate words outside quotes; 2n backslashes before a quote give
    n backslashes and the quote opens or closes a quoted run, 2n+1 give n
    and a literal quote; other backslashes are literal."""
    words, i, n = [], 0, len(line)
    while True:
        while i < n and line[i] in " \t":
            i += 1
        if i >= n:
            return words
        word, quoted = "", False
        while i < n and (quoted or line[i] not in " \t"):
            if line[i] == "\\":
                j = i
                while j < n and line[j] == "\\":
                    j += 1
                if j < n and line[j] == '"':
                    word += "\\" * ((j - i) // 2)
                    if (j - i) % 2:
                        word += '"'
                        j += 1
                else:
                    word += "\\" * (j - i)
                i = j
            elif line[i] == '"':
                quoted = not quoted
                i += 1
            else:
                word += line[i]
                i += 1
        words.append(word)


def substitute(value, dir_text):
    if isinstance(value, str):
        return value.replace("{dir}", dir_text)
    if isinstance(value, list):
        return [substitute(v, dir_text) for v in value]
    if isinstance(value, dict):
        return {k: substitute(v, dir_text) for k, v in value.items()}
    return value


# Wine's relay trace of a call, e.g.
#   0184:Call user32.MessageBoxA(00000000,140028000 "Unable ...",1400280b0 "Quillora",00000000) ret=...
RELAY_MESSAGE_BOX = re.compile(
    r'Call user32\.MessageBoxA\(([0-9a-f]+),[0-9a-f]+ "((?:[^"\\]|\\.)*)",'
    r'[0-9a-f]+ "((?:[^"\\]|\\.)*)",([0-9a-f]+)\)')
# Wine's MAPI32 traces each of its functions as it is called, e.g.
#   0154:trace:mapi:MAPIInitialize (000000000021FC28)
# and its own loading as DllMain and load_mapi_provider(s).
TRACED_MAPI_CALL = re.compile(r"trace:mapi:(\w+)")
MAPI_LOADING = re.compile(r"DllMain|(un)?load_mapi_providers?")
RELAY_ESCAPES = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "\\": "\\"}


def relay_text(escaped):
    return re.sub(r"\\(.)", lambda m: RELAY_ESCAPES.get(m.group(1), m.group(0)), escaped)


def relayed_message_boxes(stderr_text):
    return [{"owner": int(owner, 16), "text": relay_text(text), "caption": relay_text(caption),
             "style": int(style, 16)}
            for owner, text, caption, style in RELAY_MESSAGE_BOX.findall(stderr_text)]


def mismatches(expected, actual, where="transcript"):
    if isinstance(expected, dict):
        if not isinstance(actual, dict):
            return [f"{where}: expected an object, got {json.dumps(actual)}"]
        found = []
        for key, value in expected.items():
            if key not in actual:
                found.append(f"{where}.{key}: missing")
            else:
                found += mismatches(value, actual[key], f"{where}.{key}")
        return found
    if isinstance(expected, list):
        if not isinstance(actual, list) or len(actual) != len(expected):
            return [f"{where}: expected {json.dumps(expected)}, got {json.dumps(actual)}"]
        found = []
        for i, (e, a) in enumerate(zip(expected, actual)):
            found += mismatches(e, a, f"{where}[{i}]")
        return found
    if expected != actual or type(expected) is not type(actual):
        return [f"{where}: expected {json.dumps(expected)}, got {json.dumps(actual)}"]
    return []


NATIVE_RECORDER = """#!{python}
import os, sys
with open(os.environ["QUILLORA_MAILTO_RECORD"], "a", encoding="latin-1") as out:
    out.write(" ".join(sys.argv[1:]) + "\\n")
"""
WINE_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "wine")
MAILTO_HANDLER = os.path.join(WINE_DIR, "mailto-handler.sh")
MAIL_CLIENT = os.path.join(WINE_DIR, "mail-client.sh")
TEMP_FOLDER = os.path.join(WINE_DIR, "temp-folder.sh")


def write_pe32_headers(path):
    """The headers of a 32-bit (i386) DLL and nothing else: what the
    program reads to tell a library's bitness; no loader loads it."""
    dos = b"MZ" + bytes(0x3A) + struct.pack("<I", 0x40)  # e_lfanew
    coff = struct.pack("<HHIIIHH", 0x014C, 0, 0, 0, 0, 0xE0, 0x2102)  # i386, DLL
    optional = struct.pack("<H", 0x010B).ljust(0xE0, b"\0")  # PE32
    with open(path, "wb") as out:
        out.write(dos + b"PE\0\0" + coff + optional)


def bitness_words(args, work):
    """What a scenario may name by bitness: this build's, and a MAPI library
    of the other bitness. For the x86 build that is Wine's own 64-bit MAPI32
    in the prefix's system32 (by its host path, so no redirection applies);
    for the x64 build a 32-bit one written here, as the prefix's syswow64
    exists only where Wine's 32-bit side could boot."""
    own = 32 if args.wine and os.environ.get("QUILLORA_WINE_BITS") == "32" else 64
    if own == 32:
        other = os.path.join(os.environ.get("WINEPREFIX", ""), "drive_c", "windows",
                             "system32", "mapi32.dll")
    else:
        other = os.path.join(work, "olmapi32.dll")
        if args.wine:
            write_pe32_headers(other)
    return {"{ownBuild}": "x86" if own == 32 else "x64", "{otherBits}": str(96 - own),
            "{otherPackage}": "x64" if own == 32 else "x86",
            "{otherBitnessMapi32}": windows_path(other)}


def with_words(value, words):
    for key, word in words.items():
        value = value.replace(key, word)
    return value


def log_mismatches(scenario, log_path, words):
    """The report's lines must match the expected patterns in order (each a
    whole line), and hold none of the words it must never repeat. A new log
    is UTF-8, with the byte order mark first."""
    try:
        with open(log_path, "rb") as f:
            raw = f.read()
    except OSError as error:
        return [f"no log: {error}"]
    problems = []
    if not raw.startswith(b"\xef\xbb\xbf"):
        problems.append("log: a new log does not start with UTF-8's byte order mark")
    try:
        text = raw.decode("utf-8").lstrip("\ufeff")
    except UnicodeDecodeError as error:
        return [f"log: not UTF-8: {error}"]
    if text and not text.endswith("\r\n"):
        problems.append("log: does not end with CR LF")
    lines = text.split("\r\n")
    at = 0
    for pattern in scenario.get("log", []):
        pattern = with_words(pattern, words)
        while at < len(lines) and not re.fullmatch(pattern, lines[at]):
            at += 1
        if at == len(lines):
            problems.append(f"log: no line {json.dumps(pattern)} (in order)")
            at = 0
    problems += [f"log: holds {json.dumps(word)}" for word in scenario.get("logWithout", [])
                 if word in text]
    if problems:
        problems.append("log was: " + json.dumps(text))
    return problems


NATIVE_EML_RECORDER = """#!{python}
import os, shutil, sys
record = os.environ["QUILLORA_EML_RECORD"]
shutil.copyfile(sys.argv[1], os.path.join(record, "draft-%d.eml" % (len(os.listdir(record)) + 1)))
"""


def native_desktop(work, env, with_mailto, with_eml):
    """Points the XDG variables at directories of the scenario's own and
    makes the recorders the desktop's handlers there: for mailto: links and,
    for draft message files, for message/rfc822."""
    xdg = os.path.join(work, "xdg")
    env["XDG_CONFIG_HOME"] = os.path.join(xdg, "config")
    env["XDG_CONFIG_DIRS"] = os.path.join(xdg, "etc")
    env["XDG_DATA_HOME"] = os.path.join(xdg, "data")
    env["XDG_DATA_DIRS"] = os.path.join(xdg, "share")
    env.pop("XDG_CURRENT_DESKTOP", None)
    applications = os.path.join(env["XDG_DATA_HOME"], "applications")
    os.makedirs(applications)
    os.makedirs(env["XDG_CONFIG_HOME"])
    defaults = "[Default Applications]\n"
    for wanted, mime, name, script, field in (
            (with_mailto, "x-scheme-handler/mailto", "mailto-recorder", NATIVE_RECORDER, "%u"),
            (with_eml, "message/rfc822", "eml-recorder", NATIVE_EML_RECORDER, "%f")):
        if not wanted:
            continue
        recorder = os.path.join(xdg, name)
        with open(recorder, "w", encoding="utf-8") as out:
            out.write(script.format(python=sys.executable))
        os.chmod(recorder, 0o755)
        with open(os.path.join(applications, f"quillora-{name}.desktop"), "w") as out:
            out.write(f"[Desktop Entry]\nType=Application\nName=Recorder\nExec={recorder} {field}\n")
        defaults += f"{mime}=quillora-{name}.desktop\n"
    with open(os.path.join(env["XDG_CONFIG_HOME"], "mimeapps.list"), "w") as out:
        out.write(defaults)


def wine_handler(kind, action, args):
    """Registers, removes or restores the recording program for mailto:
    links or .eml files under Wine (tests/wine/<kind>-handler.sh)."""
    command = ["bash", os.path.join(WINE_DIR, f"{kind}-handler.sh"), action]
    if action == "register":
        command.append(getattr(args, f"{kind}_recorder"))
    if action in ("register", "restore"):
        command.append(os.path.join(args.saved_keys, f"{kind}.reg"))
    subprocess.run(command, check=action != "restore", timeout=120)


def passes(scenario, flag):
    words = scenario.get("args", [])
    if "commandLine" in scenario:
        words = split_windows_command_line(scenario["commandLine"])
    return any(word.lower() == flag for word in words)


def received(items, expected, wait, args):
    """What a handler recorded (items() lists it): once as many as expected
    have come (or the time is up), and a settle time later, so an extra one
    shows."""
    settle = 2.0 if args.wine else 0.5
    deadline = time.monotonic() + (30 if args.wine else 10)
    while expected and len(items()) < expected and time.monotonic() < deadline:
        time.sleep(0.05)
    if wait or expected:
        time.sleep(settle)
    return items()


def recorded_urls(record_path):
    try:
        with open(record_path, encoding="latin-1") as f:
            return f.read().splitlines()
    except OSError:
        return []


def recorded_drafts(record_dir):
    names = sorted(os.listdir(record_dir), key=lambda n: int(re.sub(r"\D", "", n) or 0))
    return [os.path.join(record_dir, name) for name in names]


def draft_folder(work, args, scenario):
    """Where the program keeps its drafts: in the scenario's own temporary
    folder (tempFolder), else natively under the scenario's own TMP and
    under Wine in the prefix's temporary folder, which Wine sets itself."""
    if "tempFolder" in scenario:
        return os.path.join(work, scenario["tempFolder"], "Quillora")
    if not args.wine:
        return os.path.join(work, "tmp", "Quillora")
    prefix = os.environ.get("WINEPREFIX", "")
    for temp in glob.glob(os.path.join(prefix, "drive_c", "users", "*", "Temp")) + glob.glob(
            os.path.join(prefix, "drive_c", "users", "*", "AppData", "Local", "Temp")):
        if os.path.basename(os.path.dirname(os.path.dirname(temp))) != "Public":
            return os.path.join(temp, "Quillora")
    return os.path.join(prefix, "drive_c", "nonexistent")


def drafts_left(folder):
    try:
        return sorted(name for name in os.listdir(folder) if name.endswith(".eml"))
    except OSError:
        return []


def eml_mismatches(scenario, drafts, folder, work):
    expected = scenario.get("eml", [])
    if len(drafts) != len(expected):
        return [f"drafts opened: expected {len(expected)}, got {len(drafts)}"]
    problems = []
    for i, (path, want) in enumerate(zip(drafts, expected)):
        with open(path, "rb") as f:
            problems += [f"draft {i + 1}: {p}" for p in
                         eml_drafts.draft_mismatches(f.read(), want, work, scenario.get("args", []))]
    # An opened draft stays for the mail app; a refused one is never left.
    left = drafts_left(folder)
    if len(left) != len(expected):
        problems.append(f"drafts left in {folder}: {left}, expected {len(expected)}")
    for name in left:
        with open(os.path.join(folder, name), "rb") as f:
            problems += [f"{name}: {p}" for p in eml_drafts.form_mismatches(f.read())[1]]
    return problems


def trace_mismatches(scenario, stderr_text):
    """Under Wine: the lines of Wine's own trace that must come, in order."""
    lines = stderr_text.splitlines()
    at, problems = 0, []
    for pattern in scenario.get("wineTrace", {}).get("inOrder", []):
        while at < len(lines) and not re.search(pattern, lines[at]):
            at += 1
        if at == len(lines):
            problems.append(f"Wine's trace: no line {json.dumps(pattern)} (in order)")
            at = 0
    return problems


def scenario_profile(scenario, base_path):
    """The profile to run a scenario against, or None for the client's
    embedded default."""
    if scenario.get("baseProfile", True) is False:
        return scenario.get("profile")
    with open(base_path, encoding="utf-8") as f:
        profile = json.load(f)
    profile.update(scenario.get("profile", {}))
    return profile


def load_scenarios(path):
    """The scenarios of one file: one object, or a list of them (a table)."""
    with open(path, encoding="utf-8") as f:
        loaded = json.load(f)
    if isinstance(loaded, list):
        return [(f"{path}[{i}]", scenario) for i, scenario in enumerate(loaded)]
    return [(path, loaded)]


def run(scenario_path, scenario, args):
    skip = scenario.get("wineSkip") if args.wine else scenario.get("nativeSkip")
    if skip:
        print(f"skip {scenario_path}: {skip}")
        return True
    work = tempfile.mkdtemp(prefix="quillora-e2e-")
    try:
        dir_text = windows_path(work) if args.wine else work
        for name, content in scenario.get("files", {}).items():
            path = os.path.join(work, name)
            with open(path, "wb") as out:
                if isinstance(content, dict) and "repeat" in content:
                    out.write(content["repeat"].encode("latin-1") * content["times"])
                elif isinstance(content, dict) and "hex" in content:
                    out.write(bytes.fromhex(content["hex"]))
                else:
                    out.write(content.encode("latin-1"))
        transcript_path = os.path.join(work, "transcript.json")
        env = dict(os.environ)
        env.pop("MAPISIM_PROFILE", None)
        to_program_path = windows_path if args.wine else (lambda p: p)
        env["MAPISIM_TRANSCRIPT"] = to_program_path(transcript_path)
        never_mapi = scenario.get("mapiCalls", True) is False
        if args.wine:
            channels = ["+relay"] + (["+mapi"] if never_mapi else [])
            channels += [scenario["wineTrace"]["channels"]] if "wineTrace" in scenario else []
            env["WINEDEBUG"] = ",".join(channels)
        with_handler = scenario.get("mailtoHandler", True) is not False
        with_eml = scenario.get("emlHandler", True) is not False
        record_path = os.path.join(work, "mailto-urls.txt")
        env["QUILLORA_MAILTO_RECORD"] = to_program_path(record_path)
        eml_record = os.path.join(work, "drafts-opened")
        os.makedirs(eml_record)
        env["QUILLORA_EML_RECORD"] = to_program_path(eml_record)
        folder = draft_folder(work, args, scenario)
        temp = scenario.get("tempFolder")
        if temp:
            os.makedirs(os.path.join(work, temp))
        if args.wine:
            for name in drafts_left(folder):
                os.remove(os.path.join(folder, name))
            if temp:
                subprocess.run(["bash", TEMP_FOLDER, "set", windows_path(os.path.join(work, temp)),
                                os.path.join(work, "environment.reg")], check=True, timeout=120)
        else:
            os.makedirs(os.path.join(work, "tmp"))
            env["TMP"] = os.path.join(work, temp or "tmp")
        words = bitness_words(args, work)
        client = scenario.get("mailClient")
        if args.wine:
            if not with_handler:
                wine_handler("mailto", "remove", args)
            if not with_eml:
                wine_handler("eml", "remove", args)
            if client:
                subprocess.run(["bash", MAIL_CLIENT, "set", client["name"],
                                with_words(client.get("DLLPathEx", "-"), words),
                                with_words(client.get("DLLPath", "-"), words),
                                os.path.join(work, "mail-client.reg")], check=True, timeout=120)
        else:
            native_desktop(work, env, with_handler, with_eml)
        profile = scenario_profile(scenario, args.base_profile)
        if profile is not None:
            profile_path = os.path.join(work, "profile.json")
            with open(profile_path, "w", encoding="utf-8") as out:
                json.dump(profile, out)
            env["MAPISIM_PROFILE"] = to_program_path(profile_path)
        program = os.path.abspath(args.program)
        if "commandLine" in scenario and args.wine:
            # cmd hands the rest of the line to the program unchanged.
            line = substitute(scenario["commandLine"], dir_text)
            batch = os.path.join(work, "run.bat")
            with open(batch, "w", encoding="latin-1", newline="\r\n") as out:
                out.write(f'@"{windows_path(program)}" {line}\n@exit /b %ERRORLEVEL%\n')
            command = [args.wine_runner, "cmd", "/c", windows_path(batch)]
        elif "commandLine" in scenario:
            command = [program] + split_windows_command_line(
                substitute(scenario["commandLine"], dir_text))
        else:
            command = ([args.wine_runner] if args.wine else []) + [program]
            command += substitute(scenario.get("args", []), dir_text)
        try:
            completed = subprocess.run(command, env=env, cwd=work, capture_output=True,
                                       timeout=args.timeout)
        finally:
            if args.wine and not with_handler:
                wine_handler("mailto", "register", args)
            if args.wine and not with_eml:
                wine_handler("eml", "register", args)
            if args.wine and client:
                subprocess.run(["bash", MAIL_CLIENT, "restore",
                                os.path.join(work, "mail-client.reg")], timeout=120)
            if args.wine and temp:
                subprocess.run(["bash", TEMP_FOLDER, "restore",
                                os.path.join(work, "environment.reg")], timeout=120)
        problems = []
        expected_urls = scenario.get("mailto", [])
        urls = received(lambda: recorded_urls(record_path), len(expected_urls),
                        passes(scenario, "-mailto"), args)
        if urls != expected_urls:
            problems.append(f"mailto: URLs: expected {json.dumps(expected_urls)}, "
                            f"got {json.dumps(urls)}")
        expected_code = scenario.get("exitCode", 0) & 0xFF
        if completed.returncode != expected_code:
            problems.append(f"exit code: expected {expected_code}, got {completed.returncode}")
        transcript = None
        try:
            with open(transcript_path, encoding="utf-8") as f:
                transcript = json.load(f)
        except (OSError, ValueError) as error:
            # "transcript": null: no mail client of ours is loaded at all.
            if scenario.get("transcript", {}) is not None:
                problems.append(f"no readable transcript: {error}")
        if transcript is not None and scenario.get("transcript", {}) is None:
            problems.append("a transcript, though no mail client of ours should have loaded")
        elif transcript is not None:
            expected = substitute(scenario.get("transcript", {}), dir_text)
            if args.wine:
                boxes = expected.pop("messageBoxes", [])
                relayed = relayed_message_boxes(completed.stderr.decode("latin-1"))
                problems += mismatches([dict(box, owner=0) for box in boxes], relayed,
                                       "MessageBoxA calls")
            problems += mismatches(expected, transcript)
            problems += mismatches({"outstanding": {"references": 0, "buffers": 0}}, transcript)
        drafts = received(lambda: recorded_drafts(eml_record), len(scenario.get("eml", [])),
                          passes(scenario, "-eml"), args)
        problems += eml_mismatches(scenario, drafts, folder, work)
        if "log" in scenario or "logWithout" in scenario:
            problems += log_mismatches(scenario,
                                       os.path.join(work, scenario.get("logFile", "run.log")), words)
        if args.wine:
            problems += trace_mismatches(scenario, completed.stderr.decode("latin-1"))
        if args.wine and never_mapi:
            traced = TRACED_MAPI_CALL.findall(completed.stderr.decode("latin-1"))
            called = sorted({name for name in traced if not MAPI_LOADING.fullmatch(name)})
            if called:
                problems.append("MAPI was called: " + ", ".join(called))
        if problems:
            print(f"FAIL {scenario_path}")
            for p in problems:
                print("   ", p)
            print("    stdout:", completed.stdout.decode("latin-1")[-2000:])
            print("    stderr:", completed.stderr.decode("latin-1")[-2000:])
            if transcript is not None:
                print("    transcript:", json.dumps(transcript)[:4000])
            return False
        print(f"ok   {scenario_path}")
        return True
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--program", required=True, help="the Quillora program to run")
    parser.add_argument("--wine", action="store_true",
                        help="run a Windows build through the Wine runner")
    parser.add_argument("--wine-runner",
                        default=os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                             "..", "wine", "wine-run.sh"))
    parser.add_argument("--base-profile",
                        default=os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                             "base-profile.json"),
                        help="the profile every scenario's own profile is laid over")
    parser.add_argument("--mailto-recorder",
                        help="under --wine: the Windows program registered for mailto: links")
    parser.add_argument("--eml-recorder",
                        help="under --wine: the Windows program registered for .eml files")
    parser.add_argument("--timeout", type=float, default=60)
    parser.add_argument("scenarios", nargs="+")
    args = parser.parse_args()
    if args.wine and not (args.mailto_recorder and args.eml_recorder):
        parser.error("--wine needs --mailto-recorder and --eml-recorder")
    if args.wine:
        args.saved_keys = tempfile.mkdtemp(prefix="quillora-handler-keys-")
        try:
            wine_handler("mailto", "register", args)
            wine_handler("eml", "register", args)
            results = [run(label, scenario, args) for path in args.scenarios
                       for label, scenario in load_scenarios(path)]
        finally:
            wine_handler("mailto", "restore", args)
            wine_handler("eml", "restore", args)
            shutil.rmtree(args.saved_keys, ignore_errors=True)
    else:
        results = [run(label, scenario, args) for path in args.scenarios
                   for label, scenario in load_scenarios(path)]
    print(f"{results.count(True)} of {len(results)} scenarios passed")
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
