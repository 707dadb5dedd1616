#pragma once

namespace mero::app {

// Where the client keeps state for the whole run, layer by layer, and the
// one reset that forgets all of it. Each layer owns its state and its reset;
// only this file knows them all.
//
//   app          the connection context (Ctx), the user's rights (UserCtx),
//                the login information RST1Inf,
//                the link cipher and LinkCipherMode
//   data/remote  the query utilities: the shared socket, the global query and
//                the rest of QueryGlobals, the start-up query, the wait
//                cursor, the table cache MemCol, the hooks of TKZLINK
//   data         the dataset utilities: the dictionary, the lookup lists, the
//                SQL display
//   link/client  the application's error display and termination hook
//   base         the run-time state Rt (debug level, parameters, folders)
//
// Seams that tests install for a scope put back what they found themselves
// and are left alone here: the message presenter, the link client windows,
// the clock.

// Puts all of the above back to its load-time values, from the top layer
// down. A socket or dataset still alive is only forgotten, not closed.
void ResetClientState();

}  // namespace mero::app
