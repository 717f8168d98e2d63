// A minimal HTTP server on 127.0.0.1 for the download and Agones sidecar tests. It either
// answers every request at once with a canned response, or holds the connection so that the
// test sends the response piece by piece, or pours out a body without end. It keeps every request's
// line and body, and can stop listening and start again on the same port, as a server that is not
// up yet.
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

namespace tessarin::testing {

class HttpStub : public QObject {
    Q_OBJECT
  public:
    HttpStub();

    QUrl url(const QString& path) const;

    // Sent whole, then the connection is closed. Empty (the default): hold the connection.
    void setanswer(const QByteArray& response) { answer_ = response; }
    // The answer to requests for `path` alone, in place of the one above.
    void setanswer(const QByteArray& path, const QByteArray& response) {
        answers_[path] = response;
    }

    // Requests for `path` get a body without end: 64 KiB pieces as fast as the client reads
    // them, until it hangs up (or 1 GiB has gone).
    void setendless(const QByteArray& path) { endless_ = path; }
    qint64 endlesssent() const { return endlessSent_; }

    int requests() const { return requests_; }
    // The request line and headers of the latest request.
    QByteArray lastrequest() const { return lastrequest_; }
    // Every request so far as its request line without the version, a space and its body:
    // "PUT /metadata/label {...}".
    const QByteArrayList& calls() const { return calls_; }

    // Refuses connections until listen() is called again; the port stays the same.
    void close() { server_.close(); }
    bool listen();

    // A held connection whose request has arrived.
    bool holding() const { return !held_.isNull(); }
    void send(const QByteArray& bytes);
    void finish();

    // "HTTP/1.1 <status>" with Content-Type, Content-Length (none when `length` is
    // negative) and Connection headers.
    static QByteArray head(const QByteArray& status, qint64 length);
    // A "302 Found" to `location`.
    static QByteArray redirect(const QByteArray& location);

  private:
    void accept();
    void readrequest(QTcpSocket* socket);
    void pour(QTcpSocket* socket);

    QTcpServer server_;
    quint16 port_ = 0;  // chosen by the first listen()
    QByteArray answer_;
    QHash<QByteArray, QByteArray> answers_;
    int requests_ = 0;
    QByteArray lastrequest_;
    QByteArrayList calls_;
    QPointer<QTcpSocket> held_;
    QByteArray endless_;
    qint64 endlessSent_ = 0;
};

}  // namespace tessarin::testing
