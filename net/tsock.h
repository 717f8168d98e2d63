// TSock: one non-blocking IPv4 TCP socket driven by QSocketNotifier on the UI thread.
// It reports through callbacks, as the socket component of the original design did:
// OnInfo for every status change (texts below), OnRead when bytes arrived, OnDisconnect
// when the peer closed (before the component closes its own end and reports
// "Socket Closed"), OnAccept when a listener has a connection waiting.
//
// OnInfo codes and texts:
//   0 lookup    "Lookup Of Host <name>", "Lookup Of Port <name>",
//               "Setting HostName While Connected Has No Effect", "... PortName ..."
//   1 connected "Non-Blocking Socket Connected"
//   2 closed    "Socket Closed"
//   3 listening "Listening Started", "Listening Stopped", "Listening Already Running"
//   4 data in   "Non-Blocking Incoming Data"
//   5 data out  "Non-Blocking Outgoing Data"
//   6 accept    "Created New TSock Structure", "Could Not Accept Connection"
//   7 error     "Error #<code> (<name>)" with Winsock codes, e.g. "Error #10061 (WSAECONNREFUSED)",
//               "Socket Error On Send"
// Failures of the calls themselves throw ESockException with the texts of the design
// ("Listen - Error Binding Socket", "Send - Socket Not Connected", ...).
//
// Every connection uses TCP keepalive (first probe after 10 s of silence, then every 5 s,
// three unanswered ones end it) and a 25 s limit on unacknowledged output, so that a peer
// whose machine or network has gone is noticed within 30 s; the connection then closes as
// if the peer had reset it. A peer whose process merely stopped still has its kernel
// answering: that takes a ping above this layer (net/protocol.h, CMD_ping).
//
// Callbacks run on the UI thread from the event loop. A callback may Close() its own socket
// but must not delete it (use deleteLater()).
#pragma once

#include <QObject>

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

class QSocketNotifier;

namespace tessarin {

class ESockException : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum class TSocketInfo {
    Lookup = 0,
    Connected = 1,
    Closed = 2,
    Listening = 3,
    DataIn = 4,
    DataOut = 5,
    Accept = 6,
    Error = 7,
};

class TSock : public QObject {
    Q_OBJECT
  public:
    // An accepted socket is owned by its listener (destroyed with it) unless reparented.
    explicit TSock(QObject* owner = nullptr);
    // Closes the handle without reporting anything: the owner may be half destroyed.
    ~TSock() override;

    // Host name, dotted IPv4 or IPv6 address (no brackets), and port number or service name, for
    // Open/Listen.
    void setHostName(std::string name);
    const std::string& hostName() const { return hostName_; }
    void setPortName(std::string name);
    const std::string& portName() const { return portName_; }

    // true: listen on all local addresses of both families at PortName (IPv4 only where the
    // kernel has no IPv6; only on 127.0.0.1 when loopback-only is set), backlog 5. false: stop.
    void setListen(bool listen);
    void setLoopbackOnly(bool only) { loopbackOnly_ = only; }
    bool listening() const { return listening_; }

    // The local port a listener is bound to (useful after listening on port "0"); 0 if none.
    int localPort() const;

    // Takes the waiting connection into a new TSock owned by this listener, with copies of
    // this socket's OnRead, OnWrite, OnDisconnect and OnInfo. false if accept failed.
    // OnAccept is called again for the next waiting connection only after Accept.
    bool Accept(TSock*& newSock);
    // Starts connecting to HostName:PortName; returns whether already connected (the
    // outcome arrives later as "Non-Blocking Socket Connected" or an error). Lookups happen
    // before a handle exists, so a failed lookup leaves the socket closed. After a failed
    // connect the handle stays open, silent, until Close.
    bool Open();
    // Queues text and sends what the network takes now; the rest goes out, in order,
    // when the socket becomes writable.
    void Send(std::string_view text);
    // All received bytes not yet taken.
    std::string Receive();
    // Closes the handle and drops unsent text; reports "Socket Closed" unless it was
    // listening, also when already closed. Never throws.
    bool Close();

    bool connected() const { return connected_; }
    bool isOpen() const { return fd_ >= 0; }
    std::size_t pendingOutput() const { return outbuffer_.size(); }

    // Free for the owner: the server keeps the seat number here.
    int tag = 0;

    std::function<void(TSock&)> OnConnect;
    std::function<void(TSock&)> OnDisconnect;
    std::function<void(TSock&)> OnWrite;
    std::function<void(TSock&)> OnAccept;
    std::function<void(TSock&, std::size_t count)> OnRead;
    std::function<void(TSock&, TSocketInfo, const std::string& msg)> OnInfo;

    // Winsock name of a Winsock error code ("WSAECONNREFUSED"), "UNKNOWN ERROR" otherwise.
    static std::string errorName(int code);
    // The Winsock code for an errno value (ECONNREFUSED -> 10061).
    static int winsockCode(int errnoValue);

  private:
    void info(TSocketInfo code, const std::string& msg);
    // Notifications.
    void readable();
    void writable();
    void connectionWaiting();
    void connectFailed(int code);
    void peerClosed();
    // Sends what the network takes of outbuffer now; the write notifier runs only while
    // text is left.
    void flush();
    void resumeAccepting(int acceptErrno);
    QSocketNotifier* makeNotifier(bool forWriting, void (TSock::*handler)(), bool enabled);
    void watchStream();
    void dropNotifiers();

    std::string hostName_;
    std::string portName_;
    std::string inbuffer_;
    std::string outbuffer_;
    int fd_ = -1;
    bool connected_ = false;
    bool listening_ = false;
    bool loopbackOnly_ = false;
    // Children of this socket; on a listener the read notifier means "connection waiting".
    QSocketNotifier* readNotifier_ = nullptr;
    QSocketNotifier* writeNotifier_ = nullptr;
};

}  // namespace tessarin
