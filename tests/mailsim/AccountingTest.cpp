// The accounting catches what the program under test fails to hand back,
// and what it hands back once too often, without crashing.
#include "MailsimTesting.h"

namespace {

class Accounting : public MailsimTest {};

TEST_F(Accounting, CountsReferencesUntilReleased) {
    LPMAPISESSION session = Logon();
    LPADRBOOK book = nullptr;
    ASSERT_EQ(session->OpenAddressBook(0, nullptr, AB_NO_DIALOG, &book), S_OK);
    EXPECT_EQ(mailsim::GetAccounting().references, 2);
    book->AddRef();
    EXPECT_EQ(mailsim::GetAccounting().references, 3);
    book->Release();
    book->Release();
    EXPECT_EQ(mailsim::GetAccounting().references, 1);
    session->Release();
    MAPIUninitialize();
}

TEST_F(Accounting, ALeakedReferenceStaysOutstanding) {
    checkBalanceAtEnd = false;
    LPMAPISESSION session = Logon();
    LPMAPITABLE table = nullptr;
    ASSERT_EQ(session->GetMsgStoresTable(0, &table), S_OK);
    session->Release();
    MAPIUninitialize();
    EXPECT_EQ(mailsim::GetAccounting().references, 1);  // the table
    EXPECT_EQ(mailsim::Transcript()["outstanding"]["references"], 1);
    // Reset starts the count again; the leaked table still works.
    mailsim::Reset();
    EXPECT_EQ(mailsim::GetAccounting().references, 0);
    EXPECT_EQ(table->Release(), 0u);
}

TEST_F(Accounting, AReleaseTooManyIsCountedNotFatal) {
    checkBalanceAtEnd = false;
    LPMAPISESSION session = Logon();
    EXPECT_EQ(session->Release(), 0u);
    EXPECT_EQ(session->Release(), 0u);
    LPMAPITABLE table = nullptr;
    session->GetMsgStoresTable(0, &table);  // a call on a released object
    const mailsim::Accounting a = mailsim::GetAccounting();
    EXPECT_EQ(a.overReleases, 1u);
    EXPECT_EQ(a.callsAfterRelease, 1u);
    EXPECT_EQ(a.references, 1);  // the table handed out regardless
    if (table != nullptr) table->Release();
    MAPIUninitialize();
}

TEST_F(Accounting, BuffersAndTheirChainedBlocksAreFreedTogether) {
    LPVOID root = nullptr;
    LPVOID more1 = nullptr;
    LPVOID more2 = nullptr;
    ASSERT_EQ(MAPIAllocateBuffer(16, &root), S_OK);
    ASSERT_EQ(MAPIAllocateMore(32, root, &more1), S_OK);
    ASSERT_EQ(MAPIAllocateMore(8, more1, &more2), S_OK);  // chained through another block
    EXPECT_EQ(mailsim::GetAccounting().buffers, 1);
    // A chained block is not a buffer of its own.
    EXPECT_NE(MAPIFreeBuffer(more1), 0u);
    EXPECT_EQ(mailsim::GetAccounting().invalidFrees, 1u);
    EXPECT_EQ(MAPIFreeBuffer(root), 0u);
    EXPECT_EQ(mailsim::GetAccounting().buffers, 0);
    EXPECT_EQ(MAPIFreeBuffer(nullptr), 0u);
    mailsim::Reset();  // forget the deliberate misuse
}

TEST_F(Accounting, DoubleFreeAndStrayPointersAreCounted) {
    checkBalanceAtEnd = false;
    LPVOID buffer = nullptr;
    ASSERT_EQ(MAPIAllocateBuffer(4, &buffer), S_OK);
    MAPIFreeBuffer(buffer);
    MAPIFreeBuffer(buffer);
    int local = 0;
    MAPIFreeBuffer(&local);
    EXPECT_EQ(mailsim::GetAccounting().invalidFrees, 2u);
    EXPECT_EQ(mailsim::GetAccounting().buffers, 0);
    EXPECT_EQ(mailsim::Transcript()["misuse"]["invalidFrees"], 2);
}

TEST_F(Accounting, RowSetsFreeWithFreeProws) {
    LPMAPISESSION session = Logon();
    LPMAPITABLE table = nullptr;
    ASSERT_EQ(session->GetMsgStoresTable(0, &table), S_OK);
    LPSRowSet rows = nullptr;
    ASSERT_EQ(table->QueryRows(1, 0, &rows), S_OK);
    ASSERT_EQ(rows->cRows, 1u);
    EXPECT_EQ(mailsim::GetAccounting().buffers, 2);  // the set and the row's values
    FreeProws(rows);
    ASSERT_EQ(table->QueryRows(1, 0, &rows), S_OK);
    EXPECT_EQ(rows->cRows, 0u);  // exhausted: still a row set to free
    FreeProws(rows);
    table->Release();
    session->Release();
    MAPIUninitialize();
}

}  // namespace
