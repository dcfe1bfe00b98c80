#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QTcpServer>

// A small web server for the network tests, on 127.0.0.1 unless told otherwise: each path
// answers as told, and every request is kept as it arrived.
class StubHttpServer : public QTcpServer
{
    Q_OBJECT
public:
    // Trickle: a body of no stated length, its piece (default "3") at once and then every
    // periodMs, never ending.
    // HalfThenDrop: promises the whole body, sends half and closes; asked again, closes at once.
    // Unsized: the body without a length, ended by closing, as a live stream is sent.
    enum class Mode { Body, Trickle, Silence, RedirectLoop, HalfThenDrop, Unsized };
    struct Answer {
        Mode mode = Mode::Body;
        int status = 200;
        QByteArray body;
        int periodMs = 100;
    };
    struct Request {
        QByteArray path;
        QHash<QByteArray, QByteArray> headers; // names in lower case
    };

    explicit StubHttpServer(const QHostAddress &address = QHostAddress(QHostAddress::LocalHost));
    QString hostAndPort() const;
    void answer(const QByteArray &pathEnd, const Answer &a) { m_answers.insert(pathEnd, a); }
    // Bytes of bodies written so far (a client that stops reading leaves most unsent).
    qint64 bytesSent() const { return m_sent; }

    QList<Request> requests;

private:
    void serve(QTcpSocket *s, const Request &r);

    QHash<QByteArray, Answer> m_answers;
    QSet<QByteArray> m_dropped;
    qint64 m_sent = 0;
};
