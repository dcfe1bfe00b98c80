// The player against the players people would use instead, mpv's and VLC's command lines,
// on the same files with the same output (the display given, no sound device), in the
// same run, the players taking turns round by round. A first picture is seen the same way
// for every player: on the screen, as the magenta band every bench clip carries at its top.
// Prints each figure as the median with its spread (lower and upper quartile), and one
// machine-readable line per figure for bench/run-all.sh:
//   ROW|figure|unit|ours|ours spread|peer=value/spread;...|goal
// Usage: bench_peers --media DIR [--quick] [--vlc-user NAME] [--only NAME,...]
#include "app/ProcessState.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "BenchHost.h"
#include "playback/MediaGraph.h"
#include "playback/MpvEngine.h"
#include "playback/PlaybackHost.h"
#include "playback/Transport.h"
#include "playback/VideoView.h"
#include "ui/VideoWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QPointer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <sys/resource.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace {

const QString MpvProgram = QStringLiteral("/usr/bin/mpv");
const QString VlcProgram = QStringLiteral("/usr/bin/vlc");

struct Options {
    QString media;
    QString vlcUser;
    bool quick = false;
    QStringList only;
    bool wants(const char *name) const { return only.isEmpty() || only.contains(QLatin1String(name)); }
} opt;

// --- figures ----------------------------------------------------------------------------

struct Stat {
    double median = NAN, spread = NAN;
};

Stat stat(std::vector<double> v)
{
    v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return !std::isfinite(x); }), v.end());
    if (v.empty())
        return {};
    std::sort(v.begin(), v.end());
    const auto at = [&](double q) { return v[size_t(std::lround(q * double(v.size() - 1)))]; };
    return {at(0.5), at(0.75) - at(0.25)};
}

QString num(double v)
{
    if (!std::isfinite(v))
        return QStringLiteral("-");
    const double a = std::fabs(v);
    return QString::number(v, 'f', a >= 100 ? 0 : a >= 10 ? 1 : a >= 1 ? 2 : 3);
}

// One figure: ours, the peers', and the goal in run-all.sh's words ("mpv<=1.05 vlc<=1",
// "<0.3"; "-" for none).
void row(const QString &figure, const char *unit, const Stat &ours, const std::vector<std::pair<QString, Stat>> &peers,
         const char *goal)
{
    QStringList p;
    QString human = QStringLiteral("%1: ours %2 (±%3) %4").arg(figure, num(ours.median), num(ours.spread), unit);
    for (const auto &[name, s] : peers) {
        p << QStringLiteral("%1=%2/%3").arg(name, num(s.median), num(s.spread));
        human += QStringLiteral(", %1 %2 (±%3)").arg(name, num(s.median), num(s.spread));
    }
    std::printf("%s\nROW|%s|%s|%s|%s|%s|%s\n", qPrintable(human), qPrintable(figure), unit,
                qPrintable(num(ours.median)), qPrintable(num(ours.spread)), qPrintable(p.join(';')), goal);
    std::fflush(stdout);
}

// --- the screen -------------------------------------------------------------------------

// Looks at the screen in vertical lines 64 pixels apart; every bench clip's top eighth is
// magenta, a colour neither the player's windows nor the peers' show otherwise.
class Screen
{
public:
    Screen()
    {
        m_c = xcb_connect(nullptr, nullptr);
        const xcb_setup_t *setup = xcb_get_setup(m_c);
        xcb_screen_t *s = xcb_setup_roots_iterator(setup).data;
        m_root = s->root;
        m_w = s->width_in_pixels;
        m_h = s->height_in_pixels;
    }
    ~Screen() { xcb_disconnect(m_c); }

    bool bandShown()
    {
        std::vector<xcb_get_image_cookie_t> cookies;
        for (int x = 8; x < m_w; x += 64)
            cookies.push_back(xcb_get_image(m_c, XCB_IMAGE_FORMAT_Z_PIXMAP, m_root, int16_t(x), 0, 1, m_h, ~0u));
        bool seen = false;
        for (auto cookie : cookies) {
            xcb_get_image_reply_t *r = xcb_get_image_reply(m_c, cookie, nullptr);
            if (!r)
                continue;
            const uint8_t *px = xcb_get_image_data(r);
            const int n = xcb_get_image_data_length(r) / 4;
            int run = 0;
            for (int i = 0; i < n && !seen; ++i) {
                const uint8_t b = px[4 * i], g = px[4 * i + 1], red = px[4 * i + 2];
                run = (red > 170 && b > 170 && g < 90) ? run + 1 : 0;
                seen = run >= 4;
            }
            free(r);
        }
        return seen;
    }

