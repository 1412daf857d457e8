// Folders, and opening stores, folders and messages by entry identifier.
#include "Objects.h"

namespace mailsim {
namespace {

// Flags of OpenEntry (stores, folders and the session) and of
// CreateMessage; any other bit is MAPI_E_UNKNOWN_FLAGS.
constexpr ULONG kOpenEntryFlags = MAPI_MODIFY | SHOW_SOFT_DELETES | MAPI_DEFERRED_ERRORS |
                                  MAPI_BEST_ACCESS | MAPI_NO_CACHE | MAPI_CACHE_ONLY;
constexpr ULONG kCreateMessageFlags = MAPI_DEFERRED_ERRORS | MAPI_ASSOCIATED;

// The folder's own properties stay read-only; its access decides whether
// it takes new messages.
class Folder final : public ContainerObject<IMAPIFolder> {
public:
    Folder(std::shared_ptr<FolderModel> folder, bool writable, bool storeWritable)
        : ContainerObject<IMAPIFolder>("IMAPIFolder", folder->props, false),
          folder_(std::move(folder)),
          writableFolder_(writable),
          storeWritable_(storeWritable) {}

    std::string Describe() const override { return folder_->name; }

    STDMETHODIMP OpenEntry(ULONG size, LPENTRYID id, LPCIID, ULONG flags, ULONG* objectType,
                           LPUNKNOWN* object) override {
        if (HRESULT fault = Enter("OpenEntry")) return fault;
        return OpenStoreEntry(size, id, flags, storeWritable_, objectType, object);
    }
    // A new, unsaved message in this folder.
    STDMETHODIMP CreateMessage(LPCIID, ULONG flags, LPMESSAGE* message) override try {
        if (HRESULT fault = Enter("CreateMessage")) return fault;
        if (message == nullptr) return MAPI_E_INVALID_PARAMETER;
        if (flags & ~kCreateMessageFlags) return MAPI_E_UNKNOWN_FLAGS;
        if (!writableFolder_) return MAPI_E_NO_ACCESS;
        World& world = TheWorld();
        auto model = std::make_shared<MessageModel>();
        model->entryId = MakeEntryId("message/" + std::to_string(world.nextMessage++));
        model->folder = folder_;
        PropBag& props = *model->props;
        props.Set(TextProp(PR_ENTRYID, model->entryId));
        props.Set(TextProp(PR_PARENT_ENTRYID, folder_->entryId));
        if (auto store = folder_->store.lock())
            props.Set(TextProp(PR_STORE_ENTRYID, store->entryId));
        props.Set(TextProp(PR_MESSAGE_CLASS, "IPM.Note"));
        props.Set(LongProp(PR_MESSAGE_FLAGS, MSGFLAG_UNSENT | MSGFLAG_UNMODIFIED));
        props.Set(LongProp(PR_MSG_STATUS, 0));
        props.Set(LongProp(PR_ACCESS, MAPI_ACCESS_MODIFY | MAPI_ACCESS_READ | MAPI_ACCESS_DELETE));
        props.Set(LongProp(PR_OBJECT_TYPE, MAPI_MESSAGE));
        *message = NewMessage(model, true);
        return S_OK;
    } catch (...) {
        return FailedCall();
    }
    STDMETHODIMP CopyMessages(LPENTRYLIST, LPCIID, LPVOID, ULONG, LPMAPIPROGRESS, ULONG) override {
        return Unsupported("CopyMessages");
    }
    STDMETHODIMP DeleteMessages(LPENTRYLIST, ULONG, LPMAPIPROGRESS, ULONG) override {
        return Unsupported("DeleteMessages");
    }
    STDMETHODIMP CreateFolder(ULONG, LPTSTR, LPTSTR, LPCIID, ULONG, LPMAPIFOLDER*) override {
        return Unsupported("CreateFolder");
    }
    STDMETHODIMP CopyFolder(ULONG, LPENTRYID, LPCIID, LPVOID, LPTSTR, ULONG, LPMAPIPROGRESS,
                            ULONG) override {
        return Unsupported("CopyFolder");
    }
    STDMETHODIMP DeleteFolder(ULONG, LPENTRYID, ULONG, LPMAPIPROGRESS, ULONG) override {
        return Unsupported("DeleteFolder");
    }
    STDMETHODIMP SetReadFlags(LPENTRYLIST, ULONG, LPMAPIPROGRESS, ULONG) override {
        return Unsupported("SetReadFlags");
    }
    STDMETHODIMP GetMessageStatus(ULONG, LPENTRYID, ULONG, ULONG*) override {
        return Unsupported("GetMessageStatus");
    }
    STDMETHODIMP SetMessageStatus(ULONG, LPENTRYID, ULONG, ULONG, ULONG*) override {
        return Unsupported("SetMessageStatus");
    }
    STDMETHODIMP SaveContentsSort(LPSSortOrderSet, ULONG) override {
        return Unsupported("SaveContentsSort");
    }
    STDMETHODIMP EmptyFolder(ULONG, LPMAPIPROGRESS, ULONG) override {
        return Unsupported("EmptyFolder");
    }

private:
    std::shared_ptr<FolderModel> folder_;
    bool writableFolder_;
    bool storeWritable_;
};

}  // namespace

LPMAPIFOLDER NewFolder(const std::shared_ptr<FolderModel>& folder, bool writable,
                       bool storeWritable) {
    return Make<Folder>(folder, writable, storeWritable);
}

HRESULT OpenStoreEntry(ULONG size, LPENTRYID id, ULONG flags, bool storeWritable, ULONG* objectType,
                       LPUNKNOWN* object) try {
    if (object == nullptr || objectType == nullptr) return MAPI_E_INVALID_PARAMETER;
    if (flags & ~kOpenEntryFlags) return MAPI_E_UNKNOWN_FLAGS;
    if (id == nullptr || size == 0) return MAPI_E_INVALID_ENTRYID;
    const bool modify = (flags & MAPI_MODIFY) != 0;
    const bool writable = storeWritable && (modify || (flags & MAPI_BEST_ACCESS) != 0);
    const std::string bytes(reinterpret_cast<const char*>(id), size);
    World& world = TheWorld();
    for (const auto& store : world.stores) {
        if (store->entryId == bytes) {
            if (modify && !storeWritable) return MAPI_E_NO_ACCESS;
            *objectType = MAPI_STORE;
            *object = NewStore(store, writable);
            return S_OK;
        }
        if (auto folder = store->FolderById(bytes)) {
            if (modify && !storeWritable) return MAPI_E_NO_ACCESS;
            *objectType = MAPI_FOLDER;
            *object = NewFolder(folder, writable, storeWritable);
            return S_OK;
        }
    }
    auto message = world.messages.find(bytes);
    if (message != world.messages.end()) {
        if (modify && !storeWritable) return MAPI_E_NO_ACCESS;
        *objectType = MAPI_MESSAGE;
        *object = NewMessage(message->second, writable);
        return S_OK;
    }
    std::string payload;
    return EntryIdPayload(size, id, payload) ? MAPI_E_NOT_FOUND : MAPI_E_INVALID_ENTRYID;
} catch (...) {
    return FailedCall();
}

}  // namespace mailsim
