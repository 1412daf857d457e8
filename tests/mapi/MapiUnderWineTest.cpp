// The MAPI classes against a real MAPI32: under Wine, Wine's MAPI32.DLL
// forwards to the simulated client's provider DLL, which holds its own MAPI
// names and records what the message carried. This covers what the command
// line never reaches (content identifiers, the contact photo, the sender's
// SMTP look-up); the end-to-end scenarios cover the rest.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "mapi/MapiPlatform.h"
#include "mapi/MapiSession.h"
#include "mapi/MessageItem.h"
#include "tests/TextTesting.h"

namespace {

std::string TempPath(const char* name) {
    char dir[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// One received message from an Exchange sender whose address-book entry
// has an SMTP address different from its e-mail address.
constexpr char kProfile[] = R"({
  "addressBook": [{"displayName": "Carol", "addressType": "EX", "address": "/o=Corp/cn=carol",
                   "smtpAddress": "carol@corp.example"}],
  "stores": [{"default": true, "folders": [
    {"name": "Inbox", "messages": [
      {"0x0C1A001E": "Carol", "0x0C1E001E": "EX", "0x0C1F001E": "/o=Corp/cn=carol",
       "0x0C190102": {"addressEntry": "Carol"}}]},
    "Drafts", "Outbox", "Sent Items"]}]})";

TEST(MapiUnderWine, SenderLookupContentIdAndContactPhoto) {
    const std::string profile = TempPath("quillora-mapi-profile.json");
    const std::string transcript = TempPath("quillora-mapi-transcript.json");
    const std::string file = TempPath("quillora-mapi-attachment.txt");
    WriteText(profile, kProfile);
    WriteText(file, "attached");
    std::remove(transcript.c_str());
    // The provider reads them at its first call.
    _putenv(("MAPISIM_PROFILE=" + profile).c_str());
    _putenv(("MAPISIM_TRANSCRIPT=" + transcript).c_str());

    {
        MapiSession session;
        ASSERT_TRUE(session.Initialize(false, false));
        ASSERT_TRUE(session.Logon(nullptr, false));
        ASSERT_TRUE(session.OpenStore(nullptr, MAPI_MODIFY | MAPI_NO_CACHE));

        // The profile's message is the client's first: "msim:message/1".
        std::string id(4, '\0');
        id += "msim:message/1";
        const SBinary entryId = {static_cast<ULONG>(id.size()), reinterpret_cast<LPBYTE>(&id[0])};
        MessageItem received;
        ASSERT_EQ(received.Open(&session, entryId), 1);
        EXPECT_EQ(received.senderEmailAddress, "carol@corp.example");
        received.Close();

        ASSERT_NE(session.OpenDrafts(true), nullptr);
        MessageItem message;
        ASSERT_TRUE(message.Create(&session, IMPORTANCE_NORMAL, true, nullptr));
        EXPECT_TRUE(message.AddAttachment(file.c_str(), "a.txt", "cid-7"));
        EXPECT_TRUE(message.AddAttachment(file.c_str(), "b.txt", "ContactPicture.jpg"));
        message.ShowForm(&session);
        message.Close();
        session.Close();
    }
    MapiSession::Uninitialize();

    const nlohmann::json t = nlohmann::json::parse(ReadText(transcript), nullptr, false);
    ASSERT_FALSE(t.is_discarded()) << "no transcript at " << transcript;
    ASSERT_EQ(t["forms"].size(), 1u);
    const nlohmann::json& attachments = t["forms"][0]["attachments"];
    ASSERT_EQ(attachments.size(), 2u);
    EXPECT_EQ(attachments[0]["contentId"], "cid-7");
    EXPECT_EQ(attachments[0]["contactPhoto"], false);
    EXPECT_EQ(attachments[1]["contentId"], nullptr);
    EXPECT_EQ(attachments[1]["contactPhoto"], true);
    EXPECT_EQ(attachments[1]["filename"], "ContactPicture.jpg");
    EXPECT_EQ(t["outstanding"]["references"], 0);
    EXPECT_EQ(t["outstanding"]["buffers"], 0);
}

}  // namespace
