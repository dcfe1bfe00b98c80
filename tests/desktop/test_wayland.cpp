#include "BmpWriter.h"
#include "SessionBus.h"
#include "TestEnv.h"
#include "TestMedia.h"
#include "app/SettingsStore.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

namespace {

QString output(const QString &program, const QStringList &args, const QProcessEnvironment &env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The smallest rectangle holding every pixel that passes.
template<typename Pred>
QRect boundingBox(const QImage &image, Pred pass)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (pass(line[x]))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

} // namespace

// A Wayland desktop, as most now are: a headless Weston with XWayland, and the player
// started the way its launcher starts it, with no Qt platform chosen. Through XWayland it
// can place its windows: the control window where the settings say, the video docked.
class TestWayland : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    std::unique_ptr<SessionBus> bus;
    QProcess weston;
    QProcess player;
    QProcessEnvironment session;

    QString playbackStatus()
    {
        const QString name = QStringLiteral("kt-wayland");
        QDBusConnection c = QDBusConnection::connectToBus(bus->address(), name);
        QDBusInterface props(QStringLiteral("org.mpris.MediaPlayer2.kinetrope"), QStringLiteral("/org/mpris/MediaPlayer2"),
                             QStringLiteral("org.freedesktop.DBus.Properties"), c);
        QDBusReply<QVariant> s = props.call(QStringLiteral("Get"), QStringLiteral("org.mpris.MediaPlayer2.Player"),
                                            QStringLiteral("PlaybackStatus"));
        return s.isValid() ? s.value().toString() : QString();
    }

    QImage screenshot()
    {
        const QDir dir(env->path(QStringLiteral("shots")));
        dir.mkpath(QStringLiteral("."));
        for (const QString &old : dir.entryList(QDir::Files))
            QFile::remove(dir.filePath(old));
        QProcess shooter;
        shooter.setProcessEnvironment(session);
        shooter.setWorkingDirectory(dir.path());
        shooter.start(QStringLiteral("weston-screenshooter"), {});
        shooter.waitForFinished(20000);
        const QStringList shots = dir.entryList({QStringLiteral("wayland-screenshot*.png")}, QDir::Files);
        return shots.isEmpty() ? QImage() : QImage(dir.filePath(shots.first())).convertToFormat(QImage::Format_RGB32);
    }

private Q_SLOTS:
    void init()
    {
        for (const char *tool : {"weston", "Xwayland", "weston-screenshooter", "xdotool", "xprop"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is not installed (scripts/install-deps.sh)").arg(QLatin1String(tool))));
        }
        env = std::make_unique<TestEnv>();
        bus = std::make_unique<SessionBus>();
        QVERIFY(bus->start(env->path(QStringLiteral("tmp"))));
    }

    void cleanup()
    {
        for (QProcess *p : {&player, &weston}) {
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                if (!p->waitForFinished(5000)) {
                    p->kill();
                    p->waitForFinished(5000);
                }
            }
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("kt-wayland"));
        bus.reset();
    }

