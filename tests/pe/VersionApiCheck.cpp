// version_api_check <file> <version a.b.c.d> <language> <code page> [<name>=<value>...]
//
// Reads a program's version block through Windows' own version API
// (GetFileVersionInfoA, VerQueryValueA), as Explorer's file properties do,
// and compares it with what is expected: the fixed file and product version,
// the first translation (language and code page, both in hex or decimal) and
// each named string of that translation. Prints what it read; exits 0 only
// when everything matches.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int failures = 0;

void Compare(const char* what, const std::string& got, const std::string& want) {
    bool ok = got == want;
    std::printf("%s %s: \"%s\"", ok ? "ok  " : "FAIL", what, got.c_str());
    if (!ok) {
        std::printf(" (want \"%s\")", want.c_str());
        ++failures;
    }
    std::printf("\n");
}

std::string Dotted(DWORD high, DWORD low) {
    char text[64];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", unsigned{HIWORD(high)}, unsigned{LOWORD(high)},
                  unsigned{HIWORD(low)}, unsigned{LOWORD(low)});
    return text;
}

std::string Hex4(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s <file> <version> <language> <code page> [name=value...]\n",
                     argv[0]);
        return 2;
    }
    const char* file = argv[1];
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(file, &handle);
    if (size == 0) {
        std::printf("FAIL %s: no version block (GetFileVersionInfoSizeA error %lu)\n", file,
                    GetLastError());
        return 1;
    }
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(file, 0, size, block.data())) {
        std::printf("FAIL %s: GetFileVersionInfoA error %lu\n", file, GetLastError());
        return 1;
    }

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
        length < sizeof *fixed || fixed->dwSignature != 0xFEEF04BD) {
        std::printf("FAIL no fixed file information\n");
        return 1;
    }
    Compare("file version", Dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS), argv[2]);
    Compare("product version", Dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS),
            argv[2]);

    WORD* translation = nullptr;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < 2 * sizeof(WORD)) {
        std::printf("FAIL no translation\n");
        return 1;
    }
    unsigned language = std::strtoul(argv[3], nullptr, 0);
    unsigned codePage = std::strtoul(argv[4], nullptr, 0);
    Compare("language", Hex4(translation[0]), Hex4(language));
    Compare("code page", Hex4(translation[1]), Hex4(codePage));

    for (int i = 5; i < argc; ++i) {
        std::string expected = argv[i];
        size_t equals = expected.find('=');
        std::string name = expected.substr(0, equals);
        std::string want = equals == std::string::npos ? "" : expected.substr(equals + 1);
        // The strings of the translation the caller expects, as Windows looks them up.
        std::string query = "\\StringFileInfo\\" + Hex4(language) + Hex4(codePage) + "\\" + name;
        char* value = nullptr;
        if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value),
                            &length) ||
            value == nullptr) {
            std::printf("FAIL %s: missing\n", name.c_str());
            ++failures;
            continue;
        }
        Compare(name.c_str(), std::string(value, strnlen(value, length)), want);
    }
    return failures == 0 ? 0 : 1;
}
