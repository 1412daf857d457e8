// The interface objects the simulated client hands out. Every object counts
// its references; the accounting sums them. An object is never destroyed
// when its count reaches zero: it stays, marked released, so that one
// Release too many, or a call on a released object, is counted instead of
// crashing.
#pragma once

#include <memory>
#include <string>

#include "Model.h"
#include "World.h"

namespace mailsim {

class TrackedBase {
public:
    virtual ~TrackedBase() = default;
    ULONG references = 1;
    bool released = false;
    // For the form: the message behind an IMessage, the names behind a
    // store or folder.
    virtual std::shared_ptr<MessageModel> Message() { return nullptr; }
    virtual std::string Describe() const { return std::string(); }
    // The interface pointer handed out for this object.
    virtual const void* HandedOut() const = 0;
};

template <class Interface>
class Tracked : public Interface, public TrackedBase {
public:
    explicit Tracked(std::string name) : name_(std::move(name)) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
        Enter("QueryInterface");
        if (object == nullptr) return E_POINTER;
        if (riid == IID_IUnknown || Supports(riid)) {
            *object = static_cast<Interface*>(this);
            if (!released) ++references;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override {
        Enter("AddRef");
        if (released) return 0;
        return ++references;
    }
    STDMETHODIMP_(ULONG) Release() override {
        LogRelease(name_);
        if (references == 0) {
            ++TheWorld().overReleases;
            return 0;
        }
        if (--references == 0) released = true;
        return references;
    }

    const void* HandedOut() const override { return static_cast<const Interface*>(this); }

protected:
    virtual bool Supports(REFIID) const { return false; }
    // Logs the call; returns the injected fault, if any, which the method
    // then returns without doing anything else.
    HRESULT Enter(const char* method) {
        if (released) ++TheWorld().callsAfterRelease;
        return EnterCall(name_, method);
    }
    // A method the client does not support: counted and open to faults like
    // any other call, and otherwise MAPI_E_NO_SUPPORT.
    HRESULT Unsupported(const char* method) {
        if (HRESULT fault = Enter(method)) return fault;
        return MAPI_E_NO_SUPPORT;
    }
    const std::string name_;
};

// Opens a stream on a property of bag (read-only unless writable).
HRESULT OpenPropertyStream(const PropBagPtr& bag, ULONG tag, LPCIID iid, ULONG flags, bool writable,
                           LPUNKNOWN* stream);

// The IMAPIProp part, over a property bag.
template <class Interface>
class PropObject : public Tracked<Interface> {
public:
    PropObject(std::string name, PropBagPtr props, bool writable)
        : Tracked<Interface>(std::move(name)), props_(std::move(props)), writable_(writable) {}

    STDMETHODIMP GetLastError(HRESULT, ULONG, LPMAPIERROR* error) override {
        if (HRESULT fault = this->Enter("GetLastError")) return fault;
        if (error != nullptr) *error = nullptr;
        return S_OK;
    }
    STDMETHODIMP SaveChanges(ULONG flags) override {
        if (HRESULT fault = this->Enter("SaveChanges")) return fault;
        return OnSave(flags);
    }
    STDMETHODIMP GetProps(LPSPropTagArray tags, ULONG, ULONG* count,
                          LPSPropValue* values) override {
        if (HRESULT fault = this->Enter("GetProps")) return fault;
        return GetPropsFromBag(*props_, tags, count, values);
    }
    STDMETHODIMP GetPropList(ULONG, LPSPropTagArray*) override {
        return this->Unsupported("GetPropList");
    }
    STDMETHODIMP OpenProperty(ULONG tag, LPCIID iid, ULONG, ULONG flags,
                              LPUNKNOWN* object) override {
        if (HRESULT fault = this->Enter("OpenProperty")) return fault;
        return OpenPropertyStream(props_, tag, iid, flags, writable_, object);
    }
    STDMETHODIMP SetProps(ULONG count, LPSPropValue values,
                          LPSPropProblemArray* problems) override {
        if (HRESULT fault = this->Enter("SetProps")) return fault;
        if (!writable_) return MAPI_E_NO_ACCESS;
        return SetPropsIntoBag(*props_, count, values, problems);
    }
    STDMETHODIMP DeleteProps(LPSPropTagArray tags, LPSPropProblemArray* problems) override {
        if (HRESULT fault = this->Enter("DeleteProps")) return fault;
        if (!writable_) return MAPI_E_NO_ACCESS;
        if (problems != nullptr) *problems = nullptr;
        if (tags == nullptr) return MAPI_E_INVALID_PARAMETER;
        for (ULONG i = 0; i < tags->cValues; ++i) props_->Remove(tags->aulPropTag[i]);
        return S_OK;
    }
    STDMETHODIMP CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG, LPMAPIPROGRESS, LPCIID, LPVOID,
                        ULONG, LPSPropProblemArray*) override {
        return this->Unsupported("CopyTo");
    }
    STDMETHODIMP CopyProps(LPSPropTagArray, ULONG, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG,
                           LPSPropProblemArray*) override {
        return this->Unsupported("CopyProps");
    }
    STDMETHODIMP GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**) override {
        return this->Unsupported("GetNamesFromIDs");
    }
    STDMETHODIMP GetIDsFromNames(ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*) override {
        return this->Unsupported("GetIDsFromNames");
    }

protected:
    virtual HRESULT OnSave(ULONG) { return writable_ ? S_OK : MAPI_E_NO_ACCESS; }
    PropBagPtr props_;
    bool writable_;
};

