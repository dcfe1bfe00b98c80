#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class Prompt;

// One running instance per user: the first start listens on a local socket named from the
// guard name; a later start finds it, asks it to come to the front and is told it is not first.
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

Q_SIGNALS:
    void raiseRequested(); // a later start wants the running instance in front

private:
    QString m_appName;
    Prompt &m_prompt;
    QLocalServer *m_server = nullptr;
};
