// The Drafts compose road end to end against the simulated client: what the
// form receives, in which order it was filled, and the two message boxes.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <set>

#include "MapiTestSupport.h"
#include "mapi/ComposeViaDrafts.h"
#include "mapi/MapiFolder.h"
#include "tests/RequestForTest.h"

namespace {

using nlohmann::json;

class ComposeViaDraftsTest : public MapiTest {
protected:
    int Compose(const char* to, const char* cc, const char* bcc, const char* subject,
                const char* body, const char* attachment) {
        StartSession();
        const RequestForTest request(to, cc, bcc, subject, body, attachment);
        return ComposeViaDrafts(&session, *request);
    }
    static json Transcript() { return mailsim::Transcript(); }
};

}  // namespace

TEST_F(ComposeViaDraftsTest, FullRequestFillsTheFormInOrder) {
    char dir[] = "/tmp/quillora-compose-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string readme = std::string(dir) + "/README";
    std::ofstream(readme) << "read me";

    const size_t mark = mailsim::CallLog().size();
    EXPECT_EQ(Compose("Alice Example;Nobody Known;dave@example.org", "Bob Example",
                      "carol@example.org", "Report", "Line1\nLine2", readme.c_str()),
              0);
    std::system(("rm -rf '" + std::string(dir) + "'").c_str());

    const json t = Transcript();
    ASSERT_EQ(t["forms"].size(), 1u);
    const json& form = t["forms"][0];
    EXPECT_EQ(form["folder"], "Drafts");
    ASSERT_EQ(form["recipients"].size(), 4u);
    const std::pair<const char*, int> expected[] = {{"Alice Example", MAPI_TO},
                                                    {"dave@example.org", MAPI_TO},
                                                    {"Bob Example", MAPI_CC},
                                                    {"carol@example.org", MAPI_BCC}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(form["recipients"][i]["displayName"], expected[i].first);
        EXPECT_EQ(form["recipients"][i]["type"], expected[i].second);
    }
    EXPECT_EQ(form["subject"], "Report");
    EXPECT_EQ(form["body"], "Line1\nLine2");
    EXPECT_EQ(form["editorFormat"], 1);
    EXPECT_EQ(form["importance"], nullptr);
    EXPECT_NE(form["sentMailEntryId"], nullptr);
    EXPECT_EQ(form["messageFlags"], 0x28);
    ASSERT_EQ(form["attachments"].size(), 1u);
    EXPECT_EQ(form["attachments"][0]["longFilename"], "README");
    EXPECT_TRUE(t["messageBoxes"].empty());

    // Recipients, then subject, body and attachment, then the form.
    const std::set<std::string> steps = {
        "IMAPIFolder::CreateMessage", "IMessage::ModifyRecipients", "IStream::Write",
        "IMessage::CreateAttach",     "IMAPISession::PrepareForm",  "IMAPISession::ShowForm"};
    std::vector<std::string> order;
    for (const std::string& call : LogSince(mark)) {
        if (steps.count(call) && (order.empty() || order.back() != call)) order.push_back(call);
    }
    const std::vector<std::string> expectedOrder = {"IMAPIFolder::CreateMessage",
                                                    "IMessage::ModifyRecipients",
                                                    "IStream::Write",
                                                    "IMessage::CreateAttach",
                                                    "IStream::Write",
                                                    "IMAPISession::PrepareForm",
                                                    "IMAPISession::ShowForm"};
    EXPECT_EQ(order, expectedOrder);
}

TEST_F(ComposeViaDraftsTest, EmptyRequestShowsAnEmptyMessage) {
    EXPECT_EQ(Compose(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    const json form = Transcript()["forms"][0];
    EXPECT_TRUE(form["recipients"].empty());
    EXPECT_EQ(form["subject"], nullptr);
    EXPECT_EQ(form["body"], nullptr);
    EXPECT_TRUE(form["attachments"].empty());
    EXPECT_EQ(mailsim::CallCount("IMAPISession::OpenAddressBook"), 0u);
}

TEST_F(ComposeViaDraftsTest, AShownFormSucceedsWhateverTheUserDid) {
    for (const char* showForm : {"0", "0x80040113"}) {
        SCOPED_TRACE(showForm);
        TearDown();
        UseProfile(std::string(R"({"showForm": ")") + showForm + "\"}");
        EXPECT_EQ(Compose("Alice Example", nullptr, nullptr, "S", nullptr, "/nonexistent/q.pdf"),
                  0);
        const json t = Transcript();
        ASSERT_EQ(t["forms"].size(), 1u);
        EXPECT_TRUE(t["forms"][0]["attachments"].empty());
        EXPECT_TRUE(t["messageBoxes"].empty());
    }
}

// Without a form the message exists nowhere: the road fails, so that the
// dispatch offers the send dialog, and shows no message box of its own.
TEST_F(ComposeViaDraftsTest, AFormThatWasNotShownFailsTheRoad) {
    // The message class is the last message property read before the form.
    ASSERT_EQ(Compose(nullptr, nullptr, nullptr, "S", nullptr, nullptr), 0);
    unsigned classRead = 0;
    for (const std::string& call : mailsim::CallLog()) {
        if (call == "IMAPISession::ShowForm") break;
        if (call == "IMessage::GetProps") ++classRead;
    }
    struct Row {
        const char* what;
        const char* profile;
        const char* call;  // to fail, or null
        unsigned nth;
    };
    const Row rows[] = {
        {"PrepareForm fails", "{}", "IMAPISession::PrepareForm", 1},
        {"message class unreadable", "{}", "IMessage::GetProps", classRead},
        {"ShowForm fails", R"({"showForm": "0x80004005"})", nullptr, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TearDown();
        UseProfile(row.profile);
        if (row.call) mailsim::InjectFault(row.call, E_FAIL, row.nth);
        EXPECT_EQ(Compose("Alice Example", nullptr, nullptr, "S", nullptr, nullptr), -1);
        const json t = Transcript();
        EXPECT_TRUE(t["messageBoxes"].empty());
        EXPECT_EQ(mailsim::CallCount("IMAPISession::ShowForm"), row.call ? 0u : 1u);
    }
}

TEST_F(ComposeViaDraftsTest, FailuresBeforeAMessageExistsShowABoxAndFail) {
    struct Row {
        const char* profile;
        const char* call;  // to fail, or null
        const char* text;
    };
    const Row rows[] = {
        {R"({"stores": [{"default": true, "draftsEntryIdOnInbox": false}]})", nullptr,
         "Unable to open folder 'Drafts'."},
        {"{}", "IMsgStore::GetReceiveFolder", "Unable to open folder 'Drafts'."},
        {"{}", "IMAPIFolder::CreateMessage", "Unable to create message."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        TearDown();
        UseProfile(row.profile);
        if (row.call) mailsim::InjectFault(row.call, E_FAIL, 1);
        EXPECT_EQ(Compose("Alice Example", nullptr, nullptr, "S", "B", nullptr), -1);
        const json t = Transcript();
        EXPECT_TRUE(t["forms"].empty());
        ASSERT_EQ(t["messageBoxes"].size(), 1u);
        EXPECT_EQ(t["messageBoxes"][0]["caption"], "Quillora");
        EXPECT_EQ(t["messageBoxes"][0]["text"], row.text);
        EXPECT_EQ(t["messageBoxes"][0]["style"], MB_OK);
        EXPECT_EQ(mailsim::CallCount("IAddrBook::ResolveName"), 0u);
    }
}
