#include "httpstub.h"

#include <stdexcept>

namespace tessarin::testing {

HttpStub::HttpStub() {
    if (!listen()) throw std::runtime_error("cannot listen");
    connect(&server_, &QTcpServer::newConnection, this, &HttpStub::accept);
}

bool HttpStub::listen() {
    if (!server_.listen(QHostAddress::LocalHost, port_)) return false;
    port_ = server_.serverPort();
    return true;
}

QUrl HttpStub::url(const QString& path) const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path));
}

QByteArray HttpStub::head(const QByteArray& status, qint64 length) {
    const QByteArray announced =
        length < 0 ? QByteArray() : "Content-Length: " + QByteArray::number(length) + "\r\n";
    return "HTTP/1.1 " + status + "\r\nContent-Type: application/octet-stream\r\n" + announced +
           "Connection: close\r\n\r\n";
}

QByteArray HttpStub::redirect(const QByteArray& location) {
    return "HTTP/1.1 302 Found\r\nLocation: " + location +
           "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
}

void HttpStub::accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readrequest(socket); });
    }
}

void HttpStub::readrequest(QTcpSocket* socket) {
    const QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    // Anything but an HTTP request (a TLS handshake, say) is hung up on.
    if (!request.isEmpty() && (request[0] < 'A' || request[0] > 'Z')) {
        socket->disconnectFromHost();
        return;
    }
    const qsizetype end = request.indexOf("\r\n\r\n");
    if (end < 0 || socket->property("answered").toBool()) return;
    const QByteArray head = request.left(end);
    qsizetype length = 0;
    for (const QByteArray& line : head.split('\n'))
        if (line.toLower().startsWith("content-length:"))
            length = line.mid(15).trimmed().toLongLong();
    if (request.size() < end + 4 + length) return;  // the body is still on its way
    socket->setProperty("answered", true);
    ++requests_;
    lastrequest_ = head;
    const QByteArray line = head.left(head.indexOf('\r'));
    calls_ += (line.left(line.lastIndexOf(' ')) + ' ' + request.mid(end + 4, length)).trimmed();
    const QByteArray path = line.split(' ').value(1);
    if (!endless_.isEmpty() && path == endless_) {
        socket->write(HttpStub::head("200 OK", -1));
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] { pour(socket); });
        pour(socket);
        return;
    }
    const QByteArray answer = answers_.value(path, answer_);
    if (answer.isEmpty()) {
        held_ = socket;
        return;
    }
    socket->write(answer);
    socket->disconnectFromHost();
}

void HttpStub::pour(QTcpSocket* socket) {
    static const QByteArray piece(64 * 1024, '{');
    constexpr qint64 kAtMost = qint64(1) << 30;
    while (socket->state() == QAbstractSocket::ConnectedState &&
           socket->bytesToWrite() < 4 * piece.size() && endlessSent_ < kAtMost) {
        socket->write(piece);
        endlessSent_ += piece.size();
    }
}

void HttpStub::send(const QByteArray& bytes) {
    if (held_) held_->write(bytes);
}

void HttpStub::finish() {
    if (held_) held_->disconnectFromHost();
    held_.clear();
}

}  // namespace tessarin::testing
