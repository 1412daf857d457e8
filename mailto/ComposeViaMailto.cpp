#include "mailto/ComposeViaMailto.h"

#include <windows.h>
#include <shellapi.h>

#include "text/MailtoUrl.h"

namespace {

using ShellExecuteAFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

// A library loaded by name, freed when the scope ends.
class LoadedLibrary {
public:
    explicit LoadedLibrary(const char* name) : module(LoadLibraryA(name)) {}
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    ~LoadedLibrary() {
        if (module != nullptr) FreeLibrary(module);
    }
    HMODULE get() const { return module; }

private:
    HMODULE module;
};

}  // namespace

int ComposeViaMailto(const ComposeRequest& request) {
    if (request.attachment != nullptr) return -1;
    Text url;
    if (!BuildMailtoUrl(request, url) || url.size() > kMailtoUrlLimit) return -1;

    LoadedLibrary shell("shell32.dll");
    if (shell.get() == nullptr) return -1;
    FARPROC entry = GetProcAddress(shell.get(), "ShellExecuteA");
    if (entry == nullptr) return -1;
    // Through void (*)(), the generic function pointer type.
    const auto shellExecute =
        reinterpret_cast<ShellExecuteAFunction>(reinterpret_cast<void (*)()>(entry));
    const HINSTANCE started =
        shellExecute(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // Above 32 means the handler was started; lower values are error codes.
    return reinterpret_cast<INT_PTR>(started) > 32 ? 0 : -1;
}
