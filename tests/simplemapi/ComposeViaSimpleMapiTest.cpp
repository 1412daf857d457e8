// The Simple MAPI road against a test provider whose MAPISendMail records
// the message it receives and answers with a chosen result.
#include "simplemapi/ComposeViaSimpleMapi.h"

#include <windows.h>
#include <mapi.h>

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform_mapi_provider.h"
#include "simplemapi/SimpleMapiMail.h"
#include "tests/RequestForTest.h"
#include "tests/TempDirTest.h"

namespace {

using Text = std::optional<std::string>;
Text Copy(const char* p) {
    return p != nullptr ? Text(p) : std::nullopt;
}

struct SentRecipient {
    ULONG recipClass;
    Text name, address;
    ULONG eidSize;
    bool hasEntryId;
};
struct SentFile {
    Text path, fileName;
    ULONG position, flags;
    bool hasFileType;
};
struct Sent {
    LHANDLE session;
    ULONG_PTR uiParam;
    FLAGS flags;
    Text subject, noteText;
    bool originatorBlank;
    std::vector<SentRecipient> recipients;
    bool recipsNullWhenEmpty;
    std::vector<SentFile> files;
};

struct Fake {
    bool library = true;
    bool exported = true;
    ULONG result = SUCCESS_SUCCESS;
    std::vector<Sent> sends;
} fake;

ULONG RecordSend(LHANDLE session, ULONG_PTR uiParam, lpMapiMessage m, FLAGS flags, ULONG) {
    Sent s{session, uiParam, flags, Copy(m->lpszSubject), Copy(m->lpszNoteText), false,
           {},      false,   {}};
    const MapiRecipDesc* o = m->lpOriginator;
    s.originatorBlank = o != nullptr && o->ulRecipClass == MAPI_ORIG && o->lpszName == nullptr &&
                        o->lpszAddress == nullptr && o->ulEIDSize == 0 && o->lpEntryID == nullptr;
    s.recipsNullWhenEmpty = m->nRecipCount != 0 || m->lpRecips == nullptr;
    for (ULONG i = 0; i < m->nRecipCount; ++i) {
        const MapiRecipDesc& r = m->lpRecips[i];
        s.recipients.push_back({r.ulRecipClass, Copy(r.lpszName), Copy(r.lpszAddress), r.ulEIDSize,
                                r.lpEntryID != nullptr});
    }
    for (ULONG i = 0; i < m->nFileCount; ++i) {
        const MapiFileDesc& f = m->lpFiles[i];
        s.files.push_back({Copy(f.lpszPathName), Copy(f.lpszFileName), f.nPosition, f.flFlags,
                           f.lpFileType != nullptr});
    }
    EXPECT_EQ(m->ulReserved, 0u);
    EXPECT_EQ(m->lpszMessageType, nullptr);
    EXPECT_EQ(m->lpszDateReceived, nullptr);
    EXPECT_EQ(m->lpszConversationID, nullptr);
    EXPECT_EQ(m->flFlags, 0u);
    fake.sends.push_back(s);
    return fake.result;
}

class SimpleMapiRoad : public ::testing::Test {
protected:
    void SetUp() override {
        fake = Fake{};
        provider_.sendMail = RecordSend;
        provider_.libraryPresent = [] { return fake.library; };
        provider_.sendMailExported = [] { return fake.exported; };
        PlatformSetMapiProvider(&provider_);
    }
    void TearDown() override { PlatformSetMapiProvider(nullptr); }

    const Sent& OnlySend() {
        EXPECT_EQ(fake.sends.size(), 1u);
        static const Sent none{};
        return fake.sends.empty() ? none : fake.sends.front();
    }

