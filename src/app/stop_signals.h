#pragma once

#include <functional>

namespace mero::app {

// Runs stop on the event loop when the process receives SIGTERM or SIGINT
// (the signal handler only writes a byte to a pipe). Once per process.
void OnStopSignals(std::function<void()> stop);

}  // namespace mero::app
