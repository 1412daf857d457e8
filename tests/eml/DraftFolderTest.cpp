// The draft folder: new names never overwrite, and the cleanup removes only
// old drafts of Quillora's own naming. Natively and against the real kernel
// under Wine.
#include "eml/DraftFolder.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "tests/TempDirTest.h"
#include "win32/FileHandle.h"

namespace {

namespace fs = std::filesystem;

class DraftFolderTest : public TempDirTest {
protected:
    Text Folder() const {
        return Text((dir_.string() + static_cast<char>(fs::path::preferred_separator)).c_str());
    }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.insert(entry.path().filename().string());
        return names;
    }
    // (A directory keeps its time where the runtime cannot set it: Windows.)
    void Age(const std::string& name, std::chrono::hours age) {
        std::error_code ignored;
        fs::last_write_time(dir_ / name, fs::file_time_type::clock::now() - age, ignored);
    }
};

TEST_F(DraftFolderTest, NewDraftsNeverTakeAnExistingName) {
    const SYSTEMTIME now = {2026, 12, 3, 9, 5, 15, 3, 250};
    std::set<std::string> paths;
    for (int i = 0; i < 3; ++i) {
        Text path;
        FileHandle draft(CreateDraftFile(Folder(), now, path, nullptr));
        ASSERT_TRUE(draft.IsOpen());
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(draft.Get(), "kept", 4, &written, nullptr));
        paths.insert(path.c_str());
    }
    EXPECT_EQ(paths.size(), 3u);
    for (const std::string& path : paths) {
        EXPECT_TRUE(IsDraftName(fs::path(path).filename().string().c_str())) << path;
        EXPECT_EQ(fs::file_size(path), 4u) << path << " was overwritten";
    }
}

TEST_F(DraftFolderTest, CleanupTakesOnlyOldDraftsOfItsOwnNaming) {
    const char* kOld = "Quillora-20261201-101500-0001A2B3.eml";
    const char* kYoung = "Quillora-20261209-041500-0001A2B3.eml";
    const std::set<std::string> kept = {
        kYoung,
        "quillora-20261201-101500-0001A2B3.eml",  // not its case
        "Quillora-20261201-101501-0001a2b3.eml",  // lower-case hex
        "Quillora-20261201-101502-001A2B3.eml",   // one digit short
        "Quillora-2026120X-101500-0001A2B3.eml",  // not a date
        "Quillora-20261201-101503-0001A2B3.eml.txt",
        "Quillora-20261201-101504-0001A2B3.EML",
        "Quillora-20261201_101505-0001A2B3.eml",
        "notes.txt",
    };
    for (const std::string& name : kept) Write(name, "x");
    Write(kOld, "x");
    fs::create_directory(dir_ / "Quillora-20261201-101506-0001A2B3.eml");
    for (const std::string& name : Names()) Age(name, std::chrono::hours(name == kYoung ? 23 : 25));

    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    DeleteOldDrafts(Folder(), now);
    std::set<std::string> expected = kept;
    expected.insert("Quillora-20261201-101506-0001A2B3.eml");  // a directory
    EXPECT_EQ(Names(), expected);
}

}  // namespace
