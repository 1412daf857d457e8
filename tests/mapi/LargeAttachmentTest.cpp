// An attachment larger than its size property can hold. Its own test
// program and label: streaming 2 GiB takes seconds.
#include <openssl/evp.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>

#include "MapiTestSupport.h"
#include "mapi/MapiGuards.h"
#include "mapi/MessageItem.h"
#include "mapi/PropValues.h"

namespace {

class LargeAttachmentTest : public MapiTest {};

std::string FileSha256(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    EVP_DigestInit_ex(context, EVP_sha256(), nullptr);
    std::string block(1 << 20, '\0');
    while (in.read(&block[0], static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
        EVP_DigestUpdate(context, block.data(), static_cast<size_t>(in.gcount()));
    }
    unsigned char digest[32];
    EVP_DigestFinal_ex(context, digest, nullptr);
    EVP_MD_CTX_free(context);
    std::string hex;
    for (unsigned char byte : digest) {
        static const char digits[] = "0123456789abcdef";
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}

}  // namespace

// 2 GiB, one byte more than the signed 32-bit PR_ATTACH_SIZE holds: the data
// arrives whole, and the attachment has no size rather than a wrong one.
TEST_F(LargeAttachmentTest, TooLargeForItsSizePropertyHasNone) {
    const long long size = 1LL << 31;
    // A sparse file with marks at the start, at 1 GiB and in its last bytes.
    char pattern[] = "/tmp/quillora-large-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    const std::string path = dir + "/large.bin";
    const std::pair<long long, std::string> marks[] = {
        {0, "first"}, {1LL << 30, "middle"}, {size - 4, "last"}};
    {
        std::fstream out(path, std::ios::binary | std::ios::out);
        for (const auto& mark : marks) {
            out.seekp(mark.first);
            out.write(mark.second.data(), static_cast<std::streamsize>(mark.second.size()));
        }
    }

    const std::string sha256 = FileSha256(path);

    StartSession();
    ASSERT_NE(session.OpenDrafts(true), nullptr);
    MessageItem message;
    ASSERT_TRUE(message.Create(&session, 1, true, nullptr));
    EXPECT_TRUE(message.AddAttachment(path.c_str(), nullptr, nullptr));
    std::remove(path.c_str());
    rmdir(dir.c_str());
    EXPECT_EQ(message.ShowForm(&session), 1);

    const nlohmann::json forms = mailsim::Transcript()["forms"];
    ASSERT_EQ(forms.size(), 1u);
    ASSERT_EQ(forms[0]["attachments"].size(), 1u);
    const nlohmann::json& attachment = forms[0]["attachments"][0];
    EXPECT_EQ(attachment["size"], nullptr);
    EXPECT_EQ(attachment["dataSize"], size);
    EXPECT_EQ(attachment["sha256"], sha256);
}
