#!/usr/bin/env python3
"""Runs end-to-end scenario files against Quillora and the simulated mail client.

A scenario is a JSON file:

  {
    "description": "what it shows",
    "args": ["-to", "alice@example.com", "-attachment", "{dir}/q.pdf"],
    "commandLine": "-subject \"a b\" -body \"\"",  # instead of "args": the raw
                                              # Windows command line after the program
    "files": {"q.pdf": "contents"},          # optional, created in a fresh directory;
                                              # {"repeat": "x", "times": n} writes x n times;
                                              # {"hex": "ff fe 41 00"} writes those bytes
    "profile": { ... },                       # what differs from the base profile (below)
    "baseProfile": false,                     # optional: "profile" as written, no base
    "exitCode": 0,                            # -1 is the all-bits-set exit status
    "mapiCalls": false,                       # optional: the run never calls into MAPI
    "transcript": { ... },                    # the parts of the transcript that matter
    "mailto": ["mailto:a@b.org?subject=Hi"],  # the URLs the mailto: handler must
                                              # receive, exactly (default: none)
    "mailtoHandler": false                    # optional: no mailto: handler registered
  }

The client's profile (MAPISIM_PROFILE) is the shared base profile,
base-profile.json beside this runner (or --base-profile), with each top-level
member of the scenario's "profile" put in place of the base's member of that
name (a whole member: "stores" or "simpleMapi" replaces the base's, nothing
inside is merged). So a scenario states only what differs from the base, and
a complete profile works as before. A scenario that needs a member to be
absent, or the client's embedded default profile (no "profile" at all), says
"baseProfile": false and gets its "profile" exactly as written.

A run that must stop before MAPI says "mapiCalls": false. Under --wine, Wine's
MAPI32 then traces (WINEDEBUG +mapi) no call of any of its functions; only
its loading shows. Natively the client cannot tell, so such a scenario keeps
a working profile and expects an empty transcript ("forms": [], "sends"):
any road that ran would leave a form or a send there.

Under --wine the real MessageBoxA runs and the provider never hears of it:
expected "messageBoxes" are compared with the calls that Wine's relay trace
shows (owner window, text, caption, style), and a scenario with
"wineSkip": "<reason>" is skipped.

A "commandLine" is split by the Windows program's own C runtime under Wine
(it runs from a batch file, so avoid cmd's special characters % ^ & | < >
outside quotes); natively the runner splits it by the same rules first.
Doubled quotes inside a quoted run differ between runtime versions: avoid.

Every scenario runs with a recording mailto: handler registered (unless
"mailtoHandler" is false), which appends each command line it is started with
to a file named by QUILLORA_MAILTO_RECORD. Natively the handler is a desktop
entry (Exec=<recorder> %u) named for x-scheme-handler/mailto in a
mimeapps.list under the scenario's own XDG directories; under --wine it is
--mailto-recorder, named by HKCR\mailto\shell\open\command in the
registry view of the program's bitness from the start of the run to its end
(Wine's own registration is put back afterwards). The handler is not waited
for, so the runner polls for the expected URLs; a scenario that passes
-mailto but expects none waits a short settle time before concluding that
none came.

"{dir}" in arguments and in the expected transcript stands for the scenario's
directory, written the way the program under test sees it. Expected objects
match when every member they name matches; expected lists must have the same
length and match element by element. Whatever the scenario says, every
transcript must end with no outstanding references or buffers.

  run_scenario.py --program build/native/front/Quillora tests/e2e/scenarios/*.json
  run_scenario.py --wine --program build/mingw-x86_64/front/Quillora.exe \
      --mailto-recorder build/mingw-x86_64/tests/e2e/mailto_recorder.exe ...
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time


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
MAILTO_HANDLER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "wine",
                              "mailto-handler.sh")


def native_desktop(work, env, with_handler):
    """Points the XDG variables at directories of the scenario's own and, with
    a handler, makes the recorder the desktop's mailto: handler there."""
    xdg = os.path.join(work, "xdg")
    env["XDG_CONFIG_HOME"] = os.path.join(xdg, "config")
    env["XDG_CONFIG_DIRS"] = os.path.join(xdg, "etc")
    env["XDG_DATA_HOME"] = os.path.join(xdg, "data")
    env["XDG_DATA_DIRS"] = os.path.join(xdg, "share")
    env.pop("XDG_CURRENT_DESKTOP", None)
    if not with_handler:
        return
    recorder = os.path.join(xdg, "mailto-recorder")
    applications = os.path.join(env["XDG_DATA_HOME"], "applications")
    os.makedirs(applications)
    os.makedirs(env["XDG_CONFIG_HOME"])
    with open(recorder, "w", encoding="utf-8") as out:
        out.write(NATIVE_RECORDER.format(python=sys.executable))
    os.chmod(recorder, 0o755)
    with open(os.path.join(applications, "quillora-recorder.desktop"), "w") as out:
        out.write(f"[Desktop Entry]\nType=Application\nName=Recorder\nExec={recorder} %u\n")
    with open(os.path.join(env["XDG_CONFIG_HOME"], "mimeapps.list"), "w") as out:
        out.write("[Default Applications]\nx-scheme-handler/mailto=quillora-recorder.desktop\n")


