// Every failure of every MAPI call in a whole request: each request runs once
// to learn the calls the program makes, then once per occurrence of each call
// with that occurrence failing. Every run must end with an exit code that
// matches what the user was shown, the message boxes exactly where they
// belong, and every reference and buffer given back.
#include <gtest/gtest.h>
#include <mailsim/Mailsim.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "front/ComposeDispatch.h"
#include "tests/RequestForTest.h"

namespace {

using nlohmann::json;

constexpr HRESULT kFailure = static_cast<HRESULT>(0x80004005);     // E_FAIL
constexpr HRESULT kUserCancel = static_cast<HRESULT>(0x80040113);  // MAPI_E_USER_CANCEL
// Simple MAPI results the send dialog counts as success: done, the user
// cancelled, the logon failed.
constexpr long kSendSuccess = 0, kSendUserAbort = 1, kSendLoginFailure = 3;

// An address book where "Sam Twin" is ambiguous and "Nobody Known" unknown.
const char* const kProfile = R"({
  "stores": [{"displayName": "Personal Folders", "default": true,
              "folders": ["Inbox", "Drafts", "Outbox", "Sent Items"]}],
  "addressBook": [
    {"displayName": "Alice Example", "addressType": "SMTP", "address": "alice@example.com",
     "smtpAddress": "alice@example.com", "objectType": "mailuser"},
    {"displayName": "Sam Twin", "addressType": "SMTP", "address": "sam1@example.com",
     "smtpAddress": "sam1@example.com", "objectType": "mailuser"},
    {"displayName": "Sam Twin", "addressType": "SMTP", "address": "sam2@example.com",
     "smtpAddress": "sam2@example.com", "objectType": "mailuser"},
    {"displayName": "Example Team", "addressType": "MAPIPDL", "address": "team",
     "objectType": "distlist"}
  ],
  "oneOffSmtp": true)";

struct Request {
    const char* name;
    const char* profileTail;  // closes kProfile: what makes this road run
};

// Test names show the request's name, not its bytes.
void PrintTo(const Request& request, std::ostream* out) {
    *out << request.name;
}

// The Drafts road, with a send dialog behind it that succeeds or fails, and
// the send dialog reached because logon fails.
const Request kRequests[] = {
    {"Drafts", "}"},
    {"DraftsThenFailingSendDialog", R"(, "simpleMapi": {"result": 2}})"},
    {"SendDialog", R"(, "logon": "0x80040111"})"},
};

// Transcripts go to a file no one reads, so the client draws no forms on
// standard output.
const bool kQuiet = (setenv("MAPISIM_TRANSCRIPT", "/dev/null", 1), true);

