// The command line from anywhere: NUL-separated arguments -> the file to open.
#include "FuzzReplay.h"

#include "app/PlayerApp.h"

#include <QStringList>

#include <algorithm>

QList<QByteArray> fuzzSeeds()
{
    return {QByteArray("kinetrope\0/home/u/a film.mpg", 28), QByteArray("kinetrope\0\"C:\\x y.avi\"", 23),
            QByteArray("kinetrope\0\"", 11), QByteArray("kinetrope\0--export-skin\0/tmp/s", 30),
            QByteArray("kinetrope", 9), QByteArray("kinetrope\0\"\"\0x", 14)};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList args;
    for (const QByteArray &a : bytes.split('\0'))
        args << QString::fromLocal8Bit(a);
    const QString path = PlayerApp::commandLinePath(args);
    if (args.size() < 2)
        FUZZ_CHECK(path.isEmpty());
    qsizetype longest = 0;
    for (const QString &a : args.mid(1))
        longest = std::max(longest, a.size());
    // Quotes go and escapes decode: the path is never longer than the argument it came from.
    FUZZ_CHECK(path.size() <= longest);
    return 0;
}
