// The playback engine against mpv's own command-line player on the same file, in the same
// run: time from opening to the first picture drawn, exact-seek latency (median of 50
// random seeks) and the CPU time of 30 s of 1080p H.264 playback, in all and per frame
// drawn. Figures are printed with their ratio ours / mpv. Needs a display with OpenGL
// (xvfb-run with GLX is fine).
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
#include <QLocalSocket>
#include <QPointer>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const QString MpvProgram = QStringLiteral("/usr/bin/mpv");
constexpr int OpenRounds = 5;
constexpr int Seeks = 50;

// One graph on a fresh engine, as the control window would have it.
struct Player {
    explicit Player(SettingsStore &settings, const QString &path)
        : graph(host, settings, std::make_unique<MpvEngine>(QStringList{QStringLiteral("ao=null")}))
    {
        host.graph = &graph;
        host.path = path;
        QObject::connect(&host.timer, &QTimer::timeout, [this] { graph.transport().playbackTick(); });
    }
    VideoView *view() const { return qobject_cast<VideoView *>(graph.picture()); }
    BenchHost host;
    MediaGraph graph;
};

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double cpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

QStringList mpvBaseArgs()
{
    return {"--no-config", "--vo=gpu", "--gpu-sw=yes", "--ao=null", "--hwdec=no", "--osd-level=0",
            "--hr-seek=yes", "--msg-level=all=error,cplayer=v", "--terminal=yes"};
}

// Starts mpv paused on the file; returns once its first frame is on the screen.
bool startMpvPaused(QProcess &p, const QString &clip, const QStringList &extra, double *firstFrameMs)
{
    QElapsedTimer clock;
    clock.start();
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(MpvProgram, mpvBaseArgs() + extra + QStringList{"--pause", "--keep-open=yes", clip});
    QByteArray seen;
    const bool ok = waitUntil(
        [&] {
            seen += p.readAll();
            return seen.contains("first video frame after restart shown") || p.state() == QProcess::NotRunning;
        },
        20000);
    if (firstFrameMs)
        *firstFrameMs = double(clock.nsecsElapsed()) / 1e6;
    return ok && p.state() == QProcess::Running;
}

void stopMpv(QProcess &p)
{
    p.terminate();
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(5000);
    }
}

