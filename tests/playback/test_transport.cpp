// The transport on the real engine: where each operation leaves the file, the sliders
// and the readouts, the play speeds, and what happens at the end of play.
#include "PlaybackRig.h"
#include "TestMedia.h"

#include "playback/PlaybackText.h"

#include <QtTest>

using Readout = PlaybackHost::Readout;

namespace {
// The real engine, except that it refuses the rates it is told to.
class RefusingEngine : public MediaEngine
{
public:
    explicit RefusingEngine(QList<double> refused) : m_refused(std::move(refused)) {}
    bool start() override { return m_inner.start(); }
    OpenResult open(const QString &path) override { return m_inner.open(path); }
    void close() override { m_inner.close(); }
    bool isOpen() const override { return m_inner.isOpen(); }
    QSize videoSize() const override { return m_inner.videoSize(); }
    double frameDuration() const override { return m_inner.frameDuration(); }
    bool frameFormat() const override { return m_inner.frameFormat(); }
    double duration() const override { return m_inner.duration(); }
    qint64 durationUnits() const override { return m_inner.durationUnits(); }
    double position() const override { return m_inner.position(); }
    qint64 positionUnits() const override { return m_inner.positionUnits(); }
    void seek(double s) override { m_inner.seek(s); }
    void seekUnits(qint64 u) override { m_inner.seekUnits(u); }
    double stopPosition() const override { return m_inner.stopPosition(); }
    qint64 stopUnits() const override { return m_inner.stopUnits(); }
    void setStop(double s) override { m_inner.setStop(s); }
    void setStopUnits(qint64 u) override { m_inner.setStopUnits(u); }
    void run() override { m_inner.run(); }
    void pause() override { m_inner.pause(); }
    void stop() override { m_inner.stop(); }
    bool setRate(double rate) override
    {
        asked.append(rate);
        return !m_refused.contains(rate) && m_inner.setRate(rate);
    }
    QWidget *hostPicture(QWidget *owner) override { return m_inner.hostPicture(owner); }
    void releasePicture() override { m_inner.releasePicture(); }

    QList<double> asked;

private:
    MpvEngine m_inner{testEngineOptions()};
    QList<double> m_refused;
};

// Ticks the way timer 1 does until the file is no longer playing.
bool tickUntilStopped(PlaybackRig &rig, int timeoutMs = 30000)
{
    QElapsedTimer clock;
    clock.start();
    while (rig.graph->playing() && clock.elapsed() < timeoutMs) {
        QTest::qWait(20);
        rig.transport().playbackTick();
    }
    return !rig.graph->playing();
}
} // namespace

class TestTransport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void playTicksAndPauses();
    void stopReturnsToStartPoint();
    void rewindFastForwardCueReview();
    void jogWhilePaused();
    void startAndStopPoints();
    void sliderDrags();
    void ratesReachTheEngine();
    void keypadRates();
    void refusedRates();
    void oneFileListStopsAtStartPoint();
    void audioOnlyPositions();
    void loopFileAndPlaylist();
    void autoExitAfterLastEntry();
    void rightButtonEndsPlayHere();
    void remainingTimeReadout();
};

void TestTransport::playTicksAndPauses()
{
    PlaybackRig rig;
    QVERIFY(rig.open(TestMedia::h264Mp4()));
    Transport &t = rig.transport();
    t.play();
    QVERIFY(rig.graph->playing() && !rig.graph->paused());
    QVERIFY(rig.host.timerRunning);
    QCOMPARE(rig.host.timerPeriod, 80);
    QTest::qWait(600);
    t.playbackTick();
    const qint64 units = rig.engine->positionUnits();
    QVERIFY(units > 5);
    QVERIFY(rig.host.readouts[Readout::CurrentTime] != QStringLiteral("  :  :  : 1"));
    // A changed period takes effect at the next tick.
    rig.host.prefs["UpdatePeriod"] = 120;
    t.playbackTick();
    QCOMPARE(rig.host.timerPeriod, 120);

    // The first pause scrolls the jog hint, later ones leave the clock alone.
    t.pause();
    QVERIFY(rig.graph->paused() && !rig.graph->playing());
    QVERIFY(!rig.host.timerRunning);
    QVERIFY(rig.host.clockScrolling);
    QCOMPARE(rig.host.clock, QStringLiteral("File Paused...Use the mouse wheel for JOG SHUTTLE... "));
    QCOMPARE(rig.host.clockCells, 12);
    QCOMPARE(rig.host.clockPeriod, 360);
    const qint64 pausedAt = rig.engine->positionUnits();
    QTest::qWait(200);
    QCOMPARE(rig.engine->positionUnits(), pausedAt);

    // Play/pause resumes from where it is, with no seek.
    t.playPause();
    QVERIFY(rig.graph->playing());
    QCOMPARE(rig.host.clock, QStringLiteral(" 25.00 FPS "));
    QVERIFY(rig.engine->positionUnits() >= pausedAt);
    QTRY_VERIFY(rig.engine->positionUnits() > pausedAt + 2);
    t.playPause();
    QVERIFY(rig.graph->paused());
    t.playPause();
    rig.host.clock.clear();
    t.playPause();
    QVERIFY(rig.graph->paused());
    QVERIFY(rig.host.clock.isEmpty());

    // Nothing loaded: play/pause asks for a file.
    rig.graph->closeMedia();
    t.playPause();
    QCOMPARE(rig.host.fileDialogs, 1);
}

