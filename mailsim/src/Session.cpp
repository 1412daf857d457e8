// The MAPI session: stores table, stores, address book, entries, forms.
#include <cstring>

#include "Objects.h"
#include "Transcript.h"

namespace mailsim {
namespace {

constexpr ULONG kOpenMsgStoreFlags = MDB_NO_DIALOG | MDB_WRITE | MAPI_DEFERRED_ERRORS |
                                     MAPI_BEST_ACCESS | MDB_TEMPORARY | MDB_NO_MAIL | MDB_ONLINE;

class Session final : public Tracked<IMAPISession> {
public:
    Session() : Tracked<IMAPISession>("IMAPISession") {}

    STDMETHODIMP GetLastError(HRESULT, ULONG, LPMAPIERROR* error) override {
        if (HRESULT fault = Enter("GetLastError")) return fault;
        if (error != nullptr) *error = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetMsgStoresTable(ULONG, LPMAPITABLE* table) override try {
        if (HRESULT fault = Enter("GetMsgStoresTable")) return fault;
        if (table == nullptr) return MAPI_E_INVALID_PARAMETER;
        *table = NewStoresTable();
        return S_OK;
    } catch (...) {
        return FailedCall();
    }
    // Read-only unless asked for writing (MDB_WRITE) or for the best access
    // the user has (MAPI_BEST_ACCESS), which is full access here.
    STDMETHODIMP OpenMsgStore(ULONG_PTR, ULONG size, LPENTRYID id, LPCIID, ULONG flags,
                              LPMDB* store) override try {
        if (HRESULT fault = Enter("OpenMsgStore")) return fault;
        if (store == nullptr) return MAPI_E_INVALID_PARAMETER;
        if (flags & ~kOpenMsgStoreFlags) return MAPI_E_UNKNOWN_FLAGS;
        if (id == nullptr || size == 0) return MAPI_E_INVALID_ENTRYID;
        const std::string bytes(reinterpret_cast<const char*>(id), size);
        for (const auto& model : TheWorld().stores) {
            if (model->entryId == bytes) {
                *store = NewStore(model, (flags & (MDB_WRITE | MAPI_BEST_ACCESS)) != 0);
                return S_OK;
            }
        }
        return MAPI_E_NOT_FOUND;
    } catch (...) {
        return FailedCall();
    }
    STDMETHODIMP OpenAddressBook(ULONG_PTR, LPCIID, ULONG, LPADRBOOK* book) override try {
        if (HRESULT fault = Enter("OpenAddressBook")) return fault;
        if (book == nullptr) return MAPI_E_INVALID_PARAMETER;
        *book = NewAddrBook();
        return S_OK;
    } catch (...) {
        return FailedCall();
    }
    STDMETHODIMP OpenProfileSection(LPMAPIUID, LPCIID, ULONG, LPPROFSECT*) override {
        return Unsupported("OpenProfileSection");
    }
    STDMETHODIMP GetStatusTable(ULONG, LPMAPITABLE*) override {
        return Unsupported("GetStatusTable");
    }
    // Stores, folders and messages, or address-book entries.
    STDMETHODIMP OpenEntry(ULONG size, LPENTRYID id, LPCIID, ULONG flags, ULONG* objectType,
                           LPUNKNOWN* object) override {
        if (HRESULT fault = Enter("OpenEntry")) return fault;
        // The session reaches a store's entries with the user's full access.
        const HRESULT result = OpenStoreEntry(size, id, flags, true, objectType, object);
        if (result == S_OK || result == MAPI_E_UNKNOWN_FLAGS) return result;
        const HRESULT address = OpenAddressEntry(size, id, objectType, object);
        return address == S_OK ? S_OK : result;
    }
    STDMETHODIMP CompareEntryIDs(ULONG size1, LPENTRYID id1, ULONG size2, LPENTRYID id2, ULONG,
                                 ULONG* result) override {
        if (HRESULT fault = Enter("CompareEntryIDs")) return fault;
        return CompareEntryIds(size1, id1, size2, id2, result);
    }
    STDMETHODIMP Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*) override {
        return Unsupported("Advise");
    }
    STDMETHODIMP Unadvise(ULONG) override {
        if (HRESULT fault = Enter("Unadvise")) return fault;
        return MAPI_E_NOT_FOUND;
    }
    STDMETHODIMP MessageOptions(ULONG_PTR, ULONG, LPTSTR, LPMESSAGE) override {
        return Unsupported("MessageOptions");
    }
    STDMETHODIMP QueryDefaultMessageOpt(LPTSTR, ULONG, ULONG*, LPSPropValue*) override {
        return Unsupported("QueryDefaultMessageOpt");
    }
    STDMETHODIMP EnumAdrTypes(ULONG, ULONG*, LPTSTR**) override {
        return Unsupported("EnumAdrTypes");
    }
    STDMETHODIMP QueryIdentity(ULONG*, LPENTRYID*) override { return Unsupported("QueryIdentity"); }
    STDMETHODIMP Logoff(ULONG_PTR, ULONG, ULONG) override {
        if (HRESULT fault = Enter("Logoff")) return fault;
        return S_OK;
    }
    STDMETHODIMP SetDefaultStore(ULONG, ULONG, LPENTRYID) override {
        return Unsupported("SetDefaultStore");
    }
    STDMETHODIMP AdminServices(ULONG, LPSERVICEADMIN*) override {
        return Unsupported("AdminServices");
    }
    // Shows the form for a prepared message: records it as the form shows
    // it and answers with the profile's result.
    STDMETHODIMP ShowForm(ULONG_PTR, LPMDB store, LPMAPIFOLDER parent, LPCIID, ULONG token,
                          LPMESSAGE, ULONG, ULONG status, ULONG messageFlags, ULONG access,
                          LPSTR messageClass) override try {
        if (HRESULT fault = Enter("ShowForm")) return fault;
        World& world = TheWorld();
        auto prepared = world.formTokens.find(token);
        if (prepared == world.formTokens.end()) return MAPI_E_INVALID_PARAMETER;
        const std::shared_ptr<MessageModel> message = prepared->second;
        TrackedBase* storeObject = FindObject(static_cast<const void*>(store));
        TrackedBase* parentObject = FindObject(static_cast<const void*>(parent));
        const HRESULT result = world.profile.showForm;
        RecordForm(*message, storeObject ? storeObject->Describe() : std::string(),
                   parentObject ? parentObject->Describe() : std::string(), messageClass, status,
                   messageFlags, access, result);
        // The token serves once: used up only by a form that was shown.
        world.formTokens.erase(prepared);
        return result;
    } catch (...) {
        return FailedCall();
    }
    STDMETHODIMP PrepareForm(LPCIID, LPMESSAGE message, ULONG* token) override try {
        if (HRESULT fault = Enter("PrepareForm")) return fault;
        if (message == nullptr || token == nullptr) return MAPI_E_INVALID_PARAMETER;
        TrackedBase* object = FindObject(static_cast<const void*>(message));
        if (object == nullptr || !object->Message()) return MAPI_E_INVALID_PARAMETER;
        World& world = TheWorld();
        *token = world.nextFormToken++;
        world.formTokens[*token] = object->Message();
        return S_OK;
    } catch (...) {
        return FailedCall();
    }
};

}  // namespace

LPMAPISESSION NewSession() {
    return Make<Session>();
}

}  // namespace mailsim
