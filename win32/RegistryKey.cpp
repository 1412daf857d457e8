#include "win32/RegistryKey.h"

#include <utility>

#include "text/HeapBlock.h"

namespace {

// A registry string may be stored without its terminator: one is added.
bool StoredText(const BYTE* data, DWORD size, Text& text) {
    const char* chars = reinterpret_cast<const char*>(data);
    DWORD length = 0;
    while (length < size && chars[length] != '\0') ++length;
    return text.assign(chars, length);
}

bool Expanded(const Text& text, Text& expanded) {
    const DWORD size = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (size == 0) return false;
    HeapBlock block(size);
    char* out = static_cast<char*>(block.get());
    if (out == nullptr) return false;
    const DWORD written = ExpandEnvironmentStringsA(text.c_str(), out, size);
    if (written == 0 || written > size) return false;
    return expanded.assign(out);
}

}  // namespace

bool RegistryKey::Open(HKEY root, const char* path) {
    Close();
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return false;
    key_ = opened;
    return true;
}

void RegistryKey::Close() {
    if (key_ != nullptr) RegCloseKey(key_);
    key_ = nullptr;
}

bool RegistryKey::ReadString(const char* name, Text& text) const {
    if (key_ == nullptr) return false;
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    HeapBlock block(size + 1);
    BYTE* data = static_cast<BYTE*>(block.get());
    if (data == nullptr) return false;
    // The value may have grown since its size was asked: then it fails here.
    if (RegQueryValueExA(key_, name, nullptr, &type, data, &size) != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    Text stored;
    if (!StoredText(data, size, stored)) return false;
    if (type == REG_SZ) {
        text = std::move(stored);
        return true;
    }
    return Expanded(stored, text);
}

bool RegistryKey::ReadNumber(const char* name, DWORD& number) const {
    if (key_ == nullptr) return false;
    DWORD type = REG_NONE;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value) {
        return false;
    }
    number = value;
    return true;
}
