// mailsim as the MAPI provider of the Linux platform stand-in.
#include <cstdlib>

#include "Provider.h"
#include "mailsim/Mailsim.h"
#include "platform_mapi_provider.h"

namespace mailsim {
namespace {

const PlatformMapiProvider kProvider = {
    &Initialize,       &Uninitialize,    &LogonEx,        &SendMail,     &LibraryPresent,
    &SendMailExported, &MessageBoxShown, &AllocateBuffer, &AllocateMore, &FreeBuffer,
};

void WriteAtExit() {
    if (PlatformGetMapiProvider() == &kProvider) Unload();
}

}  // namespace

void Install() {
    static const bool registered = (std::atexit(&WriteAtExit), true);
    (void)registered;
    PlatformSetMapiProvider(&kProvider);
}

void Uninstall() {
    if (PlatformGetMapiProvider() == &kProvider) PlatformSetMapiProvider(nullptr);
}

}  // namespace mailsim
