// Reading single properties: one GetProps call for one tag whose value array
// is held for the caller, and typed access to the value that never reads a
// member the value's type does not carry.
#pragma once

#include "mapi/MapiGuards.h"
#include "mapi/MapiPlatform.h"

// GetProps(one tag, flags 0) on object. On S_OK value holds the array; on
// any other result (warnings included) value is empty, the array that came
// with a warning already freed. A success without an array counts as
// MAPI_E_CALL_FAILED.
HRESULT GetSingleProp(LPMAPIPROP object, ULONG propTag, MapiBuffer<SPropValue>& value);

// The value's SBinary when the value is typed PT_BINARY, else null.
const SBinary* BinaryValue(const SPropValue* value);
