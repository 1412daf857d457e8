#include "Model.h"

namespace mailsim {

namespace {
const std::string kPrefix = std::string(4, '\0') + "msim:";
const std::string kOneOff = "oneoff\x01";
}  // namespace

std::shared_ptr<FolderModel> StoreModel::FolderWithRole(FolderRole role) const {
    for (const auto& folder : folders) {
        if (folder->role == role) return folder;
    }
    return nullptr;
}

std::shared_ptr<FolderModel> StoreModel::FolderById(const std::string& id) const {
    for (const auto& folder : folders) {
        if (folder->entryId == id) return folder;
    }
    return nullptr;
}

std::string MakeEntryId(const std::string& payload) {
    return kPrefix + payload;
}

bool EntryIdPayload(ULONG size, LPENTRYID id, std::string& payload) {
    if (id == nullptr || size < kPrefix.size()) return false;
    const std::string bytes(reinterpret_cast<const char*>(id), size);
    if (bytes.compare(0, kPrefix.size(), kPrefix) != 0) return false;
    payload = bytes.substr(kPrefix.size());
    return true;
}

std::string OneOffEntryId(const std::string& name, const std::string& type,
                          const std::string& address) {
    return MakeEntryId(kOneOff + name + '\x01' + type + '\x01' + address);
}

bool ParseOneOff(const std::string& payload, std::string& name, std::string& type,
                 std::string& address) {
    if (payload.compare(0, kOneOff.size(), kOneOff) != 0) return false;
    const std::string rest = payload.substr(kOneOff.size());
    const size_t first = rest.find('\x01');
    if (first == std::string::npos) return false;
    const size_t second = rest.find('\x01', first + 1);
    if (second == std::string::npos) return false;
    name = rest.substr(0, first);
    type = rest.substr(first + 1, second - first - 1);
    address = rest.substr(second + 1);
    return true;
}

}  // namespace mailsim
