// Makes one of the attachment copy's file reads fail (the test program is
// linked with --wrap for the stand-in's ReadFile).
#pragma once

#include <windows.h>

struct ReadFileProbe {
    static void Reset();
    static unsigned calls;
    static unsigned failCall;  // this call (counted from 1) fails; 0: none
};