void TestTransport::stopReturnsToStartPoint()
{
    PlaybackRig rig;
    QVERIFY(rig.open(TestMedia::mpeg1Ps()));
    Transport &t = rig.transport();
    t.startSliderDragged(1);
    QCOMPARE(t.positionSlider().value(), 1);
    t.play();
    QCOMPARE(rig.engine->positionUnits(), 25); // played from the start point
    QTRY_VERIFY(rig.engine->positionUnits() > 30);

    // Stop while paused does nothing.
    t.pause();
    const qint64 pausedAt = rig.engine->positionUnits();
    t.stopPlayback();
    QVERIFY(rig.graph->paused());
    QCOMPARE(rig.engine->positionUnits(), pausedAt);

    t.playPause();
    t.stopPlayback();
    QVERIFY(!rig.graph->playing() && !rig.graph->paused());
    QVERIFY(!rig.host.timerRunning);
    QCOMPARE(t.positionSlider().value(), 1);
    QCOMPARE(rig.engine->positionUnits(), 25);
    QCOMPARE(rig.host.readouts[Readout::CurrentTime], QStringLiteral("  :  : 1:01"));
    QTest::qWait(150);
    QCOMPARE(rig.engine->positionUnits(), 25);
}

void TestTransport::rewindFastForwardCueReview()
{
    PlaybackRig rig;
    QVERIFY(rig.open(TestMedia::h264Mp4()));
    Transport &t = rig.transport();
    MpvEngine &e = *rig.engine;

    // Rewind twice: to the start point, then to the beginning.
    t.startSliderDragged(1);
    t.positionSliderDragged(3);
    QCOMPARE(e.positionUnits(), 75);
    t.rewind();
    QCOMPARE(e.positionUnits(), 25);
    QCOMPARE(t.positionSlider().value(), 1);
    t.rewind();
    QCOMPARE(e.positionUnits(), 0);
    QCOMPARE(t.positionSlider().value(), 0);

    // Fast forward to the stop point, then past it to the end.
    t.stopSliderDragged(2);
    t.fastForward();
    QCOMPARE(t.positionSlider().value(), 2);
    QCOMPARE(e.positionUnits(), 50);
    t.fastForward();
    QCOMPARE(t.positionSlider().value(), int(e.duration()));
    QVERIFY(e.positionUnits() >= e.durationUnits() - 1); // the last frame, past the stop point
    t.play(); // play from past the stop point ends at once
    QCOMPARE(e.positionUnits(), e.stopUnits());
    t.stopPlayback();
    t.resetPoints();
    t.positionSliderDragged(1);
    t.fastForward();
    QVERIFY(e.playbackTime() > e.duration() - 0.1);

    // Cue and review by half a second, not past either end.
    t.positionSliderDragged(2);
    t.cueStep();
    QCOMPARE(e.positionUnits(), 62);
    QCOMPARE(t.positionSlider().value(), 2);
    t.reviewStep();
    t.reviewStep();
    QCOMPARE(e.positionUnits(), 36); // 2.48 s - 0.5 shows frame 49, and 1.46 s frame 36
    QCOMPARE(t.positionSlider().value(), 1);
    e.seekUnits(10); // 0.4 s: a review would go before the start
    const int refreshes = rig.host.controlRefreshes;
    t.reviewStep();
    QCOMPARE(e.positionUnits(), 10);
    QCOMPARE(rig.host.controlRefreshes, refreshes);
    t.resetPoints();
    e.seekUnits(90); // 3.6 s of 4: a cue would pass the end
    t.cueStep();
    QCOMPARE(e.positionUnits(), 90);
}

