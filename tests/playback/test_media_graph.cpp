// Opening and closing files through the media graph on the real libmpv engine.
#include "PlaybackMedia.h"
#include "PlaybackRig.h"
#include "TestMedia.h"

#include "app/SettingsStore.h"
#include "playback/MpvEngine.h"
#include "playback/PlaybackText.h"
#include "playback/VideoView.h"

#include <QFile>
#include <QGuiApplication>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <thread>

using Readout = PlaybackHost::Readout;

using Rig = PlaybackRig;

namespace {
// The picture widget shows a picture, not its black background.
bool showsPicture(QWidget *picture)
{
    auto *view = qobject_cast<VideoView *>(picture);
    if (!view)
        return false;
    const QImage image = view->grabFramebuffer();
    int lit = 0, all = 0;
    for (int y = 0; y < image.height(); y += 8) {
        for (int x = 0; x < image.width(); x += 8, ++all) {
            const QRgb p = image.pixel(x, y);
            lit += qRed(p) + qGreen(p) + qBlue(p) > 90;
        }
    }
    return all > 0 && lit * 3 > all;
}

// Opens the writing end of a pipe a few seconds after it starts, should anyone be reading
// it by then: a reader that ought never to have opened the pipe is let go late instead of
// hanging the test.
class LateWriter
{
public:
    explicit LateWriter(const QString &path) : m_path(QFile::encodeName(path)), m_thread([this] { run(); }) {}
    ~LateWriter()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    void run()
    {
        QElapsedTimer clock;
        clock.start();
        for (; !m_stop; std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
            if (clock.elapsed() < 3000)
                continue;
            const int fd = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                ::close(fd);
                return;
            }
        }
    }
    QByteArray m_path;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

const QString CodecText = QStringLiteral("No suitable codec found to decode file\n"
                                         "Install or update the FFmpeg codec libraries of your distribution\n"
                                         "(on Debian: libavcodec59, or libavcodec-extra59 for more codecs)");

bool busyCursor()
{
    const QCursor *c = QGuiApplication::overrideCursor();
    return c && c->shape() == Qt::BusyCursor;
}
} // namespace

class TestMediaGraph : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void opensVideo_data();
    void opensVideo();
    void audioOnlyHasNoVideoWindow();
    void videoWithoutSoundPlays();
    void failuresAreReported_data();
    void failuresAreReported();
    void openKeepsTheWindowResponsive();
    void requestsDuringAnOpen();
    void videoCdWording();
    void engineThatCannotStart_data();
    void engineThatCannotStart();
    void closeKeepsWindowAndStoresItsPlace();
    void sameFileTwice();
    void newVideoWindowAfterEject();
    void handOffOpen();
};

void TestMediaGraph::opensVideo_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("renderer");
    QTest::newRow("mpeg1 ps") << TestMedia::mpeg1Ps() << QSize(352, 288) << QRect(1, 1, 350, 280);
    QTest::newRow("h264 mp4") << TestMedia::h264Mp4() << QSize(320, 240) << QRect(1, 1, 320, 240);
    QTest::newRow("videocd dat") << PlaybackMedia::videoCdDat() << QSize(352, 288) << QRect(1, 1, 350, 280);
}

void TestMediaGraph::opensVideo()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(QRect, renderer);
    QVERIFY(!path.isEmpty());
    Rig rig;
    QVERIFY(rig.open(path));
    MediaGraph &g = *rig.graph;
    QVERIFY(g.loaded());
    QVERIFY(!g.playing() && !g.paused());
    QVERIFY(!g.noVideo());
    QVERIFY(g.frameFormat());
    QCOMPARE(QSize(g.videoWidth(), g.videoHeight()), size);
    QCOMPARE(g.frameRate(), 25.0);
    const double duration = rig.engine->duration();
    QCOMPARE(g.sliderMaximum(), int(duration + 1));
    QCOMPARE(g.tickSpacing(), int(duration) / 30);
    const Transport &t = g.transport();
    QCOMPARE(t.positionSlider().maximum(), g.sliderMaximum());
    QCOMPARE(t.stopSlider().value(), g.sliderMaximum());
    QCOMPARE(t.positionSlider().value(), 0);

    auto &r = rig.host.readouts;
    const QString total = PlaybackText::position(rig.engine->durationUnits(), true, 25);
    QCOMPARE(r[Readout::TotalTime], total);
    QCOMPARE(r[Readout::EndTime], total);
    QCOMPARE(r[Readout::StartTime], QStringLiteral("  :  :  : 1"));
    QCOMPARE(r[Readout::CurrentTime], QStringLiteral("  :  :  : 1"));
    QCOMPARE(rig.host.clock, QStringLiteral(" 25.00 FPS "));
    QCOMPARE(rig.host.title, PlaybackText::title(path));
    QCOMPARE(rig.host.titleCells, 19);
    QCOMPARE(rig.host.titlePeriod, 240);
    QVERIFY(rig.host.setButtons);
    QCOMPARE(rig.engine->positionUnits(), 0);

    // The picture sits in the video window at (1,1) and gets drawn.
    QVERIFY(rig.host.window && rig.host.window->isVisible());
    auto *view = qobject_cast<VideoView *>(g.picture());
    QVERIFY(view);
    QCOMPARE(view->parentWidget(), rig.host.window.data());
    QCOMPARE(rig.host.window->renderer(), view);
    QCOMPARE(view->geometry(), renderer);
    // The suite runs on Mesa's CPU renderer: the picture takes the software path there.
    QVERIFY(view->isSoftware());
    QTRY_VERIFY_WITH_TIMEOUT(view->framesDrawn() > 0, 10000);
}

