// ExpandEnvironmentStringsA/W over the process environment, whose strings
// are UTF-8 like the file system's names: the A call expands in UTF-16, as
// Windows does, between the ANSI code page and it.
#include <windows.h>

#include "kernel_errors.h"
#include "kernel_names.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Each %NAME% of a variable that is set becomes its value; anything else,
// an unset variable's reference included, stays as written.
std::wstring Expanded(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size();) {
        const size_t close = text[i] == L'%' ? text.find(L'%', i + 1) : std::wstring::npos;
        if (close != std::wstring::npos && close > i + 1) {
            const std::string name = NativeName(text.substr(i + 1, close - i - 1).c_str());
            if (const char* value = std::getenv(name.c_str())) {
                out += WideName(value);
                i = close + 1;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

// The size the result needs with its terminator, written only when it fits.
template <class Char>
DWORD DeliverExpanded(const std::basic_string<Char>& out, Char* buffer, DWORD size) {
    const DWORD needed = static_cast<DWORD>(out.size() + 1);
    if (buffer == nullptr || size < needed) return Fail(ERROR_INSUFFICIENT_BUFFER, needed);
    std::memcpy(buffer, out.c_str(), needed * sizeof(Char));
    return needed;
}

}  // namespace

extern "C" DWORD WINAPI ExpandEnvironmentStringsA(LPCSTR lpSrc, LPSTR lpDst, DWORD nSize) {
    if (lpSrc == nullptr) return Fail(ERROR_INVALID_PARAMETER, 0);
    return DeliverExpanded(BytesOf(CP_ACP, Expanded(WideOf(CP_ACP, lpSrc))), lpDst, nSize);
}

extern "C" DWORD WINAPI ExpandEnvironmentStringsW(LPCWSTR lpSrc, LPWSTR lpDst, DWORD nSize) {
    if (lpSrc == nullptr) return Fail(ERROR_INVALID_PARAMETER, 0);
    return DeliverExpanded(Expanded(lpSrc), lpDst, nSize);
}
