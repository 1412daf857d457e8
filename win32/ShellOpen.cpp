#include "win32/ShellOpen.h"

#include <shellapi.h>

#include "win32/LoadedLibrary.h"

namespace {

using ShellExecuteAFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

}  // namespace

INT_PTR ShellOpen(const char* target) {
    LoadedLibrary shell("shell32.dll");
    const auto shellExecute = shell.Find<ShellExecuteAFunction>("ShellExecuteA");
    if (shellExecute == nullptr) return 0;
    const HINSTANCE started =
        shellExecute(nullptr, "open", target, nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(started);
}
