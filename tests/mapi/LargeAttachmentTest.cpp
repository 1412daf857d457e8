// An attachment larger than its size property can hold. Its own test
// program and label: the simulated client keeps the 2 GiB in memory, and
// the copy takes seconds.
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

    StartSession();
    ASSERT_NE(session.OpenDrafts(true), nullptr);
    MessageItem message;
    ASSERT_TRUE(message.Create(&session, 1, true, nullptr));
    EXPECT_TRUE(message.AddAttachment(path.c_str(), nullptr, nullptr));
    std::remove(path.c_str());
    rmdir(dir.c_str());

    InterfaceHolder<IAttach> attach;
    ASSERT_EQ(message.Message()->OpenAttach(0, nullptr, 0, attach.Out()), S_OK);
    MapiBuffer<SPropValue> sizeProp;
    EXPECT_EQ(GetSingleProp(attach.Get(), PR_ATTACH_SIZE, sizeProp), MAPI_W_ERRORS_RETURNED);

    InterfaceHolder<IStream> data;
    ASSERT_EQ(attach->OpenProperty(PR_ATTACH_DATA_BIN, &IID_IStream, 0, 0, data.OutUnknown()),
              S_OK);
    STATSTG stat;
    ASSERT_EQ(data->Stat(&stat, 1 /* no name */), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, static_cast<ULONGLONG>(size));
    for (const auto& mark : marks) {
        LARGE_INTEGER at;
        at.QuadPart = mark.first;
        ASSERT_EQ(data->Seek(at, STREAM_SEEK_SET, nullptr), S_OK);
        std::string read(mark.second.size(), '\0');
        ULONG got = 0;
        ASSERT_EQ(data->Read(&read[0], static_cast<ULONG>(read.size()), &got), S_OK);
        EXPECT_EQ(read.substr(0, got), mark.second) << "at " << mark.first;
    }
}
