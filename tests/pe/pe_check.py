#!/usr/bin/env python3
"""Checks a Windows executable's headers, import table and version block.

pe_check.py <exe> --machine i386|x86-64 --dlls A.dll,B.dll [options]

Every check that fails is printed with what was found; the exit status is 1
if any failed. The file size is always printed.
"""
import argparse
import os
import struct
import sys

MACHINES = {0x14C: "i386", 0x8664: "x86-64"}
SUBSYSTEMS = {2: "Windows GUI", 3: "Windows console"}
RT_VERSION = 16


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ executable")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, sections, _, self.symbol_table, self.symbol_count, optional_size,
         _) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        self.is_64 = magic == 0x20B
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        directories = optional + (112 if self.is_64 else 96)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            name, vsize, rva, raw_size, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode("latin-1"), rva, max(vsize, raw_size), raw))

    def offset(self, rva):
        for _, start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError("RVA 0x%x is in no section" % rva)

    def cstring(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")

    def imports(self):
        """[(dll, [("ordinal", n) | ("name", text)])] in table order."""
        rva, size = self.directories[1]
        result = []
        if not rva:
            return result
        at = self.offset(rva)
        thunk_size, ordinal_flag = (8, 1 << 63) if self.is_64 else (4, 1 << 31)
        while True:
            lookup, _, _, name, first = struct.unpack_from("<IIIII", self.data, at)
            if not name:
                return result
            entries = []
            thunk = self.offset(lookup or first)
            while True:
                value = struct.unpack_from("<Q" if self.is_64 else "<I", self.data, thunk)[0]
                if not value:
                    break
                if value & ordinal_flag:
                    entries.append(("ordinal", value & 0xFFFF))
                else:
                    entries.append(("name", self.cstring((value & 0x7FFFFFFF) + 2)))
                thunk += thunk_size
            result.append((self.cstring(name), entries))
            at += 20

    def resources(self):
        """[(type, name, language, bytes)] for every resource."""
        rva, _ = self.directories[2]
        if not rva:
            return []
        base = self.offset(rva)
        found = []

        def walk(table, path):
            named, numbered = struct.unpack_from("<HH", self.data, base + table + 12)
            for i in range(named + numbered):
                ident, target = struct.unpack_from("<II", self.data, base + table + 16 + 8 * i)
                if target & 0x80000000:
                    walk(target & 0x7FFFFFFF, path + [ident])
                else:
                    data_rva, size = struct.unpack_from("<II", self.data, base + target)
                    at = self.offset(data_rva)
                    found.append((path[0], path[1], ident, self.data[at:at + size]))

        walk(0, [])
        return found


def version_block(data, at=0):
    """Parses one block of a VS_VERSIONINFO tree: (key, value, children)."""
    length, value_length, kind = struct.unpack_from("<HHH", data, at)
    if length < 6:
        raise ValueError("version block of length %d at %d" % (length, at))
    end = at + length
    key_start = at + 6
    key_end = key_start
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[key_start:key_end].decode("utf-16-le")
    value_at = (key_end + 2 + 3) & ~3
    value_bytes = value_length * 2 if kind == 1 else value_length
    value = data[value_at:value_at + value_bytes]
    if kind == 1:
        value = value.decode("utf-16-le").rstrip("\0")
    children = []
    child = (value_at + value_bytes + 3) & ~3
    while child < end:
        block = version_block(data, child)
        children.append(block[:3])
        child = (child + block[3] + 3) & ~3
    return key, value, children, length


def version_info(data):
    key, fixed, children, _ = version_block(data)
    if key != "VS_VERSION_INFO":
        raise ValueError("version resource key is %r" % key)
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    if signature != 0xFEEF04BD:
        raise ValueError("no VS_FIXEDFILEINFO signature")
    dotted = lambda ms, ls: "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    info = {"file": dotted(file_ms, file_ls), "product": dotted(product_ms, product_ls),
            "tables": {}, "translations": []}
    for key, _, blocks in children:
        if key == "StringFileInfo":
            for table, _, strings in blocks:
                info["tables"][table] = {name: text for name, text, _ in strings}
        elif key == "VarFileInfo":
            for name, value, _ in blocks:
                if name == "Translation":
                    for i in range(0, len(value), 4):
                        info["translations"].append(struct.unpack_from("<HH", value, i))
    return info


