// The item base: string properties on both roads (a stream's value read
// back whole), entry-identifier copies, saving and closing.
#include <sys/mman.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "MapiTestSupport.h"
#include "mapi/MapiFolder.h"
#include "mapi/MessageItem.h"
#include "mapi/ReadableString.h"

namespace {

class MapiItemTest : public MapiTest {
protected:
    void SetUp() override {
        MapiTest::SetUp();
        StartSession();
        ASSERT_NE(session.OpenDrafts(true), nullptr);
        ASSERT_TRUE(item.CreateInFolder(&session, nullptr));
    }
    void TearDown() override {
        item.Close();
        MapiTest::TearDown();
    }
    MessageItem item;
};

std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('A' + i % 26);
    return bytes;
}

}  // namespace

TEST_F(MapiItemTest, StreamValueReadsBackWholeAtAnyLength) {
    // Lengths on either side of each power of two up to 128 KiB, so that
    // no size of buffer the reader might use is missed.
    std::vector<size_t> sizes = {0};
    for (size_t power = 1; power <= 128 * 1024; power *= 2) {
        sizes.insert(sizes.end(), {power - 1, power, power + 1});
    }
    for (size_t size : sizes) {
        SCOPED_TRACE(size);
        const std::string text = Pattern(size);
        // As stored by others, and as the stream road writes it: with the
        // terminating zero.
        for (const std::string& stored : {text, text + '\0'}) {
            WriteStream(item.object, PR_BODY, stored);
            Text out("left over");
            EXPECT_EQ(item.GetStringProp(PR_BODY, out, 1), 1);
            EXPECT_EQ(out, text);
        }
    }
    // A zero byte inside the value: the text before it comes first, and
    // the zero never reaches the caller.
    std::string holed = Pattern(40000);
    holed[10] = '\0';
    WriteStream(item.object, PR_BODY, holed);
    Text out;
    EXPECT_EQ(item.GetStringProp(PR_BODY, out, 1), 1);
    const std::string read = AsString(out);
    EXPECT_EQ(read.substr(0, 10), holed.substr(0, 10));
    EXPECT_EQ(read.find('\0'), std::string::npos);
    EXPECT_LT(read.size(), holed.size());
}

