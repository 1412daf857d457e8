#!/usr/bin/env python3
"""The -eml draft of a large attachment: peak memory and time.

The real native Quillora (build/native), with both MAPI roads failing
against the simulated mail client, writes the draft message file of a
request with a 1 MiB and with a 512 MiB attachment into a temporary folder
of its own, and opens it with a desktop entry for message/rfc822 that does
nothing. Goals: the 512 MiB run's peak RSS within 8 MiB of the 1 MiB run's,
and its wall time at most 1.3 times that of `base64 -w 76 FILE > OUT` on the
same file, measured in the same run (best of --runs each, interleaved).

Every run must exit 0 and leave one draft whose base64 decodes (`base64 -d`)
to the file. Prints the figures and whether each goal is met; exits 0 when
both are.

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

from attachment_bench import MIB, make_file, run_measured

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RSS_SLACK_MIB = 8
TIME_FACTOR = 1.3


def desktop(work):
    """Environment for the runs: failing MAPI roads, a handler for
    message/rfc822 that does nothing, and a temporary folder of their own."""
    env = dict(os.environ, TMP=os.path.join(work, "temp"), XDG_CONFIG_HOME=work,
               XDG_DATA_HOME=work, XDG_CONFIG_DIRS=work, XDG_DATA_DIRS=work,
               MAPISIM_PROFILE=os.path.join(work, "profile.json"),
               MAPISIM_TRANSCRIPT=os.path.join(work, "transcript.json"))
    os.makedirs(os.path.join(work, "applications"))
    os.makedirs(env["TMP"])
    files = {"applications/nothing.desktop": "[Desktop Entry]\nType=Application\nName=Nothing\n"
                                             f"Exec={shutil.which('true')} %f\n",
             "mimeapps.list": "[Default Applications]\nmessage/rfc822=nothing.desktop\n",
             "profile.json": json.dumps({"initialize": "0x80004005", "simpleMapi": {"result": 2}})}
    for name, text in files.items():
        with open(os.path.join(work, name), "w") as f:
            f.write(text)
    return env


def draft_attachment_digest(env):
    """SHA-256 of the one draft's attachment, decoded by `base64 -d`; the
    draft is removed."""
    folder = os.path.join(env["TMP"], "Quillora")
    (name,) = os.listdir(folder)
    with open(os.path.join(folder, name), "rb") as f, \
            mmap.mmap(f.fileno(), 0, access=mmap.ACCESS_READ) as data:
        start = data.find(b"\r\n\r\n", data.find(b"Content-Transfer-Encoding: base64")) + 4
        end = data.rfind(b"--=_Quillora_part--")
        decoder = subprocess.Popen("base64 -d -i | sha256sum", shell=True, stdin=subprocess.PIPE,
                                   stdout=subprocess.PIPE)
        for at in range(start, end, 16 * MIB):
            decoder.stdin.write(data[at:min(end, at + 16 * MIB)])
        decoded = decoder.communicate()[0]
    os.remove(os.path.join(folder, name))
    return decoded.split()[0].decode()


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
                if status != 0 or draft_attachment_digest(env) != digest:
                    raise SystemExit(f"{name}: exit {status}, or the draft does not hold the file")
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
