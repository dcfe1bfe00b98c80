#include "SessionBus.h"

#include <QElapsedTimer>

SessionBus::~SessionBus()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(3000))
            m_daemon.kill();
        m_daemon.waitForFinished(2000);
    }
}

bool SessionBus::start(const QString &socketDir)
{
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--print-address"), QStringLiteral("--nofork"),
                    QStringLiteral("--nopidfile"), QStringLiteral("--address=unix:dir=") + socketDir});
    if (!m_daemon.waitForStarted(5000))
        return false;
    QElapsedTimer t;
    t.start();
    while (!m_daemon.canReadLine() && t.elapsed() < 10000)
        m_daemon.waitForReadyRead(200);
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    if (m_address.isEmpty())
        return false;
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
    return true;
}
