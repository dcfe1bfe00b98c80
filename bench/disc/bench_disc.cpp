// VideoCD play against the same files played as ordinary files, in the same run and the same
// control window: the VCD button to the first picture of track 01 against opening that track
// through the open dialog, and the end of track n to the first picture of track n + 1 against
// the end of the first entry of a two-entry playlist. Medians, printed with their ratio
// disc / file. Run under a display with OpenGL:
//   xvfb-run -a -s "-screen 0 1920x1080x24 +extension GLX" bench/disc/bench_disc
#include "TestEnv.h"
#include "VideoCdMedia.h"
#include "app/ProcessState.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "disc/VideoCdSearch.h"
#include "playback/MediaGraph.h"
#include "playback/Transport.h"
#include "playback/VideoView.h"
#include "playlist/PlayList.h"
#include "ui/ControlWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int Rounds = 15;

bool waitUntil(const std::function<bool()> &done, int timeoutMs = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Milliseconds from the start of the action to the first picture drawn of a new file.
double toFirstPicture(ControlWindow &w, const std::function<void()> &action)
{
    const QWidget *before = w.graph().picture();
    const quint64 drawnBefore = before ? qobject_cast<const VideoView *>(before)->framesDrawn() : 0;
    QElapsedTimer clock;
    clock.start();
    action();
    const double syncMs = double(clock.nsecsElapsed()) / 1e6;
    const bool drawn = waitUntil([&] {
        auto *view = qobject_cast<const VideoView *>(w.graph().picture());
        // A new file draws into a new view, or into the same one once more.
        return view && w.graph().loaded() && (view != before || view->framesDrawn() > drawnBefore)
               && view->framesDrawn() > 0;
    });
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    if (qEnvironmentVariableIsSet("KT_BENCH_VERBOSE"))
        std::printf("  %.1f ms in the call, %.1f ms in all\n", syncMs, ms);
    return drawn ? ms : -1;
}

// Also as a row of bench/run-all.sh's table, against its reference, with its goal.
void report(const char *what, const char *reference, const std::vector<double> &disc, const std::vector<double> &file)
{
    const double d = median(disc), f = median(file);
    std::printf("%-44s disc %8.1f ms   file %8.1f ms   ratio %.2f\n", what, d, f, f > 0 ? d / f : 0.0);
    std::printf("ROW|%s|ms|%.1f|-|%s=%.1f/-|%s<=1.1\n", what, d, reference, f, reference);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestEnv env;
    const QString track = VideoCdMedia::vcdTrack(3);
    if (track.isEmpty())
        return 1;
    const QString disc = env.path(QStringLiteral("disc"));
    for (const char *name : {"AVSEQ01.DAT", "AVSEQ02.DAT"}) {
        QDir().mkpath(disc + QStringLiteral("/MPEGAV"));
        if (!QFile::copy(track, disc + QStringLiteral("/MPEGAV/") + QLatin1String(name)))
            return 1;
    }
    const QString first = disc + QStringLiteral("/MPEGAV/AVSEQ01.DAT");
    const QString second = disc + QStringLiteral("/MPEGAV/AVSEQ02.DAT");
    // An empty folder first, as a drive without a disc would be.
    QDir().mkpath(env.path(QStringLiteral("empty")));
    qputenv("KINETROPE_OPTICAL_ROOTS", (env.path(QStringLiteral("empty")) + u':' + disc).toLocal8Bit());

    SettingsStore store(QStringLiteral("kinetrope"));
    store.write(Key::SplashDisable, 1);
    store.write(Key::AutoUpdateNotification, 0);
    store.write(Key::AskSearchPref, 0);
    store.write(Key::AutoDropPlay, 1);
    ScriptedPrompt prompt;
    ProcessState process;
    ControlWindow w(store, prompt, process);
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 1;
    std::printf("Tracks: 352x288 MPEG-1 VideoCD tracks of 3 s as CDXA; %d rounds each, alternating\n\n", Rounds);

    auto eject = [&] {
        w.execute({Command::Eject});
        QTest::qWait(100);
    };
    std::vector<double> discOpen, fileOpen, discNext, fileNext;
    for (int round = 0; round < Rounds; ++round) {
        eject();
        discOpen.push_back(toFirstPicture(w, [&] { w.execute({Command::PlayVideoCd}); }));
        eject();
        prompt.queueFiles(QStringList{first});
        fileOpen.push_back(toFirstPicture(w, [&] { w.execute({Command::OpenFile}); }));

        // The end of a file as the playback tick finds it.
        eject();
        w.execute({Command::PlayVideoCd});
        waitUntil([&] { return w.graph().playing(); });
        QTest::qWait(200);
        discNext.push_back(toFirstPicture(w, [&] { w.transport().endOfPlay(); }));
        if (!w.videoCd().active() || w.videoCd().track() != 2)
            return 1;
        eject();
        w.playList().startFromSelection({first, second});
        waitUntil([&] { return w.graph().playing(); });
        QTest::qWait(200);
        fileNext.push_back(toFirstPicture(w, [&] { w.transport().endOfPlay(); }));
        if (w.currentPath() != second)
            return 1;
    }
    for (const auto *v : {&discOpen, &fileOpen, &discNext, &fileNext}) {
        if (std::any_of(v->begin(), v->end(), [](double ms) { return ms < 0; })) {
            std::fprintf(stderr, "a first picture never came\n");
            return 1;
        }
    }
    report("VCD button -> first picture", "open", discOpen, fileOpen);
    report("VCD end of track -> next picture", "list", discNext, fileNext);
    eject();
    w.shutdown(false);
    return 0;
}