    // Top-level windows that are mapped.
    int mappedWindows()
    {
        xcb_query_tree_reply_t *tree = xcb_query_tree_reply(m_c, xcb_query_tree(m_c, m_root), nullptr);
        if (!tree)
            return 0;
        const xcb_window_t *kids = xcb_query_tree_children(tree);
        const int n = xcb_query_tree_children_length(tree);
        std::vector<xcb_get_window_attributes_cookie_t> cookies;
        for (int i = 0; i < n; ++i)
            cookies.push_back(xcb_get_window_attributes(m_c, kids[i]));
        int mapped = 0;
        for (auto c : cookies) {
            xcb_get_window_attributes_reply_t *a = xcb_get_window_attributes_reply(m_c, c, nullptr);
            if (a && a->map_state == XCB_MAP_STATE_VIEWABLE)
                ++mapped;
            free(a);
        }
        free(tree);
        return mapped;
    }

private:
    xcb_connection_t *m_c;
    xcb_window_t m_root;
    int m_w, m_h;
};

Screen *screen = nullptr;

// Waits, handling events, until cond() holds; the time it first held, in ms from `clock`,
// or NaN. Looks every 3 ms, so that the looking does not take the players' CPU.
double waitFor(const std::function<bool()> &cond, const QElapsedTimer &clock, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        if (cond())
            return double(clock.nsecsElapsed()) / 1e6;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        QThread::usleep(3000);
    }
    return NAN;
}

// Notes the time the band first shows while the caller is blocked in a call of ours that
// runs an event loop of its own (the engine's open).
class BandTimer
{
public:
    explicit BandTimer(const QElapsedTimer &clock) : m_clock(clock)
    {
        m_timer.setInterval(3);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (std::isnan(m_at) && screen->bandShown())
                m_at = double(m_clock.nsecsElapsed()) / 1e6;
        });
        m_timer.start();
    }
    double wait(int timeoutMs)
    {
        waitFor([this] { return !std::isnan(m_at); }, m_clock, timeoutMs);
        return m_at;
    }

private:
    const QElapsedTimer &m_clock;
    QTimer m_timer;
    double m_at = NAN;
};

// --- processes --------------------------------------------------------------------------

double cpuOf(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return NAN;
    const QByteArray line = f.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return NAN;
    return (fields[11].toDouble() + fields[12].toDouble()) / double(::sysconf(_SC_CLK_TCK));
}

double rssMbOf(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return NAN;
    for (const QByteArray &l : f.readAll().split('\n'))
        if (l.startsWith("VmRSS:"))
            return l.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return NAN;
}

double selfCpu()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void finish(QProcess &p)
{
    if (p.state() == QProcess::NotRunning)
        return;
    p.terminate();
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(5000);
    }
}

struct Homes {
    QTemporaryDir dir;
    QProcessEnvironment ours, vlc;
};
Homes *homes = nullptr;

// A private home for our player (its settings, its instance guard) and one for VLC's user.
void makeHomes()
{
    homes = new Homes;
    homes->ours = QProcessEnvironment::systemEnvironment();
    for (const char *var : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR", "XDG_CACHE_HOME"}) {
        const QString d = homes->dir.filePath(QStringLiteral("ours/") + QLatin1String(var));
        QDir().mkpath(d);
        QFile::setPermissions(d, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        homes->ours.insert(QLatin1String(var), d);
    }
    homes->ours.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
    // Every player plays its sound to the same server (bench/run-all.sh starts one with a null
    // sink), as on a desktop; without one each would probe for a device in its own way.
    if (!homes->ours.contains(QStringLiteral("PULSE_SERVER")))
        homes->ours.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("none"));
    const QString conf = homes->ours.value("XDG_CONFIG_HOME") + QStringLiteral("/Ostrevan");
    QDir().mkpath(conf);
    QFile f(conf + QStringLiteral("/kinetrope.conf"));
    if (f.open(QIODevice::WriteOnly))
        f.write("[Kinetrope]\nSplashDisable=1\nAutoUpdateNotification=0\nRememberCoords=0\n");

    homes->vlc = QProcessEnvironment::systemEnvironment();
    const QString vh = QStringLiteral("/tmp/kt-bench-vlc-home");
    QDir().mkpath(vh);
    if (!opt.vlcUser.isEmpty())
        QProcess::execute(QStringLiteral("chown"), {QStringLiteral("-R"), opt.vlcUser, vh});
    homes->vlc.insert(QStringLiteral("HOME"), vh);
    homes->vlc.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    homes->vlc.remove(QStringLiteral("XDG_CONFIG_HOME"));
    homes->vlc.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
}

