#include "mapi/ComposeViaExtendedMapi.h"

#include "mapi/ComposeViaDrafts.h"
#include "mapi/MapiPlatform.h"
#include "mapi/MapiSession.h"

namespace {

// The flags every folder of the default store is opened with (OpenEntry):
// writable, bypassing the store's cache.
constexpr ULONG kFolderOpenFlags = MAPI_MODIFY | MAPI_NO_CACHE;

}  // namespace

int ComposeViaExtendedMapi(const ComposeRequest& request, RoadFailure* failure, bool* attached) {
    MapiSession session(failure);
    int result = -1;
    if (session.Initialize(true /* multithreaded notifications */, false /* no service */)) {
        if (session.Logon(nullptr /* default profile */, false) &&
            session.OpenStore(nullptr /* default store */, kFolderOpenFlags)) {
            result = ComposeViaDrafts(&session, request, attached);
        }
        // Releases the current folder, the store and the session, whatever
        // happened above.
        session.Close();
    }
    // On every road, including a failed initialisation.
    MapiSession::Uninitialize();
    return result;
}
