// The faders' arithmetic as tables, and the mixer layers over a device the test fills in:
// what the server alone cannot do on request (refuse a write, hold one in flight).
#include "mixer/FaderMath.h"
#include "mixer/MixerFader.h"
#include "mixer/SystemVolume.h"

#include <QtTest>

namespace {

const MixerLine Stereo{2, false, 0, 65536, 256, QStringLiteral("CI-Null"), QStringLiteral("ci_sink")};
const MixerLine Mono{1, false, 0, 65536, 256, QStringLiteral("Mono"), QStringLiteral("mono_sink")};

class FakeDevice : public MixerDevice
{
public:
    using MixerDevice::writeDone;
    MixerValues server{21627, 9000};
    bool serverMuted = false;
    QList<MixerValues> volumeWrites;
    QList<bool> muteWrites;
    int rereads = 0;

    void bind(const MixerLine &line = Stereo) { report(line, server, serverMuted); }
    void set(const MixerValues &values)
    {
        server = values;
        report(speakers(), server, serverMuted);
    }
    // The server takes the write last sent and tells of it.
    void accept()
    {
        server = volumeWrites.last();
        writeDone(Volume, true);
        report(speakers(), server, serverMuted);
    }

protected:
    bool sendVolume(const MixerValues &values) override
    {
        volumeWrites << values;
        return true;
    }
    bool sendMute(bool muted) override
    {
        muteWrites << muted;
        return true;
    }
    void reread() override
    {
        ++rereads;
        report(speakers(), server, serverMuted);
    }
};

bool bindBalance(MixerFader &f)
{
    return f.init(MixerType::Speakers, MixerType::NoSource, MixerType::VolumeControl, FaderMath::Balance);
}

} // namespace

