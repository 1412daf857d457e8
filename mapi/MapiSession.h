// One Extended MAPI logon: the session, the one message store opened from
// it, the flags folders of that store are opened with, and the folder the
// session owns as its current folder. Also starts and stops the MAPI
// library, opens the Inbox, Drafts and Outbox, and looks up SMTP addresses.
#pragma once

#include "text/RoadFailure.h"
#include "text/Text.h"

#include "mapi/MapiPlatform.h"

class MapiFolder;

class MapiSession {
public:
    // failure, when given, is where the first call that fails this
    // session's road is noted; the session never owns it.
    explicit MapiSession(RoadFailure* failure = nullptr) : failure_(failure) {}
    ~MapiSession();
    MapiSession(const MapiSession&) = delete;
    MapiSession& operator=(const MapiSession&) = delete;

    // Starts the MAPI library (for the whole process, before Logon); a
    // member so that a failed MAPIInitialize is noted like any other call.
    bool Initialize(bool multithreadNotifications, bool ntService);
    static void Uninitialize();

    // Logs on (profileName may be null for the default profile).
    bool Logon(const char* profileName, bool ntService);
    // Opens the first store whose display name contains storeName
    // (case-sensitive), or the default store when storeName is null.
    bool OpenStore(const char* storeName, ULONG openEntryFlags);

    // Folder openers. With makeCurrent the session owns the returned folder
    // (until the next make-current open or Close); without it the caller
    // owns it and deletes it.
    MapiFolder* OpenInbox(bool makeCurrent);
    MapiFolder* OpenDrafts(bool makeCurrent);
    MapiFolder* OpenOutbox(bool makeCurrent);
    MapiFolder* OpenFolderByStoreProperty(ULONG propTag, bool makeCurrent);
    MapiFolder* OpenFolderByInboxProperty(ULONG propTag, bool makeCurrent);

    // The SMTP address (else the e-mail address) of an address-book entry.
    // false leaves address unchanged.
    bool LookupSmtpAddress(ULONG cbEntryId, LPENTRYID entryId, Text& address);

    // Releases the current folder, the store and the session, in that
    // order. Safe in every state.
    void Close();

    // Notes a MAPI call that failed where the road's failure is reported.
    void NoteFailure(const char* call, HRESULT result) {
        NoteCall(failure_, call, RoadFailure::Code::HResult, static_cast<uint32_t>(result));
    }

    LPMAPISESSION session = nullptr;
    LPMDB store = nullptr;
    ULONG openEntryFlags = 0;
    MapiFolder* currentFolder = nullptr;
    ULONG adviseConnection = 0;

private:
    // Wraps a folder interface (taking over its reference) in a folder
    // object, made current when asked.
    MapiFolder* AdoptFolder(LPMAPIFOLDER folder, bool makeCurrent);

    // Where failures are noted; null: nowhere.
    RoadFailure* const failure_;
};

// Frees an address list and the property arrays of all its entries.
void FreeAddressList(LPADRLIST list);
