#include "StubHttpServer.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

StubHttpServer::StubHttpServer(const QHostAddress &address)
{
    listen(address, 0);
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *s = nextPendingConnection()) {
            connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QTcpSocket::readyRead, this, [this, s] {
                // Requests one after another on a kept-alive connection, until one is left unanswered.
                QByteArray head = s->property("head").toByteArray() + s->readAll();
                while (!s->property("silent").toBool() && head.contains("\r\n\r\n")) {
                    const qsizetype end = head.indexOf("\r\n\r\n");
                    Request r;
                    const QList<QByteArray> lines = head.left(end).split('\n');
                    head.remove(0, end + 4);
                    r.path = lines.value(0).split(' ').value(1);
                    for (qsizetype i = 1; i < lines.size(); ++i) {
                        const qsizetype colon = lines[i].indexOf(':');
                        if (colon > 0)
                            r.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
                    }
                    requests << r;
                    serve(s, r);
                }
                s->setProperty("head", head);
            });
        }
    });
}

QString StubHttpServer::hostAndPort() const
{
    return QStringLiteral("%1:%2").arg(serverAddress().toString()).arg(serverPort());
}

void StubHttpServer::serve(QTcpSocket *s, const Request &r)
{
    // As a web server does: a request that asks for it ends its connection.
    const bool close = r.headers.value("connection").toLower() == "close";
    // Said in the answer too, or the client may send its next request down the closing connection.
    const QByteArray closing = close ? QByteArrayLiteral("Connection: close\r\n") : QByteArray();
    Answer a{Mode::Body, 404, "not here"};
    for (auto it = m_answers.cbegin(); it != m_answers.cend(); ++it) {
        if (r.path.endsWith(it.key()))
            a = it.value();
    }
    switch (a.mode) {
    case Mode::Silence:
        s->setProperty("silent", true);
        return; // accepts and never answers
    case Mode::RedirectLoop:
        s->write("HTTP/1.1 302 Found\r\nLocation: " + r.path + "\r\nContent-Length: 0\r\n" + closing + "\r\n");
        if (close)
            s->disconnectFromHost();
        return;
    case Mode::Trickle: {
        s->setProperty("silent", true);
        s->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n");
        auto *t = new QTimer(s);
        QPointer<QTcpSocket> socket(s);
        auto piece = [this, socket, bytes = a.body.isEmpty() ? QByteArray("3") : a.body] {
            if (socket && socket->state() == QAbstractSocket::ConnectedState) {
                socket->write(bytes);
                m_sent += bytes.size();
            }
        };
        connect(t, &QTimer::timeout, this, piece);
        piece();
        t->start(a.periodMs);
        return;
    }
    case Mode::HalfThenDrop: {
        if (s->property("dropped").toBool() || m_dropped.contains(r.path)) {
            s->abort();
            return;
        }
        m_dropped.insert(r.path);
        s->write("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: "
                 + QByteArray::number(a.body.size()) + "\r\n\r\n");
        s->write(a.body.left(a.body.size() / 2));
        m_sent += a.body.size() / 2;
        s->setProperty("silent", true);
        QPointer<QTcpSocket> socket(s);
        connect(s, &QTcpSocket::bytesWritten, this, [socket] {
            if (socket && socket->bytesToWrite() == 0)
                socket->disconnectFromHost();
        });
        return;
    }
    case Mode::Unsized: {
        // At about the pace it plays, in small pieces, so the client never sees its end early.
        s->setProperty("silent", true);
        s->write("HTTP/1.1 " + QByteArray::number(a.status) + " X\r\nContent-Type: application/octet-stream\r\n"
                 "Connection: close\r\n\r\n");
        auto *t = new QTimer(s);
        QPointer<QTcpSocket> socket(s);
        connect(t, &QTimer::timeout, this, [this, socket, t, body = a.body, at = qsizetype(0)]() mutable {
            if (!socket || socket->state() != QAbstractSocket::ConnectedState)
                return t->stop();
            const QByteArray chunk = body.mid(at, 4096);
            socket->write(chunk);
            at += chunk.size();
            m_sent += chunk.size();
            if (at >= body.size()) {
                t->stop();
                socket->disconnectFromHost();
            }
        });
        t->start(100);
        return;
    }
    case Mode::Body:
        s->write("HTTP/1.1 " + QByteArray::number(a.status) + " X\r\nContent-Type: text/plain\r\nContent-Length: "
                 + QByteArray::number(a.body.size()) + "\r\n" + closing + "\r\n");
        break;
    }
    // Large bodies go out as the client reads them, so a client that stops leaves them unsent.
    QPointer<QTcpSocket> socket(s);
    auto sendMore = [this, socket, close, body = a.body, at = qsizetype(0), done = false]() mutable {
        while (socket && at < body.size() && socket->bytesToWrite() < 256 * 1024) {
            const QByteArray chunk = body.mid(at, 64 * 1024);
            socket->write(chunk);
            at += chunk.size();
            m_sent += chunk.size();
        }
        if (socket && at >= body.size() && close && !done) {
            done = true;
            socket->disconnectFromHost();
        }
    };
    connect(s, &QTcpSocket::bytesWritten, this, sendMore);
    sendMore();
}
