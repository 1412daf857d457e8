// What the client records: the form as shown (every field), the send
// dialog, message boxes, the file written after each event, and the
// terminal rendering when no file is asked for.
#include "MailsimTesting.h"
#include "platform_process_testing.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using nlohmann::json;

class TranscriptTest : public MailsimTest {
protected:
    void TearDown() override {
        unsetenv("MAPISIM_TRANSCRIPT");
        PlatformSetAnsiCodePage(1252);
        MailsimTest::TearDown();
    }

    // Drafts of the default store, as the compose road reaches it.
    void OpenDrafts() {
        session = Logon();
        LPMAPITABLE table = nullptr;
        ASSERT_EQ(session->GetMsgStoresTable(0, &table), S_OK);
        LPSRowSet rows = nullptr;
        ASSERT_EQ(table->QueryRows(1, 0, &rows), S_OK);
        const SBinary& id = rows->aRow[0].lpProps[1].Value.bin;
        ASSERT_EQ(session->OpenMsgStore(0, id.cb, reinterpret_cast<LPENTRYID>(id.lpb), nullptr,
                                        MDB_NO_DIALOG | MAPI_BEST_ACCESS, &store),
                  S_OK);
        FreeProws(rows);
        table->Release();
        LPMAPIFOLDER inbox = OpenReceiveFolder(store, MAPI_MODIFY);
        ASSERT_NE(inbox, nullptr);
        const OneProp drafts = GetOne(inbox, PR_IPM_DRAFTS_ENTRYID);
        inbox->Release();
        ULONG type = 0;
        LPUNKNOWN folder = nullptr;
        ASSERT_EQ(
            store->OpenEntry(static_cast<ULONG>(drafts.bytes.size()),
                             reinterpret_cast<LPENTRYID>(const_cast<char*>(drafts.bytes.data())),
                             nullptr, MAPI_MODIFY, &type, &folder),
            S_OK);
        this->drafts = static_cast<LPMAPIFOLDER>(folder);
    }
    void CloseAll() {
        drafts->Release();
        store->Release();
        session->Release();
        MAPIUninitialize();
    }
    HRESULT Show(LPMESSAGE message) {
        ULONG token = 0;
        EXPECT_EQ(session->PrepareForm(nullptr, message, &token), S_OK);
        char messageClass[] = "IPM.Note";
        return session->ShowForm(0, store, drafts, nullptr, token, nullptr, 0, 0, 0x28, 3,
                                 messageClass);
    }
    static void WriteStream(LPMAPIPROP object, ULONG tag, const std::string& bytes) {
        LPUNKNOWN unknown = nullptr;
        ASSERT_EQ(object->OpenProperty(tag, &IID_IStream, 0, MAPI_CREATE | MAPI_MODIFY, &unknown),
                  S_OK);
        LPSTREAM stream = static_cast<LPSTREAM>(unknown);
        ULONG written = 0;
        EXPECT_EQ(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written), S_OK);
        EXPECT_EQ(written, bytes.size());
        stream->Release();
    }

    LPMAPISESSION session = nullptr;
    LPMDB store = nullptr;
    LPMAPIFOLDER drafts = nullptr;
};