void TestTransport::jogWhilePaused()
{
    PlaybackRig rig;
    QVERIFY(rig.open(TestMedia::h264Mp4()));
    Transport &t = rig.transport();
    t.positionSliderDragged(1);
    t.jog(240);
    QCOMPARE(rig.engine->positionUnits(), 25); // only while paused
    t.play();
    t.pause();
    t.positionSliderDragged(1);
    t.jog(240);
    QCOMPARE(rig.engine->positionUnits(), 27);
    QCOMPARE(rig.host.readouts[Readout::CurrentTime], QStringLiteral("  :  : 1:03"));
    QCOMPARE(rig.host.clock, QStringLiteral(" 25.00 FPS "));
    t.jog(-119); // less than a notch
    QCOMPARE(rig.engine->positionUnits(), 27);
    t.jog(-120 * 40);
    QCOMPARE(rig.engine->positionUnits(), 0);
    QCOMPARE(rig.host.readouts[Readout::CurrentTime], QStringLiteral("  :  :  : 1"));
    t.stopSliderDragged(1);
    t.jog(120 * 60);
    QCOMPARE(rig.engine->positionUnits(), 25); // not past the stop
}

void TestTransport::startAndStopPoints()
{
    PlaybackRig rig;
    QVERIFY(rig.open(TestMedia::h264Mp4()));
    Transport &t = rig.transport();

    // Set stop before the start point moves the start to one second before it.
    t.startSliderDragged(3);
    t.positionSliderDragged(2);
    t.setStopPoint();
    QCOMPARE(t.stopSlider().value(), 2);
    QCOMPARE(t.startSlider().value(), 1);
    QCOMPARE(rig.host.readouts[Readout::EndTime], QStringLiteral("  :  : 2:01"));
    QCOMPARE(rig.engine->stopUnits(), 50);

    // Set start past the stop point moves the stop to one second after it.
    t.positionSliderDragged(3);
    t.setStartPoint();
    QCOMPARE(t.startSlider().value(), 3);
    QCOMPARE(t.stopSlider().value(), 4);
    QCOMPARE(rig.host.readouts[Readout::StartTime], QStringLiteral("  :  : 3:01"));

    t.resetPoints();
    QCOMPARE(t.startSlider().value(), 0);
    QCOMPARE(t.stopSlider().value(), rig.graph->sliderMaximum());
    QCOMPARE(t.positionSlider().value(), 0);
    QCOMPARE(rig.engine->positionUnits(), 0);
    QCOMPARE(rig.engine->stopUnits(), rig.engine->durationUnits());
    QCOMPARE(rig.host.readouts[Readout::StartTime], QStringLiteral("  :  :  : 1"));
    QCOMPARE(rig.host.readouts[Readout::EndTime], t.positionText(rig.engine->durationUnits()));
}

void TestTransport::sliderDrags()
{
    PlaybackRig rig;
    Transport &t = rig.transport();
    // Without a file a drag of either point slider resets the points.
    t.stopSliderDragged(20);
    QCOMPARE(t.stopSlider().value(), t.stopSlider().maximum());
    QVERIFY(rig.open(TestMedia::h264Mp4()));

    t.stopSliderDragged(2);
    t.startSliderDragged(4);
    QCOMPARE(t.startSlider().value(), 1); // kept below the stop point
    QCOMPARE(t.positionSlider().value(), 1);
    QCOMPARE(rig.host.readouts[Readout::StartTime], QStringLiteral("  :  : 1:01"));
    t.stopSliderDragged(0);
    QCOMPARE(t.stopSlider().value(), 1); // 0 becomes 1, which is not below the start
    t.startSliderDragged(2);
    t.stopSliderDragged(0);
    QCOMPARE(t.stopSlider().value(), 1);
    t.startSliderDragged(0);
    t.stopSliderDragged(3);
    t.startSliderDragged(2);
    t.stopSliderDragged(1);
    QCOMPARE(t.stopSlider().value(), 3); // below the start: start + 1
    t.startSliderDragged(0);
    t.stopSliderDragged(1);
    QCOMPARE(rig.engine->stopUnits(), 25);
    QCOMPARE(rig.host.readouts[Readout::EndTime], QStringLiteral("  :  : 1:01"));
    t.stopSliderDragged(t.stopSlider().maximum());
    QCOMPARE(rig.engine->stopUnits(), rig.engine->durationUnits());

    t.positionSliderDragged(2);
    QCOMPARE(rig.engine->positionUnits(), 50);
    QCOMPARE(rig.host.readouts[Readout::CurrentTime], QStringLiteral("  :  : 2:01"));
}

