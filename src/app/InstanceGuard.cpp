#include "InstanceGuard.h"

#include "app/Prompt.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QIcon>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
constexpr int ClassStyleDoubleClicks = 8;
const QByteArray RaiseRequest = "raise\n";
const QByteArray OfferNotice = "offer\n";
// How long a later start waits for the holder of the lock to listen.
constexpr int ReachFirstMs = 5000;
constexpr int MaxLine = 256;
} // namespace

InstanceGuard::InstanceGuard(QString appName, Prompt &prompt, QObject *parent)
    : QObject(parent), m_appName(std::move(appName)), m_prompt(prompt)
{
}

InstanceGuard::~InstanceGuard()
{
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

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

QString InstanceGuard::lockFileName() const
{
    const QString name = serverName();
    // A bare name is a socket in the temporary folder, as QLocalServer places it.
    const QString socket = QDir::isAbsolutePath(name) ? name : QDir(QDir::tempPath()).filePath(name);
    return socket + QStringLiteral(".lock");
}

bool InstanceGuard::tryLock()
{
    if (m_lockFd < 0)
        return false;
    if (::flock(m_lockFd, LOCK_EX | LOCK_NB) == 0)
        return true;
    if (errno != EWOULDBLOCK) {
        // A file system without locks: go on without one.
        ::close(m_lockFd);
        m_lockFd = -1;
    }
    return false;
}

bool InstanceGuard::check()
{
    const QString name = serverName();
    // Close on exec: a child process must not keep the guard after we are gone.
    m_lockFd = ::open(QFile::encodeName(lockFileName()).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (tryLock())
        return listen(name);
    if (m_lockFd < 0) {
        // No lock to be had: a running instance may still answer.
        if (reachFirst(name, 1000))
            return false;
        return listen(name);
    }
    // The holder may not be listening yet, or may die before it does and leave the lock.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < ReachFirstMs) {
        if (reachFirst(name, 200))
            return false;
        if (tryLock() || m_lockFd < 0)
            return listen(name);
        QThread::msleep(10);
    }
    return false; // a holder that never answers keeps the place; this start is not first
}

bool InstanceGuard::reachFirst(const QString &name, int timeoutMs)
{
    auto *s = new QLocalSocket(this);
    s->connectToServer(name);
    if (!s->waitForConnected(timeoutMs)) {
        delete s;
        return false;
    }
    s->write(RaiseRequest);
    s->waitForBytesWritten(1000);
    m_first = s;
    return true;
}

void InstanceGuard::announceOffer()
{
    if (!m_first || m_first->state() != QLocalSocket::ConnectedState)
        return;
    m_first->write(OfferNotice);
    m_first->waitForBytesWritten(1000);
    m_first->disconnectFromServer();
}

bool InstanceGuard::listen(const QString &name)
{
    // The holder of the lock alone touches the name: a socket there was left by one that died.
    if (m_lockFd >= 0)
        QLocalServer::removeServer(name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    bool listening = m_server->listen(name);
    if (!listening && m_lockFd < 0) {
        // Nobody answered, so whatever holds the name was left by a process that died.
        QLocalServer::removeServer(name);
        listening = m_server->listen(name);
    }
    if (!listening) {
        delete m_server;
        m_server = nullptr;
        m_prompt.message({QStringLiteral("Failed to register window class!"), {}, PromptKind::Ok,
                          PromptKind::Stop});
        return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *s = m_server->nextPendingConnection()) {
            connect(s, &QLocalSocket::readyRead, this, [this, s] { take(s); });
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            take(s);
        }
    });
    return true;
}

void InstanceGuard::take(QLocalSocket *s)
{
    while (s->canReadLine()) {
        const QByteArray line = s->readLine(MaxLine).trimmed();
        // Told from the event loop: what they start (an open that keeps the loop turning)
        // must not run while this socket is being read, nor outlive it.
        if (line == RaiseRequest.trimmed())
            QMetaObject::invokeMethod(this, &InstanceGuard::raiseRequested, Qt::QueuedConnection);
        else if (line == OfferNotice.trimmed())
            QMetaObject::invokeMethod(this, &InstanceGuard::offerWaiting, Qt::QueuedConnection);
    }
    // Nothing we understand is this long.
    if (s->bytesAvailable() > MaxLine)
        s->abort();
}
