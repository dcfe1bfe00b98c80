#include "FileCopy.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool copyFileAtomically(const QString &from, const QString &to, QString *error)
{
    const QFileInfo src(from);
    const QFileInfo dst(to);
    if (src.exists() && dst.exists() && src.canonicalFilePath() == dst.canonicalFilePath())
        return true;
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly)) {
        if (error)
            *error = in.errorString();
        return false;
    }
    QSaveFile out(to);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error)
            *error = out.errorString();
        return false;
    }
    QByteArray chunk;
    constexpr qint64 ChunkSize = 1 << 20;
    for (;;) {
        chunk = in.read(ChunkSize);
        if (chunk.isEmpty())
            break;
        if (out.write(chunk) != chunk.size())
            break;
    }
    if (in.error() != QFileDevice::NoError || !in.atEnd() || out.error() != QFileDevice::NoError) {
        if (error)
            *error = in.error() != QFileDevice::NoError ? in.errorString() : out.errorString();
        out.cancelWriting();
        return false;
    }
    if (!out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

bool writeEmptyFile(const QString &path, QString *error)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || !out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}
