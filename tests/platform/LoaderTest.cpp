// The module loader, the message box and the MAPI buffers of the Linux
// stand-in, with a test provider that decides whether MAPI32.DLL and its
// export exist and that owns the buffers.
#include <windows.h>
#include <mapi.h>
#include <mapix.h>
#include <mapiutil.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform_mapi_provider.h"

namespace {

struct Switches {
    bool library = true;
    bool exported = true;
    std::vector<std::string> boxes;
} switches;

PlatformMapiProvider TestProvider() {
    PlatformMapiProvider provider{};
    provider.libraryPresent = [] { return switches.library; };
    provider.sendMailExported = [] { return switches.exported; };
    provider.messageBox = [](LPCSTR caption, LPCSTR text, UINT style) {
        switches.boxes.push_back(std::string(caption) + "|" + text + "|" + std::to_string(style));
    };
    return provider;
}

class Loader : public ::testing::Test {
protected:
    void SetUp() override {
        switches = Switches{};
        provider_ = TestProvider();
        PlatformSetMapiProvider(&provider_);
    }
    void TearDown() override { PlatformSetMapiProvider(nullptr); }

    PlatformMapiProvider provider_{};
};

// Frees until the module is gone; returns how many frees succeeded.
int FreeAll(HMODULE module) {
    int freed = 0;
    while (FreeLibrary(module)) ++freed;
    return freed;
}

TEST_F(Loader, MapiLoadsInAnyCaseAndCountsReferences) {
    HMODULE first = LoadLibraryA("MAPI32.DLL");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(LoadLibraryA("mapi32.dll"), first);
    EXPECT_EQ(LoadLibraryA("Mapi32"), first);
    EXPECT_EQ(FreeAll(first), 3);
    EXPECT_FALSE(FreeLibrary(first));
    EXPECT_EQ(GetProcAddress(first, "MAPISendMail"), nullptr);  // unloaded
}

TEST_F(Loader, ExportsMapiSendMail) {
    HMODULE mapi = LoadLibraryA("MAPI32.DLL");
    ASSERT_NE(mapi, nullptr);
    FARPROC entry = GetProcAddress(mapi, "MAPISendMail");
    EXPECT_EQ(reinterpret_cast<void (*)()>(entry),
              reinterpret_cast<void (*)()>(static_cast<LPMAPISENDMAIL>(&MAPISendMail)));
    EXPECT_EQ(GetProcAddress(mapi, "mapisendmail"), nullptr);  // export names keep their case
    EXPECT_EQ(GetProcAddress(mapi, "MAPILogon"), nullptr);
    EXPECT_EQ(GetProcAddress(mapi, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(11))), nullptr);
    EXPECT_EQ(FreeAll(mapi), 1);
}

TEST_F(Loader, ProviderCanTakeTheLibraryOrTheExportAway) {
    switches.library = false;
    EXPECT_EQ(LoadLibraryA("MAPI32.DLL"), nullptr);
    switches.library = true;
    switches.exported = false;
    HMODULE mapi = LoadLibraryA("MAPI32.DLL");
    ASSERT_NE(mapi, nullptr);
    EXPECT_EQ(GetProcAddress(mapi, "MAPISendMail"), nullptr);
    EXPECT_EQ(FreeAll(mapi), 1);
}

TEST_F(Loader, WithoutProviderThereIsNoMapi) {
    PlatformSetMapiProvider(nullptr);
    EXPECT_EQ(LoadLibraryA("MAPI32.DLL"), nullptr);
}

TEST_F(Loader, ShellExportsShellExecuteExW) {
    HMODULE shell = LoadLibraryA("shell32.dll");
    ASSERT_NE(shell, nullptr);
    EXPECT_EQ(LoadLibraryA("SHELL32"), shell);
    EXPECT_NE(GetProcAddress(shell, "ShellExecuteExW"), nullptr);
    EXPECT_EQ(GetProcAddress(shell, "ShellExecuteA"), nullptr);
    EXPECT_TRUE(FreeLibrary(shell));
    EXPECT_TRUE(FreeLibrary(shell));
    EXPECT_FALSE(FreeLibrary(shell));
}

TEST_F(Loader, UnknownModulesAndHandlesAreRefused) {
    EXPECT_EQ(LoadLibraryA("NOSUCH.DLL"), nullptr);
    EXPECT_EQ(LoadLibraryA("MAPI32.DLL.bak"), nullptr);
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    int local = 0;
    HMODULE bogus = reinterpret_cast<HMODULE>(&local);
    EXPECT_FALSE(FreeLibrary(bogus));
    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_EQ(GetProcAddress(bogus, "MAPISendMail"), nullptr);
}

TEST_F(Loader, MessageBoxGoesToStandardErrorAndTheProvider) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(
        MessageBoxA(nullptr, "Unable to open folder 'Drafts'.", "Quillora", MB_OK | MB_ICONERROR),
        IDOK);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Quillora: Unable to open folder 'Drafts'.\n");
    EXPECT_EQ(switches.boxes,
              std::vector<std::string>{"Quillora|Unable to open folder 'Drafts'.|16"});
}

// MAPI buffers are the provider's: the runtime forwards every buffer call,
// FreeProws included, and allocates nothing without a provider.
TEST_F(Loader, BuffersBelongToTheProvider) {
    static std::vector<std::string> calls;
    static char blocks[3][64];
    calls.clear();
    provider_.allocateBuffer = [](ULONG size, LPVOID* buffer) -> SCODE {
        calls.push_back("allocate " + std::to_string(size));
        *buffer = blocks[calls.size() % 3];
        return S_OK;
    };
    provider_.allocateMore = [](ULONG size, LPVOID object, LPVOID* buffer) -> SCODE {
        calls.push_back("more " + std::to_string(size) + (object == blocks[1] ? " of 1" : ""));
        *buffer = nullptr;
        return MAPI_E_NOT_ENOUGH_MEMORY;
    };
    provider_.freeBuffer = [](LPVOID buffer) -> ULONG {
        for (int i = 0; i < 3; ++i)
            if (buffer == blocks[i]) calls.push_back("free " + std::to_string(i));
        return S_OK;
    };
    LPVOID set = nullptr;
    LPVOID more = &set;
    ASSERT_EQ(MAPIAllocateBuffer(CbNewSRowSet(1), &set), S_OK);
    EXPECT_EQ(set, blocks[1]);
    EXPECT_EQ(MAPIAllocateMore(8, set, &more), MAPI_E_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(more, nullptr);
    LPSRowSet rows = static_cast<LPSRowSet>(set);
    rows->cRows = 1;
    rows->aRow[0].lpProps = reinterpret_cast<LPSPropValue>(blocks[2]);
    FreeProws(rows);
    EXPECT_EQ(calls, (std::vector<std::string>{"allocate " + std::to_string(CbNewSRowSet(1)),
                                               "more 8 of 1", "free 2", "free 1"}));

    PlatformSetMapiProvider(nullptr);
    LPVOID none = &set;
    EXPECT_NE(MAPIAllocateBuffer(16, &none), S_OK);
    EXPECT_EQ(none, nullptr);
    none = &set;
    EXPECT_NE(MAPIAllocateMore(16, blocks[1], &none), S_OK);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(MAPIFreeBuffer(nullptr), S_OK);
}

}  // namespace
