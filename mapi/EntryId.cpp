#include "mapi/EntryId.h"

#include <cstring>
#include <new>

void EntryId::Assign(const SBinary* source) {
    if (cb != 0) delete[] lpb;
    lpb = nullptr;
    cb = 0;
    if (!source || source->cb == 0) return;
    // Without memory for the copy the item simply has no identifier.
    LPBYTE copy = new (std::nothrow) BYTE[source->cb];
    if (!copy) return;
    std::memcpy(copy, source->lpb, source->cb);
    lpb = copy;
    cb = source->cb;
}