void TestTransport::ratesReachTheEngine()
{
    PlaybackRig rig;
    Transport &t = rig.transport();
    // Presets work without a file: stored, shown, applied at the engine.
    t.speedPreset(2.0);
    QCOMPARE(rig.host.readouts[Readout::Speed], QStringLiteral(" 2.0"));
    QVERIFY(rig.open(TestMedia::h264Mp4()));
    QCOMPARE(rig.engine->appliedRate(), 2.0); // the speed stays with the next file

    t.speedPreset(0.71);
    QCOMPARE(rig.engine->appliedRate(), 0.71);
    QCOMPARE(rig.host.readouts[Readout::Speed], QStringLiteral(" 0.7"));
    QCOMPARE(t.speedSlider().value(), 7);
    t.speedPreset(5.0);
    QCOMPARE(t.speedSlider().value(), 14);
    QCOMPARE(rig.host.readouts[Readout::Speed], QStringLiteral(" 5.0"));

    t.speedSliderMoved(19);
    QCOMPARE(t.rate(), 10.0);
    QCOMPARE(rig.engine->appliedRate(), 10.0);
    QCOMPARE(rig.host.readouts[Readout::Speed], QStringLiteral("10.0"));
    QCOMPARE(t.speedSlider().value(), 19);
    t.speedSliderMoved(2);
    QCOMPARE(rig.engine->appliedRate(), 0.2);
    QCOMPARE(rig.host.readouts[Readout::Speed], QStringLiteral(" 0.2"));
    QVERIFY(rig.host.prompter.messages.empty());

    // The stored rate is applied again when a one-file list stops at its end.
    TestQueue queue(rig.host, {rig.host.path});
    rig.host.queue = &queue;
    t.speedPreset(2.0);
    t.positionSliderDragged(3);
    t.play();
    QVERIFY(tickUntilStopped(rig));
    QCOMPARE(rig.engine->appliedRate(), 2.0);
    rig.host.queue = nullptr;
}

void TestTransport::keypadRates()
{
    PlaybackRig rig;
    QVERIFY(rig.open(TestMedia::h264Mp4()));
    Transport &t = rig.transport();
    auto rateAfter = [&](double from, void (Transport::*key)()) {
        t.setRate(from, true);
        (t.*key)();
        return t.rate();
    };
    QCOMPARE(rateAfter(5.0, &Transport::keypadPlus), 6.0);
    QCOMPARE(rateAfter(10.0, &Transport::keypadPlus), 10.0);
    QCOMPARE(rateAfter(0.5, &Transport::keypadPlus), 0.6);
    QCOMPARE(t.speedSlider().value(), 6);
    QCOMPARE(rig.engine->appliedRate(), 0.6);
    QCOMPARE(rateAfter(2.0, &Transport::keypadMinus), 1.0);
    QCOMPARE(rateAfter(1.0, &Transport::keypadMinus), 0.9);
    QCOMPARE(rig.host.readouts[Readout::Speed], QStringLiteral(" 0.9"));
    // From 0.1 minus asks for -0.9, which libmpv refuses: normal speed, no message.
    QCOMPARE(rateAfter(0.1, &Transport::keypadMinus), 1.0);
    QCOMPARE(rig.engine->appliedRate(), 1.0);
    QCOMPARE(t.speedSlider().value(), 10);
    QVERIFY(rig.host.prompter.messages.empty());
}

