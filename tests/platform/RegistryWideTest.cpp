// RegOpenKeyExW and RegQueryValueExW over the stand-in's ANSI registry:
// strings come back in UTF-16, their sizes in bytes, as Windows gives them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "AnsiCodePage.h"
#include "platform_registry_testing.h"

namespace {

class RegistryWideTest : public AnsiCodePageTest {
protected:
    void TearDown() override {
        PlatformRegistryClearInstalled();
        AnsiCodePageTest::TearDown();
    }
};

TEST_F(RegistryWideTest, StringsInUtf16AndTheSizeContract) {
    const struct {
        UINT codePage;
        DWORD type;
        std::string stored;
        std::wstring read;  // the bytes as UTF-16 units
    } cases[] = {
        {1252, REG_SZ, std::string("Gr\xFC\xDF\0", 5), std::wstring(L"Gr\xFC\xDF\0", 5)},
        {1252, REG_EXPAND_SZ, std::string("%T%\\\x80\0", 6), std::wstring(L"%T%\\\x20AC\0", 6)},
        {932, REG_SZ, std::string("\x95\x5C\0", 3), std::wstring(L"\x8868\0", 2)},
        {1252, REG_SZ, "abc", L"abc"},  // stored without its terminator, read so
        {1252, REG_MULTI_SZ, std::string("a\0bc\0\0", 6), std::wstring(L"a\0bc\0\0", 6)},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(PlatformSetAnsiCodePage(c.codePage));
        PlatformRegistryInstallValue("Quillora\\Value", c.type, c.stored.data(),
                                     static_cast<DWORD>(c.stored.size()));
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"QUILLORA\\value", 0, KEY_READ, &key),
                  ERROR_SUCCESS);
        const DWORD needed = static_cast<DWORD>(c.read.size() * sizeof(WCHAR));
        DWORD type = REG_NONE, size = 0;
        EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size), ERROR_SUCCESS);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(size, needed);
        WCHAR data[16];
        size = needed - 1;
        EXPECT_EQ(
            RegQueryValueExW(key, L"", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size),
            ERROR_MORE_DATA);
        EXPECT_EQ(size, needed);
        EXPECT_EQ(
            RegQueryValueExW(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size),
            ERROR_SUCCESS);
        EXPECT_EQ(std::wstring(data, size / sizeof(WCHAR)), c.read);
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    }
    // A name the ANSI code page cannot hold names nothing, even where a
    // look-alike ("Lodz") would.
    PlatformRegistryInstallString("Lodz", REG_SZ, "x");
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"\x141odz", 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
}

}  // namespace
