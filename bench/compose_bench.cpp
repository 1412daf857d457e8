// How long one whole compose takes against the simulated mail client, from
// MAPIInitialize to MAPIUninitialize, and how fast an attachment streams
// into the message through the 4096-byte buffer, for attachments of
// several sizes. Every run must give back all references and buffers.
//
//   build/native/bench/compose_bench [runs]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include <mailsim/Mailsim.h>

#include "front/ComposeDispatch.h"
#include "text/OwnedRequest.h"
#include "text/WideToUtf8.h"
#include "win32/FileHandle.h"
#include "win32/SharedRead.h"

namespace {

std::string MakeFile(const std::string& dir, size_t size) {
    const std::string path = dir + "/attachment-" + std::to_string(size) + ".bin";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return {};
    std::vector<char> block(1 << 20, 'q');
    for (size_t left = size; left != 0;) {
        const size_t part = left < block.size() ? left : block.size();
        std::fwrite(block.data(), 1, part, file);
        left -= part;
    }
    std::fclose(file);
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 20;
    char dirTemplate[] = "/tmp/quillora-bench-XXXXXX";
    const char* dir = mkdtemp(dirTemplate);
    if (dir == nullptr || runs <= 0) return 2;
    // The client records (into nothing) instead of drawing every form.
    setenv("MAPISIM_TRANSCRIPT", "/dev/null", 1);

    std::printf("%12s %8s %14s %12s\n", "attachment", "runs", "ms/compose", "MB/s");
    int status = 0;
    for (size_t size : {size_t{0}, size_t{64} << 10, size_t{1} << 20, size_t{16} << 20}) {
        const std::string path = MakeFile(dir, size);
        // Made as the program makes it: the file opened once, by its path.
        OwnedRequest owned;
        WideText widePath;
        RoadFailure why;
        if (!Utf8ToWide(path.c_str(), path.size(), widePath)) return 2;
        FileHandle file(OpenSharedRead(widePath.c_str(), &why));
        if (!owned.SetRecipients(RecipientKind::To, "Alice Example;bob@example.com") ||
            !owned.SetSubject("Quarterly numbers") ||
            !owned.SetBody("Hello,\nthe numbers are attached.") ||
            !owned.SetAttachment(widePath.c_str(), file.Get(), why) || !owned.Finish()) {
            return 2;
        }
        const ComposeRequest& request = owned.Request();

        mailsim::Reset();
        const auto start = std::chrono::steady_clock::now();
        for (int run = 0; run < runs; ++run) {
            if (ComposeDispatch(request) != 0) status = 1;
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const mailsim::Accounting accounting = mailsim::GetAccounting();
        if (accounting.references != 0 || accounting.buffers != 0) status = 1;
        std::printf("%12zu %8d %14.3f %12.1f\n", size, runs, 1000 * seconds / runs,
                    size == 0 ? 0.0 : size * double(runs) / seconds / 1e6);
        file.Close();
        std::remove(path.c_str());
    }
    rmdir(dir);
    if (status != 0) std::printf("a compose failed or left references or buffers behind\n");
    return status;
}
