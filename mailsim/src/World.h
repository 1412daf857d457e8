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

// The most recent calls, oldest first: a ring of at most kLimit names, so
// that a long run (a stream written 4096 bytes at a time) does not grow it.
class RecentCalls {
public:
    static constexpr size_t kLimit = 4096;
    // Never throws: with no room for the ring, nothing is logged.
    void Add(const std::string* name) noexcept;
    std::vector<std::string> InOrder() const;
    void Clear() noexcept;

private:
    std::vector<const std::string*> ring_;
    size_t total_ = 0;  // calls logged since the last Clear
};

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
    // Calls by name (Release is logged, not counted). The recent-calls log
    // points at these names; both are cleared together.
    std::unordered_map<std::string, unsigned> callCounts;
    RecentCalls recentCalls;

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

// Logs and counts a call and returns the injected fault for it, or S_OK
// (MAPI_E_NOT_ENOUGH_MEMORY when there is no memory to count it).
HRESULT EnterCall(const std::string& call) noexcept;
// The same for a function ("MAPIInitialize"), or the method of an
// interface ("IStream", "Write").
HRESULT EnterCall(const char* function) noexcept;
HRESULT EnterCall(const std::string& interfaceName, const char* method) noexcept;
// Logs a Release: not counted, never faulted.
void LogRelease(const std::string& interfaceName) noexcept;

// For a catch (...) around the body of a call: what the call returns when
// it could not finish. Memory running out is MAPI_E_NOT_ENOUGH_MEMORY; an
// exception never leaves the client.
HRESULT FailedCall() noexcept;

// Interface objects.
void Adopt(std::unique_ptr<TrackedBase> object, const void* interfacePointer);
TrackedBase* FindObject(const void* interfacePointer);

long OutstandingReferences();
long OutstandingBuffers();

}  // namespace mailsim