void TestMediaGraph::audioOnlyHasNoVideoWindow()
{
    Rig rig;
    QVERIFY(rig.open(TestMedia::mp3Audio()));
    MediaGraph &g = *rig.graph;
    QVERIFY(g.loaded());
    QVERIFY(g.noVideo());
    QVERIFY(!g.frameFormat());
    QCOMPARE(g.videoWidth(), 0);
    QVERIFY(!g.picture());
    QVERIFY(!rig.host.window || !rig.host.window->isVisible());
    QCOMPARE(rig.host.readouts[Readout::CurrentTime], QStringLiteral("  :  :  . 1"));
    QCOMPARE(rig.host.readouts[Readout::StartTime], QStringLiteral("  :  :  . 0"));
    QVERIFY(rig.host.clock.isEmpty()); // the frame rate readout stays as it was

    g.transport().play();
    QVERIFY(g.playing());
    QTRY_VERIFY_WITH_TIMEOUT(rig.engine->position() > 0.3, 5000);
    g.transport().pause();
    QCOMPARE(rig.host.clock, QStringLiteral("File Paused"));
}

void TestMediaGraph::videoWithoutSoundPlays()
{
    Rig rig;
    QVERIFY(rig.open(PlaybackMedia::silentVideo()));
    QVERIFY(!rig.graph->noVideo());
    QVERIFY(rig.graph->frameFormat());
    rig.graph->transport().play();
    QTRY_VERIFY_WITH_TIMEOUT(rig.engine->positionUnits() > 5, 5000);
}

void TestMediaGraph::failuresAreReported_data()
{
    const QString missing = TestMedia::dir() + QStringLiteral("/no such file.avi");
    const QString notFound = QStringLiteral("File ''%1'' not found!");
    const QString notRegular = QStringLiteral("File ''%1'' is not a regular file!");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text");
    // Refused before libmpv sees the file, so at once.
    QTest::addColumn<bool>("atOnce");
    QTest::newRow("missing") << missing << notFound.arg(missing) << true;
    QTest::newRow("folder") << TestMedia::dir() << notRegular.arg(TestMedia::dir()) << true;
    QTest::newRow("fifo as mp4") << TestMedia::fifoAsMp4() << notRegular.arg(TestMedia::fifoAsMp4()) << true;
    QTest::newRow("text as avi") << TestMedia::textAsAvi() << CodecText << false;
    QTest::newRow("truncated") << TestMedia::truncated() << CodecText << false;
    QTest::newRow("noise as mkv") << TestMedia::noiseAsMkv() << CodecText << false;
    QTest::newRow("edl as mkv") << TestMedia::referencingFiles().value(0) << CodecText << false;
}

void TestMediaGraph::failuresAreReported()
{
    QFETCH(QString, path);
    QFETCH(QString, text);
    QFETCH(bool, atOnce);
    QVERIFY(!QFileInfo(path).fileName().isEmpty());
    Rig rig;
    // A failed open after a good one leaves nothing of either behind.
    QVERIFY(rig.open(TestMedia::h264Mp4()));
    rig.graph->closeMedia();
    std::unique_ptr<LateWriter> writer;
    if (path == TestMedia::fifoAsMp4())
        writer = std::make_unique<LateWriter>(path);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!rig.open(path));
    const qint64 took = clock.elapsed();
    QVERIFY2(took < (atOnce ? 500 : 12000), qPrintable(QString::number(took)));
    QCOMPARE(rig.host.prompter.messages.size(), size_t(1));
    const PromptMessage &m = rig.host.prompter.messages.front();
    QCOMPARE(m.text, text);
    QCOMPARE(m.caption, QStringLiteral("Error"));
    QCOMPARE(m.icon, PromptKind::Stop);
    QVERIFY(!rig.graph->loaded());
    QVERIFY(!rig.engine->isOpen());
    QVERIFY(!rig.graph->picture());
    QVERIFY(!rig.host.setButtons);
    QCOMPARE(rig.host.quitRequests, 0);
    QVERIFY(!QGuiApplication::overrideCursor());
    // The engine is fine for the next file.
    QVERIFY(rig.open(TestMedia::mpeg1Ps()));
}

