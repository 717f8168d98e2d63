// Reads the tables a public lobby service lists (GET /tables) every kIntervalMs and puts
// them into the TableList under the source "Public"; a row the last answer did not list
// leaves it. Nothing is asked until a lobby is set.
//
// What the service sends is held to our own limits: one request at a time, an answer of
// kMaxReply bytes at most (a longer one is aborted) within kAnswerMs, read as JSON through
// the table record's reader (names cleaned as on the wire), at most kMaxRows rows taken.
// While the lobby cannot be reached its rows stay kForgetMs, then leave; the first failure
// of a run is told (onProblem), and the first answer after it clears the text.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <optional>

#include "tablelist.h"

class QNetworkReply;

namespace tessarin::lobby {

inline const QString kPublic = QStringLiteral("Public");

class PublicTables : public QObject {
  public:
    static constexpr int kIntervalMs = 5000;
    static constexpr int kAnswerMs = 4000;
    static constexpr qint64 kMaxReply = 2 << 20;
    // The list holds kMaxTables rows in all: a public list takes at most four fifths of
    // them, so that tables on the local network always find room.
    static constexpr int kMaxRows = TableList::kMaxTables * 4 / 5;
    static constexpr int kForgetMs = 15000;

    // `list` must outlive this object.
    explicit PublicTables(TableList& list, QObject* parent = nullptr);
    ~PublicTables() override;

    // Asks `lobby` now and every kIntervalMs; nothing: stops and removes the public rows.
    void setLobby(const std::optional<QUrl>& lobby);

    // Why the lobby cannot be read; empty once it answers again.
    std::function<void(const QString&)> onProblem;

  private:
    void ask();
    void answered(QNetworkReply* reply);
    void take(const QByteArray& body);
    void failed(const QString& why);
    void stop();

    TableList& list_;
    QUrl tables_;
    QNetworkAccessManager manager_;
    QPointer<QNetworkReply> reply_;
    QByteArray body_;
    bool tooLong_ = false;
    bool failing_ = false;
    QTimer timer_;
    QElapsedTimer clock_;
};

}  // namespace tessarin::lobby
