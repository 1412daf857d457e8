// The Extended MAPI road whole: MAPI started and stopped around the Drafts
// compose on every path, in order, and the road's failure record told the
// first call that failed or why the road refused.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "MapiTestSupport.h"
#include "mapi/ComposeViaExtendedMapi.h"

namespace {

class ComposeViaExtendedMapiTest : public MapiTest {};

// What the road's failure record says, as the report would put it.
std::string Said(const RoadFailure& failure) {
    if (failure.refusal) return failure.refusal;
    if (!failure.call) return "";
    char code[16];
    std::snprintf(code, sizeof code, " 0x%08X", static_cast<unsigned>(failure.code));
    return failure.call + std::string(code);
}

// How far the road got: its set-up calls, the form and MAPI's end.
enum Reached { kInitialize, kLogon, kStore, kForm };

std::vector<std::string> StepsUpTo(Reached reached) {
    const char* const steps[] = {"MAPIInitialize", "MAPILogonEx", "IMAPISession::OpenMsgStore",
                                 "IMAPISession::ShowForm"};
    std::vector<std::string> expected(steps, steps + reached + 1);
    expected.push_back("MAPIUninitialize");
    return expected;
}

}  // namespace

TEST_F(ComposeViaExtendedMapiTest, StartsAndStopsMapiAroundTheComposeOnEveryPath) {
    struct Row {
        const char* profile;
        const char* fault;  // a call to fail, or null
        unsigned nth;       // the one of its calls that fails
        int result;
        const char* said;
        Reached reached;
    };
    const char* const noDraftsFolder = R"({"stores": [{"default": true,
                                           "folders": ["Inbox", "Outbox"]}]})";
    const char* const noDraftsOnInbox = R"({"stores": [{"default": true,
                                            "draftsEntryIdOnInbox": false}]})";
    const Row rows[] = {
        {"{}", nullptr, 0, 0, "", kForm},
        {R"({"initialize": "0x80004005"})", nullptr, 0, -1, "MAPIInitialize 0x80004005",
         kInitialize},
        {R"({"logon": "0x80040111"})", nullptr, 0, -1, "MAPILogonEx 0x80040111", kLogon},
        {R"({"stores": [{"displayName": "Archive", "default": false}]})", nullptr, 0, -1,
         "no default message store", kLogon},
        {"{}", "IMAPIFolder::CreateMessage", 1, -1, "IMAPIFolder::CreateMessage 0x80004005",
         kStore},
        // Drafts is found through the Inbox (its own identifier is the
        // Inbox's first GetProps): the report names the call that failed, or
        // that there was nothing to open.
        {"{}", "IMAPIFolder::GetProps", 2, -1, "IMAPIFolder::GetProps 0x80004005", kStore},
        {"{}", "IMsgStore::OpenEntry", 2, -1, "IMsgStore::OpenEntry 0x80004005", kStore},
        {noDraftsFolder, nullptr, 0, -1, "the store names no Drafts folder", kStore},
        {noDraftsOnInbox, nullptr, 0, -1, "the store names no Drafts folder", kStore},
    };
    const std::vector<std::string> whole = StepsUpTo(kForm);
    const std::set<std::string> watched(whole.begin(), whole.end());
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.profile) + " " + (row.fault ? row.fault : ""));
        TearDown();
        UseProfile(row.profile);
        if (row.fault) mailsim::InjectFault(row.fault, E_FAIL, row.nth);
        RoadFailure failure;
        EXPECT_EQ(ComposeViaExtendedMapi({"Alice Example", nullptr, nullptr, "S", "B", nullptr},
                                         &failure),
                  row.result);
        EXPECT_EQ(Said(failure), row.said);
        std::vector<std::string> steps;
        for (const std::string& call : mailsim::CallLog()) {
            if (watched.count(call)) steps.push_back(call);
        }
        EXPECT_EQ(steps, StepsUpTo(row.reached));
        // Everything was given back before MAPI stopped.
        EXPECT_EQ(mailsim::CallLog().back(), "MAPIUninitialize");
    }
}
