// Property values as the simulated client keeps them, and their conversion
// to and from MAPI's SPropValue records.
#pragma once

#include "mailsim/MapiNames.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AttachData.h"

namespace mailsim {

struct Prop {
    ULONG tag = 0;
    long long number = 0;  // PT_I2, PT_LONG, PT_BOOLEAN, PT_ERROR, PT_I8, PT_SYSTIME
    std::string bytes;     // PT_STRING8 (may hold zero bytes), PT_BINARY
    // PR_ATTACH_DATA_BIN is kept flat, whatever its size, instead of in bytes.
    std::shared_ptr<AttachData> data;
};

Prop LongProp(ULONG tag, long long value);
Prop TextProp(ULONG tag, const std::string& bytes);
Prop ErrorProp(ULONG tag, HRESULT error);

// Properties of one object, one value per property identifier.
class PropBag {
public:
    void Set(const Prop& prop);
    void Remove(ULONG tag) { byId_.erase(PROP_ID(tag)); }
    // The value for tag's identifier, whatever its type; null when absent.
    const Prop* Find(ULONG tag) const;
    Prop* Find(ULONG tag);
    std::vector<Prop> All() const;

private:
    std::map<ULONG, Prop> byId_;
};
using PropBagPtr = std::shared_ptr<PropBag>;

// The value to report for a requested tag: the stored one when its type
// fits (PT_UNSPECIFIED takes the stored type), else PT_ERROR
// MAPI_E_NOT_FOUND (a stored PT_ERROR is reported as it is). Attachment
// data longer than the client holds is PT_ERROR MAPI_E_NOT_ENOUGH_MEMORY,
// as stores answer for a value to be read through a stream.
Prop Lookup(const PropBag& bag, ULONG requestedTag);

// Allocates an array of values in one MAPI buffer (strings and binaries in
// buffers chained to it). On failure nothing is left allocated.
HRESULT AllocPropArray(const std::vector<Prop>& props, LPSPropValue* out);
// Fills one value, chaining its strings and binaries to root.
HRESULT FillPropValue(const Prop& prop, LPVOID root, SPropValue& out);
// Reads a caller's value; false for a type the client does not keep or an
// unreadable pointer.
bool PropFromValue(const SPropValue& value, Prop& prop);

// GetProps over a bag, with MAPI's results (MAPI_W_ERRORS_RETURNED when a
// requested property is missing).
HRESULT GetPropsFromBag(const PropBag& bag, LPSPropTagArray tags, ULONG* count,
                        LPSPropValue* values);
// SetProps into a bag (PR_NULL and PT_ERROR values are skipped).
HRESULT SetPropsIntoBag(PropBag& bag, ULONG count, LPSPropValue values,
                        LPSPropProblemArray* problems);

}  // namespace mailsim
