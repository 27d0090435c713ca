// COM initialisation has nothing to set up on Linux; a per-thread counter keeps
// the calls balanced and lets tests see that they are.
#pragma once

namespace platform {

void CoInitialize(void* reserved = nullptr);
void CoUninitialize();
// Initialisations on this thread not yet matched by CoUninitialize.
int ComInitCount();

}  // namespace platform