void TestTransport::refusedRates()
{
    const QString refusedText = QStringLiteral("This speed is not supported by the codec");
    {
        auto engine = std::make_unique<RefusingEngine>(QList<double>{2.0});
        RefusingEngine *e = engine.get();
        PlaybackRig rig(std::move(engine));
        QVERIFY(rig.open(TestMedia::h264Mp4()));
        Transport &t = rig.transport();
        t.speedPreset(5.0);
        t.speedPreset(2.0);
        QCOMPARE(rig.host.prompter.messages.size(), size_t(1));
        QCOMPARE(rig.host.prompter.messages.front().text, refusedText);
        QVERIFY(rig.host.prompter.messages.front().caption.isEmpty());
        QCOMPARE(rig.host.readouts[Readout::Speed], QStringLiteral(" 1.0"));
        QCOMPARE(t.speedSlider().value(), 10);
        QCOMPARE(e->asked, (QList<double>{1.0, 5.0, 2.0, 1.0})); // the open applies the speed in force
        // The speed slider: message, normal speed, slider back at 10.
        t.speedSliderMoved(11);
        QCOMPARE(rig.host.prompter.messages.size(), size_t(2));
        QCOMPARE(t.speedSlider().value(), 10);
        QCOMPARE(t.rate(), 1.0);
        // The keypad: normal speed without a message.
        t.setRate(1.0, true);
        t.keypadPlus();
        QCOMPARE(rig.host.prompter.messages.size(), size_t(2));
        QCOMPARE(t.rate(), 1.0);
    }
    {
        // A refused normal speed ends after one acknowledgement.
        auto engine = std::make_unique<RefusingEngine>(QList<double>{1.0, 2.0});
        RefusingEngine *e = engine.get();
        PlaybackRig rig(std::move(engine));
        QVERIFY(rig.open(TestMedia::h264Mp4()));
        Transport &t = rig.transport();
        t.speedPreset(0.5);
        t.speedPreset(1.0);
        QCOMPARE(rig.host.prompter.messages.size(), size_t(1));
        t.speedPreset(2.0);
        QCOMPARE(rig.host.prompter.messages.size(), size_t(2));
        QCOMPARE(e->asked, (QList<double>{1.0, 0.5, 1.0, 2.0, 1.0}));
        QCOMPARE(rig.host.readouts[Readout::Speed], QStringLiteral(" 0.5")); // as it was
        QVERIFY(!rig.graph->lastResult());
    }
}

void TestTransport::oneFileListStopsAtStartPoint()
{
    PlaybackRig rig;
    QVERIFY(rig.open(TestMedia::h264Mp4()));
    TestQueue queue(rig.host, {rig.host.path});
    rig.host.queue = &queue;
    Transport &t = rig.transport();
    t.startSliderDragged(1);
    t.stopSliderDragged(2);
    t.play();
    QVERIFY(tickUntilStopped(rig));
    QCOMPARE(queue.endChecks, 1);
    QCOMPARE(t.positionSlider().value(), 1);
    QCOMPARE(rig.engine->positionUnits(), 25);
    QVERIFY(rig.host.timerRunning); // timer 1 keeps running after this stop
    for (int i = 0; i < 4; ++i)
        t.playbackTick();
    QCOMPARE(queue.endChecks, 1);
    QCOMPARE(rig.host.quitRequests, 0);
    rig.host.queue = nullptr;

    // Without a list or a VideoCD track the end of play stops all the same.
    t.play();
    QVERIFY(tickUntilStopped(rig));
    QCOMPARE(rig.engine->positionUnits(), 25);
}

void TestTransport::audioOnlyPositions()
{
    PlaybackRig rig;
    QVERIFY(rig.open(TestMedia::mp3Audio()));
    Transport &t = rig.transport();
    MpvEngine &e = *rig.engine;
    QVERIFY(!e.frameFormat());
    t.startSliderDragged(1);
    t.positionSliderDragged(2);
    QCOMPARE(e.positionUnits(), qint64(20000000));
    QCOMPARE(rig.host.readouts[Readout::CurrentTime], QStringLiteral("  :  : 2.00"));
    t.rewind();
    QCOMPARE(e.position(), 1.0);
    t.rewind();
    QCOMPARE(e.position(), 0.0);
    t.frameAdvance(); // 100 ns
    QCOMPARE(e.positionUnits(), qint64(1));

    TestQueue queue(rig.host, {rig.host.path});
    rig.host.queue = &queue;
    t.stopSliderDragged(2);
    t.play();
    QVERIFY(tickUntilStopped(rig));
    QCOMPARE(queue.endChecks, 1);
    QCOMPARE(e.positionUnits(), qint64(10000000));
    rig.host.queue = nullptr;
}

