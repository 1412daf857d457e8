// mailtoprobe's WinMain against values of every kind installed in the
// stand-in registry: what it writes and what it returns.
#include <windows.h>

#include "platform_registry_testing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

const char kMailtoCommand[] = "mailto\\shell\\open\\command";

struct ProbeRun {
    int result;
    std::string output;
};

ProbeRun RunProbe() {
    ::testing::internal::CaptureStdout();
    int result = WinMain(nullptr, nullptr, const_cast<LPSTR>(""), 10);
    std::fflush(stdout);
    EXPECT_EQ(0u, PlatformRegistryOpenKeyCount()) << "a key was left open";
    return ProbeRun{result, ::testing::internal::GetCapturedStdout()};
}

void InstallBytes(DWORD type, const std::string& bytes) {
    PlatformRegistryInstallValue(kMailtoCommand, type, bytes.data(),
                                 static_cast<DWORD>(bytes.size()));
}

class MailtoProbeTest : public ::testing::Test {
protected:
    void TearDown() override { PlatformRegistryClearInstalled(); }
};

struct StringCase {
    const char* name;
    DWORD type;
    std::string stored;  // stored with its terminator
    int result;
    std::string output;
};
void PrintTo(const StringCase& c, std::ostream* os) {
    *os << c.name;
}

class StoredStringTest : public MailtoProbeTest,
                         public ::testing::WithParamInterface<StringCase> {};

TEST_P(StoredStringTest, WritesTheTextAsStored) {
    const StringCase& c = GetParam();
    PlatformRegistryInstallString(kMailtoCommand, c.type, c.stored.c_str());
    ProbeRun run = RunProbe();
    EXPECT_EQ(c.result, run.result);
    EXPECT_EQ(c.output, run.output);
}

const std::string k1023(1023, 'a');
const std::string k1024(1024, 'a');
const std::string kQuoted = "\"C:\\Program Files\\Mail\\mail.exe\" /compose \"%1\" %s %n %% 100%";
const std::string kExpand = "%ProgramFiles%\\Mail\\mail.exe -url \"%1\"";

INSTANTIATE_TEST_SUITE_P(
    Values, StoredStringTest,
    ::testing::Values(StringCase{"Fits1023", REG_SZ, k1023, 0, k1023},
                      StringCase{"TooLong1024", REG_SZ, k1024, -1, ""},
                      StringCase{"QuotesAndPercentSigns", REG_SZ, kQuoted, 0, kQuoted},
                      StringCase{"ExpandStringUnexpanded", REG_EXPAND_SZ, kExpand, 0, kExpand},
                      StringCase{"Empty", REG_SZ, "", 0, ""}),
    [](const ::testing::TestParamInfo<StringCase>& info) { return info.param.name; });

struct BytesCase {
    const char* name;
    DWORD type;
    std::string bytes;  // exactly the stored bytes
    std::string output;
};
void PrintTo(const BytesCase& c, std::ostream* os) {
    *os << c.name;
}

class StoredBytesTest : public MailtoProbeTest, public ::testing::WithParamInterface<BytesCase> {};

// Any type is written as text up to its first zero byte; without one, no
// more than the bytes the read returned.
TEST_P(StoredBytesTest, WritesUpToZeroOrTheReturnedBytes) {
    const BytesCase& c = GetParam();
    InstallBytes(c.type, c.bytes);
    ProbeRun run = RunProbe();
    EXPECT_EQ(0, run.result);
    EXPECT_EQ(c.output, run.output);
}

INSTANTIATE_TEST_SUITE_P(
    Values, StoredBytesTest,
    ::testing::Values(BytesCase{"DwordWithZero", REG_DWORD, std::string("AB\0\0", 4), "AB"},
                      BytesCase{"DwordWithoutZero", REG_DWORD, "ABCD", "ABCD"},
                      BytesCase{"BinaryWithZero", REG_BINARY, std::string("ab\0cd", 5), "ab"},
                      BytesCase{"BinaryWithoutZero", REG_BINARY, "abc", "abc"},
                      BytesCase{"UnterminatedFullBuffer", REG_SZ, k1024, k1024}),
    [](const ::testing::TestParamInfo<BytesCase>& info) { return info.param.name; });

TEST_F(MailtoProbeTest, MissingKeyOrValueFailsSilently) {
    PlatformRegistryInstallMissingKey(kMailtoCommand);
    ProbeRun run = RunProbe();
    EXPECT_EQ(-1, run.result);
    EXPECT_EQ("", run.output);

    PlatformRegistryInstallKeyWithoutValue(kMailtoCommand);
    run = RunProbe();
    EXPECT_EQ(-1, run.result);
    EXPECT_EQ("", run.output);
}

TEST_F(MailtoProbeTest, RunsAgainWithTheSameResult) {
    PlatformRegistryInstallString(kMailtoCommand, REG_SZ, "mail \"%1\"");
    EXPECT_EQ("mail \"%1\"", RunProbe().output);
    EXPECT_EQ("mail \"%1\"", RunProbe().output);
}

}  // namespace
