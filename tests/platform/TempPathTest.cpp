// The stand-in's GetTempPathA reads the variables Windows reads, in its
// order, and always ends the path with a separator.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(GetTempPath, TmpThenTempThenTmpdirThenSlashTmp) {
    const char* const names[] = {"TMP", "TEMP", "TMPDIR"};
    const char* const cases[][4] = {
        {"/a", "/b", "/c", "/a/"},
        {nullptr, "/b/", "/c", "/b/"},
        {"", "", "/c", "/c/"},
        {nullptr, nullptr, nullptr, "/tmp/"},
    };
    for (const auto& c : cases) {
        for (int i = 0; i < 3; ++i) c[i] ? setenv(names[i], c[i], 1) : unsetenv(names[i]);
        char path[MAX_PATH];
        const DWORD length = GetTempPathA(sizeof path, path);
        EXPECT_EQ(std::string(path, length), c[3]);
        // Too small a buffer: the size needed, terminator included.
        EXPECT_EQ(GetTempPathA(length, path), length + 1);
    }
    for (const char* name : names) unsetenv(name);
}

}  // namespace
