// The Extended MAPI road whole: MAPI stopped again on every path, after
// everything was given back, and the road's failure record told the first
// call that failed or why the road refused.
#include "MapiTestSupport.h"
#include "mapi/ComposeViaExtendedMapi.h"

namespace {
class ComposeViaExtendedMapiTest : public MapiTest {};
}  // namespace

TEST_F(ComposeViaExtendedMapiTest, StopsMapiOnEveryPathAndSaysWhyItFailed) {
    struct Row {
        const char* profile;
        const char* fault;  // a call to fail, or null
        unsigned nth;       // the one of its calls that fails
        const char* said;   // the call noted, or the refusal; null: the form was shown
    };
    const Row rows[] = {
        {"{}", nullptr, 0, nullptr},
        {R"({"initialize": "0x80004005"})", nullptr, 0, "MAPIInitialize"},
        {R"({"logon": "0x80040111"})", nullptr, 0, "MAPILogonEx"},
        {R"({"stores": [{"default": false}]})", nullptr, 0, "no default message store"},
        {"{}", "IMAPIFolder::CreateMessage", 1, "IMAPIFolder::CreateMessage"},
        // Drafts is found through the Inbox, whose own identifier is its
        // first GetProps: a call that failed, or nothing to open.
        {"{}", "IMAPIFolder::GetProps", 2, "IMAPIFolder::GetProps"},
        {"{}", "IMsgStore::OpenEntry", 2, "IMsgStore::OpenEntry"},
        {R"({"stores": [{"default": true, "folders": ["Inbox", "Outbox"]}]})", nullptr, 0,
         "the store names no Drafts folder"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.said ? row.said : "shown");
        TearDown();
        UseProfile(row.profile);
        if (row.fault) mailsim::InjectFault(row.fault, E_FAIL, row.nth);
        RoadFailure failure;
        EXPECT_EQ(ComposeViaExtendedMapi({"Alice Example", nullptr, nullptr, "S", "B", nullptr},
                                         &failure),
                  row.said ? -1 : 0);
        EXPECT_STREQ(failure.call ? failure.call : failure.refusal, row.said);
        EXPECT_EQ(mailsim::CallCount("MAPIUninitialize"), 1u);
        EXPECT_EQ(mailsim::CallLog().back(), "MAPIUninitialize");
    }
}