void TestMediaGraph::openKeepsTheWindowResponsive()
{
    const QString noise = TestMedia::noiseAsMkv();
    QVERIFY(!noise.isEmpty());
    Rig rig;
    // A 10 ms timer stands for the window's paints, timers and sockets.
    QElapsedTimer clock;
    qint64 last = 0, gap = 0;
    int ticks = 0, busyTicks = 0, openingTicks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        gap = std::max(gap, now - last);
        last = now;
        ++ticks;
        busyTicks += busyCursor();
        openingTicks += rig.graph->opening();
    });
    timer.start(10);
    clock.start();
    const bool opened = rig.open(noise);
    const qint64 took = clock.elapsed();
    timer.stop();
    gap = std::max(gap, took - last);
    qInfo("opening %s took %lld ms; largest gap of a 10 ms timer %lld ms, %d ticks", qPrintable(noise),
          static_cast<long long>(took), static_cast<long long>(gap), ticks);
    QVERIFY(!opened);
    QCOMPARE(rig.host.prompter.messages.size(), size_t(1));
    QCOMPARE(rig.host.prompter.messages.front().text, CodecText);
    QVERIFY(ticks > 0);
    QVERIFY2(gap < 300, qPrintable(QStringLiteral("the window froze for %1 ms").arg(gap)));
    // Every tick came during the engine's wait, under the busy cursor.
    QCOMPARE(busyTicks, ticks);
    QCOMPARE(openingTicks, ticks);
    QVERIFY(!busyCursor());
    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(!rig.graph->opening());
}

void TestMediaGraph::requestsDuringAnOpen()
{
    const QString noise = TestMedia::noiseAsMkv();
    QVERIFY(!noise.isEmpty());
    Rig rig;
    QElapsedTimer clock;
    qint64 closedAt = -1;
    int ticks = 0;
    bool nestedOpen = true;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++ticks != 1)
            return;
        // What a timer or a D-Bus call of the control window could ask for meanwhile.
        rig.host.path = TestMedia::mpeg1Ps();
        nestedOpen = rig.graph->openMedia();
        rig.graph->closeMedia();
        closedAt = clock.elapsed();
    });
    rig.host.path = noise;
    timer.start(10);
    clock.start();
    const bool opened = rig.graph->openMedia();
    const qint64 took = clock.elapsed();
    timer.stop();
    QVERIFY(ticks > 0);
    QVERIFY(!nestedOpen);
    // The close ends the open at once, and nothing is reported: the user asked for it.
    QVERIFY(!opened);
    QVERIFY2(took - closedAt < 300, qPrintable(QString::number(took - closedAt)));
    QVERIFY(rig.host.prompter.messages.empty());
    QVERIFY(!rig.graph->loaded());
    QVERIFY(!rig.engine->isOpen());
    QVERIFY(!rig.graph->opening());
    QVERIFY(!busyCursor());
    QVERIFY(rig.open(TestMedia::mpeg1Ps()));
    QTRY_VERIFY_WITH_TIMEOUT(showsPicture(rig.graph->picture()), 10000);

    // The graph, and its engine with it, deleted during an open (the window closing).
    rig.graph->closeMedia();
    ticks = 0;
    QObject::disconnect(&timer, nullptr, nullptr, nullptr);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++ticks == 1)
            rig.graph.reset();
    });
    rig.host.path = noise;
    timer.start(10);
    QVERIFY(!rig.graph->openMedia());
    timer.stop();
    QVERIFY(!rig.graph);
    QVERIFY(rig.host.prompter.messages.empty());
    QVERIFY(!busyCursor());
}

void TestMediaGraph::videoCdWording()
{
    Rig rig;
    rig.graph->setVideoCdFound(true);
    QVERIFY(!rig.open(TestMedia::textAsAvi()));
    QCOMPARE(rig.host.prompter.messages.size(), size_t(1));
    QCOMPARE(rig.host.prompter.messages.front().text, QStringLiteral("No suitable codec found to decode the VideoCD\n "));
    // A track that cannot be played is passed over silently.
    rig.graph->setVideoCdTrack(true);
    QVERIFY(!rig.open(TestMedia::truncated()));
    QCOMPARE(rig.host.prompter.messages.size(), size_t(1));
    QVERIFY(!rig.graph->loaded());
}

