// RegOpenKeyExW and RegQueryValueExW over the A calls: the stand-in's
// registry keeps its names and strings in the ANSI code page.
#include <windows.h>

#include "kernel_names.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

// The ANSI form of a key or value name; false when the ANSI code page lacks
// one of its characters, so that no stored name can be it.
bool StoredName(LPCWSTR name, std::string& ansi) {
    if (name == nullptr || name[0] == 0) return true;
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lacks = FALSE;
    BOOL* lacking = utf8 ? nullptr : &lacks;
    const int size = WideCharToMultiByte(CP_ACP, flags, name, -1, nullptr, 0, nullptr, lacking);
    if (size <= 0 || lacks) return false;
    ansi.assign(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, flags, name, -1, &ansi[0], size, nullptr, lacking);
    ansi.pop_back();
    return true;
}

bool IsString(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

}  // namespace

LONG WINAPI RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                          PHKEY phkResult) {
    std::string subKey;
    if (!StoredName(lpSubKey, subKey)) {
        if (phkResult != nullptr) *phkResult = nullptr;
        return phkResult == nullptr ? ERROR_INVALID_PARAMETER : ERROR_FILE_NOT_FOUND;
    }
    return RegOpenKeyExA(hKey, lpSubKey != nullptr ? subKey.c_str() : nullptr, ulOptions,
                         samDesired, phkResult);
}

// A string value (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) is its stored bytes
// read in the ANSI code page, terminators and all, so its size in bytes is
// twice its length in UTF-16 units; other types come back as stored.
LONG WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                             LPBYTE lpData, LPDWORD lpcbData) {
    if (lpReserved != nullptr || (lpData != nullptr && lpcbData == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    std::string name;
    if (!StoredName(lpValueName, name)) return ERROR_FILE_NOT_FOUND;
    LPCSTR valueName = lpValueName != nullptr ? name.c_str() : nullptr;
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG result = RegQueryValueExA(hKey, valueName, nullptr, &type, nullptr, &size);
    if (result != ERROR_SUCCESS) return result;
    if (!IsString(type))
        return RegQueryValueExA(hKey, valueName, nullptr, lpType, lpData, lpcbData);
    std::vector<BYTE> stored(size);
    result = RegQueryValueExA(hKey, valueName, nullptr, &type, stored.data(), &size);
    if (result != ERROR_SUCCESS) return result;
    const std::wstring wide = WideOf(CP_ACP, std::string(stored.begin(), stored.begin() + size));
    const DWORD needed = static_cast<DWORD>(wide.size() * sizeof(WCHAR));
    if (lpType != nullptr) *lpType = type;
    if (lpData != nullptr) {
        if (needed > *lpcbData) {
            *lpcbData = needed;
            return ERROR_MORE_DATA;
        }
        std::memcpy(lpData, wide.data(), needed);
    }
    if (lpcbData != nullptr) *lpcbData = needed;
    return ERROR_SUCCESS;
}
