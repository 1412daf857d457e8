#include "mapi/MapiFolder.h"

#include "mapi/MapiGuards.h"
#include "mapi/PropValues.h"

MapiFolder::MapiFolder(MapiSession* session, LPMAPIFOLDER folder, LPCSTR folderName)
    : rowBatchSize(512) {
    ReleaseRows();
    Attach(session, folder, folderName);
}

MapiFolder::~MapiFolder() {
    MapiFolder::Close();
}

void MapiFolder::Attach(MapiSession* newSession, LPMAPIFOLDER folder, LPCSTR folderName) {
    Close();
    session = newSession;
    object = folder;
    name = folderName ? folderName : "";

    LPSPropValue value = nullptr;
    if (GetProp(PR_ENTRYID, &value) == S_OK) {
        MapiBuffer<SPropValue> held(value);
        SetEntryId(BinaryValue(value));
    } else {
        SetEntryId(nullptr);
    }
}

void MapiFolder::Close() {
    ReleaseRows();
    ReleaseField(firstTable);
    ReleaseField(secondTable);
    MapiItem::Close();
}

void MapiFolder::ReleaseRows() {
    if (rowSet) {
        FreeProws(rowSet);
        rowSet = nullptr;
    }
    rowCounter = 0;
}
