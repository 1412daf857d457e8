// IStream on a property: reads and writes go straight to the property's
// bytes (there is no transaction, so Commit has nothing to do and a write
// is visible without it). Attachment data is kept flat (AttachData.h).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "Objects.h"

namespace mailsim {
namespace {

class Stream final : public Tracked<IStream> {
public:
    Stream(PropBagPtr bag, ULONG tag, bool writable)
        : Tracked<IStream>("IStream"), bag_(std::move(bag)), tag_(tag), writable_(writable) {}

    STDMETHODIMP Read(void* buffer, ULONG size, ULONG* read) override try {
        if (HRESULT fault = Enter("Read")) return fault;
        if (buffer == nullptr && size != 0) return E_POINTER;
        Prop& prop = Property();
        const uint64_t total = SizeOf(prop);
        ULONG count = 0;
        if (position_ < total)
            count = static_cast<ULONG>(std::min<uint64_t>(size, total - position_));
        if (prop.data) {
            if (!prop.data->Read(position_, buffer, count)) return kNotHeld;
        } else if (count != 0) {
            std::memcpy(buffer, prop.bytes.data() + position_, count);
        }
        position_ += count;
        if (read != nullptr) *read = count;
        return S_OK;
    } catch (...) {
        return FailedCall();
    }
    STDMETHODIMP Write(const void* buffer, ULONG size, ULONG* written) override try {
        if (HRESULT fault = Enter("Write")) return fault;
        if (written != nullptr) *written = 0;
        if (!writable_) return STG_E_ACCESSDENIED;
        if (buffer == nullptr && size != 0) return E_POINTER;
        Prop& prop = Property();
        if (prop.data) {
            if (!prop.data->Write(position_, buffer, size)) return kNotHeld;
        } else if (size != 0) {
            std::string& bytes = prop.bytes;
            if (position_ + size > bytes.max_size()) throw std::bad_alloc();
            if (bytes.size() < position_ + size) bytes.resize(position_ + size);
            std::memcpy(&bytes[position_], buffer, size);
        }
        position_ += size;
        if (written != nullptr) *written = size;
        return S_OK;
    } catch (...) {
        return FailedCall();
    }
    STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override try {
        if (HRESULT fault = Enter("Seek")) return fault;
        long long base = 0;
        if (origin == STREAM_SEEK_CUR) base = static_cast<long long>(position_);
        if (origin == STREAM_SEEK_END) base = static_cast<long long>(SizeOf(Property()));
        if (origin > STREAM_SEEK_END) return STG_E_INVALIDFUNCTION;
        const long long target = base + move.QuadPart;
        if (target < 0) return STG_E_INVALIDFUNCTION;
        position_ = static_cast<uint64_t>(target);
        if (newPosition != nullptr) newPosition->QuadPart = position_;
        return S_OK;
    } catch (...) {
        return FailedCall();
    }
    STDMETHODIMP SetSize(ULARGE_INTEGER size) override try {
        if (HRESULT fault = Enter("SetSize")) return fault;
        if (!writable_) return STG_E_ACCESSDENIED;
        Prop& prop = Property();
        if (prop.data) {
            if (!prop.data->Resize(size.QuadPart)) return kNotHeld;
        } else {
            if (size.QuadPart > prop.bytes.max_size()) throw std::bad_alloc();
            prop.bytes.resize(static_cast<size_t>(size.QuadPart));
        }
        return S_OK;
    } catch (...) {
        return FailedCall();
    }
    STDMETHODIMP CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
        if (HRESULT fault = Enter("CopyTo")) return fault;
        return E_NOTIMPL;
    }
    STDMETHODIMP Commit(DWORD) override {
        if (HRESULT fault = Enter("Commit")) return fault;
        return S_OK;
    }
    STDMETHODIMP Revert() override {
        if (HRESULT fault = Enter("Revert")) return fault;
        return S_OK;
    }
    STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        if (HRESULT fault = Enter("LockRegion")) return fault;
        return STG_E_INVALIDFUNCTION;
    }
    STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        if (HRESULT fault = Enter("UnlockRegion")) return fault;
        return STG_E_INVALIDFUNCTION;
    }
    STDMETHODIMP Stat(STATSTG* stat, DWORD) override try {
        if (HRESULT fault = Enter("Stat")) return fault;
        if (stat == nullptr) return E_POINTER;
        std::memset(stat, 0, sizeof *stat);
        stat->type = 2;  // STGTY_STREAM
        stat->cbSize.QuadPart = SizeOf(Property());
        return S_OK;
    } catch (...) {
        return FailedCall();
    }
    STDMETHODIMP Clone(IStream**) override {
        if (HRESULT fault = Enter("Clone")) return fault;
        return E_NOTIMPL;
    }

protected:
    bool Supports(REFIID riid) const override { return riid == IID_IStream; }

private:
    // What a stream on attachment data answers when asked for bytes that
    // were not kept (reading or rewriting what lies before the end of data
    // longer than the client holds): the digest must stay that of the
    // bytes as written in order.
    static constexpr HRESULT kNotHeld = STG_E_INVALIDFUNCTION;

    Prop& Property() {
        Prop* prop = bag_->Find(tag_);
        if (prop == nullptr || PROP_TYPE(prop->tag) != PROP_TYPE(tag_)) {
            bag_->Set(TextProp(tag_, std::string()));
            prop = bag_->Find(tag_);
        }
        return *prop;
    }
    static uint64_t SizeOf(const Prop& prop) {
        return prop.data ? prop.data->Size() : prop.bytes.size();
    }

    PropBagPtr bag_;
    ULONG tag_;
    bool writable_;
    uint64_t position_ = 0;
};

}  // namespace

LPSTREAM NewStream(const PropBagPtr& bag, ULONG tag, bool writable) {
    return Make<Stream>(bag, tag, writable);
}

HRESULT OpenPropertyStream(const PropBagPtr& bag, ULONG tag, LPCIID iid, ULONG flags, bool writable,
                           LPUNKNOWN* object) try {
    if (object == nullptr || iid == nullptr) return MAPI_E_INVALID_PARAMETER;
    if (!(*iid == IID_IStream)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
    const ULONG type = PROP_TYPE(tag);
    if (type != PT_STRING8 && type != PT_BINARY) return MAPI_E_NO_SUPPORT;
    const bool modify = (flags & MAPI_MODIFY) != 0;
    if (modify && !writable) return MAPI_E_NO_ACCESS;
    const Prop* existing = bag->Find(tag);
    const bool present = existing != nullptr && PROP_TYPE(existing->tag) == type;
    if (flags & MAPI_CREATE) {
        if (!modify) return MAPI_E_INVALID_PARAMETER;
        // MAPI_CREATE discards the current value.
        bag->Set(TextProp(tag, std::string()));
    } else if (!present) {
        return MAPI_E_NOT_FOUND;
    }
    *object = NewStream(bag, tag, modify);
    return S_OK;
} catch (...) {
    return FailedCall();
}

}  // namespace mailsim
