// The kinds of recipient, and MAPI's number for each: Simple MAPI's
// recipient class and Extended MAPI's PR_RECIPIENT_TYPE use the same
// MAPI_TO, MAPI_CC and MAPI_BCC, so both MAPI roads take it from here.
#pragma once

#include <windows.h>
#include <mapi.h>

#include <cstdint>

enum class RecipientKind : uint32_t { To = 1, Cc = 2, Bcc = 3 };

constexpr ULONG MapiRecipientType(RecipientKind kind) {
    switch (kind) {
        case RecipientKind::To:
            return MAPI_TO;
        case RecipientKind::Cc:
            return MAPI_CC;
        case RecipientKind::Bcc:
            return MAPI_BCC;
    }
    return MAPI_TO;
}
static_assert(MapiRecipientType(RecipientKind::To) == 1 &&
                  MapiRecipientType(RecipientKind::Cc) == 2 &&
                  MapiRecipientType(RecipientKind::Bcc) == 3,
              "MAPI's recipient types are To 1, Cc 2, Bcc 3");
