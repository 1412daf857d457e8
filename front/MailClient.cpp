#include "front/MailClient.h"

#include <windows.h>

#include <cstring>

#include "text/WideText.h"
#include "text/WideToUtf8.h"
#include "win32/RegistryKey.h"

namespace {

constexpr char kMailClientsKey[] = "Software\\Clients\\Mail";

bool HasDirectory(const Text& path) {
    return std::strpbrk(path.c_str(), "\\/:") != nullptr;
}

bool IsFile(const WCHAR* path) {
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void Find(MailClientLibrary& library) {
    WideText path;
    if (library.path.empty() || !Utf8ToWide(library.path.c_str(), library.path.size(), path)) {
        return;
    }
    if (HasDirectory(library.path)) {
        library.found = IsFile(path.c_str());
        return;
    }
    WCHAR found[MAX_PATH];
    const DWORD length = SearchPathW(nullptr, path.c_str(), nullptr, MAX_PATH, found, nullptr);
    if (length == 0 || length >= MAX_PATH || !IsFile(found)) return;
    library.found = WideToUtf8(found, length, library.path);
}

bool ReadDefaultClient(HKEY root, Text& name) {
    RegistryKey key;
    return key.Open(root, kMailClientsKey) && key.ReadString(nullptr, name) && !name.empty();
}

bool OpenClientKey(HKEY root, const Text& name, RegistryKey& key) {
    Text path;
    return path.assign(kMailClientsKey) && path.append("\\", 1) &&
           path.append(name.c_str(), name.size()) && key.Open(root, path.c_str());
}

}  // namespace

MailClient LookUpMailClient() {
    MailClient client;
    if (!ReadDefaultClient(HKEY_CURRENT_USER, client.name) &&
        !ReadDefaultClient(HKEY_LOCAL_MACHINE, client.name)) {
        client.name.clear();
        return client;
    }
    RegistryKey key;
    if (!OpenClientKey(HKEY_LOCAL_MACHINE, client.name, key) &&
        !OpenClientKey(HKEY_CURRENT_USER, client.name, key)) {
        return client;
    }
    if (!key.ReadString("DLLPathEx", client.extended.path)) client.extended.path.clear();
    if (!key.ReadString("DLLPath", client.simple.path)) client.simple.path.clear();
    Find(client.extended);
    Find(client.simple);
    return client;
}