void TestTransport::loopFileAndPlaylist()
{
    PlaybackRig rig;
    const QString first = TestMedia::h264Mp4();
    const QString second = TestMedia::mpeg1Ps();
    TestQueue queue(rig.host, {first, second});
    rig.host.queue = &queue;
    QVERIFY(rig.open(first));
    Transport &t = rig.transport();

    // Loop file: back to the start point, still playing.
    rig.host.prefs["AutoLoop"] = 1;
    t.startSliderDragged(1);
    t.stopSliderDragged(2);
    t.play();
    QElapsedTimer clock;
    clock.start();
    while (queue.endChecks == 0 && clock.elapsed() < 5000) {
        QTest::qWait(20);
        t.playbackTick();
    }
    QCOMPARE(queue.endChecks, 1);
    QVERIFY(rig.graph->playing());
    QVERIFY(rig.engine->positionUnits() < 40);
    QTRY_VERIFY(rig.engine->positionUnits() > 30); // and runs on

    // Loop off: the next entry is opened and played.
    rig.host.prefs["AutoLoop"] = 0;
    t.fastForward();
    t.playbackTick();
    QCOMPARE(queue.advances, 1);
    QCOMPARE(rig.host.title, PlaybackText::title(second));
    QVERIFY(rig.graph->loaded() && rig.graph->playing());
    QCOMPARE(t.startSlider().value(), 0);

    // The list ends: the first entry is loaded again and stays stopped.
    t.fastForward();
    t.playbackTick();
    QCOMPARE(queue.advances, 2);
    QVERIFY(rig.graph->loaded());
    QVERIFY(!rig.graph->playing());
    QCOMPARE(rig.host.title, PlaybackText::title(first));
    QCOMPARE(rig.host.quitRequests, 0);
    rig.host.queue = nullptr;
}

void TestTransport::autoExitAfterLastEntry()
{
    PlaybackRig rig;
    rig.host.prefs["AutoExit"] = 1;
    TestQueue queue(rig.host, {TestMedia::h264Mp4(), TestMedia::mpeg1Ps()});
    rig.host.queue = &queue;
    QVERIFY(rig.open(rig.host.path));
    Transport &t = rig.transport();
    t.play();
    t.fastForward();
    t.playbackTick();
    QCOMPARE(rig.host.quitRequests, 0); // a next entry follows
    t.fastForward();
    t.playbackTick();
    QCOMPARE(rig.host.quitRequests, 1);
    QVERIFY(!rig.graph->loaded());

    // A one-entry list ends too, unless the file loops.
    rig.host.quitRequests = 0;
    TestQueue single(rig.host, {TestMedia::h264Mp4()});
    rig.host.queue = &single;
    rig.host.prefs["AutoLoop"] = 1;
    QVERIFY(rig.open(rig.host.path));
    t.play();
    t.fastForward();
    t.playbackTick();
    QCOMPARE(rig.host.quitRequests, 0);
    rig.host.prefs["AutoLoop"] = 0;
    t.fastForward();
    t.playbackTick();
    QCOMPARE(rig.host.quitRequests, 1);
    rig.host.queue = nullptr;
}

void TestTransport::rightButtonEndsPlayHere()
{
    PlaybackRig rig;
    QVERIFY(rig.open(TestMedia::h264Mp4()));
    TestQueue queue(rig.host, {rig.host.path});
    rig.host.queue = &queue;
    Transport &t = rig.transport();
    t.play();
    QTRY_VERIFY(rig.engine->positionUnits() > 10);
    t.stopHere(); // windowed view: the context menu's button, not this
    t.playbackTick();
    QCOMPARE(queue.endChecks, 0);
    rig.host.fullScreen = true;
    t.stopHere();
    t.playbackTick();
    QCOMPARE(queue.endChecks, 1);
    QVERIFY(!rig.graph->playing());
    rig.host.queue = nullptr;
}

void TestTransport::remainingTimeReadout()
{
    PlaybackRig rig;
    QVERIFY(rig.open(TestMedia::mp3Audio()));
    rig.host.prefs["Current"] = 1;
    Transport &t = rig.transport();
    t.play();
    QTRY_VERIFY(rig.engine->position() > 0.5);
    t.pause();
    t.run();
    const qint64 left = rig.engine->durationUnits() - rig.engine->positionUnits();
    t.playbackTick();
    const QString text = rig.host.readouts[Readout::CurrentTime];
    QVERIFY2(text.endsWith(QLatin1Char('.') + text.right(2)) && text.size() == 11, qPrintable(text));
    // Two ticks' worth of play at most separates the reading from the tick.
    const QString low = PlaybackText::position(left - 3000000, false, 25);
    const QString high = PlaybackText::position(left, false, 25);
    QVERIFY2(text >= low && text <= high, qPrintable(text + " " + low + " " + high));
}

QTEST_MAIN(TestTransport)
#include "test_transport.moc"
