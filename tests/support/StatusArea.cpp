#include "StatusArea.h"

#include <QSystemTrayIcon>
#include <QElapsedTimer>
#include <QtTest>

StatusArea::~StatusArea()
{
    stop();
}

bool StatusArea::start()
{
    m_tray.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_tray.start(QStringLiteral("trayer"), {QStringLiteral("--edge"), QStringLiteral("bottom")});
    if (!m_tray.waitForStarted(5000))
        return false;
    QElapsedTimer t;
    t.start();
    while (!QSystemTrayIcon::isSystemTrayAvailable() && t.elapsed() < 5000)
        QTest::qWait(20);
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void StatusArea::stop()
{
    if (m_tray.state() == QProcess::NotRunning)
        return;
    m_tray.terminate();
    if (!m_tray.waitForFinished(3000))
        m_tray.kill();
    m_tray.waitForFinished(3000);
}
