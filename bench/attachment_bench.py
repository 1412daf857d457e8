#!/usr/bin/env python3
"""Attachments of any size through the Drafts road: peak memory and time.

The real Quillora program attaches files through Extended MAPI to the
simulated mail client, which writes its transcript. Measured in one run:

  natively (build/native): a 1 MiB and a 1 GiB file. Goals: the 1 GiB run's
    peak RSS within 8 MiB of the 1 MiB run's, and its wall time at most 1.5
    times that of `openssl dgst -sha256` on the same file;
  under wine64 (build/mingw-x86_64, mailsim.dll registered as the mail
    provider in a prefix of its own): a 1 MiB and a 256 MiB file. Goal: the
    peak RSS of the Wine process running Quillora.exe within 8 MiB.

Peak RSS is /usr/bin/time's maximum resident set size.

Every run must exit 0 and record the attachment with the file's exact size
and SHA-256. Prints the figures and whether each goal is met; exits 0 when
all are. Files go in a temporary directory that is removed afterwards.

  bench/attachment_bench.py [--native DIR] [--wine DIR] [--runs N]
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WINE_DIR = os.path.join(ROOT, "tests", "wine")
MIB = 1 << 20
RSS_SLACK_MIB = 8
TIME_FACTOR = 1.5


def make_file(path, size):
    block = os.urandom(MIB)
    with open(path, "wb") as out:
        for left in range(size, 0, -MIB):
            out.write(block[:min(left, MIB)])


def run_measured(command, env=None):
    """Runs command under /usr/bin/time; returns (exit status, wall seconds,
    CPU seconds, peak RSS in KiB of the command and the descendants it
    waited for, standard output). /usr/bin/time is small: a fork of it before the exec
    does not hide the command's own peak, as a fork of Python would."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err, \
            tempfile.NamedTemporaryFile(mode="r") as rss:
        start = time.perf_counter()
        status = subprocess.run([shutil.which("time") or "/usr/bin/time", "-f", "%U %S %M", "-o", rss.name] + command,
                                env=env, stdout=out, stderr=err).returncode
        elapsed = time.perf_counter() - start
        out.seek(0)
        err.seek(0)
        if status != 0:
            sys.stderr.write(err.read().decode("latin-1")[-2000:])
        user, system, peak = rss.read().split()[-3:]
        return status, elapsed, float(user) + float(system), int(peak), out.read()


def openssl_sha256(path):
    status, elapsed, cpu, _, out = run_measured(["openssl", "dgst", "-sha256", "-r", path])
    if status != 0:
        raise SystemExit("openssl dgst failed")
    return out.split()[0].decode(), elapsed, cpu


def recorded_attachment(transcript_path):
    with open(transcript_path, encoding="utf-8") as f:
        forms = json.load(f)["forms"]
    return forms[0]["attachments"][0] if forms and forms[0]["attachments"] else None


def check_recorded(transcript_path, size, digest, where):
    attachment = recorded_attachment(transcript_path)
    if attachment is None or attachment["dataSize"] != size or attachment["sha256"] != digest:
        raise SystemExit(f"{where}: the transcript does not describe the file exactly: "
                         f"{attachment}")


def quillora_args(attachment):
    return ["-to", "alice@example.com", "-subject", "Attachment bench", "-attachment",
            attachment]


