// Helpers for tests on real sockets: the Qt application every socket needs, waiting on
// the event loop, and a scripted game client on a TSock.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <string>
#include <string_view>
#include <vector>

#include "framing.h"
#include "tsock.h"

namespace tessarin::testing {

// Creates the process's QCoreApplication on first use.
void ensureQtApp();

// A blocking loopback connection made without TSock; -1 if it fails.
int rawConnect(int port);

// Runs the event loop until pred() holds; false after timeoutMs. Generous by default: the
// machine may be busy, and only a failure waits that long.
template <typename Pred>
bool waitFor(Pred pred, int timeoutMs = 20000) {
    const QDeadlineTimer deadline(timeoutMs);
    QTimer wake;  // so that a wait without events still sees the deadline
    wake.start(50);
    while (!pred()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

// A client connection that records every message it receives and every OnInfo text.
class TestClient {
  public:
    explicit TestClient(int port, const std::string& host = "127.0.0.1");
    // Bytes as they are, no framing added.
    void sendRaw(std::string_view bytes) { sock.Send(bytes); }

    // Waits for the server's seat offer (or "CMD_full"); returns the seat, 0 when refused.
    int awaitSeat();
    // Logs in as `name` with `version` once seated.
    void login(const std::string& name, std::string_view version = "1.0.1");
    // Waits until a message starting with `prefix` has arrived after message index `from`;
    // returns its index or -1.
    int awaitMessage(std::string_view prefix, std::size_t from = 0);
    // Messages received whose command word is `command`.
    std::vector<std::string> messages(std::string_view command) const;
    bool closed() const;

    TSock sock;
    int seat = 0;
    std::vector<std::string> received;  // without the 0xFF
    std::vector<std::string> infos;     // OnInfo texts, in order
    std::vector<std::string> events;    // "disconnect" and "closed", in order

  private:
    proto::Framer framer_;
};

}  // namespace tessarin::testing
