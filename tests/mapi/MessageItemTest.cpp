// The message item: creation and its properties, recipients one by one,
// subject and body, the attachment copy, the form, and opening a message.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "MapiTestSupport.h"
#include "ReadFileProbe.h"
#include "mapi/MapiFolder.h"
#include "mapi/MessageItem.h"

namespace {

using nlohmann::json;

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char c : bytes) {
        text += digits[c >> 4];
        text += digits[c & 15];
    }
    return text;
}

// The simulated client's identifier for one of its objects.
std::string SimEntryId(const std::string& payload) {
    return std::string(4, '\0') + "msim:" + payload;
}

SBinary AsSBinary(const std::string& bytes) {
    return SBinary{static_cast<ULONG>(bytes.size()),
                   reinterpret_cast<LPBYTE>(const_cast<char*>(bytes.data()))};
}

class MessageItemTest : public MapiTest {
protected:
    void SetUp() override {
        MapiTest::SetUp();
        ReadFileProbe::Reset();
        char pattern[] = "/tmp/quillora-mapi-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        MapiTest::TearDown();
        std::system(("rm -rf '" + dir + "'").c_str());
    }
    // Starts the session with Drafts as the current folder.
    void StartInDrafts() {
        StartSession();
        ASSERT_NE(session.OpenDrafts(true), nullptr);
    }
    std::string MakeFile(const std::string& name, size_t size) {
        const std::string path = dir + "/" + name;
        std::ofstream out(path, std::ios::binary);
        for (size_t i = 0; i < size; ++i) out.put(static_cast<char>(i * 7 % 251));
        return path;
    }
    // Shows the message and returns what the form received.
    json Shown(MessageItem& message) {
        EXPECT_EQ(message.ShowForm(&session), 1);
        const json forms = mailsim::Transcript()["forms"];
        return forms.empty() ? json() : forms.back();
    }
    std::string dir;
};

}  // namespace

TEST_F(MessageItemTest, CreateWritesFlagsSentHandlingAndImportanceOnlyWhenNotNormal) {
    struct Row {
        LONG importance;
        bool saveToSent;
        bool storeHasSentItems;
        json importanceShown;
        bool sentIdShown;
        json deleteAfterSubmit;
    };
    const Row rows[] = {
        {1, true, true, nullptr, true, nullptr},
        {0, false, true, 0, false, true},
        {2, true, false, 2, false, nullptr},
        {1, false, false, nullptr, false, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << row.importance << " " << row.saveToSent << " " << row.storeHasSentItems);
        TearDown();
        SetUp();
        UseProfile(
            row.storeHasSentItems
                ? R"({"stores": [{"default": true}]})"
                : R"({"stores": [{"default": true, "folders": ["Inbox", "Drafts", "Outbox"]}]})");
        StartInDrafts();
        MessageItem message;
        ASSERT_TRUE(message.Create(&session, row.importance, row.saveToSent, nullptr));
        EXPECT_FALSE(message.entryId.Empty());
        const json form = Shown(message);
        EXPECT_EQ(form["folder"], "Drafts");
        EXPECT_EQ(form["messageFlags"], 0x28);
        EXPECT_EQ(form["importance"], row.importanceShown);
        EXPECT_EQ(form["deleteAfterSubmit"], row.deleteAfterSubmit);
        if (row.sentIdShown) {
            EXPECT_EQ(form["sentMailEntryId"],
                      Hex(BinaryProp(session.store, PR_IPM_SENTMAIL_ENTRYID)));
        } else {
            EXPECT_EQ(form["sentMailEntryId"], nullptr);
        }
    }
}

TEST_F(MessageItemTest, CreateChoosesGivenThenCurrentThenOutbox) {
    StartSession();
    MessageItem message;
    ASSERT_TRUE(message.Create(&session, 1, true, nullptr));
    ASSERT_NE(session.currentFolder, nullptr);  // the Outbox became current
    EXPECT_EQ(Shown(message)["folder"], "Outbox");

    std::unique_ptr<MapiFolder> drafts(session.OpenDrafts(false));
    ASSERT_TRUE(message.Create(&session, 1, true, drafts.get()));
    EXPECT_EQ(mailsim::CallCount("IMAPIFolder::CreateMessage"), 2u);
    EXPECT_EQ(message.entryId.cb > 0, true);
    message.Close();
}

