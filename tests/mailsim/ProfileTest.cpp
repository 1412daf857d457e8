// Profiles: what each member makes of the stores table, the stores and
// their folders, and how a bad profile is refused.
#include "MailsimTesting.h"

namespace {

class Profile : public MailsimTest {
protected:
    // The stores table's rows with the three columns the program asks for.
    struct Row {
        OneProp name, entryId, isDefault;
    };
    std::vector<Row> StoreRows(LPMAPISESSION session) {
        LPMAPITABLE table = nullptr;
        EXPECT_EQ(session->GetMsgStoresTable(0, &table), S_OK);
        SizedSPropTagArray(3, columns) = {3, {PR_DISPLAY_NAME, PR_ENTRYID, PR_DEFAULT_STORE}};
        EXPECT_EQ(table->SetColumns(reinterpret_cast<LPSPropTagArray>(&columns), 0), S_OK);
        std::vector<Row> rows;
        for (;;) {
            LPSRowSet set = nullptr;
            EXPECT_EQ(table->QueryRows(1, 0, &set), S_OK);
            if (set->cRows == 0) {
                FreeProws(set);
                break;
            }
            Row row;
            OneProp* cells[] = {&row.name, &row.entryId, &row.isDefault};
            for (int i = 0; i < 3; ++i) {
                const SPropValue& v = set->aRow[0].lpProps[i];
                cells[i]->tag = v.ulPropTag;
                if (PROP_TYPE(v.ulPropTag) == PT_STRING8) cells[i]->bytes = v.Value.lpszA;
                if (PROP_TYPE(v.ulPropTag) == PT_BINARY) {
                    cells[i]->bytes.assign(reinterpret_cast<char*>(v.Value.bin.lpb),
                                           v.Value.bin.cb);
                }
                if (PROP_TYPE(v.ulPropTag) == PT_BOOLEAN) cells[i]->number = v.Value.b;
                if (PROP_TYPE(v.ulPropTag) == PT_ERROR) {
                    cells[i]->number = static_cast<uint32_t>(v.Value.err);
                }
            }
            rows.push_back(row);
            FreeProws(set);
        }
        table->Release();
        return rows;
    }
};

TEST_F(Profile, DefaultProfileHasOneDefaultStoreWithTheFourFolders) {
    LPMAPISESSION session = Logon();
    const std::vector<Row> rows = StoreRows(session);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name.bytes, "Personal Folders");
    EXPECT_EQ(rows[0].isDefault.tag, PR_DEFAULT_STORE);
    EXPECT_EQ(rows[0].isDefault.number, 1);
    LPMDB store = nullptr;
    ASSERT_EQ(session->OpenMsgStore(
                  0, static_cast<ULONG>(rows[0].entryId.bytes.size()),
                  reinterpret_cast<LPENTRYID>(const_cast<char*>(rows[0].entryId.bytes.data())),
                  nullptr, MDB_NO_DIALOG | MAPI_BEST_ACCESS, &store),
              S_OK);
    for (ULONG tag : {PR_IPM_OUTBOX_ENTRYID, PR_IPM_SENTMAIL_ENTRYID}) {
        EXPECT_EQ(GetOne(store, tag).tag, tag);
    }
    // The Inbox is the receive folder and names the Drafts folder.
    LPMAPIFOLDER inbox = OpenReceiveFolder(store, MAPI_MODIFY);
    ASSERT_NE(inbox, nullptr);
    EXPECT_EQ(GetOne(inbox, PR_DISPLAY_NAME).bytes, "Inbox");
    const OneProp drafts = GetOne(inbox, PR_IPM_DRAFTS_ENTRYID);
    EXPECT_EQ(drafts.tag, PR_IPM_DRAFTS_ENTRYID);
    inbox->Release();
    store->Release();
    session->Release();
    MAPIUninitialize();
}

