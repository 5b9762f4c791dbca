// The channel on Windows: Qt's local sockets (named pipes).
#include "app/instancechannel.h"

#include "start/instancelock.h"

#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

#include <cerrno>

namespace mirvo {

namespace {

constexpr int kWaitMilliseconds = 2000;
const QByteArray kComeForward = "forward\n";

} // namespace

TInstanceChannel::TInstanceChannel(const std::string& name, QObject* parent)
    : QObject(parent), FServer(new QLocalServer(this))
{
    const QString serverName = QString::fromStdString(name);
    FServer->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(serverName);
    errno = 0;
    if (!name.empty() && FServer->listen(serverName))
        FListening = true;
    else
        FError = errno;
    connect(FServer, &QLocalServer::newConnection, this, &TInstanceChannel::OnConnection);
}

TInstanceChannel::~TInstanceChannel() = default;

void TInstanceChannel::OnConnection()
{
    while (QLocalSocket* socket = FServer->nextPendingConnection()) {
        // Only a start by this same user may bring the window forward.
        if (!PeerIsThisUser(static_cast<int>(socket->socketDescriptor()))) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->readAll().contains(kComeForward.trimmed()) && ComeForward())
                socket->write(kComeForward);
        });
    }
}

bool TInstanceChannel::AskToComeForward(const std::string& name)
{
    if (name.empty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(name));
    if (!socket.waitForConnected(kWaitMilliseconds))
        return false;
    // An answer counts only from a copy run by this same user.
    if (!PeerIsThisUser(static_cast<int>(socket.socketDescriptor())))
        return false;
    socket.write(kComeForward);
    if (!socket.waitForBytesWritten(kWaitMilliseconds))
        return false;
    // The answer says the window was there to come forward.
    return socket.waitForReadyRead(kWaitMilliseconds) && socket.readAll().contains(kComeForward.trimmed());
}

} // namespace mirvo
