#include "Transcript.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "Text.h"
#include "World.h"
#include "MapiAllocator.h"

namespace mailsim {
namespace {

using nlohmann::json;

json TextOrNull(const PropBag& bag, ULONG tag) {
    const Prop* prop = bag.Find(tag);
    if (prop == nullptr || PROP_TYPE(prop->tag) != PROP_TYPE(tag)) return nullptr;
    return Utf8FromBytes(prop->bytes);
}

// A string property up to its first zero byte, as a reader of lpszA sees it.
json CTextOrNull(const PropBag& bag, ULONG tag) {
    const Prop* prop = bag.Find(tag);
    if (prop == nullptr || PROP_TYPE(prop->tag) != PROP_TYPE(tag)) return nullptr;
    return Utf8FromBytes(prop->bytes.substr(0, prop->bytes.find('\0')));
}

json LongOrNull(const PropBag& bag, ULONG tag) {
    const Prop* prop = bag.Find(tag);
    if (prop == nullptr || PROP_TYPE(prop->tag) != PROP_TYPE(tag)) return nullptr;
    return static_cast<LONG>(prop->number);
}

json BoolOrNull(const PropBag& bag, ULONG tag) {
    const Prop* prop = bag.Find(tag);
    if (prop == nullptr || PROP_TYPE(prop->tag) != PT_BOOLEAN) return nullptr;
    return prop->number != 0;
}

json HexOrNull(const PropBag& bag, ULONG tag) {
    const Prop* prop = bag.Find(tag);
    if (prop == nullptr || PROP_TYPE(prop->tag) != PT_BINARY) return nullptr;
    return HexFromBytes(prop->bytes);
}

json Text(LPCSTR text) {
    if (text == nullptr) return nullptr;
    return Utf8FromBytes(text);
}

bool WantsTranscriptFile() {
    const char* path = std::getenv("MAPISIM_TRANSCRIPT");
    return path != nullptr && *path != '\0';
}

std::string Line(const json& value) {
    return value.is_string() ? value.get<std::string>() : std::string();
}

// "Name <address>; ..." for the recipients of one kind.
std::string RecipientLine(const json& recipients, const char* kindKey, int kind,
                          const char* nameKey, const char* addressKey) {
    std::string line;
    for (const json& r : recipients) {
        if (r[kindKey] != kind) continue;
        if (!line.empty()) line += "; ";
        line += Line(r[nameKey]);
        if (r[addressKey].is_string() && Line(r[addressKey]) != Line(r[nameKey])) {
            line += " <" + Line(r[addressKey]) + ">";
        }
    }
    return line;
}

void Render(const std::string& title, const std::string& to, const std::string& cc,
            const std::string& bcc, const std::string& subject,
            const std::vector<std::string>& attachments, const std::string& body) {
    const std::string rule(60, '-');
    std::string out =
        "+-- " + title + " " + rule.substr(0, title.size() < 55 ? 55 - title.size() : 0) + "\n";
    out += "| To:      " + to + "\n";
    out += "| Cc:      " + cc + "\n";
    out += "| Bcc:     " + bcc + "\n";
    out += "| Subject: " + subject + "\n";
    for (const std::string& attachment : attachments) out += "| Attach:  " + attachment + "\n";
    out += "+" + rule + "\n";
    size_t start = 0;
    while (start <= body.size()) {
        const size_t end = body.find('\n', start);
        std::string line =
            body.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out += "| " + line + "\n";
        if (end == std::string::npos) break;
        start = end + 1;
    }
    out += "+" + rule + "\n";
    std::fputs(out.c_str(), stdout);
    std::fflush(stdout);
}

}  // namespace

json TranscriptJson() {
    const World& world = TheWorld();
    const mapi_allocator::Counts counts = mapi_allocator::GetCounts();
    json transcript;
    transcript["forms"] = world.forms;
    transcript["sends"] = world.sends;
    transcript["messageBoxes"] = world.messageBoxes;
    transcript["outstanding"] = {{"references", OutstandingReferences()},
                                 {"buffers", OutstandingBuffers()}};
    transcript["misuse"] = {{"overReleases", world.overReleases},
                            {"callsAfterRelease", world.callsAfterRelease},
                            {"invalidFrees", counts.invalidFrees - world.invalidFreeBaseline}};
    return transcript;
}

void WriteTranscript() {
    const char* path = std::getenv("MAPISIM_TRANSCRIPT");
    if (path == nullptr || *path == '\0') return;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        std::fprintf(stderr, "mailsim: cannot write MAPISIM_TRANSCRIPT %s\n", path);
        return;
    }
    file << TranscriptJson().dump(2) << "\n";
}

