#include "Transcript.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <string>
#include <utility>

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

// An object of scalar members, built without a temporary array or object:
// nlohmann::json allocates to destroy a non-empty one, which must not
// happen in the course of a call when memory has run out.
json Record(std::initializer_list<std::pair<const char*, json>> members) {
    json record = json::object();
    for (const auto& member : members) record[member.first] = member.second;
    return record;
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

// The form or send dialog as a terminal compose window.
std::string Rendered(const std::string& title, const std::string& to, const std::string& cc,
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
    return out;
}

void Draw(const std::string& drawn) {
    if (drawn.empty()) return;
    std::fputs(drawn.c_str(), stdout);
    std::fflush(stdout);
}

}  // namespace

std::string TranscriptText() {
    const World& world = TheWorld();
    const mapi_allocator::Counts counts = mapi_allocator::GetCounts();
    // Written piece by piece, so that no json document is built for it.
    auto member = [](const json& value) {
        const std::string text = value.dump(2);
        std::string indented;
        for (char c : text) {
            indented += c;
            if (c == '\n') indented += "  ";
        }
        return indented;
    };
    return "{\n  \"forms\": " + member(world.forms) + ",\n  \"sends\": " + member(world.sends) +
           ",\n  \"messageBoxes\": " + member(world.messageBoxes) +
           ",\n  \"outstanding\": {\"references\": " + std::to_string(OutstandingReferences()) +
           ", \"buffers\": " + std::to_string(OutstandingBuffers()) +
           "},\n  \"misuse\": {\"overReleases\": " + std::to_string(world.overReleases) +
           ", \"callsAfterRelease\": " + std::to_string(world.callsAfterRelease) +
           ", \"invalidFrees\": " +
           std::to_string(counts.invalidFrees - world.invalidFreeBaseline) + "}\n}\n";
}

json TranscriptJson() {
    return json::parse(TranscriptText());
}

void WriteTranscript() noexcept {
    const char* path = std::getenv("MAPISIM_TRANSCRIPT");
    if (path == nullptr || *path == '\0') return;
    try {
        const std::string text = TranscriptText();
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        if (!file) {
            std::fprintf(stderr, "mailsim: cannot write MAPISIM_TRANSCRIPT %s\n", path);
            return;
        }
        file << text;
    } catch (...) {
        // No memory to write it now: the next event or the unload does.
    }
}

void RecordForm(const MessageModel& message, const std::string& store,
                const std::string& parentFolder, LPCSTR messageClass, ULONG messageStatus,
                ULONG messageFlags, ULONG access, HRESULT result) {
    const PropBag& props = *message.props;
    json recipients = json::array();
    for (const PropBagPtr& r : message.recipients) {
        recipients.push_back(Record({{"type", LongOrNull(*r, PR_RECIPIENT_TYPE)},
                                     {"displayName", TextOrNull(*r, PR_DISPLAY_NAME)},
                                     {"addressType", TextOrNull(*r, PR_ADDRTYPE)},
                                     {"address", TextOrNull(*r, PR_EMAIL_ADDRESS)}}));
    }
    json attachments = json::array();
    for (const auto& attach : message.attachments) {
        const PropBag& a = *attach->props;
        // The data is kept flat (its size and digest), never copied here.
        const Prop* data = a.Find(PR_ATTACH_DATA_BIN);
        const AttachData none;
        const AttachData& bytes = data != nullptr && data->data ? *data->data : none;
        const json photo = BoolOrNull(a, PR_ATTACHMENT_CONTACTPHOTO);
        attachments.push_back(Record({{"method", LongOrNull(a, PR_ATTACH_METHOD)},
                                      {"longFilename", TextOrNull(a, PR_ATTACH_LONG_FILENAME)},
                                      {"filename", TextOrNull(a, PR_ATTACH_FILENAME)},
                                      {"renderingPosition", LongOrNull(a, PR_RENDERING_POSITION)},
                                      {"size", LongOrNull(a, PR_ATTACH_SIZE)},
                                      {"dataSize", bytes.Size()},
                                      {"sha256", bytes.HexDigest()},
                                      {"contentId", TextOrNull(a, PR_ATTACH_CONTENT_ID)},
                                      {"contactPhoto", photo.is_boolean() && photo.get<bool>()}}));
    }
    json form =
        Record({{"store", Utf8FromBytes(store)},
                {"folder", message.folder ? json(Utf8FromBytes(message.folder->name)) : json()},
                {"parentFolder", Utf8FromBytes(parentFolder)},
                {"messageClass", Text(messageClass)},
                {"messageFlags", messageFlags},
                {"messageStatus", messageStatus},
                {"access", access},
                {"subject", TextOrNull(props, PR_SUBJECT)},
                {"body", CTextOrNull(props, PR_BODY)},
                {"editorFormat", LongOrNull(props, PR_MSG_EDITOR_FORMAT)},
                {"importance", LongOrNull(props, PR_IMPORTANCE)},
                {"sentMailEntryId", HexOrNull(props, PR_SENTMAIL_ENTRYID)},
                {"deleteAfterSubmit", BoolOrNull(props, PR_DELETE_AFTER_SUBMIT)},
                {"result", static_cast<LONG>(result)}});
    form["recipients"] = std::move(recipients);
    form["attachments"] = std::move(attachments);
    // Everything that can fail comes before the form is recorded.
    std::string drawn;
    if (!WantsTranscriptFile()) {
        std::vector<std::string> names;
        for (const json& a : form["attachments"]) {
            names.push_back(Line(a["longFilename"]) + " (" + a["dataSize"].dump() + " bytes)");
        }
        const json& recipientsShown = form["recipients"];
        drawn = Rendered("Compose: " + Line(form["folder"]) + " (" + Line(form["store"]) + ")",
                         RecipientLine(recipientsShown, "type", MAPI_TO, "displayName", "address"),
                         RecipientLine(recipientsShown, "type", MAPI_CC, "displayName", "address"),
                         RecipientLine(recipientsShown, "type", MAPI_BCC, "displayName", "address"),
                         Line(form["subject"]), names, Line(form["body"]));
    }
    TheWorld().forms.push_back(std::move(form));
    Draw(drawn);
    WriteTranscript();
}