QString makeClip(const QString &dir)
{
    const QString clip = dir + QStringLiteral("/bench-1080p-h264.mp4");
    if (QFile::exists(clip))
        return clip;
    std::printf("Generating the 1080p clip with ffmpeg...\n");
    std::fflush(stdout);
    QProcess ff;
    ff.start(QStringLiteral(KT_FFMPEG),
             {"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=1920x1080:rate=30:duration=30",
              "-f", "lavfi", "-i", "sine=frequency=440:duration=30", "-c:v", "libx264", "-preset", "veryfast",
              "-g", "60", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest", clip + ".part.mp4"});
    if (!ff.waitForFinished(600000) || ff.exitCode() != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n", ff.readAllStandardError().constData());
        return {};
    }
    QFile::rename(clip + ".part.mp4", clip);
    return clip;
}

void report(const char *what, double ours, double theirs, const char *unit)
{
    std::printf("%-40s ours %9.2f %s   mpv %9.2f %s   ratio %.2f\n", what, ours, unit, theirs, unit,
                theirs > 0 ? ours / theirs : 0.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (!QFile::exists(MpvProgram)) {
        std::fprintf(stderr, "%s is needed as the reference (Debian package mpv)\n", qPrintable(MpvProgram));
        return 1;
    }
    // Our settings go to a scratch folder.
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
    SettingsStore settings(QStringLiteral("bench_playback"));

    const QString mediaDir = QCoreApplication::applicationDirPath() + QStringLiteral("/bench-media");
    QDir().mkpath(mediaDir);
    const QString clip = makeClip(mediaDir);
    if (clip.isEmpty())
        return 1;
    std::printf("Clip: %s (1920x1080, 30 fps, 30 s, H.264 + AAC); audio output: none for both\n\n",
                qPrintable(clip));

    // 1. Open to first picture: a fresh engine and window against a fresh mpv process.
    std::vector<double> oursOpen, mpvOpen;
    for (int round = 0; round < OpenRounds; ++round) {
        {
            QElapsedTimer clock;
            clock.start();
            Player player(settings, clip);
            if (!player.graph.openMedia() || !player.view())
                return 1;
            VideoView *view = player.view();
            if (!waitUntil([&] { return view->framesDrawn() > 0; }, 20000))
                return 1;
            oursOpen.push_back(double(clock.nsecsElapsed()) / 1e6);
            player.graph.closeMedia();
        }
        QProcess p;
        double ms = 0;
        if (!startMpvPaused(p, clip, {}, &ms))
            return 1;
        mpvOpen.push_back(ms);
        stopMpv(p);
    }
    report("open to first picture (median of 5)", median(oursOpen), median(mpvOpen), "ms");

    // 2. Exact seeks while paused: the same 50 random times for both.
    std::vector<double> targets;
    QRandomGenerator random(2024);
    for (int i = 0; i < Seeks; ++i)
        targets.push_back(random.bounded(2900) / 100.0);
    std::vector<double> oursSeek, mpvSeek;
    {
        Player player(settings, clip);
        if (!player.graph.openMedia())
            return 1;
        VideoView *view = player.view();
        waitUntil([&] { return view->framesDrawn() > 0; }, 20000);
        MediaEngine &engine = player.graph.engine();
        for (double t : targets) {
            const quint64 drawn = view->framesDrawn();
            QElapsedTimer clock;
            clock.start();
            engine.seek(t);
            if (!waitUntil([&] { return view->framesDrawn() > drawn; }, 10000))
                std::fprintf(stderr, "no frame after a seek to %.2f\n", t);
            oursSeek.push_back(double(clock.nsecsElapsed()) / 1e6);
        }
        player.graph.closeMedia();
    }
    {
        const QString socketPath = home.filePath(QStringLiteral("mpv.sock"));
        QProcess p;
        if (!startMpvPaused(p, clip, {QStringLiteral("--input-ipc-server=") + socketPath}, nullptr))
            return 1;
        QLocalSocket sock;
        sock.connectToServer(socketPath);
        if (!sock.waitForConnected(5000))
            return 1;
        QByteArray pending;
        for (double t : targets) {
            QElapsedTimer clock;
            clock.start();
            sock.write(QByteArray(R"({"command":["seek",")") + QByteArray::number(t, 'f', 2)
                       + R"(","absolute+exact"]})" + "\n");
            sock.flush();
            // mpv reports the restart once the frame is shown.
            const bool ok = waitUntil(
                [&] {
                    sock.waitForReadyRead(1);
                    pending += sock.readAll();
                    const qsizetype at = pending.indexOf("\"playback-restart\"");
                    if (at < 0)
                        return false;
                    pending = pending.mid(at + 18);
                    return true;
                },
                10000);
            if (!ok)
                std::fprintf(stderr, "mpv: no restart after a seek to %.2f\n", t);
            mpvSeek.push_back(double(clock.nsecsElapsed()) / 1e6);
        }
        stopMpv(p);
    }
    report("exact seek, paused (median of 50)", median(oursSeek), median(mpvSeek), "ms");

    // 3. CPU time of playing the whole clip at normal speed.
    // On a busy machine either player drops frames, and a dropped frame costs less than a
    // drawn one: the CPU time per frame drawn compares the two fairly.
    constexpr int ClipFrames = 900;
    double oursCpu = 0, oursWall = 0;
    int oursDrawn = 0;
    {
        Player player(settings, clip);
        if (!player.graph.openMedia())
            return 1;
        VideoView *view = player.view();
        waitUntil([&] { return view->framesDrawn() > 0; }, 20000);
        const quint64 drawnBefore = view->framesDrawn();
        const double cpu0 = cpuSeconds(RUSAGE_SELF);
        QElapsedTimer clock;
        clock.start();
        player.graph.transport().play();
        waitUntil([&] { return !player.graph.playing(); }, 120000);
        oursWall = double(clock.elapsed()) / 1000.0;
        oursCpu = cpuSeconds(RUSAGE_SELF) - cpu0;
        oursDrawn = int(view->framesDrawn() - drawnBefore);
        std::printf("(ours: %d of %d frames drawn, played in %.1f s)\n", oursDrawn, ClipFrames, oursWall);
        player.graph.closeMedia();
    }
    double mpvCpu = 0, mpvWall = 0;
    int mpvDrawn = 0;
    {
        // Played to its end over the IPC socket, which also gives the frames it dropped.
        const QString socketPath = home.filePath(QStringLiteral("mpv-play.sock"));
        const double cpu0 = cpuSeconds(RUSAGE_CHILDREN);
        QElapsedTimer clock;
        clock.start();
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(MpvProgram, mpvBaseArgs()
                                + QStringList{"--keep-open=yes", QStringLiteral("--input-ipc-server=") + socketPath, clip});
        QLocalSocket sock;
        waitUntil([&] {
            sock.connectToServer(socketPath);
            return sock.waitForConnected(50);
        }, 10000);
        auto ask = [&](const char *property) {
            sock.write(QByteArray(R"({"command":["get_property",")") + property + R"("],"request_id":7})" + "\n");
            sock.flush();
            QByteArray reply;
            waitUntil([&] {
                sock.waitForReadyRead(5);
                reply += sock.readAll();
                return reply.contains("\"request_id\":7");
            }, 5000);
            const qsizetype at = reply.lastIndexOf("\"data\":");
            return at < 0 ? QByteArray() : reply.mid(at + 7, reply.indexOf(',', at) - at - 7);
        };
        waitUntil([&] {
            QThread::msleep(200);
            return ask("eof-reached") == "true";
        }, 120000);
        mpvWall = double(clock.elapsed()) / 1000.0;
        const int dropped = ask("frame-drop-count").toInt() + ask("decoder-frame-drop-count").toInt();
        sock.write(R"({"command":["quit"]})" "\n");
        sock.flush();
        p.waitForFinished(20000);
        mpvCpu = cpuSeconds(RUSAGE_CHILDREN) - cpu0;
        mpvDrawn = ClipFrames - dropped;
        std::printf("(mpv: %d of %d frames drawn, played in %.1f s)\n", mpvDrawn, ClipFrames, mpvWall);
    }
    report("CPU time, 30 s of 1080p H.264", oursCpu, mpvCpu, "s ");
    report("CPU time per frame drawn", oursDrawn > 0 ? 1000 * oursCpu / oursDrawn : 0,
           mpvDrawn > 0 ? 1000 * mpvCpu / mpvDrawn : 0, "ms");
    return 0;
}
