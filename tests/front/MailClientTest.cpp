// The default mail client as the stand-in registry reports it, and the MAPI
// roads that an opt-in road skips when the client lacks their library.
#include "front/MailClient.h"

#include <windows.h>
#include <mapicode.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "front/ComposeDispatch.h"
#include "tests/RequestForTest.h"
#include "platform_mapi_provider.h"
#include "platform_registry_testing.h"

namespace {

const char kMail[] = "Software\\Clients\\Mail";

class MailClientTest : public ::testing::Test {
protected:
    void TearDown() override {
        PlatformRegistryClearInstalled();
        EXPECT_EQ(PlatformRegistryOpenKeyCount(), 0u);
    }
    // HKLM names `name`, whose key holds the given library values ("" for
    // none).
    static void Register(const char* name, const char* extended, const char* simple,
                         DWORD type = REG_SZ) {
        PlatformRegistryInstallNamedString(HKEY_LOCAL_MACHINE, kMail, "", REG_SZ, name);
        const std::string key = std::string(kMail) + "\\" + name;
        PlatformRegistryInstallMissingKey(HKEY_LOCAL_MACHINE, key.c_str());
        PlatformRegistryInstallNamedString(HKEY_LOCAL_MACHINE, key.c_str(), "", REG_SZ, name);
        if (*extended) {
            PlatformRegistryInstallNamedString(HKEY_LOCAL_MACHINE, key.c_str(), "DLLPathEx", type,
                                               extended);
        }
        if (*simple) {
            PlatformRegistryInstallNamedString(HKEY_LOCAL_MACHINE, key.c_str(), "DLLPath", type,
                                               simple);
        }
    }
};

TEST_F(MailClientTest, FindsTheLibrariesTheDefaultClientNames) {
    // The simulated client, built into this program, as the stand-in names it.
    MailClient client = LookUpMailClient();
    EXPECT_EQ(client.name, "Mailsim");
    EXPECT_TRUE(client.extended.found && client.simple.found);

    // Named, but its Extended MAPI library is missing and its Simple MAPI
    // library is a bare name found on the search path.
    Register("Absent Mail", "/nonexistent/olmapi32.dll", "sh");
    client = LookUpMailClient();
    EXPECT_EQ(client.name, "Absent Mail");
    EXPECT_FALSE(client.extended.found);
    EXPECT_TRUE(client.simple.found);
    EXPECT_EQ(client.simple.path.c_str()[0], '/') << client.simple.path.c_str();

    // A REG_EXPAND_SZ path is expanded before it is looked for.
    ::setenv("QUILLORA_TEST_LIBRARY_DIR", "/bin", 1);
    Register("Expanded", "%QUILLORA_TEST_LIBRARY_DIR%/sh", "", REG_EXPAND_SZ);
    client = LookUpMailClient();
    EXPECT_EQ(client.extended.path, "/bin/sh");
    EXPECT_TRUE(client.extended.found);
    EXPECT_FALSE(client.simple.found);

    // The user's choice (HKCU) comes before the machine's; a client without
    // a key of its own has no library.
    PlatformRegistryInstallNamedString(HKEY_CURRENT_USER, kMail, "", REG_SZ, "Gone");
    client = LookUpMailClient();
    EXPECT_EQ(client.name, "Gone");
    EXPECT_FALSE(client.extended.found || client.simple.found);

    // No default client at all.
    PlatformRegistryClearInstalled();
    PlatformRegistryInstallMissingKey(HKEY_LOCAL_MACHINE, kMail);
    client = LookUpMailClient();
    EXPECT_TRUE(client.name.empty());
    EXPECT_FALSE(client.extended.found || client.simple.found);
}

// Counts the MAPI calls that reach the provider.
struct Calls {
    int initialize = 0, uninitialize = 0, sendMail = 0;
} calls;

class RoadGate : public MailClientTest {
protected:
    void SetUp() override {
        calls = Calls{};
        provider_.initialize = [](LPVOID) -> HRESULT {
            ++calls.initialize;
            return MAPI_E_NOT_INITIALIZED;
        };
        provider_.uninitialize = [] { ++calls.uninitialize; };
        provider_.sendMail = [](LHANDLE, ULONG_PTR, lpMapiMessage, FLAGS, ULONG) -> ULONG {
            ++calls.sendMail;
            return MAPI_E_FAILURE;
        };
        provider_.libraryPresent = [] { return true; };
        provider_.sendMailExported = [] { return true; };
        PlatformSetMapiProvider(&provider_);
    }
    void TearDown() override {
        PlatformSetMapiProvider(nullptr);
        MailClientTest::TearDown();
    }
    PlatformMapiProvider provider_{};
};

TEST_F(RoadGate, OptInRoadsSkipTheMapiRoadsTheClientCannotServe) {
    const struct {
        const char* extended;
        const char* simple;
        bool mailto, eml;
        int initialize, sendMail;
    } cases[] = {
        // Without an opt-in road, both MAPI roads run whatever is registered.
        {"", "", false, false, 1, 1},
        // With one, only the roads whose library exists.
        {"", "", true, false, 0, 0},
        {"", "", false, true, 0, 0},
        {"/nonexistent.dll", "sh", true, false, 0, 1},
        {"sh", "/nonexistent.dll", false, true, 1, 0},
    };
    for (const auto& c : cases) {
        PlatformRegistryClearInstalled();
        Register("Client", c.extended, c.simple);
        calls = Calls{};
        // The attachment keeps the opt-in roads from opening anything.
        const RequestForTest request(nullptr, nullptr, nullptr, nullptr, nullptr,
                                     "/nonexistent/attachment");
        OptInRoads optIn;
        optIn.mailto = c.mailto;
        optIn.eml = c.eml;
        EXPECT_EQ(ComposeDispatch(*request, optIn), -1);
        const std::string label = std::string(c.extended) + "|" + c.simple;
        EXPECT_EQ(calls.initialize, c.initialize) << label;
        EXPECT_EQ(calls.uninitialize, c.initialize) << label;
        EXPECT_EQ(calls.sendMail, c.sendMail) << label;
    }
}

}  // namespace
