// Quillora: opens a new, pre-filled mail in the installed mail client.
//   Quillora [-to LIST] [-cc LIST] [-bcc LIST] [-subject TEXT] [-body TEXT]
//            [-attachment PATH] [-bodyfile PATH] [-mailto] [-eml] [-log PATH]
// Exits with 0 when the message was put in front of the user, -1 otherwise.
#include "front/BodyFile.h"
#include "front/CommandLine.h"
#include "front/ComposeDispatch.h"
#include "front/RunReport.h"

namespace {

// The exit code, after the run's report when -log asked for one.
int Finish(const ComposeRequest& request, const RunFacts& facts) {
    if (request.logPath != nullptr) AppendRunReport(request.logPath, request, facts);
    return facts.exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    // Owns the processed body text until every road has run.
    Text body;
    ComposeRequest request = ParseCommandLine(argc, argv, body);
    RunFacts facts;
    BodyFileFacts bodyFile;
    if (request.bodyFile != nullptr) {
        facts.bodyFile = &bodyFile;
        // A body file not taken whole would lose text: stop before any MAPI call.
        if (!ReadBodyFile(request.bodyFile, body, bodyFile)) return Finish(request, facts);
        request.body = body.c_str();
    }
    DispatchReport dispatch;
    facts.dispatch = &dispatch;
    facts.exitCode = ComposeDispatch(request, request.logPath != nullptr ? &dispatch : nullptr);
    return Finish(request, facts);
}
