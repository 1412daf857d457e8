// main() for GUI-subsystem programs on the platform stand-in: calls the
// program's WinMain the way the Windows runtime does, with the command line
// after the program name, and returns its result as the exit status.
#include <windows.h>

#include <string>

namespace {

// The show state Windows passes when the starter asked for nothing special.
const int kShowDefault = 10;  // SW_SHOWDEFAULT

HINSTANCE__ processInstance;

// Arguments are joined with spaces; one that is empty or holds a space or a
// tab is quoted so the text still splits into the same words.
std::string CommandTail(int argc, char** argv) {
    std::string tail;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) tail += ' ';
        std::string word = argv[i];
        if (word.empty() || word.find_first_of(" \t") != std::string::npos) {
            tail += '"' + word + '"';
        } else {
            tail += word;
        }
    }
    return tail;
}

}  // namespace

int main(int argc, char** argv) {
    std::string tail = CommandTail(argc, argv);
    return WinMain(&processInstance, nullptr, &tail[0], kShowDefault);
}
