// Messages with their recipients and attachments.
#include "Objects.h"

namespace mailsim {
namespace {

class Attach final : public PropObject<IAttach> {
public:
    Attach(std::shared_ptr<MessageModel> message, std::shared_ptr<AttachModel> attach)
        : PropObject<IAttach>("IAttach", attach->props, true),
          message_(std::move(message)),
          attach_(std::move(attach)) {}

protected:
    // Only a saved attachment becomes part of the message.
    HRESULT OnSave(ULONG) override try {
        for (const auto& saved : message_->attachments) {
            if (saved == attach_) return S_OK;
        }
        message_->attachments.push_back(attach_);
        return S_OK;
    } catch (...) {
        return FailedCall();
    }

private:
    std::shared_ptr<MessageModel> message_;
    std::shared_ptr<AttachModel> attach_;
};

// A caller's recipient entry as properties; false when it cannot be read.
bool RecipientFromEntry(const ADRENTRY& entry, PropBag& recipient) {
    if (entry.cValues != 0 && entry.rgPropVals == nullptr) return false;
    for (ULONG i = 0; i < entry.cValues; ++i) {
        const ULONG type = PROP_TYPE(entry.rgPropVals[i].ulPropTag);
        if (type == PT_NULL || type == PT_ERROR) continue;
        Prop prop;
        if (!PropFromValue(entry.rgPropVals[i], prop)) return false;
        recipient.Set(prop);
    }
    return true;
}

class MessageObject final : public PropObject<IMessage> {
public:
    MessageObject(std::shared_ptr<MessageModel> message, bool writable)
        : PropObject<IMessage>("IMessage", message->props, writable),
          message_(std::move(message)) {}

    std::shared_ptr<MessageModel> Message() override { return message_; }

    STDMETHODIMP GetAttachmentTable(ULONG, LPMAPITABLE*) override {
        return Unsupported("GetAttachmentTable");
    }
    STDMETHODIMP OpenAttach(ULONG number, LPCIID, ULONG flags, LPATTACH* attach) override try {
        if (HRESULT fault = Enter("OpenAttach")) return fault;
        if (attach == nullptr) return MAPI_E_INVALID_PARAMETER;
        for (const auto& saved : message_->attachments) {
            if (saved->number == number) {
                (void)flags;
                *attach = NewAttach(message_, saved);
                return S_OK;
            }
        }
        return MAPI_E_NOT_FOUND;
    } catch (...) {
        return FailedCall();
    }
    STDMETHODIMP CreateAttach(LPCIID, ULONG, ULONG* number, LPATTACH* attach) override try {
        if (HRESULT fault = Enter("CreateAttach")) return fault;
        if (attach == nullptr) return MAPI_E_INVALID_PARAMETER;
        if (!writable_) return MAPI_E_NO_ACCESS;
        auto model = std::make_shared<AttachModel>();
        model->number = message_->nextAttachNumber++;
        model->props->Set(LongProp(PR_ATTACH_NUM, model->number));
        model->props->Set(LongProp(PR_OBJECT_TYPE, MAPI_ATTACH));
        if (number != nullptr) *number = model->number;
        *attach = NewAttach(message_, model);
        return S_OK;
    } catch (...) {
        return FailedCall();
    }
    STDMETHODIMP DeleteAttach(ULONG number, ULONG, LPMAPIPROGRESS, ULONG) override {
        if (HRESULT fault = Enter("DeleteAttach")) return fault;
        auto& list = message_->attachments;
        for (auto it = list.begin(); it != list.end(); ++it) {
            if ((*it)->number == number) {
                list.erase(it);
                return S_OK;
            }
        }
        return MAPI_E_NOT_FOUND;
    }
    STDMETHODIMP GetRecipientTable(ULONG, LPMAPITABLE*) override {
        return Unsupported("GetRecipientTable");
    }
    // Adds, modifies (by PR_ROWID) or removes recipients; flags 0 replaces
    // them all. A list that cannot be read changes nothing.
    STDMETHODIMP ModifyRecipients(ULONG flags, LPADRLIST list) override try {
        if (HRESULT fault = Enter("ModifyRecipients")) return fault;
        if (list == nullptr) return MAPI_E_INVALID_PARAMETER;
        if (!writable_) return MAPI_E_NO_ACCESS;
        std::vector<PropBagPtr> entries;
        for (ULONG i = 0; i < list->cEntries; ++i) {
            auto recipient = std::make_shared<PropBag>();
            if (!RecipientFromEntry(list->aEntries[i], *recipient)) {
                return MAPI_E_INVALID_PARAMETER;
            }
            entries.push_back(recipient);
        }
        auto& recipients = message_->recipients;
        if (flags == 0 || (flags & MODRECIP_ADD)) {
            // Everything that can fail comes before the first change.
            for (auto& recipient : entries) {
                recipient->Set(LongProp(PR_ROWID, message_->nextRowId++));
            }
            recipients.reserve(recipients.size() + entries.size());
            if (flags == 0) recipients.clear();
            recipients.insert(recipients.end(), entries.begin(), entries.end());
            return S_OK;
        }
        for (auto& entry : entries) {
            const Prop* row = entry->Find(PR_ROWID);
            if (row == nullptr) return MAPI_E_INVALID_PARAMETER;
            for (auto it = recipients.begin(); it != recipients.end(); ++it) {
                const Prop* existing = (*it)->Find(PR_ROWID);
                if (existing == nullptr || existing->number != row->number) continue;
                if (flags & MODRECIP_REMOVE) {
                    recipients.erase(it);
                } else {
                    *it = entry;
                }
                break;
            }
        }
        return S_OK;
    } catch (...) {
        return FailedCall();
    }
    STDMETHODIMP SubmitMessage(ULONG) override { return Unsupported("SubmitMessage"); }
    STDMETHODIMP SetReadFlag(ULONG) override {
        if (HRESULT fault = Enter("SetReadFlag")) return fault;
        return S_OK;
    }

protected:
    // Saving files the message in its folder, where OpenEntry finds it.
    HRESULT OnSave(ULONG) override try {
        if (!writable_) return MAPI_E_NO_ACCESS;
        if (!message_->saved) {
            auto& filed = message_->folder->messages;
            filed.reserve(filed.size() + 1);
            TheWorld().messages[message_->entryId] = message_;
            filed.push_back(message_);
            message_->saved = true;
        }
        return S_OK;
    } catch (...) {
        return FailedCall();
    }

private:
    std::shared_ptr<MessageModel> message_;
};

}  // namespace

LPMESSAGE NewMessage(const std::shared_ptr<MessageModel>& message, bool writable) {
    return Make<MessageObject>(message, writable);
}

LPATTACH NewAttach(const std::shared_ptr<MessageModel>& message,
                   const std::shared_ptr<AttachModel>& attach) {
    return Make<Attach>(message, attach);
}

}  // namespace mailsim
