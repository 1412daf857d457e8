// LoadLibraryA / GetProcAddress / FreeLibrary over a fixed table of
// in-process modules with reference counts. "MAPI32.DLL" is the MAPI
// runtime; whether it can be loaded, and whether it exports
// "MAPISendMail", is the installed MAPI provider's say. "SHELL32.DLL"
// exports "ShellExecuteExW", "OLE32.DLL" "CoInitializeEx" and
// "CoUninitialize".
#include <windows.h>
#include <mapi.h>
#include <objbase.h>
#include <shellapi.h>

#include <cctype>
#include <cstring>
#include <string>

#include "platform_mapi_provider.h"

namespace {

struct Module {
    const char* name;  // upper case, with extension
    bool (*present)();
    FARPROC (*find)(const char* procName);
    unsigned references;
};

bool MapiPresent() {
    const PlatformMapiProvider* provider = PlatformGetMapiProvider();
    return provider != nullptr && provider->libraryPresent != nullptr && provider->libraryPresent();
}

FARPROC MapiExport(const char* procName) {
    const PlatformMapiProvider* provider = PlatformGetMapiProvider();
    if (provider == nullptr || provider->sendMailExported == nullptr ||
        !provider->sendMailExported()) {
        return nullptr;
    }
    if (std::strcmp(procName, "MAPISendMail") != 0) return nullptr;
    // Through void (*)(), the generic function pointer, as GetProcAddress's
    // callers cast back.
    LPMAPISENDMAIL entry = &MAPISendMail;
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(entry));
}

bool AlwaysPresent() {
    return true;
}
FARPROC NoExports(const char*) {
    return nullptr;
}

template <typename Function>
FARPROC Export(Function entry) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(entry));
}

FARPROC ShellExport(const char* procName) {
    return std::strcmp(procName, "ShellExecuteExW") == 0 ? Export(&ShellExecuteExW) : nullptr;
}

FARPROC OleExport(const char* procName) {
    if (std::strcmp(procName, "CoInitializeEx") == 0) return Export(&CoInitializeEx);
    if (std::strcmp(procName, "CoUninitialize") == 0) return Export(&CoUninitialize);
    return nullptr;
}

// The system libraries are always there; only the shell and COM export
// functions we look up.
Module modules[] = {
    {"MAPI32.DLL", MapiPresent, MapiExport, 0},  {"KERNEL32.DLL", AlwaysPresent, NoExports, 0},
    {"USER32.DLL", AlwaysPresent, NoExports, 0}, {"SHELL32.DLL", AlwaysPresent, ShellExport, 0},
    {"OLE32.DLL", AlwaysPresent, OleExport, 0},
};

// Windows compares module names case-insensitively and adds ".DLL" to a
// name without an extension.
std::string NormalisedName(const char* name) {
    std::string normalised;
    for (const char* p = name; *p != '\0'; ++p) {
        normalised += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    }
    const size_t lastDot = normalised.rfind('.');
    const size_t lastSeparator = normalised.find_last_of("\\/");
    if (lastDot == std::string::npos ||
        (lastSeparator != std::string::npos && lastDot < lastSeparator)) {
        normalised += ".DLL";
    }
    return normalised;
}

Module* FromHandle(HMODULE handle) {
    for (Module& module : modules) {
        if (reinterpret_cast<HMODULE>(&module) == handle) return &module;
    }
    return nullptr;
}

}  // namespace

HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) {
    if (lpLibFileName == nullptr) return nullptr;
    const std::string name = NormalisedName(lpLibFileName);
    for (Module& module : modules) {
        if (name != module.name) continue;
        // A module already loaded stays loaded whatever the provider says.
        if (module.references == 0 && !module.present()) return nullptr;
        ++module.references;
        return reinterpret_cast<HMODULE>(&module);
    }
    return nullptr;
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    Module* module = FromHandle(hModule);
    if (module == nullptr || module->references == 0 || lpProcName == nullptr) return nullptr;
    // Lookups by ordinal (a value below 0x10000) find nothing here.
    if (reinterpret_cast<uintptr_t>(lpProcName) < 0x10000) return nullptr;
    return module->find(lpProcName);
}

WINBOOL WINAPI FreeLibrary(HMODULE hLibModule) {
    Module* module = FromHandle(hLibModule);
    if (module == nullptr || module->references == 0) return FALSE;
    --module->references;
    return TRUE;
}
