// Quillora: opens a new, pre-filled mail in the installed mail client.
//   Quillora [-to LIST] [-cc LIST] [-bcc LIST] [-subject TEXT] [-body TEXT]
//            [-attachment PATH] [-bodyfile PATH] [-mailto] [-eml] [-log PATH]
// Exits with 0 when the message was put in front of the user, -1 otherwise.
#include "front/CommandLine.h"
#include "front/ComposeDispatch.h"
#include "front/ResolvedRequest.h"
#include "front/RunReport.h"

int main(int argc, char** argv) {
    const CommandLine line = ParseCommandLine(argc, argv);
    // Owns the body texts until every road has run.
    ResolvedRequest resolved;
    RunFacts facts;
    facts.eml = line.eml;
    facts.mailto = line.mailto;
    DispatchReport dispatch;
    const char* const logPath = ArgumentAt(argv, line.log);
    // A body file not taken whole would lose text: stop before any road.
    if (resolved.Resolve(line, argc, argv)) {
        OptInRoads optIn;
        optIn.eml = line.eml;
        optIn.mailto = line.mailto;
        optIn.request = resolved.Exact();
        facts.dispatch = &dispatch;
        facts.exitCode =
            ComposeDispatch(resolved.Request(), optIn, logPath != nullptr ? &dispatch : nullptr);
    }
    if (logPath != nullptr) {
        facts.bodyFile = resolved.BodyFile();
        facts.exactText = &resolved.ExactText();
        facts.exactRequest = resolved.Exact();
        AppendRunReport(logPath, resolved.Request(), facts);
    }
    return facts.exitCode;
}