bool soundServer()
{
    return qEnvironmentVariableIsSet("PULSE_SERVER");
}

QStringList mpvArgs()
{
    return {"--no-config", "--vo=gpu", "--gpu-sw=yes", soundServer() ? "--ao=pulse" : "--ao=null", "--hwdec=no", "--osd-level=0",
            "--hr-seek=yes", "--keep-open=yes", "--msg-level=all=no", "--no-terminal"};
}

enum class Vout { Default, X11 };

// VLC as an unprivileged user: it will not run as root.
void startVlc(QProcess &p, const QStringList &args, Vout vout = Vout::Default)
{
    QStringList a{"-I", "dummy", "--no-video-title-show", "--no-osd", soundServer() ? "--aout=pulse" : "--aout=adummy", "--no-qt-privacy-ask",
                  "--no-metadata-network-access", "--no-dbus"};
    if (vout == Vout::X11)
        a << "--vout=xcb_x11";
    a += args;
    p.setProcessEnvironment(homes->vlc);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    if (opt.vlcUser.isEmpty()) {
        p.start(VlcProgram, a);
    } else {
        p.start(QStringLiteral("/usr/bin/setpriv"),
                QStringList{"--reuid", opt.vlcUser, "--regid", opt.vlcUser, "--clear-groups", VlcProgram} + a);
    }
    p.waitForStarted();
}

void startMpv(QProcess &p, const QStringList &args)
{
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(MpvProgram, mpvArgs() + args);
    p.waitForStarted();
}

void startOurs(QProcess &p, const QStringList &args)
{
    p.setProcessEnvironment(homes->ours);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(QStringLiteral(KT_PLAYER), args);
    p.waitForStarted();
}

// A line-based JSON client for mpv's IPC socket.
class MpvIpc
{
public:
    bool connect(const QString &path)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000) {
            m_sock.connectToServer(path);
            if (m_sock.waitForConnected(100))
                return true;
            QThread::msleep(20);
        }
        return false;
    }
    void send(const QByteArray &json)
    {
        m_sock.write(json + "\n");
        m_sock.flush();
    }
    // Waits for a line holding `needle`; lines before it are dropped.
    bool waitLine(const QByteArray &needle, int timeoutMs, QByteArray *line = nullptr)
    {
        QElapsedTimer t;
        t.start();
        for (;;) {
            qsizetype nl;
            while ((nl = m_buf.indexOf('\n')) >= 0) {
                const QByteArray l = m_buf.left(nl);
                m_buf.remove(0, nl + 1);
                if (l.contains(needle)) {
                    if (line)
                        *line = l;
                    return true;
                }
            }
            if (t.elapsed() > timeoutMs)
                return false;
            m_sock.waitForReadyRead(2);
            m_buf += m_sock.readAll();
        }
    }
    double property(const char *name)
    {
        static int id = 100;
        const QByteArray rid = QByteArray::number(++id);
        send(QByteArray(R"({"command":["get_property",")") + name + R"("],"request_id":)" + rid + "}");
        QByteArray l;
        if (!waitLine("\"request_id\":" + rid, 5000, &l))
            return NAN;
        const QJsonValue v = QJsonDocument::fromJson(l).object().value(QStringLiteral("data"));
        return v.isBool() ? double(v.toBool()) : v.toDouble(NAN);
    }
    void drop()
    {
        m_sock.waitForReadyRead(1);
        m_sock.readAll();
        m_buf.clear();
    }

private:
    QLocalSocket m_sock;
    QByteArray m_buf;
};