TEST_F(MessageItemTest, CreateFailures) {
    MessageItem message;
    EXPECT_FALSE(message.Create(nullptr, 1, true, nullptr));

    UseProfile(R"({"stores": [{"default": true, "folders": ["Inbox", "Drafts"]}]})");
    StartSession();
    EXPECT_FALSE(message.Create(&session, 1, true, nullptr));  // no folder at all
    EXPECT_EQ(message.object, nullptr);

    ASSERT_NE(session.OpenDrafts(true), nullptr);
    mailsim::InjectFault("IMAPIFolder::CreateMessage", E_FAIL, 1);
    EXPECT_FALSE(message.Create(&session, 1, true, nullptr));
    EXPECT_EQ(message.session, &session);
    EXPECT_EQ(message.object, nullptr);

    // What follows the creation may fail without failing it.
    mailsim::ClearFaults();
    mailsim::InjectFault("IMessage::GetProps", E_FAIL,
                         mailsim::CallCount("IMessage::GetProps") + 1);
    mailsim::InjectFault("IMessage::SetProps", E_FAIL, 0);
    mailsim::InjectFault("IMsgStore::GetProps", E_FAIL, 0);
    EXPECT_TRUE(message.Create(&session, 2, false, nullptr));
    EXPECT_TRUE(message.entryId.Empty());
}

TEST_F(MessageItemTest, RecipientsAreResolvedOneByOne) {
    StartInDrafts();
    MessageItem message;
    ASSERT_TRUE(message.Create(&session, 1, true, nullptr));
    const unsigned books = mailsim::CallCount("IMAPISession::OpenAddressBook");
    EXPECT_TRUE(message.AddRecipient("Alice Example", MAPI_TO, nullptr));
    EXPECT_FALSE(message.AddRecipient("Nobody Known", MAPI_TO, nullptr));
    EXPECT_TRUE(message.AddRecipient("carol@example.org", MAPI_CC, "SMTP"));
    EXPECT_EQ(CallsSince("IMAPISession::OpenAddressBook", books), 3u);

    const json recipients = Shown(message)["recipients"];
    ASSERT_EQ(recipients.size(), 2u);
    EXPECT_EQ(recipients[0]["displayName"], "Alice Example");
    EXPECT_EQ(recipients[0]["type"], MAPI_TO);
    EXPECT_EQ(recipients[1]["address"], "carol@example.org");
    EXPECT_EQ(recipients[1]["type"], MAPI_CC);
}

TEST_F(MessageItemTest, RecipientFailuresAddNothingAndFreeTheList) {
    struct Row {
        const char* call;
        unsigned nth;  // counted from the start of AddRecipient
        bool reachesAddressBook;
    };
    const Row rows[] = {
        {"MAPIAllocateBuffer", 1, false},  // the list
        {"MAPIAllocateBuffer", 2, false},  // the entry's values
        {"IMAPISession::OpenAddressBook", 1, true}, {"IAddrBook::ResolveName", 1, true},
        {"IMessage::ModifyRecipients", 1, true},
    };
    UseProfile(R"({"addressBook": [{"displayName": "Sam", "address": "sam@a.example"},
                                   {"displayName": "Sam", "address": "sam@b.example"}]})");
    StartInDrafts();
    MessageItem message;
    ASSERT_TRUE(message.Create(&session, 1, true, nullptr));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.call);
        mailsim::InjectFault(row.call, E_FAIL, mailsim::CallCount(row.call) + row.nth);
        const unsigned books = mailsim::CallCount("IMAPISession::OpenAddressBook");
        EXPECT_FALSE(message.AddRecipient("someone@example.org", MAPI_BCC, nullptr));
        EXPECT_EQ(CallsSince("IMAPISession::OpenAddressBook", books) > 0, row.reachesAddressBook);
        EXPECT_EQ(Buffers(), 0);
        mailsim::ClearFaults();
    }
    EXPECT_FALSE(message.AddRecipient("Sam", MAPI_TO, nullptr));  // ambiguous
    EXPECT_TRUE(Shown(message)["recipients"].empty());

    MessageItem empty;
    const unsigned allocations = mailsim::CallCount("MAPIAllocateBuffer");
    EXPECT_FALSE(empty.AddRecipient("Alice Example", MAPI_TO, nullptr));
    EXPECT_EQ(CallsSince("MAPIAllocateBuffer", allocations), 0u);
}

