#include "mapi/ReadableString.h"

LPCSTR ReadableString(LPCSTR text) {
    if (!text) return nullptr;
    if (IsBadStringPtrA(text, 0xFFFFFFFF)) return nullptr;
    return text;
}

LPCSTR ReadablePropString(const SPropValue* value) {
    // An error value carries a code where the pointer would be, so only a
    // value that is typed as 8-bit text is looked at.
    if (!value || PROP_TYPE(value->ulPropTag) != PT_STRING8) return nullptr;
    return ReadableString(value->Value.lpszA);
}
