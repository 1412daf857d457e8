// The Extended MAPI compose road: a new unsent message in the Drafts folder
// of the session's store, filled from the request and shown in the mail
// client's form.
#pragma once

#include "mapi/MapiSession.h"
#include "text/ComposeRequest.h"

// session: logged on, with its default store open. Every text of the
// request may be null.
// 0 once the message was created and handed to the form (whatever the form
// did), -1 when Drafts could not be opened or no message created.
int ComposeViaDrafts(MapiSession* session, const ComposeRequest& request);
