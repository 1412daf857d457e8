// The attachment's bytes in the draft: read from the open file in large
// chunks and written as base64 lines, so memory stays the same whatever the
// file's size.
#pragma once

#include <windows.h>

#include "eml/DraftOutput.h"
#include "text/RoadFailure.h"

// Bytes read per chunk: whole lines of base64 (57 bytes each), and their
// encoding fits DraftOutput's buffer.
constexpr size_t kAttachmentChunk = 57 * 16384;

// Reads file to its end and writes its base64 lines to out. bytes receives
// how many were read. A failed read is noted in failure.
bool WriteBase64File(DraftOutput& out, HANDLE file, unsigned long long& bytes,
                     RoadFailure* failure);