// The IMAPIContainer part (folders, distribution lists).
template <class Interface>
class ContainerObject : public PropObject<Interface> {
public:
    using PropObject<Interface>::PropObject;

    STDMETHODIMP GetContentsTable(ULONG, LPMAPITABLE*) override {
        return this->Unsupported("GetContentsTable");
    }
    STDMETHODIMP GetHierarchyTable(ULONG, LPMAPITABLE*) override {
        return this->Unsupported("GetHierarchyTable");
    }
    STDMETHODIMP OpenEntry(ULONG, LPENTRYID, LPCIID, ULONG, ULONG*, LPUNKNOWN*) override {
        return this->Unsupported("OpenEntry");
    }
    STDMETHODIMP SetSearchCriteria(LPSRestriction, LPENTRYLIST, ULONG) override {
        return this->Unsupported("SetSearchCriteria");
    }
    STDMETHODIMP GetSearchCriteria(ULONG, LPSRestriction*, LPENTRYLIST*, ULONG*) override {
        return this->Unsupported("GetSearchCriteria");
    }
};

// Creates an object, registers it for the accounting and returns its
// interface with one reference.
template <class Object, class... Args>
Object* Make(Args&&... args) {
    Object* object = new Object(std::forward<Args>(args)...);
    const void* handedOut = object->HandedOut();
    Adopt(std::unique_ptr<TrackedBase>(object), handedOut);
    return object;
}

// Factories, one per kind of object.
LPMAPISESSION NewSession();
LPMAPITABLE NewStoresTable();
// A store opened for writing lets its folders and messages be opened for
// writing; a read-only one does not.
LPMDB NewStore(const std::shared_ptr<StoreModel>& store, bool writable);
// A folder opened for writing takes new messages; storeWritable is what the
// store it was opened from allows for the entries opened through it.
LPMAPIFOLDER NewFolder(const std::shared_ptr<FolderModel>& folder, bool writable,
                       bool storeWritable);
LPMESSAGE NewMessage(const std::shared_ptr<MessageModel>& message, bool writable);
LPATTACH NewAttach(const std::shared_ptr<MessageModel>& message,
                   const std::shared_ptr<AttachModel>& attach);
LPSTREAM NewStream(const PropBagPtr& bag, ULONG tag, bool writable);
LPADRBOOK NewAddrBook();
// An address-book entry by identifier: a mail user or distribution list.
HRESULT OpenAddressEntry(ULONG size, LPENTRYID id, ULONG* objectType, LPUNKNOWN* object);
// A store, folder or message by identifier, opened through a store that is
// writable or not: MAPI_MODIFY on a read-only store is MAPI_E_NO_ACCESS,
// MAPI_BEST_ACCESS gives what the store allows, neither gives read-only.
// Flags OpenEntry does not know are MAPI_E_UNKNOWN_FLAGS.
HRESULT OpenStoreEntry(ULONG size, LPENTRYID id, ULONG flags, bool storeWritable, ULONG* objectType,
                       LPUNKNOWN* object);
// CompareEntryIDs of the session, stores and address book: byte equality.
HRESULT CompareEntryIds(ULONG size1, LPENTRYID id1, ULONG size2, LPENTRYID id2, ULONG* result);

}  // namespace mailsim
