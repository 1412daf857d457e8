// The program's command line as Windows keeps it, in UTF-16: the text as it
// was typed, before the ANSI code page had its say. It is the program's only
// reading of its arguments: the ANSI arguments Windows makes of it are never
// read (their look-alikes could turn a value into an option).
#pragma once

#include <windows.h>

#include <cstddef>

// Splits line into arguments by the rules the C runtime splits a command
// line into argv with: the program name runs to the first blank outside
// quotes, its quotes only grouping; each further argument runs to the next
// blank outside quotes, where 2n backslashes before a quote give n and the
// quote opens or closes a quoted part, 2n+1 give n and a literal quote, ""
// inside a quoted part is one literal quote, and any other backslash is
// itself. Writes the arguments, each ending in a zero, to out (room for the
// line's length + 1 units) and their starts to args (room for
// SplitArgumentsMost(length)); returns their count.
int SplitCommandLine(const WCHAR* line, WCHAR* out, const WCHAR** args);
inline size_t SplitArgumentsMost(size_t length) {
    return length / 2 + 2;
}

// GetCommandLineW's text split into arguments.
class WideCommandLine {
public:
    WideCommandLine() = default;
    ~WideCommandLine();
    WideCommandLine(const WideCommandLine&) = delete;
    WideCommandLine& operator=(const WideCommandLine&) = delete;

    // false when there is no command line or memory runs out.
    bool Read() { return Split(GetCommandLineW()); }
    bool Split(const WCHAR* line);

    int Count() const { return count_; }
    const WCHAR* const* Arguments() const { return arguments_; }

private:
    void Release();

    int count_ = 0;
    WCHAR* chars_ = nullptr;
    const WCHAR** arguments_ = nullptr;
};
