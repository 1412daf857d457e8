// The Simple MAPI road: the request goes to the mail client's own send
// dialog through MAPISendMail.
#pragma once

#include "text/ComposeRequest.h"
#include "text/RoadFailure.h"

// Returns 0 when MAPISendMail reported success (a cancelled dialog and a
// failed logon count as success), -1 otherwise, including when MAPI32.DLL or
// its MAPISendMail is missing. Every text of the request may be null.
// failure, when given, hears why the road failed, and any result of
// MAPISendMail other than SUCCESS_SUCCESS.
int ComposeViaSimpleMapi(const ComposeRequest& request, RoadFailure* failure = nullptr);
