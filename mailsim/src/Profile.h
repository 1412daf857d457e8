// The profile: what the simulated client holds (stores, folders, address
// book) and how it answers (results, faults). Read from JSON; every member
// is optional.
#pragma once

#include <windows.h>

#include <nlohmann/json.hpp>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace mailsim {

// A property value given in a profile: its tag carries the type.
struct ProfileProp {
    ULONG tag = 0;
    long long number = 0;  // PT_LONG, PT_I2, PT_BOOLEAN, PT_ERROR, PT_I8, PT_SYSTIME
    std::string bytes;     // PT_STRING8 (no terminator), PT_BINARY
    std::string entryOf;   // PT_BINARY naming an address-book entry by display name
};

struct MessageDefinition {
    std::vector<ProfileProp> props;
};

enum class FolderRole { Other, Inbox, Drafts, Outbox, SentItems, DeletedItems };

struct FolderDefinition {
    std::string name;
    FolderRole role = FolderRole::Other;
    std::vector<MessageDefinition> messages;
};

// How a stores-table cell or store property is given.
enum class CellKind { Value, Error, Long };

struct StoreDefinition {
    std::optional<std::string> displayName;  // nullopt: the table gives PT_ERROR
    CellKind defaultKind = CellKind::Value;
    bool isDefault = false;
    HRESULT defaultError = static_cast<HRESULT>(0x8004010F);  // MAPI_E_NOT_FOUND
    CellKind entryIdKind = CellKind::Value;
    std::optional<std::string> entryIdBytes;  // overrides the generated identifier
    std::vector<FolderDefinition> folders;
    bool draftsEntryIdOnInbox = true;
    std::optional<std::string> receiveFolder;  // folder name; default: the Inbox
};

struct AddressDefinition {
    std::string displayName;
    std::optional<std::string> addressType;
    std::optional<std::string> address;
    std::optional<std::string> smtpAddress;
    bool distList = false;
};

struct FaultDefinition {
    std::string call;
    HRESULT result = 0;
    unsigned nth = 0;  // 0: every call
};

struct Profile {
    HRESULT initialize = 0;
    HRESULT logon = 0;
    HRESULT showForm = 0;
    std::vector<StoreDefinition> stores;
    std::vector<AddressDefinition> addressBook;
    bool oneOffSmtp = true;
    bool simpleLibrary = true;
    bool simpleSendMail = true;
    ULONG simpleResult = 0;
    std::vector<FaultDefinition> faults;
};

// Parses a profile; throws std::runtime_error with a readable reason.
Profile ParseProfile(const nlohmann::json& json);
Profile ParseProfileText(const std::string& text);

// The embedded default profile.
const std::string& DefaultProfileJson();

// A result given as a number or as a "0x..." string.
HRESULT ParseResult(const nlohmann::json& value, const std::string& where);

}  // namespace mailsim
