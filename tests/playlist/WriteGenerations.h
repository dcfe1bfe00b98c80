#pragma once
// What write_loop writes in generation g, for it and for the test that checks its files.
#include <QString>
#include <QStringList>

inline QString generationFolder(int g)
{
    return QStringLiteral("/media/generation %1").arg(g);
}

// One to seven entries, so that the files grow and shrink from one generation to the next.
inline QStringList generationFiles(int g)
{
    QStringList files;
    for (int k = 0; k <= g % 7; ++k)
        files << generationFolder(g) + QStringLiteral("/clip %1%2.mpg").arg(k).arg(QString(g % 13, u'x'));
    return files;
}
