#include "Profile.h"

#include <mapidefs.h>

#include <cctype>
#include <stdexcept>

#include "Text.h"

namespace mailsim {
namespace {

using nlohmann::json;

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw std::runtime_error(where + ": " + what);
}

bool OptionalBool(const json& object, const char* key, bool fallback, const std::string& where) {
    auto it = object.find(key);
    if (it == object.end() || it->is_null()) return fallback;
    if (!it->is_boolean()) Fail(where + "." + key, "expected true or false");
    return it->get<bool>();
}

std::optional<std::string> OptionalText(const json& object, const char* key,
                                        const std::string& where) {
    auto it = object.find(key);
    if (it == object.end() || it->is_null()) return std::nullopt;
    if (!it->is_string()) Fail(where + "." + key, "expected a string");
    return BytesFromUtf8(it->get<std::string>());
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

FolderRole RoleFromName(const std::string& name, const std::string& where) {
    const std::string lower = Lower(name);
    if (lower == "inbox") return FolderRole::Inbox;
    if (lower == "drafts") return FolderRole::Drafts;
    if (lower == "outbox") return FolderRole::Outbox;
    if (lower == "sent items" || lower == "sentitems" || lower == "sent") {
        return FolderRole::SentItems;
    }
    if (lower == "deleted items" || lower == "deleteditems") return FolderRole::DeletedItems;
    if (lower == "other" || lower.empty()) return FolderRole::Other;
    Fail(where, "unknown folder role '" + name + "'");
}

FolderRole RoleFromFolderName(const std::string& name) {
    const std::string lower = Lower(name);
    if (lower == "inbox") return FolderRole::Inbox;
    if (lower == "drafts") return FolderRole::Drafts;
    if (lower == "outbox") return FolderRole::Outbox;
    if (lower == "sent items") return FolderRole::SentItems;
    if (lower == "deleted items") return FolderRole::DeletedItems;
    return FolderRole::Other;
}

ULONG ParseTag(const std::string& text, const std::string& where) {
    try {
        size_t used = 0;
        const unsigned long value = std::stoul(text, &used, 0);
        if (used != text.size() || value > 0xFFFFFFFFul) Fail(where, "bad property tag");
        return static_cast<ULONG>(value);
    } catch (const std::logic_error&) {
        Fail(where, "bad property tag '" + text + "'");
    }
}

ProfileProp ParseProp(const std::string& tagText, const json& value, const std::string& where) {
    ProfileProp prop;
    prop.tag = ParseTag(tagText, where);
    const ULONG type = PROP_TYPE(prop.tag);
    if (value.is_object() && value.contains("error")) {
        prop.tag = PROP_TAG(PT_ERROR, PROP_ID(prop.tag));
        prop.number = ParseResult(value["error"], where + ".error");
        return prop;
    }
    switch (type) {
        case PT_I2:
        case PT_LONG:
        case PT_I8:
        case PT_SYSTIME:
        case PT_ERROR:
            if (value.is_string()) {
                prop.number = static_cast<ULONG>(ParseResult(value, where));
            } else if (value.is_number_integer()) {
                prop.number = value.get<long long>();
            } else {
                Fail(where, "expected a number");
            }
            return prop;
        case PT_BOOLEAN:
            if (value.is_boolean()) {
                prop.number = value.get<bool>() ? 1 : 0;
            } else if (value.is_number_integer()) {
                prop.number = value.get<long long>();
            } else {
                Fail(where, "expected true or false");
            }
            return prop;
        case PT_STRING8:
            if (!value.is_string()) Fail(where, "expected a string");
            prop.bytes = BytesFromUtf8(value.get<std::string>());
            return prop;
        case PT_BINARY:
            if (value.is_object() && value.contains("addressEntry")) {
                prop.entryOf = BytesFromUtf8(value["addressEntry"].get<std::string>());
                return prop;
            }
            if (!value.is_string() || !BytesFromHex(value.get<std::string>(), prop.bytes)) {
                Fail(where, "expected hex digits or {\"addressEntry\": name}");
            }
            return prop;
        default:
            Fail(where, "property type not supported in profiles");
    }
}

FolderDefinition ParseFolder(const json& value, const std::string& where) {
    FolderDefinition folder;
    if (value.is_string()) {
        folder.name = BytesFromUtf8(value.get<std::string>());
        folder.role = RoleFromFolderName(folder.name);
        return folder;
    }
    if (!value.is_object()) Fail(where, "expected a folder name or object");
    auto name = OptionalText(value, "name", where);
    if (!name) Fail(where + ".name", "missing");
    folder.name = *name;
    folder.role = RoleFromFolderName(folder.name);
    if (auto role = OptionalText(value, "role", where)) folder.role = RoleFromName(*role, where);
    if (value.contains("messages")) {
        const json& messages = value["messages"];
        if (!messages.is_array()) Fail(where + ".messages", "expected an array");
        for (size_t i = 0; i < messages.size(); ++i) {
            const std::string at = where + ".messages[" + std::to_string(i) + "]";
            if (!messages[i].is_object()) Fail(at, "expected an object of properties");
            MessageDefinition message;
            for (auto it = messages[i].begin(); it != messages[i].end(); ++it) {
                message.props.push_back(ParseProp(it.key(), it.value(), at + "." + it.key()));
            }
            folder.messages.push_back(std::move(message));
        }
    }
    return folder;
}

StoreDefinition ParseStore(const json& value, const std::string& where) {
    if (!value.is_object()) Fail(where, "expected an object");
    StoreDefinition store;
    if (!value.contains("displayName")) {
        store.displayName = std::string("Personal Folders");
    } else {
        store.displayName = OptionalText(value, "displayName", where);
    }
    if (value.contains("default")) {
        const json& d = value["default"];
        if (d.is_boolean()) {
            store.isDefault = d.get<bool>();
        } else if (d.is_string() && d.get<std::string>() == "error") {
            store.defaultKind = CellKind::Error;
        } else if (!d.is_null()) {
            Fail(where + ".default", "expected true, false or \"error\"");
        }
    }
    if (value.contains("defaultError")) {
        store.defaultError = ParseResult(value["defaultError"], where + ".defaultError");
    }
    if (value.contains("entryId")) {
        const json& e = value["entryId"];
        std::string bytes;
        if (e.is_string() && e.get<std::string>() == "error") {
            store.entryIdKind = CellKind::Error;
        } else if (e.is_string() && e.get<std::string>() == "long") {
            store.entryIdKind = CellKind::Long;
        } else if (e.is_string() && BytesFromHex(e.get<std::string>(), bytes)) {
            store.entryIdBytes = bytes;
        } else if (!e.is_null()) {
            Fail(where + ".entryId", "expected \"error\", \"long\" or hex digits");
        }
    }
    if (value.contains("folders")) {
        const json& folders = value["folders"];
        if (!folders.is_array()) Fail(where + ".folders", "expected an array");
        for (size_t i = 0; i < folders.size(); ++i) {
            store.folders.push_back(
                ParseFolder(folders[i], where + ".folders[" + std::to_string(i) + "]"));
        }
    } else {
        for (const char* name : {"Inbox", "Drafts", "Outbox", "Sent Items"}) {
            store.folders.push_back({name, RoleFromFolderName(name), {}});
        }
    }
    store.draftsEntryIdOnInbox = OptionalBool(value, "draftsEntryIdOnInbox", true, where);
    store.receiveFolder = OptionalText(value, "receiveFolder", where);
    return store;
}

AddressDefinition ParseAddress(const json& value, const std::string& where) {
    if (!value.is_object()) Fail(where, "expected an object");
    AddressDefinition entry;
    auto name = OptionalText(value, "displayName", where);
    if (!name) Fail(where + ".displayName", "missing");
    entry.displayName = *name;
    entry.addressType = OptionalText(value, "addressType", where);
    entry.address = OptionalText(value, "address", where);
    entry.smtpAddress = OptionalText(value, "smtpAddress", where);
    if (auto type = OptionalText(value, "objectType", where)) {
        if (*type == "distlist") {
            entry.distList = true;
        } else if (*type != "mailuser") {
            Fail(where + ".objectType", "expected \"mailuser\" or \"distlist\"");
        }
    }
    return entry;
}

FaultDefinition ParseFault(const json& value, const std::string& where) {
    if (!value.is_object()) Fail(where, "expected an object");
    FaultDefinition fault;
    auto call = OptionalText(value, "call", where);
    if (!call || call->empty()) Fail(where + ".call", "missing");
    fault.call = *call;
    if (!value.contains("result")) Fail(where + ".result", "missing");
    fault.result = ParseResult(value["result"], where + ".result");
    if (value.contains("nth") && !value["nth"].is_null()) {
        if (!value["nth"].is_number_unsigned() || value["nth"].get<unsigned long long>() == 0) {
            Fail(where + ".nth", "expected a count from 1");
        }
        fault.nth = value["nth"].get<unsigned>();
    }
    return fault;
}

}  // namespace

HRESULT ParseResult(const json& value, const std::string& where) {
    if (value.is_number_integer()) {
        const long long number = value.get<long long>();
        if (number < -2147483648LL || number > 0xFFFFFFFFLL) Fail(where, "result out of range");
        return static_cast<HRESULT>(static_cast<uint32_t>(number));
    }
    if (value.is_string()) {
        const std::string text = value.get<std::string>();
        try {
            size_t used = 0;
            const unsigned long long number = std::stoull(text, &used, 0);
            if (used == text.size() && number <= 0xFFFFFFFFull) {
                return static_cast<HRESULT>(static_cast<uint32_t>(number));
            }
        } catch (const std::logic_error&) {
        }
    }
    Fail(where, "expected a result: a number or a \"0x...\" string");
}

Profile ParseProfile(const json& root) {
    if (!root.is_object()) Fail("profile", "expected a JSON object");
    Profile profile;
    if (root.contains("initialize"))
        profile.initialize = ParseResult(root["initialize"], "initialize");
    if (root.contains("logon")) profile.logon = ParseResult(root["logon"], "logon");
    if (root.contains("showForm")) profile.showForm = ParseResult(root["showForm"], "showForm");
    if (root.contains("stores")) {
        const json& stores = root["stores"];
        if (!stores.is_array()) Fail("stores", "expected an array");
        for (size_t i = 0; i < stores.size(); ++i) {
            profile.stores.push_back(ParseStore(stores[i], "stores[" + std::to_string(i) + "]"));
        }
    } else {
        StoreDefinition store = ParseStore(json::object(), "stores[0]");
        store.isDefault = true;
        profile.stores.push_back(store);
    }
    if (root.contains("addressBook")) {
        const json& book = root["addressBook"];
        if (!book.is_array()) Fail("addressBook", "expected an array");
        for (size_t i = 0; i < book.size(); ++i) {
            profile.addressBook.push_back(
                ParseAddress(book[i], "addressBook[" + std::to_string(i) + "]"));
        }
    }
    profile.oneOffSmtp = OptionalBool(root, "oneOffSmtp", true, "profile");
    if (root.contains("simpleMapi")) {
        const json& simple = root["simpleMapi"];
        if (!simple.is_object()) Fail("simpleMapi", "expected an object");
        profile.simpleLibrary = OptionalBool(simple, "library", true, "simpleMapi");
        profile.simpleSendMail = OptionalBool(simple, "sendMail", true, "simpleMapi");
        if (simple.contains("result")) {
            profile.simpleResult =
                static_cast<ULONG>(ParseResult(simple["result"], "simpleMapi.result"));
        }
    }
    if (root.contains("faults")) {
        const json& faults = root["faults"];
        if (!faults.is_array()) Fail("faults", "expected an array");
        for (size_t i = 0; i < faults.size(); ++i) {
            profile.faults.push_back(ParseFault(faults[i], "faults[" + std::to_string(i) + "]"));
        }
    }
    return profile;
}

Profile ParseProfileText(const std::string& text) {
    json root;
    try {
        root = json::parse(text);
    } catch (const json::parse_error& error) {
        throw std::runtime_error(std::string("profile is not valid JSON: ") + error.what());
    }
    return ParseProfile(root);
}

const std::string& DefaultProfileJson() {
    static const std::string text = R"({
  "initialize": 0,
  "logon": 0,
  "stores": [
    {"displayName": "Personal Folders", "default": true,
     "folders": ["Inbox", "Drafts", "Outbox", "Sent Items"]}
  ],
  "addressBook": [
    {"displayName": "Alice Example", "addressType": "SMTP", "address": "alice@example.com",
     "smtpAddress": "alice@example.com", "objectType": "mailuser"},
    {"displayName": "Bob Example", "addressType": "SMTP", "address": "bob@example.com",
     "smtpAddress": "bob@example.com", "objectType": "mailuser"},
    {"displayName": "Example Team", "addressType": "MAPIPDL", "address": "team",
     "objectType": "distlist"}
  ],
  "oneOffSmtp": true,
  "showForm": 0,
  "simpleMapi": {"library": true, "sendMail": true, "result": 0},
  "faults": []
}
)";
    return text;
}

}  // namespace mailsim
