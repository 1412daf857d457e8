// Quillora: opens a new, pre-filled mail in the installed mail client.
//   Quillora [-to LIST] [-cc LIST] [-bcc LIST] [-subject TEXT] [-body TEXT]
//            [-attachment PATH] [-bodyfile PATH] [-mailto] [-eml] [-log PATH]
//            [-files PATH...]
// Exits with 0 when the message was put in front of the user, -1 otherwise.
#include <windows.h>

#include "request/CommandLine.h"
#include "front/ComposeDispatch.h"
#include "request/ResolvedRequest.h"
#include "report/RunReport.h"
#include "request/WideCommandLine.h"

int main() {
    // The command line as typed is the only reading of the arguments: should
    // it fail (no memory), the run ends rather than read the ANSI arguments.
    WideCommandLine arguments;
    if (!arguments.Read()) return -1;
    const WCHAR* const* argv = arguments.Arguments();
    const CommandLine line = ParseCommandLine(arguments.Count(), argv);
    // Owns the request's texts and its file until every road has run.
    ResolvedRequest resolved;
    RunFacts facts;
    facts.eml = line.eml;
    facts.mailto = line.mailto;
    facts.files = line.files;
    DispatchReport dispatch;
    const WCHAR* const logPath = ArgumentAt(argv, line.log);
    // A body file not taken whole would lose text: stop before any road.
    if (resolved.Resolve(line, argv)) {
        OptInRoads optIn;
        optIn.eml = line.eml;
        optIn.mailto = line.mailto;
        facts.dispatch = &dispatch;
        facts.exitCode =
            ComposeDispatch(resolved.Request(), optIn, logPath != nullptr ? &dispatch : nullptr);
    }
    if (logPath != nullptr) {
        facts.bodyFile = resolved.BodyFile();
        facts.notInCodePage = resolved.NotInCodePage();
        facts.outOfMemory = resolved.OutOfMemory();
        AppendRunReport(logPath, resolved.Request(), facts);
    }
    return facts.exitCode;
}