// VLC's remote-control interface: its frame counters.
class VlcRc
{
public:
    bool connect(const QString &path)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 10000) {
            m_sock.connectToServer(path);
            if (m_sock.waitForConnected(100))
                return true;
            QThread::msleep(20);
        }
        return false;
    }
    void send(const char *command)
    {
        m_sock.write(QByteArray(command) + "\n");
        m_sock.flush();
        m_sock.waitForBytesWritten(1000);
    }
    // Frames drawn so far: decoded less lost (VLC 3 leaves its "frames displayed" at 0).
    std::pair<double, double> frames()
    {
        m_sock.readAll();
        m_sock.write("stats\n");
        m_sock.flush();
        QByteArray out;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 3000 && !out.contains("frames lost")) {
            m_sock.waitForReadyRead(20);
            out += m_sock.readAll();
        }
        QThread::msleep(50);
        out += m_sock.readAll();
        const auto value = [&](const char *key) {
            const qsizetype at = out.indexOf(key);
            if (at < 0)
                return double(NAN);
            const qsizetype colon = out.indexOf(':', at);
            return out.mid(colon + 1, out.indexOf('\n', colon) - colon - 1).trimmed().toDouble();
        };
        return {value("video decoded") - value("frames lost"), value("frames lost")};
    }

private:
    QLocalSocket m_sock;
};

QStringList vlcRcArgs(const QString &sock)
{
    return {"--extraintf=oldrc", "--rc-unix=" + sock, "--rc-fake-tty"};
}

// --- our engine inside this process -----------------------------------------------------

struct Player {
    Player(SettingsStore &settings, const QString &file)
        : graph(host, settings, std::make_unique<MpvEngine>(QStringList{soundServer() ? QStringLiteral("ao=pulse") : QStringLiteral("ao=null")}))
    {
        host.graph = &graph;
        host.path = file;
        QObject::connect(&host.timer, &QTimer::timeout, [this] { graph.transport().playbackTick(); });
    }
    VideoView *view() const { return qobject_cast<VideoView *>(graph.picture()); }
    bool waitDrawn(quint64 before, int timeoutMs)
    {
        QElapsedTimer c;
        c.start();
        return !std::isnan(waitFor([&] { return view() && view()->framesDrawn() > before; }, c, timeoutMs));
    }
    BenchHost host;
    MediaGraph graph;
};

SettingsStore *settings = nullptr;

// --- the figures ------------------------------------------------------------------------

struct Clip {
    const char *label;
    QString path;
};

QString media(const char *name)
{
    return opt.media + QLatin1Char('/') + QLatin1String(name);
}

void waitBandGone()
{
    QElapsedTimer c;
    c.start();
    waitFor([] { return !screen->bandShown(); }, c, 10000);
}

// Process start to the band on the screen, for each player in turn.
void firstPictureFromStart(const std::vector<Clip> &clips, int rounds)
{
    for (const Clip &clip : clips) {
        std::vector<double> ours, mpv, vlc;
        for (int r = 0; r < rounds; ++r) {
            for (int who = 0; who < 3; ++who) {
                waitBandGone();
                QProcess p;
                QElapsedTimer clock;
                clock.start();
                if (who == 0)
                    startOurs(p, {clip.path});
                else if (who == 1)
                    startMpv(p, {clip.path});
                else
                    startVlc(p, {clip.path});
                const double ms = waitFor([] { return screen->bandShown(); }, clock, 20000);
                (who == 0 ? ours : who == 1 ? mpv : vlc).push_back(ms);
                finish(p);
            }
        }
        row(QStringLiteral("first picture from start, %1").arg(QLatin1String(clip.label)), "ms", stat(ours),
            {{"mpv", stat(mpv)}, {"vlc", stat(vlc)}}, "mpv<=1 vlc<=1");
    }
}

