#include "app/quitsignals.h"

#include <QApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace mirvo {

namespace {

// A signal handler may only write to a descriptor; the message loop that
// runs at the moment (the main one or a box's) reads the other end.
int gSignalSocket[2] = {-1, -1};
bool gQuitRequested = false;

void OnTerminationSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(gSignalSocket[1], &byte, 1);
    errno = savedErrno;
}

void DrainSignals()
{
    char byte = 0;
    while (::read(gSignalSocket[0], &byte, 1) > 0) {
    }
}

void OnQuitRequest()
{
    DrainSignals();
    gQuitRequested = true;
    CloseOpenWindows();
    // Leaves the main message loop when it runs; before it runs (a box at
    // start) or after it ended (a box at exit) the start-up code looks at
    // QuitRequested instead.
    QCoreApplication::exit(0);
}

} // namespace

void QuitOnTerminationSignals()
{
    gQuitRequested = false;
    if (gSignalSocket[0] >= 0)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, gSignalSocket) != 0)
        return;
    auto* notifier = new QSocketNotifier(gSignalSocket[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, &OnQuitRequest);
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool QuitRequested()
{
    return gQuitRequested;
}

} // namespace mirvo
