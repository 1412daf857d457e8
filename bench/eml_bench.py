#!/usr/bin/env python3
"""The -eml draft of a large attachment: peak memory and time, natively.

Both MAPI roads fail (the simulated client cannot initialise and its send
dialog fails), so the real Quillora program writes the request as a draft
file, streaming the attachment as base64, and opens it with a handler that
does nothing. Measured in one run:

  a 1 MiB and a 512 MiB attachment. Goals: the 512 MiB run's peak RSS within
  8 MiB of the 1 MiB run's, and its wall time at most 1.3 times that of
  `base64 -w 76 FILE > OUT` on the same file;

  a 16 MiB body from -bodyfile, as one line and with a line break every 10
  bytes, which the text is built from a piece at a time. Goal: each at most
  3 times `base64 -w 76` of the same file;

  -files: 200 files of 1 MiB, and 3 files of 200 MiB. Goals: each at most
  1.3 times `cat FILES... | base64 -w 76 > OUT` (warm cache, best of the
  runs), and peak RSS within 8 MiB of a one-file draft's.

Every run must exit 0 and leave a draft whose size is that of the encoded
file and the message around it. Prints the figures and whether each goal
is met; exits 0 when all are. Files go in a temporary directory that is
removed afterwards.

  bench/eml_bench.py [--native DIR] [--runs N] [--bodies-only | --files-only]
"""
import argparse
import glob
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MIB = 1 << 20
RSS_SLACK_MIB = 8
TIME_FACTOR = 1.3
BODY_TIME_FACTOR = 3.0


