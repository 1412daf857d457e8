// The stand-in registry: Windows' size contract, and the desktop's URL-scheme
// handlers found through the XDG directories in their order of importance.
#include <windows.h>

#include "platform_registry_testing.h"
#include "TempDesktop.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kMailtoCommand[] = "mailto\\shell\\open\\command";

// Reads the default value of HKCR\<keyPath>; returns the first failing result.
LONG ReadDefault(const char* keyPath, std::string& text) {
    HKEY key;
    LONG result = RegOpenKeyExA(HKEY_CLASSES_ROOT, keyPath, 0, KEY_QUERY_VALUE, &key);
    if (result != ERROR_SUCCESS) return result;
    char buffer[1024];
    DWORD size = sizeof buffer;
    result =
        RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size);
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    if (result == ERROR_SUCCESS) text.assign(buffer, size);
    return result;
}

std::string DesktopEntry(const std::string& exec) {
    return "[Desktop Entry]\nType=Application\nName=Mail\nExec=" + exec + "\n";
}

class RegistryTest : public ::testing::Test {
protected:
    void TearDown() override { PlatformRegistryClearInstalled(); }
    TempDesktop desktop;
};

TEST_F(RegistryTest, SizeContractFollowsWindows) {
    PlatformRegistryInstallString(kMailtoCommand, REG_SZ, "abc");
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CLASSES_ROOT, kMailtoCommand, 0, KEY_QUERY_VALUE, &key));
    DWORD type = REG_NONE;
    DWORD size = 0;
    // Without a buffer only the size, terminator included, is reported.
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size));
    EXPECT_EQ(4u, size);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);

    char buffer[8] = "zzzzzzz";
    size = 3;  // room for the text but not its terminator
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(key, nullptr, nullptr, nullptr,
                                                reinterpret_cast<LPBYTE>(buffer), &size));
    EXPECT_EQ(4u, size);
    size = 4;
    EXPECT_EQ(ERROR_SUCCESS,
              RegQueryValueExA(key, "", nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size));
    EXPECT_EQ(std::string("abc\0zzz", 7), std::string(buffer, 7));

    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegQueryValueExA(key, "Other", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key));
}

TEST_F(RegistryTest, InstalledKeysAnswerBeforeTheDesktop) {
    desktop.Write("config/mimeapps.list",
                  "[Default Applications]\nx-scheme-handler/mailto=mail.desktop\n");
    desktop.Write("data/applications/mail.desktop", DesktopEntry("mail %u"));
    std::string text;
    ASSERT_EQ(ERROR_SUCCESS, ReadDefault("MAILTO\\Shell\\Open\\Command", text));
    EXPECT_EQ(std::string("mail %u", 8), text);

    PlatformRegistryInstallKeyWithoutValue(kMailtoCommand);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadDefault(kMailtoCommand, text));
    PlatformRegistryInstallMissingKey(kMailtoCommand);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadDefault(kMailtoCommand, text));
    PlatformRegistryClearInstalled();
    EXPECT_EQ(ERROR_SUCCESS, ReadDefault(kMailtoCommand, text));
}

TEST_F(RegistryTest, OnlySchemeCommandKeysExist) {
    desktop.Write("config/mimeapps.list",
                  "[Default Applications]\nx-scheme-handler/mailto=mail.desktop\n");
    desktop.Write("data/applications/mail.desktop", DesktopEntry("mail %u"));
    std::string text;
    for (const char* path : {"mailto", "mailto\\shell\\open", "http\\shell\\open\\command",
                             "\\shell\\open\\command", "a\\mailto\\shell\\open\\command"}) {
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadDefault(path, text)) << path;
    }
    HKEY key;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMailtoCommand, 0, KEY_QUERY_VALUE, &key));
}

struct LookupCase {
    const char* name;
    std::map<std::string, std::string> files;  // relative to the temporary root
    const char* currentDesktop;
    const char* expected;  // nullptr: no handler
};
void PrintTo(const LookupCase& c, std::ostream* os) {
    *os << c.name;
}

class DesktopLookupTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(DesktopLookupTest, FindsTheDesktopsCommand) {
    TempDesktop desktop;
    const LookupCase& c = GetParam();
    for (const auto& file : c.files) desktop.Write(file.first, file.second);
    if (c.currentDesktop != nullptr) desktop.Set("XDG_CURRENT_DESKTOP", c.currentDesktop);
    std::string text;
    LONG result = ReadDefault(kMailtoCommand, text);
    if (c.expected == nullptr) {
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, result);
    } else {
        ASSERT_EQ(ERROR_SUCCESS, result);
        EXPECT_EQ(std::string(c.expected) + '\0', text);
    }
}

// An ID of 100,000 dashes that names no installed entry, then one that does.
std::string LongIdThenInstalledOne() {
    std::string id = "a";
    for (int i = 0; i < 100000; ++i) id += "-a";
    return "[Default Applications]\nx-scheme-handler/mailto=" + id + ".desktop;b.desktop\n";
}

const std::string kDefaultA = "[Default Applications]\nx-scheme-handler/mailto=a.desktop;\n";
const std::string kDefaultB = "[Default Applications]\nx-scheme-handler/mailto=b.desktop;\n";