// An open inside a running player: ours in this process, mpv's loadfile over its socket.
void firstPictureRunning(const std::vector<Clip> &clips, int rounds, const QString &sockDir)
{
    Player player(*settings, clips.front().path);
    QProcess mpvProc;
    const QString sock = sockDir + QStringLiteral("/mpv-idle.sock");
    startMpv(mpvProc, {"--idle=yes", "--force-window=yes", "--pause", "--input-ipc-server=" + sock});
    MpvIpc mpv;
    if (!mpv.connect(sock)) {
        std::fprintf(stderr, "mpv's socket did not open\n");
        return;
    }
    for (const Clip &clip : clips) {
        std::vector<double> ours, theirs;
        for (int r = 0; r < rounds; ++r) {
            {
                waitBandGone();
                player.host.path = clip.path;
                QElapsedTimer clock;
                clock.start();
                BandTimer band(clock);
                const bool ok = player.graph.openMedia();
                ours.push_back(ok ? band.wait(20000) : NAN);
                player.graph.closeMedia();
                if (player.host.window)
                    player.host.window->hide();
            }
            {
                waitBandGone();
                QElapsedTimer clock;
                clock.start();
                mpv.send(R"({"command":["loadfile",")" + clip.path.toUtf8() + R"(","replace"]})");
                theirs.push_back(waitFor([] { return screen->bandShown(); }, clock, 20000));
                mpv.send(R"({"command":["stop"]})");
            }
        }
        row(QStringLiteral("first picture in a running player, %1").arg(QLatin1String(clip.label)), "ms", stat(ours),
            {{"mpv", stat(theirs)}}, "mpv<=1");
    }
    mpv.send(R"({"command":["quit"]})");
    mpvProc.waitForFinished(5000);
    finish(mpvProc);
}

// Exact seeks and frame steps while paused: until the frame is drawn (ours), until mpv
// reports the restart or the new position (mpv).
void seeksAndSteps(const QString &clip, int count, const QString &sockDir)
{
    std::vector<double> targets;
    QRandomGenerator random(2024);
    for (int i = 0; i < count; ++i)
        targets.push_back(random.bounded(2800) / 100.0);
    std::vector<double> oursSeek, oursFwd, oursBack;
    {
        Player player(*settings, clip);
        if (!player.graph.openMedia())
            return;
        player.waitDrawn(0, 20000);
        MediaEngine &engine = player.graph.engine();
        const auto timed = [&](const std::function<void()> &act, std::vector<double> &into) {
            const quint64 drawn = player.view()->framesDrawn();
            QElapsedTimer c;
            c.start();
            act();
            into.push_back(player.waitDrawn(drawn, 10000) ? double(c.nsecsElapsed()) / 1e6 : NAN);
        };
        for (double t : targets)
            timed([&] { engine.seek(t); }, oursSeek);
        engine.seek(10.0);
        player.waitDrawn(player.view()->framesDrawn(), 2000);
        for (int i = 0; i < count; ++i)
            timed([&] { player.graph.transport().frameAdvance(); }, oursFwd);
        for (int i = 0; i < count; ++i)
            timed([&] { player.graph.transport().frameReverse(); }, oursBack);
        player.graph.closeMedia();
    }
    std::vector<double> mpvSeek, mpvFwd, mpvBack;
    {
        QProcess p;
        const QString sock = sockDir + QStringLiteral("/mpv-seek.sock");
        startMpv(p, {"--pause", "--input-ipc-server=" + sock, clip});
        MpvIpc mpv;
        if (!mpv.connect(sock))
            return;
        mpv.property("pause");
        QThread::msleep(500);
        mpv.send(R"({"command":["observe_property",1,"time-pos"]})");
        mpv.drop();
        const auto timed = [&](const QByteArray &cmd, const QByteArray &done, std::vector<double> &into) {
            mpv.drop();
            QElapsedTimer c;
            c.start();
            mpv.send(cmd);
            into.push_back(mpv.waitLine(done, 10000) ? double(c.nsecsElapsed()) / 1e6 : NAN);
        };
        for (double t : targets)
            timed(R"({"command":["seek",")" + QByteArray::number(t, 'f', 2) + R"(","absolute+exact"]})",
                  "\"playback-restart\"", mpvSeek);
        timed(R"({"command":["seek","10","absolute+exact"]})", "\"playback-restart\"", mpvSeek);
        mpvSeek.pop_back();
        QThread::msleep(200);
        for (int i = 0; i < count; ++i)
            timed(R"({"command":["frame-step"]})", "\"name\":\"time-pos\"", mpvFwd);
        for (int i = 0; i < count; ++i)
            timed(R"({"command":["frame-back-step"]})", "\"name\":\"time-pos\"", mpvBack);
        mpv.send(R"({"command":["quit"]})");
        p.waitForFinished(5000);
        finish(p);
    }
    row(QStringLiteral("exact seek, paused (%1 random)").arg(count), "ms", stat(oursSeek), {{"mpv", stat(mpvSeek)}},
        "mpv<=1");
    row(QStringLiteral("frame step forward (%1)").arg(count), "ms", stat(oursFwd), {{"mpv", stat(mpvFwd)}},
        "mpv<=1.05");
    row(QStringLiteral("frame step back (%1)").arg(count), "ms", stat(oursBack), {{"mpv", stat(mpvBack)}},
        "mpv<=1.05");
}

