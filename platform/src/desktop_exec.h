// The argument vector of a freedesktop.org desktop entry's Exec line for one
// URL or file.
#pragma once

#include <string>
#include <vector>

// Splits exec (as written in the entry) by the desktop-entry rules: the
// string escapes (\s \n \t \r \\) first, then arguments separated by spaces,
// double quotes grouping, and a backslash inside quotes taking the next
// character literally. The first %u, %U, %f or %F gives target as one
// argument (or in its place inside one); without any, target is appended.
// %% is a percent sign; other field codes expand to nothing, and an argument
// left empty by that is dropped. false for an unclosed quote or no program.
bool DesktopExecArguments(const std::string& exec, const std::string& target,
                          std::vector<std::string>& arguments);
