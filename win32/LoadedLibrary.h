// A library loaded by name, freed when the scope ends, with its exports
// looked up as typed function pointers.
#pragma once

#include <windows.h>

class LoadedLibrary {
public:
    explicit LoadedLibrary(const char* name) : module_(LoadLibraryA(name)) {}
    ~LoadedLibrary() {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    bool IsLoaded() const { return module_ != nullptr; }

    // The export called name as a Function, or null when the library is not
    // loaded or has no such export.
    template <typename Function>
    Function Find(const char* name) const {
        if (module_ == nullptr) return nullptr;
        const FARPROC entry = GetProcAddress(module_, name);
        // Through void (*)(), the generic function pointer type.
        return entry != nullptr ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(entry))
                                : nullptr;
    }

private:
    HMODULE module_;
};
