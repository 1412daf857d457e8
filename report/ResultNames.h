// The names of the results a road's failing call may return, for the run's
// report.
#pragma once

#include <cstdint>

#include "text/RoadFailure.h"

// The platform's name for code as a result of that kind ("MAPI_E_LOGON_FAILED",
// "SE_ERR_NOASSOC"), or null when the code has none known here.
const char* ResultName(RoadFailure::Code kind, uint32_t code);
