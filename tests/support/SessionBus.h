#pragma once

#include <QProcess>
#include <QString>

// A private D-Bus session bus for one test program. Once started, this process and the
// processes it starts use it as their session bus.
class SessionBus
{
public:
    ~SessionBus();
    bool start(const QString &socketDir);
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};
