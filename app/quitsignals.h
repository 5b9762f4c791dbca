// Ending the program from outside: SIGTERM (a logout, a shutdown, `kill`),
// SIGINT and SIGHUP end the program as closing the main window does, so
// that the main window is destroyed normally and saves the member list and
// the settings instead of losing them. No user is waited for: the message
// boxes and dialogs open at the moment are closed, and from then on
// messages go to the standard error instead of boxes. Further signals
// change nothing; the saving goes on.
#pragma once

namespace mirvo {

// Installs the handlers; needs the application object. Starts a run: no
// quit is requested yet. Safe to call more than once.
void QuitOnTerminationSignals();

// True once a termination signal arrived.
bool QuitRequested();

// Closes every open menu, message box and dialog, the innermost first, so
// that the code that opened them goes on (what a quit request does first).
void CloseOpenWindows();

} // namespace mirvo
