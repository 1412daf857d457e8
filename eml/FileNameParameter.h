// The attachment's file name as MIME parameters.
#pragma once

#include <cstddef>

#include "eml/HeaderWriter.h"

// Writes "; parameter=..." for a UTF-8 file name. A name of printable ASCII
// is one quoted-string. Any other name is written per RFC 2231
// (parameter*0*=utf-8''%C3%A4..., in sections that keep lines short), or,
// with plain, as the quoted-string fallback for readers without RFC 2231:
// each character outside printable ASCII replaced by '_'.
bool WriteFileNameParameter(HeaderWriter& header, const char* parameter, const char* utf8,
                            size_t length, bool plain);

// Whether the name needs RFC 2231 to be written exactly.
bool NeedsExtendedParameter(const char* utf8, size_t length);
