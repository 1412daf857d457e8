// The text of a body file in the ANSI code page. A byte order mark names the
// file's encoding (UTF-8, UTF-16 LE or BE); without one, bytes that are valid
// UTF-8 and go beyond ASCII are UTF-8, and anything else is the code page's.
#pragma once

#include <windows.h>

#include <cstddef>

#include "text/Text.h"

// How a body file was read, for the run's report.
struct BodyFileFacts {
    const char* encoding = nullptr;  // "UTF-8", "UTF-16 LE", "ANSI code page" ...; null: refused
    size_t notInCodePage = 0;        // characters that became '?'
    const char* refusal = nullptr;   // why the file was not taken
    const char* call = nullptr;      // the kernel call that refused it ("CreateFileW")
    DWORD error = 0;                 // and its error
    bool ascii = false;              // ASCII only: the same text in the code page and in UTF-8
};

// Replaces body with size bytes of a body file as text of codePage, without
// the byte order mark. A character the code page lacks becomes '?'; exact,
// when given, receives the text whole, in UTF-8, unless facts.ascii says
// that body holds it already. Refuses
// (false, body undefined, facts cleared) a zero character, UTF-16 of odd
// length or with a lone surrogate, UTF-8 after its mark that is not valid
// UTF-8, and a failed conversion: the body would otherwise be cut or altered.
bool DecodeBodyText(const char* bytes, size_t size, Text& body, BodyFileFacts& facts,
                    UINT codePage = CP_ACP, Text* exact = nullptr);
// The same for bytes held in a Text, which becomes body where the text is
// the code page's as it stands: a large file is not copied.
bool DecodeBodyText(Text&& bytes, Text& body, BodyFileFacts& facts, UINT codePage = CP_ACP,
                    Text* exact = nullptr);
