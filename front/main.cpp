// Quillora: opens a new, pre-filled mail in the installed mail client.
//   Quillora [-to LIST] [-cc LIST] [-bcc LIST] [-subject TEXT] [-body TEXT]
//            [-attachment PATH] [-bodyfile PATH] [-mailto] [-eml] [-log PATH]
// Exits with 0 when the message was put in front of the user, -1 otherwise.
#include "front/BodyFile.h"
#include "front/CommandLine.h"
#include "front/ComposeDispatch.h"

int main(int argc, char** argv) {
    // Owns the processed body text until every road has run.
    Text body;
    ComposeRequest request = ParseCommandLine(argc, argv, body);
    if (request.bodyFile != nullptr) {
        // A body file not taken whole would lose text: stop before any MAPI call.
        if (!ReadBodyFile(request.bodyFile, body)) return -1;
        request.body = body.c_str();
    }
    return ComposeDispatch(request);
}