def make_file(path, size):
    block = os.urandom(MIB)
    with open(path, "wb") as out:
        for _ in range(size // MIB):
            out.write(block)


def timed(command, env=None, stdout=subprocess.DEVNULL):
    """Wall seconds and peak RSS (KiB) of one command."""
    start = time.monotonic()
    process = subprocess.Popen(command, env=env, stdout=stdout, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    return time.monotonic() - start, usage.ru_maxrss, os.waitstatus_to_exitcode(status)


def desktop(work):
    """Environment whose .eml handler does nothing and whose drafts stay in work."""
    env = dict(os.environ)
    for name, sub in (("XDG_CONFIG_HOME", "config"), ("XDG_DATA_HOME", "data"),
                      ("XDG_CONFIG_DIRS", "etc"), ("XDG_DATA_DIRS", "share"), ("TMP", "tmp")):
        env[name] = os.path.join(work, sub)
        os.makedirs(env[name], exist_ok=True)
    os.makedirs(os.path.join(env["XDG_DATA_HOME"], "applications"))
    with open(os.path.join(env["XDG_DATA_HOME"], "applications", "none.desktop"), "w") as out:
        out.write("[Desktop Entry]\nType=Application\nName=None\nExec=true %f\n")
    with open(os.path.join(env["XDG_CONFIG_HOME"], "mimeapps.list"), "w") as out:
        out.write("[Default Applications]\nmessage/rfc822=none.desktop\n")
    profile = os.path.join(work, "profile.json")
    with open(profile, "w") as out:
        json.dump({"initialize": "0x80004005", "simpleMapi": {"result": 2}}, out)
    env["MAPISIM_PROFILE"] = profile
    env["MAPISIM_TRANSCRIPT"] = os.path.join(work, "transcript.json")
    return env


def draft_run(program, env, attachment, runs):
    """The best of runs: (seconds, peak RSS in KiB), with the draft checked."""
    best = None
    for _ in range(runs):
        for old in glob.glob(os.path.join(env["TMP"], "Quillora", "*.eml")):
            os.remove(old)
        seconds, rss, code = timed([program, "-eml", "-attachment", attachment], env)
        drafts = glob.glob(os.path.join(env["TMP"], "Quillora", "*.eml"))
        size = os.path.getsize(attachment)
        encoded = (size + 2) // 3 * 4 + (size + 56) // 57 * 2
        if code != 0 or len(drafts) != 1 or not 0 < os.path.getsize(drafts[0]) - encoded < 4096:
            sys.exit(f"the draft of {attachment} was not written whole (exit {code})")
        best = (seconds, rss) if best is None else (min(best[0], seconds), max(best[1], rss))
    return best


def files_run(program, env, files, runs):
    """The best of runs of -eml -files: (seconds, peak RSS in KiB), with the
    draft checked to hold every file encoded."""
    best = None
    encoded = sum((s + 2) // 3 * 4 + (s + 56) // 57 * 2 for s in map(os.path.getsize, files))
    for _ in range(runs):
        for old in glob.glob(os.path.join(env["TMP"], "Quillora", "*.eml")):
            os.remove(old)
        seconds, rss, code = timed([program, "-eml", "-files"] + files, env)
        drafts = glob.glob(os.path.join(env["TMP"], "Quillora", "*.eml"))
        if code != 0 or len(drafts) != 1 or not 0 < os.path.getsize(drafts[0]) - encoded < 512 * len(files) + 4096:
            sys.exit(f"the draft of {len(files)} files was not written whole (exit {code})")
        best = (seconds, rss) if best is None else (min(best[0], seconds), max(best[1], rss))
    return best


def files_runs(program, env, work, runs):
    """200 files of 1 MiB and 3 of 200 MiB against cat | base64 -w 76, and
    their peak RSS against a one-file draft's; True when every goal is met."""
    one = os.path.join(work, "one.bin")
    make_file(one, MIB)
    _, one_rss = files_run(program, env, [one], runs)
    print(f"one file of 1 MiB: peak RSS {one_rss / 1024:.1f} MiB")
    met = True
    for count, size in ((200, MIB), (3, 200 * MIB)):
        folder = os.path.join(work, f"{count}-files")
        os.makedirs(folder)
        files = [os.path.join(folder, f"file {i:03}.bin") for i in range(count)]
        make_file(files[0], size)
        for path in files[1:]:
            shutil.copyfile(files[0], path)
        seconds, rss = files_run(program, env, files, runs)
        out = os.path.join(work, "files.b64")
        base64_time = best_time(["sh", "-c", 'cat "$@" | base64 -w 76 > "$0"', out] + files, runs)
        ratio = seconds / base64_time
        growth = (rss - one_rss) / 1024
        ok = ratio <= TIME_FACTOR and growth <= RSS_SLACK_MIB
        met = met and ok
        print(f"{count} files of {size // MIB} MiB: {seconds:.3f} s, cat | base64 -w 76 "
              f"{base64_time:.3f} s, {ratio:.2f}x (goal <= {TIME_FACTOR}x); peak RSS "
              f"{rss / 1024:.1f} MiB, {growth:+.1f} MiB over one file (goal <= "
              f"+{RSS_SLACK_MIB}): {'met' if ok else 'MISSED'}")
        shutil.rmtree(folder)
        os.remove(out)
    return met


def make_body(path, line):
    """16 MiB of printable ASCII, with a line break every line bytes (0: none)."""
    chars = bytes(range(32, 127))
    text = bytearray(chars[b % len(chars)] for b in os.urandom(16 * MIB))
    if line:
        text[line - 1::line] = b"\n" * len(text[line - 1::line])
    with open(path, "wb") as out:
        out.write(text)


def best_time(command, runs, env=None, stdout=subprocess.DEVNULL):
    """The best wall time of runs, each of which must exit 0."""
    best = None
    for _ in range(runs):
        seconds, _, code = timed(command, env, stdout)
        if code != 0:
            sys.exit(f"{command[0]} exited {code}")
        best = seconds if best is None else min(best, seconds)
    return best


def body_runs(program, env, work, runs):
    """The 16 MiB bodies against base64 -w 76; True when both meet the goal.
    The client has no send dialog here, so only Quillora's own work on the
    text is timed, not the simulated client's copy of it."""
    env = dict(env)
    env.pop("MAPISIM_TRANSCRIPT", None)
    profile = os.path.join(work, "no-send-dialog.json")
    with open(profile, "w") as out:
        json.dump({"initialize": "0x80004005", "simpleMapi": {"library": False}}, out)
    env["MAPISIM_PROFILE"] = profile
    met = True
    for name, line in (("one line", 0), ("a line break every 10 bytes", 10)):
        body = os.path.join(work, "body.txt")
        make_body(body, line)
        draft = best_time([program, "-eml", "-bodyfile", body], runs, env)
        with open(os.path.join(work, "body.b64"), "wb") as out:
            base64_time = best_time(["base64", "-w", "76", body], runs, stdout=out)
        drafts = glob.glob(os.path.join(env["TMP"], "Quillora", "*.eml"))
        if not drafts or min(os.path.getsize(d) for d in drafts) < 16 * MIB:
            sys.exit(f"the draft of the 16 MiB body ({name}) was not written whole")
        for old in drafts:
            os.remove(old)
        ok = draft <= BODY_TIME_FACTOR * base64_time
        met = met and ok
        print(f"16 MiB body, {name}: {draft:.3f} s, base64 -w 76 {base64_time:.3f} s, "
              f"{draft / base64_time:.2f}x (goal <= {BODY_TIME_FACTOR}x): "
              f"{'met' if ok else 'MISSED'}")
    return met


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--native", default=os.path.join(ROOT, "build", "native"))
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--bodies-only", action="store_true",
                        help="only the 16 MiB bodies, not the attachments")
    parser.add_argument("--files-only", action="store_true",
                        help="only the drafts of several files (-files)")
    args = parser.parse_args()
    program = os.path.join(args.native, "front", "Quillora")
    work = tempfile.mkdtemp(prefix="quillora-eml-bench-")
    try:
        env = desktop(work)
        if args.files_only:
            return 0 if files_runs(program, env, work, args.runs) else 1
        bodies_ok = body_runs(program, env, work, args.runs)
        if args.bodies_only:
            return 0 if bodies_ok else 1
        small, large = os.path.join(work, "small.bin"), os.path.join(work, "large.bin")
        make_file(small, MIB)
        make_file(large, 512 * MIB)
        small_time, small_rss = draft_run(program, env, small, args.runs)
        large_time, large_rss = draft_run(program, env, large, args.runs)
        base64_time = None
        for _ in range(args.runs):
            with open(os.path.join(work, "large.b64"), "wb") as out:
                seconds, _, _ = timed(["base64", "-w", "76", large], stdout=out)
            base64_time = seconds if base64_time is None else min(base64_time, seconds)
        rss_growth = (large_rss - small_rss) / 1024
        ratio = large_time / base64_time
        print(f"1 MiB draft:   {small_time:.3f} s, peak RSS {small_rss / 1024:.1f} MiB")
        print(f"512 MiB draft: {large_time:.3f} s, peak RSS {large_rss / 1024:.1f} MiB")
        print(f"base64 -w 76 of 512 MiB: {base64_time:.3f} s")
        rss_ok = rss_growth <= RSS_SLACK_MIB
        time_ok = ratio <= TIME_FACTOR
        print(f"peak RSS growth {rss_growth:+.1f} MiB (goal <= +{RSS_SLACK_MIB}): "
              f"{'met' if rss_ok else 'MISSED'}")
        print(f"time {ratio:.2f}x base64 (goal <= {TIME_FACTOR}x): {'met' if time_ok else 'MISSED'}")
        files_ok = files_runs(program, env, work, args.runs)
        return 0 if rss_ok and time_ok and bodies_ok and files_ok else 1
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
