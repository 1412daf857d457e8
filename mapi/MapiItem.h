// The common base of the MAPI objects Quillora handles (folders and
// messages): the session the item was reached through, one reference to the
// item's MAPI object and an owned copy of its entry identifier.
#pragma once

#include "text/Text.h"

#include "mapi/EntryId.h"
#include "mapi/MapiPlatform.h"

class MapiSession;

class MapiItem {
public:
    MapiItem(const MapiItem&) = delete;
    MapiItem& operator=(const MapiItem&) = delete;

    // Closes whatever the item held, then opens entryId through the
    // session's IMAPISession. 1 opened, 0 failed (the session pointer stays
    // stored either way).
    virtual int Open(MapiSession* session, SBinary entryId);
    // Frees the identifier copy, releases the object, forgets the session.
    virtual void Close();
    // SaveChanges on the object; closes the item afterwards when closeAfter.
    virtual int Save(int closeAfter);
    // Reads an 8-bit string property, through a stream when useStream. out
    // is emptied first and stays empty on failure. 1 read, 0 failed.
    virtual int GetStringProp(ULONG propTag, Text& out, int useStream);
    // Writes an 8-bit string property; the stream road writes the text with
    // its terminating zero byte. 1 written, 0 failed.
    virtual int SetStringProp(ULONG propTag, LPCSTR value, int useStream);

    // Replaces the identifier copy with a copy of source (null: empty).
    void SetEntryId(const SBinary* source);
    // One GetProps call for one tag. On 0 the caller owns *out and frees it
    // with MAPIFreeBuffer; any other result (warnings included) leaves
    // nothing to free. E_INVALIDARG without an object.
    HRESULT GetProp(ULONG propTag, LPSPropValue* out);
    // A 32-bit property, or defaultValue when it cannot be read.
    ULONG GetLongProp(ULONG propTag, ULONG defaultValue);
    ULONG GetMessageFlags();

    MapiSession* session = nullptr;  // not owned; null while closed
    LPMAPIPROP object = nullptr;     // one owned reference; null while closed
    EntryId entryId;                 // empty while closed

protected:
    MapiItem();
    // Owners destroy items through their own class; a derived destructor
    // closes the item first.
    ~MapiItem() = default;
};
