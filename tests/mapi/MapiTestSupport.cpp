#include "MapiTestSupport.h"

#include "mapi/MapiGuards.h"
#include "mapi/PropValues.h"

void MapiTest::SetUp() {
    mailsim::Reset();
}

void MapiTest::TearDown() {
    session.Close();
    if (initialized) MapiSession::Uninitialize();
    initialized = false;
    const mailsim::Accounting left = mailsim::GetAccounting();
    EXPECT_EQ(left.references, 0) << "interface references not released";
    EXPECT_EQ(left.buffers, 0) << "MAPI buffers not freed";
    EXPECT_EQ(left.overReleases, 0u) << "references released twice";
    EXPECT_EQ(left.callsAfterRelease, 0u) << "calls on released objects";
    EXPECT_EQ(left.invalidFrees, 0u) << "frees of pointers that were no live buffer";
}

void MapiTest::UseProfile(const std::string& json) {
    std::string error;
    ASSERT_TRUE(mailsim::LoadProfileText(json, &error)) << error;
}

void MapiTest::StartSession(const char* storeName) {
    ASSERT_TRUE(session.Initialize(true, false));
    initialized = true;
    ASSERT_TRUE(session.Logon(nullptr, false));
    ASSERT_TRUE(session.OpenStore(storeName, MAPI_MODIFY | MAPI_NO_CACHE));
}

std::string MapiTest::StringProp(LPMAPIPROP object, ULONG tag) {
    MapiBuffer<SPropValue> value;
    if (!object || GetSingleProp(object, tag, value) != S_OK) return "<missing>";
    if (PROP_TYPE(value->ulPropTag) != PT_STRING8) return "<not text>";
    return value->Value.lpszA;
}

std::string MapiTest::BinaryProp(LPMAPIPROP object, ULONG tag) {
    MapiBuffer<SPropValue> value;
    if (!object || GetSingleProp(object, tag, value) != S_OK) return "<missing>";
    const SBinary* bin = BinaryValue(value.Get());
    if (!bin) return "<not binary>";
    return std::string(reinterpret_cast<const char*>(bin->lpb), bin->cb);
}

std::string MapiTest::StoreName() {
    return session.store ? StringProp(session.store, PR_DISPLAY_NAME) : "";
}

void MapiTest::WriteStream(LPMAPIPROP object, ULONG tag, const std::string& bytes) {
    InterfaceHolder<IStream> stream;
    ASSERT_EQ(
        object->OpenProperty(tag, &IID_IStream, 0, MAPI_CREATE | MAPI_MODIFY, stream.OutUnknown()),
        S_OK);
    ASSERT_EQ(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr), S_OK);
    ASSERT_EQ(stream->Commit(STGC_DEFAULT), S_OK);
}

std::string MapiTest::ReadStream(LPMAPIPROP object, ULONG tag) {
    InterfaceHolder<IStream> stream;
    if (object->OpenProperty(tag, &IID_IStream, 0, 0, stream.OutUnknown()) != S_OK) return "<none>";
    std::string bytes;
    char buffer[1000];
    ULONG read = 0;
    while (stream->Read(buffer, sizeof buffer, &read) == S_OK && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

std::vector<std::string> MapiTest::LogSince(size_t mark) {
    std::vector<std::string> log = mailsim::CallLog();
    if (mark > log.size()) mark = log.size();
    return std::vector<std::string>(log.begin() + static_cast<long>(mark), log.end());
}
