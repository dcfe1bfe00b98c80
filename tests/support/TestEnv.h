#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// A private home for one test: settings, per-user data, the local socket folder and HOME
// all point into a fresh temporary folder, for this process and the processes it starts.
class TestEnv
{
public:
    TestEnv();
    QString root() const { return m_dir.path(); }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QProcessEnvironment processEnvironment() const;

private:
    QTemporaryDir m_dir;
};
