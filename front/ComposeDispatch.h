// Puts a compose request in front of the user: first as a draft shown in
// the mail client's form (Extended MAPI), and only if that does not succeed
// through the client's Simple MAPI send dialog; when both fail, with -eml
// as a draft message file opened by the program registered for .eml files,
// and then with -mailto as a mailto: URL opened by the registered link
// handler.
#pragma once

#include "text/ComposeRequest.h"
#include "text/RoadFailure.h"

// What became of one road, for the run's report.
struct RoadOutcome {
    bool tried = false;    // the road was called
    bool skipped = false;  // passed over: the mail client lacks its library
    int result = -1;
    RoadFailure failure;
};

// What the dispatch did.
struct DispatchReport {
    DispatchReport() = default;
    ~DispatchReport();
    DispatchReport(const DispatchReport&) = delete;
    DispatchReport& operator=(const DispatchReport&) = delete;

    RoadOutcome drafts, sendDialog, draftFile, mailtoLink;
    // A place for each file of the request: true where the Drafts road's
    // message carries it (null when there was no memory to say).
    bool* attachedToDraft = nullptr;
};

// The roads beyond MAPI that the command line asked for.
struct OptInRoads {
    bool eml = false;
    bool mailto = false;
};

// Returns the result of the last road tried: 0 for success, -1 for failure.
// With report, says there what each road did.
int ComposeDispatch(const ComposeRequest& request, const OptInRoads& optIn = OptInRoads(),
                    DispatchReport* report = nullptr);
