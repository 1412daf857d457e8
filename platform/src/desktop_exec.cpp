#include "desktop_exec.h"

namespace {

// The value of a desktop entry's string key with its escapes resolved.
std::string Unescaped(const std::string& value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '\\':
                out += '\\';
                break;
            default:  // not a string escape: left for the quoting rules
                out += '\\';
                out += value[i];
        }
    }
    return out;
}

struct Word {
    std::string text;
    bool quoted;
};

bool SplitWords(const std::string& line, std::vector<Word>& words) {
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        Word word{std::string(), false};
        while (i < line.size() && line[i] != ' ') {
            if (line[i] != '"') {
                word.text += line[i++];
                continue;
            }
            word.quoted = true;
            for (++i;; ++i) {
                if (i == line.size()) return false;
                if (line[i] == '"') break;
                if (line[i] == '\\' && i + 1 < line.size()) ++i;
                word.text += line[i];
            }
            ++i;
        }
        words.push_back(word);
    }
    return true;
}

}  // namespace

bool DesktopExecArguments(const std::string& exec, const std::string& target,
                          std::vector<std::string>& arguments) {
    std::vector<Word> words;
    if (!SplitWords(Unescaped(exec), words)) return false;
    arguments.clear();
    bool placed = false;
    for (const Word& word : words) {
        std::string argument;
        bool hadFieldCode = false;
        for (size_t i = 0; i < word.text.size(); ++i) {
            if (word.text[i] != '%' || i + 1 == word.text.size()) {
                argument += word.text[i];
                continue;
            }
            const char code = word.text[++i];
            if (code == '%') {
                argument += '%';
                continue;
            }
            hadFieldCode = true;
            if ((code == 'u' || code == 'U' || code == 'f' || code == 'F') && !placed) {
                argument += target;
                placed = true;
            }
        }
        // A field code that expanded to nothing takes its argument with it.
        if (hadFieldCode && argument.empty() && !word.quoted) continue;
        arguments.push_back(argument);
    }
    if (!placed) arguments.push_back(target);
    return arguments.size() > 1 && !arguments[0].empty();
}
