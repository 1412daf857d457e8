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

}  // namespace

TEST_F(ComposeViaExtendedMapiTest, StartsAndStopsMapiAroundTheComposeOnEveryPath) {
    struct Row {
        const char* profile;
        const char* fault;  // a call to fail, or null
        int result;
        const char* said;
        std::vector<std::string> steps;
    };
    const std::vector<std::string> whole = {"MAPIInitialize", "MAPILogonEx",
                                            "IMAPISession::OpenMsgStore", "IMAPISession::ShowForm",
                                            "MAPIUninitialize"};
    const Row rows[] = {
        {"{}", nullptr, 0, "", whole},
        {R"({"initialize": "0x80004005"})",
         nullptr,
         -1,
         "MAPIInitialize 0x80004005",
         {"MAPIInitialize", "MAPIUninitialize"}},
        {R"({"logon": "0x80040111"})",
         nullptr,
         -1,
         "MAPILogonEx 0x80040111",
         {"MAPIInitialize", "MAPILogonEx", "MAPIUninitialize"}},
        {R"({"stores": [{"displayName": "Archive", "default": false}]})",
         nullptr,
         -1,
         "no default message store",
         {"MAPIInitialize", "MAPILogonEx", "MAPIUninitialize"}},
        {"{}",
         "IMAPIFolder::CreateMessage",
         -1,
         "IMAPIFolder::CreateMessage 0x80004005",
         {"MAPIInitialize", "MAPILogonEx", "IMAPISession::OpenMsgStore", "MAPIUninitialize"}},
    };
    const std::set<std::string> watched(whole.begin(), whole.end());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.said);
        TearDown();
        UseProfile(row.profile);
        if (row.fault) mailsim::InjectFault(row.fault, E_FAIL, 1);
        RoadFailure failure;
        EXPECT_EQ(ComposeViaExtendedMapi({"Alice Example", nullptr, nullptr, "S", "B", nullptr},
                                         &failure),
                  row.result);
        EXPECT_EQ(Said(failure), row.said);
        std::vector<std::string> steps;
        for (const std::string& call : mailsim::CallLog()) {
            if (watched.count(call)) steps.push_back(call);
        }
        EXPECT_EQ(steps, row.steps);
        // Everything was given back before MAPI stopped.
        EXPECT_EQ(mailsim::CallLog().back(), "MAPIUninitialize");
    }
}
