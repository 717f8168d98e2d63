// A client of the Agones SDK sidecar's local REST gateway: tells Agones the table is ready,
// pings its health, keeps the number of connections in a label and asks for shutdown.
// Requests go one at a time, in the order above, so the sidecar sees Ready before anything
// else. A failed request (no sidecar yet, an error status, no answer in time) is tried again
// quietly after a pause: the sidecar may start after the server. Only the first failure of
// a run of them is logged.
#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

class QNetworkReply;

namespace tessarin {

class AgonesSdk : public QObject {
    Q_OBJECT
  public:
    static constexpr int kDefaultPort = 9358;
    static constexpr const char* kPlayersLabel = "players";  // "agones.dev/sdk-players"

    struct Timing {
        std::chrono::milliseconds health{2000};
        std::chrono::milliseconds retry{1000};
        std::chrono::milliseconds answer{3000};  // a request without an answer by then fails
    };

    AgonesSdk(QUrl base, Timing timing, QObject* parent = nullptr);
    ~AgonesSdk() override;

    // http://localhost:$AGONES_SDK_HTTP_PORT, port 9358 while the variable is unset;
    // nothing when it holds no port number.
    static std::optional<QUrl> urlFromEnvironment();

    // POST /ready until it succeeds, then POST /health every Timing::health.
    void start();
    // PUT /metadata/label with the count; once ready, and only the latest count.
    void setPlayers(int count);
    // POST /shutdown (after the request under way, if any), then `done`, also when it fails.
    void shutdown(std::function<void()> done);

    std::function<void(const std::string&)> onLog;

  private:
    enum class Call { Ready, Label, Health, Shutdown };
    void pump();
    void send(Call call, const QByteArray& verb, const QString& path, const QByteArray& body);
    void answered(Call call, QNetworkReply* reply);
    void log(const std::string& text) const;

    QUrl base_;
    Timing timing_;
    QNetworkAccessManager manager_;
    QPointer<QNetworkReply> reply_;
    QTimer healthTimer_;
    QTimer pause_;  // after a failure, nothing is sent until it runs out
    bool started_ = false;
    bool ready_ = false;
    bool healthDue_ = false;
    bool failing_ = false;
    int players_ = 0;
    int reportedPlayers_ = -1;
    std::function<void()> shutdownDone_;
    bool shuttingDown_ = false;
};

}  // namespace tessarin
