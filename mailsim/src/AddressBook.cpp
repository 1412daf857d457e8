// The address book: entries from the profile as mail users and
// distribution lists, one-off SMTP entries, and ResolveName.
#include <cctype>
#include <cstring>

#include "Objects.h"
#include "MapiAllocator.h"

namespace mailsim {
namespace {

class MailUser final : public PropObject<IMailUser> {
public:
    explicit MailUser(PropBagPtr props)
        : PropObject<IMailUser>("IMailUser", std::move(props), false) {}
};

class DistList final : public ContainerObject<IDistList> {
public:
    explicit DistList(PropBagPtr props)
        : ContainerObject<IDistList>("IDistList", std::move(props), false) {}

    STDMETHODIMP CreateEntry(ULONG, LPENTRYID, ULONG, LPMAPIPROP*) override {
        return Unsupported("CreateEntry");
    }
    STDMETHODIMP CopyEntries(LPENTRYLIST, ULONG, LPMAPIPROGRESS, ULONG) override {
        return Unsupported("CopyEntries");
    }
    STDMETHODIMP DeleteEntries(LPENTRYLIST, ULONG) override { return Unsupported("DeleteEntries"); }
    STDMETHODIMP ResolveNames(LPSPropTagArray, ULONG, LPADRLIST, LPFlagList) override {
        return Unsupported("ResolveNames");
    }
};

std::string Trimmed(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && text[begin] == ' ') ++begin;
    while (end > begin && text[end - 1] == ' ') --end;
    return text.substr(begin, end - begin);
}

bool SameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// local@domain.tld, without spaces: what a one-off SMTP entry is made of.
bool LooksLikeSmtp(const std::string& name) {
    const size_t at = name.find('@');
    if (at == std::string::npos || at == 0 || name.find('@', at + 1) != std::string::npos) {
        return false;
    }
    const std::string domain = name.substr(at + 1);
    const size_t dot = domain.find('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == domain.size()) return false;
    for (char c : name) {
        if (std::isspace(static_cast<unsigned char>(c)) || c == ';' || c == ',') return false;
    }
    return true;
}

PropBagPtr OneOffProps(const std::string& name, const std::string& type,
                       const std::string& address) {
    auto props = std::make_shared<PropBag>();
    props->Set(TextProp(PR_DISPLAY_NAME, name));
    props->Set(TextProp(PR_ADDRTYPE, type));
    props->Set(TextProp(PR_EMAIL_ADDRESS, address));
    props->Set(TextProp(PR_ENTRYID, OneOffEntryId(name, type, address)));
    props->Set(LongProp(PR_OBJECT_TYPE, MAPI_MAILUSER));
    props->Set(LongProp(PR_DISPLAY_TYPE, DT_MAILUSER));
    return props;
}

enum class Resolution { Resolved, Ambiguous, Unresolved, Skipped };

// Finds the entry a name stands for.
Resolution Resolve(const std::string& rawName, PropBagPtr& found) {
    const std::string name = Trimmed(rawName);
    const World& world = TheWorld();
    int matches = 0;
    for (const auto& entry : world.book) {
        const AddressDefinition& definition = entry->definition;
        if (SameText(name, Trimmed(definition.displayName)) ||
            (definition.address && SameText(name, Trimmed(*definition.address))) ||
            (definition.smtpAddress && SameText(name, Trimmed(*definition.smtpAddress)))) {
            ++matches;
            found = entry->props;
        }
    }
    if (matches == 1) return Resolution::Resolved;
    if (matches > 1) return Resolution::Ambiguous;
    if (world.profile.oneOffSmtp && LooksLikeSmtp(name)) {
        found = OneOffProps(name, "SMTP", name);
        return Resolution::Resolved;
    }
    return Resolution::Unresolved;
}

// The resolved entry's properties, followed by those of the caller's that
// the entry does not supply (such as PR_RECIPIENT_TYPE), all copied into
// one new MAPI buffer.
HRESULT ResolvedArray(const PropBag& entry, const ADRENTRY& original, ADRENTRY& replaced) {
    std::vector<Prop> props;
    for (ULONG tag : {PR_DISPLAY_NAME, PR_ADDRTYPE, PR_EMAIL_ADDRESS, PR_ENTRYID, PR_OBJECT_TYPE,
                      PR_DISPLAY_TYPE, PR_SMTP_ADDRESS}) {
        if (const Prop* prop = entry.Find(tag)) props.push_back(*prop);
    }
    for (ULONG i = 0; i < original.cValues; ++i) {
        const SPropValue& value = original.rgPropVals[i];
        if (PROP_TYPE(value.ulPropTag) == PT_NULL || entry.Find(value.ulPropTag) != nullptr) {
            continue;
        }
        Prop prop;
        if (PropFromValue(value, prop)) props.push_back(prop);
    }
    LPSPropValue array = nullptr;
    const HRESULT result = AllocPropArray(props, &array);
    if (result != S_OK) return result;
    replaced.ulReserved1 = original.ulReserved1;
    replaced.cValues = static_cast<ULONG>(props.size());
    replaced.rgPropVals = array;
    return S_OK;
}

class AddrBook final : public PropObject<IAddrBook> {
public:
    AddrBook() : PropObject<IAddrBook>("IAddrBook", std::make_shared<PropBag>(), false) {}

    STDMETHODIMP OpenEntry(ULONG size, LPENTRYID id, LPCIID, ULONG, ULONG* objectType,
                           LPUNKNOWN* object) override {
        if (HRESULT fault = Enter("OpenEntry")) return fault;
        return OpenAddressEntry(size, id, objectType, object);
    }
    STDMETHODIMP CompareEntryIDs(ULONG size1, LPENTRYID id1, ULONG size2, LPENTRYID id2, ULONG,
                                 ULONG* result) override {
        if (HRESULT fault = Enter("CompareEntryIDs")) return fault;
        return CompareEntryIds(size1, id1, size2, id2, result);
    }
    STDMETHODIMP Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*) override {
        return Unsupported("Advise");
    }
    STDMETHODIMP Unadvise(ULONG) override {
        if (HRESULT fault = Enter("Unadvise")) return fault;
        return MAPI_E_NOT_FOUND;
    }
    STDMETHODIMP CreateOneOff(LPTSTR, LPTSTR, LPTSTR, ULONG, ULONG*, LPENTRYID*) override {
        return Unsupported("CreateOneOff");
    }
    STDMETHODIMP NewEntry(ULONG_PTR, ULONG, ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG*,
                          LPENTRYID*) override {
        return Unsupported("NewEntry");
    }
    STDMETHODIMP ResolveName(ULONG_PTR, ULONG, LPTSTR, LPADRLIST list) override try {
        if (HRESULT fault = Enter("ResolveName")) return fault;
        if (list == nullptr) return MAPI_E_INVALID_PARAMETER;
        bool ambiguous = false;
        bool unresolved = false;
        for (ULONG i = 0; i < list->cEntries; ++i) {
            ADRENTRY& entry = list->aEntries[i];
            if (entry.cValues != 0 && entry.rgPropVals == nullptr) return MAPI_E_INVALID_PARAMETER;
            const SPropValue* name = nullptr;
            bool hasEntryId = false;
            for (ULONG j = 0; j < entry.cValues; ++j) {
                const ULONG tag = entry.rgPropVals[j].ulPropTag;
                if (tag == PR_DISPLAY_NAME && entry.rgPropVals[j].Value.lpszA != nullptr) {
                    name = &entry.rgPropVals[j];
                }
                if (tag == PR_ENTRYID) hasEntryId = true;
            }
            if (hasEntryId) continue;  // resolved already
            if (name == nullptr) {
                unresolved = true;
                continue;
            }
            PropBagPtr found;
            switch (Resolve(name->Value.lpszA, found)) {
                case Resolution::Resolved: {
                    ADRENTRY replaced{};
                    const HRESULT result = ResolvedArray(*found, entry, replaced);
                    if (result != S_OK) return result;
                    // The caller's array is the caller's MAPI buffer: MAPI
                    // frees it and puts its own in its place.
                    mapi_allocator::Free(entry.rgPropVals);
                    entry = replaced;
                    break;
                }
                case Resolution::Ambiguous:
                    ambiguous = true;
                    break;
                default:
                    unresolved = true;
                    break;
            }
        }
        if (ambiguous) return MAPI_E_AMBIGUOUS_RECIP;
        if (unresolved) return MAPI_E_NOT_FOUND;
        return S_OK;
    } catch (...) {
        return FailedCall();
    }
    STDMETHODIMP Address(ULONG_PTR*, LPADRPARM, LPADRLIST*) override {
        return Unsupported("Address");
    }
    STDMETHODIMP Details(ULONG*, LPFNDISMISS, LPVOID, ULONG, LPENTRYID, LPFNBUTTON, LPVOID, LPTSTR,
                         ULONG) override {
        return Unsupported("Details");
    }
    STDMETHODIMP RecipOptions(ULONG_PTR, ULONG, LPADRENTRY) override {
        return Unsupported("RecipOptions");
    }
    STDMETHODIMP QueryDefaultRecipOpt(LPTSTR, ULONG, ULONG*, LPSPropValue*) override {
        return Unsupported("QueryDefaultRecipOpt");
    }
    STDMETHODIMP GetPAB(ULONG*, LPENTRYID*) override { return Unsupported("GetPAB"); }
    STDMETHODIMP SetPAB(ULONG, LPENTRYID) override { return Unsupported("SetPAB"); }
    STDMETHODIMP GetDefaultDir(ULONG*, LPENTRYID*) override { return Unsupported("GetDefaultDir"); }
    STDMETHODIMP SetDefaultDir(ULONG, LPENTRYID) override { return Unsupported("SetDefaultDir"); }
    STDMETHODIMP GetSearchPath(ULONG, LPSRowSet*) override { return Unsupported("GetSearchPath"); }
    STDMETHODIMP SetSearchPath(ULONG, LPSRowSet) override { return Unsupported("SetSearchPath"); }
    STDMETHODIMP PrepareRecips(ULONG, LPSPropTagArray, LPADRLIST) override {
        return Unsupported("PrepareRecips");
    }
};

}  // namespace

LPADRBOOK NewAddrBook() {
    return Make<AddrBook>();
}

HRESULT OpenAddressEntry(ULONG size, LPENTRYID id, ULONG* objectType, LPUNKNOWN* object) try {
    if (object == nullptr || objectType == nullptr) return MAPI_E_INVALID_PARAMETER;
    std::string payload;
    if (!EntryIdPayload(size, id, payload)) return MAPI_E_UNKNOWN_ENTRYID;
    const std::string idBytes(reinterpret_cast<const char*>(id), size);
    for (const auto& entry : TheWorld().book) {
        if (entry->entryId != idBytes) continue;
        if (entry->definition.distList) {
            *objectType = MAPI_DISTLIST;
            *object = Make<DistList>(entry->props);
        } else {
            *objectType = MAPI_MAILUSER;
            *object = Make<MailUser>(entry->props);
        }
        return S_OK;
    }
    std::string name, type, address;
    if (ParseOneOff(payload, name, type, address)) {
        *objectType = MAPI_MAILUSER;
        *object = Make<MailUser>(OneOffProps(name, type, address));
        return S_OK;
    }
    return MAPI_E_UNKNOWN_ENTRYID;
} catch (...) {
    return FailedCall();
}

}  // namespace mailsim
