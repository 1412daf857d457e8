// ResolveName: which names resolve, and what happens to the caller's
// property arrays (replaced and freed when resolved, untouched otherwise).
#include "MailsimTesting.h"

#include <cstring>

namespace {

const char* kBook = R"({"addressBook": [
    {"displayName": "Alice Example", "addressType": "SMTP", "address": "alice@example.com",
     "smtpAddress": "alice@example.com"},
    {"displayName": "Carol Example", "addressType": "EX", "address": "/o=Org/cn=carol",
     "smtpAddress": "carol@example.com"},
    {"displayName": "Sales Team", "addressType": "MAPIPDL", "address": "sales",
     "objectType": "distlist"},
    {"displayName": "Sam", "addressType": "SMTP", "address": "sam1@example.com"},
    {"displayName": "Sam", "addressType": "SMTP", "address": "sam2@example.com"}],
  "oneOffSmtp": ONEOFF})";

std::string Book(bool oneOff) {
    std::string text = kBook;
    text.replace(text.find("ONEOFF"), 6, oneOff ? "true" : "false");
    return text;
}

class ResolveName : public MailsimTest {
protected:
    // An address list of one entry built as the program builds it: two
    // separate MAPI buffers, the values pointing at the caller's text.
    LPADRLIST NewList(const char* name, ULONG type) {
        LPVOID list = nullptr;
        EXPECT_EQ(MAPIAllocateBuffer(CbNewADRLIST(1), &list), S_OK);
        std::memset(list, 0, CbNewADRLIST(1));
        LPADRLIST adrList = static_cast<LPADRLIST>(list);
        adrList->cEntries = 1;
        adrList->aEntries[0].cValues = 2;
        LPVOID values = nullptr;
        EXPECT_EQ(MAPIAllocateBuffer(2 * sizeof(SPropValue), &values), S_OK);
        std::memset(values, 0, 2 * sizeof(SPropValue));
        LPSPropValue v = static_cast<LPSPropValue>(values);
        v[0].ulPropTag = PR_RECIPIENT_TYPE;
        v[0].Value.l = static_cast<LONG>(type);
        v[1].ulPropTag = PR_DISPLAY_NAME;
        v[1].Value.lpszA = const_cast<LPSTR>(name);
        adrList->aEntries[0].rgPropVals = v;
        return adrList;
    }

    static std::string Text(const ADRENTRY& entry, ULONG tag) {
        for (ULONG i = 0; i < entry.cValues; ++i) {
            if (entry.rgPropVals[i].ulPropTag == tag) return entry.rgPropVals[i].Value.lpszA;
        }
        return "(none)";
    }
    static LONG Long(const ADRENTRY& entry, ULONG tag) {
        for (ULONG i = 0; i < entry.cValues; ++i) {
            if (entry.rgPropVals[i].ulPropTag == tag) return entry.rgPropVals[i].Value.l;
        }
        return -1;
    }
};

TEST_F(ResolveName, NamesAndTheirResults) {
    struct Case {
        const char* name;
        bool oneOff;
        HRESULT result;
        const char* displayName;  // after resolution
        const char* addressType;
        const char* address;
        LONG objectType;
    };
    const Case cases[] = {
        {"Alice Example", false, S_OK, "Alice Example", "SMTP", "alice@example.com", MAPI_MAILUSER},
        {"  alice example ", false, S_OK, "Alice Example", "SMTP", "alice@example.com",
         MAPI_MAILUSER},
        {"ALICE@example.com", false, S_OK, "Alice Example", "SMTP", "alice@example.com",
         MAPI_MAILUSER},
        {"carol@example.com", false, S_OK, "Carol Example", "EX", "/o=Org/cn=carol", MAPI_MAILUSER},
        {"sales team", false, S_OK, "Sales Team", "MAPIPDL", "sales", MAPI_DISTLIST},
        {"Sam", true, MAPI_E_AMBIGUOUS_RECIP, nullptr, nullptr, nullptr, 0},
        {"dora@example.org", false, MAPI_E_NOT_FOUND, nullptr, nullptr, nullptr, 0},
        {" dora@example.org", true, S_OK, "dora@example.org", "SMTP", "dora@example.org",
         MAPI_MAILUSER},
        {"dora@localhost", true, MAPI_E_NOT_FOUND, nullptr, nullptr, nullptr, 0},
        {"two words@example.org", true, MAPI_E_NOT_FOUND, nullptr, nullptr, nullptr, 0},
        {"", true, MAPI_E_NOT_FOUND, nullptr, nullptr, nullptr, 0},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(mailsim::LoadProfileText(Book(c.oneOff)));
        LPMAPISESSION session = Logon();
        LPADRBOOK book = nullptr;
        ASSERT_EQ(session->OpenAddressBook(0, nullptr, AB_NO_DIALOG, &book), S_OK);
        LPADRLIST list = NewList(c.name, MAPI_CC);
        const LPSPropValue callers = list->aEntries[0].rgPropVals;
        EXPECT_EQ(book->ResolveName(0, 0, nullptr, list), c.result) << c.name;
        const ADRENTRY& entry = list->aEntries[0];
        if (c.result == S_OK) {
            EXPECT_NE(entry.rgPropVals, callers) << c.name;
            EXPECT_EQ(Text(entry, PR_DISPLAY_NAME), c.displayName) << c.name;
            EXPECT_EQ(Text(entry, PR_ADDRTYPE), c.addressType) << c.name;
            EXPECT_EQ(Text(entry, PR_EMAIL_ADDRESS), c.address) << c.name;
            EXPECT_EQ(Long(entry, PR_OBJECT_TYPE), c.objectType) << c.name;
            EXPECT_EQ(Long(entry, PR_RECIPIENT_TYPE), static_cast<LONG>(MAPI_CC)) << c.name;
            // The caller's array was freed; the new one is one live buffer.
            EXPECT_EQ(mailsim::GetAccounting().buffers, 2) << c.name;
            // The resolved entry opens in the address book.
            for (ULONG i = 0; i < entry.cValues; ++i) {
                if (entry.rgPropVals[i].ulPropTag != PR_ENTRYID) continue;
                ULONG type = 0;
                LPUNKNOWN object = nullptr;
                EXPECT_EQ(
                    book->OpenEntry(entry.rgPropVals[i].Value.bin.cb,
                                    reinterpret_cast<LPENTRYID>(entry.rgPropVals[i].Value.bin.lpb),
                                    nullptr, MAPI_BEST_ACCESS, &type, &object),
                    S_OK);
                EXPECT_EQ(static_cast<LONG>(type), c.objectType) << c.name;
                if (object != nullptr) object->Release();
            }
        } else {
            EXPECT_EQ(entry.rgPropVals, callers) << c.name;
            EXPECT_EQ(entry.cValues, 2u) << c.name;
        }
        FreePadrlist(list);
        book->Release();
        session->Release();
        MAPIUninitialize();
        const mailsim::Accounting a = mailsim::GetAccounting();
        EXPECT_EQ(a.buffers, 0) << c.name;
        EXPECT_EQ(a.references, 0) << c.name;
        EXPECT_EQ(a.invalidFrees, 0u) << c.name;
    }
}