void RecordForm(const MessageModel& message, const std::string& store,
                const std::string& parentFolder, LPCSTR messageClass, ULONG messageStatus,
                ULONG messageFlags, ULONG access, HRESULT result) {
    const PropBag& props = *message.props;
    json recipients = json::array();
    for (const PropBagPtr& r : message.recipients) {
        recipients.push_back({{"type", LongOrNull(*r, PR_RECIPIENT_TYPE)},
                              {"displayName", TextOrNull(*r, PR_DISPLAY_NAME)},
                              {"addressType", TextOrNull(*r, PR_ADDRTYPE)},
                              {"address", TextOrNull(*r, PR_EMAIL_ADDRESS)}});
    }
    json attachments = json::array();
    for (const auto& attach : message.attachments) {
        const PropBag& a = *attach->props;
        const Prop* data = a.Find(PR_ATTACH_DATA_BIN);
        const std::string bytes =
            data != nullptr && PROP_TYPE(data->tag) == PT_BINARY ? data->bytes : std::string();
        const json photo = BoolOrNull(a, PR_ATTACHMENT_CONTACTPHOTO);
        attachments.push_back({{"method", LongOrNull(a, PR_ATTACH_METHOD)},
                               {"longFilename", TextOrNull(a, PR_ATTACH_LONG_FILENAME)},
                               {"filename", TextOrNull(a, PR_ATTACH_FILENAME)},
                               {"renderingPosition", LongOrNull(a, PR_RENDERING_POSITION)},
                               {"size", LongOrNull(a, PR_ATTACH_SIZE)},
                               {"dataSize", bytes.size()},
                               {"sha256", Sha256Hex(bytes)},
                               {"contentId", TextOrNull(a, PR_ATTACH_CONTENT_ID)},
                               {"contactPhoto", photo.is_boolean() && photo.get<bool>()}});
    }
    json form = {{"store", Utf8FromBytes(store)},
                 {"folder", message.folder ? json(Utf8FromBytes(message.folder->name)) : json()},
                 {"parentFolder", Utf8FromBytes(parentFolder)},
                 {"messageClass", Text(messageClass)},
                 {"messageFlags", messageFlags},
                 {"messageStatus", messageStatus},
                 {"access", access},
                 {"recipients", recipients},
                 {"subject", TextOrNull(props, PR_SUBJECT)},
                 {"body", CTextOrNull(props, PR_BODY)},
                 {"editorFormat", LongOrNull(props, PR_MSG_EDITOR_FORMAT)},
                 {"importance", LongOrNull(props, PR_IMPORTANCE)},
                 {"sentMailEntryId", HexOrNull(props, PR_SENTMAIL_ENTRYID)},
                 {"deleteAfterSubmit", BoolOrNull(props, PR_DELETE_AFTER_SUBMIT)},
                 {"attachments", attachments},
                 {"result", static_cast<LONG>(result)}};
    TheWorld().forms.push_back(form);
    if (!WantsTranscriptFile()) {
        std::vector<std::string> names;
        for (const json& a : attachments) {
            names.push_back(Line(a["longFilename"]) + " (" + a["dataSize"].dump() + " bytes)");
        }
        Render("Compose: " + Line(form["folder"]) + " (" + Line(form["store"]) + ")",
               RecipientLine(recipients, "type", MAPI_TO, "displayName", "address"),
               RecipientLine(recipients, "type", MAPI_CC, "displayName", "address"),
               RecipientLine(recipients, "type", MAPI_BCC, "displayName", "address"),
               Line(form["subject"]), names, Line(form["body"]));
    }
    WriteTranscript();
}

void RecordSend(LHANDLE session, ULONG_PTR uiParam, const MapiMessage* message, FLAGS flags,
                ULONG result) {
    json recipients = json::array();
    json files = json::array();
    json subject = nullptr;
    json noteText = nullptr;
    if (message != nullptr) {
        subject = Text(message->lpszSubject);
        noteText = Text(message->lpszNoteText);
        for (ULONG i = 0; i < message->nRecipCount && message->lpRecips != nullptr; ++i) {
            const MapiRecipDesc& r = message->lpRecips[i];
            recipients.push_back({{"class", r.ulRecipClass},
                                  {"name", Text(r.lpszName)},
                                  {"address", Text(r.lpszAddress)}});
        }
        for (ULONG i = 0; i < message->nFileCount && message->lpFiles != nullptr; ++i) {
            const MapiFileDesc& f = message->lpFiles[i];
            files.push_back({{"path", Text(f.lpszPathName)},
                             {"fileName", Text(f.lpszFileName)},
                             {"position", f.nPosition}});
        }
    }
    json send = {{"session", static_cast<unsigned long long>(session)},
                 {"uiParam", static_cast<unsigned long long>(uiParam)},
                 {"flags", flags},
                 {"recipients", recipients},
                 {"subject", subject},
                 {"noteText", noteText},
                 {"files", files},
                 {"result", result}};
    TheWorld().sends.push_back(send);
    if (!WantsTranscriptFile()) {
        std::vector<std::string> names;
        for (const json& f : files) {
            names.push_back(f["fileName"].is_string() ? Line(f["fileName"]) : Line(f["path"]));
        }
        Render("Send mail", RecipientLine(recipients, "class", MAPI_TO, "name", "address"),
               RecipientLine(recipients, "class", MAPI_CC, "name", "address"),
               RecipientLine(recipients, "class", MAPI_BCC, "name", "address"), Line(subject),
               names, Line(noteText));
    }
    WriteTranscript();
}

void RecordMessageBox(LPCSTR caption, LPCSTR text, UINT style) {
    TheWorld().messageBoxes.push_back(
        {{"caption", Text(caption)}, {"text", Text(text)}, {"style", style}});
    WriteTranscript();
}

}  // namespace mailsim