TEST_F(MessageItemTest, SubjectAndBody) {
    StartInDrafts();
    MessageItem message;
    EXPECT_FALSE(message.SetSubject("Kept"));  // no message yet: only the member
    EXPECT_EQ(message.subject, "Kept");
    EXPECT_FALSE(message.SetBody("x"));
    ASSERT_TRUE(message.Create(&session, 1, true, nullptr));

    EXPECT_TRUE(message.SetSubject("Old"));
    EXPECT_FALSE(message.SetSubject(nullptr));
    EXPECT_EQ(message.subject, "");
    EXPECT_FALSE(message.SetBody(nullptr));
    json form = Shown(message);
    EXPECT_EQ(form["subject"], "Old");
    EXPECT_EQ(form["body"], nullptr);
    EXPECT_EQ(form["editorFormat"], nullptr);

    // A body that did not reach the stream sets no editor format.
    mailsim::InjectFault("IStream::Write", E_FAIL, mailsim::CallCount("IStream::Write") + 1);
    EXPECT_FALSE(message.SetBody("lost"));
    EXPECT_EQ(Shown(message)["editorFormat"], nullptr);

    EXPECT_TRUE(message.SetBody(""));
    form = Shown(message);
    EXPECT_EQ(form["body"], "");
    EXPECT_EQ(form["editorFormat"], 1);
}

TEST_F(MessageItemTest, AttachmentNamesFollowPathDisplayNameAndContentId) {
    struct Row {
        std::string path;
        const char* displayName;
        const char* contentId;
        std::string fileName;
        json contentIdShown;
        bool contactPhoto;
    };
    const std::string winPath = MakeFile("C:\\data\\report.pdf", 10);
    const std::string slashPath = MakeFile("x.bin", 10);
    MakeFile("report.pdf", 10);
    MakeFile("C:report", 10);
    const Row rows[] = {
        {winPath, nullptr, nullptr, "report.pdf", nullptr, false},
        {slashPath, nullptr, nullptr, "x.bin", nullptr, false},
        {"report.pdf", nullptr, nullptr, "report.pdf", nullptr, false},  // bare name
        {"C:report", nullptr, nullptr, "report", nullptr, false},        // drive-relative
        {slashPath, "", nullptr, "", nullptr, false},
        {slashPath, "Shown As.txt", "cid-7", "Shown As.txt", "cid-7", false},
        {slashPath, "shown.png", "ContactPicture.jpg", "ContactPicture.jpg", nullptr, true},
        {slashPath, "shown.png", "contactpicture.jpg", "shown.png", "contactpicture.jpg", false},
    };
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    StartInDrafts();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path + " / " + (row.displayName ? row.displayName : "(none)") + " / " +
                     (row.contentId ? row.contentId : "(none)"));
        MessageItem message;
        ASSERT_TRUE(message.Create(&session, 1, true, nullptr));
        EXPECT_TRUE(message.AddAttachment(row.path.c_str(), row.displayName, row.contentId));
        const json attachments = Shown(message)["attachments"];
        ASSERT_EQ(attachments.size(), 1u);
        const json& a = attachments[0];
        EXPECT_EQ(a["longFilename"], row.fileName);
        EXPECT_EQ(a["filename"], row.fileName);
        EXPECT_EQ(a["contentId"], row.contentIdShown);
        EXPECT_EQ(a["contactPhoto"], row.contactPhoto);
        EXPECT_EQ(a["method"], ATTACH_BY_VALUE);
        EXPECT_EQ(a["renderingPosition"], -1);
        EXPECT_EQ(a["size"], 10);
    }
    ASSERT_EQ(chdir(here), 0);
}