TEST_F(ResolveName, MailUsersWithAndWithoutSmtpAddress) {
    ASSERT_TRUE(mailsim::LoadProfileText(R"({"addressBook": [
        {"displayName": "Ex", "addressType": "EX", "address": "/o=x"},
        {"displayName": "Both", "addressType": "EX", "address": "/o=y", "smtpAddress": "y@example.com"}]})"));
    LPMAPISESSION session = Logon();
    LPADRBOOK book = nullptr;
    ASSERT_EQ(session->OpenAddressBook(0, nullptr, AB_NO_DIALOG, &book), S_OK);
    const char* names[] = {"Ex", "Both"};
    const HRESULT smtpResult[] = {MAPI_W_ERRORS_RETURNED, S_OK};
    for (int i = 0; i < 2; ++i) {
        LPADRLIST list = NewList(names[i], MAPI_TO);
        ASSERT_EQ(book->ResolveName(0, 0, nullptr, list), S_OK);
        const SPropValue* id = nullptr;
        for (ULONG j = 0; j < list->aEntries[0].cValues; ++j) {
            if (list->aEntries[0].rgPropVals[j].ulPropTag == PR_ENTRYID)
                id = &list->aEntries[0].rgPropVals[j];
        }
        ASSERT_NE(id, nullptr);
        ULONG type = 0;
        LPUNKNOWN user = nullptr;
        ASSERT_EQ(book->OpenEntry(id->Value.bin.cb, reinterpret_cast<LPENTRYID>(id->Value.bin.lpb),
                                  nullptr, MAPI_BEST_ACCESS, &type, &user),
                  S_OK);
        HRESULT result = S_OK;
        GetOne(static_cast<LPMAILUSER>(user), PR_SMTP_ADDRESS, &result);
        EXPECT_EQ(result, smtpResult[i]) << names[i];
        EXPECT_EQ(GetOne(static_cast<LPMAILUSER>(user), PR_EMAIL_ADDRESS).bytes,
                  i == 0 ? "/o=x" : "/o=y");
        user->Release();
        FreePadrlist(list);
    }
    book->Release();
    session->Release();
    MAPIUninitialize();
}

}  // namespace

namespace {

// Messages given by the profile open by entry identifier, with their
// properties and the sender's address-book identifier.
TEST_F(ResolveName, ProfileMessagesOpenWithTheirSender) {
    ASSERT_TRUE(mailsim::LoadProfileText(R"({
        "addressBook": [{"displayName": "Carol Example", "addressType": "EX",
                         "address": "/o=Org/cn=carol", "smtpAddress": "carol@example.com"}],
        "stores": [{"default": true, "folders": [{"name": "Inbox", "messages": [
            {"0x0C1A001E": "Carol Example", "0x0C1E001E": "EX",
             "0x0C190102": {"addressEntry": "Carol Example"}, "0x0E070003": 1}]}]}]})"));
    const std::string id = mailsim::MessageEntryId(0, "Inbox", 0);
    ASSERT_FALSE(id.empty());
    LPMAPISESSION session = Logon();
    ULONG type = 0;
    LPUNKNOWN object = nullptr;
    ASSERT_EQ(session->OpenEntry(static_cast<ULONG>(id.size()),
                                 reinterpret_cast<LPENTRYID>(const_cast<char*>(id.data())), nullptr,
                                 MAPI_BEST_ACCESS, &type, &object),
              S_OK);
    EXPECT_EQ(type, MAPI_MESSAGE);
    LPMESSAGE message = static_cast<LPMESSAGE>(object);
    EXPECT_EQ(GetOne(message, PR_SENDER_ADDRTYPE).bytes, "EX");
    EXPECT_EQ(GetOne(message, PR_SENDER_ENTRYID).bytes, mailsim::AddressEntryId("Carol Example"));
    EXPECT_EQ(GetOne(message, PR_MESSAGE_FLAGS).number, 1);
    message->Release();
    session->Release();
    MAPIUninitialize();
}

}  // namespace
