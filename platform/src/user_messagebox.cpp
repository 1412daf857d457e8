// MessageBoxA without a display: the box goes to standard error as
// "CAPTION: TEXT" and to the MAPI provider, which records it; the user
// "presses" OK at once.
#include <windows.h>

#include <cstdio>

#include "platform_mapi_provider.h"

int WINAPI MessageBoxA(HWND /*hWnd*/, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    // Windows captions a box without a caption "Error".
    const char* caption = lpCaption != nullptr ? lpCaption : "Error";
    const char* text = lpText != nullptr ? lpText : "";
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
    const PlatformMapiProvider* provider = PlatformGetMapiProvider();
    if (provider != nullptr && provider->messageBox != nullptr) {
        provider->messageBox(caption, text, uType);
    }
    return IDOK;
}