    void windowsOpenWhereTheSettingsSayAndDock()
    {
        // The compositor: no screen, no GPU; screenshots allowed (--debug); XWayland on demand.
        const QString log = env->path(QStringLiteral("tmp/weston.log"));
        const QString socket = QStringLiteral("kt-wayland-%1").arg(QCoreApplication::applicationPid());
        weston.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        weston.start(QStringLiteral("weston"),
                     {"--backend=headless-backend.so", "--use-pixman", "--xwayland", "--debug", "--idle-time=0",
                      "--width=1280", "--height=800", "--socket=" + socket, "--log=" + log});
        QVERIFY(weston.waitForStarted());
        QString display;
        QElapsedTimer t;
        t.start();
        while (display.isEmpty() && t.elapsed() < 20000 && weston.state() == QProcess::Running) {
            QFile f(log);
            if (f.open(QIODevice::ReadOnly)) {
                const auto m = QRegularExpression(QStringLiteral("xserver listening on display (:\\d+)"))
                                   .match(QString::fromUtf8(f.readAll()));
                if (m.hasMatch())
                    display = m.captured(1);
            }
            QTest::qWait(100);
        }
        QVERIFY2(!display.isEmpty(), "Weston started no XWayland");

        // As a desktop session starts programs: Wayland, an X display beside it, no platform.
        session = QProcessEnvironment::systemEnvironment();
        session.remove(QStringLiteral("QT_QPA_PLATFORM"));
        session.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
        session.insert(QStringLiteral("WAYLAND_DISPLAY"), socket);
        session.insert(QStringLiteral("DISPLAY"), display);

        // A cyan control window and a magenta picture, to be found in the screenshot.
        const QString background = env->path(QStringLiteral("home/cyan.bmp"));
        QImage cyan(268, 491, QImage::Format_RGB32);
        cyan.fill(qRgb(0, 255, 255));
        QVERIFY(BmpWriter::write(background, cyan, 24));
        const QString clip = TestMedia::make(QStringLiteral("magenta-320x240.mp4"),
                                             {"-f", "lavfi", "-i", "color=c=0xff00ff:size=320x240:rate=25:duration=3",
                                              "-c:v", "libx264", "-pix_fmt", "yuv444p", "-preset", "veryfast"});
        QVERIFY(!clip.isEmpty());
        const QPoint saved(210, 140);
        SettingsStore s(QStringLiteral("kinetrope"));
        s.write({{Key::SplashDisable, 1}, {Key::AutoUpdateNotification, 0}, {Key::AutoDropPlay, 1},
                 {Key::AutoLoop, 1}, {Key::SquareCorners, 1}, {Key::DockWindow, 1},
                 {Key::WindowLeft, saved.x()}, {Key::WindowTop, saved.y()}, {Key::WindowRight, saved.x() + 268},
                 {Key::WindowBottom, saved.y() + 491}, {Key::BackgroundBMP, background}});

        player.setProcessEnvironment(session);
        player.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        player.start(QStringLiteral(KT_PROGRAM), {clip});
        QTRY_COMPARE_WITH_TIMEOUT(playbackStatus(), QStringLiteral("Playing"), 20000);

        // It runs on the X display XWayland serves, its windows named as the launcher claims.
        QStringList ids;
        QTRY_VERIFY_WITH_TIMEOUT(
            !(ids = output(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--class", KT_WINDOW_CLASS}, session)
                        .split(u'\n', Qt::SkipEmptyParts))
                 .isEmpty(),
            10000);
        const QString wmClass = output(QStringLiteral("xprop"), {"-id", ids.first(), "WM_CLASS"}, session);
        QVERIFY2(wmClass.trimmed().endsWith(QStringLiteral(", \"" KT_WINDOW_CLASS "\"")), qPrintable(wmClass));

        // What the compositor shows, not what the X side believes.
        QRect control, picture;
        auto look = [&] {
            const QImage shot = screenshot();
            if (shot.isNull())
                return false;
            control = boundingBox(shot, [](QRgb p) { return qRed(p) < 30 && qGreen(p) > 225 && qBlue(p) > 225; });
            picture = boundingBox(shot, [](QRgb p) { return qRed(p) > 210 && qGreen(p) < 50 && qBlue(p) > 210; });
            return !control.isEmpty() && picture.width() > 300;
        };
        QTRY_VERIFY_WITH_TIMEOUT(look(), 15000);
        qInfo() << "control window" << control << "picture" << picture;
        auto near = [](int a, int b) { return std::abs(a - b) <= 3; };
        QVERIFY2(near(control.left(), saved.x()) && near(control.top(), saved.y()), "not where the settings say");
        QVERIFY2(near(control.width(), 268) && near(control.height(), 491), "not the control window's size");
        QVERIFY(near(picture.width(), 320) && near(picture.height(), 240));
        // Docked, the picture starts at the control window's right edge, at its top (the video
        // window's one-pixel border aside). Weston's X window manager places an X window once,
        // where it asks to be when it maps, and drops the position of every later configure
        // request (Weston 10): the video window must be in place before it first shows.
        QVERIFY2(near(picture.left(), control.right() + 1) && near(picture.top(), control.top()), "not docked");
    }
};

QTEST_MAIN(TestWayland)
#include "test_wayland.moc"
