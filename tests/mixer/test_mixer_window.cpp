// The control window's volume, balance and mute against a real PulseAudio server of the
// test's own: what the server reports shows at once and is never written back, the user's
// moves write the faders' exact values, and no server, a dead one or a hung socket never
// hold the window up.
#include "PrivatePulse.h"
#include "SessionBus.h"
#include "TestEnv.h"
#include "app/ProcessState.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "mixer/MixerDevice.h"
#include "skin/SkinButton.h"
#include "skin/SkinSlider.h"
#include "ui/ControlSet.h"
#include "ui/ControlWindow.h"

#include <QDBusConnection>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

namespace {
using Values = QList<quint32>;
const QString Sink = QStringLiteral("ci_sink");

bool pactl(const QStringList &args)
{
    bool ok = false;
    PrivatePulse::pactl(args, &ok);
    return ok;
}

bool setVolume(quint32 left, quint32 right)
{
    return pactl({"set-sink-volume", Sink, QString::number(left), QString::number(right)});
}

// A drag of the thumb, told as the slider tells of one.
void drag(QSlider *s, int position)
{
    s->setSliderDown(true);
    s->setSliderPosition(position);
    s->setSliderDown(false);
}
} // namespace

class TestMixerWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    SessionBus bus;
    PrivatePulse pulse;
    std::unique_ptr<SettingsStore> store;
    ScriptedPrompt prompt;
    ProcessState process;
    std::unique_ptr<ControlWindow> w;
    QList<double> published; // Volume in the player's PropertiesChanged

    void open()
    {
        w = std::make_unique<ControlWindow>(*store, prompt, process);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("control window not exposed");
    }
    QSlider *volume() { return w->controls().slider(SliderId::Volume); }
    QSlider *balance() { return w->controls().slider(SliderId::Balance); }
    QAbstractButton *mute() { return w->controls().button(ButtonId::Mute); }

    // pactl changes the sink; true when the window shows it within 100 ms.
    template <typename Shown>
    bool showsAtOnce(const QStringList &args, Shown shown)
    {
        if (!pactl(args))
            return false;
        QElapsedTimer t;
        t.start();
        while (!shown() && t.elapsed() < 100)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return shown();
    }

    QString playerctl(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral("playerctl"), QStringList{"-p", "kinetrope"} + args);
        // The player answers on this thread.
        QElapsedTimer t;
        t.start();
        while (p.state() != QProcess::NotRunning && t.elapsed() < 10000)
            QTest::qWait(10);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

public Q_SLOTS:
    void propertiesChanged(const QString &, const QVariantMap &changed, const QStringList &)
    {
        if (changed.contains(QStringLiteral("Volume")))
            published << changed.value(QStringLiteral("Volume")).toDouble();
    }

