// Small text operations shared by both compose roads: splitting a recipient
// list, forming an attachment's display name and replacing a pattern in a
// string. None of them touches MAPI.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

enum class RecipientKind : uint32_t { To = 1, Cc = 2, Bcc = 3 };

// Splits a ";"-separated list with the runtime's multibyte-aware tokeniser
// and calls add(token, kind) once per recipient, in list order. Runs of ";"
// never yield an empty token; tokens are passed on untrimmed. A null list
// yields nothing.
void SplitRecipientList(const char* list, RecipientKind kind,
                        const std::function<void(const char*, RecipientKind)>& add);

// Size of the buffer AttachmentDisplayName writes into.
constexpr size_t kDisplayNameSize = 260;

// Writes the file name and extension of path into out (kDisplayNameSize
// bytes) when both are present and fit whole. Returns false only for a null
// path; out is left untouched when no display name is formed.
bool AttachmentDisplayName(const char* path, char* out /* kDisplayNameSize bytes */);

// Replaces every occurrence of pattern in text, left to right, never
// rescanning replaced text. An empty pattern changes nothing.
std::string& ReplaceAll(std::string& text, const std::string& pattern,
                        const std::string& replacement);
