#include "FakeOpener.h"

#include <QDir>
#include <QFile>

FakeOpener::FakeOpener(const QString &folder)
{
    QDir().mkpath(folder);
    m_log = QDir(folder).filePath(QStringLiteral("opened.log"));
    for (const char *name : {"xdg-open", "xdg-email"}) {
        const QString path = QDir(folder).filePath(QString::fromLatin1(name));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) {
            f.write("#!/bin/sh\necho \"$@\" >> '" + QFile::encodeName(m_log) + "'\n");
            f.close();
        }
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    qputenv("PATH", QFile::encodeName(folder) + ':' + qgetenv("PATH"));
}

QStringList FakeOpener::opened() const
{
    QFile f(m_log);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void FakeOpener::clear()
{
    QFile::remove(m_log);
}
