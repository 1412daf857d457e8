#include "text/WideToAnsi.h"

#include <climits>

#include "text/HeapBlock.h"
#include "text/Utf16.h"
#include "text/WideText.h"
#include "text/WideToUtf8.h"

namespace {

// What a character the code page lacks becomes.
constexpr char kMissing[] = "?";

bool IsUtf8(UINT codePage) {
    return codePage == CP_UTF8 || (codePage == CP_ACP && GetACP() == CP_UTF8);
}

// Best fit off, so that no look-alike stands in for a character. UTF-8 lacks
// none, and Windows refuses these flags and a default character for it.
int Convert(UINT codePage, bool utf8, const WCHAR* wide, int count, char* out, int room,
            BOOL* usedMissing = nullptr) {
    if (utf8) return WideCharToMultiByte(codePage, 0, wide, count, out, room, nullptr, nullptr);
    return WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, count, out, room, kMissing,
                               usedMissing);
}

// Makes each surrogate pair the code page lacks one '?' and counts them:
// Windows would write a '?' for each half.
size_t JoinMissingPairs(WCHAR* wide, size_t& count, UINT codePage) {
    size_t joined = 0;
    size_t to = 0;
    for (size_t from = 0; from < count; ++from) {
        if (IsHighSurrogate(wide[from]) && from + 1 < count) {
            char bytes[8];
            BOOL missing = FALSE;
            if (Convert(codePage, false, wide + from, 2, bytes, sizeof bytes, &missing) == 0 ||
                missing) {
                wide[to++] = L'?';
                ++from;
                ++joined;
                continue;
            }
        }
        wide[to++] = wide[from];
    }
    count = to;
    return joined;
}

size_t CountOf(const WCHAR* wide, size_t count, WCHAR unit) {
    size_t found = 0;
    for (size_t i = 0; i < count; ++i) found += wide[i] == unit;
    return found;
}

size_t CountOf(const char* text, size_t count, char byte) {
    size_t found = 0;
    for (size_t i = 0; i < count; ++i) found += text[i] == byte;
    return found;
}

}  // namespace

bool WideToAnsi(WCHAR* wide, size_t count, Text& ansi, size_t& notInCodePage, UINT codePage) {
    notInCodePage = 0;
    ansi.clear();
    if (count == 0) return true;
    if (count > INT_MAX) return false;
    const bool utf8 = IsUtf8(codePage);
    const size_t joined = utf8 ? 0 : JoinMissingPairs(wide, count, codePage);
    const int units = static_cast<int>(count);
    const int size = Convert(codePage, utf8, wide, units, nullptr, 0);
    if (size <= 0) return false;
    HeapBlock block(static_cast<size_t>(size));
    char* out = static_cast<char*>(block.get());
    if (out == nullptr || Convert(codePage, utf8, wide, units, out, size) != size) return false;
    if (!utf8) {
        // Each missing character is exactly one '?' (best fit off), and no
        // code page has '?' as the second byte of a character, so the '?'
        // the text did not hold are the missing characters.
        const size_t written = CountOf(out, static_cast<size_t>(size), '?');
        const size_t held = CountOf(wide, count, L'?');
        notInCodePage = (written > held ? written - held : 0) + joined;
    }
    return ansi.assign(out, static_cast<size_t>(size));
}

size_t CountNotInCodePage(const WCHAR* wide, size_t count, UINT codePage) {
    // WideToAnsi rewrites what it converts: a copy.
    HeapBlock block(count * sizeof(WCHAR));
    WCHAR* copy = static_cast<WCHAR*>(block.get());
    if (copy == nullptr) return 0;
    for (size_t i = 0; i < count; ++i) copy[i] = wide[i];
    Text ansi;
    size_t missing = 0;
    return WideToAnsi(copy, count, ansi, missing, codePage) ? missing : 0;
}

bool BestFitAnsi(const WCHAR* wide, size_t count, Text& ansi) {
    return WideToMultiByte(CP_ACP, wide, count, ansi);
}

bool BestFitAnsi(const char* utf8, size_t size, Text& ansi) {
    WideText wide;
    return Utf8ToWide(utf8, size, wide) && BestFitAnsi(wide.c_str(), wide.size(), ansi);
}

bool LosslessAnsi(const WCHAR* wide, size_t count, Text& ansi) {
    ansi.clear();
    if (count == 0) return true;
    if (count > INT_MAX / 4) return false;
    const bool utf8 = IsUtf8(CP_ACP);
    const int units = static_cast<int>(count);
    BOOL missing = FALSE;
    const int size = Convert(CP_ACP, utf8, wide, units, nullptr, 0, utf8 ? nullptr : &missing);
    if (size <= 0 || missing) return false;
    HeapBlock block(static_cast<size_t>(size));
    char* out = static_cast<char*>(block.get());
    if (out == nullptr ||
        Convert(CP_ACP, utf8, wide, units, out, size, utf8 ? nullptr : &missing) != size ||
        missing) {
        return false;
    }
    // Back again, unit for unit: UTF-8 writes U+FFFD for a lone surrogate.
    WideText back;
    WCHAR* again = back.Buffer(count);
    if (again == nullptr || MultiByteToWideChar(CP_ACP, 0, out, size, again, units) != units) {
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        if (again[i] != wide[i]) return false;
    }
    return ansi.assign(out, static_cast<size_t>(size));
}
