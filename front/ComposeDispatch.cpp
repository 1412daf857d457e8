#include "front/ComposeDispatch.h"

#include "front/MailClient.h"

#include "mailto/ComposeViaMailto.h"
#include "mapi/ComposeViaDrafts.h"
#include "mapi/MapiPlatform.h"
#include "mapi/MapiSession.h"
#include "simplemapi/ComposeViaSimpleMapi.h"

namespace {

// The flags every folder of the default store is opened with (OpenEntry):
// writable, bypassing the store's cache.
constexpr ULONG kFolderOpenFlags = MAPI_MODIFY | MAPI_NO_CACHE;

}  // namespace

int ComposeDispatch(const ComposeRequest& request) {
    // With a road beyond MAPI asked for, a MAPI road whose library the
    // default client does not have is not called at all: the system would
    // only show its "no mail client" box before the road the user wants.
    const bool beyondMapi = request.eml || request.mailto;
    const MailClient client = beyondMapi ? LookUpMailClient() : MailClient();
    const bool tryDrafts = !beyondMapi || client.extended.found;
    const bool trySendDialog = !beyondMapi || client.simple.found;

    MapiSession session;
    int result = -1;

    if (tryDrafts &&
        MapiSession::Initialize(true /* multithreaded notifications */, false /* no service */)) {
        if (session.Logon(nullptr /* default profile */, false) &&
            session.OpenStore(nullptr /* default store */, kFolderOpenFlags)) {
            result = ComposeViaDrafts(&session, request);
        }
        // Releases the current folder, the store and the session, whatever
        // happened above.
        session.Close();
    }
    // On every road, including a failed initialisation.
    if (tryDrafts) MapiSession::Uninitialize();

    // The send dialog runs only after MAPI has been uninitialised.
    if (result != 0 && trySendDialog) {
        result = ComposeViaSimpleMapi(request);
    }
    // Only on request, and only once both MAPI roads have failed.
    if (result != 0 && request.mailto) {
        result = ComposeViaMailto(request);
    }
    return result;
}
