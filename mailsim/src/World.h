// The simulated client's state: the profile and the data built from it,
// injected faults, the call log, what was recorded for the transcript, and
// the accounting of interface objects. One per process; the program under
// test is single-threaded, and so is this.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "Model.h"
#include "Profile.h"

namespace mailsim {

class TrackedBase;

struct World {
    Profile profile;
    bool profileChosen = false;  // false until a profile was loaded or Reset

    std::vector<std::shared_ptr<StoreModel>> stores;
    std::vector<std::shared_ptr<AddressModel>> book;
    std::map<std::string, std::shared_ptr<MessageModel>> messages;  // by entry identifier
    unsigned nextMessage = 1;
    std::map<ULONG, std::shared_ptr<MessageModel>> formTokens;
    ULONG nextFormToken = 1;
    std::map<ULONG, int> adviseConnections;
    ULONG nextConnection = 1;
    int initializations = 0;

    std::vector<FaultDefinition> faults;
    std::map<std::string, unsigned> callCounts;
    std::vector<std::string> callLog;

    nlohmann::json forms = nlohmann::json::array();
    nlohmann::json sends = nlohmann::json::array();
    nlohmann::json messageBoxes = nlohmann::json::array();

    // Objects handed out since the last Reset (kept after their last
    // release, so that a further release or call is recognised), and those
    // of earlier runs, kept alive but no longer counted.
    std::vector<std::unique_ptr<TrackedBase>> objects;
    std::vector<std::unique_ptr<TrackedBase>> earlierObjects;
    std::unordered_map<const void*, TrackedBase*> byInterface;
    size_t overReleases = 0;
    size_t callsAfterRelease = 0;
    long bufferBaseline = 0;
    size_t invalidFreeBaseline = 0;
};

World& TheWorld();

// Loads MAPISIM_PROFILE (or the default) unless a profile was chosen.
void EnsureProfile();
// Installs a profile: rebuilds the data, clears records, faults and counts.
void StartWith(const Profile& profile);

// Logs and counts a call and returns the injected fault for it, or S_OK.
HRESULT EnterCall(const std::string& call);

// Interface objects.
void Adopt(std::unique_ptr<TrackedBase> object, const void* interfacePointer);
TrackedBase* FindObject(const void* interfacePointer);

long OutstandingReferences();
long OutstandingBuffers();

}  // namespace mailsim
