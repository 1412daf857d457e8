// File names between the calls and the file system. The file system's names
// are UTF-8; an A call's names are in the ANSI code page and a W call's in
// UTF-16, so that both kinds of call name the same file.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

// The file system's name for a name an A or a W call takes.
std::string NativeName(LPCSTR name);
std::string NativeName(LPCWSTR name);

// A file system name as a W or an A call hands it back; the A form has a
// look-alike or '?' for a character the ANSI code page lacks.
std::wstring WideName(const std::string& native);
std::string AnsiName(const std::string& native);

// Text between a code page and UTF-16; to a code page other than UTF-8
// with best fit, and '?' for what it lacks even so.
std::wstring WideOf(UINT codePage, const std::string& bytes);
std::string BytesOf(UINT codePage, const std::wstring& wide);

// Windows' convention for a name handed back: its length without the
// terminator when it fits in size units, else the size it needs with it.
template <class Char>
DWORD DeliverName(const std::basic_string<Char>& name, Char* buffer, DWORD size) {
    const DWORD length = static_cast<DWORD>(name.size());
    if (buffer == nullptr || size <= length) return length + 1;
    std::memcpy(buffer, name.c_str(), (name.size() + 1) * sizeof(Char));
    return length;
}
