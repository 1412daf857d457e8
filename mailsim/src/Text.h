// Byte-exact text handling for the profile and the transcript, and hex.
#pragma once

#include <string>

namespace mailsim {

// Transcript strings: each byte becomes the code point of the same value
// (U+0000..U+00FF), written as UTF-8, so that no byte is lost.
std::string Utf8FromBytes(const std::string& bytes);
// The reverse for profile strings: code points up to U+00FF become one
// byte; any other character keeps its UTF-8 bytes.
std::string BytesFromUtf8(const std::string& utf8);

std::string HexFromBytes(const std::string& bytes);
// False unless text is an even number of hex digits.
bool BytesFromHex(const std::string& text, std::string& bytes);

}  // namespace mailsim
