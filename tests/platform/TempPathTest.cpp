// The stand-in's GetTempPathA reads the variables Windows reads, in its
// order, and always ends the path with a separator.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(GetTempPath, TmpThenTempThenTmpdirThenSlashTmp) {
    const struct {
        const char* tmp;
        const char* temp;
        const char* tmpdir;
        const char* path;
    } cases[] = {
        {"/a", "/b", "/c", "/a/"},
        {nullptr, "/b/", "/c", "/b/"},
        {"", "", "/c", "/c/"},
        {nullptr, nullptr, nullptr, "/tmp/"},
    };
    for (const auto& c : cases) {
        const char* names[] = {"TMP", "TEMP", "TMPDIR"};
        const char* values[] = {c.tmp, c.temp, c.tmpdir};
        std::string saved[3];
        bool had[3];
        for (int i = 0; i < 3; ++i) {
            const char* value = std::getenv(names[i]);
            had[i] = value != nullptr;
            if (had[i]) saved[i] = value;
            values[i] != nullptr ? setenv(names[i], values[i], 1) : unsetenv(names[i]);
        }
        char path[MAX_PATH];
        const DWORD length = GetTempPathA(sizeof path, path);
        EXPECT_EQ(std::string(path, length), c.path);
        // Too small a buffer: the size needed, terminator included.
        EXPECT_EQ(GetTempPathA(length, path), length + 1);
        for (int i = 0; i < 3; ++i)
            had[i] ? setenv(names[i], saved[i].c_str(), 1) : unsetenv(names[i]);
    }
}

}  // namespace
