#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// A private PulseAudio server for one test program: one null sink ("ci_sink"), no D-Bus,
// anonymous clients on a socket in a folder of its own. Once started, this process and the
// processes it starts use it (PULSE_SERVER).
class PrivatePulse
{
public:
    ~PrivatePulse();
    bool start(const QString &folder);
    // Killed, as a server that goes away; start() again serves the same socket.
    void kill();
    QString socketPath() const { return m_folder + QStringLiteral("/native"); }

    // pactl against the server: its output, trimmed; ok false when it failed.
    static QString pactl(const QStringList &args, bool *ok = nullptr);
    // The sink's per-channel volume, as pactl reads it.
    static QList<quint32> volume(const QString &sink = QStringLiteral("ci_sink"));

private:
    QProcess m_server;
    QString m_folder;
};

// A second client that counts the sinks' change events; the server posts one only when a
// value really changes, so it counts the writes anyone made.
class SinkEvents
{
public:
    ~SinkEvents();
    bool start();
    // Counted so far, once the events of what was done until now have come.
    int changes();

private:
    QProcess m_watch;
    int m_changes = 0;
};
