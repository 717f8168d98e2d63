#include "tsock.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QMetaObject>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>

#include "sockerrors.h"
#include "socklookup.h"

namespace tessarin {

namespace {

// Messages are small and each one is waited for: without this, a second message sent
// before the first is acknowledged waits for the peer's delayed acknowledgement (40 ms).
void setNoDelay(int fd) {
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

// A dead peer is noticed within 10 + 3 * 5 = 25 s of silence, or 25 s of output left
// unacknowledged.
void setKeepAlive(int fd) {
    const int on = 1, idle = 10, interval = 5, count = 3, unacknowledgedMs = 25000;
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
    ::setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &unacknowledgedMs, sizeof unacknowledgedMs);
}

constexpr std::size_t kReceiveChunk = 32768;
constexpr int kBacklog = 5;
// Out of descriptors or memory, a waiting connection stays waiting; pausing keeps the
// listener from spinning on it.
constexpr int kAcceptPauseMs = 100;

// All interfaces on both families, IPv4 peers showing as IPv4-mapped addresses.
int dualStackListener(SockAddress& address, std::uint16_t port) {
    const int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return fd;
    const int off = 0;
    ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
    auto& a6 = reinterpret_cast<sockaddr_in6&>(address.storage);
    a6.sin6_family = AF_INET6;
    a6.sin6_port = htons(port);
    a6.sin6_addr = in6addr_any;
    address.length = sizeof a6;
    return fd;
}

bool transient(int err) {
    return err == EAGAIN || err == EWOULDBLOCK || err == EINTR;
}

}  // namespace

TSock::TSock(QObject* owner) : QObject(owner) {}

TSock::~TSock() {
    if (readNotifier_) readNotifier_->setEnabled(false);
    if (writeNotifier_) writeNotifier_->setEnabled(false);
    if (fd_ >= 0) ::close(fd_);
}

void TSock::setHostName(std::string name) {
    if (connected_) info(TSocketInfo::Lookup, "Setting HostName While Connected Has No Effect");
    hostName_ = std::move(name);
}

void TSock::setPortName(std::string name) {
    if (connected_) info(TSocketInfo::Lookup, "Setting PortName While Connected Has No Effect");
    portName_ = std::move(name);
}

void TSock::setListen(bool listen) {
    if (fd_ >= 0 && !listening_) {
        listening_ = false;
        throw ESockException("Listen - Socket Already In Use");
    }
    if (!listen) {
        Close();
        info(TSocketInfo::Listening, "Listening Stopped");
        return;
    }
    if (listening_) {
        info(TSocketInfo::Listening, "Listening Already Running");
        return;
    }
    info(TSocketInfo::Lookup, "Lookup Of Port " + portName_);
    const std::uint16_t port = lookupPort(portName_);
    // Where the kernel has no IPv6, all interfaces means IPv4 ones.
    SockAddress address;
    if (!loopbackOnly_) fd_ = dualStackListener(address, port);
    if (fd_ < 0) {
        address = ipv4Address(loopbackOnly_ ? INADDR_LOOPBACK : INADDR_ANY, port);
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    }
    if (fd_ < 0) throw ESockException("Listen - Error Starting Listen");
    // A restarted server may bind while old connections linger in TIME_WAIT; a port that
    // another socket listens on still refuses the bind.
    const int on = 1;
    ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    // The handle stays open after a failed bind, so a second attempt reports it in use.
    if (::bind(fd_, address.get(), address.length) != 0)
        throw ESockException("Listen - Error Binding Socket");
    if (::listen(fd_, kBacklog) != 0) throw ESockException("Listen - Error Starting Listen");
    readNotifier_ = makeNotifier(false, &TSock::connectionWaiting, true);
    listening_ = true;
    info(TSocketInfo::Listening, "Listening Started");
}

int TSock::localPort() const {
    SockAddress address;
    address.length = sizeof address.storage;
    if (fd_ < 0 || ::getsockname(fd_, address.get(), &address.length) != 0) return 0;
    return address.port();
}

bool TSock::Accept(TSock*& newSock) {
    if (!listening_) throw ESockException("Accept - Socket Not In Listening Mode");
    SockAddress peer;
    peer.length = sizeof peer.storage;
    const int fd = ::accept4(fd_, peer.get(), &peer.length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    resumeAccepting(fd < 0 ? errno : 0);
    if (fd < 0) {
        info(TSocketInfo::Accept, "Could Not Accept Connection");
        return false;
    }
    auto* sock = new TSock(this);
    sock->fd_ = fd;
    sock->connected_ = true;
    sock->portName_ = portName_;
    sock->hostName_ = peer.text();
    sock->OnRead = OnRead;
    sock->OnWrite = OnWrite;
    sock->OnDisconnect = OnDisconnect;
    sock->OnInfo = OnInfo;
    sock->watchStream();
    newSock = sock;
    info(TSocketInfo::Accept, "Created New TSock Structure");
    return true;
}

bool TSock::Open() {
    if (fd_ >= 0) return connected_;
    info(TSocketInfo::Lookup, "Lookup Of Port " + portName_);
    const std::uint16_t port = lookupPort(portName_);
    info(TSocketInfo::Lookup, "Lookup Of Host " + hostName_);
    SockAddress address = hostcache().lookup(hostName_);
    address.setPort(port);

    fd_ = ::socket(address.family(), SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        info(TSocketInfo::Error, sockerr::errorText(sockerr::winsockCode(errno)));
        return false;
    }
    setNoDelay(fd_);
    setKeepAlive(fd_);
    // Completion shows as writability; the read side is watched once connected.
    writeNotifier_ = makeNotifier(true, &TSock::writable, true);
    readNotifier_ = makeNotifier(false, &TSock::readable, false);
    if (::connect(fd_, address.get(), address.length) != 0 && errno != EINPROGRESS) {
        // Reported from the event loop, as a failure would be once connecting had begun.
        const int code = sockerr::winsockCode(errno);
        writeNotifier_->setEnabled(false);
        QMetaObject::invokeMethod(
            this, [this, code] { connectFailed(code); }, Qt::QueuedConnection);
    }
    return connected_;
}

void TSock::Send(std::string_view text) {
    if (fd_ < 0) throw ESockException("Send - Socket Not Connected");
    if (listening_) throw ESockException("Send - Cannot Send On A Listener Socket");
    outbuffer_.append(text);
    if (outbuffer_.empty()) return;
    info(TSocketInfo::DataOut, "Non-Blocking Outgoing Data");
    flush();
}

std::string TSock::Receive() {
    if (fd_ < 0 && inbuffer_.empty()) throw ESockException("Receive - Socket Not Connected");
    if (listening_) throw ESockException("Receive - Cannot Receive On A Listener Socket");
    std::string all;
    all.swap(inbuffer_);
    return all;
}

bool TSock::Close() {
    const bool wasListening = listening_;
    dropNotifiers();
    const bool clean = fd_ >= 0 && ::close(fd_) == 0;
    fd_ = -1;
    connected_ = false;
    listening_ = false;
    outbuffer_.clear();
    if (!wasListening) {
        try {
            if (OnInfo) OnInfo(*this, TSocketInfo::Closed, "Socket Closed");
        } catch (...) {
            // Closing never fails as far as the caller can tell.
        }
    }
    return clean;
}

std::string TSock::errorName(int code) {
    return sockerr::errorName(code);
}

int TSock::winsockCode(int errnoValue) {
    return sockerr::winsockCode(errnoValue);
}

void TSock::info(TSocketInfo code, const std::string& msg) {
    if (!OnInfo) return;
    try {
        OnInfo(*this, code, msg);
    } catch (...) {
        throw ESockException("Error here");
    }
}

void TSock::readable() {
    if (fd_ < 0) return;
    char scratch[kReceiveChunk];
    const ssize_t n = ::recv(fd_, scratch, sizeof scratch, 0);
    if (n > 0) {
        inbuffer_.append(scratch, static_cast<std::size_t>(n));
        info(TSocketInfo::DataIn, "Non-Blocking Incoming Data");
        if (OnRead) OnRead(*this, inbuffer_.size());
        return;
    }
    if (n < 0) {
        if (transient(errno)) return;
        // A reset connection can neither send nor receive again: it ends like a close.
        info(TSocketInfo::Error, sockerr::errorText(sockerr::winsockCode(errno)));
    }
    peerClosed();
}

void TSock::peerClosed() {
    if (OnDisconnect) OnDisconnect(*this);
    Close();
}

void TSock::writable() {
    if (fd_ < 0) return;
    if (!connected_) {
        int err = 0;
        socklen_t length = sizeof err;
        if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &length) != 0) err = errno;
        if (err != 0) {
            connectFailed(sockerr::winsockCode(err));
            return;
        }
        connected_ = true;
        readNotifier_->setEnabled(true);
        writeNotifier_->setEnabled(!outbuffer_.empty());
        info(TSocketInfo::Connected, "Non-Blocking Socket Connected");
        if (OnConnect) OnConnect(*this);
        if (fd_ >= 0 && !outbuffer_.empty()) flush();
        return;
    }
    if (!outbuffer_.empty()) Send("");
    info(TSocketInfo::DataOut, "Non-Blocking Outgoing Data");
    if (OnWrite) OnWrite(*this);
}

