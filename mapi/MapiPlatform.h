// The one header through which Quillora reaches Windows MAPI: the SDK's
// Extended and Simple MAPI declarations, plus the few names that the SDK
// headers shipped with MinGW-w64 lack.
#pragma once

#include <windows.h>
#include <mapix.h>
#include <mapiutil.h>
#include <mapitags.h>
#include <mapidefs.h>
#include <mapicode.h>
#include <mapi.h>

// Property tags missing from the SDK headers (all text is 8-bit).
#define PR_SMTP_ADDRESS PROP_TAG(PT_STRING8, 0x39FE)
#define PR_IPM_DRAFTS_ENTRYID PROP_TAG(PT_BINARY, 0x36D7)
#define PR_MSG_EDITOR_FORMAT PROP_TAG(PT_LONG, 0x5909)
#define PR_ATTACH_CONTENT_ID PROP_TAG(PT_STRING8, 0x3712)
#define PR_ATTACHMENT_CONTACTPHOTO PROP_TAG(PT_BOOLEAN, 0x7FFF)

// Open-entry flag: bypass the store's cache.
#define MAPI_NO_CACHE ((ULONG)0x00000200)

// PR_MSG_EDITOR_FORMAT values.
#define EDITOR_FORMAT_DONTKNOW ((ULONG)0)
#define EDITOR_FORMAT_PLAINTEXT ((ULONG)1)
#define EDITOR_FORMAT_HTML ((ULONG)2)
#define EDITOR_FORMAT_RTF ((ULONG)3)
