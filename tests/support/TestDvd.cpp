#include "TestDvd.h"
#include "TestMedia.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QUuid>

namespace TestDvd {

QString volume()
{
    const QString out = TestMedia::dir() + QStringLiteral("/dvd");
    if (QFile::exists(out + QStringLiteral("/VIDEO_TS/VIDEO_TS.IFO")))
        return out;
    const QString tmp = TestMedia::dir() + "/.dvd-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QProcess p;
    p.start(QStringLiteral(KT_AUTHOR_DVD), {tmp, QStringLiteral("8")});
    if (!p.waitForFinished(180000) || p.exitCode() != 0) {
        qWarning("authoring the DVD failed: %s", p.readAllStandardError().constData());
        QDir(tmp).removeRecursively();
        return {};
    }
    if (!QDir().rename(tmp, out)) // another test made it first
        QDir(tmp).removeRecursively();
    return out;
}

QString damagedCopy(const QString &name, const QStringList &zeroed)
{
    const QString source = volume();
    const QString out = TestMedia::dir() + '/' + name;
    QDir(out).removeRecursively();
    QDir().mkpath(out + QStringLiteral("/VIDEO_TS"));
    for (const QString &f : QDir(source + QStringLiteral("/VIDEO_TS")).entryList(QDir::Files)) {
        const QString from = source + "/VIDEO_TS/" + f, to = out + "/VIDEO_TS/" + f;
        if (zeroed.contains(f)) {
            QFile file(to);
            if (file.open(QIODevice::WriteOnly))
                file.write(QByteArray(int(QFile(from).size()), '\0'));
        } else {
            QFile::copy(from, to);
        }
    }
    return out;
}

} // namespace TestDvd