TEST_F(TranscriptTest, FormRecordsTheMessageAsShown) {
    OpenDrafts();
    LPMESSAGE message = nullptr;
    ASSERT_EQ(drafts->CreateMessage(nullptr, 0, &message), S_OK);
    SPropValue values[3] = {};
    values[0].ulPropTag = PR_SUBJECT;
    values[0].Value.lpszA = const_cast<LPSTR>("Caf\xe9 \x80");
    values[1].ulPropTag = PR_IMPORTANCE;
    values[1].Value.l = 2;
    values[2].ulPropTag = PR_NULL;
    ASSERT_EQ(message->SetProps(3, values, nullptr), S_OK);
    WriteStream(message, PR_BODY, std::string("Line1\nLine2\0tail", 16));

    // One saved attachment, one abandoned without SaveChanges.
    for (int saved = 1; saved >= 0; --saved) {
        ULONG number = 0;
        LPATTACH attach = nullptr;
        ASSERT_EQ(message->CreateAttach(nullptr, 0, &number, &attach), S_OK);
        SPropValue a[4] = {};
        a[0].ulPropTag = PR_ATTACH_METHOD;
        a[0].Value.l = ATTACH_BY_VALUE;
        a[1].ulPropTag = PR_ATTACH_LONG_FILENAME;
        a[1].Value.lpszA = const_cast<LPSTR>("q.pdf");
        a[2].ulPropTag = PR_RENDERING_POSITION;
        a[2].Value.l = -1;
        a[3].ulPropTag = PR_ATTACH_SIZE;
        a[3].Value.l = 3;
        ASSERT_EQ(attach->SetProps(4, a, nullptr), S_OK);
        WriteStream(attach, PR_ATTACH_DATA_BIN, "abc");
        if (saved) {
            EXPECT_EQ(attach->SaveChanges(KEEP_OPEN_READONLY), S_OK);
        }
        attach->Release();
    }

    EXPECT_EQ(Show(message), S_OK);
    message->Release();
    CloseAll();

    const json form = mailsim::Transcript()["forms"].at(0);
    EXPECT_EQ(form["store"], "Personal Folders");
    EXPECT_EQ(form["folder"], "Drafts");
    EXPECT_EQ(form["parentFolder"], "Drafts");
    EXPECT_EQ(form["messageClass"], "IPM.Note");
    EXPECT_EQ(form["messageFlags"], 0x28);
    EXPECT_EQ(form["messageStatus"], 0);
    EXPECT_EQ(form["access"], 3);
    EXPECT_EQ(form["recipients"], json::array());
    EXPECT_EQ(form["subject"], "Caf\u00e9 \u0080");  // bytes kept one to one
    EXPECT_EQ(form["body"], "Line1\nLine2");         // up to the first zero byte
    EXPECT_EQ(form["importance"], 2);
    EXPECT_EQ(form["editorFormat"], nullptr);
    EXPECT_EQ(form["sentMailEntryId"], nullptr);
    EXPECT_EQ(form["deleteAfterSubmit"], nullptr);
    EXPECT_EQ(form["result"], 0);
    ASSERT_EQ(form["attachments"].size(), 1u);
    const json attachment = form["attachments"][0];
    EXPECT_EQ(attachment["method"], 1);
    EXPECT_EQ(attachment["longFilename"], "q.pdf");
    EXPECT_EQ(attachment["filename"], nullptr);
    EXPECT_EQ(attachment["renderingPosition"], -1);
    EXPECT_EQ(attachment["size"], 3);
    EXPECT_EQ(attachment["sha256"],
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(attachment["contentId"], nullptr);
    EXPECT_EQ(attachment["contactPhoto"], false);
}

// The client keeps attachment data flat: however it was written, the form
// describes all of it exactly. Data longer than the client holds is only
// ever appended to: what it no longer holds cannot be read back or
// rewritten, so the digest is always that of the bytes in order.
TEST_F(TranscriptTest, AttachmentDataOfAnyLengthIsDescribedExactly) {
    const size_t kMillion = 1000000;
    const std::string as(kMillion, 'a');
    // SHA-256 of a million 'a' (a published test vector) and of "abc".
    const char* kMillionA = "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0";
    const char* kAbc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    OpenDrafts();
    LPMESSAGE message = nullptr;
    ASSERT_EQ(drafts->CreateMessage(nullptr, 0, &message), S_OK);
    auto seek = [](LPSTREAM stream, long long to, DWORD origin = STREAM_SEEK_SET) {
        LARGE_INTEGER move;
        move.QuadPart = to;
        return stream->Seek(move, origin, nullptr);
    };
    using Writer = void (*)(LPSTREAM, const std::string&);
    const struct {
        const char* how;
        Writer write;
        const char* sha256;
        size_t size;
    } rows[] = {
        {"in uneven pieces",
         [](LPSTREAM stream, const std::string& data) {
             for (size_t done = 0; done < data.size(); done += 4093) {
                 const ULONG part = static_cast<ULONG>(std::min<size_t>(4093, data.size() - done));
                 ASSERT_EQ(stream->Write(data.data() + done, part, nullptr), S_OK);
             }
         },
         kMillionA, kMillion},
        {"over shorter data, in one piece",
         [](LPSTREAM stream, const std::string& data) {
             ASSERT_EQ(stream->Write("xyz", 3, nullptr), S_OK);
             LARGE_INTEGER start{};
             ASSERT_EQ(stream->Seek(start, STREAM_SEEK_SET, nullptr), S_OK);
             ASSERT_EQ(stream->Write(data.data(), static_cast<ULONG>(data.size()), nullptr), S_OK);
         },
         kMillionA, kMillion},
        {"cut back to what is held, then rewritten",
         [](LPSTREAM stream, const std::string& data) {
             ASSERT_EQ(stream->Write(data.data(), static_cast<ULONG>(data.size()), nullptr), S_OK);
             ULARGE_INTEGER size;
             size.QuadPart = 3;
             ASSERT_EQ(stream->SetSize(size), S_OK);
             LARGE_INTEGER second{};
             second.QuadPart = 1;
             ASSERT_EQ(stream->Seek(second, STREAM_SEEK_SET, nullptr), S_OK);
             ASSERT_EQ(stream->Write("bc", 2, nullptr), S_OK);
         },
         kAbc, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.how);
        LPATTACH attach = nullptr;
        ASSERT_EQ(message->CreateAttach(nullptr, 0, nullptr, &attach), S_OK);
        LPUNKNOWN unknown = nullptr;
        ASSERT_EQ(attach->OpenProperty(PR_ATTACH_DATA_BIN, &IID_IStream, 0,
                                       MAPI_CREATE | MAPI_MODIFY, &unknown),
                  S_OK);
        LPSTREAM stream = static_cast<LPSTREAM>(unknown);
        row.write(stream, as);
        STATSTG stat;
        ASSERT_EQ(stream->Stat(&stat, 0), S_OK);
        EXPECT_EQ(stat.cbSize.QuadPart, row.size);
        char bytes[3] = {};
        ULONG read = 0;
        EXPECT_EQ(seek(stream, 0), S_OK);
        EXPECT_EQ(stream->Read(bytes, 3, &read), S_OK);
        EXPECT_EQ(std::string(bytes, read), row.size == 3 ? "abc" : "aaa");
        const OneProp whole = GetOne(attach, PR_ATTACH_DATA_BIN);
        if (row.size == kMillion) {
            // Too long to be read but through a stream, as stores answer.
            EXPECT_EQ(whole.tag, PROP_TAG(PT_ERROR, PROP_ID(PR_ATTACH_DATA_BIN)));
            EXPECT_EQ(whole.number, static_cast<uint32_t>(MAPI_E_NOT_ENOUGH_MEMORY));
            EXPECT_EQ(seek(stream, 500000), S_OK);
            EXPECT_EQ(stream->Read(bytes, 1, &read), STG_E_INVALIDFUNCTION);
            EXPECT_EQ(stream->Write("b", 1, nullptr), STG_E_INVALIDFUNCTION);
            ULARGE_INTEGER shorter;
            shorter.QuadPart = kMillion - 1;
            EXPECT_EQ(stream->SetSize(shorter), STG_E_INVALIDFUNCTION);
        } else {
            EXPECT_EQ(whole.bytes, "abc");
        }
        stream->Release();
        EXPECT_EQ(attach->SaveChanges(KEEP_OPEN_READONLY), S_OK);
        attach->Release();
    }
    EXPECT_EQ(Show(message), S_OK);
    message->Release();
    CloseAll();
    const json attachments = mailsim::Transcript()["forms"].at(0)["attachments"];
    ASSERT_EQ(attachments.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(attachments[i]["dataSize"], rows[i].size) << rows[i].how;
        EXPECT_EQ(attachments[i]["sha256"], rows[i].sha256) << rows[i].how;
    }
}

TEST_F(TranscriptTest, FormResultComesFromTheProfileAndATokenServesOnce) {
    ASSERT_TRUE(mailsim::LoadProfileText(R"({"showForm": "0x80040113"})"));
    OpenDrafts();
    LPMESSAGE message = nullptr;
    ASSERT_EQ(drafts->CreateMessage(nullptr, 0, &message), S_OK);
    ULONG token = 0;
    ASSERT_EQ(session->PrepareForm(nullptr, message, &token), S_OK);
    char messageClass[] = "IPM.Note";
    EXPECT_EQ(
        session->ShowForm(0, store, drafts, nullptr, token, nullptr, 0, 0, 0, 0, messageClass),
        MAPI_E_USER_CANCEL);
    EXPECT_EQ(
        session->ShowForm(0, store, drafts, nullptr, token, nullptr, 0, 0, 0, 0, messageClass),
        MAPI_E_INVALID_PARAMETER);
    message->Release();
    CloseAll();
    const json forms = mailsim::Transcript()["forms"];
    ASSERT_EQ(forms.size(), 1u);
    EXPECT_EQ(forms[0]["result"], static_cast<LONG>(MAPI_E_USER_CANCEL));
}

TEST_F(TranscriptTest, SendDialogAndMessageBoxesAreWrittenAfterEachEvent) {
    const std::string path = ::testing::TempDir() + "mailsim-transcript-test.json";
    setenv("MAPISIM_TRANSCRIPT", path.c_str(), 1);
    MapiRecipDesc recipients[2] = {};
    recipients[0].ulRecipClass = MAPI_TO;
    recipients[0].lpszName = const_cast<LPSTR>("a");
    recipients[1].ulRecipClass = MAPI_BCC;
    recipients[1].lpszName = const_cast<LPSTR>(" b");
    recipients[1].lpszAddress = const_cast<LPSTR>("b@example.com");
    const std::string attachment = ::testing::TempDir() + "mailsim-transcript-test.pdf";
    std::ofstream(attachment) << "pdf";
    MapiFileDesc file = {};
    file.nPosition = 5;
    file.lpszPathName = const_cast<LPSTR>(attachment.c_str());
    MapiMessage message = {};
    message.lpszNoteText = const_cast<LPSTR>("Hello ");
    message.nRecipCount = 2;
    message.lpRecips = recipients;
    message.nFileCount = 1;
    message.lpFiles = &file;
    EXPECT_EQ(MAPISendMail(0, 0, &message, MAPI_DIALOG | MAPI_LOGON_UI, 0), 0u);

    auto read = [&path] {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return json::parse(text.str());
    };
    const json afterSend = read();
    json expectedSend = R"({"session": 0, "uiParam": 0, "flags": 9,
        "recipients": [{"class": 1, "name": "a", "address": null},
                       {"class": 3, "name": " b", "address": "b@example.com"}],
        "subject": null, "noteText": "Hello ",
        "files": [{"path": "", "fileName": null, "position": 5}],
        "result": 0})"_json;
    expectedSend["files"][0]["path"] = attachment;
    EXPECT_EQ(afterSend["sends"], json::array({expectedSend}));
    EXPECT_EQ(afterSend["outstanding"], json({{"references", 0}, {"buffers", 0}}));

    testing::internal::CaptureStderr();
    MessageBoxA(nullptr, "Unable to create message.", "Quillora", MB_OK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Quillora: Unable to create message.\n");
    EXPECT_EQ(read()["messageBoxes"],
              R"([{"caption": "Quillora", "text": "Unable to create message.", "style": 0}])"_json);
    std::remove(path.c_str());
    std::remove(attachment.c_str());
}

