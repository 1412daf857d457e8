#include "World.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <sstream>
#include <stdexcept>

#include "Objects.h"
#include "MapiAllocator.h"

namespace mailsim {
namespace {

void BuildStores(World& world) {
    world.stores.clear();
    for (size_t i = 0; i < world.profile.stores.size(); ++i) {
        auto store = std::make_shared<StoreModel>();
        store->index = i;
        store->definition = world.profile.stores[i];
        const StoreDefinition& definition = store->definition;
        store->entryId = definition.entryIdBytes ? *definition.entryIdBytes
                                                 : MakeEntryId("store/" + std::to_string(i));
        for (size_t j = 0; j < definition.folders.size(); ++j) {
            auto folder = std::make_shared<FolderModel>();
            folder->name = definition.folders[j].name;
            folder->role = definition.folders[j].role;
            folder->entryId = MakeEntryId("folder/" + std::to_string(i) + "/" + std::to_string(j));
            folder->store = store;
            folder->props->Set(TextProp(PR_DISPLAY_NAME, folder->name));
            folder->props->Set(TextProp(PR_ENTRYID, folder->entryId));
            folder->props->Set(LongProp(PR_OBJECT_TYPE, MAPI_FOLDER));
            folder->props->Set(LongProp(PR_FOLDER_TYPE, FOLDER_GENERIC));
            folder->props->Set(TextProp(PR_STORE_ENTRYID, store->entryId));
            store->folders.push_back(folder);
        }

        // Store properties and the stores-table row.
        PropBag& props = *store->props;
        PropBag& row = *store->tableRow;
        if (definition.displayName) {
            props.Set(TextProp(PR_DISPLAY_NAME, *definition.displayName));
            row.Set(TextProp(PR_DISPLAY_NAME, *definition.displayName));
        }
        props.Set(TextProp(PR_ENTRYID, store->entryId));
        props.Set(TextProp(PR_STORE_ENTRYID, store->entryId));
        props.Set(LongProp(PR_OBJECT_TYPE, MAPI_STORE));
        switch (definition.entryIdKind) {
            case CellKind::Value:
                row.Set(TextProp(PR_ENTRYID, store->entryId));
                break;
            case CellKind::Error:
                row.Set(ErrorProp(PR_ENTRYID, MAPI_E_NOT_FOUND));
                break;
            case CellKind::Long:
                row.Set(LongProp(PROP_TAG(PT_LONG, PROP_ID(PR_ENTRYID)), 0x12345678));
                break;
        }
        if (definition.defaultKind == CellKind::Error) {
            row.Set(ErrorProp(PR_DEFAULT_STORE, definition.defaultError));
            props.Set(ErrorProp(PR_DEFAULT_STORE, definition.defaultError));
        } else {
            row.Set(LongProp(PR_DEFAULT_STORE, definition.isDefault ? 1 : 0));
            props.Set(LongProp(PR_DEFAULT_STORE, definition.isDefault ? 1 : 0));
        }
        row.Set(LongProp(PR_OBJECT_TYPE, MAPI_STORE));
        row.Set(LongProp(PR_RESOURCE_FLAGS, definition.isDefault ? 1 : 0));
        row.Set(TextProp(PR_PROVIDER_DISPLAY, "mailsim"));
        const std::pair<FolderRole, ULONG> special[] = {
            {FolderRole::Outbox, PR_IPM_OUTBOX_ENTRYID},
            {FolderRole::SentItems, PR_IPM_SENTMAIL_ENTRYID},
            {FolderRole::DeletedItems, PR_IPM_WASTEBASKET_ENTRYID},
        };
        for (const auto& entry : special) {
            if (auto folder = store->FolderWithRole(entry.first)) {
                props.Set(TextProp(entry.second, folder->entryId));
            }
        }
        // The Drafts identifier lives on the receive folder (the Inbox).
        std::shared_ptr<FolderModel> receive;
        if (definition.receiveFolder) {
            for (const auto& folder : store->folders) {
                if (folder->name == *definition.receiveFolder) receive = folder;
            }
        } else {
            receive = store->FolderWithRole(FolderRole::Inbox);
        }
        auto drafts = store->FolderWithRole(FolderRole::Drafts);
        if (receive && drafts && definition.draftsEntryIdOnInbox) {
            receive->props->Set(TextProp(PR_IPM_DRAFTS_ENTRYID, drafts->entryId));
        }
        world.stores.push_back(store);
    }
}

void BuildAddressBook(World& world) {
    world.book.clear();
    for (size_t i = 0; i < world.profile.addressBook.size(); ++i) {
        auto entry = std::make_shared<AddressModel>();
        entry->definition = world.profile.addressBook[i];
        entry->entryId = MakeEntryId("ab/" + std::to_string(i));
        PropBag& props = *entry->props;
        props.Set(TextProp(PR_DISPLAY_NAME, entry->definition.displayName));
        if (entry->definition.addressType)
            props.Set(TextProp(PR_ADDRTYPE, *entry->definition.addressType));
        if (entry->definition.address)
            props.Set(TextProp(PR_EMAIL_ADDRESS, *entry->definition.address));
        if (entry->definition.smtpAddress) {
            props.Set(TextProp(PR_SMTP_ADDRESS, *entry->definition.smtpAddress));
        }
        props.Set(TextProp(PR_ENTRYID, entry->entryId));
        props.Set(
            LongProp(PR_OBJECT_TYPE, entry->definition.distList ? MAPI_DISTLIST : MAPI_MAILUSER));
        props.Set(
            LongProp(PR_DISPLAY_TYPE, entry->definition.distList ? DT_DISTLIST : DT_MAILUSER));
        world.book.push_back(entry);
    }
}

void BuildMessages(World& world) {
    world.messages.clear();
    for (const auto& store : world.stores) {
        for (size_t j = 0; j < store->folders.size(); ++j) {
            const auto& folder = store->folders[j];
            for (const MessageDefinition& definition : store->definition.folders[j].messages) {
                auto message = std::make_shared<MessageModel>();
                message->entryId = MakeEntryId("message/" + std::to_string(world.nextMessage++));
                message->folder = folder;
                message->saved = true;
                message->props->Set(TextProp(PR_MESSAGE_CLASS, "IPM.Note"));
                for (const ProfileProp& given : definition.props) {
                    Prop prop;
                    prop.tag = given.tag;
                    prop.number = given.number;
                    prop.bytes = given.bytes;
                    if (!given.entryOf.empty()) {
                        bool found = false;
                        for (const auto& entry : world.book) {
                            if (entry->definition.displayName == given.entryOf) {
                                prop.bytes = entry->entryId;
                                found = true;
                            }
                        }
                        if (!found) {
                            throw std::runtime_error("no address-book entry named '" +
                                                     given.entryOf + "'");
                        }
                    }
                    message->props->Set(prop);
                }
                message->props->Set(TextProp(PR_ENTRYID, message->entryId));
                folder->messages.push_back(message);
                world.messages[message->entryId] = message;
            }
        }
    }
}

}  // namespace

World& TheWorld() {
    // Never destroyed: the program may release objects during exit.
    static World* world = new World;
    return *world;
}

void StartWith(const Profile& profile) {
    World& world = TheWorld();
    const Profile previous = world.profile;
    world.profile = profile;
    try {
        BuildStores(world);
        BuildAddressBook(world);
        BuildMessages(world);
    } catch (...) {
        world.profile = previous;
        BuildStores(world);
        BuildAddressBook(world);
        BuildMessages(world);
        throw;
    }
    world.profileChosen = true;
    world.formTokens.clear();
    world.adviseConnections.clear();
    world.initializations = 0;
    world.faults = profile.faults;
    world.recentCalls.Clear();
    world.callCounts.clear();
    world.forms = nlohmann::json::array();
    world.sends = nlohmann::json::array();
    world.messageBoxes = nlohmann::json::array();
    for (auto& object : world.objects) world.earlierObjects.push_back(std::move(object));
    world.objects.clear();
    world.overReleases = 0;
    world.callsAfterRelease = 0;
    const mapi_allocator::Counts counts = mapi_allocator::GetCounts();
    world.bufferBaseline = static_cast<long>(counts.outstanding);
    world.invalidFreeBaseline = counts.invalidFrees;
}

void EnsureProfile() {
    World& world = TheWorld();
    if (world.profileChosen) return;
    const char* path = std::getenv("MAPISIM_PROFILE");
    try {
        if (path == nullptr || *path == '\0') {
            StartWith(ParseProfileText(DefaultProfileJson()));
            return;
        }
        std::ifstream file(path, std::ios::binary);
        if (!file) throw std::runtime_error("cannot read the file");
        std::ostringstream text;
        text << file.rdbuf();
        StartWith(ParseProfileText(text.str()));
    } catch (const std::bad_alloc&) {
        throw;  // no memory to load it now: the call fails, the next one tries again
    } catch (const std::exception& error) {
        // A profile that cannot be used is a broken test set-up: say so and
        // stop rather than run against a different client.
        std::fprintf(stderr, "mailsim: MAPISIM_PROFILE %s: %s\n", path ? path : "(default)",
                     error.what());
        std::fflush(stderr);
        std::exit(70);
    }
}

void RecentCalls::Add(const std::string* name) noexcept {
    if (ring_.empty()) {
        try {
            ring_.resize(kLimit);
        } catch (...) {
            return;
        }
    }
    ring_[total_ % kLimit] = name;
    ++total_;
}

std::vector<std::string> RecentCalls::InOrder() const {
    std::vector<std::string> calls;
    const size_t count = total_ < kLimit ? total_ : kLimit;
    for (size_t i = total_ - count; i < total_; ++i) calls.push_back(*ring_[i % kLimit]);
    return calls;
}

void RecentCalls::Clear() noexcept {
    total_ = 0;
}

namespace {

// The name's entry in the call counts (added on first use), logged.
std::pair<const std::string, unsigned>& Logged(const std::string& call) {
    World& world = TheWorld();
    auto& entry = *world.callCounts.try_emplace(call, 0).first;
    world.recentCalls.Add(&entry.first);
    return entry;
}

// Reused for every method call, so that a call costs no allocation once
// its name has been seen.
std::string& NameBuffer(const std::string& interfaceName, const char* method) {
    static std::string* name = new std::string;
    name->assign(interfaceName).append("::").append(method);
    return *name;
}

}  // namespace

HRESULT EnterCall(const std::string& call) noexcept {
    try {
        EnsureProfile();
        const unsigned count = ++Logged(call).second;
        for (const FaultDefinition& fault : TheWorld().faults) {
            if (fault.call == call && fault.result != S_OK &&
                (fault.nth == 0 || fault.nth == count)) {
                return fault.result;
            }
        }
        return S_OK;
    } catch (...) {
        return FailedCall();
    }
}

HRESULT EnterCall(const char* function) noexcept {
    try {
        static std::string* name = new std::string;
        name->assign(function);
        return EnterCall(*name);
    } catch (...) {
        return FailedCall();
    }
}

HRESULT EnterCall(const std::string& interfaceName, const char* method) noexcept {
    try {
        return EnterCall(NameBuffer(interfaceName, method));
    } catch (...) {
        return FailedCall();
    }
}

void LogRelease(const std::string& interfaceName) noexcept {
    try {
        Logged(NameBuffer(interfaceName, "Release"));
    } catch (...) {
        // Not logged: Release itself still works.
    }
}

HRESULT FailedCall() noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return MAPI_E_NOT_ENOUGH_MEMORY;
    } catch (const std::length_error&) {
        return MAPI_E_NOT_ENOUGH_MEMORY;  // more than a container can hold
    } catch (...) {
        return MAPI_E_CALL_FAILED;
    }
}

void Adopt(std::unique_ptr<TrackedBase> object, const void* interfacePointer) {
    World& world = TheWorld();
    // Room first: if memory runs out, the object is dropped and nothing of
    // it stays registered.
    world.objects.reserve(world.objects.size() + 1);
    world.byInterface[interfacePointer] = object.get();
    world.objects.push_back(std::move(object));
}

TrackedBase* FindObject(const void* interfacePointer) {
    World& world = TheWorld();
    auto it = world.byInterface.find(interfacePointer);
    return it == world.byInterface.end() ? nullptr : it->second;
}

long OutstandingReferences() {
    long total = 0;
    for (const auto& object : TheWorld().objects) total += static_cast<long>(object->references);
    return total;
}

long OutstandingBuffers() {
    return static_cast<long>(mapi_allocator::GetCounts().outstanding) - TheWorld().bufferBaseline;
}

}  // namespace mailsim
