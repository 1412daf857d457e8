// ExpandEnvironmentStringsA over the process environment.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

// Each %NAME% of a variable that is set becomes its value; anything else,
// an unset variable's reference included, stays as written. Returns the
// size the result needs with its terminator, written only when it fits.
extern "C" DWORD WINAPI ExpandEnvironmentStringsA(LPCSTR lpSrc, LPSTR lpDst, DWORD nSize) {
    if (lpSrc == nullptr) return 0;
    std::string out;
    for (const char* p = lpSrc; *p != '\0';) {
        const char* close = *p == '%' ? std::strchr(p + 1, '%') : nullptr;
        if (close != nullptr && close > p + 1) {
            const std::string name(p + 1, close);
            if (const char* value = std::getenv(name.c_str())) {
                out += value;
                p = close + 1;
                continue;
            }
        }
        out += *p++;
    }
    const DWORD needed = static_cast<DWORD>(out.size() + 1);
    if (lpDst != nullptr && nSize >= needed) std::memcpy(lpDst, out.c_str(), needed);
    return needed;
}