struct Usage {
    double cpu = NAN, drawn = NAN;
};

// CPU seconds and frames drawn over `seconds` of playback from the first picture on.
Usage oursPlaying(const QString &clip, double seconds)
{
    Player player(*settings, clip);
    if (!player.graph.openMedia() || !player.waitDrawn(0, 20000))
        return {};
    QThread::msleep(300);
    const quint64 d0 = player.view()->framesDrawn();
    const double c0 = selfCpu();
    QElapsedTimer clock;
    clock.start();
    player.graph.transport().play();
    // An event loop that sleeps between events: polling here would be counted as ours.
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    Usage u{selfCpu() - c0, double(player.view()->framesDrawn() - d0)};
    player.graph.closeMedia();
    return u;
}

Usage mpvPlaying(const QString &clip, double seconds, const QString &sockDir, const QString &vo = {})
{
    QProcess p;
    const QString sock = sockDir + QStringLiteral("/mpv-play.sock");
    QStringList args{"--pause", "--input-ipc-server=" + sock, clip};
    if (!vo.isEmpty())
        args.prepend(QStringLiteral("--vo=") + vo);
    startMpv(p, args);
    MpvIpc mpv;
    if (!mpv.connect(sock))
        return {};
    QElapsedTimer c;
    c.start();
    waitFor([] { return screen->bandShown(); }, c, 20000);
    QThread::msleep(300);
    const auto shown = [&] {
        return mpv.property("estimated-frame-number") - mpv.property("frame-drop-count")
               - mpv.property("decoder-frame-drop-count");
    };
    const double d0 = shown();
    const double c0 = cpuOf(p.processId());
    mpv.send(R"({"command":["set_property","pause",false]})");
    QThread::msleep(qint64(seconds * 1000));
    const double c1 = cpuOf(p.processId());
    const Usage u{c1 - c0, shown() - d0};
    mpv.send(R"({"command":["quit"]})");
    p.waitForFinished(5000);
    finish(p);
    return u;
}

Usage vlcPlaying(const QString &clip, double seconds, double fps, Vout vout)
{
    QProcess p;
    const QString sock = QStringLiteral("/tmp/kt-bench-vlc-home/play-rc.sock");
    QFile::remove(sock);
    // VLC shows no picture when started paused: it starts playing, and is counted from then.
    startVlc(p, vlcRcArgs(sock) + QStringList{clip}, vout);
    VlcRc rc;
    if (!rc.connect(sock)) {
        finish(p);
        return {};
    }
    QElapsedTimer c;
    c.start();
    waitFor([] { return screen->bandShown(); }, c, 20000);
    QThread::msleep(300);
    const auto f0 = rc.frames();
    const double c0 = cpuOf(p.processId());
    QThread::msleep(qint64(seconds * 1000));
    const double c1 = cpuOf(p.processId());
    const auto f1 = rc.frames();
    finish(p);
    // VLC 3's decoded count runs ahead of the frames shown: at most the clip's frame rate.
    return {c1 - c0, std::min(f1.first - f0.first, std::floor(seconds * fps))};
}

