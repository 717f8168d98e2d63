// A client of the Agones SDK sidecar's local REST gateway: tells Agones the table is ready,
// pings its health, reads the GameServer's address, keeps the seated players and the
// spectators in the Counters "players" and "spectators", allocates the table when asked and
// asks for shutdown. Requests go one at a time, Ready first; a failed request (no sidecar
// yet, an error status, no answer in time) is tried again quietly after a pause, and only
// the first failure of a run of them is logged.
//
// Whatever the sidecar sends, a reply is read as it arrives and kept up to kMaxReply bytes;
// a longer one is aborted and counts as a failure. Each counter is sent at most once per
// Timing::coalesce, with only its latest count.
#pragma once

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <array>
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "hostport.h"
#include "logline.h"

class QNetworkReply;

namespace tessarin {

class AgonesSdk : public QObject {
    Q_OBJECT
  public:
    static constexpr int kDefaultPort = 9358;
    static constexpr qint64 kMaxReply = 64 * 1024;
    static constexpr const char* kPlayersCounter = "players";        // seats 1..3, capacity 3
    static constexpr const char* kSpectatorsCounter = "spectators";  // seats 4..9

    struct Timing {
        std::chrono::milliseconds health{2000};
        std::chrono::milliseconds retry{1000};
        std::chrono::milliseconds answer{3000};  // a request without an answer by then fails
        std::chrono::milliseconds coalesce{1000};
    };
    // What GET /gameserver tells: "Ready", "Allocated"...; the address and first port.
    struct GameServer {
        QString state;
        std::optional<proto::HostPort> address;
    };

    AgonesSdk(QUrl base, Timing timing, QObject* parent = nullptr);
    ~AgonesSdk() override;

    // http://localhost:$AGONES_SDK_HTTP_PORT, port 9358 while the variable is unset;
    // nothing when it holds no port number.
    static std::optional<QUrl> urlFromEnvironment();

    // POST /ready until it succeeds, then GET /gameserver once and POST /health every
    // Timing::health.
    void start();
    // GET /gameserver again every Timing::health until its state is "Allocated".
    void watchForAllocation();
    // PATCH /v1beta1/counters/players and .../spectators with the counts that changed.
    void setCounts(int players, int spectators);
    // POST /allocate once, once ready.
    void allocate();
    // POST /shutdown (after the request under way, if any), then `done`, also when it fails.
    void shutdown(std::function<void()> done);

    const GameServer& gameServer() const { return gameServer_; }
    // After each GET /gameserver whose answer differs from the one before.
    std::function<void(const GameServer&)> onGameServer;
    std::function<void(LogLevel, const std::string&)> onLog;

  private:
    enum class Call { Ready, GameServer, Allocate, Counter, Health, Shutdown };
    struct Counter {
        const char* name;
        int count = 0;
        int reported = -1;
        QElapsedTimer sent{};  // the last PATCH; the next waits Timing::coalesce from it
    };
    void pump();
    // The first counter whose count changed and may be sent now; arms coalesce_ otherwise.
    Counter* dueCounter();
    void send(Call call, const QByteArray& verb, const QString& path, const QByteArray& body);
    void received(QNetworkReply* reply);
    void answered(Call call, QNetworkReply* reply);
    void readGameServer();
    void log(LogLevel level, const std::string& text) const;

    QUrl base_;
    Timing timing_;
    QNetworkAccessManager manager_;
    QPointer<QNetworkReply> reply_;
    QByteArray body_;  // of reply_, up to kMaxReply
    bool tooLong_ = false;
    QTimer healthTimer_;
    QTimer pause_;     // after a failure, nothing is sent until it runs out
    QTimer coalesce_;  // a counter waits for its second to pass
    bool started_ = false;
    bool ready_ = false;
    bool healthDue_ = false;
    bool gameServerDue_ = false;
    bool watching_ = false;
    bool allocateDue_ = false;
    bool allocateAsked_ = false;
    bool failing_ = false;
    std::array<Counter, 2> counters_{Counter{kPlayersCounter}, Counter{kSpectatorsCounter}};
    Counter* sending_ = nullptr;
    GameServer gameServer_;
    std::function<void()> shutdownDone_;
    bool shuttingDown_ = false;
};

}  // namespace tessarin