void TSock::connectFailed(int code) {
    if (fd_ < 0 || connected_) return;
    // Nothing more will happen on this handle; a level-triggered notifier would spin on it.
    if (readNotifier_) readNotifier_->setEnabled(false);
    if (writeNotifier_) writeNotifier_->setEnabled(false);
    info(TSocketInfo::Error, sockerr::errorText(code));
}

void TSock::connectionWaiting() {
    if (!listening_) return;
    // As with the design's notification, the next one comes only after Accept is called.
    readNotifier_->setEnabled(false);
    if (OnAccept) OnAccept(*this);
}

void TSock::resumeAccepting(int acceptErrno) {
    if (!readNotifier_) return;
    if (acceptErrno == EMFILE || acceptErrno == ENFILE || acceptErrno == ENOBUFS ||
        acceptErrno == ENOMEM) {
        QTimer::singleShot(kAcceptPauseMs, readNotifier_,
                           [n = readNotifier_] { n->setEnabled(true); });
        return;
    }
    readNotifier_->setEnabled(true);
}

void TSock::flush() {
    if (!connected_ || outbuffer_.empty()) return;
    const ssize_t n = ::send(fd_, outbuffer_.data(), outbuffer_.size(), MSG_NOSIGNAL);
    if (n > 0) {
        outbuffer_.erase(0, static_cast<std::size_t>(n));
    } else if (n < 0 && !transient(errno)) {
        // The text can never be delivered; the read side reports the close.
        outbuffer_.clear();
        info(TSocketInfo::Error, "Socket Error On Send");
    }
    if (writeNotifier_) writeNotifier_->setEnabled(!outbuffer_.empty());
}

QSocketNotifier* TSock::makeNotifier(bool forWriting, void (TSock::*handler)(), bool enabled) {
    auto* notifier =
        new QSocketNotifier(fd_, forWriting ? QSocketNotifier::Write : QSocketNotifier::Read, this);
    notifier->setEnabled(enabled);
    connect(notifier, &QSocketNotifier::activated, this, handler);
    return notifier;
}

void TSock::watchStream() {
    setNoDelay(fd_);
    setKeepAlive(fd_);
    readNotifier_ = makeNotifier(false, &TSock::readable, true);
    writeNotifier_ = makeNotifier(true, &TSock::writable, false);
}

void TSock::dropNotifiers() {
    // The notifiers may be the ones whose signal is being handled right now.
    for (QSocketNotifier** n : {&readNotifier_, &writeNotifier_}) {
        if (*n == nullptr) continue;
        (*n)->setEnabled(false);
        (*n)->deleteLater();
        *n = nullptr;
    }
}

}  // namespace tessarin
