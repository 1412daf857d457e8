// Linked into programs and tests that run against the simulated client:
// installs it as the MAPI provider before main() runs.
#include "mailsim/Mailsim.h"

namespace {

const bool installed = (mailsim::Install(), true);

}  // namespace
