// The registry on the platform stand-in: a read-only view in which
// HKEY_CLASSES_ROOT\<scheme>\shell\open\command holds the desktop's command
// for that URL scheme, HKEY_LOCAL_MACHINE\Software\Clients\Mail names the
// simulated mail client (built into the program itself, so both its MAPI
// libraries are the program's own file), Windows' CurrentVersion key names
// the system underneath, and every other key is missing. Tests may install
// keys and values of any type (platform_registry_testing.h) that answer
// first.
#include <windows.h>

#include "kernel_names.h"
#include "platform_registry_testing.h"
#include "registry_desktop.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <cctype>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace {

struct Value {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

struct KeyState {
    bool exists = false;
    std::map<std::string, Value> values;  // by lower-case name; "" is the default value
};

// What an open handle stands for: its path and the key as it was when opened.
struct OpenKey {
    std::string path;
    KeyState state;
};

std::mutex registryMutex;
std::map<std::string, KeyState> installedKeys;  // by lower-case "root\path"
std::set<OpenKey*> openKeys;

const char kCommandSuffix[] = "\\shell\\open\\command";
const char kClassesRoot[] = "hkcr\\";
const char kMailClients[] = "hklm\\software\\clients\\mail";
const char kSimulatedClient[] = "Mailsim";
const char kWindowsVersion[] = "hklm\\software\\microsoft\\windows nt\\currentversion";

// Key and value names compare without regard to case.
std::string Lowercase(const char* text) {
    std::string name = text != nullptr ? text : "";
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

// The root part of a stored path, or "" for a key that is not predefined.
std::string RootName(HKEY key) {
    if (key == HKEY_CLASSES_ROOT) return "hkcr";
    if (key == HKEY_CURRENT_USER) return "hkcu";
    if (key == HKEY_LOCAL_MACHINE) return "hklm";
    return std::string();
}

std::string Joined(const std::string& path, const std::string& sub) {
    return sub.empty() ? path : path + "\\" + sub;
}

Value StringValue(DWORD type, const std::string& text) {
    Value value;
    value.type = type;
    value.data.assign(text.begin(), text.end());
    value.data.push_back(0);
    return value;
}

KeyState KeyWithDefault(const std::string& text) {
    KeyState state;
    state.exists = true;
    state.values[""] = StringValue(REG_SZ, text);
    return state;
}

bool EndsWith(const std::string& text, const char* suffix) {
    const size_t length = std::char_traits<char>::length(suffix);
    return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

// The running program: the simulated client's libraries are built into it.
// A path the registry holds is in the ANSI code page, as it reads there.
std::string ProgramPath() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

// The system the stand-in runs on, where Windows names its own version.
KeyState SystemVersion() {
    KeyState state;
    state.exists = true;
    struct utsname system;
    const std::string name = uname(&system) == 0
                                 ? std::string(system.sysname) + " " + system.release
                                 : std::string("unknown system");
    state.values["productname"] = StringValue(REG_SZ, name + " (platform stand-in)");
    return state;
}

// The keys the stand-in answers by itself. Called with registryMutex held.
KeyState BuiltInKey(const std::string& path) {
    if (path == kWindowsVersion) return SystemVersion();
    if (path == kMailClients) return KeyWithDefault(kSimulatedClient);
    if (path == std::string(kMailClients) + "\\" + Lowercase(kSimulatedClient)) {
        KeyState state = KeyWithDefault(kSimulatedClient);
        const std::string library = AnsiName(ProgramPath());
        state.values["dllpathex"] = StringValue(REG_SZ, library);
        state.values["dllpath"] = StringValue(REG_SZ, library);
        return state;
    }
    if (path.compare(0, sizeof kClassesRoot - 1, kClassesRoot) == 0 &&
        EndsWith(path, kCommandSuffix)) {
        const std::string scheme =
            path.substr(sizeof kClassesRoot - 1,
                        path.size() - (sizeof kClassesRoot - 1) - (sizeof kCommandSuffix - 1));
        std::string command;
        if (!scheme.empty() && scheme.find('\\') == std::string::npos &&
            DesktopSchemeHandlerCommand(scheme, command)) {
            return KeyWithDefault(command);
        }
    }
    return KeyState();
}

// Called with registryMutex held.
KeyState LookUp(const std::string& path) {
    auto installed = installedKeys.find(path);
    if (installed != installedKeys.end()) return installed->second;
    return BuiltInKey(path);
}

OpenKey* FindOpenKey(HKEY key) {
    OpenKey* open = reinterpret_cast<OpenKey*>(key);
    return openKeys.count(open) != 0 ? open : nullptr;
}

// A key as tests install it: the root given or, without one, HKCR.
std::string InstalledPath(HKEY root, const char* keyPath) {
    return Joined(RootName(root), Lowercase(keyPath));
}

void Install(const std::string& path, const KeyState& state) {
    std::lock_guard<std::mutex> lock(registryMutex);
    installedKeys[path] = state;
}

void InstallDefault(const std::string& path, const Value& value) {
    KeyState state;
    state.exists = true;
    state.values[""] = value;
    Install(path, state);
}

}  // namespace

LONG WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
    if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    std::lock_guard<std::mutex> lock(registryMutex);

    std::string path;
    const std::string root = RootName(hKey);
    if (!root.empty()) {
        path = Joined(root, Lowercase(lpSubKey));
    } else if (OpenKey* parent = FindOpenKey(hKey)) {
        path = Joined(parent->path, Lowercase(lpSubKey));
    } else {
        return ERROR_INVALID_HANDLE;
    }

    KeyState state;
    if (path.find('\\') == std::string::npos) {
        state.exists = true;  // a root itself, which has no values here
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
    if (open == nullptr)
        return RootName(hKey).empty() ? ERROR_INVALID_HANDLE : ERROR_FILE_NOT_FOUND;

    const auto found = open->state.values.find(Lowercase(lpValueName));
    if (found == open->state.values.end()) return ERROR_FILE_NOT_FOUND;
    const Value& value = found->second;

    if (lpType != nullptr) *lpType = value.type;
    DWORD needed = static_cast<DWORD>(value.data.size());
    if (lpData != nullptr) {
        if (needed > *lpcbData) {
            *lpcbData = needed;
            return ERROR_MORE_DATA;
        }
        if (needed != 0) std::memcpy(lpData, value.data.data(), needed);
    }
    if (lpcbData != nullptr) *lpcbData = needed;
    return ERROR_SUCCESS;
}

LONG WINAPI RegCloseKey(HKEY hKey) {
    if (!RootName(hKey).empty()) return ERROR_SUCCESS;
    std::lock_guard<std::mutex> lock(registryMutex);
    OpenKey* open = FindOpenKey(hKey);
    if (open == nullptr) return ERROR_INVALID_HANDLE;
    openKeys.erase(open);
    delete open;
    return ERROR_SUCCESS;
}

void PlatformRegistryInstallValue(const char* keyPath, DWORD type, const void* data, DWORD size) {
    Value value;
    value.type = type;
    const BYTE* bytes = static_cast<const BYTE*>(data);
    value.data.assign(bytes, bytes + size);
    InstallDefault(InstalledPath(HKEY_CLASSES_ROOT, keyPath), value);
}

void PlatformRegistryInstallString(const char* keyPath, DWORD type, const char* text) {
    InstallDefault(InstalledPath(HKEY_CLASSES_ROOT, keyPath), StringValue(type, text));
}

void PlatformRegistryInstallKeyWithoutValue(const char* keyPath) {
    KeyState state;
    state.exists = true;
    Install(InstalledPath(HKEY_CLASSES_ROOT, keyPath), state);
}

void PlatformRegistryInstallMissingKey(const char* keyPath) {
    PlatformRegistryInstallMissingKey(HKEY_CLASSES_ROOT, keyPath);
}

void PlatformRegistryInstallMissingKey(HKEY root, const char* keyPath) {
    Install(InstalledPath(root, keyPath), KeyState());
}

void PlatformRegistryInstallNamedString(HKEY root, const char* keyPath, const char* valueName,
                                        DWORD type, const char* text) {
    const std::string path = InstalledPath(root, keyPath);
    std::lock_guard<std::mutex> lock(registryMutex);
    KeyState state = LookUp(path);
    state.exists = true;
    state.values[Lowercase(valueName)] = StringValue(type, text);
    installedKeys[path] = state;
}

void PlatformRegistryClearInstalled() {
    std::lock_guard<std::mutex> lock(registryMutex);
    installedKeys.clear();
}

size_t PlatformRegistryOpenKeyCount() {
    std::lock_guard<std::mutex> lock(registryMutex);
    return openKeys.size();
}