def native(build, work, runs, files):
    program = os.path.join(build, "front", "Quillora")
    if not os.access(program, os.X_OK):
        raise SystemExit(f"no {program}: build the native preset first")
    transcript = os.path.join(work, "native-transcript.json")
    env = dict(os.environ, MAPISIM_TRANSCRIPT=transcript)
    env.pop("MAPISIM_PROFILE", None)
    figures = {}
    for name, (path, size, digest) in files.items():
        best, peak, hash_best = None, 0, None
        for _ in range(runs):
            _, hash_time, hash_cpu = openssl_sha256(path)
            status, elapsed, cpu, rss, _ = run_measured([program] + quillora_args(path), env=env)
            if status != 0:
                raise SystemExit(f"native Quillora exited {status} for {name}")
            check_recorded(transcript, size, digest, f"native {name}")
            if best is None or elapsed < best[0]:
                best = (elapsed, cpu)
            if hash_best is None or hash_time < hash_best[0]:
                hash_best = (hash_time, hash_cpu)
            peak = max(peak, rss)
        figures[name] = {"seconds": best[0], "cpu": best[1], "openssl": hash_best[0],
                         "openssl_cpu": hash_best[1], "rss_kib": peak}
    return figures


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def wine(build, work, files):
    program = os.path.join(build, "front", "Quillora.exe")
    provider = os.path.join(build, "mailsim", "mailsim.dll")
    for needed in (program, provider):
        if not os.path.exists(needed):
            raise SystemExit(f"no {needed}: build the mingw-x86_64 preset first")
    env = dict(os.environ, QUILLORA_WINEPREFIX=os.path.join(work, "wine-prefix"))
    env.pop("MAPISIM_PROFILE", None)
    env.pop("WINEDEBUG", None)
    prefix_script = os.path.join(WINE_DIR, "wine-prefix.sh")
    subprocess.run([prefix_script, "setup"], env=env, check=True)
    try:
        subprocess.run([os.path.join(WINE_DIR, "mail-provider.sh"), "register", provider],
                       env=env, check=True)
        transcript = os.path.join(work, "wine-transcript.json")
        env["MAPISIM_TRANSCRIPT"] = windows_path(transcript)
        env["QUILLORA_WINE_TIMEOUT"] = "900"
        runner = os.path.join(WINE_DIR, "wine-run.sh")
        figures = {}
        for name, (path, size, digest) in files.items():
            # The Wine process running Quillora.exe is the largest of those
            # the runner waits for (the wineserver and Wine's system
            # processes were started by the prefix set-up).
            status, _, _, rss, _ = run_measured(
                [runner, windows_path(program)] + quillora_args(windows_path(path)), env)
            if status != 0:
                raise SystemExit(f"Quillora.exe under Wine exited {status} for {name}")
            check_recorded(transcript, size, digest, f"wine {name}")
            figures[name] = {"rss_kib": rss}
        return figures
    finally:
        subprocess.run([prefix_script, "teardown"], env=env)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--native", default=os.path.join(ROOT, "build", "native"))
    parser.add_argument("--wine", default=os.path.join(ROOT, "build", "mingw-x86_64"))
    parser.add_argument("--runs", type=int, default=3, help="native runs per file (best time)")
    args = parser.parse_args()

    work = tempfile.mkdtemp(prefix="quillora-attachment-bench-")
    try:
        files = {}
        for name, size in (("1 MiB", MIB), ("256 MiB", 256 * MIB), ("1 GiB", 1024 * MIB)):
            path = os.path.join(work, name.replace(" ", "") + ".bin")
            make_file(path, size)
            files[name] = (path, size, openssl_sha256(path)[0])
        pick = lambda *names: {n: files[n] for n in names}
        native_figures = native(args.native, work, args.runs, pick("1 MiB", "1 GiB"))
        wine_figures = wine(args.wine, work, pick("1 MiB", "256 MiB"))
    finally:
        shutil.rmtree(work, ignore_errors=True)

    small, large = native_figures["1 MiB"], native_figures["1 GiB"]
    rss_growth = (large["rss_kib"] - small["rss_kib"]) / 1024
    ratio = large["seconds"] / large["openssl"]
    wine_growth = (wine_figures["256 MiB"]["rss_kib"] - wine_figures["1 MiB"]["rss_kib"]) / 1024
    goals = [
        (f"native peak RSS: 1 MiB {small['rss_kib'] / 1024:.1f} MiB, "
         f"1 GiB {large['rss_kib'] / 1024:.1f} MiB ({rss_growth:+.1f} MiB, goal <= "
         f"{RSS_SLACK_MIB})", rss_growth <= RSS_SLACK_MIB),
        (f"native time, 1 GiB: Quillora {large['seconds']:.2f} s, openssl dgst -sha256 "
         f"{large['openssl']:.2f} s ({ratio:.2f}x, goal <= {TIME_FACTOR}x; best of "
         f"{args.runs}; CPU {large['cpu']:.2f} s and {large['openssl_cpu']:.2f} s)",
         ratio <= TIME_FACTOR),
        (f"wine64 peak RSS: 1 MiB {wine_figures['1 MiB']['rss_kib'] / 1024:.1f} MiB, "
         f"256 MiB {wine_figures['256 MiB']['rss_kib'] / 1024:.1f} MiB "
         f"({wine_growth:+.1f} MiB, goal <= {RSS_SLACK_MIB})", wine_growth <= RSS_SLACK_MIB),
    ]
    for text, met in goals:
        print(f"{'met    ' if met else 'NOT MET'}  {text}")
    return 0 if all(met for _, met in goals) else 1


if __name__ == "__main__":
    sys.exit(main())
