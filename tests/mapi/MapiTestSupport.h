// Shared fixture of the MAPI tests: every test runs against the simulated
// mail client with a fresh profile and ends by checking that the code gave
// back every interface reference and MAPI buffer, exactly once.
#pragma once

#include <gtest/gtest.h>
#include <mailsim/Mailsim.h>

#include <string>
#include <vector>

#include "mapi/MapiPlatform.h"
#include "mapi/MapiSession.h"
#include "tests/TextTesting.h"

class MapiTest : public ::testing::Test {
protected:
    void SetUp() override;
    // Closes the session, stops MAPI, then checks the accounting.
    void TearDown() override;

    void UseProfile(const std::string& json);
    // Initialize, Logon and OpenStore(storeName, 0x201), as the program does.
    void StartSession(const char* storeName = nullptr);

    // Test-side reads that leave nothing outstanding.
    static std::string StringProp(LPMAPIPROP object, ULONG tag);
    static std::string BinaryProp(LPMAPIPROP object, ULONG tag);
    // The display name of the session's open store ("" when none).
    std::string StoreName();
    // Writes bytes as they are into a property stream of object.
    static void WriteStream(LPMAPIPROP object, ULONG tag, const std::string& bytes);
    // All bytes of a property stream of object.
    static std::string ReadStream(LPMAPIPROP object, ULONG tag);
    // How many times call happened since the mark was taken.
    static unsigned CallsSince(const std::string& call, unsigned mark) {
        return mailsim::CallCount(call) - mark;
    }
    // The calls made since the log held mark entries.
    static std::vector<std::string> LogSince(size_t mark);

    static long References() { return mailsim::GetAccounting().references; }
    static long Buffers() { return mailsim::GetAccounting().buffers; }

    MapiSession session;
    bool initialized = false;
};