void TestMediaGraph::engineThatCannotStart_data()
{
    QTest::addColumn<QString>("option");
    QTest::newRow("unknown setting") << QStringLiteral("no-such-setting=1");
    // No use may let files name other files.
    QTest::newRow("loosened trust") << QStringLiteral("access-references=yes");
}

void TestMediaGraph::engineThatCannotStart()
{
    QFETCH(QString, option);
    Rig rig({option});
    QVERIFY(!rig.open(TestMedia::h264Mp4()));
    QCOMPARE(rig.host.prompter.messages.size(), size_t(1));
    const PromptMessage &m = rig.host.prompter.messages.front();
    QCOMPARE(m.text, QStringLiteral("The playback engine libmpv could not be started!\n"
                                    "Install or reinstall its package (on Debian: libmpv2)"));
    QCOMPARE(m.caption, QStringLiteral("Fatal Error!"));
    QCOMPARE(m.icon, PromptKind::Stop);
    QCOMPARE(rig.host.quitRequests, 1);
    QVERIFY(!rig.graph->loaded());
}

void TestMediaGraph::closeKeepsWindowAndStoresItsPlace()
{
    Rig rig;
    QVERIFY(rig.open(TestMedia::h264Mp4()));
    rig.graph->transport().play();
    QVERIFY(rig.host.timerRunning);
    rig.host.window->move(123, 45);
    QTRY_COMPARE(rig.host.window->pos(), QPoint(123, 45));
    const int dates = rig.host.dateRefreshes;
    rig.graph->closeMedia();
    QVERIFY(!rig.graph->loaded() && !rig.graph->playing() && !rig.graph->paused());
    QCOMPARE(rig.graph->videoWidth(), 0);
    QVERIFY(!rig.engine->isOpen());
    QVERIFY(!rig.host.timerRunning);
    QVERIFY(!rig.host.setButtons);
    QVERIFY(!rig.host.titleScrolling);
    QCOMPARE(rig.host.dateRefreshes, dates + 1);
    QVERIFY(rig.host.window); // survives the file
    QCOMPARE(rig.settings.read(Key::VideoWindowLeft), 123);
    QCOMPARE(rig.settings.read(Key::VideoWindowTop), 45);
}

void TestMediaGraph::sameFileTwice()
{
    Rig rig;
    for (int i = 0; i < 2; ++i) {
        rig.graph->closeMedia();
        QVERIFY(rig.open(TestMedia::mpeg1Ps()));
        QVERIFY(rig.graph->loaded());
        QCOMPARE(rig.engine->positionUnits(), 0);
        auto *view = qobject_cast<VideoView *>(rig.graph->picture());
        QVERIFY(view && view->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(showsPicture(view), 10000); // the first frame, stopped
        const quint64 drawn = view->framesDrawn();
        rig.graph->transport().play();
        QTRY_VERIFY_WITH_TIMEOUT(view->framesDrawn() > drawn + 3, 10000);
    }
}

void TestMediaGraph::newVideoWindowAfterEject()
{
    Rig rig;
    QVERIFY(rig.open(TestMedia::h264Mp4()));
    QTRY_VERIFY_WITH_TIMEOUT(showsPicture(rig.graph->picture()), 10000);
    // Eject: the file and then the video window go.
    rig.graph->closeMedia();
    delete rig.host.window;
    QVERIFY(!rig.graph->picture());
    QVERIFY(rig.open(TestMedia::mpeg1Ps()));
    QVERIFY(rig.host.window && rig.graph->picture());
    QCOMPARE(rig.graph->picture()->parentWidget(), rig.host.window.data());
    QTRY_VERIFY_WITH_TIMEOUT(showsPicture(rig.graph->picture()), 10000);
    // An audio file in between hides the picture; the next video shows it again.
    rig.graph->closeMedia();
    QVERIFY(rig.open(TestMedia::mp3Audio()));
    QVERIFY(!rig.host.window->isVisible());
    rig.graph->closeMedia();
    QVERIFY(rig.open(TestMedia::h264Mp4()));
    QVERIFY(rig.host.window->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(showsPicture(rig.graph->picture()), 10000);
}

void TestMediaGraph::handOffOpen()
{
    Rig rig;
    rig.host.path = TestMedia::h264Mp4();
    QVERIFY(rig.graph->openAndStart());
    QVERIFY(rig.graph->paused());
    rig.graph->closeMedia();
    rig.host.prefs["AutoDropPlay"] = 1;
    QVERIFY(rig.graph->openAndStart());
    QVERIFY(rig.graph->playing());
    rig.host.path = TestMedia::dir() + "/gone.mp4";
    rig.graph->closeMedia();
    QVERIFY(!rig.graph->openAndStart());
    QVERIFY(!rig.graph->playing());
}

QTEST_MAIN(TestMediaGraph)
#include "test_media_graph.moc"
