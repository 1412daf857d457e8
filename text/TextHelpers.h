// Small text operations every road shares: splitting a recipient list,
// forming an attachment's display name or its own file name, and replacing
// a pattern in a string. None of them calls MAPI.
#pragma once

#include <windows.h>

#include <cstddef>

#include "text/RecipientKind.h"
#include "text/Text.h"

// Whether byte opens a two-byte character of codePage: CP_ACP as the
// runtime reads it, or CP_UTF8, where no byte of a character beyond ASCII is
// an ASCII character, so text is scanned byte by byte.
bool IsLeadByte(unsigned char byte, UINT codePage);

// Splits a ";"-separated list and calls add(token, kind) once per recipient,
// in list order: text of the ANSI code page with the runtime's
// multibyte-aware tokeniser, UTF-8 text (CP_UTF8) by its bytes. Runs of ";"
// never yield an empty token; tokens are passed on untrimmed. A null list
// yields nothing. context is passed to add unchanged.
using AddRecipientCallback = void (*)(const char* name, RecipientKind kind, void* context);
void SplitRecipientList(const char* list, RecipientKind kind, AddRecipientCallback add,
                        void* context, UINT codePage = CP_ACP);

// The same with any callable add(name, kind), such as a lambda.
template <typename Add>
void SplitRecipientList(const char* list, RecipientKind kind, Add add, UINT codePage = CP_ACP) {
    SplitRecipientList(
        list, kind,
        [](const char* name, RecipientKind recipientKind, void* context) {
            (*static_cast<Add*>(context))(name, recipientKind);
        },
        &add, codePage);
}

// Size of the buffer AttachmentDisplayName writes into.
constexpr size_t kDisplayNameSize = 260;

// Writes the file name and extension of path into out (kDisplayNameSize
// bytes) when both are present and fit whole. Returns false only for a null
// path; out is left untouched when no display name is formed.
bool AttachmentDisplayName(const char* path, char* out /* kDisplayNameSize bytes */);

// The name an attachment is known by when no display name is formed: the
// file name and extension of path as SplitPathParts gives them, so a drive
// prefix or directory is never part of it and a double-byte character is
// never split. Empty when path ends in a separator or is only a drive.
// false for a null path or a failed allocation (name then left undefined).
bool AttachmentFileName(const char* path, Text& name);

// Appends number in decimal, with leading zeros up to minDigits digits.
// false (text unchanged) when memory runs out.
bool AppendDecimal(Text& text, unsigned long long number, size_t minDigits = 1);

// Replaces every occurrence of pattern in text, left to right, never
// rescanning replaced text. Matches start only on whole characters of
// codePage, never on the trail byte of a double-byte character. An empty
// pattern changes nothing, and so does a failed allocation.
Text& ReplaceAll(Text& text, const char* pattern, const char* replacement, UINT codePage = CP_ACP);
