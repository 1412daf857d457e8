#include "front/CommandLine.h"

#include <mbstring.h>

#include "text/TextHelpers.h"

namespace {

enum class Option { To, Cc, Bcc, Subject, Body, Attachment, BodyFile, Mailto, Eml, Log, None };

struct OptionName {
    const char* name;
    Option option;
};

// Tried in this order; the first match decides.
constexpr OptionName kOptions[] = {
    {"-to", Option::To},
    {"-cc", Option::Cc},
    {"-bcc", Option::Bcc},
    {"-subject", Option::Subject},
    {"-body", Option::Body},
    {"-attachment", Option::Attachment},
    {"-bodyfile", Option::BodyFile},
    {"-mailto", Option::Mailto},
    {"-eml", Option::Eml},
    {"-log", Option::Log},
};

// Compares with the runtime's multibyte-aware, case-insensitive comparison.
Option Recognise(const char* argument) {
    for (const OptionName& candidate : kOptions) {
        if (_mbsicmp(reinterpret_cast<const unsigned char*>(argument),
                     reinterpret_cast<const unsigned char*>(candidate.name)) == 0) {
            return candidate.option;
        }
    }
    return Option::None;
}

}  // namespace

ComposeRequest ParseCommandLine(int argc, char** argv, Text& body) {
    ComposeRequest request;
    int index = 1;
    while (index < argc) {
        const Option option = Recognise(argv[index]);
        // The options without a value.
        if (option == Option::Mailto || option == Option::Eml) {
            (option == Option::Mailto ? request.mailto : request.eml) = true;
            ++index;
            continue;
        }
        // An option takes a value only when one follows it; otherwise (and
        // for an unknown argument) scanning resumes at the next argument.
        if (option == Option::None || index + 1 > argc - 1) {
            ++index;
            continue;
        }
        const char* value = argv[index + 1];
        switch (option) {
            case Option::To:
                request.to = value;
                break;
            case Option::Cc:
                request.cc = value;
                break;
            case Option::Bcc:
                request.bcc = value;
                break;
            case Option::Subject:
                request.subject = value;
                break;
            case Option::Body:
                // Replaces any earlier body; without memory for the copy the
                // body is empty rather than an earlier one.
                if (!body.assign(value)) body.clear();
                ReplaceAll(body, "\\n", "\n");
                request.body = body.c_str();
                request.bodyFile = nullptr;
                break;
            case Option::BodyFile:
                // Read later, and only if no -body follows.
                request.body = nullptr;
                request.bodyFile = value;
                break;
            case Option::Attachment:
                request.attachment = value;
                break;
            case Option::Log:
                request.logPath = value;
                break;
            case Option::Mailto:
            case Option::Eml:
            case Option::None:
                break;
        }
        index += 2;
    }
    return request;
}
