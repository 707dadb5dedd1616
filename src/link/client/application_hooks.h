#pragma once

#include <exception>
#include <functional>

namespace mero::link {

// The application's error display: where a failure goes that occurs while
// no call is in progress to raise it to (a socket notification handled by
// Qt's event loop). The default shows the text of a std::exception with
// base::ShowMess; the application installs its own, which may ignore its
// silent abort.
using ErrorDisplay = std::function<void(std::exception_ptr failure)>;
// An empty display restores the default.
void SetErrorDisplay(ErrorDisplay display);
void ShowApplicationError(std::exception_ptr failure);

// How the link ends the program (a refused login without a handler, three
// cancels of the login window, a terminate message, a client upgrade). The
// default flushes the standard streams and ends the process with the code;
// tests install their own, after which the socket carries on as if the
// program had been asked to end (it sends nothing more for that step).
using TerminateHook = std::function<void(int exitCode)>;
// An empty hook restores the default.
void SetTerminateHook(TerminateHook hook);
void TerminateApplication(int exitCode);

// Restores the default error display and termination (the client's state
// reset).
void ResetApplicationHooks();

}  // namespace mero::link
