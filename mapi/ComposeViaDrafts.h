// The Extended MAPI compose road: a new unsent message in the Drafts folder
// of the session's store, filled from the request and shown in the mail
// client's form.
#pragma once

#include "mapi/MapiSession.h"
#include "text/ComposeRequest.h"

// session: logged on, with its default store open. Every text of the
// request may be null.
// 0 once the client showed the message in its form (whatever the user then
// did with it); -1 when Drafts could not be opened, no message was created
// (each with a message box), or the form could not be shown (no box).
// attached, when given, has a place for each file of the request: true
// where the message carries it, false where it was left out.
int ComposeViaDrafts(MapiSession* session, const ComposeRequest& request,
                     bool* attached = nullptr);
