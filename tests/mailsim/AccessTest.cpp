// Access rights as a mail client enforces them: a store opened read-only
// opens only read-only folders, a read-only folder takes no new message,
// and flags that the methods do not know are refused.
#include "MailsimTesting.h"

namespace {

class Access : public MailsimTest {
protected:
    void TearDown() override {
        if (store) store->Release();
        if (session) session->Release();
        MAPIUninitialize();
        MailsimTest::TearDown();
    }
    HRESULT OpenStore(ULONG flags) {
        session = Logon();
        const std::string id = mailsim::StoreEntryId(0);
        return session->OpenMsgStore(0, static_cast<ULONG>(id.size()), Id(id), nullptr, flags,
                                     &store);
    }
    static LPENTRYID Id(const std::string& bytes) {
        return reinterpret_cast<LPENTRYID>(const_cast<char*>(bytes.data()));
    }
    // Opens a folder through `through` (the store or a folder) with flags;
    // returns OpenEntry's result and, on success, CreateMessage's.
    struct Outcome {
        HRESULT open = E_FAIL;
        HRESULT create = E_FAIL;
    };
    template <class Container>
    Outcome OpenAndCreate(Container* through, const char* folder, ULONG flags) {
        const std::string id = mailsim::FolderEntryId(0, folder);
        Outcome outcome;
        ULONG type = 0;
        LPUNKNOWN opened = nullptr;
        outcome.open = through->OpenEntry(static_cast<ULONG>(id.size()), Id(id), nullptr, flags,
                                          &type, &opened);
        if (outcome.open != S_OK) {
            EXPECT_EQ(opened, nullptr);
            return outcome;
        }
        LPMESSAGE message = nullptr;
        outcome.create = static_cast<LPMAPIFOLDER>(opened)->CreateMessage(nullptr, 0, &message);
        if (message) message->Release();
        opened->Release();
        return outcome;
    }

    LPMAPISESSION session = nullptr;
    LPMDB store = nullptr;
};

TEST_F(Access, ReadOnlyStoreOpensOnlyReadOnlyFolders) {
    ASSERT_EQ(OpenStore(MDB_NO_DIALOG), S_OK);
    const Outcome modify = OpenAndCreate(store, "Drafts", MAPI_MODIFY | MAPI_NO_CACHE);
    EXPECT_EQ(modify.open, MAPI_E_NO_ACCESS);
    const Outcome best = OpenAndCreate(store, "Drafts", MAPI_BEST_ACCESS);
    EXPECT_EQ(best.open, S_OK);
    EXPECT_EQ(best.create, MAPI_E_NO_ACCESS);
    const Outcome plain = OpenAndCreate(store, "Drafts", 0);
    EXPECT_EQ(plain.open, S_OK);
    EXPECT_EQ(plain.create, MAPI_E_NO_ACCESS);

    // A folder of a read-only store passes no write access on either.
    ULONG size = 0, type = 0;
    LPENTRYID inboxId = nullptr;
    ASSERT_EQ(store->GetReceiveFolder(nullptr, 0, &size, &inboxId, nullptr), S_OK);
    LPUNKNOWN inbox = nullptr;
    ASSERT_EQ(store->OpenEntry(size, inboxId, nullptr, MAPI_BEST_ACCESS, &type, &inbox), S_OK);
    MAPIFreeBuffer(inboxId);
    EXPECT_EQ(OpenAndCreate(static_cast<LPMAPIFOLDER>(inbox), "Drafts", MAPI_MODIFY).open,
              MAPI_E_NO_ACCESS);
    inbox->Release();
}

TEST_F(Access, WritableStoreStillNeedsAWritableFolder) {
    for (ULONG storeFlags : {MDB_NO_DIALOG | MAPI_BEST_ACCESS, MDB_WRITE}) {
        ASSERT_EQ(OpenStore(storeFlags), S_OK) << storeFlags;
        EXPECT_EQ(OpenAndCreate(store, "Drafts", 0).create, MAPI_E_NO_ACCESS) << storeFlags;
        EXPECT_EQ(OpenAndCreate(store, "Drafts", MAPI_MODIFY | MAPI_NO_CACHE).create, S_OK);
        EXPECT_EQ(OpenAndCreate(store, "Drafts", MAPI_BEST_ACCESS).create, S_OK);
        store->Release();
        store = nullptr;
        session->Release();
        session = nullptr;
        MAPIUninitialize();
    }
}

TEST_F(Access, UnknownFlagsAreRefused) {
    EXPECT_EQ(OpenStore(MDB_NO_DIALOG | MAPI_BEST_ACCESS | 0x00010000), MAPI_E_UNKNOWN_FLAGS);
    EXPECT_EQ(store, nullptr);
    session->Release();
    session = nullptr;
    MAPIUninitialize();
    ASSERT_EQ(OpenStore(MDB_NO_DIALOG | MAPI_BEST_ACCESS), S_OK);
    // 0x100 and 0x400 are no OpenEntry flags: a mistyped MAPI_NO_CACHE.
    for (ULONG wrong : {0x00000100ul, 0x00000400ul, 0x00000020ul}) {
        EXPECT_EQ(OpenAndCreate(store, "Drafts", MAPI_MODIFY | wrong).open, MAPI_E_UNKNOWN_FLAGS)
            << wrong;
    }
    const std::string id = mailsim::FolderEntryId(0, "Drafts");
    ULONG type = 0;
    LPUNKNOWN drafts = nullptr;
    ASSERT_EQ(store->OpenEntry(static_cast<ULONG>(id.size()), Id(id), nullptr, MAPI_MODIFY, &type,
                               &drafts),
              S_OK);
    LPMESSAGE message = nullptr;
    EXPECT_EQ(static_cast<LPMAPIFOLDER>(drafts)->CreateMessage(nullptr, MAPI_MODIFY, &message),
              MAPI_E_UNKNOWN_FLAGS);
    EXPECT_EQ(message, nullptr);
    drafts->Release();
}

}  // namespace
