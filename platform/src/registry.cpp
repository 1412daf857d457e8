// The registry on the platform stand-in: a read-only view in which
// HKEY_CLASSES_ROOT\<scheme>\shell\open\command holds the desktop's command
// for that URL scheme, and every other key is missing. Tests may install keys
// and values of any type (platform_registry_testing.h) that answer first.
#include <windows.h>

#include "platform_registry_testing.h"
#include "registry_desktop.h"

#include <cctype>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#ifndef ERROR_INVALID_PARAMETER
#define ERROR_INVALID_PARAMETER 87L
#endif

namespace {

struct KeyState {
    bool exists = false;
    bool hasDefaultValue = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// What an open handle stands for: its path and the key as it was when opened.
struct OpenKey {
    std::string path;
    KeyState state;
};

std::mutex registryMutex;
std::map<std::string, KeyState> installedKeys;  // by lower-case path
std::set<OpenKey*> openKeys;

const char kCommandSuffix[] = "\\shell\\open\\command";

// Key names compare without regard to case.
std::string KeyName(const char* path) {
    std::string name = path != nullptr ? path : "";
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

KeyState StringValue(DWORD type, const std::string& text) {
    KeyState state;
    state.exists = true;
    state.hasDefaultValue = true;
    state.type = type;
    state.data.assign(text.begin(), text.end());
    state.data.push_back(0);
    return state;
}

// Called with registryMutex held.
KeyState LookUp(const std::string& path) {
    auto installed = installedKeys.find(path);
    if (installed != installedKeys.end()) return installed->second;

    const size_t suffixLength = sizeof kCommandSuffix - 1;
    if (path.size() > suffixLength &&
        path.compare(path.size() - suffixLength, suffixLength, kCommandSuffix) == 0) {
        std::string scheme = path.substr(0, path.size() - suffixLength);
        std::string command;
        if (scheme.find('\\') == std::string::npos &&
            DesktopSchemeHandlerCommand(scheme, command)) {
            return StringValue(REG_SZ, command);
        }
    }
    return KeyState();
}

bool IsPredefined(HKEY key) {
    return key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE;
}

OpenKey* FindOpenKey(HKEY key) {
    OpenKey* open = reinterpret_cast<OpenKey*>(key);
    return openKeys.count(open) != 0 ? open : nullptr;
}

void Install(const char* keyPath, const KeyState& state) {
    std::lock_guard<std::mutex> lock(registryMutex);
    installedKeys[KeyName(keyPath)] = state;
}

}  // namespace

LONG WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
    if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    std::lock_guard<std::mutex> lock(registryMutex);

    std::string path;
    if (hKey == HKEY_CLASSES_ROOT) {
        path = KeyName(lpSubKey);
    } else if (OpenKey* parent = FindOpenKey(hKey)) {
        std::string sub = KeyName(lpSubKey);
        path = parent->path.empty() || sub.empty() ? parent->path + sub : parent->path + "\\" + sub;
    } else {
        return IsPredefined(hKey) ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_HANDLE;
    }

    KeyState state;
    if (path.empty()) {
        state.exists = true;  // the root itself, which has no default value here
    } else {
        state = LookUp(path);
    }
    if (!state.exists) return ERROR_FILE_NOT_FOUND;

    OpenKey* open = new OpenKey{path, state};
    openKeys.insert(open);
    *phkResult = reinterpret_cast<HKEY>(open);
    return ERROR_SUCCESS;
}

// Windows' size contract: with a buffer, a value larger than *lpcbData fails
// with ERROR_MORE_DATA and reports the size needed; without one, the call
// only reports the size. Strings count their terminator.
LONG WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                             LPBYTE lpData, LPDWORD lpcbData) {
    if (lpReserved != nullptr || (lpData != nullptr && lpcbData == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    std::lock_guard<std::mutex> lock(registryMutex);
    OpenKey* open = FindOpenKey(hKey);
    if (open == nullptr) return IsPredefined(hKey) ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_HANDLE;

    const KeyState& state = open->state;
    bool defaultValue = lpValueName == nullptr || *lpValueName == '\0';
    if (!defaultValue || !state.hasDefaultValue) return ERROR_FILE_NOT_FOUND;

    if (lpType != nullptr) *lpType = state.type;
    DWORD needed = static_cast<DWORD>(state.data.size());
    if (lpData != nullptr) {
        if (needed > *lpcbData) {
            *lpcbData = needed;
            return ERROR_MORE_DATA;
        }
        if (needed != 0) std::memcpy(lpData, state.data.data(), needed);
    }
    if (lpcbData != nullptr) *lpcbData = needed;
    return ERROR_SUCCESS;
}

LONG WINAPI RegCloseKey(HKEY hKey) {
    if (IsPredefined(hKey)) return ERROR_SUCCESS;
    std::lock_guard<std::mutex> lock(registryMutex);
    OpenKey* open = FindOpenKey(hKey);
    if (open == nullptr) return ERROR_INVALID_HANDLE;
    openKeys.erase(open);
    delete open;
    return ERROR_SUCCESS;
}

void PlatformRegistryInstallValue(const char* keyPath, DWORD type, const void* data, DWORD size) {
    KeyState state;
    state.exists = true;
    state.hasDefaultValue = true;
    state.type = type;
    const BYTE* bytes = static_cast<const BYTE*>(data);
    state.data.assign(bytes, bytes + size);
    Install(keyPath, state);
}

void PlatformRegistryInstallString(const char* keyPath, DWORD type, const char* text) {
    Install(keyPath, StringValue(type, text));
}

void PlatformRegistryInstallKeyWithoutValue(const char* keyPath) {
    KeyState state;
    state.exists = true;
    Install(keyPath, state);
}

void PlatformRegistryInstallMissingKey(const char* keyPath) {
    Install(keyPath, KeyState());
}

void PlatformRegistryClearInstalled() {
    std::lock_guard<std::mutex> lock(registryMutex);
    installedKeys.clear();
}

size_t PlatformRegistryOpenKeyCount() {
    std::lock_guard<std::mutex> lock(registryMutex);
    return openKeys.size();
}
