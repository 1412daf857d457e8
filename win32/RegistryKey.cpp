#include "win32/RegistryKey.h"

#include "text/WideText.h"
#include "text/WideToUtf8.h"

namespace {

// A key or value name (ASCII) as the W calls take it; null stays null.
const WCHAR* WideName(const char* name, WideText& wide) {
    if (name == nullptr) return nullptr;
    return wide.appendAscii(name) ? wide.c_str() : nullptr;
}

// A registry string may be stored without its terminator: one is added.
size_t StoredLength(const WCHAR* units, size_t count) {
    size_t length = 0;
    while (length < count && units[length] != 0) ++length;
    return length;
}

bool Expanded(const WideText& text, WideText& expanded) {
    const DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (size == 0) return false;
    WCHAR* out = expanded.Buffer(size);
    if (out == nullptr) return false;
    const DWORD written = ExpandEnvironmentStringsW(text.c_str(), out, size);
    if (written == 0 || written > size) return false;
    expanded.SetSize(StoredLength(out, written));
    return true;
}

}  // namespace

bool RegistryKey::Open(HKEY root, const char* path) {
    Close();
    WideText widePath;
    const WCHAR* wide = WideName(path, widePath);
    if (wide == nullptr) return false;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, wide, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return false;
    key_ = opened;
    return true;
}

void RegistryKey::Close() {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = nullptr;
}

bool RegistryKey::ReadString(const char* name, Text& text) const {
    if (key_ == nullptr) return false;
    WideText wideName;
    const WCHAR* valueName = WideName(name, wideName);
    if (name != nullptr && valueName == nullptr) return false;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(key_, valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return false;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    WideText stored;
    const size_t units = size / sizeof(WCHAR) + 1;
    WCHAR* data = stored.Buffer(units);
    if (data == nullptr) return false;
    // The value may have grown since its size was asked: then it fails here.
    if (RegQueryValueExW(key_, valueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    stored.SetSize(StoredLength(data, size / sizeof(WCHAR)));
    WideText expanded;
    if (type == REG_EXPAND_SZ && !Expanded(stored, expanded)) return false;
    const WideText& value = type == REG_EXPAND_SZ ? expanded : stored;
    return WideToUtf8(value.c_str(), value.size(), text);
}

bool RegistryKey::ReadNumber(const char* name, DWORD& number) const {
    if (key_ == nullptr) return false;
    WideText wideName;
    const WCHAR* valueName = WideName(name, wideName);
    if (name != nullptr && valueName == nullptr) return false;
    DWORD type = REG_NONE;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExW(key_, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value) {
        return false;
    }
    number = value;
    return true;
}
