#include "mapi/PropValues.h"

HRESULT GetSingleProp(LPMAPIPROP object, ULONG propTag, MapiBuffer<SPropValue>& value) {
    SPropTagArray tags = {1, {propTag}};
    ULONG count = 0;
    HRESULT hr = object->GetProps(&tags, 0, &count, value.Out());
    if (hr == S_OK && (!value || count < 1)) hr = MAPI_E_CALL_FAILED;
    if (hr != S_OK) value.Reset();
    return hr;
}

const SBinary* BinaryValue(const SPropValue* value) {
    if (!value || PROP_TYPE(value->ulPropTag) != PT_BINARY) return nullptr;
    return &value->Value.bin;
}
