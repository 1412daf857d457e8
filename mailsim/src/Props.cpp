#include "Props.h"

#include <cstring>

#include "MapiAllocator.h"
#include "World.h"

namespace mailsim {

Prop LongProp(ULONG tag, long long value) {
    Prop prop;
    prop.tag = tag;
    prop.number = value;
    return prop;
}

Prop TextProp(ULONG tag, const std::string& bytes) {
    Prop prop;
    prop.tag = tag;
    prop.bytes = bytes;
    return prop;
}

Prop ErrorProp(ULONG tag, HRESULT error) {
    Prop prop;
    prop.tag = PROP_TAG(PT_ERROR, PROP_ID(tag));
    prop.number = static_cast<ULONG>(error);
    return prop;
}

void PropBag::Set(const Prop& prop) {
    Prop stored;
    stored.tag = prop.tag;
    stored.number = prop.number;
    if (PROP_ID(prop.tag) == PROP_ID(PR_ATTACH_DATA_BIN) && PROP_TYPE(prop.tag) == PT_BINARY) {
        stored.data = prop.data ? prop.data : std::make_shared<AttachData>(prop.bytes);
    } else {
        stored.bytes = prop.bytes;
    }
    byId_[PROP_ID(prop.tag)] = std::move(stored);
}

const Prop* PropBag::Find(ULONG tag) const {
    auto it = byId_.find(PROP_ID(tag));
    return it == byId_.end() ? nullptr : &it->second;
}

Prop* PropBag::Find(ULONG tag) {
    auto it = byId_.find(PROP_ID(tag));
    return it == byId_.end() ? nullptr : &it->second;
}

std::vector<Prop> PropBag::All() const {
    std::vector<Prop> all;
    for (const auto& entry : byId_) all.push_back(entry.second);
    return all;
}

namespace {
Prop Readable(const Prop& stored) {
    if (stored.data && !stored.data->Whole())
        return ErrorProp(stored.tag, MAPI_E_NOT_ENOUGH_MEMORY);
    return stored;
}
}  // namespace

Prop Lookup(const PropBag& bag, ULONG requestedTag) {
    const Prop* stored = bag.Find(requestedTag);
    if (stored == nullptr) return ErrorProp(requestedTag, MAPI_E_NOT_FOUND);
    const ULONG type = PROP_TYPE(requestedTag);
    if (PROP_TYPE(stored->tag) == PT_ERROR) return *stored;
    if (type == PT_UNSPECIFIED || type == PROP_TYPE(stored->tag)) return Readable(*stored);
    return ErrorProp(requestedTag, MAPI_E_NOT_FOUND);
}

HRESULT FillPropValue(const Prop& prop, LPVOID root, SPropValue& out) {
    std::memset(&out, 0, sizeof out);
    out.ulPropTag = prop.tag;
    switch (PROP_TYPE(prop.tag)) {
        case PT_I2:
            out.Value.i = static_cast<short>(prop.number);
            return S_OK;
        case PT_LONG:
            out.Value.l = static_cast<LONG>(prop.number);
            return S_OK;
        case PT_BOOLEAN:
            out.Value.b = static_cast<unsigned short>(prop.number);
            return S_OK;
        case PT_ERROR:
            out.Value.err = static_cast<SCODE>(prop.number);
            return S_OK;
        case PT_I8:
        case PT_SYSTIME:
            out.Value.li.QuadPart = prop.number;
            return S_OK;
        case PT_STRING8: {
            LPVOID text = nullptr;
            const HRESULT result = mapi_allocator::AllocateMore(
                static_cast<ULONG>(prop.bytes.size() + 1), root, &text);
            if (result != S_OK) return result;
            std::memcpy(text, prop.bytes.data(), prop.bytes.size());
            static_cast<char*>(text)[prop.bytes.size()] = '\0';
            out.Value.lpszA = static_cast<LPSTR>(text);
            return S_OK;
        }
        case PT_BINARY: {
            // Lookup hands out attachment data only when it is held whole.
            const std::string& value = prop.data ? prop.data->Held() : prop.bytes;
            out.Value.bin.cb = static_cast<ULONG>(value.size());
            if (value.empty()) return S_OK;
            LPVOID bytes = nullptr;
            const HRESULT result =
                mapi_allocator::AllocateMore(static_cast<ULONG>(value.size()), root, &bytes);
            if (result != S_OK) return result;
            std::memcpy(bytes, value.data(), value.size());
            out.Value.bin.lpb = static_cast<LPBYTE>(bytes);
            return S_OK;
        }
        default:
            return S_OK;
    }
}

HRESULT AllocPropArray(const std::vector<Prop>& props, LPSPropValue* out) {
    LPVOID root = nullptr;
    const size_t count = props.empty() ? 1 : props.size();
    HRESULT result =
        mapi_allocator::Allocate(static_cast<ULONG>(count * sizeof(SPropValue)), &root);
    if (result != S_OK) return result;
    LPSPropValue values = static_cast<LPSPropValue>(root);
    std::memset(values, 0, count * sizeof(SPropValue));
    for (size_t i = 0; i < props.size(); ++i) {
        result = FillPropValue(props[i], root, values[i]);
        if (result != S_OK) {
            mapi_allocator::Free(root);
            return result;
        }
    }
    *out = values;
    return S_OK;
}

bool PropFromValue(const SPropValue& value, Prop& prop) {
    prop = Prop();
    prop.tag = value.ulPropTag;
    switch (PROP_TYPE(value.ulPropTag)) {
        case PT_I2:
            prop.number = value.Value.i;
            return true;
        case PT_LONG:
            prop.number = value.Value.l;
            return true;
        case PT_BOOLEAN:
            prop.number = value.Value.b;
            return true;
        case PT_I8:
        case PT_SYSTIME:
            prop.number = value.Value.li.QuadPart;
            return true;
        case PT_STRING8:
            if (value.Value.lpszA == nullptr) return false;
            prop.bytes = value.Value.lpszA;
            return true;
        case PT_BINARY:
            if (value.Value.bin.cb != 0 && value.Value.bin.lpb == nullptr) return false;
            prop.bytes.assign(reinterpret_cast<const char*>(value.Value.bin.lpb),
                              value.Value.bin.cb);
            return true;
        default:
            return false;
    }
}

HRESULT GetPropsFromBag(const PropBag& bag, LPSPropTagArray tags, ULONG* count,
                        LPSPropValue* values) try {
    if (count == nullptr || values == nullptr) return MAPI_E_INVALID_PARAMETER;
    if (tags != nullptr && tags->cValues == 0) return MAPI_E_INVALID_PARAMETER;
    std::vector<Prop> found;
    bool missing = false;
    if (tags == nullptr) {
        for (const Prop& prop : bag.All()) {
            found.push_back(Readable(prop));
            if (found.back().tag != prop.tag) missing = true;
        }
    } else {
        for (ULONG i = 0; i < tags->cValues; ++i) {
            found.push_back(Lookup(bag, tags->aulPropTag[i]));
            if (PROP_TYPE(found.back().tag) == PT_ERROR) missing = true;
        }
    }
    LPSPropValue array = nullptr;
    const HRESULT result = AllocPropArray(found, &array);
    if (result != S_OK) return result;
    *count = static_cast<ULONG>(found.size());
    *values = array;
    return missing ? MAPI_W_ERRORS_RETURNED : S_OK;
} catch (...) {
    return FailedCall();
}

HRESULT SetPropsIntoBag(PropBag& bag, ULONG count, LPSPropValue values,
                        LPSPropProblemArray* problems) try {
    if (problems != nullptr) *problems = nullptr;
    if (count != 0 && values == nullptr) return MAPI_E_INVALID_PARAMETER;
    // Check every value first so that a bad one changes nothing.
    std::vector<Prop> accepted;
    for (ULONG i = 0; i < count; ++i) {
        const ULONG type = PROP_TYPE(values[i].ulPropTag);
        if (type == PT_NULL || type == PT_ERROR) continue;
        Prop prop;
        if (!PropFromValue(values[i], prop)) return MAPI_E_INVALID_PARAMETER;
        accepted.push_back(prop);
    }
    for (const Prop& prop : accepted) bag.Set(prop);
    return S_OK;
} catch (...) {
    return FailedCall();
}

}  // namespace mailsim