TEST_F(Profile, StoreMembersShapeTheStoresTable) {
    ASSERT_TRUE(mailsim::LoadProfileText(R"({"stores": [
        {"displayName": "Archive", "default": "error"},
        {"displayName": null, "default": false, "entryId": "long"},
        {"displayName": "Mailbox - Sales", "default": true, "entryId": "error",
         "defaultError": "0x80040102"},
        {"displayName": "Raw", "entryId": "0a0b0c"}]})"));
    LPMAPISESSION session = Logon();
    const std::vector<Row> rows = StoreRows(session);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].isDefault.tag, PROP_TAG(PT_ERROR, PROP_ID(PR_DEFAULT_STORE)));
    EXPECT_EQ(rows[0].isDefault.number, 0x8004010F);  // low 16 bits non-zero
    EXPECT_EQ(rows[0].entryId.tag, PR_ENTRYID);
    EXPECT_EQ(rows[1].name.tag, PROP_TAG(PT_ERROR, PROP_ID(PR_DISPLAY_NAME)));
    EXPECT_EQ(rows[1].entryId.tag, PROP_TAG(PT_LONG, PROP_ID(PR_ENTRYID)));
    EXPECT_EQ(rows[1].isDefault.number, 0);
    EXPECT_EQ(rows[2].entryId.tag, PROP_TAG(PT_ERROR, PROP_ID(PR_ENTRYID)));
    EXPECT_EQ(rows[2].isDefault.number, 1);  // defaultError applies only to "error"
    EXPECT_EQ(rows[3].entryId.bytes, std::string("\x0a\x0b\x0c"));
    LPMDB store = nullptr;
    EXPECT_EQ(
        session->OpenMsgStore(0, 3, reinterpret_cast<LPENTRYID>(const_cast<char*>("\x0a\x0b\x0c")),
                              nullptr, MDB_NO_DIALOG, &store),
        S_OK);
    if (store != nullptr) store->Release();
    session->Release();
    MAPIUninitialize();
}

TEST_F(Profile, MissingFoldersAndPropertiesAreMissing) {
    ASSERT_TRUE(mailsim::LoadProfileText(R"({"stores": [
        {"default": true, "folders": ["Inbox", "Drafts", "Outbox"],
         "draftsEntryIdOnInbox": false}]})"));
    LPMAPISESSION session = Logon();
    const std::vector<Row> rows = StoreRows(session);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name.bytes, "Personal Folders");
    LPMDB store = nullptr;
    ASSERT_EQ(session->OpenMsgStore(
                  0, static_cast<ULONG>(rows[0].entryId.bytes.size()),
                  reinterpret_cast<LPENTRYID>(const_cast<char*>(rows[0].entryId.bytes.data())),
                  nullptr, MDB_NO_DIALOG, &store),
              S_OK);
    HRESULT result = S_OK;
    const OneProp sent = GetOne(store, PR_IPM_SENTMAIL_ENTRYID, &result);
    EXPECT_EQ(result, MAPI_W_ERRORS_RETURNED);
    EXPECT_EQ(sent.number, static_cast<uint32_t>(MAPI_E_NOT_FOUND));
    LPMAPIFOLDER inbox = OpenReceiveFolder(store, 0);
    ASSERT_NE(inbox, nullptr);
    GetOne(inbox, PR_IPM_DRAFTS_ENTRYID, &result);
    EXPECT_EQ(result, MAPI_W_ERRORS_RETURNED);
    inbox->Release();
    store->Release();
    session->Release();
    MAPIUninitialize();
}

TEST_F(Profile, BadProfilesAreRefusedWithAReasonAndChangeNothing) {
    ASSERT_TRUE(mailsim::LoadProfileText(R"({"stores": [{"displayName": "Kept"}]})"));
    const char* bad[] = {
        "{",
        "[]",
        R"({"stores": {}})",
        R"({"logon": "often"})",
        R"({"stores": [{"default": "maybe"}]})",
        R"({"addressBook": [{"address": "x"}]})",
        R"({"addressBook": [{"displayName": "x", "objectType": "robot"}]})",
        R"({"faults": [{"call": "MAPILogonEx", "result": 1, "nth": 0}]})",
        R"({"stores": [{"folders": [{"name": "Inbox", "messages": [{"0x0C190102": {"addressEntry": "Nobody"}}]}]}]})",
    };
    for (const char* text : bad) {
        std::string error;
        EXPECT_FALSE(mailsim::LoadProfileText(text, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
    LPMAPISESSION session = Logon();
    const std::vector<Row> rows = StoreRows(session);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name.bytes, "Kept");
    session->Release();
    MAPIUninitialize();
}

TEST_F(Profile, SimpleMapiLibraryAndExportCanBeTakenAway) {
    EXPECT_NE(LoadLibraryA("mapi32.dll"), nullptr);
    ASSERT_TRUE(mailsim::LoadProfileText(R"({"simpleMapi": {"sendMail": false}})"));
    HMODULE module = LoadLibraryA("MAPI32.DLL");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(GetProcAddress(module, "MAPISendMail"), nullptr);
    FreeLibrary(module);
    FreeLibrary(module);
    ASSERT_TRUE(mailsim::LoadProfileText(R"({"simpleMapi": {"library": false}})"));
    EXPECT_EQ(LoadLibraryA("MAPI32.DLL"), nullptr);
}

}  // namespace
