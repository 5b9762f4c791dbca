// Ending the program from outside: SIGTERM (a logout, a shutdown, `kill`),
// SIGINT and SIGHUP end the message loop as closing the main window does, so
// that the main window is destroyed normally and saves the settings and the
// member list instead of losing them.
#pragma once

namespace mirvo {

// Installs the handlers; needs the application object. Safe to call more than once.
void QuitOnTerminationSignals();

} // namespace mirvo
