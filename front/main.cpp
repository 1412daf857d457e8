// Quillora: opens a new, pre-filled mail in the installed mail client.
//   Quillora [-to LIST] [-cc LIST] [-bcc LIST] [-subject TEXT] [-body TEXT]
//            [-attachment PATH] [-mailto]
// Exits with 0 when the message was put in front of the user, -1 otherwise.
#include "front/CommandLine.h"
#include "front/ComposeDispatch.h"

int main(int argc, char** argv) {
    // Owns the processed body text until both compose roads have run.
    Text body;
    const ComposeRequest request = ParseCommandLine(argc, argv, body);
    return ComposeDispatch(request);
}
