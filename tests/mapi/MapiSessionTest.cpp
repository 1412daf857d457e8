// The session: store selection, folder ownership, the Drafts road through
// the Inbox, and giving back everything on every path.
#include <memory>

#include "MapiTestSupport.h"
#include "mapi/MapiFolder.h"

namespace {

// Makes the next call of `call` fail.
void FailNext(const std::string& call, HRESULT result = E_FAIL) {
    mailsim::InjectFault(call, result, mailsim::CallCount(call) + 1);
}

class MapiSessionTest : public MapiTest {};

constexpr char kThreeStores[] = R"({"stores": [
    {"displayName": "Archive", "default": false},
    {"displayName": "Mailbox - Sales", "default": true},
    {"displayName": "Public Folders", "default": true}]})";

}  // namespace

TEST_F(MapiSessionTest, OpenStoreChoosesByDefaultFlagOrCaseSensitiveSubstring) {
    struct Row {
        const char* storeName;
        const char* opened;  // null: no store
        unsigned rowsRead;   // QueryRows calls
    };
    const Row rows[] = {
        {nullptr, "Mailbox - Sales", 2},  // first default row; the third is never read
        {"", "Archive", 1},               // empty name matches the first row
        {"Mailbox", "Mailbox - Sales", 2},
        {"Sales", "Mailbox - Sales", 2},
        {"Folders", "Public Folders", 3},
        {"mailbox", nullptr, 4},  // case matters; the table is read to its end
        {"Mailbox -  Sales", nullptr, 4},
    };
    UseProfile(kThreeStores);
    ASSERT_TRUE(session.Initialize(true, false));
    initialized = true;
    ASSERT_TRUE(session.Logon(nullptr, false));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.storeName ? row.storeName : "(null)");
        session.Close();
        ASSERT_TRUE(session.Logon(nullptr, false));
        const unsigned queries = mailsim::CallCount("IMAPITable::QueryRows");
        EXPECT_EQ(session.OpenStore(row.storeName, 0x201), row.opened != nullptr);
        EXPECT_EQ(StoreName(), row.opened ? row.opened : "");
        EXPECT_EQ(CallsSince("IMAPITable::QueryRows", queries), row.rowsRead);
    }
}

TEST_F(MapiSessionTest, OpenStoreTakesOnlyRealBooleansAndBinaryIdentifiers) {
    struct Row {
        const char* profile;
        const char* storeName;
        const char* opened;
    };
    const Row rows[] = {
        // A default flag that came back as an error value is no default.
        {R"({"stores": [{"displayName": "Broken", "default": "error"},
                        {"displayName": "Real", "default": true}]})",
         nullptr, "Real"},
        // A row without a binary identifier cannot be opened: passed over.
        {R"({"stores": [{"displayName": "No Id", "default": true, "entryId": "error"},
                        {"displayName": "Long Id", "default": true, "entryId": "long"},
                        {"displayName": "Good", "default": true}]})",
         nullptr, "Good"},
        {R"({"stores": [{"displayName": "No Id", "default": true, "entryId": "error"}]})", "No Id",
         nullptr},
        // A missing display name compares as the empty string.
        {R"({"stores": [{"displayName": null, "default": false},
                        {"displayName": "Named", "default": true}]})",
         "", ""},
        {R"({"stores": [{"displayName": null, "default": true}]})", "x", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.profile);
        TearDown();
        UseProfile(row.profile);
        ASSERT_TRUE(session.Initialize(true, false));
        initialized = true;
        ASSERT_TRUE(session.Logon(nullptr, false));
        EXPECT_EQ(session.OpenStore(row.storeName, 0x201), row.opened != nullptr);
        if (!row.opened) {
            EXPECT_EQ(session.store, nullptr);
        } else if (*row.opened) {
            EXPECT_EQ(StoreName(), row.opened);
        } else {
            EXPECT_NE(session.store, nullptr);
        }
    }
}

TEST_F(MapiSessionTest, FailedOpenStoreKeepsStoreButReplacesFlags) {
    UseProfile(kThreeStores);
    StartSession();
    LPMDB first = session.store;

    EXPECT_FALSE(session.OpenStore("Nowhere", 0x5));
    EXPECT_EQ(session.store, first);
    EXPECT_EQ(session.openEntryFlags, 0x5u);

    for (const char* call :
         {"IMAPISession::GetMsgStoresTable", "IMAPITable::SetColumns", "IMAPITable::QueryRows"}) {
        SCOPED_TRACE(call);
        FailNext(call);
        EXPECT_FALSE(session.OpenStore(nullptr, 0x7));
        EXPECT_EQ(session.store, first);
        EXPECT_EQ(session.openEntryFlags, 0x7u);
        session.openEntryFlags = 0x201;
    }

    // A matched store that fails to open leaves none: the old one is gone.
    FailNext("IMAPISession::OpenMsgStore");
    EXPECT_FALSE(session.OpenStore("Archive", 0x201));
    EXPECT_EQ(session.store, nullptr);
    EXPECT_NE(session.session, nullptr);
}

TEST_F(MapiSessionTest, OpenStoreWithoutSessionChangesNothing) {
    session.openEntryFlags = 0x42;
    EXPECT_FALSE(session.OpenStore(nullptr, 0x201));
    EXPECT_EQ(session.openEntryFlags, 0x42u);
    EXPECT_EQ(mailsim::CallCount("IMAPISession::GetMsgStoresTable"), 0u);
}

TEST_F(MapiSessionTest, StartupFailuresLeaveNoSession) {
    UseProfile(R"({"initialize": "0x80004005"})");
    EXPECT_FALSE(session.Initialize(true, false));
    UseProfile(R"({"logon": "0x80040111"})");
    ASSERT_TRUE(session.Initialize(true, false));
    initialized = true;
    EXPECT_FALSE(session.Logon(nullptr, false));
    EXPECT_EQ(session.session, nullptr);
}

