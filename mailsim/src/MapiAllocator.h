// The MAPI buffer allocator with its accounting: the blocks behind
// MAPIAllocateBuffer, MAPIAllocateMore and MAPIFreeBuffer. It belongs to
// the client, as the provider: the provider DLL exports it to MAPI32, and
// the Linux stand-in's MAPI runtime forwards to it through the provider
// table. The client's own allocations use it directly.
#pragma once

#include <windows.h>

#include <cstddef>

namespace mapi_allocator {

// A root block, counted as outstanding until MAPIFreeBuffer frees it.
SCODE Allocate(ULONG size, LPVOID* buffer);
// A block chained to the root block that `object` belongs to (object may be
// the root or another block chained to it); freed together with the root.
SCODE AllocateMore(ULONG size, LPVOID object, LPVOID* buffer);
// Frees a root block and every block chained to it. A null pointer is
// accepted. A pointer that is not a live root block (freed already, chained
// to a root, or never allocated here) is counted as a misuse and left alone.
ULONG Free(LPVOID buffer);

struct Counts {
    size_t outstanding = 0;   // live root blocks
    size_t allocations = 0;   // root blocks allocated so far
    size_t moreBlocks = 0;    // chained blocks allocated so far
    size_t frees = 0;         // root blocks freed so far
    size_t invalidFrees = 0;  // frees of pointers that were not live root blocks
    size_t invalidMore = 0;   // AllocateMore calls whose object was not a live block
};
Counts GetCounts();

// Whether `buffer` is the start of a live root block.
bool IsLiveRoot(LPCVOID buffer);

}  // namespace mapi_allocator
