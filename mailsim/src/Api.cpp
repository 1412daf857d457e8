// The test interface of Mailsim.h.
#include "mailsim/Mailsim.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "Objects.h"
#include "Transcript.h"
#include "MapiAllocator.h"

namespace mailsim {

void Reset() {
    StartWith(ParseProfileText(DefaultProfileJson()));
}

bool LoadProfileText(const std::string& json, std::string* error) {
    try {
        StartWith(ParseProfileText(json));
        return true;
    } catch (const std::exception& e) {
        if (error != nullptr) *error = e.what();
        return false;
    }
}

bool LoadProfileFile(const std::string& path, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        if (error != nullptr) *error = "cannot read " + path;
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return LoadProfileText(text.str(), error);
}

std::string DefaultProfileText() {
    return DefaultProfileJson();
}

Accounting GetAccounting() {
    EnsureProfile();
    const World& world = TheWorld();
    Accounting accounting;
    accounting.references = OutstandingReferences();
    accounting.buffers = OutstandingBuffers();
    accounting.overReleases = world.overReleases;
    accounting.callsAfterRelease = world.callsAfterRelease;
    accounting.invalidFrees = mapi_allocator::GetCounts().invalidFrees - world.invalidFreeBaseline;
    return accounting;
}

void InjectFault(const std::string& call, HRESULT result, unsigned nth) {
    EnsureProfile();
    TheWorld().faults.push_back({call, result, nth});
}

void ClearFaults() {
    EnsureProfile();
    TheWorld().faults.clear();
}

unsigned CallCount(const std::string& call) {
    const auto& counts = TheWorld().callCounts;
    auto it = counts.find(call);
    return it == counts.end() ? 0 : it->second;
}

std::vector<std::string> CallLog() {
    return TheWorld().recentCalls.InOrder();
}

namespace {
std::shared_ptr<FolderModel> FindFolder(size_t store, const std::string& name) {
    EnsureProfile();
    const World& world = TheWorld();
    if (store >= world.stores.size()) return nullptr;
    for (const auto& folder : world.stores[store]->folders) {
        if (folder->name == name) return folder;
    }
    return nullptr;
}
}  // namespace

std::string StoreEntryId(size_t store) {
    EnsureProfile();
    const World& world = TheWorld();
    return store < world.stores.size() ? world.stores[store]->entryId : std::string();
}

std::string FolderEntryId(size_t store, const std::string& folderName) {
    auto folder = FindFolder(store, folderName);
    return folder ? folder->entryId : std::string();
}

std::string MessageEntryId(size_t store, const std::string& folderName, size_t index) {
    auto folder = FindFolder(store, folderName);
    if (!folder || index >= folder->messages.size()) return std::string();
    return folder->messages[index]->entryId;
}

std::string AddressEntryId(const std::string& displayName) {
    EnsureProfile();
    for (const auto& entry : TheWorld().book) {
        if (entry->definition.displayName == displayName) return entry->entryId;
    }
    return std::string();
}

nlohmann::json Transcript() {
    EnsureProfile();
    return TranscriptJson();
}

}  // namespace mailsim