void playbackCpu(const QString &clip, const char *label, double seconds, double fps, int rounds,
                 const QString &sockDir, bool withX11Peers)
{
    std::vector<double> cpu[5], per[5];
    const auto add = [&](int who, Usage u) {
        cpu[who].push_back(100.0 * u.cpu / seconds);
        per[who].push_back(u.drawn > 0 ? 1000.0 * u.cpu / u.drawn : NAN);
        std::printf("  (%s: %.1f %% of a core, %.0f frames drawn)\n",
                    who == 0 ? "ours" : who == 1 ? "mpv" : who == 2 ? "vlc" : who == 3 ? "mpv-x11" : "vlc-x11",
                    100.0 * u.cpu / seconds, u.drawn);
        std::fflush(stdout);
    };
    for (int r = 0; r < rounds; ++r) {
        add(0, oursPlaying(clip, seconds));
        add(1, mpvPlaying(clip, seconds, sockDir));
        add(2, vlcPlaying(clip, seconds, fps, Vout::Default));
        if (withX11Peers) {
            add(3, mpvPlaying(clip, seconds, sockDir, QStringLiteral("x11")));
            add(4, vlcPlaying(clip, seconds, fps, Vout::X11));
        }
    }
    std::vector<std::pair<QString, Stat>> peersCpu{{"mpv", stat(cpu[1])}, {"vlc", stat(cpu[2])}};
    std::vector<std::pair<QString, Stat>> peersPer{{"mpv", stat(per[1])}, {"vlc", stat(per[2])}};
    if (withX11Peers) {
        peersCpu.push_back({"mpv-x11", stat(cpu[3])});
        peersCpu.push_back({"vlc-x11", stat(cpu[4])});
        peersPer.push_back({"mpv-x11", stat(per[3])});
        peersPer.push_back({"vlc-x11", stat(per[4])});
    }
    const char *goal = withX11Peers ? "mpv<=1.05 vlc<=1 vlc-x11<=1" : "mpv<=1.05 vlc<=1";
    row(QStringLiteral("CPU, %1 s of %2").arg(seconds).arg(QLatin1String(label)), "% core", stat(cpu[0]), peersCpu,
        goal);
    row(QStringLiteral("CPU per frame drawn, %1").arg(QLatin1String(label)), "ms", stat(per[0]), peersPer, goal);
}

// Resident memory 10 s into playback of an SD file, whole processes.
void residentMemory(const QString &clip, int rounds)
{
    std::vector<double> mb[3];
    for (int r = 0; r < rounds; ++r) {
        for (int who = 0; who < 3; ++who) {
            waitBandGone();
            QProcess p;
            QElapsedTimer clock;
            clock.start();
            if (who == 0)
                startOurs(p, {clip});
            else if (who == 1)
                startMpv(p, {clip});
            else
                startVlc(p, {clip});
            waitFor([] { return screen->bandShown(); }, clock, 20000);
            QThread::sleep(10);
            mb[who].push_back(rssMbOf(p.processId()));
            finish(p);
        }
    }
    row(QStringLiteral("resident memory after 10 s of SD"), "MB", stat(mb[0]),
        {{"mpv", stat(mb[1])}, {"vlc", stat(mb[2])}}, "mpv<=1.05 vlc<=1");
}

double shareOver(QProcess &p, int seconds)
{
    QThread::sleep(2);
    const double c0 = cpuOf(p.processId());
    QElapsedTimer t;
    t.start();
    QThread::sleep(seconds);
    return 100.0 * (cpuOf(p.processId()) - c0) / (double(t.elapsed()) / 1000.0);
}

// Idle CPU: no file, and a file paused; the floor is a plain Qt window of the same size.
void idleCpu(const QString &clip, int seconds, int rounds)
{
    std::vector<double> floor, oursNone, oursPaused, mpvNone, mpvPaused, vlcPaused;
    for (int r = 0; r < rounds; ++r) {
        {
            QProcess p;
            p.start(QCoreApplication::applicationFilePath(), {"--plain-window"});
            p.waitForStarted();
            floor.push_back(shareOver(p, seconds));
            finish(p);
        }
        {
            QProcess p;
            startOurs(p, {});
            oursNone.push_back(shareOver(p, seconds));
            // A second start hands its file over; the running player shows it paused.
            QProcess second;
            startOurs(second, {clip});
            second.waitForFinished(10000);
            oursPaused.push_back(shareOver(p, seconds));
            finish(p);
        }
        {
            QProcess p;
            startMpv(p, {"--idle=yes", "--force-window=yes"});
            mpvNone.push_back(shareOver(p, seconds));
            finish(p);
        }
        {
            QProcess p;
            startMpv(p, {"--pause", clip});
            mpvPaused.push_back(shareOver(p, seconds));
            finish(p);
        }
        {
            QProcess p;
            const QString sock = QStringLiteral("/tmp/kt-bench-vlc-home/idle-rc.sock");
            QFile::remove(sock);
            startVlc(p, vlcRcArgs(sock) + QStringList{clip});
            VlcRc rc;
            QElapsedTimer c;
            c.start();
            if (rc.connect(sock) && !std::isnan(waitFor([] { return screen->bandShown(); }, c, 20000))) {
                rc.send("pause");
                vlcPaused.push_back(shareOver(p, seconds));
            }
            finish(p);
        }
    }
    row(QStringLiteral("idle CPU, no file"), "% core", stat(oursNone), {{"mpv", stat(mpvNone)}, {"qt", stat(floor)}},
        "<0.3");
    row(QStringLiteral("idle CPU, file paused"), "% core", stat(oursPaused),
        {{"mpv", stat(mpvPaused)}, {"vlc", stat(vlcPaused)}, {"qt", stat(floor)}}, "<0.3");
}

