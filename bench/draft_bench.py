#!/usr/bin/env python3
"""The -eml draft of a large attachment: peak memory and time.

The real native Quillora (build/native), with both MAPI roads failing
against the simulated mail client, writes the draft message file of a
request with a 1 MiB and with a 512 MiB attachment into a temporary folder
of its own, and opens it with a desktop entry for message/rfc822 that does
nothing. Goals: the 512 MiB run's peak RSS within 8 MiB of the 1 MiB run's,
and its wall time at most 1.3 times that of `base64 -w 76 FILE > OUT` on the
same file, measured in the same run (best of --runs each, interleaved).

Every run must exit 0 and leave one draft whose attachment decodes to the
file: the 1 MiB draft is read back whole with Python's email package, the
512 MiB one's base64 through `base64 -d`. Prints the figures and whether
each goal is met; exits 0 when both are.

  bench/draft_bench.py [--native DIR] [--runs N]
"""
import argparse
import hashlib
import json
import mmap
import os
import shutil
import subprocess
import sys
import tempfile
from email import policy
from email.parser import BytesParser

from attachment_bench import MIB, make_file, run_measured

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RSS_SLACK_MIB = 8
TIME_FACTOR = 1.3
BOUNDARY = b"--=_Quillora_part"


def desktop(work):
    """Environment for the runs: failing MAPI roads, a handler for
    message/rfc822 that does nothing, and a temporary folder of their own."""
    env = dict(os.environ, TMP=os.path.join(work, "temp"))
    for name, sub in (("XDG_CONFIG_HOME", "config"), ("XDG_DATA_HOME", "data")):
        env[name] = os.path.join(work, "xdg", sub)
    env["XDG_CONFIG_DIRS"] = env["XDG_DATA_DIRS"] = os.path.join(work, "xdg", "none")
    env.pop("XDG_CURRENT_DESKTOP", None)
    os.makedirs(os.path.join(env["XDG_DATA_HOME"], "applications"))
    os.makedirs(env["XDG_CONFIG_HOME"])
    os.makedirs(env["TMP"])
    with open(os.path.join(env["XDG_DATA_HOME"], "applications", "nothing.desktop"), "w") as f:
        f.write(f"[Desktop Entry]\nType=Application\nName=Nothing\nExec={shutil.which('true')} %f\n")
    with open(os.path.join(env["XDG_CONFIG_HOME"], "mimeapps.list"), "w") as f:
        f.write("[Default Applications]\nmessage/rfc822=nothing.desktop\n")
    profile = os.path.join(work, "profile.json")
    with open(profile, "w") as f:
        json.dump({"initialize": "0x80004005", "simpleMapi": {"result": 2}}, f)
    env["MAPISIM_PROFILE"] = profile
    env["MAPISIM_TRANSCRIPT"] = os.path.join(work, "transcript.json")
    return env


def take_draft(env):
    folder = os.path.join(env["TMP"], "Quillora")
    names = os.listdir(folder)
    if len(names) != 1:
        raise SystemExit(f"expected one draft, found {names}")
    return os.path.join(folder, names[0])


def attachment_digest(draft, whole):
    """SHA-256 of the draft's attachment, as a reader decodes it."""
    if whole:
        with open(draft, "rb") as f:
            part = list(BytesParser(policy=policy.default).parse(f).iter_parts())[1]
        return hashlib.sha256(part.get_content()).hexdigest()
    with open(draft, "rb") as f, mmap.mmap(f.fileno(), 0, access=mmap.ACCESS_READ) as data:
        start = data.find(b"\r\n\r\n", data.find(b"Content-Transfer-Encoding: base64")) + 4
        end = data.rfind(BOUNDARY + b"--")
        decoder = subprocess.Popen("base64 -d -i | sha256sum", shell=True, stdin=subprocess.PIPE,
                                   stdout=subprocess.PIPE)
        for at in range(start, end, 64 * MIB):
            decoder.stdin.write(data[at:min(end, at + 64 * MIB)])
        return decoder.communicate()[0].split()[0].decode()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--native", default=os.path.join(ROOT, "build", "native"))
    parser.add_argument("--runs", type=int, default=3, help="runs per file (best time)")
    args = parser.parse_args()
    program = os.path.join(args.native, "front", "Quillora")
    if not os.access(program, os.X_OK):
        raise SystemExit(f"no {program}: build the native preset first")

    work = tempfile.mkdtemp(prefix="quillora-draft-bench-")
    try:
        env = desktop(work)
        figures = {}
        for name, size in (("1 MiB", MIB), ("512 MiB", 512 * MIB)):
            path = os.path.join(work, name.replace(" ", "") + ".bin")
            make_file(path, size)
            with open(path, "rb") as f:
                digest = hashlib.file_digest(f, "sha256").hexdigest()
            best, best_base64, peak = None, None, 0
            for _ in range(args.runs):
                status, seconds, _, _, _ = run_measured(["base64", "-w", "76", path])
                best_base64 = min(best_base64 or seconds, seconds)
                status, seconds, _, rss, _ = run_measured(
                    [program, "-to", "alice@example.com", "-subject", "Draft bench", "-attachment",
                     path, "-eml"], env=env)
                if status != 0:
                    raise SystemExit(f"Quillora exited {status} for {name}")
                draft = take_draft(env)
                if attachment_digest(draft, size <= MIB) != digest:
                    raise SystemExit(f"{name}: the draft's attachment is not the file")
                os.remove(draft)
                best = min(best or seconds, seconds)
                peak = max(peak, rss)
            figures[name] = {"seconds": best, "base64": best_base64, "rss_kib": peak}
            os.remove(path)
    finally:
        shutil.rmtree(work, ignore_errors=True)

    small, large = figures["1 MiB"], figures["512 MiB"]
    growth = (large["rss_kib"] - small["rss_kib"]) / 1024
    ratio = large["seconds"] / large["base64"]
    goals = [
        (f"peak RSS: 1 MiB {small['rss_kib'] / 1024:.1f} MiB, 512 MiB "
         f"{large['rss_kib'] / 1024:.1f} MiB ({growth:+.1f} MiB, goal <= {RSS_SLACK_MIB})",
         growth <= RSS_SLACK_MIB),
        (f"time, 512 MiB: Quillora {large['seconds']:.2f} s, base64 -w 76 {large['base64']:.2f} s "
         f"({ratio:.2f}x, goal <= {TIME_FACTOR}x; best of {args.runs})", ratio <= TIME_FACTOR),
    ]
    for text, met in goals:
        print(f"{'met    ' if met else 'NOT MET'}  {text}")
    return 0 if all(met for _, met in goals) else 1


if __name__ == "__main__":
    sys.exit(main())