    PlatformMapiProvider provider_{};
};

struct Fields {
    const char *to, *cc, *bcc, *subject, *body, *attachment;
};

int Compose(const Fields& f) {
    const RequestForTest request(f.to, f.cc, f.bcc, f.subject, f.body, f.attachment);
    return ComposeViaSimpleMapi(*request);
}

TEST_F(SimpleMapiRoad, EmptyRequestOpensAnEmptyDialog) {
    EXPECT_EQ(Compose({nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}), 0);
    const Sent& s = OnlySend();
    EXPECT_EQ(s.session, 0u);
    EXPECT_EQ(s.uiParam, 0u);
    EXPECT_EQ(s.flags, 9u);  // MAPI_DIALOG | MAPI_LOGON_UI
    EXPECT_EQ(s.subject, std::nullopt);
    EXPECT_EQ(s.noteText, "");  // empty, never null
    EXPECT_TRUE(s.originatorBlank);
    EXPECT_TRUE(s.recipients.empty());
    EXPECT_TRUE(s.recipsNullWhenEmpty);
    EXPECT_TRUE(s.files.empty());
}

// Names stay as typed; an entry that holds an address also carries it as a
// one-off SMTP address, so a client that cannot resolve the name keeps it.
TEST_F(SimpleMapiRoad, RecipientsInOrderWithClassesAndAddresses) {
    ASSERT_EQ(Compose({"a;Doe, Jo <jo@x.org>", " bob@example.com ", ";d;;\"E\" <e@x>;", "Hi",
                       "Hello", nullptr}),
              0);
    const Sent& s = OnlySend();
    const struct {
        std::string name;
        ULONG recipClass;
        std::optional<std::string> address;
    } expected[] = {
        {"a", MAPI_TO, std::nullopt},
        {"Doe, Jo <jo@x.org>", MAPI_TO, "SMTP:jo@x.org"},
        {" bob@example.com ", MAPI_CC, "SMTP:bob@example.com"},
        {"d", MAPI_BCC, std::nullopt},
        {"\"E\" <e@x>", MAPI_BCC, "SMTP:e@x"},
    };
    ASSERT_EQ(s.recipients.size(), std::size(expected));
    for (size_t i = 0; i < s.recipients.size(); ++i) {
        EXPECT_EQ(s.recipients[i].name, expected[i].name);
        EXPECT_EQ(s.recipients[i].recipClass, expected[i].recipClass);
        EXPECT_EQ(s.recipients[i].address, expected[i].address) << expected[i].name;
        EXPECT_EQ(s.recipients[i].eidSize, 0u);
        EXPECT_FALSE(s.recipients[i].hasEntryId);
    }
    EXPECT_EQ(s.subject, "Hi");
    EXPECT_EQ(s.noteText, "Hello");
}

TEST_F(SimpleMapiRoad, NamesAreNotTrimmed) {
    Compose({"alice; bob", nullptr, nullptr, nullptr, nullptr, nullptr});
    const Sent& s = OnlySend();
    ASSERT_EQ(s.recipients.size(), 2u);
    EXPECT_EQ(s.recipients[1].name, " bob");
}

TEST_F(SimpleMapiRoad, AttachmentTakesASpaceAfterTheBody) {
    const struct {
        const char* body;
        const char* attachment;
        const char* noteText;
        ULONG position;
        Text fileName;
    } cases[] = {
        {"Hello", "C:\\docs\\report.pdf", "Hello ", 5, "report.pdf"},
        {nullptr, "C:\\docs\\README", " ", 0, std::nullopt},
        {"", "", " ", 0, std::nullopt},  // an empty path is still an attachment
        {"Line1\nLine2", "C:\\x\\archive.tar.gz", "Line1\nLine2 ", 11, "archive.tar.gz"},
    };
    for (const auto& c : cases) {
        fake.sends.clear();
        Compose({nullptr, nullptr, nullptr, nullptr, c.body, c.attachment});
        const Sent& s = OnlySend();
        EXPECT_EQ(s.noteText, c.noteText);
        ASSERT_EQ(s.files.size(), 1u);
        EXPECT_EQ(s.files[0].path, c.attachment);
        EXPECT_EQ(s.files[0].fileName, c.fileName);
        EXPECT_EQ(s.files[0].position, c.position);
        EXPECT_EQ(s.files[0].flags, 0u);
        EXPECT_FALSE(s.files[0].hasFileType);
    }
}

TEST_F(SimpleMapiRoad, EmptySubjectIsPassedAsEmptyText) {
    Compose({nullptr, nullptr, nullptr, "", nullptr, nullptr});
    EXPECT_EQ(OnlySend().subject, "");
}

TEST_F(SimpleMapiRoad, ResultMapping) {
    const struct {
        ULONG result;
        int expected;
    } cases[] = {
        {SUCCESS_SUCCESS, 0},
        {MAPI_USER_ABORT, 0},
        {MAPI_E_LOGIN_FAILURE, 0},
        {MAPI_E_FAILURE, -1},
        {MAPI_E_INSUFFICIENT_MEMORY, -1},
        {MAPI_E_ATTACHMENT_NOT_FOUND, -1},
        {MAPI_E_NOT_SUPPORTED, -1},
        {0xFFFFFFFFu, -1},
    };
    for (const auto& c : cases) {
        fake.result = c.result;
        EXPECT_EQ(Compose({"a", nullptr, nullptr, "s", "b", nullptr}), c.expected) << c.result;
    }
    EXPECT_EQ(fake.sends.size(), std::size(cases));
}

TEST_F(SimpleMapiRoad, MissingLibraryOrExportCallsNothing) {
    fake.library = false;
    EXPECT_EQ(Compose({"a", "b", "c", "s", "body", "C:\\f.txt"}), -1);
    fake.library = true;
    fake.exported = false;
    EXPECT_EQ(Compose({"a", "b", "c", "s", "body", "C:\\f.txt"}), -1);
    EXPECT_TRUE(fake.sends.empty());
}

// Each run loads the library by name and frees it again, so a reference
// taken before the run is the only one left afterwards.
TEST_F(SimpleMapiRoad, LibraryReferencesBalance) {
    HMODULE held = LoadLibraryA("MAPI32.DLL");
    ASSERT_NE(held, nullptr);
    Compose({"a", nullptr, nullptr, nullptr, nullptr, nullptr});
    fake.exported = false;
    Compose({"a", nullptr, nullptr, nullptr, nullptr, nullptr});
    EXPECT_TRUE(FreeLibrary(held));
    EXPECT_FALSE(FreeLibrary(held));
}

TEST_F(SimpleMapiRoad, MailObjectKeepsItsOwnCopiesAndPlacesEveryAttachment) {
    SimpleMapiMail mail;
    ASSERT_EQ(mail.TakeLastError(), SimpleMapiError::NoError);
    std::string name = "first";
    std::string path = "C:\\a.txt";
    EXPECT_TRUE(mail.AddRecipient(name.c_str(), RecipientKind::Cc));
    EXPECT_TRUE(mail.AddAttachment(path.c_str(), "a.txt"));
    name = "changed";  // the object holds copies, not the caller's text
    path = "C:\\changed";
    for (int i = 0; i < 200; ++i) EXPECT_TRUE(mail.AddRecipient("r", RecipientKind::Bcc));
    EXPECT_TRUE(mail.AddAttachment("C:\\b", nullptr));
    EXPECT_TRUE(mail.AddAttachment("C:\\c.d", "c.d"));
    mail.noteText = "Hi";
    EXPECT_TRUE(mail.Send(MAPI_DIALOG));

    const Sent& s = OnlySend();
    ASSERT_EQ(s.recipients.size(), 201u);
    EXPECT_EQ(s.recipients[0].name, "first");
    EXPECT_EQ(s.recipients[0].recipClass, static_cast<ULONG>(MAPI_CC));
    EXPECT_EQ(s.noteText, "Hi   ");
    ASSERT_EQ(s.files.size(), 3u);
    EXPECT_EQ(s.files[0].path, "C:\\a.txt");
    for (ULONG i = 0; i < 3; ++i) EXPECT_EQ(s.files[i].position, 2 + i);
    EXPECT_EQ(s.files[1].fileName, std::nullopt);
}

TEST_F(SimpleMapiRoad, ErrorsAreTakenOnceAndObjectsWithoutSendLeakNothing) {
    fake.exported = false;
    {
        SimpleMapiMail mail;
        EXPECT_EQ(mail.TakeLastError(), SimpleMapiError::EntryPointMissing);
        EXPECT_EQ(mail.TakeLastError(), SimpleMapiError::NoError);
    }
    fake.library = false;
    {
        SimpleMapiMail mail;
        EXPECT_EQ(mail.TakeLastError(), SimpleMapiError::LibraryNotLoaded);
        EXPECT_FALSE(mail.Send(MAPI_DIALOG));  // nothing to call
    }
    fake.library = true;
    fake.exported = true;
    {
        // Destroyed without Send: the copies are freed all the same (the
        // sanitizer build's leak check would see them otherwise).
        SimpleMapiMail mail;
        mail.AddRecipient("a", RecipientKind::To);
        mail.AddAttachment("C:\\x.y", "x.y");
    }
    EXPECT_TRUE(fake.sends.empty());
}

// The client opens each file by an 8-bit path. A name the code page holds
// goes as it is; one it lacks, with no short form to stand in (the stand-in's
// volume has none, like many a Windows volume), fails the road before any
// dialog, even where the look-alike names another file that exists.
class SimpleMapiPaths : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        fake = Fake{};
        provider_.sendMail = RecordSend;
        provider_.libraryPresent = [] { return true; };
        provider_.sendMailExported = [] { return true; };
        PlatformSetMapiProvider(&provider_);
    }
    void TearDown() override {
        PlatformSetMapiProvider(nullptr);
        TempDirTest::TearDown();
    }
    PlatformMapiProvider provider_{};
};