// Process start to the control window mapped on the screen, against a plain Qt window.
void startUp(int rounds)
{
    std::vector<double> ours, qt;
    for (int r = 0; r < rounds; ++r) {
        for (int who = 0; who < 2; ++who) {
            const int before = screen->mappedWindows();
            QProcess p;
            QElapsedTimer clock;
            clock.start();
            if (who == 0)
                startOurs(p, {});
            else
                p.start(QCoreApplication::applicationFilePath(), {"--plain-window"});
            (who == 0 ? ours : qt).push_back(waitFor([&] { return screen->mappedWindows() > before; }, clock, 20000));
            finish(p);
            QThread::msleep(200);
        }
    }
    row(QStringLiteral("start-up to the control window shown"), "ms", stat(ours), {{"qt", stat(qt)}}, "-");
}

int plainWindow(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget w;
    w.setWindowFlags(Qt::FramelessWindowHint);
    w.resize(268, 491);
    w.show();
    return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--plain-window") == 0)
        return plainWindow(argc, argv);
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--quick"))
            opt.quick = true;
        else if (args[i] == QLatin1String("--media") && i + 1 < args.size())
            opt.media = args[++i];
        else if (args[i] == QLatin1String("--vlc-user") && i + 1 < args.size())
            opt.vlcUser = args[++i];
        else if (args[i] == QLatin1String("--only") && i + 1 < args.size())
            opt.only = args[++i].split(QLatin1Char(','));
    }
    if (opt.media.isEmpty() || !QFile::exists(MpvProgram) || !QFile::exists(VlcProgram)) {
        std::fprintf(stderr, "usage: bench_peers --media DIR [--quick] [--vlc-user NAME] [--only LIST]\n"
                             "needs %s and %s\n",
                     qPrintable(MpvProgram), qPrintable(VlcProgram));
        return 2;
    }
    Screen s;
    screen = &s;
    makeHomes();
    QTemporaryDir scratch;
    qputenv("XDG_CONFIG_HOME", scratch.filePath(QStringLiteral("config")).toLocal8Bit());
    SettingsStore store(QStringLiteral("bench_peers"));
    settings = &store;
    const QString sockDir = scratch.path();

    const std::vector<Clip> clips{{"SD MPEG-1", media("sd-mpeg1.mpg")},
                                  {"1080p H.264", media("hd-h264.mp4")},
                                  {"VideoCD .DAT", media("vcd/MPEGAV/AVSEQ01.DAT")}};
    const int rounds = opt.quick ? 2 : 7;
    if (opt.wants("start"))
        firstPictureFromStart(clips, rounds);
    if (opt.wants("running"))
        firstPictureRunning(clips, rounds, sockDir);
    if (opt.wants("seek"))
        seeksAndSteps(media("hd-h264.mp4"), opt.quick ? 10 : 50, sockDir);
    if (opt.wants("cpu"))
        playbackCpu(media("hd-h264.mp4"), "1080p H.264", opt.quick ? 10 : 30, 30.0, opt.quick ? 1 : 3, sockDir, false);
    if (opt.wants("cpusd"))
        playbackCpu(media("sd-h264.mp4"), "SD H.264", opt.quick ? 8 : 15, 30000.0 / 1001, opt.quick ? 1 : 2, sockDir, true);
    if (opt.wants("rss"))
        residentMemory(media("sd-h264.mp4"), opt.quick ? 1 : 3);
    if (opt.wants("idle"))
        idleCpu(media("sd-h264.mp4"), opt.quick ? 4 : 15, opt.quick ? 1 : 2);
    if (opt.wants("startup"))
        startUp(opt.quick ? 3 : 9);
    delete homes;
    return 0;
}