TEST_F(MapiItemTest, FailedStreamReadEndsTheLoopAndTheRead) {
    WriteStream(item.object, PR_BODY, Pattern(40000));
    const unsigned reads = mailsim::CallCount("IStream::Read");
    mailsim::InjectFault("IStream::Read", STG_E_ACCESSDENIED, reads + 2);
    Text out("left over");
    EXPECT_EQ(item.GetStringProp(PR_BODY, out, 1), 0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(CallsSince("IStream::Read", reads), 2u);
}

TEST_F(MapiItemTest, StreamWriteCarriesTheTerminatingZeroWithoutCommit) {
    const unsigned commits = mailsim::CallCount("IStream::Commit");
    ASSERT_EQ(item.SetStringProp(PR_BODY, "abc", 1), 1);
    EXPECT_EQ(CallsSince("IStream::Commit", commits), 0u);
    EXPECT_EQ(ReadStream(item.object, PR_BODY), std::string("abc\0", 4));
    Text out;
    EXPECT_EQ(item.GetStringProp(PR_BODY, out, 1), 1);
    EXPECT_EQ(out, "abc");
}

TEST_F(MapiItemTest, FailedStreamWriteIsReported) {
    mailsim::InjectFault("IStream::Write", STG_E_CANTSAVE,
                         mailsim::CallCount("IStream::Write") + 1);
    EXPECT_EQ(item.SetStringProp(PR_BODY, "abc", 1), 0);
}

TEST_F(MapiItemTest, StringPropertyRoadAndItsFailures) {
    Text out("left over");
    EXPECT_EQ(item.SetStringProp(PR_SUBJECT, "Report", 0), 1);
    EXPECT_EQ(item.GetStringProp(PR_SUBJECT, out, 0), 1);
    EXPECT_EQ(out, "Report");

    out = "left over";
    EXPECT_EQ(item.GetStringProp(PR_SENDER_NAME, out, 0), 0);  // missing
    EXPECT_EQ(out, "");
    EXPECT_EQ(item.SetStringProp(PR_SUBJECT, nullptr, 0), 0);
    EXPECT_EQ(item.SetStringProp(PR_SUBJECT, nullptr, 1), 0);

    mailsim::InjectFault("IMessage::OpenProperty", E_FAIL, 0);
    out = "left over";
    EXPECT_EQ(item.GetStringProp(PR_BODY, out, 1), 0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(item.SetStringProp(PR_BODY, "x", 1), 0);
}

TEST_F(MapiItemTest, LongPropertiesFallBackToTheDefault) {
    EXPECT_EQ(item.GetLongProp(PR_IMPORTANCE, 77), 77u);
    ASSERT_TRUE(item.SetMessageFlags(0x28));
    EXPECT_EQ(item.GetMessageFlags(), 0x28u);
    mailsim::InjectFault("IMessage::GetProps", E_FAIL,
                         mailsim::CallCount("IMessage::GetProps") + 1);
    EXPECT_EQ(item.GetMessageFlags(), 0u);
}

TEST_F(MapiItemTest, ReadableStringsAreCheckedNotTrusted) {
    const long page = sysconf(_SC_PAGESIZE);
    void* guard =
        mmap(nullptr, static_cast<size_t>(page), PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(guard, MAP_FAILED);
    char text[] = "text";
    SPropValue value{};
    value.ulPropTag = PR_SUBJECT;
    value.Value.lpszA = text;
    EXPECT_EQ(ReadablePropString(&value), text);
    value.Value.lpszA = nullptr;
    EXPECT_EQ(ReadablePropString(&value), nullptr);
    value.Value.lpszA = static_cast<LPSTR>(guard);
    EXPECT_EQ(ReadablePropString(&value), nullptr);
    // An error value holds a code where the pointer would be.
    value.ulPropTag = PROP_TAG(PT_ERROR, PROP_ID(PR_SUBJECT));
    value.Value.err = MAPI_E_NOT_FOUND;
    EXPECT_EQ(ReadablePropString(&value), nullptr);
    EXPECT_EQ(ReadablePropString(nullptr), nullptr);
    munmap(guard, static_cast<size_t>(page));
}

TEST_F(MapiItemTest, EntryIdentifierIsAnIndependentCopy) {
    BYTE bytes[] = {1, 2, 3, 4};
    SBinary source = {sizeof bytes, bytes};
    item.SetEntryId(&source);
    bytes[0] = 9;
    ASSERT_EQ(item.entryId.cb, 4u);
    EXPECT_NE(item.entryId.lpb, bytes);
    EXPECT_EQ(item.entryId.lpb[0], 1);

    SBinary empty = {0, bytes};
    item.SetEntryId(&empty);
    EXPECT_EQ(item.entryId.cb, 0u);
    EXPECT_EQ(item.entryId.lpb, nullptr);
    item.SetEntryId(&source);
    item.SetEntryId(nullptr);
    EXPECT_EQ(item.entryId.cb, 0u);
    EXPECT_EQ(item.entryId.lpb, nullptr);
}

TEST_F(MapiItemTest, SaveKeepsOrClosesTheItem) {
    ASSERT_EQ(item.Save(0), 1);
    EXPECT_NE(item.object, nullptr);
    mailsim::InjectFault("IMessage::SaveChanges", E_FAIL,
                         mailsim::CallCount("IMessage::SaveChanges") + 1);
    EXPECT_EQ(item.Save(1), 0);
    EXPECT_NE(item.object, nullptr);  // a failed save does not close
    ASSERT_EQ(item.Save(1), 1);
    EXPECT_EQ(item.object, nullptr);
    EXPECT_EQ(item.session, nullptr);
    EXPECT_TRUE(item.entryId.Empty());

    const unsigned saves = mailsim::CallCount("IMessage::SaveChanges");
    EXPECT_EQ(item.Save(1), 0);
    EXPECT_EQ(CallsSince("IMessage::SaveChanges", saves), 0u);
    LPSPropValue value = nullptr;
    EXPECT_EQ(item.GetProp(PR_SUBJECT, &value), E_INVALIDARG);
    Text out("left over");
    EXPECT_EQ(item.GetStringProp(PR_SUBJECT, out, 1), 0);
    EXPECT_EQ(out, "");
}

TEST_F(MapiItemTest, FolderFromNullInterfaceHoldsNothingAndCallsNothing) {
    const size_t calls = mailsim::CallLog().size();
    {
        MapiFolder folder(&session, nullptr, nullptr);
        EXPECT_EQ(folder.name, "");
        EXPECT_TRUE(folder.entryId.Empty());
        EXPECT_EQ(folder.object, nullptr);
        folder.Close();
        MapiFolder named(&session, nullptr, "Named");
        EXPECT_EQ(named.name, "Named");
    }
    EXPECT_TRUE(LogSince(calls).empty());
}
