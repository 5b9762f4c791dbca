// The channel between the running window program and a second start on the
// same settings folder: the second asks, the first brings its main window
// forward.
#pragma once

#include <QObject>
#include <QPointer>

#include <string>

class QLocalServer;
class QSocketNotifier;
class QWidget;

namespace mirvo {

class TInstanceChannel final : public QObject {
    Q_OBJECT
public:
    // Listens under `name` (see InstanceChannelName); the caller holds the
    // instance lock, so a name left by a crashed copy is taken over.
    explicit TInstanceChannel(const std::string& name, QObject* parent = nullptr);
    ~TInstanceChannel() override;
    TInstanceChannel(const TInstanceChannel&) = delete;
    TInstanceChannel& operator=(const TInstanceChannel&) = delete;

    // The window to bring forward when asked.
    void SetWindow(QWidget* window) { FWindow = window; }

    // Whether a second start can reach this copy; else the errno of the failure (0 for no name).
    bool Listening() const { return FListening; }
    int Error() const { return FError; }

    // The second start: asks the copy listening under `name` to come
    // forward; true when it was told. A copy of another user is not asked.
    static bool AskToComeForward(const std::string& name);

private:
    void OnConnection();
    // Brings the window forward; false when there is none yet.
    bool ComeForward();

#if defined(Q_OS_WIN)
    QLocalServer* FServer = nullptr;
#else
    // A Unix socket of our own: Qt's local sockets would bring Qt Network and
    // its Kerberos and proxy libraries into every start for one short message.
    int FSocket = -1;
    QSocketNotifier* FNotifier = nullptr;
    std::string FPath;
#endif
    QPointer<QWidget> FWindow;
    bool FListening = false;
    int FError = 0;
};

} // namespace mirvo
