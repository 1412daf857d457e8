// The MAPI names the simulated client works with: the platform's SDK
// headers, plus the property tags and flags that those headers lack,
// written here from MAPI's published values. The client keeps its own
// definitions so that it can disagree with a program that gets one wrong.
#pragma once

#include <windows.h>
#include <mapix.h>
#include <mapiutil.h>
#include <mapitags.h>
#include <mapidefs.h>
#include <mapicode.h>
#include <mapi.h>

// Address book: the entry's SMTP address (PidTagSmtpAddress).
#define PR_SMTP_ADDRESS PROP_TAG(PT_STRING8, 0x39FE)
// Receive folder and root folder: the Drafts folder (PidTagIpmDraftsEntryId).
#define PR_IPM_DRAFTS_ENTRYID PROP_TAG(PT_BINARY, 0x36D7)
// Message: the format the compose form edits the body in
// (PidTagMessageEditorFormat), with its values.
#define PR_MSG_EDITOR_FORMAT PROP_TAG(PT_LONG, 0x5909)
#define EDITOR_FORMAT_DONTKNOW ((ULONG)0)
#define EDITOR_FORMAT_PLAINTEXT ((ULONG)1)
#define EDITOR_FORMAT_HTML ((ULONG)2)
#define EDITOR_FORMAT_RTF ((ULONG)3)
// Attachment: content identifier (PidTagAttachContentId) and contact
// photo marker (PidTagAttachmentContactPhoto).
#define PR_ATTACH_CONTENT_ID PROP_TAG(PT_STRING8, 0x3712)
#define PR_ATTACHMENT_CONTACTPHOTO PROP_TAG(PT_BOOLEAN, 0x7FFF)

// OpenEntry flags beyond MAPI_MODIFY, MAPI_DEFERRED_ERRORS and
// MAPI_BEST_ACCESS: show soft-deleted items, bypass the store's cache, use
// only the cache.
#define SHOW_SOFT_DELETES ((ULONG)0x00000002)
#define MAPI_NO_CACHE ((ULONG)0x00000200)
#define MAPI_CACHE_ONLY ((ULONG)0x00004000)
// OpenMsgStore: open the store online rather than from its cache.
#define MDB_ONLINE ((ULONG)0x00000100)
