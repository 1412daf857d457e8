// An environment variable set for a scope, as the user's session sets it,
// in UTF-8 on both kinds of build.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "text/WideToUtf8.h"

inline std::wstring Wide(const std::string& utf8) {
    WideText wide;
    EXPECT_TRUE(Utf8ToWide(utf8.data(), utf8.size(), wide));
    return std::wstring(wide.c_str(), wide.size());
}

class TemporaryVariable {
public:
    TemporaryVariable(const char* name, const std::string& value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
#ifdef _WIN32
        _wputenv_s(Wide(name).c_str(), Wide(value).c_str());
#else
        setenv(name, value.c_str(), 1);
#endif
    }
    ~TemporaryVariable() {
#ifdef _WIN32
        _wputenv_s(Wide(name_).c_str(), had_ ? Wide(old_).c_str() : L"");
#else
        if (had_) {
            setenv(name_.c_str(), old_.c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
#endif
    }

private:
    std::string name_, old_;
    bool had_ = false;
};
