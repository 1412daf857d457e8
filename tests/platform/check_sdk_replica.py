#!/usr/bin/env python3
"""Checks the Windows SDK replica in platform/include against MinGW-w64's SDK
headers for one Windows target (i686 or x86_64).

What is compared comes from the replica's headers: constants (object-like
macros, enumerators, and expression macros applied to sample arguments) by
value; structures and unions by size, alignment and each member's offset and
kind; plain typedefs by kind (size, signedness, pointer ...); functions and
interface methods by the kinds of their result and parameters; every
interface method by its vtable slot.

Both sides are compiled by the target's own MinGW-w64 g++, so both follow the
Windows data model of that target: the replica with its include directory
first, MinGW's side with its own headers. The compiler writes the values into
data sections of an object file, read back with objcopy.

What does not compile against MinGW's headers is a gap. Gaps are printed, and
they must be exactly those listed in the gaps file: a new gap fails, like a
value that differs."""
import argparse
import os
import re
import subprocess
import sys
import tempfile

HEADERS = ["windows.h", "mapidefs.h", "mapicode.h", "mapitags.h", "mapix.h",
           "mapiutil.h", "mapi.h", "mbstring.h", "shellapi.h", "objbase.h"]
# mapix.h before mapi.h, so that mapidefs.h defines its whole recipient block.
INCLUDES = ["windows.h", "mapix.h", "mapiutil.h", "mapi.h", "mbstring.h", "shellapi.h",
            "objbase.h"]
ARGS = ["3", "0x1F", "0x37", "5"]
SENTINEL = 0x5344_4B5F_454E_4421
DEFINE = r"^[ \t]*#[ \t]*define[ \t]+(\w+)"

