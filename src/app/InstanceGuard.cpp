#include "InstanceGuard.h"

#include "app/Prompt.h"

#include <QDir>
#include <QIcon>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

namespace {
constexpr int ClassStyleDoubleClicks = 8;
const QByteArray RaiseRequest = "raise\n";
} // namespace

InstanceGuard::InstanceGuard(QString appName, Prompt &prompt, QObject *parent)
    : QObject(parent), m_appName(std::move(appName)), m_prompt(prompt)
{
}

InstanceGuard::~InstanceGuard() = default;

QString InstanceGuard::guardName(const QString &appName, quint32 moduleHandle, bool iconLoaded)
{
    if (!iconLoaded)
        return QString::asprintf("%s:%x:%x", qPrintable(appName), moduleHandle, ClassStyleDoubleClicks);
    return QString::asprintf("%s:%x:%x:%x:%x", qPrintable(appName), moduleHandle,
                             ClassStyleDoubleClicks, 0u, 0u);
}

quint32 InstanceGuard::moduleHandle()
{
    return static_cast<quint32>(::getuid());
}

QString InstanceGuard::serverName() const
{
    const bool iconLoaded = !QIcon(QStringLiteral(":/kinetrope.png")).isNull();
    const QString name = guardName(m_appName, moduleHandle(), iconLoaded);
    // The per-user runtime folder keeps other users' guards apart; /tmp is the fallback.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? name : QDir(runtime).filePath(name);
}

bool InstanceGuard::check()
{
    const QString name = serverName();
    {
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(1000)) {
            probe.write(RaiseRequest);
            probe.waitForBytesWritten(1000);
            probe.disconnectFromServer();
            return false;
        }
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(name)) {
        // Nobody answered, so whatever holds the name was left by a process that died.
        QLocalServer::removeServer(name);
        if (!m_server->listen(name)) {
            delete m_server;
            m_server = nullptr;
            m_prompt.message({QStringLiteral("Failed to register window class!"), {}, PromptKind::Ok,
                              PromptKind::Stop});
            return false;
        }
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *s = m_server->nextPendingConnection()) {
            auto take = [this, s] {
                if (s->readAll().contains(RaiseRequest.trimmed()))
                    Q_EMIT raiseRequested();
            };
            connect(s, &QLocalSocket::readyRead, this, take);
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            if (s->bytesAvailable() > 0)
                take();
        }
    });
    return true;
}
