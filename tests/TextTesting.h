// Lets tests compare and print the programs' Text like a std::string.
#pragma once

#include <ostream>
#include <string>

#include "text/Text.h"

inline std::string AsString(const Text& text) {
    return std::string(text.c_str(), text.size());
}
inline bool operator==(const Text& text, const std::string& other) {
    return AsString(text) == other;
}
inline void PrintTo(const Text& text, std::ostream* out) {
    *out << '"' << text.c_str() << '"';
}
