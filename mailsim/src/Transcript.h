// What the client records for the transcript, the transcript file, and the
// readable rendering of forms and send dialogs on standard output.
#pragma once

#include "mailsim/MapiNames.h"

#include <nlohmann/json.hpp>

#include "Model.h"

namespace mailsim {

// The transcript as of now, as JSON text and as a document.
std::string TranscriptText();
nlohmann::json TranscriptJson();
// Rewrites MAPISIM_TRANSCRIPT, when set (not when memory runs out).
void WriteTranscript() noexcept;

// A form shown for a message: records it, renders it when no transcript
// file is asked for, and rewrites the transcript. When these throw, nothing
// was recorded.
void RecordForm(const MessageModel& message, const std::string& store,
                const std::string& parentFolder, LPCSTR messageClass, ULONG messageStatus,
                ULONG messageFlags, ULONG access, HRESULT result);
// A MAPISendMail call: records it and, when the dialog was shown and no
// transcript file is asked for, renders it.
void RecordSend(LHANDLE session, ULONG_PTR uiParam, const MapiMessage* message, FLAGS flags,
                ULONG result, bool shown);
void RecordMessageBox(LPCSTR caption, LPCSTR text, UINT style);

}  // namespace mailsim