TEST_F(MessageItemTest, AttachmentArrivesWholeAtAnySize) {
    // Sizes on either side of each power of two from 512 bytes to 64 KiB,
    // so that no size of buffer the copy might use is missed, and one of
    // several MiB.
    std::vector<size_t> sizes = {0, 1, 5 * 1024 * 1024 + 7};
    for (size_t power = 512; power <= 64 * 1024; power *= 2) {
        sizes.insert(sizes.end(), {power - 1, power, power + 1});
    }
    StartInDrafts();
    for (size_t size : sizes) {
        SCOPED_TRACE(size);
        const std::string path = MakeFile("f" + std::to_string(size) + ".dat", size);
        MessageItem message;
        ASSERT_TRUE(message.Create(&session, 1, true, nullptr));
        EXPECT_TRUE(message.AddAttachment(path.c_str(), nullptr, nullptr));

        const json attachments = Shown(message)["attachments"];
        ASSERT_EQ(attachments.size(), 1u);
        EXPECT_EQ(attachments[0]["size"], size);
        std::string sum(64, '\0');
        FILE* pipe = popen(("sha256sum '" + path + "'").c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        ASSERT_EQ(fread(&sum[0], 1, 64, pipe), 64u);
        pclose(pipe);
        EXPECT_EQ(attachments[0]["sha256"], sum);
    }
}

TEST_F(MessageItemTest, AttachmentFailures) {
    struct Row {
        const char* what;
        const char* call;     // mailsim call to fail next, or null
        unsigned failedRead;  // ReadFile call to fail, or 0
        bool result;
        bool attached;
    };
    const Row rows[] = {
        {"missing file", nullptr, 0, false, false},
        {"CreateAttach", "IMessage::CreateAttach", 0, false, false},
        {"SetProps", "IAttach::SetProps", 0, false, false},
        {"OpenProperty", "IAttach::OpenProperty", 0, false, false},
        // A copy cut short is abandoned, never saved as if complete.
        {"write mid-way", "IStream::Write", 0, false, false},
        {"read mid-way", nullptr, 2, false, false},
        // Failures after the copy are ignored.
        {"Commit", "IStream::Commit", 0, true, true},
    };
    StartInDrafts();
    const std::string path = MakeFile("data.bin", 10000);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        MessageItem message;
        ASSERT_TRUE(message.Create(&session, 1, true, nullptr));
        ReadFileProbe::Reset();
        ReadFileProbe::failCall = row.failedRead;
        if (row.call) {
            const unsigned nth = std::string(row.call) == "IStream::Write" ? 2 : 1;
            mailsim::InjectFault(row.call, E_FAIL, mailsim::CallCount(row.call) + nth);
        }
        const unsigned attaches = mailsim::CallCount("IMessage::CreateAttach");
        const std::string file = std::string(row.what) == "missing file" ? dir + "/none" : path;
        EXPECT_EQ(message.AddAttachment(file.c_str(), nullptr, nullptr), row.result);
        if (!row.call && !row.failedRead) {
            EXPECT_EQ(CallsSince("IMessage::CreateAttach", attaches), 0u);
        }
        mailsim::ClearFaults();
        EXPECT_EQ(Shown(message)["attachments"].size(), row.attached ? 1u : 0u);
    }
    MessageItem closed;
    EXPECT_FALSE(closed.AddAttachment(path.c_str(), nullptr, nullptr));
}

TEST_F(MessageItemTest, ShowFormReportsShownCancelledOrFailed) {
    struct Row {
        const char* showForm;
        int result;
    };
    const Row rows[] = {{"0", 1}, {"0x80040113", 2}, {"0x80004005", 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.showForm);
        TearDown();
        SetUp();
        UseProfile(std::string(R"({"showForm": ")") + row.showForm + "\"}");
        StartInDrafts();
        MessageItem message;
        ASSERT_TRUE(message.Create(&session, 1, true, nullptr));
        EXPECT_EQ(message.ShowForm(&session), row.result);
        EXPECT_EQ(mailsim::Transcript()["forms"].size(), 1u);
    }
}

TEST_F(MessageItemTest, ShowFormFailsBeforeTheFormWhenItCannot) {
    StartSession();
    MessageItem message;
    std::unique_ptr<MapiFolder> drafts(session.OpenDrafts(false));
    ASSERT_TRUE(message.CreateInFolder(&session, drafts.get()));
    EXPECT_EQ(message.ShowForm(&session), 0);  // no current folder
    EXPECT_EQ(mailsim::CallCount("IMAPISession::PrepareForm"), 0u);

    ASSERT_NE(session.OpenDrafts(true), nullptr);
    mailsim::InjectFault("IMAPISession::PrepareForm", E_FAIL, 1);
    EXPECT_EQ(message.ShowForm(&session), 0);
    // The message class is the fourth property the form step reads.
    mailsim::InjectFault("IMessage::GetProps", E_FAIL,
                         mailsim::CallCount("IMessage::GetProps") + 4);
    EXPECT_EQ(message.ShowForm(&session), 0);
    EXPECT_EQ(mailsim::CallCount("IMAPISession::ShowForm"), 0u);
    message.Close();
}

