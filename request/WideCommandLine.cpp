#include "request/WideCommandLine.h"

#include <cstdlib>

#include "text/WideText.h"

namespace {

bool IsBlank(WCHAR c) {
    return c == L' ' || c == L'\t';
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
    std::free(arguments_);
    chars_ = nullptr;
    arguments_ = nullptr;
    count_ = 0;
}

bool WideCommandLine::Split(const WCHAR* line) {
    Release();
    if (line == nullptr) return false;
    const size_t length = WideLength(line);
    const size_t most = SplitArgumentsMost(length);
    chars_ = static_cast<WCHAR*>(std::malloc((length + 1) * sizeof(WCHAR)));
    arguments_ = static_cast<const WCHAR**>(std::malloc((most + 1) * sizeof(const WCHAR*)));
    if (chars_ == nullptr || arguments_ == nullptr) {
        Release();
        return false;
    }
    count_ = SplitCommandLine(line, chars_, arguments_);
    arguments_[count_] = nullptr;
    return true;
}
