// The longest stall of the event loop (gaps of a 10 ms timer) while update checks run against
// a server that trickles a byte every 100 ms and one that sends 50 MiB, against the same loop
// idle, in the same run. The window must keep drawing whatever the server does.
#include "StubHttpServer.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "net/Connectivity.h"
#include "net/UpdateCheck.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

// The largest gap between ticks of a 10 ms timer over `ms`, while `work` runs.
qint64 longestGap(int ms, const std::function<void()> &work)
{
    QElapsedTimer clock, last;
    clock.start();
    last.start();
    qint64 worst = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        worst = std::max(worst, last.restart());
    });
    tick.start(10);
    if (work)
        work();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return worst;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
    SettingsStore store(QStringLiteral("kinetrope-bench"));
    ScriptedPrompt prompt;
    Connectivity connectivity;
    StubHttpServer server;
    store.write(Key::UpdateServerHost, server.hostAndPort());

    const qint64 idle = longestGap(3000, {});
    server.answer("fullversion.txt", {StubHttpServer::Mode::Trickle, 200, {}});
    UpdateCheck trickle(store, prompt, connectivity);
    const qint64 slow = longestGap(3000, [&] { trickle.start(false); });
    server.answer("fullversion.txt", {StubHttpServer::Mode::Body, 200, "332\n" + QByteArray(50 << 20, 'x')});
    server.answer("fullmessage.txt", {StubHttpServer::Mode::Body, 200, "hi"});
    UpdateCheck big(store, prompt, connectivity);
    const qint64 large = longestGap(3000, [&] { big.start(false); });

    std::printf("longest event-loop stall, ms   stall  ratio to idle\n");
    std::printf("  idle                         %5lld\n", static_cast<long long>(idle));
    std::printf("  check on a trickling server  %5lld  %.2f\n", static_cast<long long>(slow), double(slow) / std::max<qint64>(idle, 1));
    std::printf("  check on a 50 MiB answer     %5lld  %.2f\n", static_cast<long long>(large), double(large) / std::max<qint64>(idle, 1));
    return 0;
}