INSTANTIATE_TEST_SUITE_P(
    Xdg, DesktopLookupTest,
    ::testing::Values(
        LookupCase{"NothingRegistered", {}, nullptr, nullptr},
        LookupCase{"ExecLineAsWritten",
                   {{"config/mimeapps.list", kDefaultA},
                    {"usr-share/applications/a.desktop",
                     "[Desktop Action new]\nExec=other\n[Desktop Entry]\nExec[de]=de\n"
                     "Exec  =  \"/opt/my mail\" -compose \"%u\" 100% \n"}},
                   nullptr,
                   "\"/opt/my mail\" -compose \"%u\" 100% "},
        LookupCase{"UserConfigBeforeSystemConfig",
                   {{"etc-xdg/mimeapps.list", kDefaultB},
                    {"config/mimeapps.list", kDefaultA},
                    {"data/applications/a.desktop", DesktopEntry("a %u")},
                    {"data/applications/b.desktop", DesktopEntry("b %u")}},
                   nullptr,
                   "a %u"},
        LookupCase{"DesktopOwnListFirst",
                   {{"config/mimeapps.list", kDefaultA},
                    {"config/xfce-mimeapps.list", kDefaultB},
                    {"data/applications/a.desktop", DesktopEntry("a %u")},
                    {"data/applications/b.desktop", DesktopEntry("b %u")}},
                   "XFCE",
                   "b %u"},
        LookupCase{"ListsInDataDirectories",
                   {{"usr-share/applications/mimeapps.list", kDefaultB},
                    {"usr-share/applications/b.desktop", DesktopEntry("b %u")}},
                   nullptr,
                   "b %u"},
        LookupCase{"UninstalledDefaultFallsThrough",
                   {{"config/mimeapps.list",
                     "[Default Applications]\nx-scheme-handler/mailto=gone.desktop;a.desktop\n"},
                    {"etc-xdg/mimeapps.list", kDefaultB},
                    {"data/applications/a.desktop", DesktopEntry("a %u")},
                    {"data/applications/b.desktop", DesktopEntry("b %u")}},
                   nullptr,
                   "a %u"},
        LookupCase{"HiddenEntryIsNotInstalled",
                   {{"config/mimeapps.list", kDefaultA},
                    {"etc-xdg/mimeapps.list", kDefaultB},
                    {"data/applications/a.desktop", DesktopEntry("a %u") + "Hidden=true\n"},
                    {"usr-share/applications/a.desktop", DesktopEntry("shadowed")},
                    {"usr-share/applications/b.desktop", DesktopEntry("b %u")}},
                   nullptr,
                   "b %u"},
        LookupCase{"UserEntryShadowsSystemEntry",
                   {{"config/mimeapps.list", kDefaultA},
                    {"usr-local-share/applications/a.desktop", DesktopEntry("local")},
                    {"usr-share/applications/a.desktop", DesktopEntry("system")}},
                   nullptr,
                   "local"},
        LookupCase{"EntryInSubdirectory",
                   {{"config/mimeapps.list",
                     "[Default Applications]\nx-scheme-handler/mailto=vendor-mail.desktop\n"},
                    {"usr-share/applications/vendor/mail.desktop", DesktopEntry("vendor")}},
                   nullptr,
                   "vendor"},
        LookupCase{"DashesInsideASubdirectory",
                   {{"config/mimeapps.list",
                     "[Default Applications]\nx-scheme-handler/mailto=kde-mail-client.desktop\n"},
                    {"usr-share/applications/kde/mail/other.desktop", DesktopEntry("decoy")},
                    {"usr-share/applications/kde/mail-client.desktop", DesktopEntry("kde")}},
                   nullptr,
                   "kde"},
        LookupCase{"NoEntryOutsideTheApplicationsDirectory",
                   {{"config/mimeapps.list",
                     "[Default Applications]\nx-scheme-handler/mailto=..-outside.desktop\n"},
                    {"usr-share/applications/other.desktop", DesktopEntry("other")},
                    {"usr-share/outside.desktop", DesktopEntry("outside")}},
                   nullptr,
                   nullptr},
        LookupCase{"LongIdBeforeAnInstalledOne",
                   {{"config/mimeapps.list", LongIdThenInstalledOne()},
                    {"data/applications/a-a/a.desktop", DesktopEntry("decoy")},
                    {"usr-share/applications/b.desktop", DesktopEntry("b %u")}},
                   nullptr,
                   "b %u"},
        LookupCase{"AddedAssociationWithoutDefault",
                   {{"config/mimeapps.list",
                     "[Removed Associations]\nx-scheme-handler/mailto=a.desktop\n"},
                    {"usr-share/applications/mimeapps.list",
                     "[Added Associations]\nx-scheme-handler/mailto=a.desktop;b.desktop;\n"},
                    {"data/applications/a.desktop", DesktopEntry("a %u")},
                    {"data/applications/b.desktop", DesktopEntry("b %u")}},
                   nullptr,
                   "b %u"},
        LookupCase{"OtherSchemeOnly",
                   {{"config/mimeapps.list",
                     "[Default Applications]\nx-scheme-handler/mailtox=a.desktop\n"},
                    {"data/applications/a.desktop", DesktopEntry("a %u")}},
                   nullptr,
                   nullptr}),
    [](const ::testing::TestParamInfo<LookupCase>& info) { return info.param.name; });

}  // namespace
