// Frame-exact positioning on every kind of file: exact seeks, frame steps both ways and
// the end of play at the stop position, checked against the engine's own playback time.
#include "PlaybackMedia.h"
#include "PlaybackRig.h"
#include "TestMedia.h"

#include "playback/VideoView.h"

#include <QtTest>

#include <cmath>
#include <random>

class TestFrameExact : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase_data();
    void exactSeeks();
    void frameSteps();
    void stopPositionReachedExactly();
    void lateSeeksRaiseTheDemuxerOffset();
};

namespace {
// The frame the engine really shows, from its playback time.
qint64 shownFrame(const PlaybackRig &rig)
{
    return qint64(std::llround(rig.engine->playbackTime() * 25));
}
} // namespace

void TestFrameExact::initTestCase_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<double>("seekOffset");
    QTest::newRow("mpeg1 ps") << TestMedia::mpeg1Ps() << 1.0;
    QTest::newRow("h264 mp4") << TestMedia::h264Mp4() << 0.0;
    QTest::newRow("videocd dat") << PlaybackMedia::videoCdDat() << 1.0;
}

void TestFrameExact::exactSeeks()
{
    QFETCH_GLOBAL(QString, path);
    QFETCH_GLOBAL(double, seekOffset);
    PlaybackRig rig;
    QVERIFY(rig.open(path));
    QCOMPARE(rig.engine->seekOffset(), seekOffset);
    const qint64 frames = rig.engine->durationUnits();
    QVERIFY(frames >= 95);

    // A seek in seconds lands on the frame shown at that time.
    for (double t : {1.0, 0.52, 2.36, 0.0, 3.0, 1.99, 0.04, 3.5}) {
        rig.engine->seek(t);
        const qint64 want = qint64(std::floor(t * 25 + 1e-9));
        QCOMPARE(shownFrame(rig), want);
        QCOMPARE(rig.engine->positionUnits(), want);
        QCOMPARE(rig.engine->position(), want / 25.0);
    }
    // Anywhere in the file, in any order, including the frames just before a key frame.
    std::mt19937 random(7);
    for (int i = 0; i < 40; ++i) {
        const qint64 want = qint64(random() % quint32(frames - 6));
        rig.engine->seekUnits(want);
        QCOMPARE(shownFrame(rig), want);
    }
    QCOMPARE(rig.engine->seekOffset(), seekOffset); // no seek landed late
}

void TestFrameExact::frameSteps()
{
    QFETCH_GLOBAL(QString, path);
    PlaybackRig rig;
    QVERIFY(rig.open(path));
    Transport &t = rig.transport();
    auto *view = qobject_cast<VideoView *>(rig.graph->picture());
    QVERIFY(view);

    rig.engine->seekUnits(6);
    // Forward over the first key frames, then back over them, one frame at a time.
    for (qint64 want = 7; want <= 40; ++want) {
        t.frameAdvance();
        QCOMPARE(shownFrame(rig), want);
        QCOMPARE(rig.host.readouts[PlaybackHost::Readout::CurrentTime], t.positionText(want));
    }
    for (qint64 want = 39; want >= 0; --want) {
        t.frameReverse();
        QCOMPARE(shownFrame(rig), want);
    }
    t.frameReverse();
    QCOMPARE(rig.engine->positionUnits(), 0); // stays at the start
    QCOMPARE(shownFrame(rig), 0);

    // Stepping while playing moves the running file by one frame and it runs on.
    t.play();
    QTRY_VERIFY_WITH_TIMEOUT(rig.engine->positionUnits() > 10, 5000);
    const quint64 drawn = view->framesDrawn();
    QTRY_VERIFY_WITH_TIMEOUT(view->framesDrawn() > drawn + 2, 5000);
}

void TestFrameExact::stopPositionReachedExactly()
{
    QFETCH_GLOBAL(QString, path);
    PlaybackRig rig;
    QVERIFY(rig.open(path));
    Transport &t = rig.transport();
    TestQueue queue(rig.host, {path});
    rig.host.queue = &queue;

    t.stopSliderDragged(2);
    t.positionSliderDragged(1);
    QCOMPARE(rig.engine->stopUnits(), 50);
    t.play();
    // Watch the engine more often than the tick would: it never reads past the stop.
    qint64 seen = 0;
    QElapsedTimer clock;
    clock.start();
    while (seen != 50 && clock.elapsed() < 5000) {
        QTest::qWait(5);
        seen = rig.engine->positionUnits();
        QVERIFY2(seen <= 50, qPrintable(QString::number(seen)));
    }
    QCOMPARE(seen, 50);
    QCOMPARE(rig.engine->position(), 2.0);
    QVERIFY(shownFrame(rig) <= 50);
    QTest::qWait(200);
    QCOMPARE(rig.engine->positionUnits(), 50); // held there

    // The tick finds the end once, stops at the start point, and finds it no more.
    t.playbackTick();
    QCOMPARE(queue.endChecks, 1);
    QVERIFY(!rig.graph->playing());
    QCOMPARE(t.positionSlider().value(), t.startSlider().value());
    QCOMPARE(rig.engine->positionUnits(), 0);
    for (int i = 0; i < 5; ++i) {
        QTest::qWait(20);
        t.playbackTick();
    }
    QCOMPARE(queue.endChecks, 1);
    rig.host.queue = nullptr;
}

void TestFrameExact::lateSeeksRaiseTheDemuxerOffset()
{
    QFETCH_GLOBAL(QString, path);
    if (!path.endsWith(QLatin1String(".mpg")))
        QSKIP("one MPEG file is enough");
    // Groups longer than the first offset: a seek lands late once, then the offset grows.
    PlaybackRig rig;
    QVERIFY(rig.open(PlaybackMedia::longGopMpeg()));
    QCOMPARE(rig.engine->seekOffset(), 1.0);
    std::mt19937 random(11);
    for (int i = 0; i < 30; ++i) {
        const qint64 want = 5 + qint64(random() % 130);
        rig.engine->seekUnits(want);
        QCOMPARE(shownFrame(rig), want);
    }
    rig.engine->seekUnits(92);
    for (qint64 want = 91; want >= 80; --want) {
        rig.transport().frameReverse();
        QCOMPARE(shownFrame(rig), want);
    }
    QVERIFY(rig.engine->seekOffset() > 1.0);
}

QTEST_MAIN(TestFrameExact)
#include "test_frame_exact.moc"
