// A MAPI folder opened by the session (Drafts, Inbox, Outbox). It takes over
// the reference to the IMAPIFolder it is given and keeps state for reading
// table rows, which it releases when it closes.
#pragma once

#include "text/Text.h"

#include "mapi/MapiItem.h"

class MapiFolder final : public MapiItem {
public:
    // Takes over the caller's reference to folder (no AddRef); a null name
    // gives the empty name.
    MapiFolder(MapiSession* session, LPMAPIFOLDER folder, LPCSTR name);
    ~MapiFolder();

    // Closes whatever the folder held, then holds folder (taking over the
    // reference) and reads its entry identifier.
    void Attach(MapiSession* session, LPMAPIFOLDER folder, LPCSTR name);
    // Releases the row state and both tables, then closes the item.
    void Close() override;
    // Frees the row set, if any, and resets the row counter.
    void ReleaseRows();

    LPMAPIFOLDER Folder() const { return static_cast<LPMAPIFOLDER>(object); }

    LPMAPITABLE firstTable = nullptr;   // owned; null when none
    LPMAPITABLE secondTable = nullptr;  // owned; null when none
    ULONG rowBatchSize = 0;
    ULONG rowCounter = 0;
    LPSRowSet rowSet = nullptr;  // owned, freed with FreeProws
    Text name;
};
