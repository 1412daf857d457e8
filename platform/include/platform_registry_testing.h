// Test-only control of the stand-in registry. Keys named here are paths under
// HKEY_CLASSES_ROOT such as "mailto\\shell\\open\\command" (any case), or
// under the root given. What a test installs answers before the stand-in's
// own keys (the desktop's associations, the simulated mail client), until
// it is cleared; tests that install anything clear it when they end.
#pragma once

#include <windows.h>

// The key exists and its default value has this type and exactly these bytes
// (a string is stored with its terminator only if `data` includes one).
void PlatformRegistryInstallValue(const char* keyPath, DWORD type, const void* data, DWORD size);

// The key exists with a REG_SZ or REG_EXPAND_SZ default value holding `text`
// and its terminator, the way Windows stores a string.
void PlatformRegistryInstallString(const char* keyPath, DWORD type, const char* text);

// The key exists but has no default value.
void PlatformRegistryInstallKeyWithoutValue(const char* keyPath);

// The key does not exist, whatever the desktop has registered.
void PlatformRegistryInstallMissingKey(const char* keyPath);
void PlatformRegistryInstallMissingKey(HKEY root, const char* keyPath);

// The key under root exists and its value valueName ("" or null: the
// default value) is the string text; its other values stay as they were.
void PlatformRegistryInstallNamedString(HKEY root, const char* keyPath, const char* valueName,
                                        DWORD type, const char* text);

// Removes everything installed; the desktop's associations answer again.
void PlatformRegistryClearInstalled();

// How many keys are open right now, so a test can see that every key opened
// was closed again.
size_t PlatformRegistryOpenKeyCount();
