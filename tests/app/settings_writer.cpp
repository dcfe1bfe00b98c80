// Writes one integer setting from a separate process: settings_writer KEY VALUE [--keep-time]
// --keep-time gives the new file the old one's modification time, as a replacement within
// one clock tick has.
#include "app/SettingsStore.h"

#include <QCoreApplication>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const bool keepTime = argc == 4 && qstrcmp(argv[3], "--keep-time") == 0;
    if (argc != 3 && !keepTime)
        return 2;
    SettingsStore s(QStringLiteral("kinetrope"));
    const QByteArray path = QFile::encodeName(s.fileName());
    struct stat before;
    if (keepTime && ::stat(path.constData(), &before) != 0)
        return 3;
    if (!s.writeProfileInt(QString::fromLatin1(Key::Section), QString::fromLocal8Bit(argv[1]),
                           QString::fromLocal8Bit(argv[2]).toInt()))
        return 1;
    if (keepTime) {
        const timespec times[2] = {before.st_atim, before.st_mtim};
        if (::utimensat(AT_FDCWD, path.constData(), times, 0) != 0)
            return 3;
    }
    return 0;
}
