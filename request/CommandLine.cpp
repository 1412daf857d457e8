#include "request/CommandLine.h"

namespace {

enum class Option {
    To,
    Cc,
    Bcc,
    Subject,
    Body,
    Attachment,
    BodyFile,
    Mailto,
    Eml,
    Log,
    Files,
    None
};

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
    {"-files", Option::Files},
};

// The option names are matched on the arguments exactly as typed, in
// UTF-16: never on the ANSI arguments Windows also makes of them. Those are
// converted with look-alikes (best fit), so that a fullwidth hyphen (U+FF0D)
// or a minus sign (U+2212) in front of "attachment" would become '-' there,
// and text the caller never meant as an option, from a document title or an
// address book, would attach a file. Only ASCII letters match regardless of
// case, so no other character folds into a name either.
bool IsNamed(const WCHAR* argument, const char* name) {
    for (;; ++argument, ++name) {
        WCHAR c = *argument;
        if (c >= L'A' && c <= L'Z') c = static_cast<WCHAR>(c - L'A' + L'a');
        if (c != static_cast<WCHAR>(static_cast<unsigned char>(*name))) return false;
        if (c == 0) return true;
    }
}

Option Recognise(const WCHAR* argument) {
    for (const OptionName& candidate : kOptions) {
        if (IsNamed(argument, candidate.name)) return candidate.option;
    }
    return Option::None;
}

}  // namespace

bool operator==(const CommandLine& one, const CommandLine& other) {
    return one.to == other.to && one.cc == other.cc && one.bcc == other.bcc &&
           one.subject == other.subject && one.body == other.body &&
           one.bodyFromFile == other.bodyFromFile && one.attachment == other.attachment &&
           one.log == other.log && one.mailto == other.mailto && one.eml == other.eml &&
           one.files == other.files && one.firstFile == other.firstFile;
}

CommandLine ParseCommandLine(int argc, const WCHAR* const* argv) {
    CommandLine line;
    int index = 1;
    while (index < argc) {
        const Option option = Recognise(argv[index]);
        // Explorer's "Send to" appends the selected files' paths, one an
        // argument: none of them, whatever its name, may be read as an option.
        if (option == Option::Files) {
            line.files = true;
            line.firstFile = index + 1;
            break;
        }
        // The options without a value.
        if (option == Option::Mailto || option == Option::Eml) {
            (option == Option::Mailto ? line.mailto : line.eml) = true;
            ++index;
            continue;
        }
        // An option takes a value only when one follows it; otherwise (and
        // for an unknown argument) scanning resumes at the next argument.
        if (option == Option::None || index + 1 > argc - 1) {
            ++index;
            continue;
        }
        const int value = index + 1;
        switch (option) {
            case Option::To:
                line.to = value;
                break;
            case Option::Cc:
                line.cc = value;
                break;
            case Option::Bcc:
                line.bcc = value;
                break;
            case Option::Subject:
                line.subject = value;
                break;
            case Option::Body:
            case Option::BodyFile:
                // One body: the later of -body and -bodyfile wins.
                line.body = value;
                line.bodyFromFile = option == Option::BodyFile;
                break;
            case Option::Attachment:
                line.attachment = value;
                break;
            case Option::Log:
                line.log = value;
                break;
            case Option::Mailto:
            case Option::Eml:
            case Option::Files:
            case Option::None:
                break;
        }
        index += 2;
    }
    return line;
}
