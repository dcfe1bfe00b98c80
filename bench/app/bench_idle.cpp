// Idle CPU of the running player, as a share of one core over a fixed window, against an
// idle Qt window of the control window's size and against the same window doing no more
// than the player's timers ask (the floor), in the same run: the player with no file (the
// clock ticking, the title scrolling), and with a file handed over by a second start (shown
// paused, the jog hint scrolling too).
// Run under a display: xvfb-run -a -s "-screen 0 1920x1080x24 +extension GLX" bench_idle [seconds]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <unistd.h>

#include <cstdio>

namespace {

// utime + stime of a process, in seconds.
double cpuSeconds(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = f.readAll();
    // The command name may hold blanks: fields are counted after its closing parenthesis.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    const double ticks = double(::sysconf(_SC_CLK_TCK));
    return (fields[11].toDouble() + fields[12].toDouble()) / ticks;
}

// CPU share of one core used by a running process over `seconds`, after it settled.
double share(QProcess &p, int seconds)
{
    QThread::sleep(3);
    const double before = cpuSeconds(p.processId());
    QElapsedTimer t;
    t.start();
    QThread::sleep(seconds);
    const double after = cpuSeconds(p.processId());
    if (before < 0 || after < 0)
        return -1;
    return 100.0 * (after - before) / (t.elapsed() / 1000.0);
}

void stop(QProcess &p)
{
    p.terminate();
    if (!p.waitForFinished(3000)) {
        p.kill();
        p.waitForFinished(3000);
    }
}

// An idle window of the control window's size; with `timers`, also the periodic work the
// player must do at the least: a 100 ms timer (its clock) and a small text changed every
// 240 ms (its scrolling title), drawn by plain Qt.
int referenceWindow(int argc, char **argv, bool timers)
{
    QApplication app(argc, argv);
    QWidget w;
    w.setWindowFlags(Qt::FramelessWindowHint);
    w.resize(268, 491);
    QLabel title(&w);
    title.setGeometry(12, 460, 244, 24);
    QTimer clock, scroll;
    QString text = QStringLiteral("   Kinetrope V3.33  ");
    if (timers) {
        QObject::connect(&clock, &QTimer::timeout, [] {});
        QObject::connect(&scroll, &QTimer::timeout, [&] {
            text = text.mid(1) + text.left(1);
            title.setText(text);
        });
        clock.start(100);
        scroll.start(240);
    }
    w.show();
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--reference-window") == 0)
        return referenceWindow(argc, argv, false);
    if (argc > 1 && qstrcmp(argv[1], "--reference-timers") == 0)
        return referenceWindow(argc, argv, true);
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 20;
    const QString player = QStringLiteral(KT_PLAYER);
    QTemporaryDir home;
    const QString clip = home.filePath(QStringLiteral("clip.mp4"));
    if (QProcess::execute(QStringLiteral(KT_FFMPEG),
                          {"-loglevel", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=640x360:rate=25:duration=10",
                           "-f", "lavfi", "-i", "sine=frequency=440:duration=10", "-c:v", "libx264", "-pix_fmt",
                           "yuv420p", "-c:a", "aac", "-shortest", clip})
        != 0) {
        std::fprintf(stderr, "ffmpeg failed\n");
        return 1;
    }
    // A private home: the player neither reads nor changes the user's settings.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *var : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
        const QString dir = home.filePath(QString::fromLatin1(var));
        QDir().mkpath(dir);
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        env.insert(QString::fromLatin1(var), dir);
    }
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
    QDir().mkpath(home.filePath(QStringLiteral("XDG_CONFIG_HOME/Ostrevan")));
    QFile conf(home.filePath(QStringLiteral("XDG_CONFIG_HOME/Ostrevan/kinetrope.conf")));
    if (!conf.open(QIODevice::WriteOnly))
        return 1;
    conf.write("[Kinetrope]\nSplashDisable=1\nAutoUpdateNotification=0\n");
    conf.close();

    auto start = [&](QProcess &p, const QString &program, const QStringList &args) {
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(program, args);
        return p.waitForStarted();
    };

    QProcess reference;
    if (!start(reference, QCoreApplication::applicationFilePath(), {"--reference-window"}))
        return 1;
    const double ref = share(reference, seconds);
    stop(reference);
    QProcess timers;
    if (!start(timers, QCoreApplication::applicationFilePath(), {"--reference-timers"}))
        return 1;
    const double floor = share(timers, seconds);
    stop(timers);

    QProcess idle;
    if (!start(idle, player, {}))
        return 1;
    const double noFile = share(idle, seconds);
    // A second start hands its file over; the running player shows it paused.
    QProcess second;
    start(second, player, {clip});
    second.waitForFinished(10000);
    const double paused = share(idle, seconds);
    stop(idle);

    std::printf("idle CPU over %d s, %% of one core\n", seconds);
    std::printf("  reference Qt window %6.3f %%\n", ref);
    std::printf("  the same with a 100 ms timer and a text changed every 240 ms %6.3f %%\n", floor);
    const auto ratio = [floor](double v) { return floor > 0 ? v / floor : 0.0; };
    std::printf("  player, no file     %6.3f %%  (%.2f x the timers alone)\n", noFile, ratio(noFile));
    std::printf("  player, file paused %6.3f %%  (%.2f x the timers alone)\n", paused, ratio(paused));
    return 0;
}
