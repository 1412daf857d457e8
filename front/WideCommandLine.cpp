#include "front/WideCommandLine.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "text/WideToUtf8.h"

namespace {

bool IsBlank(WCHAR c) {
    return c == L' ' || c == L'\t';
}

// Appends the UTF-8 of a zero-terminated UTF-16 argument and its zero.
bool AppendUtf8(const WCHAR* argument, Text& out) {
    Text utf8;
    return WideToUtf8(argument, WideLength(argument), utf8) &&
           out.append(utf8.c_str(), utf8.size() + 1);
}

}  // namespace

int SplitCommandLine(const WCHAR* line, WCHAR* out, const WCHAR** args) {
    const WCHAR* p = line;
    int count = 0;
    // The program name: quotes group, backslashes are path separators.
    args[count++] = out;
    for (bool quoted = false; *p != 0 && (quoted || !IsBlank(*p)); ++p) {
        if (*p == L'"') {
            quoted = !quoted;
        } else {
            *out++ = *p;
        }
    }
    *out++ = 0;
    for (;;) {
        while (IsBlank(*p)) ++p;
        if (*p == 0) return count;
        args[count++] = out;
        for (bool quoted = false;;) {
            size_t backslashes = 0;
            while (*p == L'\\') {
                ++p;
                ++backslashes;
            }
            bool copy = true;
            if (*p == L'"') {
                if (backslashes % 2 == 0) {
                    if (quoted && p[1] == L'"') {
                        ++p;  // "" inside quotes: one literal quote
                    } else {
                        copy = false;
                        quoted = !quoted;
                    }
                }
                backslashes /= 2;
            }
            while (backslashes-- > 0) *out++ = L'\\';
            if (*p == 0 || (!quoted && IsBlank(*p))) break;
            if (copy) *out++ = *p;
            ++p;
        }
        *out++ = 0;
    }
}

WideCommandLine::~WideCommandLine() {
    Release();
}

void WideCommandLine::Release() {
    std::free(chars_);
    std::free(wide_);
    std::free(utf8_);
    chars_ = nullptr;
    wide_ = nullptr;
    utf8_ = nullptr;
    utf8Chars_.clear();
    count_ = 0;
}

bool WideCommandLine::Split(const WCHAR* line) {
    Release();
    if (line == nullptr) return false;
    const size_t length = WideLength(line);
    if (!Allocate(length + 1, SplitArgumentsMost(length))) return false;
    return Finish(SplitCommandLine(line, chars_, wide_));
}

bool WideCommandLine::FromAnsi(int argc, const char* const* argv) {
    Release();
    size_t total = 0;
    for (int i = 0; i < argc; ++i) {
        const size_t length = std::strlen(argv[i]);
        if (length > INT_MAX) return false;
        const int units = length == 0 ? 0
                                      : MultiByteToWideChar(CP_ACP, 0, argv[i],
                                                            static_cast<int>(length), nullptr, 0);
        if (length != 0 && units <= 0) return false;
        total += static_cast<size_t>(units) + 1;
    }
    if (argc < 0 || !Allocate(total, static_cast<size_t>(argc))) return false;
    WCHAR* out = chars_;
    for (int i = 0; i < argc; ++i) {
        const size_t length = std::strlen(argv[i]);
        const int units = length == 0
                              ? 0
                              : MultiByteToWideChar(CP_ACP, 0, argv[i], static_cast<int>(length),
                                                    out, static_cast<int>(total));
        wide_[i] = out;
        out += units;
        *out++ = 0;
        total -= static_cast<size_t>(units) + 1;
    }
    return Finish(argc);
}

bool WideCommandLine::Allocate(size_t units, size_t arguments) {
    chars_ = static_cast<WCHAR*>(std::malloc(units * sizeof(WCHAR)));
    wide_ = static_cast<const WCHAR**>(std::malloc((arguments + 1) * sizeof(const WCHAR*)));
    utf8_ = static_cast<const char**>(std::malloc((arguments + 1) * sizeof(const char*)));
    if (chars_ != nullptr && wide_ != nullptr && utf8_ != nullptr) return true;
    Release();
    return false;
}

bool WideCommandLine::Finish(int count) {
    wide_[count] = nullptr;
    for (int i = 0; i < count; ++i) {
        if (!AppendUtf8(wide_[i], utf8Chars_)) {
            Release();
            return false;
        }
    }
    // Pointers into the UTF-8 text only once it has stopped growing.
    const char* at = utf8Chars_.c_str();
    for (int i = 0; i < count; ++i) {
        utf8_[i] = at;
        while (*at != '\0') ++at;
        ++at;
    }
    utf8_[count] = nullptr;
    count_ = count;
    return true;
}
