// What Quillora's command line says.
#pragma once

#include <windows.h>

// Where each option's value stands in the argument vector, as an index; 0
// when the option was not given (argument 0 is the program itself).
struct CommandLine {
    int to = 0;
    int cc = 0;
    int bcc = 0;
    int subject = 0;
    int body = 0;  // the -body text, or with bodyFromFile the -bodyfile path
    bool bodyFromFile = false;
    int attachment = 0;
    int log = 0;
    bool mailto = false;  // -mailto: after both MAPI roads failed, try a mailto: URL
    bool eml = false;     // -eml: after both MAPI roads failed, try a draft file first
    // -files: every argument from firstFile on is one more file to attach
    // (firstFile may be the argument count: none).
    bool files = false;
    int firstFile = 0;
};

bool operator==(const CommandLine& one, const CommandLine& other);

// Scans argv[1..argc), the arguments as typed (UTF-16), for -to, -cc, -bcc,
// -subject, -body, -attachment, -bodyfile and -log, and the flags -mailto,
// -eml and -files, after which the scan stops: every argument after -files
// is the path of a file, whatever it looks like. An argument is an option only when it is an ASCII
// '-' and the option's name in ASCII letters, their case ignored: nothing else, however alike it
// looks, is one. An option takes the next argument as its value, whatever it looks like; an option
// given last is ignored, unknown arguments are skipped, and a repeated option keeps its last value.
// -body and -bodyfile set the same body: the last one given wins. Never fails, and owns nothing.
CommandLine ParseCommandLine(int argc, const WCHAR* const* argv);

// The argument at index, or null for 0 (an option not given).
inline const WCHAR* ArgumentAt(const WCHAR* const* argv, int index) {
    return index != 0 ? argv[index] : nullptr;
}
