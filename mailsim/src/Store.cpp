// Message stores and the stores table.
#include <algorithm>
#include <cstring>

#include "Objects.h"
#include "MapiAllocator.h"

namespace mailsim {
namespace {

class Store final : public PropObject<IMsgStore> {
public:
    // The store's own properties stay read-only whatever the access; the
    // access decides what may be opened through it for writing.
    Store(std::shared_ptr<StoreModel> store, bool writable)
        : PropObject<IMsgStore>("IMsgStore", store->props, false),
          store_(std::move(store)),
          writableStore_(writable) {}

    std::string Describe() const override {
        return store_->definition.displayName ? *store_->definition.displayName : std::string();
    }

    STDMETHODIMP Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK sink, ULONG* connection) override
        try {
        if (HRESULT fault = Enter("Advise")) return fault;
        if (sink == nullptr || connection == nullptr) return MAPI_E_INVALID_PARAMETER;
        World& world = TheWorld();
        *connection = world.nextConnection++;
        world.adviseConnections[*connection] = 1;
        return S_OK;
    } catch (...) {
        return FailedCall();
    }
    STDMETHODIMP Unadvise(ULONG connection) override {
        if (HRESULT fault = Enter("Unadvise")) return fault;
        return TheWorld().adviseConnections.erase(connection) != 0 ? S_OK : MAPI_E_NOT_FOUND;
    }
    STDMETHODIMP CompareEntryIDs(ULONG size1, LPENTRYID id1, ULONG size2, LPENTRYID id2, ULONG,
                                 ULONG* result) override {
        if (HRESULT fault = Enter("CompareEntryIDs")) return fault;
        return CompareEntryIds(size1, id1, size2, id2, result);
    }
    STDMETHODIMP OpenEntry(ULONG size, LPENTRYID id, LPCIID, ULONG flags, ULONG* objectType,
                           LPUNKNOWN* object) override {
        if (HRESULT fault = Enter("OpenEntry")) return fault;
        return OpenStoreEntry(size, id, flags, writableStore_, objectType, object);
    }
    STDMETHODIMP SetReceiveFolder(LPTSTR, ULONG, ULONG, LPENTRYID) override {
        return Unsupported("SetReceiveFolder");
    }
    STDMETHODIMP GetReceiveFolder(LPTSTR, ULONG, ULONG* size, LPENTRYID* id,
                                  LPTSTR* explicitClass) override {
        if (HRESULT fault = Enter("GetReceiveFolder")) return fault;
        if (size == nullptr || id == nullptr) return MAPI_E_INVALID_PARAMETER;
        std::shared_ptr<FolderModel> receive;
        if (store_->definition.receiveFolder) {
            for (const auto& folder : store_->folders) {
                if (folder->name == *store_->definition.receiveFolder) receive = folder;
            }
        } else {
            receive = store_->FolderWithRole(FolderRole::Inbox);
        }
        if (!receive) return MAPI_E_NOT_FOUND;
        LPVOID bytes = nullptr;
        HRESULT result =
            mapi_allocator::Allocate(static_cast<ULONG>(receive->entryId.size()), &bytes);
        if (result != S_OK) return result;
        std::memcpy(bytes, receive->entryId.data(), receive->entryId.size());
        // The class that the folder was found for: the default class, "".
        if (explicitClass != nullptr) {
            LPVOID text = nullptr;
            result = mapi_allocator::Allocate(1, &text);
            if (result != S_OK) {
                mapi_allocator::Free(bytes);
                return result;
            }
            static_cast<char*>(text)[0] = '\0';
            *explicitClass = static_cast<LPTSTR>(text);
        }
        *size = static_cast<ULONG>(receive->entryId.size());
        *id = static_cast<LPENTRYID>(bytes);
        return S_OK;
    }
    STDMETHODIMP GetReceiveFolderTable(ULONG, LPMAPITABLE*) override {
        return Unsupported("GetReceiveFolderTable");
    }
    STDMETHODIMP StoreLogoff(ULONG*) override {
        if (HRESULT fault = Enter("StoreLogoff")) return fault;
        return S_OK;
    }
    STDMETHODIMP AbortSubmit(ULONG, LPENTRYID, ULONG) override {
        return Unsupported("AbortSubmit");
    }
    STDMETHODIMP GetOutgoingQueue(ULONG, LPMAPITABLE*) override {
        return Unsupported("GetOutgoingQueue");
    }
    STDMETHODIMP SetLockState(LPMESSAGE, ULONG) override { return Unsupported("SetLockState"); }
    STDMETHODIMP FinishedMsg(ULONG, ULONG, LPENTRYID) override {
        return Unsupported("FinishedMsg");
    }
    STDMETHODIMP NotifyNewMail(LPNOTIFICATION) override { return Unsupported("NotifyNewMail"); }

private:
    std::shared_ptr<StoreModel> store_;
    bool writableStore_;
};

// A table cell holds whatever the row has under the column's identifier,
// of whatever type, as a provider may answer; PT_ERROR when it has none.
Prop Cell(const PropBag& row, ULONG column) {
    const Prop* stored = row.Find(column);
    return stored != nullptr ? *stored : ErrorProp(column, MAPI_E_NOT_FOUND);
}

// The stores table: one row per store of the profile, in profile order.
class StoresTable final : public Tracked<IMAPITable> {
public:
    StoresTable() : Tracked<IMAPITable>("IMAPITable"), stores_(TheWorld().stores) {
        columns_ = {PR_DISPLAY_NAME, PR_ENTRYID,        PR_DEFAULT_STORE,
                    PR_OBJECT_TYPE,  PR_RESOURCE_FLAGS, PR_PROVIDER_DISPLAY};
    }