void RecordSend(LHANDLE session, ULONG_PTR uiParam, const MapiMessage* message, FLAGS flags,
                ULONG result, bool shown) {
    json recipients = json::array();
    json files = json::array();
    json subject = nullptr;
    json noteText = nullptr;
    if (message != nullptr) {
        subject = Text(message->lpszSubject);
        noteText = Text(message->lpszNoteText);
        for (ULONG i = 0; i < message->nRecipCount && message->lpRecips != nullptr; ++i) {
            const MapiRecipDesc& r = message->lpRecips[i];
            recipients.push_back(Record({{"class", r.ulRecipClass},
                                         {"name", Text(r.lpszName)},
                                         {"address", Text(r.lpszAddress)}}));
        }
        for (ULONG i = 0; i < message->nFileCount && message->lpFiles != nullptr; ++i) {
            const MapiFileDesc& f = message->lpFiles[i];
            files.push_back(Record({{"path", Text(f.lpszPathName)},
                                    {"fileName", Text(f.lpszFileName)},
                                    {"position", f.nPosition}}));
        }
    }
    std::string drawn;
    if (shown && !WantsTranscriptFile()) {
        std::vector<std::string> names;
        for (const json& f : files) {
            names.push_back(f["fileName"].is_string() ? Line(f["fileName"]) : Line(f["path"]));
        }
        drawn =
            Rendered("Send mail", RecipientLine(recipients, "class", MAPI_TO, "name", "address"),
                     RecipientLine(recipients, "class", MAPI_CC, "name", "address"),
                     RecipientLine(recipients, "class", MAPI_BCC, "name", "address"), Line(subject),
                     names, Line(noteText));
    }
    json send = Record({{"session", static_cast<unsigned long long>(session)},
                        {"uiParam", static_cast<unsigned long long>(uiParam)},
                        {"flags", flags},
                        {"subject", subject},
                        {"noteText", noteText},
                        {"result", result}});
    send["recipients"] = std::move(recipients);
    send["files"] = std::move(files);
    TheWorld().sends.push_back(std::move(send));
    Draw(drawn);
    WriteTranscript();
}

void RecordMessageBox(LPCSTR caption, LPCSTR text, UINT style) {
    TheWorld().messageBoxes.push_back(
        Record({{"caption", Text(caption)}, {"text", Text(text)}, {"style", style}}));
    WriteTranscript();
}

}  // namespace mailsim
