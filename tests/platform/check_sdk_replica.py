#!/usr/bin/env python3
"""Checks the Windows SDK replica in platform/include against MinGW-w64's SDK
headers for one Windows target (i686 or x86_64).

The names come from the replica's headers: object-like macros and enumerators
(compared by value), structures and unions (size, alignment, each member's
offset and kind), plain typedefs (kind: size, signedness, pointer ...) and
interface methods (vtable slot). Both sides are compiled by the target's own
MinGW-w64 g++, so both are laid out by the Windows data model of that target:
the replica with its include directory first, MinGW's side with its own
headers. The values land in data sections of each object file and are read
back with objcopy.

A name that does not compile against MinGW's headers is a gap: it is printed,
and the set of gaps must equal the list in the gaps file, so a new gap fails
as well as a value or layout that differs."""
import argparse
import os
import re
import subprocess
import sys
import tempfile

HEADERS = ["windows.h", "mapidefs.h", "mapicode.h", "mapitags.h", "mapix.h",
           "mapiutil.h", "mapi.h", "mbstring.h"]
INCLUDES = ["windows.h", "mapix.h", "mapiutil.h", "mapi.h", "mbstring.h"]
SENTINEL = 0x5344_4B5F_454E_4421

PRELUDE = """#include <cstddef>
#include <type_traits>
// Size and category of a type: what a member or typedef must keep.
template <class T> constexpr long long kind_of() {
    using U = std::remove_cv_t<std::remove_reference_t<T>>;
    long long size = 0;
    if constexpr (std::is_object_v<U>) size = sizeof(U);
    return size << 16 | std::is_pointer_v<U> | std::is_integral_v<U> << 1 |
           std::is_signed_v<U> << 2 | std::is_floating_point_v<U> << 3 |
           std::is_array_v<U> << 4 | std::is_class_v<U> << 5 | std::is_union_v<U> << 6 |
           std::is_enum_v<U> << 7 | std::is_reference_v<T> << 8 | std::is_function_v<U> << 9;
}
"""


def head():
    return "".join(f"#include <{h}>\n" for h in INCLUDES) + PRELUDE


def source_text(path):
    with open(path) as f:
        text = f.read().replace("\\\n", " ")
    return re.sub(r"//[^\n]*|/\*.*?\*/", " ", text, flags=re.S)


def members(tok, i):
    """Member names (nested ones as outer.inner) of the body at tok[i] == '{';
    returns them and the index after the closing brace."""
    out, stmt, i = [], [], i + 1
    while tok[i] != "}":
        if tok[i] in ("struct", "union") and "{" in tok[i + 1:i + 3]:
            inner, i = members(tok, tok.index("{", i))
            name = tok[i] if tok[i] != ";" else None
            out += [f"{name}.{m}" if name else m for m in inner]
            i = tok.index(";", i) + 1
            continue
        if tok[i] == ";":
            if stmt and "(" not in stmt:
                out.append(stmt[stmt.index("[") - 1] if "[" in stmt else stmt[-1])
            stmt = []
        else:
            stmt.append(tok[i])
        i += 1
    return out, i + 1


def replica_entries(include_dir):
    """(key, expression) for everything the replica declares that can be
    compared; a key names the declaration in reports and in the gaps file."""
    consts, structs, typedefs, interfaces = {}, {}, {}, {}
    for header in HEADERS:
        text = source_text(os.path.join(include_dir, header))
        for m in re.finditer(r"^[ \t]*#[ \t]*define[ \t]+(\w+)(?![\w(])[ \t]+\S", text, re.M):
            consts[m.group(1)] = None
        code = re.sub(r"^[ \t]*#.*$", "", text, flags=re.M)
        for body in re.findall(r"\benum\s+\w*\s*\{([^}]*)\}", code):
            for item in body.split(","):
                if item.strip():
                    consts[re.match(r"\s*(\w+)", item).group(1)] = None
        for m in re.finditer(r"\btypedef\s+([^;{}()]*);", code):
            decls = m.group(1).split(",")
            if re.match(r"\s*(struct|union|enum)\b", decls[0]):
                continue  # the record itself is checked, or is only named here
            for d in decls:
                typedefs[re.findall(r"\w+", d)[-1]] = None
        tok = re.findall(r"\w+|\S", code)
        i = 0
        while i < len(tok) - 4:
            if tok[i] == "struct" and tok[i + 2:i + 4] == [":", "public"]:
                k = tok.index("}", i)
                methods = re.findall(r"METHOD_? \( (?:\w+ , )?(\w+) \)", " ".join(tok[i:k]))
                interfaces[tok[i + 1]] = (tok[i + 4], methods)
                i = k
            elif tok[i] in ("struct", "union") and "{" in tok[i + 1:i + 3]:
                j = tok.index("{", i)
                names, k = members(tok, j)
                after = tok[k:tok.index(";", k)]
                typedef_names = [t for p, t in zip([","] + after, after)
                                 if re.fullmatch(r"\w+", t) and p != "*"]
                structs[(typedef_names or [tok[i + 1]])[0]] = names
                i = k
            else:
                i += 1
    entries = [(c, f"(long long)({c})") for c in consts]
    for s, names in structs.items():
        entries += [(s, f"(long long)sizeof({s})"), (s, f"(long long)alignof({s})")]
        for m in names:
            entries += [(f"{s}.{m}", f"(long long)offsetof({s}, {m})"),
                        (f"{s}.{m}", f"kind_of<decltype((({s}*)nullptr)->{m})>()")]
    entries += [(t, f"kind_of<{t}>()") for t in typedefs if t not in structs]
    # Every method of an interface, inherited ones too, by its vtable slot.
    for name in interfaces:
        base, methods = name, []
        while base in interfaces:
            base, own = interfaces[base]
            methods = own + methods
        entries += [(f"{name}::{m}", f"&{name}::{m}") for m in methods]
    return entries, set(consts)


