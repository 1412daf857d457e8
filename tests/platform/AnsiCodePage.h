// A test fixture whose tests may set the stand-in's ANSI code page: it is
// Windows-1252 again when each test ends.
#pragma once

#include <gtest/gtest.h>

#include "platform_process_testing.h"

class AnsiCodePageTest : public ::testing::Test {
protected:
    void TearDown() override { PlatformSetAnsiCodePage(1252); }
};