    STDMETHODIMP GetLastError(HRESULT, ULONG, LPMAPIERROR* error) override {
        if (HRESULT fault = Enter("GetLastError")) return fault;
        if (error != nullptr) *error = nullptr;
        return S_OK;
    }
    STDMETHODIMP Advise(ULONG, LPMAPIADVISESINK, ULONG*) override { return Unsupported("Advise"); }
    STDMETHODIMP Unadvise(ULONG) override {
        if (HRESULT fault = Enter("Unadvise")) return fault;
        return MAPI_E_NOT_FOUND;
    }
    STDMETHODIMP GetStatus(ULONG* status, ULONG* type) override {
        if (HRESULT fault = Enter("GetStatus")) return fault;
        if (status != nullptr) *status = 0;  // TBLSTAT_COMPLETE
        if (type != nullptr) *type = 1;      // TBLTYPE_SNAPSHOT
        return S_OK;
    }
    STDMETHODIMP SetColumns(LPSPropTagArray tags, ULONG) override try {
        if (HRESULT fault = Enter("SetColumns")) return fault;
        if (tags == nullptr || tags->cValues == 0) return MAPI_E_INVALID_PARAMETER;
        columns_.assign(tags->aulPropTag, tags->aulPropTag + tags->cValues);
        return S_OK;
    } catch (...) {
        return FailedCall();
    }
    STDMETHODIMP QueryColumns(ULONG, LPSPropTagArray*) override {
        return Unsupported("QueryColumns");
    }
    STDMETHODIMP GetRowCount(ULONG, ULONG* count) override {
        if (HRESULT fault = Enter("GetRowCount")) return fault;
        if (count == nullptr) return MAPI_E_INVALID_PARAMETER;
        *count = static_cast<ULONG>(stores_.size());
        return S_OK;
    }
    STDMETHODIMP SeekRow(BOOKMARK origin, LONG count, LONG* sought) override {
        if (HRESULT fault = Enter("SeekRow")) return fault;
        long base = origin == BOOKMARK_BEGINNING ? 0
                    : origin == BOOKMARK_END     ? static_cast<long>(stores_.size())
                                                 : static_cast<long>(cursor_);
        long target = base + count;
        if (target < 0) target = 0;
        if (target > static_cast<long>(stores_.size())) target = static_cast<long>(stores_.size());
        if (sought != nullptr) *sought = static_cast<LONG>(target - base);
        cursor_ = static_cast<size_t>(target);
        return S_OK;
    }
    STDMETHODIMP SeekRowApprox(ULONG, ULONG) override { return Unsupported("SeekRowApprox"); }
    STDMETHODIMP QueryPosition(ULONG* row, ULONG* numerator, ULONG* denominator) override {
        if (HRESULT fault = Enter("QueryPosition")) return fault;
        if (row != nullptr) *row = static_cast<ULONG>(cursor_);
        if (numerator != nullptr) *numerator = static_cast<ULONG>(cursor_);
        if (denominator != nullptr) *denominator = static_cast<ULONG>(stores_.size());
        return S_OK;
    }
    STDMETHODIMP FindRow(LPSRestriction, BOOKMARK, ULONG) override {
        return Unsupported("FindRow");
    }
    STDMETHODIMP Restrict(LPSRestriction, ULONG) override { return Unsupported("Restrict"); }
    STDMETHODIMP CreateBookmark(BOOKMARK*) override { return Unsupported("CreateBookmark"); }
    STDMETHODIMP FreeBookmark(BOOKMARK) override { return Unsupported("FreeBookmark"); }
    STDMETHODIMP SortTable(LPSSortOrderSet, ULONG) override { return Unsupported("SortTable"); }
    STDMETHODIMP QuerySortOrder(LPSSortOrderSet*) override { return Unsupported("QuerySortOrder"); }
    // The next rows from the cursor: one MAPI buffer for the row set and
    // one per row for its values, as FreeProws expects.
    STDMETHODIMP QueryRows(LONG count, ULONG, LPSRowSet* rows) override try {
        if (HRESULT fault = Enter("QueryRows")) return fault;
        if (rows == nullptr || count < 0) return MAPI_E_INVALID_PARAMETER;
        const size_t wanted =
            std::min<size_t>(static_cast<size_t>(count), stores_.size() - cursor_);
        // The rows' values before any buffer, so that running out of memory
        // leaves none behind.
        std::vector<std::vector<Prop>> cells(wanted);
        for (size_t i = 0; i < wanted; ++i) {
            for (ULONG column : columns_)
                cells[i].push_back(Cell(*stores_[cursor_ + i]->tableRow, column));
        }
        LPVOID block = nullptr;
        HRESULT result = mapi_allocator::Allocate(
            static_cast<ULONG>(CbNewSRowSet(wanted == 0 ? 1 : wanted)), &block);
        if (result != S_OK) return result;
        LPSRowSet set = static_cast<LPSRowSet>(block);
        set->cRows = 0;
        for (size_t i = 0; i < wanted; ++i) {
            const std::vector<Prop>& values = cells[i];
            LPSPropValue array = nullptr;
            result = AllocPropArray(values, &array);
            if (result != S_OK) {
                for (ULONG r = 0; r < set->cRows; ++r) mapi_allocator::Free(set->aRow[r].lpProps);
                mapi_allocator::Free(set);
                return result;
            }
            set->aRow[i].ulAdrEntryPad = 0;
            set->aRow[i].cValues = static_cast<ULONG>(values.size());
            set->aRow[i].lpProps = array;
            set->cRows = static_cast<ULONG>(i + 1);
        }
        cursor_ += wanted;
        *rows = set;
        return S_OK;
    } catch (...) {
        return FailedCall();
    }
    STDMETHODIMP Abort() override {
        if (HRESULT fault = Enter("Abort")) return fault;
        return S_OK;
    }
    STDMETHODIMP ExpandRow(ULONG, LPBYTE, ULONG, ULONG, LPSRowSet*, ULONG*) override {
        return Unsupported("ExpandRow");
    }
    STDMETHODIMP CollapseRow(ULONG, LPBYTE, ULONG, ULONG*) override {
        return Unsupported("CollapseRow");
    }
    STDMETHODIMP WaitForCompletion(ULONG, ULONG, ULONG*) override {
        if (HRESULT fault = Enter("WaitForCompletion")) return fault;
        return S_OK;
    }
    STDMETHODIMP GetCollapseState(ULONG, ULONG, LPBYTE, ULONG*, LPBYTE*) override {
        return Unsupported("GetCollapseState");
    }
    STDMETHODIMP SetCollapseState(ULONG, ULONG, LPBYTE, BOOKMARK*) override {
        return Unsupported("SetCollapseState");
    }

private:
    std::vector<std::shared_ptr<StoreModel>> stores_;
    std::vector<ULONG> columns_;
    size_t cursor_ = 0;
};

}  // namespace

LPMDB NewStore(const std::shared_ptr<StoreModel>& store, bool writable) {
    return Make<Store>(store, writable);
}

LPMAPITABLE NewStoresTable() {
    return Make<StoresTable>();
}

HRESULT CompareEntryIds(ULONG size1, LPENTRYID id1, ULONG size2, LPENTRYID id2, ULONG* result) {
    if (result == nullptr) return MAPI_E_INVALID_PARAMETER;
    *result = size1 == size2 && (size1 == 0 || std::memcmp(id1, id2, size1) == 0);
    return S_OK;
}

}  // namespace mailsim