class Checker:
    def __init__(self, name):
        self.name = name
        self.failures = 0

    def check(self, what, ok, found):
        print("%s %s: %s" % ("ok  " if ok else "FAIL", what, found))
        if not ok:
            self.failures += 1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("exe")
    parser.add_argument("--machine", required=True, choices=sorted(MACHINES.values()))
    parser.add_argument("--subsystem", type=int, default=2)
    parser.add_argument("--dlls", required=True, help="the imported DLLs, comma-separated")
    parser.add_argument("--ordinals-only", action="append", default=[],
                        help="DLL=n,n,...: imported from DLL by exactly these ordinals")
    parser.add_argument("--version", help="file and product version of the version block")
    parser.add_argument("--translation", help="LANGUAGE,CODEPAGE of the version block")
    parser.add_argument("--string", action="append", default=[], help="NAME=TEXT in the strings")
    parser.add_argument("--only-version-resource", action="store_true")
    parser.add_argument("--max-size", type=int, help="fail above this many bytes")
    parser.add_argument("--size-goal", type=int, help="report against this many bytes")
    args = parser.parse_args()

    name = os.path.basename(args.exe)
    if not os.path.isfile(args.exe):
        print("FAIL %s does not exist: it has not been built (yet)" % args.exe)
        return 1
    with open(args.exe, "rb") as f:
        data = f.read()
    out = Checker(name)
    size = len(data)
    limit = args.max_size or args.size_goal
    note = "" if not limit else (" (%s %d KiB)" % ("within" if size <= limit else "OVER",
                                                   limit // 1024))
    print("size %s: %d bytes, %.1f KiB%s" % (name, size, size / 1024, note))
    if args.max_size:
        out.check("size at most %d bytes" % args.max_size, size <= args.max_size, size)

    pe = PeFile(data)
    machine = MACHINES.get(pe.machine, "0x%x" % pe.machine)
    out.check("machine", machine == args.machine, machine)
    subsystem = SUBSYSTEMS.get(pe.subsystem, str(pe.subsystem))
    out.check("subsystem", pe.subsystem == args.subsystem, "%s (%d)" % (subsystem, pe.subsystem))
    out.check("stripped", pe.symbol_table == 0 and pe.symbol_count == 0
              and not any(s[0].startswith(".debug") for s in pe.sections),
              "%d symbols" % pe.symbol_count)

    imports = pe.imports()
    for dll, entries in imports:
        shown = ", ".join(str(v) if k == "ordinal" else v for k, v in entries)
        print("     import %s: %s" % (dll, shown))
    found = sorted(dll.lower() for dll, _ in imports)
    wanted = sorted(dll.lower() for dll in args.dlls.split(","))
    out.check("imported DLLs", found == wanted, ", ".join(dll for dll, _ in imports))
    for rule in args.ordinals_only:
        dll, ordinals = rule.split("=")
        wanted_ordinals = sorted(int(n) for n in ordinals.split(","))
        entries = [e for d, es in imports if d.lower() == dll.lower() for e in es]
        by_name = [v for k, v in entries if k == "name"]
        by_ordinal = sorted(v for k, v in entries if k == "ordinal")
        out.check("%s by name" % dll, not by_name, ", ".join(by_name) or "nothing")
        out.check("%s ordinals" % dll, by_ordinal == wanted_ordinals, by_ordinal)

    resources = pe.resources()
    print("     resources (type, name, language): %s" %
          ([(t, n, "0x%04x" % lang) for t, n, lang, _ in resources] or "none"))
    if args.only_version_resource:
        out.check("only resource is the version block",
                  len(resources) == 1 and resources[0][0] == RT_VERSION,
                  [t for t, _, _, _ in resources])
    if args.version or args.translation or args.string:
        blocks = [r for r in resources if r[0] == RT_VERSION]
        if not blocks:
            out.check("version block", False, "none")
            return 1
        info = version_info(blocks[0][3])
        if args.version:
            out.check("file version", info["file"] == args.version, info["file"])
            out.check("product version", info["product"] == args.version, info["product"])
        if args.translation:
            language, codepage = (int(v, 0) for v in args.translation.split(","))
            out.check("translation", info["translations"] == [(language, codepage)],
                      ["0x%04x, %d" % t for t in info["translations"]])
            table = "%04x%04x" % (language, codepage)
            out.check("string table", list(info["tables"]) == [table], list(info["tables"]))
        strings = next(iter(info["tables"].values()), {})
        for rule in args.string:
            key, text = rule.split("=", 1)
            out.check("string %s" % key, strings.get(key) == text, repr(strings.get(key)))
    return 1 if out.failures else 0


if __name__ == "__main__":
    sys.exit(main())
