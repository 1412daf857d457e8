#include "mapi/MapiSession.h"

#include <cstring>
#include <memory>
#include <new>

#include "mapi/MapiFolder.h"
#include "mapi/MapiGuards.h"
#include "mapi/PropValues.h"
#include "mapi/ReadableString.h"

namespace {

// Columns of the stores table, in this order.
enum StoreColumn { kDisplayName, kEntryId, kDefaultStore, kStoreColumns };

// Whether a stores-table row is the one asked for: by a substring of its
// display name, or (no name) by its default-store flag.
bool StoreRowMatches(const SRow& row, const char* storeName) {
    if (storeName) {
        LPCSTR displayName = ReadablePropString(&row.lpProps[kDisplayName]);
        return std::strstr(displayName ? displayName : "", storeName) != nullptr;
    }
    // Only a real boolean counts: an error value carries its code in the
    // same bytes, and the code's low half is non-zero.
    const SPropValue& isDefault = row.lpProps[kDefaultStore];
    return PROP_TYPE(isDefault.ulPropTag) == PT_BOOLEAN && isDefault.Value.b != 0;
}

// What the report says when the Inbox names no folder of that kind.
const char* NoFolderNamed(ULONG propTag) {
    return propTag == PR_IPM_DRAFTS_ENTRYID ? "the store names no Drafts folder"
                                            : "the store names no such folder";
}

}  // namespace

MapiSession::~MapiSession() {
    Close();
}

bool MapiSession::Initialize(bool multithreadNotifications, bool ntService) {
    ULONG flags = 0;
    if (multithreadNotifications) flags |= MAPI_MULTITHREAD_NOTIFICATIONS;
    if (ntService) flags |= MAPI_NT_SERVICE;
    MAPIINIT_0 init = {MAPI_INIT_VERSION, flags};
    const HRESULT hr = MAPIInitialize(flags ? &init : nullptr);
    if (hr != S_OK) NoteFailure("MAPIInitialize", hr);
    return hr == S_OK;
}

void MapiSession::Uninitialize() {
    MAPIUninitialize();
}

bool MapiSession::Logon(const char* profileName, bool ntService) {
    ULONG flags = MAPI_NEW_SESSION | MAPI_EXTENDED | MAPI_USE_DEFAULT;
    if (ntService) flags |= MAPI_EXPLICIT_PROFILE | MAPI_NT_SERVICE;
    InterfaceHolder<IMAPISession> logon;
    const HRESULT hr = MAPILogonEx(0, const_cast<LPSTR>(profileName), nullptr, flags, logon.Out());
    if (hr != S_OK || !logon) {
        NoteFailure("MAPILogonEx", hr);
        return false;
    }
    // A logon is expected to start from no session; one held all the same
    // is released rather than overwritten.
    if (session) session->Release();
    session = logon.Detach();
    return true;
}

bool MapiSession::OpenStore(const char* storeName, ULONG flags) {
    if (!session) return false;
    openEntryFlags = flags;

    InterfaceHolder<IMAPITable> table;
    HRESULT hr = session->GetMsgStoresTable(0, table.Out());
    if (hr != S_OK || !table) {
        NoteFailure("IMAPISession::GetMsgStoresTable", hr);
        return false;
    }
    SizedSPropTagArray(kStoreColumns, columns) = {kStoreColumns,
                                                  {PR_DISPLAY_NAME, PR_ENTRYID, PR_DEFAULT_STORE}};
    hr = table->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), 0);
    if (hr != S_OK) {
        NoteFailure("IMAPITable::SetColumns", hr);
        return false;
    }

    for (;;) {
        RowSetHolder rows;
        hr = table->QueryRows(1, 0, rows.Out());
        if (hr != S_OK) {
            NoteFailure("IMAPITable::QueryRows", hr);
            return false;
        }
        if (!rows.Get() || rows->cRows != 1) {
            NoteRefusal(failure_,
                        storeName ? "no message store of that name" : "no default message store");
            return false;
        }
        const SRow& row = rows->aRow[0];
        if (!row.lpProps || row.cValues < kStoreColumns) continue;
        if (!StoreRowMatches(row, storeName)) continue;
        // A row whose identifier did not come back as binary cannot be
        // opened; it is passed over like a row that does not match.
        const SBinary* id = BinaryValue(&row.lpProps[kEntryId]);
        if (!id) continue;

        ReleaseField(store);
        InterfaceHolder<IMsgStore> opened;
        hr = session->OpenMsgStore(0, id->cb, reinterpret_cast<LPENTRYID>(id->lpb), nullptr,
                                   MDB_NO_DIALOG | MAPI_BEST_ACCESS, opened.Out());
        if (hr != S_OK || !opened) {
            NoteFailure("IMAPISession::OpenMsgStore", hr);
            return false;
        }
        store = opened.Detach();
        return true;
    }
}

MapiFolder* MapiSession::AdoptFolder(LPMAPIFOLDER folder, bool makeCurrent) {
    MapiFolder* created = new (std::nothrow) MapiFolder(this, folder, nullptr);
    if (!created) folder->Release();
    if (makeCurrent) {
        delete currentFolder;
        currentFolder = created;
    }
    return created;
}