// A path that names no readable regular file fails the call with
// MAPI_E_ATTACHMENT_NOT_FOUND before anything is shown; the call is recorded
// with that result.
TEST_F(TranscriptTest, SendDialogRefusesWhatIsNoReadableFile) {
    unsetenv("MAPISIM_TRANSCRIPT");
    char pattern[] = "/tmp/mailsim-send-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    const std::string good = dir + "/good.txt";
    const std::string fifo = dir + "/fifo";
    std::ofstream(good) << "x";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string missing = dir + "/missing.txt";

    auto send = [](std::vector<const char*> paths) {
        std::vector<MapiFileDesc> files(paths.size());
        for (size_t i = 0; i < paths.size(); ++i) {
            files[i].lpszPathName = const_cast<LPSTR>(paths[i]);
        }
        MapiMessage message = {};
        message.nFileCount = static_cast<ULONG>(files.size());
        message.lpFiles = files.data();
        testing::internal::CaptureStdout();
        const ULONG result = MAPISendMail(0, 0, &message, MAPI_DIALOG | MAPI_LOGON_UI, 0);
        return std::make_pair(result, testing::internal::GetCapturedStdout());
    };
    const std::vector<std::vector<const char*>> refused = {
        {missing.c_str()}, {dir.c_str()},
        {fifo.c_str()},    {""},
        {nullptr},         {good.c_str(), missing.c_str()}};
    for (const auto& paths : refused) {
        const auto [result, shown] = send(paths);
        EXPECT_EQ(result, static_cast<ULONG>(MAPI_E_ATTACHMENT_NOT_FOUND)) << paths.back();
        EXPECT_EQ(shown, "") << paths.back();
    }
    const auto [result, shown] = send({good.c_str()});
    EXPECT_EQ(result, 0u);
    EXPECT_NE(shown.find("good.txt"), std::string::npos) << shown;

    const json sends = mailsim::Transcript()["sends"];
    ASSERT_EQ(sends.size(), refused.size() + 1);
    EXPECT_EQ(sends[0]["files"][0]["path"], missing);
    for (size_t i = 0; i < refused.size(); ++i) {
        EXPECT_EQ(sends[i]["result"], MAPI_E_ATTACHMENT_NOT_FOUND) << i;
    }
    EXPECT_EQ(sends[refused.size()]["result"], 0);
    unlink(fifo.c_str());
    unlink(good.c_str());
    rmdir(dir.c_str());
}