TEST_F(SimpleMapiPaths, OnlyAPathThatNamesTheFile) {
    Write("report-final.pdf", "another file");
    const struct {
        const char* name;  // UTF-8
        const char* path;  // what the client gets after the directory, or null: no dialog
    } cases[] = {
        {"Gr\xC3\xBC\xC3\x9F"
         "e.pdf",
         "Gr\xFC\xDF"
         "e.pdf"},
        {"\xC5\x81\xC3\xB3"
         "d\xC5\xBA \xE2\x9C\x93.pdf",
         nullptr},
        {"report\xEF\xBC\x8D"
         "final.pdf",
         nullptr},
    };
    for (const auto& c : cases) {
        fake.sends.clear();
        const std::string path = Write(c.name, "pdf");
        const RequestForTest request(nullptr, nullptr, nullptr, nullptr, "Hi", path.c_str());
        RoadFailure failure;
        const int result = ComposeViaSimpleMapi(*request, &failure);
        if (c.path == nullptr) {
            EXPECT_EQ(result, -1) << c.name;
            EXPECT_TRUE(fake.sends.empty()) << c.name;
            EXPECT_STREQ(failure.refusal, kNoDialogPath);
            continue;
        }
        EXPECT_EQ(result, 0) << c.name;
        ASSERT_EQ(fake.sends.size(), 1u);
        ASSERT_EQ(fake.sends[0].files.size(), 1u);
        EXPECT_EQ(fake.sends[0].files[0].path, dir_.string() + "/" + c.path);
        EXPECT_EQ(fake.sends[0].files[0].fileName, c.path);
    }
}

}  // namespace