class TempFile {
public:
    explicit TempFile(size_t size) {
        char name[] = "/tmp/quillora-sweep-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) return;
        path_ = name;
        std::string bytes(size, '\0');
        for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + i % 26);
        const bool written = write(fd, bytes.data(), size) == static_cast<ssize_t>(size);
        close(fd);
        if (!written) path_.clear();
    }
    ~TempFile() {
        if (!path_.empty()) unlink(path_.c_str());
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

struct Outcome {
    int exitCode = 0;
    json transcript;
    std::vector<std::string> log;
    mailsim::Accounting accounting;
};

Outcome RunRequest(const Request& request, const ComposeRequest& compose, const char* faultCall,
                   unsigned nth) {
    std::string error;
    EXPECT_TRUE(mailsim::LoadProfileText(std::string(kProfile) + request.profileTail, &error))
        << error;
    if (faultCall != nullptr) mailsim::InjectFault(faultCall, kFailure, nth);
    Outcome outcome;
    outcome.exitCode = ComposeDispatch(compose);
    outcome.transcript = mailsim::Transcript();
    outcome.log = mailsim::CallLog();
    outcome.accounting = mailsim::GetAccounting();
    return outcome;
}

bool Contains(const std::vector<std::string>& log, const std::string& call) {
    for (const std::string& entry : log) {
        if (entry == call) return true;
    }
    return false;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The checks every run must pass, whatever failed.
void Check(const Outcome& run, const std::string& fault) {
    SCOPED_TRACE("failing " + fault);
    const mailsim::Accounting& a = run.accounting;
    EXPECT_EQ(a.references, 0);
    EXPECT_EQ(a.buffers, 0);
    EXPECT_EQ(a.overReleases, 0u);
    EXPECT_EQ(a.callsAfterRelease, 0u);
    EXPECT_EQ(a.invalidFrees, 0u);

    // A form counts as shown when the client showed it, even if the user
    // then cancelled it.
    bool formShown = false;
    for (const json& form : run.transcript["forms"]) {
        const long result = form["result"].get<long>();
        if (result == 0 || result == static_cast<long>(kUserCancel)) formShown = true;
    }
    const json& sends = run.transcript["sends"];
    int expectedExit = -1;
    if (formShown) {
        expectedExit = 0;
        EXPECT_TRUE(sends.empty()) << "a send dialog after a shown form";
    } else if (!sends.empty()) {
        EXPECT_EQ(sends.size(), 1u);
        const long result = sends.back()["result"].get<long>();
        if (result == kSendSuccess || result == kSendUserAbort || result == kSendLoginFailure)
            expectedExit = 0;
    } else {
        // Nothing reached the user: the send dialog must at least have been
        // tried, unless MAPISendMail itself is what failed.
        EXPECT_TRUE(Contains(run.log, "MAPISendMail")) << "no road tried the send dialog";
    }
    EXPECT_EQ(run.exitCode, expectedExit);

    // The Drafts road began when the store's Inbox was looked up; Drafts was
    // open once a message was asked of it; the message exists once that
    // request did not fail.
    const bool composeEntered = Contains(run.log, "IMsgStore::GetReceiveFolder");
    const bool draftsOpened = Contains(run.log, "IMAPIFolder::CreateMessage");
    const bool messageCreated = draftsOpened && fault.rfind("IMAPIFolder::CreateMessage", 0) != 0;
    std::vector<std::string> expectedBoxes;
    if (composeEntered && !draftsOpened) expectedBoxes.push_back("Unable to open folder 'Drafts'.");
    if (draftsOpened && !messageCreated) expectedBoxes.push_back("Unable to create message.");
    std::vector<std::string> boxes;
    for (const json& box : run.transcript["messageBoxes"]) {
        EXPECT_EQ(box["caption"], "Quillora");
        boxes.push_back(box["text"].get<std::string>());
    }
    EXPECT_EQ(boxes, expectedBoxes);
}

class FaultSweep : public ::testing::TestWithParam<Request> {};

TEST_P(FaultSweep, EveryFailureOfEveryCall) {
    // Opened once for every run, as the program opens it for every road.
    const TempFile attachment(3 * 4096 + 123);
    ASSERT_FALSE(attachment.Path().empty());
    const RequestForTest compose("Alice Example;Nobody Known;Sam Twin", "carol@example.org",
                                 "Example Team", "Quarterly report",
                                 "Hello,\nthe figures are attached.\nRegards",
                                 attachment.Path().c_str());

    const Outcome baseline = RunRequest(GetParam(), *compose, nullptr, 0);
    Check(baseline, "nothing");
    // Each call once per occurrence; a reference count change cannot fail.
    std::map<std::string, unsigned> occurrences;
    for (const std::string& call : baseline.log) {
        if (EndsWith(call, "::Release") || EndsWith(call, "::AddRef")) continue;
        ++occurrences[call];
    }
    ASSERT_FALSE(occurrences.empty());
    size_t runs = 0;
    std::map<std::string, size_t> outcomes;
    for (const auto& [call, count] : occurrences) {
        for (unsigned nth = 1; nth <= count; ++nth) {
            const Outcome run = RunRequest(GetParam(), *compose, call.c_str(), nth);
            Check(run, call + " #" + std::to_string(nth));
            if (HasFailure()) return;  // the first failing call says enough
            ++runs;
            ++outcomes[run.exitCode != 0                 ? "exit -1"
                       : run.transcript["forms"].empty() ? "exit 0 with the send dialog"
                                                         : "exit 0 with the form"];
        }
    }
    std::printf("%s road: %zu distinct calls, %zu runs with one occurrence failing:",
                GetParam().name, occurrences.size(), runs);
    for (const auto& [outcome, count] : outcomes) std::printf(" %s: %zu;", outcome.c_str(), count);
    std::printf("\n");
    for (const auto& [call, count] : occurrences) std::printf("  %s x%u\n", call.c_str(), count);
}

INSTANTIATE_TEST_SUITE_P(Roads, FaultSweep, ::testing::ValuesIn(kRequests),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
