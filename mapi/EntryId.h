// An owned copy of a MAPI entry identifier: a byte count and the bytes, in
// the shape of an SBinary so the pair can be handed straight back to MAPI.
// The bytes come from the ordinary heap, never from MAPIAllocateBuffer.
#pragma once

#include "mapi/MapiPlatform.h"

class EntryId {
public:
    EntryId() = default;
    ~EntryId() { Assign(nullptr); }
    EntryId(const EntryId&) = delete;
    EntryId& operator=(const EntryId&) = delete;

    // Frees the current copy, then copies source (null or a count of 0
    // leave the identifier empty).
    void Assign(const SBinary* source);

    bool Empty() const { return cb == 0; }
    LPENTRYID Bytes() const { return reinterpret_cast<LPENTRYID>(lpb); }

    ULONG cb = 0;          // 0 means no identifier
    LPBYTE lpb = nullptr;  // exactly cb bytes; null when cb is 0
};
