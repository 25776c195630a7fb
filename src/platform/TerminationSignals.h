#pragma once

#include <functional>

// SIGTERM and SIGINT end the program the way its own Exit does: the handler
// runs on the GUI thread (through a self-pipe), never inside the signal.
void InstallTerminationHandler(std::function<void()> onTerminate);
