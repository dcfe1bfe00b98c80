// The soak run (scripts/soak.sh): soak_player MINUTES
// A 1,000-entry random, looping list of one-second clips played at five times normal speed
// through the real control window, with frame steps and seeks mixed in. Samples the
// process's resident memory, open descriptors and threads every five seconds, and fails when,
// after the first minute's warm-up, memory grew by 5 % or more or descriptors or threads grew.
#include "TestEnv.h"
#include "TestMedia.h"
#include "WindowTest.h"

#include "playback/MediaGraph.h"
#include "playback/Transport.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTimer>

#include <cstdio>

namespace {

struct Sample {
    qint64 second;
    qint64 rssKb;
    int fds;
    int threads;
    int opened;
};

qint64 rssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

int entries(const char *dir)
{
    return int(QDir(QString::fromLatin1(dir)).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

} // namespace

class Soak : public WindowTest
{
public:
    int run(int minutes)
    {
        env = std::make_unique<TestEnv>();
        const QStringList clips{
            TestMedia::make(QStringLiteral("soak-1s.mpg"),
                            {"-f", "lavfi", "-i", "testsrc=size=352x288:rate=25:duration=1", "-f", "lavfi", "-i",
                             "sine=frequency=440:duration=1", "-c:v", "mpeg1video", "-c:a", "mp2", "-f", "mpeg"}),
            TestMedia::make(QStringLiteral("soak-1s.mp4"),
                            {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=1", "-f", "lavfi", "-i",
                             "sine=frequency=660:duration=1", "-c:v", "libx264", "-preset", "veryfast",
                             "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest"}),
            TestMedia::make(QStringLiteral("soak-1s.mp3"),
                            {"-f", "lavfi", "-i", "sine=frequency=550:duration=1", "-c:a", "libmp3lame"})};
        for (const QString &c : clips) {
            if (c.isEmpty())
                return 2;
        }
        QDir().mkpath(env->path(QStringLiteral("clips")));
        QStringList list;
        for (int i = 0; i < 1000; ++i) {
            const QString &clip = clips[i % clips.size()];
            const QString name = env->path(QStringLiteral("clips/%1-%2.%3").arg(i, 4, 10, QLatin1Char('0')).arg(i % 3).arg(QFileInfo(clip).suffix()));
            QFile::link(clip, name);
            list << name;
        }
        freshStore();
        store->write(Key::RandomState, 1);
        store->write(Key::LoopPlaylist, 1);
        store->write(Key::AutoDropPlay, 1);
        w = std::make_unique<ControlWindow>(*store, prompt, process);
        w->show();
        w->playList().startFromSelection(list);
        if (!w->graph().loaded())
            return 3;
        w->execute({Command::Play});
        w->execute({Command::SetRate, 5});

        QRandomGenerator random(20261209);
        QString lastPath;
        int opened = 0;
        qint64 messages = 0;
        QElapsedTimer clock;
        clock.start();
        std::vector<Sample> samples;
        auto sample = [&] {
            samples.push_back({clock.elapsed() / 1000, rssKb(), entries("/proc/self/fd"), entries("/proc/self/task"), opened});
            const Sample &s = samples.back();
            std::printf("%4lld s  rss %7lld kB  fds %4d  threads %3d  files %5d\n", static_cast<long long>(s.second),
                        static_cast<long long>(s.rssKb), s.fds, s.threads, s.opened);
            std::fflush(stdout);
        };
        QTimer actions;
        QObject::connect(&actions, &QTimer::timeout, [&] {
            if (w->currentPath() != lastPath) {
                lastPath = w->currentPath();
                ++opened;
            }
            messages += qint64(prompt.messages.size());
            prompt.messages.clear();
            const quint32 r = random.bounded(100);
            if (r < 12) {
                w->execute({Command::FrameAdvance});
            } else if (r < 16) {
                w->execute({Command::FrameReverse});
            } else if (r < 28) {
                w->execute({Command::MovePosition, double(random.bounded(2))});
            } else if (!w->graph().playing()) {
                w->execute({Command::Play});
                w->execute({Command::SetRate, 5});
            }
        });
        actions.start(150);
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, sample);
        sampler.start(5000);
        sample();
        QTest::qWait(minutes * 60 * 1000);
        actions.stop();
        sampler.stop();
        sample();

        // Warm-up: the first minute, or the first fifth of a longer run.
        const qint64 warm = std::max<qint64>(60, minutes * 60 / 5);
        auto firstAfter = std::find_if(samples.begin(), samples.end(), [&](const Sample &s) { return s.second >= warm; });
        if (firstAfter == samples.end())
            firstAfter = samples.begin();
        const Sample &base = *firstAfter;
        const Sample &end = samples.back();
        int fdMax = 0, fdMin = INT_MAX, thMax = 0, thMin = INT_MAX;
        for (auto it = firstAfter; it != samples.end(); ++it) {
            fdMax = std::max(fdMax, it->fds);
            fdMin = std::min(fdMin, it->fds);
            thMax = std::max(thMax, it->threads);
            thMin = std::min(thMin, it->threads);
        }
        const double growth = 100.0 * double(end.rssKb - base.rssKb) / double(base.rssKb);
        std::printf("soak %d min: %d files opened, %lld messages; rss %lld kB at start, %lld kB after warm-up (%lld s), "
                    "%lld kB at the end (%+.1f %%); fds %d..%d; threads %d..%d\n",
                    minutes, opened, static_cast<long long>(messages), static_cast<long long>(samples.front().rssKb),
                    static_cast<long long>(base.rssKb), static_cast<long long>(base.second),
                    static_cast<long long>(end.rssKb), growth, fdMin, fdMax, thMin, thMax);
        bool ok = true;
        if (growth >= 5) {
            std::printf("FAIL: memory grew by %.1f %% after warm-up\n", growth);
            ok = false;
        }
        if (end.fds > base.fds + 2 || fdMax > fdMin + 8) {
            std::printf("FAIL: descriptors not flat\n");
            ok = false;
        }
        if (end.threads > base.threads + 2 || thMax > thMin + 8) {
            std::printf("FAIL: threads not flat\n");
            ok = false;
        }
        if (opened < minutes * 20) {
            std::printf("FAIL: only %d files opened\n", opened);
            ok = false;
        }
        closeWindow();
        return ok ? 0 : 1;
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int minutes = argc > 1 ? atoi(argv[1]) : 3;
    return Soak().run(std::max(1, minutes));
}
