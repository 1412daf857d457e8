// Watches the attachment copy's file reads (the test program is linked with
// --wrap for the stand-in's ReadFile): how often, how much was asked for,
// into which buffers, and a read that is made to fail.
#pragma once

#include <windows.h>

#include <set>

struct ReadFileProbe {
    static void Reset();
    static unsigned calls;
    static DWORD largestRequest;
    static std::set<const void*> buffers;
    static unsigned failCall;  // this call (counted from 1) fails; 0: none
};
