// The instance guard alone, for racing many starts: guard_probe GATE prints "ready", waits
// for a shared lock on the file GATE (held by the test until every probe is ready, so that
// all go at once), takes the guard and prints "first" or "later". A later one exits; the
// first serves until its input ends, then prints "raises N" for the raises it was sent.
#include "app/InstanceGuard.h"
#include "app/Prompt.h"

#include <QGuiApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const int gate = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    std::printf("ready\n");
    std::fflush(stdout);
    if (gate < 0 || ::flock(gate, LOCK_SH) != 0)
        return 2;
    ScriptedPrompt prompt;
    InstanceGuard guard(QStringLiteral("kinetrope"), prompt);
    const bool first = guard.check();
    std::printf(first ? "first\n" : "later\n");
    std::fflush(stdout);
    if (!first)
        return prompt.messages.empty() ? 0 : 1;
    int raises = 0;
    QObject::connect(&guard, &InstanceGuard::raiseRequested, [&raises] { ++raises; });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buf[64];
        if (::read(STDIN_FILENO, buf, sizeof buf) <= 0)
            app.quit();
    });
    app.exec();
    std::printf("raises %d\n", raises);
    return 0;
}
