#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;
class Prompt;

// One running instance per user. The first start holds an exclusive lock on a file beside
// the local socket named from the guard name, for as long as it lives, and listens on the
// socket; a later start cannot take the lock, asks the holder over the socket to come to
// the front, is told it is not first, and may then say that it left a file in the settings.
// The kernel drops the lock of a process that died.
class InstanceGuard : public QObject
{
    Q_OBJECT
public:
    InstanceGuard(QString appName, Prompt &prompt, QObject *parent = nullptr);
    ~InstanceGuard() override;

    // "%s:%x:%x:%x:%x": application name, module handle, class style 8, cursor 0, 0.
    // The short form "%s:%x:%x" is used when the program's icon could not be loaded.
    static QString guardName(const QString &appName, quint32 moduleHandle, bool iconLoaded);
    // Our stand-in for the module handle: the user id, which scopes the guard to one user.
    static quint32 moduleHandle();

    bool check(); // true when this process is the first instance
    QString serverName() const;
    QString lockFileName() const; // the socket's path with ".lock"

    // A later start: tells the first that a file waits for it in the settings, and returns
    // once that is sent.
    void announceOffer();

Q_SIGNALS:
    void raiseRequested(); // a later start wants the running instance in front
    void offerWaiting();   // a later start left a file in the settings

private:
    bool tryLock();
    bool listen(const QString &name);
    bool reachFirst(const QString &name, int timeoutMs);
    void take(QLocalSocket *s);

    QString m_appName;
    Prompt &m_prompt;
    int m_lockFd = -1;
    QLocalServer *m_server = nullptr;
    QLocalSocket *m_first = nullptr; // a later start's line to the first
};
