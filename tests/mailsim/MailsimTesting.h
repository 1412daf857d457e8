// Shared set-up for the simulated client's tests: every test starts from
// the default profile and must end with everything handed back.
#pragma once

#include "mailsim/Mailsim.h"
#include "mailsim/MapiNames.h"

#include <gtest/gtest.h>

#include <string>

class MailsimTest : public ::testing::Test {
protected:
    void SetUp() override { mailsim::Reset(); }
    void TearDown() override {
        if (!checkBalanceAtEnd) return;
        const mailsim::Accounting a = mailsim::GetAccounting();
        EXPECT_EQ(a.references, 0);
        EXPECT_EQ(a.buffers, 0);
        EXPECT_EQ(a.overReleases, 0u);
        EXPECT_EQ(a.callsAfterRelease, 0u);
        EXPECT_EQ(a.invalidFrees, 0u);
    }

    // MAPIInitialize + MAPILogonEx as the program does it.
    LPMAPISESSION Logon() {
        EXPECT_EQ(MAPIInitialize(nullptr), S_OK);
        LPMAPISESSION session = nullptr;
        EXPECT_EQ(MAPILogonEx(0, nullptr, nullptr,
                              MAPI_NEW_SESSION | MAPI_EXTENDED | MAPI_USE_DEFAULT, &session),
                  S_OK);
        return session;
    }

    bool checkBalanceAtEnd = true;
};

// The value of one property, or PT_ERROR; the array is freed.
struct OneProp {
    ULONG tag = 0;
    long long number = 0;
    std::string bytes;
};
inline OneProp GetOne(LPMAPIPROP object, ULONG tag, HRESULT* result = nullptr) {
    SizedSPropTagArray(1, tags) = {1, {tag}};
    ULONG count = 0;
    LPSPropValue value = nullptr;
    const HRESULT hr =
        object->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &count, &value);
    if (result != nullptr) *result = hr;
    OneProp one;
    if (value == nullptr) return one;
    one.tag = value->ulPropTag;
    switch (PROP_TYPE(value->ulPropTag)) {
        case PT_STRING8:
            one.bytes = value->Value.lpszA;
            break;
        case PT_BINARY:
            one.bytes.assign(reinterpret_cast<char*>(value->Value.bin.lpb), value->Value.bin.cb);
            break;
        case PT_BOOLEAN:
            one.number = value->Value.b;
            break;
        case PT_ERROR:
            one.number = static_cast<uint32_t>(value->Value.err);
            break;
        default:
            one.number = value->Value.l;
    }
    MAPIFreeBuffer(value);
    return one;
}

// The store's receive folder (the Inbox), opened with flags; null on failure.
inline LPMAPIFOLDER OpenReceiveFolder(LPMDB store, ULONG flags) {
    ULONG size = 0;
    LPENTRYID id = nullptr;
    EXPECT_EQ(store->GetReceiveFolder(nullptr, 0, &size, &id, nullptr), S_OK);
    if (id == nullptr) return nullptr;
    ULONG type = 0;
    LPUNKNOWN folder = nullptr;
    EXPECT_EQ(store->OpenEntry(size, id, nullptr, flags, &type, &folder), S_OK);
    MAPIFreeBuffer(id);
    return static_cast<LPMAPIFOLDER>(folder);
}