def wine_mailto_handler(action, args):
    command = ["bash", MAILTO_HANDLER, action]
    if action == "register":
        command.append(args.mailto_recorder)
    if action in ("register", "restore"):
        command.append(args.saved_mailto_key)
    subprocess.run(command, check=action != "restore", timeout=120)


def passes_mailto(scenario):
    words = scenario.get("args", [])
    if "commandLine" in scenario:
        words = split_windows_command_line(scenario["commandLine"])
    return any(word.lower() == "-mailto" for word in words)


def received_urls(record_path, expected, wait, args):
    """The lines the handler recorded: once as many as expected have come
    (or the time is up), and a settle time later, so an extra one shows."""
    def lines():
        try:
            with open(record_path, encoding="latin-1") as f:
                return f.read().splitlines()
        except OSError:
            return []
    settle = 2.0 if args.wine else 0.5
    deadline = time.monotonic() + (30 if args.wine else 10)
    while expected and len(lines()) < len(expected) and time.monotonic() < deadline:
        time.sleep(0.05)
    if wait or expected:
        time.sleep(settle)
    return lines()


def scenario_profile(scenario, base_path):
    """The profile to run a scenario against, or None for the client's
    embedded default."""
    if scenario.get("baseProfile", True) is False:
        return scenario.get("profile")
    with open(base_path, encoding="utf-8") as f:
        profile = json.load(f)
    profile.update(scenario.get("profile", {}))
    return profile


def run(scenario_path, args):
    with open(scenario_path, encoding="utf-8") as f:
        scenario = json.load(f)
    if args.wine and "wineSkip" in scenario:
        print(f"skip {scenario_path}: {scenario['wineSkip']}")
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
            env["WINEDEBUG"] = "+relay,+mapi" if never_mapi else "+relay"
        with_handler = scenario.get("mailtoHandler", True) is not False
        record_path = os.path.join(work, "mailto-urls.txt")
        env["QUILLORA_MAILTO_RECORD"] = to_program_path(record_path)
        if args.wine:
            if not with_handler:
                wine_mailto_handler("remove", args)
        else:
            native_desktop(work, env, with_handler)
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
                wine_mailto_handler("register", args)
        problems = []
        expected_urls = scenario.get("mailto", [])
        urls = received_urls(record_path, expected_urls, passes_mailto(scenario), args)
        if urls != expected_urls:
            problems.append(f"mailto: URLs: expected {json.dumps(expected_urls)}, "
                            f"got {json.dumps(urls)}")
        expected_code = scenario.get("exitCode", 0) & 0xFF
        if completed.returncode != expected_code:
            problems.append(f"exit code: expected {expected_code}, got {completed.returncode}")
        try:
            with open(transcript_path, encoding="utf-8") as f:
                transcript = json.load(f)
        except (OSError, ValueError) as error:
            transcript = None
            problems.append(f"no readable transcript: {error}")
        if transcript is not None:
            expected = substitute(scenario.get("transcript", {}), dir_text)
            if args.wine:
                boxes = expected.pop("messageBoxes", [])
                relayed = relayed_message_boxes(completed.stderr.decode("latin-1"))
                problems += mismatches([dict(box, owner=0) for box in boxes], relayed,
                                       "MessageBoxA calls")
            problems += mismatches(expected, transcript)
            problems += mismatches({"outstanding": {"references": 0, "buffers": 0}}, transcript)
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
    parser.add_argument("--timeout", type=float, default=60)
    parser.add_argument("scenarios", nargs="+")
    args = parser.parse_args()
    if args.wine and not args.mailto_recorder:
        parser.error("--wine needs --mailto-recorder")
    if args.wine:
        saved = tempfile.mkdtemp(prefix="quillora-mailto-key-")
        args.saved_mailto_key = os.path.join(saved, "mailto.reg")
        try:
            wine_mailto_handler("register", args)
            results = [run(path, args) for path in args.scenarios]
        finally:
            wine_mailto_handler("restore", args)
            shutil.rmtree(saved, ignore_errors=True)
    else:
        results = [run(path, args) for path in args.scenarios]
    print(f"{results.count(True)} of {len(results)} scenarios passed")
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
