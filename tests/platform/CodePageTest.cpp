// The stand-in's conversions in the ANSI code pages it can be set to: 1252,
// 932 and 65001, with Windows' best fit, default character and refusals.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "AnsiCodePage.h"

namespace {

class CodePageTest : public AnsiCodePageTest {};

// Best fit (flags 0) against WC_NO_BEST_FIT_CHARS, as Microsoft's best-fit
// tables for the two code pages have it, and one default character for
// each UTF-16 unit the code page lacks (in 932 it may take two bytes).
TEST_F(CodePageTest, BestFitAndTheDefaultCharacter) {
    const std::wstring fits1252 = L"\xFF0D\xFF02\xFF3C\xFF1B\x2212\x141\x17A\x107\x110\xAD\xA5";
    const std::wstring fits932 = L"\xA5\xAD\xFF0D\xFF02\xFF3C\xFF1B\x2252\x2170";
    const struct {
        UINT codePage;
        std::wstring text;
        DWORD flags;
        const char* defaultChar;
        std::string bytes;
        BOOL usedDefault;
    } cases[] = {
        {1252, fits1252, 0, nullptr, "-\"\\;-Lzc\xD0\xAD\xA5", FALSE},
        {1252, fits1252, WC_NO_BEST_FIT_CHARS, nullptr, "?????????\xAD\xA5", TRUE},
        {1252, L"\x132", 0, nullptr, "?", TRUE},   // no look-alike in the table
        {1252, L"\xFF1F", 0, nullptr, "?", TRUE},  // a look-alike that is the default
        {1252, L"a\xD83D\xDE00", 0, "*", "a**", TRUE},
        // 932's own fullwidth forms; not NEC's duplicate of U+2252 nor its
        // selection of IBM's U+2170.
        {932, fits932, 0, nullptr, "\x5C-\x81\x7C\xFA\x57\x81\x5F\x81\x47\x81\xE0\xFA\x40", FALSE},
        {932, fits932, WC_NO_BEST_FIT_CHARS, nullptr,
         "??\x81\x7C\xFA\x57\x81\x5F\x81\x47\x81\xE0\xFA\x40", TRUE},
        {932, L"\x2212", 0, nullptr, "?", TRUE},  // bestfit932.txt has no minus sign
        {932, std::wstring(1, static_cast<wchar_t>(0x1F600)), 0, nullptr, "?",
         TRUE},  // no UTF-16 unit
        {932, L"\x141\xDE00", 0, "\x81\x45", "\x81\x45\x81\x45", TRUE},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(PlatformSetAnsiCodePage(c.codePage));
        char out[32];
        BOOL used = 7;
        const int size =
            WideCharToMultiByte(CP_ACP, c.flags, c.text.data(), static_cast<int>(c.text.size()),
                                out, sizeof out, c.defaultChar, &used);
        EXPECT_EQ(std::string(out, size > 0 ? size : 0), c.bytes) << c.codePage << " " << c.bytes;
        EXPECT_EQ(used, c.usedDefault) << c.codePage << " " << c.bytes;
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
        {932, "a\x82\xA0\x95\x5C\xB1\x80", L"a\x3042\x8868\xFF71\x0080", false},
        {932, "a\x81", L"a\x30FB", true},  // a lead byte without its trail byte
        {932, std::string("\x81\0", 2), std::wstring(L"\x30FB\0", 2), true},
        {932, "\x85\x40", L"\x30FB", true},  // a row the code page leaves empty
        {932, "\xA0\xFD", L"\xF8F0\xF8F1", true},
        {CP_UTF8, "\xC5\x81\xE2\x9C\x93", L"\x0141\x2713", false},
        {CP_UTF8, "a\xC5", L"a\xFFFD", true},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(PlatformSetAnsiCodePage(c.codePage));
        for (DWORD flags : {0, MB_ERR_INVALID_CHARS}) {
            wchar_t out[16];
            SetLastError(ERROR_SUCCESS);
            const int size = MultiByteToWideChar(CP_ACP, flags, c.bytes.data(),
                                                 static_cast<int>(c.bytes.size()), out, 16);
            const bool refused = flags != 0 && c.invalid;
            EXPECT_EQ(std::wstring(out, size), refused ? L"" : c.lenient) << c.codePage << c.bytes;
            EXPECT_EQ(GetLastError(), refused ? ERROR_NO_UNICODE_TRANSLATION : ERROR_SUCCESS);
        }
    }
}

// Code page 65001 as the ANSI one is UTF-8 in every respect, its refusals
// included: UTF-8 lacks no character, so Windows takes no default for it.
TEST_F(CodePageTest, Utf8AsTheAnsiCodePageRefusesWhatUtf8Refuses) {
    EXPECT_FALSE(PlatformSetAnsiCodePage(437));
    EXPECT_EQ(GetACP(), 1252u);
    ASSERT_TRUE(PlatformSetAnsiCodePage(CP_UTF8));
    EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
    BOOL used = FALSE;
    const struct {
        DWORD flags;
        const char* defaultChar;
        BOOL* usedDefault;
        DWORD error;  // 0: converts
    } cases[] = {
        {0, nullptr, nullptr, 0},
        {WC_NO_BEST_FIT_CHARS, nullptr, nullptr, ERROR_INVALID_FLAGS},
        {0, "?", nullptr, ERROR_INVALID_PARAMETER},
        {0, nullptr, &used, ERROR_INVALID_PARAMETER},
    };
    for (UINT codePage : {static_cast<UINT>(CP_ACP), static_cast<UINT>(CP_UTF8)}) {
        for (const auto& c : cases) {
            char out[16];
            SetLastError(ERROR_SUCCESS);
            const int size = WideCharToMultiByte(codePage, c.flags, L"\x0141\xFF0D", 2, out,
                                                 sizeof out, c.defaultChar, c.usedDefault);
            EXPECT_EQ(std::string(out, size), c.error == 0 ? "\xC5\x81\xEF\xBC\x8D" : "");
            EXPECT_EQ(GetLastError(), c.error) << codePage << " " << c.flags;
        }
    }
}

}  // namespace
