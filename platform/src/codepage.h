// The code pages behind MultiByteToWideChar and WideCharToMultiByte: UTF-8,
// and the ANSI code pages of one or two bytes a character (1252, 932).
#pragma once

#include <windows.h>

#include <string>

// Decodes UTF-8 as Windows does; false, when strict, at an invalid sequence.
bool Utf16OfUtf8(const unsigned char* text, int count, bool strict, std::wstring& out);
// The UTF-8 of count UTF-16 units, a lone surrogate as U+FFFD.
std::string Utf8OfUtf16(LPCWSTR text, int count);

class ByteCodePage {
public:
    // Whether byte starts a two-byte character.
    virtual bool IsLeadByte(unsigned char byte) const = 0;
    // The unit of one byte (trail < 0) or of a lead and a trail byte; valid
    // is false where the code page assigns nothing (the unit is then the
    // code page's default).
    virtual WCHAR Decode(unsigned char lead, int trail, bool& valid) const = 0;
    // Writes the one or two bytes of unit and returns how many; 0 when the
    // code page lacks it.
    virtual int Encode(WCHAR unit, unsigned char bytes[2]) const = 0;
    // The same for a look-alike of a unit the code page lacks.
    virtual int BestFit(WCHAR unit, unsigned char bytes[2]) const = 0;

protected:
    ~ByteCodePage() = default;
};

// Windows-1252 and 932 (null when the system cannot supply 932's tables).
const ByteCodePage& CodePage1252();
const ByteCodePage* CodePage932();

// Whether byte starts a two-byte character in the ANSI code page.
bool IsAnsiLeadByte(unsigned char byte);
