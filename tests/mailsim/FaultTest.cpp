// Injected faults: which call fails, and that it does nothing else.
#include "MailsimTesting.h"

#include <vector>

namespace {

class Faults : public MailsimTest {};

// Calls OpenAddressBook n times and returns the results.
std::vector<HRESULT> OpenBooks(LPMAPISESSION session, int n) {
    std::vector<HRESULT> results;
    for (int i = 0; i < n; ++i) {
        LPADRBOOK book = nullptr;
        results.push_back(session->OpenAddressBook(0, nullptr, AB_NO_DIALOG, &book));
        if (book != nullptr) book->Release();
    }
    return results;
}

TEST_F(Faults, NthCallOrEveryCall) {
    struct Case {
        unsigned nth;
        std::vector<HRESULT> expected;
    };
    const Case cases[] = {
        {1, {E_FAIL, S_OK, S_OK}},
        {2, {S_OK, E_FAIL, S_OK}},
        {4, {S_OK, S_OK, S_OK}},
        {0, {E_FAIL, E_FAIL, E_FAIL}},
    };
    for (const Case& c : cases) {
        mailsim::Reset();
        mailsim::InjectFault("IMAPISession::OpenAddressBook", E_FAIL, c.nth);
        LPMAPISESSION session = Logon();
        EXPECT_EQ(OpenBooks(session, 3), c.expected) << "nth " << c.nth;
        EXPECT_EQ(mailsim::CallCount("IMAPISession::OpenAddressBook"), 3u);
        session->Release();
        MAPIUninitialize();
        EXPECT_EQ(mailsim::GetAccounting().references, 0) << "nth " << c.nth;
    }
}

TEST_F(Faults, AFaultedCallLeavesItsOutputsAlone) {
    mailsim::InjectFault("IMAPIFolder::CreateMessage", MAPI_E_NO_ACCESS);
    LPMAPISESSION session = Logon();
    LPMAPITABLE table = nullptr;
    ASSERT_EQ(session->GetMsgStoresTable(0, &table), S_OK);
    LPSRowSet rows = nullptr;
    ASSERT_EQ(table->QueryRows(1, 0, &rows), S_OK);
    LPMDB store = nullptr;
    ASSERT_EQ(
        session->OpenMsgStore(0, rows->aRow[0].lpProps[1].Value.bin.cb,
                              reinterpret_cast<LPENTRYID>(rows->aRow[0].lpProps[1].Value.bin.lpb),
                              nullptr, MDB_NO_DIALOG | MAPI_BEST_ACCESS, &store),
        S_OK);
    FreeProws(rows);
    table->Release();
    const OneProp outbox = GetOne(store, PR_IPM_OUTBOX_ENTRYID);
    ULONG type = 0;
    LPUNKNOWN folder = nullptr;
    ASSERT_EQ(store->OpenEntry(static_cast<ULONG>(outbox.bytes.size()),
                               reinterpret_cast<LPENTRYID>(const_cast<char*>(outbox.bytes.data())),
                               nullptr, MAPI_MODIFY, &type, &folder),
              S_OK);
    EXPECT_EQ(type, MAPI_FOLDER);
    LPMESSAGE sentinel = reinterpret_cast<LPMESSAGE>(0x1234);
    LPMESSAGE message = sentinel;
    EXPECT_EQ(static_cast<LPMAPIFOLDER>(folder)->CreateMessage(nullptr, 0, &message),
              MAPI_E_NO_ACCESS);
    EXPECT_EQ(message, sentinel);
    EXPECT_EQ(mailsim::GetAccounting().references, 3);  // session, store, folder: no message
    folder->Release();
    store->Release();
    session->Release();
    MAPIUninitialize();
}

TEST_F(Faults, FunctionsAndProfileFaults) {
    ASSERT_TRUE(mailsim::LoadProfileText(R"({"faults": [
        {"call": "MAPIAllocateBuffer", "result": "0x8007000E", "nth": 2},
        {"call": "MAPILogonEx", "result": 2147746065}]})"));
    LPVOID first = nullptr;
    LPVOID second = reinterpret_cast<LPVOID>(1);
    EXPECT_EQ(MAPIAllocateBuffer(8, &first), S_OK);
    EXPECT_EQ(MAPIAllocateBuffer(8, &second), E_OUTOFMEMORY);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(mailsim::GetAccounting().buffers, 1);
    MAPIFreeBuffer(first);

    EXPECT_EQ(MAPIInitialize(nullptr), S_OK);
    LPMAPISESSION session = nullptr;
    EXPECT_EQ(MAPILogonEx(0, nullptr, nullptr, MAPI_EXTENDED, &session), MAPI_E_LOGON_FAILED);
    EXPECT_EQ(session, nullptr);
    MAPIUninitialize();
    EXPECT_EQ(mailsim::CallLog(),
              (std::vector<std::string>{"MAPIAllocateBuffer", "MAPIAllocateBuffer",
                                        "MAPIInitialize", "MAPILogonEx", "MAPIUninitialize"}));
}

TEST_F(Faults, ProfileResultsForInitializeLogonAndSendDialog) {
    ASSERT_TRUE(
        mailsim::LoadProfileText(R"({"initialize": "0x80004005", "simpleMapi": {"result": 3}})"));
    EXPECT_EQ(MAPIInitialize(nullptr), E_FAIL);
    LPMAPISESSION session = nullptr;
    EXPECT_EQ(MAPILogonEx(0, nullptr, nullptr, MAPI_EXTENDED, &session), MAPI_E_NOT_INITIALIZED);
    MapiMessage message{};
    EXPECT_EQ(MAPISendMail(0, 0, &message, MAPI_DIALOG, 0), 3u);
    mailsim::InjectFault("MAPISendMail", 2, 0);
    EXPECT_EQ(MAPISendMail(0, 0, &message, MAPI_DIALOG, 0), 2u);
    EXPECT_EQ(mailsim::Transcript()["sends"].size(), 1u);  // the faulted call recorded nothing
}

// A long run (an attachment streamed in small pieces) keeps every count
// exact but only the most recent calls in the log, so the log stays small.
TEST_F(Faults, LogKeepsTheRecentCallsAndCountsThemAll) {
    for (int i = 0; i < 10000; ++i) {
        LPVOID buffer = nullptr;
        ASSERT_EQ(MAPIAllocateBuffer(8, &buffer), S_OK);
        MAPIFreeBuffer(buffer);
    }
    EXPECT_EQ(MAPIInitialize(nullptr), S_OK);
    MAPIUninitialize();
    EXPECT_EQ(mailsim::CallCount("MAPIAllocateBuffer"), 10000u);
    const std::vector<std::string> log = mailsim::CallLog();
    ASSERT_EQ(log.size(), 4096u);
    EXPECT_EQ(log[4093], "MAPIAllocateBuffer");
    EXPECT_EQ(log[4094], "MAPIInitialize");
    EXPECT_EQ(log[4095], "MAPIUninitialize");
}

}  // namespace