TEST_F(MapiSessionTest, MakeCurrentReplacesAndOwnsTheFolder) {
    StartSession();
    MapiFolder* first = session.OpenDrafts(true);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(session.currentFolder, first);
    EXPECT_FALSE(first->entryId.Empty());
    EXPECT_EQ(std::string(reinterpret_cast<char*>(first->entryId.lpb), first->entryId.cb),
              BinaryProp(first->Folder(), PR_ENTRYID));
    EXPECT_EQ(first->name, "");
    EXPECT_EQ(first->rowBatchSize, 512u);
    const long withDrafts = References();

    // The second make-current open destroys the first folder object.
    MapiFolder* second = session.OpenDrafts(true);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(session.currentFolder, second);
    EXPECT_EQ(References(), withDrafts);

    // Without make-current the caller owns the folder; current stays.
    std::unique_ptr<MapiFolder> outbox(session.OpenOutbox(false));
    ASSERT_NE(outbox, nullptr);
    EXPECT_EQ(session.currentFolder, second);
    EXPECT_EQ(References(), withDrafts + 1);
    outbox.reset();
    EXPECT_EQ(References(), withDrafts);
}

TEST_F(MapiSessionTest, DraftsIsFoundThroughTheInboxWhichIsAlwaysReleased) {
    struct Row {
        const char* call;
        unsigned nth;  // of that call from the start of OpenDrafts
        bool opened;
    };
    const Row rows[] = {
        {nullptr, 0, true},
        {"IMsgStore::GetReceiveFolder", 1, false},
        {"IMsgStore::OpenEntry", 1, false},   // the Inbox
        {"IMAPIFolder::GetProps", 1, true},   // the Inbox's own identifier only
        {"IMAPIFolder::GetProps", 2, false},  // the Drafts identifier
        {"IMsgStore::OpenEntry", 2, false},   // Drafts itself
    };
    StartSession();
    std::unique_ptr<MapiFolder> outbox(session.OpenOutbox(true));
    MapiFolder* current = session.currentFolder;
    ASSERT_NE(current, nullptr);
    outbox.release();  // owned by the session

    for (const Row& row : rows) {
        SCOPED_TRACE(row.call ? row.call : "no fault");
        if (row.call)
            mailsim::InjectFault(row.call, E_FAIL, mailsim::CallCount(row.call) + row.nth);
        const long before = References();
        MapiFolder* drafts = session.OpenDrafts(true);
        EXPECT_EQ(drafts != nullptr, row.opened);
        if (row.opened) {
            EXPECT_EQ(session.currentFolder, drafts);
            EXPECT_EQ(References(), before);  // Drafts replaced the old current folder
            current = drafts;
        } else {
            EXPECT_EQ(session.currentFolder, current);
            EXPECT_EQ(References(), before);  // no Inbox left behind
        }
        mailsim::ClearFaults();
    }
}

TEST_F(MapiSessionTest, DraftsWithoutIdentifierOnInboxIsNotFound) {
    UseProfile(R"({"stores": [{"displayName": "S", "default": true,
                               "draftsEntryIdOnInbox": false}]})");
    StartSession();
    const long before = References();
    EXPECT_EQ(session.OpenDrafts(true), nullptr);
    EXPECT_EQ(session.currentFolder, nullptr);
    EXPECT_EQ(References(), before);
}

TEST_F(MapiSessionTest, OutboxFailuresFreeWhatTheStoreReturned) {
    StartSession();
    for (const char* call : {"IMsgStore::GetProps", "IMsgStore::OpenEntry"}) {
        SCOPED_TRACE(call);
        FailNext(call);
        EXPECT_EQ(session.OpenOutbox(true), nullptr);
        EXPECT_EQ(session.currentFolder, nullptr);
        EXPECT_EQ(Buffers(), 0);
    }
    // A store without an Outbox answers with a warning and an error value.
    TearDown();
    UseProfile(R"({"stores": [{"default": true, "folders": ["Inbox", "Drafts"]}]})");
    StartSession();
    EXPECT_EQ(session.OpenOutbox(true), nullptr);
    EXPECT_EQ(Buffers(), 0);
}

TEST_F(MapiSessionTest, FolderOpenersNeedAStore) {
    ASSERT_TRUE(session.Initialize(true, false));
    initialized = true;
    ASSERT_TRUE(session.Logon(nullptr, false));
    EXPECT_EQ(session.OpenInbox(true), nullptr);
    EXPECT_EQ(session.OpenDrafts(true), nullptr);
    EXPECT_EQ(session.OpenOutbox(true), nullptr);
}

TEST_F(MapiSessionTest, CloseReleasesEachInterfaceOnceInAnyState) {
    StartSession();
    ASSERT_NE(session.OpenDrafts(true), nullptr);
    session.adviseConnection = 7;
    session.Close();
    EXPECT_EQ(mailsim::CallCount("IMsgStore::Unadvise"), 1u);
    EXPECT_EQ(session.adviseConnection, 0u);
    EXPECT_EQ(session.currentFolder, nullptr);
    EXPECT_EQ(session.store, nullptr);
    EXPECT_EQ(session.session, nullptr);
    EXPECT_EQ(session.openEntryFlags, 0x201u);
    EXPECT_EQ(References(), 0);
    const size_t calls = mailsim::CallLog().size();
    session.Close();
    EXPECT_TRUE(LogSince(calls).empty());
    {
        MapiSession local;  // destroyed after a Close of its own
        ASSERT_TRUE(local.Logon(nullptr, false));
        local.Close();
    }
    EXPECT_EQ(References(), 0);
}
