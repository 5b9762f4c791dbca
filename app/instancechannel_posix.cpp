// The channel on Linux and other POSIX systems: a Unix socket in the user's
// private runtime folder, watched by the event loop.
#include "app/instancechannel.h"

#include "start/instancelock.h"

#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace mirvo {

namespace {

constexpr int kWaitMilliseconds = 2000;
constexpr std::string_view kComeForward = "forward\n";
constexpr std::string_view kAsked = "forward";
constexpr std::size_t kMaxRequestBytes = 256;   // more than any request; a peer that sends more is cut off

// The address of `path`; false when the path does not fit in one.
bool MakeAddress(const std::string& path, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return false;
    }
    std::memcpy(address.sun_path, path.data(), path.size());
    return true;
}

// Waits until `fd` has `events` or the time is over; false on time out or error.
bool WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd entry{fd, events, 0};
        const int rc = ::poll(&entry, 1, static_cast<int>(left.count()));
        if (rc > 0)
            return (entry.revents & events) != 0;
        if (rc == 0 || errno != EINTR)
            return false;
    }
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// One connection of a second start, read as its bytes arrive.
class TAsking final : public QObject {
public:
    TAsking(int fd, TInstanceChannel* channel, std::function<bool()> comeForward)
        : QObject(channel), FSocket(fd), FNotifier(fd, QSocketNotifier::Read, this), FComeForward(std::move(comeForward))
    {
        connect(&FNotifier, &QSocketNotifier::activated, this, &TAsking::OnReadable);
    }
    ~TAsking() override { ::close(FSocket); }
    TAsking(const TAsking&) = delete;
    TAsking& operator=(const TAsking&) = delete;

private:
    void OnReadable()
    {
        char buffer[kMaxRequestBytes];
        const ssize_t n = ::recv(FSocket, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            return;
        if (n <= 0 || FRequest.size() + static_cast<std::size_t>(n) > kMaxRequestBytes) {
            Finish();
            return;
        }
        FRequest.append(buffer, static_cast<std::size_t>(n));
        if (FRequest.find(kAsked) == std::string::npos)
            return;
        if (FComeForward())
            WriteAll(FSocket, kComeForward);
        Finish();
    }

    void Finish()
    {
        FNotifier.setEnabled(false);
        deleteLater();
    }

    int FSocket;
    QSocketNotifier FNotifier;
    std::function<bool()> FComeForward;
    std::string FRequest;
};

} // namespace

TInstanceChannel::TInstanceChannel(const std::string& name, QObject* parent) : QObject(parent)
{
    sockaddr_un address{};
    if (name.empty() || !MakeAddress(name, address)) {
        FError = name.empty() ? 0 : errno;
        return;
    }
    FSocket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (FSocket < 0) {
        FError = errno;
        return;
    }
    // The caller holds the instance lock: a socket file left by a copy that
    // ended without removing it is taken over.
    ::unlink(name.c_str());
    if (::bind(FSocket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::chmod(name.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(FSocket, SOMAXCONN) != 0) {
        FError = errno;
        ::close(FSocket);
        FSocket = -1;
        return;
    }
    FPath = name;
    FListening = true;
    FNotifier = new QSocketNotifier(FSocket, QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, &TInstanceChannel::OnConnection);
}

TInstanceChannel::~TInstanceChannel()
{
    if (FSocket < 0)
        return;
    delete FNotifier;
    ::close(FSocket);
    ::unlink(FPath.c_str());
}

void TInstanceChannel::OnConnection()
{
    for (;;) {
        const int fd = ::accept4(FSocket, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0)
            return;  // none left (EAGAIN), or one that went away meanwhile
        // Only a start by this same user may bring the window forward.
        if (!PeerIsThisUser(fd)) {
            ::close(fd);
            continue;
        }
        new TAsking(fd, this, [this] { return ComeForward(); });
    }
}

bool TInstanceChannel::AskToComeForward(const std::string& name)
{
    sockaddr_un address{};
    if (!MakeAddress(name, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMilliseconds);
    bool told = false;
    int rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (rc != 0 && (errno == EAGAIN || errno == EINPROGRESS) && WaitFor(fd, POLLOUT, deadline)) {
        int error = 0;
        socklen_t size = sizeof error;
        rc = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0 ? 0 : -1;
    }
    // An answer counts only from a copy run by this same user.
    if (rc == 0 && PeerIsThisUser(fd) && WriteAll(fd, kComeForward)) {
        // The answer says the window was there to come forward.
        std::string answer;
        while (answer.find(kAsked) == std::string::npos && answer.size() < kMaxRequestBytes
               && WaitFor(fd, POLLIN, deadline)) {
            char buffer[kMaxRequestBytes];
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
                continue;
            if (n <= 0)
                break;
            answer.append(buffer, static_cast<std::size_t>(n));
        }
        told = answer.find(kAsked) != std::string::npos;
    }
    ::close(fd);
    return told;
}

} // namespace mirvo
