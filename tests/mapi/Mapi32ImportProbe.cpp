// A program that references each Extended MAPI function Quillora imports,
// so that its import table can be checked: MAPI32.dll by ordinal only.
// It is inspected, never run for real; with no arguments it does nothing.
#include "mapi/ComposeViaDrafts.h"
#include "mapi/MapiPlatform.h"

int main(int argc, char** argv) {
    (void)argv;
    if (argc < 100) return 0;
    LPMAPISESSION session = nullptr;
    LPVOID buffer = nullptr;
    MAPIInitialize(nullptr);
    MAPILogonEx(0, nullptr, nullptr, 0, &session);
    MAPIAllocateBuffer(16, &buffer);
    MAPIFreeBuffer(buffer);
    FreePadrlist(nullptr);
    FreeProws(nullptr);
    MAPIUninitialize();
    MapiSession wrapped;
    return ComposeViaDrafts(&wrapped, ComposeRequest{});
}
