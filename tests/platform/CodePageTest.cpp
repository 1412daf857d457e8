// The stand-in's conversions in the ANSI code pages it can be set to: 1252,
// 932 and 65001, with Windows' best fit, default character and refusals.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "AnsiCodePage.h"

namespace {

class CodePageTest : public AnsiCodePageTest {};

struct Converted {
    int size;
    std::string bytes;
    BOOL usedDefault;
    DWORD error;
};

Converted ToAnsi(const std::wstring& wide, DWORD flags, const char* defaultChar = nullptr) {
    char out[16] = {};
    BOOL used = 7;
    SetLastError(ERROR_SUCCESS);
    const int size = WideCharToMultiByte(CP_ACP, flags, wide.data(), static_cast<int>(wide.size()),
                                         out, sizeof out, defaultChar, &used);
    return {size, std::string(out, size > 0 ? size : 0), used, GetLastError()};
}

std::wstring FromAnsi(const std::string& bytes, DWORD flags, DWORD* error = nullptr) {
    wchar_t out[16];
    SetLastError(ERROR_SUCCESS);
    const int size =
        MultiByteToWideChar(CP_ACP, flags, bytes.data(), static_cast<int>(bytes.size()), out, 16);
    if (error != nullptr) *error = GetLastError();
    return std::wstring(out, size > 0 ? size : 0);
}

// Each character with best fit (flags 0) and without (WC_NO_BEST_FIT_CHARS),
// as Microsoft's best-fit tables for the two code pages have them.
TEST_F(CodePageTest, BestFitOnlyWithoutNoBestFitChars) {
    const struct {
        UINT codePage;
        wchar_t unit;
        const char* bestFit;  // with flags 0
        bool bestFitIsDefault;
        const char* exact;  // with WC_NO_BEST_FIT_CHARS
    } cases[] = {
        {1252, 0xFF0D, "-", false, "?"},
        {1252, 0xFF02, "\"", false, "?"},
        {1252, 0xFF3C, "\\", false, "?"},
        {1252, 0xFF1B, ";", false, "?"},
        {1252, 0xFF5E, "~", false, "?"},
        {1252, 0xFF1F, "?", true, "?"},  // a look-alike that is the default character
        {1252, 0x2212, "-", false, "?"},
        {1252, 0x0141, "L", false, "?"},
        {1252, 0x017A, "z", false, "?"},
        {1252, 0x0107, "c", false, "?"},
        {1252, 0x0110, "\xD0", false, "?"},
        {1252, 0x0132, "?", true, "?"},  // IJ: the table has none
        {1252, 0x0152, "\x8C", false, "\x8C"},
        {1252, 0x00AD, "\xAD", false, "\xAD"},
        {1252, 0x00A5, "\xA5", false, "\xA5"},
        {1252, 0x3042, "?", true, "?"},
        {932, 0x00A5, "\x5C", false, "?"},
        {932, 0x00AD, "-", false, "?"},
        {932, 0x2212, "?", true, "?"},  // bestfit932 maps no minus sign
        {932, 0xFF0D, "\x81\x7C", false, "\x81\x7C"},
        {932, 0xFF02, "\xFA\x57", false, "\xFA\x57"},
        {932, 0xFF3C, "\x81\x5F", false, "\x81\x5F"},
        {932, 0xFF1B, "\x81\x47", false, "\x81\x47"},
        {932, 0x8868, "\x95\x5C", false, "\x95\x5C"},
        {932, 0x2252, "\x81\xE0", false, "\x81\xE0"},  // not NEC's duplicate 0x8790
        {932, 0x2170, "\xFA\x40", false, "\xFA\x40"},  // IBM's, not NEC's selection 0xEEEF
        {932, 0xFF71, "\xB1", false, "\xB1"},
        {932, 0x0141, "?", true, "?"},
        {932, 0x20AC, "?", true, "?"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(PlatformSetAnsiCodePage(c.codePage));
        const std::wstring unit(1, c.unit);
        const Converted fitted = ToAnsi(unit, 0);
        EXPECT_EQ(fitted.bytes, c.bestFit) << c.codePage << " U+" << std::hex << c.unit;
        EXPECT_EQ(fitted.usedDefault, c.bestFitIsDefault ? TRUE : FALSE) << std::hex << c.unit;
        const Converted exact = ToAnsi(unit, WC_NO_BEST_FIT_CHARS);
        EXPECT_EQ(exact.bytes, c.exact) << c.codePage << " U+" << std::hex << c.unit;
        EXPECT_EQ(exact.usedDefault, std::string(c.exact) == "?" ? TRUE : FALSE)
            << std::hex << c.unit;
    }
}

// One default character per UTF-16 unit, the caller's if given (in 932 it
// may take two bytes).
TEST_F(CodePageTest, DefaultCharacterForEachUnitTheCodePageLacks) {
    const struct {
        UINT codePage;
        std::wstring text;
        const char* defaultChar;
        const char* bytes;
    } cases[] = {
        {1252,
         L"a\xD83D\xDE00"
         L"b",
         nullptr, "a??b"},
        {1252, L"\xDE00\x0141", "*", "*L"},
        {932, L"a\xD83D\xDE00", "*", "a**"},
        {932, L"\x0141", "\x81\x45", "\x81\x45"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(PlatformSetAnsiCodePage(c.codePage));
        const Converted converted = ToAnsi(c.text, 0, c.defaultChar);
        EXPECT_EQ(converted.bytes, c.bytes) << c.codePage;
        EXPECT_TRUE(converted.usedDefault) << c.codePage;
    }
}

TEST_F(CodePageTest, DecodesTheAnsiCodePage) {
    const struct {
        UINT codePage;
        std::string bytes;
        std::wstring lenient;  // flags 0
        bool invalid;          // MB_ERR_INVALID_CHARS refuses it
    } cases[] = {
        {1252, "\x80\x81\xE9", L"\x20AC\x0081\x00E9", false},
        {932, "a\x82\xA0\x95\x5C\xB1", L"a\x3042\x8868\xFF71", false},
        {932, "\x81\x7C\x80", L"\xFF0D\x0080", false},
        {932, "\xF0\x40", L"\xE000", false},
        {932, "a\x81", L"a\x30FB", true},  // a lead byte without its trail byte
        {932, std::string("\x81\0", 2), std::wstring(L"\x30FB\0", 2), true},
        {932, "\x85\x40", L"\x30FB", true},  // a row the code page leaves empty
        {932, "\x81\x20", L"\x30FB", true},
        {932, "\xA0\xFD", L"\xF8F0\xF8F1", true},
        {CP_UTF8, "\xC5\x81\xE2\x9C\x93", L"\x0141\x2713", false},
        {CP_UTF8, "a\xC5", L"a\xFFFD", true},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(PlatformSetAnsiCodePage(c.codePage));
        EXPECT_EQ(FromAnsi(c.bytes, 0), c.lenient) << c.codePage << " " << c.bytes;
        DWORD error = ERROR_SUCCESS;
        const std::wstring strict = FromAnsi(c.bytes, MB_ERR_INVALID_CHARS, &error);
        EXPECT_EQ(strict, c.invalid ? L"" : c.lenient) << c.codePage << " " << c.bytes;
        EXPECT_EQ(error, c.invalid ? static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION)
                                   : static_cast<DWORD>(ERROR_SUCCESS));
    }
}

// Code page 65001 as the ANSI one is UTF-8 in every respect, its refusals
// included: UTF-8 lacks no character, so Windows takes no default for it.
TEST_F(CodePageTest, Utf8AsTheAnsiCodePageRefusesWhatUtf8Refuses) {
    ASSERT_TRUE(PlatformSetAnsiCodePage(CP_UTF8));
    EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
    for (UINT codePage : {static_cast<UINT>(CP_ACP), static_cast<UINT>(CP_UTF8)}) {
        char out[16];
        BOOL used = FALSE;
        EXPECT_EQ(
            WideCharToMultiByte(codePage, 0, L"\x0141\xFF0D", 2, out, sizeof out, nullptr, nullptr),
            5);
        EXPECT_EQ(std::string(out, 5), "\xC5\x81\xEF\xBC\x8D");
        const struct {
            DWORD flags;
            const char* defaultChar;
            BOOL* usedDefault;
            DWORD error;
        } refusals[] = {
            {WC_NO_BEST_FIT_CHARS, nullptr, nullptr, ERROR_INVALID_FLAGS},
            {0, "?", nullptr, ERROR_INVALID_PARAMETER},
            {0, nullptr, &used, ERROR_INVALID_PARAMETER},
        };
        for (const auto& r : refusals) {
            SetLastError(ERROR_SUCCESS);
            EXPECT_EQ(WideCharToMultiByte(codePage, r.flags, L"a", 1, out, sizeof out,
                                          r.defaultChar, r.usedDefault),
                      0);
            EXPECT_EQ(GetLastError(), r.error) << codePage << " " << r.flags;
        }
    }
}

TEST_F(CodePageTest, OnlyTheThreeCodePagesCanBeSet) {
    EXPECT_EQ(GetACP(), 1252u);
    EXPECT_FALSE(PlatformSetAnsiCodePage(437));
    EXPECT_FALSE(PlatformSetAnsiCodePage(CP_ACP));
    EXPECT_EQ(GetACP(), 1252u);
    EXPECT_TRUE(PlatformSetAnsiCodePage(932));
    EXPECT_EQ(GetACP(), 932u);
}

}  // namespace
