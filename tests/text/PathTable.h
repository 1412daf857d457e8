// Paths with the parts the runtime's path splitting gives them, and the
// attachment display name each should produce (null: none formed). Shared
// by the portable tests and the Windows check against the real runtime.
#pragma once

struct PathCase {
    const char* path;
    const char* drive;
    const char* dir;
    const char* name;
    const char* ext;
    const char* displayName;
};

inline constexpr PathCase kPathCases[] = {
    {"C:\\docs\\report.pdf", "C:", "\\docs\\", "report", ".pdf", "report.pdf"},
    {"C:\\x\\archive.tar.gz", "C:", "\\x\\", "archive.tar", ".gz", "archive.tar.gz"},
    {"C:\\x\\Makefile", "C:", "\\x\\", "Makefile", "", nullptr},
    {"C:\\docs\\", "C:", "\\docs\\", "", "", nullptr},
    {"C:\\dir.with.dots\\README", "C:", "\\dir.with.dots\\", "README", "", nullptr},
    {"C:\\x\\.profile", "C:", "\\x\\", "", ".profile", nullptr},
    {"C:\\x\\name.", "C:", "\\x\\", "name", ".", "name."},
    {"C:report.pdf", "C:", "", "report", ".pdf", "report.pdf"},
    {"C:", "C:", "", "", "", nullptr},
    {"report.pdf", "", "", "report", ".pdf", "report.pdf"},
    {"", "", "", "", "", nullptr},
    {"/home/me/notes.txt", "", "/home/me/", "notes", ".txt", "notes.txt"},
    {"C:\\a/b\\c/d.e", "C:", "\\a/b\\c/", "d", ".e", "d.e"},
    {"\\\\server\\share\\f.txt", "", "\\\\server\\share\\", "f", ".txt", "f.txt"},
    {"x:y:z.doc", "x:", "", "y:z", ".doc", "y:z.doc"},
    {"a:", "a:", "", "", "", nullptr},
    {":abc.d", "", "", ":abc", ".d", ":abc.d"},
    {"C:\\my files\\a b.c d", "C:", "\\my files\\", "a b", ".c d", "a b.c d"},
};
