#include "mapi/MapiItem.h"

#include <cstring>

#include "mapi/MapiGuards.h"
#include "mapi/MapiSession.h"
#include "mapi/PropValues.h"
#include "mapi/ReadableString.h"

namespace {
// Stream reads go through one fixed buffer of this size (plus a zero byte).
constexpr ULONG kStreamChunk = 16384;
}  // namespace

MapiItem::MapiItem() {
    SetEntryId(nullptr);
}

void MapiItem::SetEntryId(const SBinary* source) {
    entryId.Assign(source);
}

int MapiItem::Open(MapiSession* newSession, SBinary id) {
    Close();
    session = newSession;
    if (!session || !session->session) return 0;

    ULONG objectType = 0;
    InterfaceHolder<IUnknown> opened;
    HRESULT hr = session->session->OpenEntry(id.cb, reinterpret_cast<LPENTRYID>(id.lpb), nullptr,
                                             MAPI_BEST_ACCESS, &objectType, opened.Out());
    if (hr != S_OK || !opened) return 0;
    object = static_cast<LPMAPIPROP>(opened.Detach());
    SetEntryId(&id);
    return 1;
}

void MapiItem::Close() {
    SetEntryId(nullptr);
    ReleaseField(object);
    session = nullptr;
}

int MapiItem::Save(int closeAfter) {
    if (!object) return 0;
    if (object->SaveChanges(closeAfter ? 0 : KEEP_OPEN_READWRITE) != S_OK) return 0;
    if (closeAfter) Close();
    return 1;
}

HRESULT MapiItem::GetProp(ULONG propTag, LPSPropValue* out) {
    if (!object) return E_INVALIDARG;
    MapiBuffer<SPropValue> value;
    HRESULT hr = GetSingleProp(object, propTag, value);
    *out = value.Detach();
    return hr;
}

ULONG MapiItem::GetLongProp(ULONG propTag, ULONG defaultValue) {
    LPSPropValue value = nullptr;
    if (GetProp(propTag, &value) != S_OK) return defaultValue;
    MapiBuffer<SPropValue> held(value);
    if (PROP_TYPE(value->ulPropTag) != PT_LONG) return defaultValue;
    return static_cast<ULONG>(value->Value.l);
}

ULONG MapiItem::GetMessageFlags() {
    return GetLongProp(PR_MESSAGE_FLAGS, 0);
}

int MapiItem::GetStringProp(ULONG propTag, Text& out, int useStream) {
    out.clear();
    if (!useStream) {
        LPSPropValue value = nullptr;
        if (GetProp(propTag, &value) != S_OK) return 0;
        MapiBuffer<SPropValue> held(value);
        if (LPCSTR text = ReadablePropString(value)) out = text;
        return 1;
    }

    if (!object) return 0;
    InterfaceHolder<IStream> stream;
    if (object->OpenProperty(propTag, &IID_IStream, 0, 0, stream.OutUnknown()) != S_OK || !stream)
        return 0;
    char buffer[kStreamChunk + 1];
    for (;;) {
        ULONG read = 0;
        // A failed read ends the loop; what was read so far is not a
        // complete value, so the read as a whole fails.
        if (FAILED(stream->Read(buffer, kStreamChunk, &read))) {
            out.clear();
            return 0;
        }
        if (read > kStreamChunk) read = kStreamChunk;
        buffer[read] = '\0';
        // Up to the chunk's first zero byte; a value that cannot be held
        // whole is not read at all.
        if (!out.append(buffer, std::strlen(buffer))) {
            out.clear();
            return 0;
        }
        if (read < kStreamChunk) break;
    }
    return 1;
}

int MapiItem::SetStringProp(ULONG propTag, LPCSTR value, int useStream) {
    if (!object || !value) return 0;
    if (!useStream) {
        SPropValue prop;
        std::memset(&prop, 0, sizeof prop);
        prop.ulPropTag = propTag;
        prop.Value.lpszA = const_cast<LPSTR>(value);
        return object->SetProps(1, &prop, nullptr) == S_OK ? 1 : 0;
    }

    InterfaceHolder<IStream> stream;
    if (object->OpenProperty(propTag, &IID_IStream, 0, MAPI_CREATE | MAPI_MODIFY,
                             stream.OutUnknown()) != S_OK ||
        !stream)
        return 0;
    // The text goes out with its terminating zero byte. A failed write
    // means the property does not hold the text, so it is reported.
    const ULONG length = static_cast<ULONG>(std::strlen(value)) + 1;
    return stream->Write(value, length, nullptr) == S_OK ? 1 : 0;
}