// The send dialog opens a path as the program's CreateFileA does: in the
// ANSI code page, naming the file whose UTF-8 name holds the same characters.
TEST_F(TranscriptTest, SendDialogReadsAPathInTheAnsiCodePage) {
    unsetenv("MAPISIM_TRANSCRIPT");
    char pattern[] = "/tmp/mailsim-ansi-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string utf8 = std::string(pattern) + "/\xE8\xA1\xA8.txt";
    std::ofstream(utf8) << "x";
    std::string path = std::string(pattern) + "/\x95\x5C.txt";  // the same name in code page 932
    ASSERT_TRUE(PlatformSetAnsiCodePage(932));
    MapiFileDesc file = {};
    file.lpszPathName = &path[0];
    MapiMessage message = {};
    message.nFileCount = 1;
    message.lpFiles = &file;
    testing::internal::CaptureStdout();
    EXPECT_EQ(MAPISendMail(0, 0, &message, MAPI_DIALOG, 0), 0u);
    testing::internal::GetCapturedStdout();
    unlink(utf8.c_str());
    rmdir(pattern);
}

TEST_F(TranscriptTest, WithoutATranscriptFileFormsAreRenderedForTheTerminal) {
    unsetenv("MAPISIM_TRANSCRIPT");
    OpenDrafts();
    LPMESSAGE message = nullptr;
    ASSERT_EQ(drafts->CreateMessage(nullptr, 0, &message), S_OK);
    SPropValue subject = {};
    subject.ulPropTag = PR_SUBJECT;
    subject.Value.lpszA = const_cast<LPSTR>("Report");
    ASSERT_EQ(message->SetProps(1, &subject, nullptr), S_OK);
    WriteStream(message, PR_BODY, std::string("Line1\r\nLine2", 13));
    testing::internal::CaptureStdout();
    EXPECT_EQ(Show(message), S_OK);
    const std::string shown = testing::internal::GetCapturedStdout();
    EXPECT_NE(shown.find("| Subject: Report\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("| Line1\n| Line2\n"), std::string::npos) << shown;
    message->Release();
    CloseAll();
}

}  // namespace
