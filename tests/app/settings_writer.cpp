// Writes one integer setting from a separate process: settings_writer KEY VALUE
#include "app/SettingsStore.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    SettingsStore s(QStringLiteral("kinetrope"));
    return s.writeProfileInt(QString::fromLatin1(Key::Section), QString::fromLocal8Bit(argv[1]),
                             QString::fromLocal8Bit(argv[2]).toInt())
               ? 0
               : 1;
}