private Q_SLOTS:
    void initTestCase()
    {
        env = std::make_unique<TestEnv>();
        QVERIFY(bus.start(env->path("tmp")));
        QVERIFY(QDBusConnection::sessionBus().registerService("org.mpris.MediaPlayer2.kinetrope"));
        QVERIFY(pulse.start(env->path("pulse")));
    }

    void init()
    {
        store = std::make_unique<SettingsStore>(QStringLiteral("kinetrope"));
        store->write(Key::SplashDisable, 1);
        store->write(Key::AutoUpdateNotification, 0);
        prompt = ScriptedPrompt();
        process = ProcessState();
        QVERIFY(pactl({"set-default-sink", Sink}));
        QVERIFY(setVolume(21627, 9000));
        QVERIFY(pactl({"set-sink-mute", Sink, "0"}));
    }

    void cleanup() { w.reset(); }

    void startUpReadsAndWritesNothing()
    {
        SinkEvents events;
        QVERIFY(events.start());
        open();
        QTRY_VERIFY(balance()->isEnabled());
        QCOMPARE(volume()->maximum(), 65536);
        QCOMPARE(volume()->value(), 21627);
        QCOMPARE(balance()->maximum(), 256);
        QCOMPARE(balance()->value(), 53);
        QVERIFY(!mute()->isChecked());
        QCOMPARE(events.changes(), 0);
        QCOMPARE(w->mixerDevice().writesSent(), 0u); // not even one that changes nothing
        QCOMPARE(PrivatePulse::volume(), (Values{21627, 9000}));
        // Over these sliders too the wheel jogs and the middle button plays: neither moves them.
        for (QSlider *s : {volume(), balance()}) {
            QWheelEvent wheel(QPointF(5, 5), s->mapToGlobal(QPointF(5, 5)), {}, {0, -120}, Qt::NoButton, {},
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(s, &wheel);
            QTest::mouseClick(s, Qt::MiddleButton, {}, QPoint(2, 5));
        }
        QCOMPARE(volume()->value(), 21627);
        QCOMPARE(balance()->value(), 53);
        QCOMPARE(w->mixerDevice().writesSent(), 0u);
    }

    void outsideChangesShowAtOnceAndAreNotWrittenBack()
    {
        open();
        QTRY_VERIFY(balance()->isEnabled());
        SinkEvents events;
        QVERIFY(events.start());
        QVERIFY(showsAtOnce({"set-sink-volume", Sink, "30000", "30000"},
                            [&] { return volume()->value() == 30000 && balance()->value() == 128; }));
        QVERIFY(showsAtOnce({"set-sink-volume", Sink, "21627", "9000"},
                            [&] { return volume()->value() == 21627 && balance()->value() == 53; }));
        // Above 100 % the slider stands at its top, and the level stays as it was set.
        QVERIFY(showsAtOnce({"set-sink-volume", Sink, "150%"},
                            [&] { return volume()->value() == 65536 && balance()->value() == 128; }));
        QVERIFY(showsAtOnce({"set-sink-mute", Sink, "1"}, [&] { return mute()->isChecked(); }));
        QVERIFY(showsAtOnce({"set-sink-mute", Sink, "0"}, [&] { return !mute()->isChecked(); }));
        QCOMPARE(events.changes(), 5);
        QCOMPARE(w->mixerDevice().writesSent(), 0u);
        QCOMPARE(PrivatePulse::volume(), (Values{98304, 98304}));
    }

    void userMovesWriteTheExactValues()
    {
        open();
        QTRY_VERIFY(balance()->isEnabled());
        QVERIFY(setVolume(65536, 65536));
        QTRY_COMPARE(balance()->value(), 128);
        drag(balance(), 0);
        QTRY_COMPARE(PrivatePulse::volume(), (Values{65536, 0}));
        balance()->triggerAction(QAbstractSlider::SliderPageStepAdd); // to 51 of 256
        QTRY_COMPARE(PrivatePulse::volume(), (Values{65536, 26112}));
        // The volume keeps the channels' ratio; mute toggles only mute.
        QVERIFY(setVolume(21627, 9000));
        QTRY_COMPARE(volume()->value(), 21627);
        drag(volume(), 43254);
        QTRY_COMPARE(PrivatePulse::volume(), (Values{43254, 18000}));
        const auto muteImage = [&] { return static_cast<SkinButton *>(mute())->image(0).toImage(); };
        const QImage sounding = muteImage();
        mute()->click();
        QTRY_COMPARE(PrivatePulse::pactl({"get-sink-mute", Sink}), QStringLiteral("Mute: yes"));
        QVERIFY(mute()->isChecked());
        QTRY_VERIFY(muteImage() != sounding);
        mute()->click();
        QTRY_COMPARE(PrivatePulse::pactl({"get-sink-mute", Sink}), QStringLiteral("Mute: no"));
        QTRY_COMPARE(muteImage(), sounding);
        QCOMPARE(PrivatePulse::volume(), (Values{43254, 18000}));
    }

    void theDesktopSeesTheSameLevel()
    {
        QDBusConnection client = QDBusConnection::connectToBus(bus.address(), QStringLiteral("mixer-client"));
        QVERIFY(client.connect(QString(), QStringLiteral("/org/mpris/MediaPlayer2"),
                               QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("PropertiesChanged"),
                               this, SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
        QVERIFY(setVolume(32768, 16384));
        open();
        QTRY_VERIFY(balance()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(playerctl({"-l"}).contains("kinetrope"), 10000);
        QCOMPARE(playerctl({"volume"}), QStringLiteral("0.500000"));
        published.clear();
        QVERIFY(setVolume(49152, 16384));
        QTRY_COMPARE(published, QList<double>{0.75});
        playerctl({"volume", "0.25"});
        QTRY_COMPARE(PrivatePulse::volume(), (Values{16384, 5461}));
        QTRY_COMPARE(volume()->value(), 16384);
        QCOMPARE(playerctl({"volume"}), QStringLiteral("0.250000"));
        QDBusConnection::disconnectFromBus(QStringLiteral("mixer-client"));
    }

    void otherSinksBindByTheirChannels()
    {
        open();
        QTRY_VERIFY(balance()->isEnabled());
        const QString module = PrivatePulse::pactl(
            {"load-module", "module-null-sink", "sink_name=mono_sink", "channels=1", "channel_map=mono"});
        QVERIFY(!module.isEmpty());
        QVERIFY(pactl({"set-default-sink", "mono_sink"}));
        QTRY_VERIFY(!balance()->isEnabled());
        QCOMPARE(balance()->value(), 128);
        QTRY_COMPARE(volume()->value(), 65536);
        drag(volume(), 32768);
        QTRY_COMPARE(PrivatePulse::volume("mono_sink"), Values{32768});
        // A map that lists right first: left and right by position.
        const QString reversed = PrivatePulse::pactl(
            {"load-module", "module-null-sink", "sink_name=reversed", "channel_map=front-right,front-left"});
        QVERIFY(pactl({"set-sink-volume", "reversed", "9000", "21627"}));
        QVERIFY(pactl({"set-default-sink", "reversed"}));
        QTRY_VERIFY(balance()->isEnabled());
        QCOMPARE(balance()->value(), 53);
        drag(balance(), 0);
        QTRY_COMPARE(PrivatePulse::volume("reversed"), (Values{0, 21627}));
        QVERIFY(pactl({"set-default-sink", Sink}));
        QTRY_COMPARE(balance()->value(), 53);
        QVERIFY(pactl({"unload-module", module}));
        QVERIFY(pactl({"unload-module", reversed}));
    }

    void aDeadServerDisablesAndItsReturnRebinds()
    {
        // Started before any server: disabled, found once one comes.
        pulse.kill();
        open();
        QTest::qWait(300);
        QVERIFY(!balance()->isEnabled());
        QVERIFY(pulse.start(env->path("pulse")));
        QTRY_VERIFY_WITH_TIMEOUT(balance()->isEnabled(), 8000);
        pulse.kill();
        QTRY_VERIFY(!balance()->isEnabled());
        QCOMPARE(balance()->value(), 128);
        drag(volume(), 1000); // nothing to write to
        mute()->click();
        QVERIFY(!mute()->isChecked());
        QVERIFY(pulse.start(env->path("pulse")));
        SinkEvents events;
        QVERIFY(events.start());
        QTRY_VERIFY_WITH_TIMEOUT(balance()->isEnabled(), 8000);
        QCOMPARE(volume()->value(), 65536); // a fresh server's level, bound without writing
        QCOMPARE(events.changes(), 0);
    }

    void aHungSocketLeavesTheWindowResponsive()
    {
        QLocalServer hung;
        QVERIFY(hung.listen(env->path("hung")));
        int connections = 0;
        connect(&hung, &QLocalServer::newConnection, this, [&] {
            hung.nextPendingConnection(); // held, never answered
            ++connections;
        });
        qputenv("PULSE_SERVER", "unix:" + hung.fullServerName().toLocal8Bit());
        QElapsedTimer t;
        t.start();
        open();
        QVERIFY2(t.elapsed() < 1500, qPrintable(QString::number(t.elapsed())));
        // Through a retry the event loop never stops for long (libpulse alone waits 30 s);
        // the bounds leave room for a machine busy with other builds.
        qint64 longest = 0;
        QElapsedTimer gap;
        gap.start();
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&] { longest = std::max(longest, gap.restart()); });
        tick.start(10);
        QTRY_VERIFY_WITH_TIMEOUT(connections >= 2, 8000);
        QVERIFY2(longest < 500, qPrintable(QString::number(longest)));
        QVERIFY(!balance()->isEnabled());
        mute()->click();
        QVERIFY(!mute()->isChecked());
        t.restart();
        w.reset();
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        qputenv("PULSE_SERVER", "unix:" + pulse.socketPath().toLocal8Bit());
    }
};

QTEST_MAIN(TestMixerWindow)
#include "test_mixer_window.moc"