class TestMixer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sliderPositions_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("steps");
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<MixerValues>("values");
        QTest::addColumn<int>("position"); // -1: where it was
        using namespace FaderMath;
        QTest::newRow("balance centred") << int(Balance) << 256 << false << MixerValues{65536, 65536} << 128;
        QTest::newRow("balance fully left") << int(Balance) << 256 << false << MixerValues{65536, 0} << 0;
        QTest::newRow("balance fully right") << int(Balance) << 256 << false << MixerValues{0, 65536} << 256;
        QTest::newRow("balance 21627/9000") << int(Balance) << 256 << false << MixerValues{21627, 9000} << 53;
        QTest::newRow("both channels 0 leave it") << int(Balance) << 256 << false << MixerValues{0, 0} << -1;
        QTest::newRow("65537-step line centred") << int(Balance) << 65537 << false << MixerValues{9000, 9000}
                                                 << 32768;
        QTest::newRow("main at 150 % at the end") << int(Main) << 256 << false << MixerValues{98304, 98304} << 256;
        QTest::newRow("vertical main at 100 % on top") << int(Main) << 256 << true << MixerValues{65536, 0} << 0;
        QTest::newRow("right channel") << int(Right) << 256 << false << MixerValues{65536, 32768} << 128;
    }

    void sliderPositions()
    {
        QFETCH(int, type);
        QFETCH(int, steps);
        QFETCH(bool, vertical);
        QFETCH(MixerValues, values);
        QFETCH(int, position);
        double ratio = 0;
        const auto p = FaderMath::position(FaderMath::SubType(type), FaderMath::scale(0, 65536, steps, vertical),
                                           values, ratio);
        QCOMPARE(p.value_or(-1), position);
    }

    void faderValues_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("steps");
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<int>("position");
        QTest::addColumn<MixerValues>("current");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<MixerValues>("written");
        using namespace FaderMath;
        const MixerValues full{65536, 65536};
        QTest::newRow("balance centre: both the level") << int(Balance) << 256 << false << 128
                                                        << MixerValues{65536, 30000} << 0.0 << full;
        QTest::newRow("balance fully left") << int(Balance) << 256 << false << 0 << full << 0.0
                                            << MixerValues{65536, 0};
        QTest::newRow("balance fully right") << int(Balance) << 256 << false << 256 << full << 0.0
                                             << MixerValues{0, 65536};
        QTest::newRow("balance a page right") << int(Balance) << 256 << false << 179 << full << 0.0
                                              << MixerValues{39424, 65536};
        // a * b * 2 is past 32 bits here.
        QTest::newRow("a 16384, b 65536") << int(Balance) << 65536 << false << 16384 << full << 0.0
                                          << MixerValues{65536, 32768};
        QTest::newRow("65537-step line fully right") << int(Balance) << 65537 << false << 65537 << full << 0.0
                                                     << MixerValues{0, 65536};
        QTest::newRow("vertical top: steps x step size") << int(Left) << 256 << true << 0 << MixerValues{0, 0}
                                                         << 0.0 << MixerValues{65536, 0};
        QTest::newRow("vertical bottom: 0") << int(Left) << 256 << true << 256 << full << 0.0
                                            << MixerValues{0, 65536};
        QTest::newRow("main, right louder") << int(Main) << 256 << false << 128 << full << 0.5
                                            << MixerValues{16384, 32768};
        QTest::newRow("main, left louder") << int(Main) << 256 << false << 128 << full << -0.5
                                           << MixerValues{32768, 16384};
    }

    void faderValues()
    {
        QFETCH(int, type);
        QFETCH(int, steps);
        QFETCH(bool, vertical);
        QFETCH(int, position);
        QFETCH(MixerValues, current);
        QFETCH(double, ratio);
        QFETCH(MixerValues, written);
        QCOMPARE(FaderMath::values(FaderMath::SubType(type), FaderMath::scale(0, 65536, steps, vertical), position,
                                   current, ratio),
                 written);
    }

    void balanceFollowsTheLineAndWritesNothing()
    {
        FakeDevice d;
        MixerFader f(d);
        QVERIFY(!bindBalance(f)); // no device: centred, disabled
        QCOMPARE(f.position(), 128);
        QVERIFY(!f.isEnabled());
        d.bind();
        QVERIFY(bindBalance(f));
        QVERIFY(f.isEnabled());
        QCOMPARE(f.position(), 53);
        d.set({9000, 21627});
        QCOMPARE(f.position(), 202);
        d.set({0, 0});
        QCOMPARE(f.position(), 202);
        QVERIFY(d.volumeWrites.isEmpty());
        d.server = {40000};
        d.bind(Mono);
        QVERIFY(!bindBalance(f));
        QCOMPARE(f.position(), 128);
        QVERIFY(!f.isEnabled());
        // Another source line, or a control the line lacks, binds nothing.
        MixerBase other(d);
        QVERIFY(!other.init(MixerType::Speakers, 0x1003, MixerType::VolumeControl));
        QVERIFY(!other.init(MixerType::Speakers, MixerType::NoSource, 0x50030002));
        QCOMPARE(MixerBase::controlTypeName(0x50030002), QStringLiteral("MIXERCONTROL_CONTROLTYPE_BASS"));
        QCOMPARE(MixerBase::lineTypeName(MixerType::NoSource), QStringLiteral("No source line"));
        QCOMPARE(MixerBase::lineTypeName(0x2000), QStringLiteral("---- UNKNOWN LINE TYPE ----"));
    }

    void oneWriteInFlightAndARefusalFollowsTheServer()
    {
        FakeDevice d;
        d.bind();
        MixerFader f(d);
        QVERIFY(bindBalance(f));
        QSignalSpy shown(&f, &MixerFader::sliderChanged);
        f.userMoved(0);
        f.userMoved(10);
        f.userMoved(20);
        QCOMPARE(d.volumeWrites, (QList<MixerValues>{{21627, 0}}));
        d.writeDone(MixerDevice::Volume, true);
        QCOMPARE(d.volumeWrites.size(), 2);
        QCOMPARE(d.volumeWrites.last(), (MixerValues{21627, 3379}));
        // Refused: read again, and the slider goes back to what the server has.
        d.writeDone(MixerDevice::Volume, false);
        QCOMPARE(d.rereads, 1);
        QCOMPARE(f.position(), 53);
        QVERIFY(!shown.isEmpty());

        SystemVolume v(d);
        QVERIFY(v.open());
        QVERIFY(v.findMute());
        QVERIFY(v.toggleMute());
        QVERIFY(v.muted());
        QCOMPARE(d.muteWrites, QList<bool>{true});
        d.writeDone(MixerDevice::Mute, false);
        QVERIFY(!v.muted());
        QCOMPARE(d.volumeWrites.size(), 2); // mute touches only mute
    }

    void volumeKeepsTheRatioThroughSilence()
    {
        FakeDevice d;
        SystemVolume v(d);
        QVERIFY(v.open());
        QVERIFY(!v.findVolume());
        QVERIFY(!v.setVolume(30000)); // no device: nothing
        d.bind();
        QVERIFY(v.open());
        QVERIFY(v.findVolume());
        QVERIFY(v.setVolume(43254));
        d.accept();
        QVERIFY(v.setVolume(0));
        d.accept();
        QVERIFY(v.setVolume(43254));
        d.accept();
        QVERIFY(v.setVolume(100000));
        QCOMPARE(d.volumeWrites,
                 (QList<MixerValues>{{43254, 18000}, {0, 0}, {43254, 18000}, {65536, 27273}}));
    }
};

QTEST_GUILESS_MAIN(TestMixer)
#include "test_mixer.moc"
