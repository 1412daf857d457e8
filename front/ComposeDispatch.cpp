#include "front/ComposeDispatch.h"

#include <cstdlib>

#include "eml/ComposeViaEml.h"
#include "front/MailClient.h"
#include "mailto/ComposeViaMailto.h"
#include "mapi/ComposeViaExtendedMapi.h"
#include "simplemapi/ComposeViaSimpleMapi.h"

DispatchReport::~DispatchReport() {
    std::free(attachedToDraft);
}

int ComposeDispatch(const ComposeRequest& request, const OptInRoads& optIn,
                    DispatchReport* report) {
    DispatchReport local;
    DispatchReport& done = report != nullptr ? *report : local;
    if (report != nullptr && request.AttachmentCount() != 0) {
        done.attachedToDraft =
            static_cast<bool*>(std::calloc(request.AttachmentCount(), sizeof(bool)));
    }

    // With a road beyond MAPI asked for, a MAPI road whose library the
    // default client does not have is not called at all: the system would
    // only show its "no mail client" box before the road the user wants.
    const bool beyondMapi = optIn.eml || optIn.mailto;
    MailClient client;
    if (beyondMapi) client = LookUpMailClient();
    const bool draftsLibrary = !beyondMapi || client.extended.found;
    const bool sendDialogLibrary = !beyondMapi || client.simple.found;

    const auto run = [&request](RoadOutcome& road, auto compose) {
        road.tried = true;
        road.result = compose(request, road.failure);
        return road.result;
    };
    int result = -1;
    if (draftsLibrary) {
        result = run(done.drafts, [&done](const ComposeRequest& r, RoadFailure& failure) {
            return ComposeViaExtendedMapi(r, &failure, done.attachedToDraft);
        });
    } else {
        done.drafts.skipped = true;
    }
    // The send dialog runs only after MAPI has been uninitialised.
    if (result != 0 && sendDialogLibrary) {
        result = run(done.sendDialog, [](const ComposeRequest& r, RoadFailure& failure) {
            return ComposeViaSimpleMapi(r, &failure);
        });
    } else if (result != 0) {
        done.sendDialog.skipped = true;
    }
    // Only on request, and only once both MAPI roads have failed: the draft
    // file first, as it carries the attachment too, then the link.
    if (result != 0 && optIn.eml) {
        result = run(done.draftFile, [](const ComposeRequest& r, RoadFailure& failure) {
            return ComposeViaEml(r, &failure);
        });
    }
    if (result != 0 && optIn.mailto) {
        result = run(done.mailtoLink, [](const ComposeRequest& r, RoadFailure& failure) {
            return ComposeViaMailto(r, &failure);
        });
    }
    return result;
}
