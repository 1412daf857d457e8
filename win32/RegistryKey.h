// A registry key opened for reading, closed when the scope ends.
#pragma once

#include <windows.h>

#include "text/Text.h"

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens path (ASCII) under root (or under a key already open) to query
    // values, through the W calls.
    bool Open(HKEY root, const char* path);
    void Close();
    HKEY Get() const { return key_; }

    // The string value name (null: the default value) in UTF-8: a REG_SZ as
    // stored, a REG_EXPAND_SZ with its environment variables expanded. false
    // for a missing value, one of another type, or no memory.
    bool ReadString(const char* name, Text& text) const;
    // The REG_DWORD value name; false for a missing value or another type.
    bool ReadNumber(const char* name, DWORD& number) const;

private:
    HKEY key_ = nullptr;
};