MapiFolder* MapiSession::OpenInbox(bool makeCurrent) {
    if (!store) return nullptr;
    ULONG cbId = 0;
    MapiBuffer<ENTRYID> id;
    HRESULT hr = store->GetReceiveFolder(nullptr, 0, &cbId, id.Out(), nullptr);
    if (hr != S_OK) {
        NoteFailure("IMsgStore::GetReceiveFolder", hr);
        return nullptr;
    }

    ULONG objectType = 0;
    InterfaceHolder<IUnknown> folder;
    hr = store->OpenEntry(cbId, id.Get(), nullptr, openEntryFlags, &objectType, folder.Out());
    id.Reset();
    if (hr != S_OK || !folder) {
        NoteFailure("IMsgStore::OpenEntry", hr);
        return nullptr;
    }
    return AdoptFolder(static_cast<LPMAPIFOLDER>(folder.Detach()), makeCurrent);
}

MapiFolder* MapiSession::OpenFolderByStoreProperty(ULONG propTag, bool makeCurrent) {
    if (!store) return nullptr;
    MapiBuffer<SPropValue> value;
    if (GetSingleProp(store, propTag, value) != S_OK) return nullptr;
    const SBinary* id = BinaryValue(value.Get());
    if (!id) return nullptr;

    ULONG objectType = 0;
    InterfaceHolder<IUnknown> folder;
    HRESULT hr = store->OpenEntry(id->cb, reinterpret_cast<LPENTRYID>(id->lpb), nullptr,
                                  openEntryFlags, &objectType, folder.Out());
    value.Reset();
    if (hr != S_OK || !folder) return nullptr;
    return AdoptFolder(static_cast<LPMAPIFOLDER>(folder.Detach()), makeCurrent);
}

MapiFolder* MapiSession::OpenFolderByInboxProperty(ULONG propTag, bool makeCurrent) {
    // The Inbox is only a stepping stone: it is destroyed before this
    // returns and never becomes the current folder.
    std::unique_ptr<MapiFolder> inbox(OpenInbox(false));
    if (!inbox) return nullptr;

    InterfaceHolder<IUnknown> folder;
    MapiBuffer<SPropValue> value;
    HRESULT hr = GetSingleProp(inbox->Folder(), propTag, value);
    const SBinary* id = hr == S_OK ? BinaryValue(value.Get()) : nullptr;
    if (FAILED(hr)) {
        NoteFailure("IMAPIFolder::GetProps", hr);
    } else if (!id) {
        // A warning (the property is missing) or a value that is no
        // identifier: no call failed, there is just nothing to open.
        NoteRefusal(failure_, NoFolderNamed(propTag));
    } else {
        ULONG objectType = 0;
        hr = store->OpenEntry(id->cb, reinterpret_cast<LPENTRYID>(id->lpb), nullptr, openEntryFlags,
                              &objectType, folder.Out());
        if (hr != S_OK || !folder) NoteFailure("IMsgStore::OpenEntry", hr);
    }
    value.Reset();
    inbox.reset();
    if (hr != S_OK || !folder) return nullptr;
    return AdoptFolder(static_cast<LPMAPIFOLDER>(folder.Detach()), makeCurrent);
}

MapiFolder* MapiSession::OpenDrafts(bool makeCurrent) {
    return OpenFolderByInboxProperty(PR_IPM_DRAFTS_ENTRYID, makeCurrent);
}

MapiFolder* MapiSession::OpenOutbox(bool makeCurrent) {
    return OpenFolderByStoreProperty(PR_IPM_OUTBOX_ENTRYID, makeCurrent);
}

bool MapiSession::LookupSmtpAddress(ULONG cbEntryId, LPENTRYID entryId, Text& address) {
    if (!session) return false;
    InterfaceHolder<IAddrBook> book;
    if (session->OpenAddressBook(0, nullptr, AB_NO_DIALOG, book.Out()) != S_OK || !book)
        return false;
    ULONG objectType = 0;
    InterfaceHolder<IUnknown> entry;
    if (book->OpenEntry(cbEntryId, entryId, nullptr, MAPI_BEST_ACCESS, &objectType, entry.Out()) !=
            S_OK ||
        !entry)
        return false;
    if (objectType != MAPI_MAILUSER) return false;

    LPMAILUSER user = static_cast<LPMAILUSER>(entry.Get());
    MapiBuffer<SPropValue> value;
    if (GetSingleProp(user, PR_SMTP_ADDRESS, value) != S_OK &&
        GetSingleProp(user, PR_EMAIL_ADDRESS, value) != S_OK)
        return false;
    LPCSTR text = ReadablePropString(value.Get());
    address = text ? text : "";
    return true;
}

void MapiSession::Close() {
    if (adviseConnection != 0) {
        if (store) store->Unadvise(adviseConnection);
        adviseConnection = 0;
    }
    delete currentFolder;
    currentFolder = nullptr;
    ReleaseField(store);
    ReleaseField(session);
}

void FreeAddressList(LPADRLIST list) {
    if (list) FreePadrlist(list);
}