def run(cmd):
    return subprocess.run(cmd, capture_output=True, text=True)


def failing(tools, flags, entries, workdir):
    """Indexes of the entries that do not compile, one declaration a line."""
    path = os.path.join(workdir, "probe.cpp")
    first = head().count("\n") + 1
    with open(path, "w") as f:
        f.write(head() + "".join(f"const auto probe_{n} = {e};\n" for n, (_, e) in enumerate(entries)))
    result = run([tools + "g++", *flags, "-fsyntax-only", "-fmax-errors=0", path])
    # Errors inside a header or a template name the probe line in a note.
    lines = re.findall(r"probe\.cpp:(\d+):\d+:", result.stderr)
    bad = {int(l) - first for l in lines if int(l) >= first}
    if result.returncode and not bad or any(n >= len(entries) for n in bad):
        sys.exit(f"{tools}g++: the headers themselves do not compile:\n{result.stderr}")
    return bad


def values(tools, flags, entries, workdir):
    """The entries' values, computed by the compiler into a data section."""
    src, obj, blob = (os.path.join(workdir, n) for n in ("v.cpp", "v.o", "v.bin"))
    slots = [e for _, e in entries if e.startswith("&")]
    body = ",\n".join([e for _, e in entries if not e.startswith("&")] + [str(SENTINEL)])
    slot_members = "".join(f"decltype({e}) s{n};\n" for n, e in enumerate(slots))
    with open(src, "w") as f:
        f.write(head() +
                'extern "C" const long long sdk_values[] '
                f'__attribute__((section(".sdkvals"), used)) = {{\n{body}}};\n'
                f'extern "C" const struct {{\n{slot_members}}} sdk_slots '
                f'__attribute__((section(".sdkslot"), used)) = {{\n{",".join(slots)}}};\n')
    result = run([tools + "g++", *flags, "-c", src, "-o", obj])
    if result.returncode:
        sys.exit(f"{tools}g++ failed:\n{result.stderr}")
    if ".ctors" in run([tools + "objdump", "-h", obj]).stdout:
        sys.exit(f"{tools}g++: a value is not a compile-time constant")

    def section(name, width, count):
        subprocess.run([tools + "objcopy", "-O", "binary", f"--only-section={name}", obj, blob], check=True)
        data = open(blob, "rb").read()
        return [int.from_bytes(data[n:n + width], "little", signed=True)
                for n in range(0, width * count, width)]

    vals = section(".sdkvals", 8, len(entries) - len(slots) + 1)
    if vals.pop() != SENTINEL:
        sys.exit(f"{tools}g++: unexpected layout of the value section")
    # A pointer to a virtual method holds 1 + the slot's offset in the vtable,
    # followed by a this-adjustment.
    ptr = 4 if tools.startswith("i686") else 8
    slot_vals = iter([(w - 1) // ptr for w in section(".sdkslot", ptr, 2 * len(slots))[::2]])
    vals = iter(vals)
    return [next(slot_vals if e.startswith("&") else vals) for _, e in entries]


def read_gaps(path):
    with open(path) as f:
        return {l.split("#")[0].strip() for l in f} - {""}


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--target", required=True, help="i686 or x86_64")
    ap.add_argument("--replica", required=True, help="the replica's include directory")
    ap.add_argument("--gaps", required=True, help="file listing what MinGW lacks")
    args = ap.parse_args()
    tools = f"{args.target}-w64-mingw32-"
    common = ["-std=c++17", "-w"]
    replica_flags = common + ["-I", os.path.abspath(args.replica)]
    entries, consts = replica_entries(args.replica)
    with tempfile.TemporaryDirectory() as workdir:
        not_values = failing(tools, replica_flags, entries, workdir)
        skipped = [entries[n][0] for n in sorted(not_values)]
        if set(skipped) - consts:
            sys.exit(f"replica declarations the check cannot evaluate: {set(skipped) - consts}")
        entries = [e for n, e in enumerate(entries) if n not in not_values]
        missing = failing(tools, common, entries, workdir)
        shared = [e for n, e in enumerate(entries) if n not in missing]
        ours = values(tools, replica_flags, shared, workdir)
        theirs = values(tools, common, shared, workdir)

    gaps = {entries[n][0] for n in missing}
    gaps = {g for g in gaps if g.split(".")[0] not in gaps or "." not in g}
    print(f"{args.target}: {len(shared)} values compared "
          f"({len({k for k, _ in shared})} declarations); "
          f"not integer constants, skipped: {' '.join(skipped)}")
    for g in sorted(gaps):
        print(f"  MinGW lacks {g}")
    failed = False
    for (key, expr), a, b in zip(shared, ours, theirs):
        if a != b:
            print(f"DIFFERENT {key}: {expr} is {a:#x} in the replica, {b:#x} in MinGW")
            failed = True
    expected = read_gaps(args.gaps)
    for g in sorted(gaps - expected):
        print(f"NEW GAP {g}: not in MinGW's headers and not listed in {args.gaps}")
        failed = True
    for g in sorted(expected - gaps):
        print(f"STALE GAP {g}: listed in {args.gaps} but no longer a gap")
        failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
