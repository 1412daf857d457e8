#!/usr/bin/env python3
"""The dependency direction: mailsim/ and platform/ take nothing from the
program's code (front/, request/, report/, text/, win32/, mapi/, simplemapi/,
mailto/, eml/, probe/), and mailsim takes nothing from platform/src. Every #include of
their sources is resolved the way the build resolves it; their build files
must not name those directories either. Prints each violation and exits 1 if there is one.

    check_independence.py SOURCE_DIR     check the tree (after a self-test
                                         showing that violations are caught)
"""
import os
import re
import sys
import tempfile

PROGRAM_DIRS = ("front", "request", "report", "text", "win32", "mapi", "simplemapi", "mailto",
                "eml", "probe")
SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cc", ".cpp", ".inl")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def include_dirs(root, component):
    """Where an include of the component's sources may be found."""
    if component == "mailsim":
        return [os.path.join(root, "mailsim", "include"), os.path.join(root, "mailsim", "src"),
                os.path.join(root, "platform", "include")]
    return [os.path.join(root, "platform", "include")]


def forbidden_roots(root, component):
    roots = [os.path.join(root, d) for d in PROGRAM_DIRS]
    if component == "mailsim":
        roots.append(os.path.join(root, "platform", "src"))
    return roots


def inside(path, directory):
    path, directory = os.path.realpath(path), os.path.realpath(directory)
    return os.path.commonpath([path, directory]) == directory


def check_include(root, component, source, quote, name):
    if ".." in name.replace("\\", "/").split("/"):
        return "climbs out of its directory"
    candidates = ([os.path.dirname(source)] if quote == '"' else []) + include_dirs(root, component)
    for directory in candidates:
        found = os.path.join(directory, name)
        if os.path.isfile(found):
            for bad in forbidden_roots(root, component):
                if inside(found, bad):
                    return "resolves into " + os.path.relpath(bad, root)
            return None
    # Not ours: a system header, unless it names a file of the forbidden
    # trees (reachable through some other include path).
    for base in [root] + forbidden_roots(root, component):
        if os.path.isfile(os.path.join(base, name)):
            for bad in forbidden_roots(root, component):
                if inside(os.path.join(base, name), bad):
                    return "names " + os.path.relpath(os.path.join(base, name), root)
    return None


def check_build_file(root, component, path):
    text = re.sub(r"#.*", "", open(path, encoding="utf-8", errors="replace").read())
    problems = []
    if re.search(r"\$\{(PROJECT_SOURCE_DIR|CMAKE_SOURCE_DIR|Quillora_SOURCE_DIR)\}", text):
        problems.append("reaches the project's root directory")
    if "../" in text:
        problems.append("climbs out of its directory")
    for name in PROGRAM_DIRS + (("platform/src",) if component == "mailsim" else ()):
        if re.search(r"(^|[\s/\"])" + re.escape(name) + r"/", text):
            problems.append("names " + name + "/")
    return problems


def violations(root):
    found = []
    for component in ("mailsim", "platform"):
        for directory, _, files in os.walk(os.path.join(root, component)):
            for file in sorted(files):
                path = os.path.join(directory, file)
                shown = os.path.relpath(path, root)
                if file == "CMakeLists.txt" or file.endswith(".cmake"):
                    found += [shown + ": " + p for p in check_build_file(root, component, path)]
                    continue
                if not file.endswith(SOURCE_SUFFIXES):
                    continue
                text = open(path, encoding="utf-8", errors="replace").read()
                for quote, name in INCLUDE.findall(text):
                    problem = check_include(root, component, path, quote, name)
                    if problem:
                        found.append("%s: #include %s%s%s %s" % (
                            shown, quote, name, '"' if quote == '"' else ">", problem))
    return found


def self_test():
    """A tree with one violation of each kind must give each of them."""
    with tempfile.TemporaryDirectory() as root:
        files = {
            "mapi/MapiPlatform.h": "",
            "platform/src/private.h": "",
            "platform/include/windows.h": "",
            "mailsim/src/Text.h": "",
            "mailsim/src/Good.cpp": '#include "Text.h"\n#include <windows.h>\n#include <map>\n',
            "mailsim/src/A.cpp": '#include "mapi/MapiPlatform.h"\n',
            "mailsim/src/B.cpp": "#include <MapiPlatform.h>\n",
            "mailsim/src/C.cpp": '#include "../../platform/src/private.h"\n',
            "mailsim/src/D.cpp": '#include "platform/src/private.h"\n',
            "platform/src/E.cpp": '#include "mapi/MapiPlatform.h"\n',
            "mailsim/CMakeLists.txt": "target_include_directories(m PRIVATE ${PROJECT_SOURCE_DIR})\n",
        }
        for name, text in files.items():
            os.makedirs(os.path.join(root, os.path.dirname(name)), exist_ok=True)
            with open(os.path.join(root, name), "w") as f:
                f.write(text)
        got = violations(root)
        expected = ["mailsim/src/A.cpp", "mailsim/src/B.cpp", "mailsim/src/C.cpp",
                    "mailsim/src/D.cpp", "platform/src/E.cpp", "mailsim/CMakeLists.txt"]
        missing = [e for e in expected if not any(g.startswith(e + ":") for g in got)]
        extra = [g for g in got if not any(g.startswith(e + ":") for e in expected)]
        for m in missing:
            print("self-test: not caught:", m)
        for e in extra:
            print("self-test: wrongly reported:", e)
        return 1 if missing or extra else 0


def main(argv):
    if len(argv) != 2:
        print(__doc__)
        return 2
    if self_test() != 0:
        return 1
    found = violations(os.path.abspath(argv[1]))
    for v in found:
        print(v)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
