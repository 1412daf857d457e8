#!/usr/bin/env python3
"""Checks the release packages that scripts/package.sh made: each zip is the
very zip its build made and its Wine tests ran the programs of, and holds
exactly its two programs, byte for byte as built, and the Windows README
with its placeholders filled and Windows line ends. The version in the names
and the README is the one each build was configured with (project() in
CMakeLists.txt), unless given as the argument."""
import sys
import zipfile


def configured_version(preset):
    try:
        with open(f"build/{preset}/CMakeCache.txt", encoding="utf-8") as cache:
            for line in cache:
                if line.startswith("CMAKE_PROJECT_VERSION:STATIC="):
                    return line.split("=", 1)[1].strip()
    except OSError as error:
        sys.exit(f"build/{preset}: {error.strerror}")
    sys.exit(f"build/{preset}: no project version in CMakeCache.txt")


problems = []
for arch, preset in (("x86", "mingw-i686"), ("x64", "mingw-x86_64")):
    VERSION = sys.argv[1] if len(sys.argv) > 1 else configured_version(preset)
    name = f"quillora-{VERSION}-{arch}"
    with open(f"dist/{name}.zip", "rb") as shipped, \
            open(f"build/{preset}/package/{name}.zip", "rb") as tested:
        if shipped.read() != tested.read():
            problems.append(f"{name}: not the zip that the {preset} tests ran")
    with zipfile.ZipFile(f"dist/{name}.zip") as package:
        members = sorted(package.namelist())
        want = sorted([f"{name}/", f"{name}/Quillora.exe", f"{name}/mailtoprobe.exe",
                       f"{name}/README.txt"])
        if members != want:
            problems.append(f"{name}: holds {members}")
            continue
        for member, built in (("Quillora.exe", "front/Quillora.exe"),
                              ("mailtoprobe.exe", "probe/mailtoprobe.exe")):
            with open(f"build/{preset}/{built}", "rb") as f:
                if package.read(f"{name}/{member}") != f.read():
                    problems.append(f"{name}: {member} is not the {preset} build")
        readme = package.read(f"{name}/README.txt").decode("latin-1")
        if "@" + "VERSION@" in readme or "@" + "ARCH@" in readme or VERSION not in readme:
            problems.append(f"{name}: README placeholders not filled")
        if readme.count("\n") != readme.count("\r\n"):
            problems.append(f"{name}: README without Windows line ends")
for problem in problems:
    print("FAIL", problem)
print("packages:", "ok" if not problems else f"{len(problems)} problems")
sys.exit(1 if problems else 0)