PRELUDE = """#include <cstddef>
#include <type_traits>
// A type's size (above bit 16) and category: what a member or typedef keeps.
template <class T> constexpr long long kind_of() {
    using U = std::remove_cv_t<std::remove_reference_t<T>>;
    long long size = 0;
    if constexpr (std::is_object_v<U>) size = sizeof(U);
    return size << 16 | std::is_pointer_v<U> | std::is_integral_v<U> << 1 |
           std::is_signed_v<U> << 2 | std::is_floating_point_v<U> << 3 |
           std::is_array_v<U> << 4 | std::is_class_v<U> << 5 | std::is_union_v<U> << 6 |
           std::is_enum_v<U> << 7 | std::is_reference_v<T> << 8 | std::is_function_v<U> << 9;
}
// The kinds of a function's result and parameters, hashed. The calling
// convention is left out: the replica has none.
template <class R, class... A> constexpr long long signature() {
    unsigned long long h = sizeof...(A) * 1000003 + kind_of<R>();
    ((h = h * 1000003 + kind_of<A>()), ...);
    return h;
}
template <class R, class... A> constexpr long long signature_of(R (*)(A...)) {
    return signature<R, A...>();
}
template <class C, class R, class... A> constexpr long long signature_of(R (C::*)(A...)) {
    return signature<R, A...>();
}
#ifdef __i386__
template <class R, class... A>
constexpr long long signature_of(R(__attribute__((stdcall)) *)(A...)) {
    return signature<R, A...>();
}
template <class C, class R, class... A>
constexpr long long signature_of(R (__attribute__((stdcall)) C::*)(A...)) {
    return signature<R, A...>();
}
#endif
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


def records(code, structs, interfaces):
    """Adds the structures and unions (name: members) and the interfaces
    (name: base, own methods) defined in code."""
    tok = re.findall(r"\w+|\S", code)
    i = 0
    while i < len(tok) - 4:
        if tok[i] == "struct" and tok[i + 2:i + 4] == [":", "public"]:
            k = tok.index("}", i)
            methods = re.findall(r"METHOD_? \( (?:\w+ , )?(\w+) \)", " ".join(tok[i:k]))
            interfaces[tok[i + 1]] = (tok[i + 4], methods)
            i = k
        elif tok[i] in ("struct", "union") and "{" in tok[i + 1:i + 3]:
            names, k = members(tok, tok.index("{", i))
            after = tok[k:tok.index(";", k)]
            typedef_names = [t for p, t in zip([","] + after, after)
                             if re.fullmatch(r"\w+", t) and p != "*"]
            structs[(typedef_names or [tok[i + 1]])[0]] = names
            i = k
        else:
            i += 1


def replica_entries(include_dir):
    """(key, C++ expression) for everything the replica declares that can be
    compared, and the keys of the constants; a key names the declaration in
    reports and in the gaps file."""
    consts, typedefs, functions, structs, interfaces = {}, {}, {}, {}, {}
    macros = set()
    for header in HEADERS:
        text = source_text(os.path.join(include_dir, header))
        consts.update((m, None) for m in re.findall(DEFINE + r"(?![\w(])[ \t]+\S", text, re.M))
        for name, params in re.findall(DEFINE + r"\(([^)]*)\)[ \t]*\(", text, re.M):
            consts[f"{name}({', '.join(ARGS[:params.count(',') + 1])})"] = None
        macros.update(re.findall(DEFINE + r"\(", text, re.M))
        code = re.sub(r"^[ \t]*#.*$", "", text, flags=re.M)
        for body in re.findall(r"\benum\s+\w*\s*\{([^}]*)\}", code):
            consts.update((re.match(r"\s*(\w+)", i).group(1), None) for i in body.split(",")
                          if i.strip())
        for decl in re.findall(r"\btypedef\s+([^;{}()]*);", code):
            if not re.match(r"\s*(struct|union|enum)\b", decl):  # records are checked whole
                typedefs.update((re.findall(r"\w+", d)[-1], None) for d in decl.split(","))
        types = re.findall(r"\btypedef\s+\w+\s*\(\s*WINAPI\s+(\w+)\s*\)", code)
        functions.update((f, None) for f in re.findall(r"(\w+)\s*\([^()]*\)\s*;", code))
        functions.update((f, None) for t, f in re.findall(r"\b(\w+)\s+(\w+)\s*;", code)
                         if t in types)
        records(code, structs, interfaces)

    entries = [(c, f"(long long)({c})") for c in consts]
    for s, names in structs.items():
        entries += [(s, f"(long long)sizeof({s})"), (s, f"(long long)alignof({s})")]
        for m in names:
            entries += [(f"{s}.{m}", f"(long long)offsetof({s}, {m})"),
                        (f"{s}.{m}", f"kind_of<decltype((({s}*)nullptr)->{m})>()")]
    entries += [(t, f"kind_of<{t}>()") for t in typedefs if t not in structs]
    entries += [(f, f"signature_of(&{f})") for f in functions if f not in macros]
    for name, (base, own) in interfaces.items():
        methods = own
        while base in interfaces:
            base, inherited = interfaces[base]
            methods = inherited + methods
        entries += [(f"{name}::{m}", f"signature_of(&{name}::{m})") for m in own]
        entries += [(f"{name}::{m}", f"&{name}::{m}") for m in methods]
    return entries, set(consts)


def run(cmd):
    return subprocess.run(cmd, capture_output=True, text=True)


def failing(tools, flags, entries, workdir):
    """Indexes of the entries that do not compile, one declaration a line."""
    path = os.path.join(workdir, "probe.cpp")
    first = head().count("\n") + 1
    with open(path, "w") as f:
        f.write(head() + "".join(f"const auto probe_{n} = {e};\n"
                                 for n, (_, e) in enumerate(entries)))
    result = run([tools + "g++", *flags, "-fsyntax-only", "-fmax-errors=0", path])
    # An error inside a header or a template names the probe line in a note.
    bad = {int(l) - first for l in re.findall(r"probe\.cpp:(\d+):\d+:", result.stderr)
           if int(l) >= first}
    prelude = [l for l in re.findall(r"probe\.cpp:(\d+):\d+: error", result.stderr)
               if int(l) < first]
    if result.returncode and not bad or prelude:
        sys.exit(f"{tools}g++: the headers themselves do not compile:\n{result.stderr}")
    return bad


def values(tools, flags, entries, workdir):
    """The entries' values, computed by the compiler into data sections."""
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
        subprocess.run([tools + "objcopy", "-O", "binary", "--only-section=" + name, obj, blob],
                       check=True)
        with open(blob, "rb") as f:
            data = f.read()
        return [int.from_bytes(data[n:n + width], "little", signed=True)
                for n in range(0, width * count, width)]

    vals = section(".sdkvals", 8, len(entries) - len(slots) + 1)
    if vals.pop() != SENTINEL:
        sys.exit(f"{tools}g++: unexpected layout of the value section")
    # A pointer to a virtual method holds 1 + the slot's offset in the vtable,
    # then a this-adjustment.
    ptr = 4 if tools.startswith("i686") else 8
    slot_vals = iter([(w - 1) // ptr for w in section(".sdkslot", ptr, 2 * len(slots))[::2]])
    vals = iter(vals)
    return [next(slot_vals if e.startswith("&") else vals) for _, e in entries]


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--target", required=True, help="i686 or x86_64")
    ap.add_argument("--replica", required=True, help="the replica's include directory")
    ap.add_argument("--gaps", required=True, help="the list of what MinGW lacks")
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

    # A missing record is one gap, not one for each of its members.
    gaps = {entries[n][0] for n in missing}
    gaps = {g for g in gaps if "." not in g or g.split(".")[0] not in gaps}
    print(f"{args.target}: {len(shared)} values of {len({k for k, _ in shared})} declarations "
          f"compared; not constants, skipped: {' '.join(skipped)}")
    for g in sorted(gaps):
        print(f"  MinGW lacks {g}")
    failed = False
    for (key, expr), a, b in zip(shared, ours, theirs):
        if a != b:
            print(f"DIFFERENT {key}: {expr} is {a:#x} in the replica, {b:#x} in MinGW")
            failed = True
    with open(args.gaps) as f:
        expected = {line.split("#")[0].strip() for line in f} - {""}
    for g in sorted(gaps - expected):
        print(f"NEW GAP {g}: not in MinGW's headers and not listed in {args.gaps}")
        failed = True
    for g in sorted(expected - gaps):
        print(f"STALE GAP {g}: listed in {args.gaps} but no longer a gap")
        failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
