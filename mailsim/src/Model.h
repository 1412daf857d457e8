// The simulated client's data: stores, folders, messages, attachments and
// address-book entries, built from the profile. Interface objects refer to
// this data through shared pointers, so an object that outlives a Reset
// still works on the data it was opened on.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Profile.h"
#include "Props.h"

namespace mailsim {

struct StoreModel;
struct FolderModel;

struct AttachModel {
    ULONG number = 0;
    PropBagPtr props = std::make_shared<PropBag>();
};

struct MessageModel {
    std::string entryId;
    std::shared_ptr<FolderModel> folder;
    PropBagPtr props = std::make_shared<PropBag>();
    std::vector<PropBagPtr> recipients;                     // each with PR_ROWID
    std::vector<std::shared_ptr<AttachModel>> attachments;  // saved attachments, in save order
    ULONG nextAttachNumber = 0;
    ULONG nextRowId = 0;
    bool saved = false;
};

struct FolderModel {
    std::string name;
    FolderRole role = FolderRole::Other;
    std::string entryId;
    std::weak_ptr<StoreModel> store;
    PropBagPtr props = std::make_shared<PropBag>();
    std::vector<std::shared_ptr<MessageModel>> messages;  // saved and profile messages
};

struct StoreModel {
    size_t index = 0;
    StoreDefinition definition;
    std::string entryId;  // the identifier OpenMsgStore accepts
    PropBagPtr props = std::make_shared<PropBag>();
    PropBagPtr tableRow = std::make_shared<PropBag>();  // the stores-table row
    std::vector<std::shared_ptr<FolderModel>> folders;

    std::shared_ptr<FolderModel> FolderWithRole(FolderRole role) const;
    std::shared_ptr<FolderModel> FolderById(const std::string& entryId) const;
};

struct AddressModel {
    AddressDefinition definition;
    std::string entryId;
    PropBagPtr props = std::make_shared<PropBag>();
};

// Entry identifiers: four zero flag bytes, then a readable payload.
std::string MakeEntryId(const std::string& payload);
// The payload of one of our identifiers, or false.
bool EntryIdPayload(ULONG size, LPENTRYID id, std::string& payload);
// A one-off address-book identifier and its parts.
std::string OneOffEntryId(const std::string& name, const std::string& type,
                          const std::string& address);
bool ParseOneOff(const std::string& payload, std::string& name, std::string& type,
                 std::string& address);

}  // namespace mailsim
