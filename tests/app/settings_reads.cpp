// Cost of settings reads when nothing changed, as the idle player's hand-off poll does them:
//   settings_reads [count]    wall time of `count` reads (default 10000)
//   valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*readMany*' settings_reads
// counts only the reads' instructions.
#include "app/SettingsStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// The shape of a real profile: the program's section with a few dozen keys.
void fillProfile(SettingsStore &s)
{
    for (const IntKey *k : Key::PreferenceKeys)
        s.write(*k, k->def);
    for (const char *name : Key::ButtonImageKeys)
        s.writeProfileString(QString::fromLatin1(Key::Section), QString::fromLatin1(name), QString());
    s.write(Key::MultipleInstanceRunTimeFlag, 0);
    s.write(Key::MultipleInstanceRunTimeStr, QString());
}

__attribute__((noinline)) long readMany(const SettingsStore &s, int count)
{
    // Half and half, as a poll reads the flag and the path.
    long sum = 0;
    for (int i = 0; i < count; ++i)
        sum += i % 2 ? s.read(Key::MultipleInstanceRunTimeStr).size() : s.read(Key::MultipleInstanceRunTimeFlag);
    return sum;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    SettingsStore s(QStringLiteral("kinetrope"));
    fillProfile(s);
    readMany(s, 10); // first parse outside the figures
    QElapsedTimer t;
    t.start();
    const long sum = readMany(s, count);
    const qint64 ns = t.nsecsElapsed();
    std::printf("%d reads: %.1f ms, %.2f us a read (%ld)\n", count, ns / 1e6, ns / 1e3 / count, sum);
    return 0;
}
