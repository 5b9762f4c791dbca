// Ending the program from outside on Windows: the end of the session (a log
// off, a shut-down: WM_QUERYENDSESSION, which Qt passes on as a commit data
// request) and, when the program was started from a console, the console's
// Ctrl+C, Ctrl+Break and closing. Each ends the program as closing the main
// window does, so that the member list and the settings are saved.
#include "app/quitsignals.h"

#include <QApplication>
#include <QSessionManager>

#include <windows.h>

#include <atomic>

namespace mirvo {

namespace {

std::atomic<bool> gQuitRequested = false;
bool gInstalled = false;

void OnQuitRequest()
{
    gQuitRequested = true;
    CloseOpenWindows();
    QCoreApplication::exit(0);
}

// Runs on a thread of its own that the console starts: the request goes to
// the message loop.
BOOL WINAPI OnConsoleEvent(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, &OnQuitRequest, Qt::QueuedConnection);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void QuitOnTerminationSignals()
{
    gQuitRequested = false;
    if (gInstalled)
        return;
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app == nullptr)
        return;
    gInstalled = true;
    // The session ends: leave the loop now, while Windows waits for the
    // answer, so that the saving is done before the process is ended.
    QObject::connect(app, &QGuiApplication::commitDataRequest, app, [](QSessionManager&) { OnQuitRequest(); });
    ::SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
}

bool QuitRequested()
{
    return gQuitRequested;
}

} // namespace mirvo