TEST_F(MessageItemTest, OpenReadsSenderAndLooksUpExchangeSenders) {
    UseProfile(R"({
      "addressBook": [
        {"displayName": "Carol", "addressType": "EX", "address": "/o=Corp/cn=carol",
         "smtpAddress": "carol@corp.example"},
        {"displayName": "Erin", "addressType": "EX", "address": "/o=Corp/cn=erin"},
        {"displayName": "Team", "objectType": "distlist", "address": "team"}],
      "stores": [{"default": true, "folders": [{"name": "Inbox", "messages": [
        {"0x0C1A001E": "Carol", "0x0C1E001E": "EX", "0x0C1F001E": "/o=Corp/cn=carol",
         "0x0C190102": {"addressEntry": "Carol"}, "0x0037001E": "One"},
        {"0x0C1A001E": "Dave", "0x0C1E001E": "SMTP", "0x0C1F001E": "dave@x.example",
         "0x0C190102": {"addressEntry": "Carol"}},
        {"0x0C1E001E": "ex", "0x0C1F001E": "/o=Corp/cn=carol",
         "0x0C190102": {"addressEntry": "Carol"}},
        {"0x0C1E001E": "EX", "0x0C1F001E": "/o=Corp/cn=team",
         "0x0C190102": {"addressEntry": "Team"}},
        {"0x0C1E001E": "EX", "0x0C1F001E": "/o=Corp/cn=erin",
         "0x0C190102": {"addressEntry": "Erin"}},
        {"0x0C1E001E": "EX", "0x0C1F001E": "/o=Corp/cn=nobody"}]},
        "Drafts", "Outbox", "Sent Items"]}]})");
    struct Row {
        const char* senderName;
        const char* senderAddress;
        const char* subject;
    };
    const Row rows[] = {
        {"Carol", "carol@corp.example", "One"},
        {"Dave", "dave@x.example", ""},
        {"", "/o=Corp/cn=carol", ""},   // only "EX" is looked up
        {"", "/o=Corp/cn=team", ""},    // a distribution list has no address
        {"", "/o=Corp/cn=erin", ""},    // no SMTP address: the e-mail address
        {"", "/o=Corp/cn=nobody", ""},  // no sender entry
    };
    StartSession();
    // The client numbers messages in order of creation across profiles: the
    // profile's six come right before a message made now.
    MessageItem message;
    std::unique_ptr<MapiFolder> drafts(session.OpenDrafts(false));
    ASSERT_TRUE(message.CreateInFolder(&session, drafts.get()));
    const std::string created(reinterpret_cast<char*>(message.entryId.lpb), message.entryId.cb);
    const size_t first = std::stoul(created.substr(created.rfind('/') + 1)) - 6;
    drafts.reset();
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        SCOPED_TRACE(i);
        const std::string id = SimEntryId("message/" + std::to_string(first + i));
        ASSERT_EQ(message.Open(&session, AsSBinary(id)), 1);
        EXPECT_EQ(message.senderName, rows[i].senderName);
        EXPECT_EQ(message.senderEmailAddress, rows[i].senderAddress);
        EXPECT_EQ(message.subject, rows[i].subject);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(message.entryId.lpb), message.entryId.cb),
                  id);
    }
    message.Close();  // keeps what was read
    EXPECT_EQ(message.senderEmailAddress, "/o=Corp/cn=nobody");
    EXPECT_EQ(message.object, nullptr);

    EXPECT_EQ(message.Open(&session, AsSBinary(SimEntryId("message/99"))), 0);
    EXPECT_EQ(message.session, &session);
    EXPECT_EQ(message.object, nullptr);
    EXPECT_TRUE(message.entryId.Empty());
}

TEST_F(MessageItemTest, SmtpLookupFallsBackAndLeavesTheAddressOnFailure) {
    UseProfile(R"({"addressBook": [
        {"displayName": "Carol", "address": "/o=c", "smtpAddress": "carol@corp.example"},
        {"displayName": "Erin", "address": "/o=e"},
        {"displayName": "Team", "objectType": "distlist"}]})");
    StartSession();
    struct Row {
        const char* entry;
        const char* call;  // to fail, or null
        bool found;
        const char* address;
    };
    const Row rows[] = {
        {"ab/0", nullptr, true, "carol@corp.example"},
        {"ab/1", nullptr, true, "/o=e"},
        {"ab/0", "IMailUser::GetProps", true, "/o=c"},
        {"ab/2", nullptr, false, "unchanged"},
        {"ab/9", nullptr, false, "unchanged"},
        {"ab/0", "IMAPISession::OpenAddressBook", false, "unchanged"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.entry) + " " + (row.call ? row.call : ""));
        if (row.call) mailsim::InjectFault(row.call, E_FAIL, mailsim::CallCount(row.call) + 1);
        const std::string id = SimEntryId(row.entry);
        Text address("unchanged");
        EXPECT_EQ(session.LookupSmtpAddress(
                      static_cast<ULONG>(id.size()),
                      reinterpret_cast<LPENTRYID>(const_cast<char*>(id.data())), address),
                  row.found);
        EXPECT_EQ(address, row.address);
        mailsim::ClearFaults();
    }
    MapiSession loggedOff;
    Text address("unchanged");
    EXPECT_FALSE(loggedOff.LookupSmtpAddress(0, nullptr, address));
    EXPECT_EQ(address, "unchanged");
}
