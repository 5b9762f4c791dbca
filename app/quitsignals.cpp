#include "app/quitsignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace mirvo {

namespace {

// A signal handler may only write to a descriptor; the message loop reads
// the other end and quits.
int gSignalSocket[2] = {-1, -1};

void OnTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(gSignalSocket[1], &byte, 1);
}

void DrainSignals()
{
    char byte = 0;
    while (::read(gSignalSocket[0], &byte, 1) > 0) {
    }
}

} // namespace

void QuitOnTerminationSignals()
{
    if (gSignalSocket[0] >= 0)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, gSignalSocket) != 0)
        return;
    auto* notifier = new QSocketNotifier(gSignalSocket[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        DrainSignals();
        QCoreApplication::quit();  // leaves every running message loop, modal ones too
    });
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

} // namespace mirvo
