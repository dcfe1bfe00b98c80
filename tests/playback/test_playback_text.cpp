// The readout texts of the playback engine.
#include "TestEnv.h"

#include "playback/PlaybackText.h"

#include <QtTest>

class TestPlaybackText : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void position_data();
    void position();
    void speedTextAndCodes();
    void frameRate();
    void title();

private:
    TestEnv m_env;
};

void TestPlaybackText::position_data()
{
    QTest::addColumn<qint64>("units");
    QTest::addColumn<bool>("frames");
    QTest::addColumn<double>("fps");
    QTest::addColumn<QString>("text");
    const qint64 s = 10000000;
    QTest::newRow("65.5 s") << 655 * s / 10 << false << 0.0 << "  : 1:05.50";
    QTest::newRow("1:02:05.25") << (3725 * s + 25 * s / 100) << false << 0.0 << " 1:02:05.25";
    QTest::newRow("zero") << qint64(0) << false << 0.0 << "  :  :  . 0";
    QTest::newRow("frame 1630") << qint64(1630) << true << 25.0 << "  : 1:05:06";
    QTest::newRow("frame 0") << qint64(0) << true << 25.0 << "  :  :  : 1";
    QTest::newRow("unknown rate counts 25") << qint64(1630) << true << 0.0 << "  : 1:05:06";
    QTest::newRow("0.07 s") << 7 * s / 100 << false << 0.0 << "  :  :  . 7";
    QTest::newRow("5.07 s") << 507 * s / 100 << false << 0.0 << "  :  : 5.07";
    QTest::newRow("12.3 s") << 123 * s / 10 << false << 0.0 << "  :  :12.30";
    QTest::newRow("10 min") << 600 * s << false << 0.0 << "  :10:00.00";
    QTest::newRow("whole hour") << 3600 * s << false << 0.0 << " 1:00:00.00";
    QTest::newRow("hour and seconds") << 3605 * s << false << 0.0 << " 1:00:05.00";
    QTest::newRow("ten hours") << 36000 * s << false << 0.0 << "10:00:00.00";
    QTest::newRow("99 hours") << (99 * 3600 + 59 * 60 + 59) * s << false << 0.0 << "99:59:59.00";
    QTest::newRow("ten hours in frames") << qint64(36000 * 25 + 3) << true << 25.0 << "10:00:00:04";
    QTest::newRow("29.97 fps") << qint64(60) << true << 29.97 << "  :  : 2:01";
    QTest::newRow("before the start") << qint64(-3) << true << 25.0 << "  :  :  : 1";
}

void TestPlaybackText::position()
{
    QFETCH(qint64, units);
    QFETCH(bool, frames);
    QFETCH(double, fps);
    QFETCH(QString, text);
    QCOMPARE(PlaybackText::position(units, frames, fps), text);
}

void TestPlaybackText::speedTextAndCodes()
{
    QCOMPARE(PlaybackText::speed(0.2), QStringLiteral(" 0.2"));
    QCOMPARE(PlaybackText::speed(0.71), QStringLiteral(" 0.7"));
    QCOMPARE(PlaybackText::speed(1.0), QStringLiteral(" 1.0"));
    QCOMPARE(PlaybackText::speed(5.0), QStringLiteral(" 5.0"));
    QCOMPARE(PlaybackText::speed(10.0), QStringLiteral("10.0"));
    QCOMPARE(PlaybackText::speed(0.1 + 0.1 + 0.1), QStringLiteral(" 0.3"));
    QCOMPARE(PlaybackText::speedCode(0.71), 7);
    QCOMPARE(PlaybackText::speedCode(0.1 + 0.1 + 0.1), 3);
    QCOMPARE(PlaybackText::speedCode(1.0), 10);
    QCOMPARE(PlaybackText::speedCode(10.0), 19);
    for (int code = 1; code <= 19; ++code)
        QCOMPARE(PlaybackText::speedCode(PlaybackText::rateForCode(code)), code);
    QCOMPARE(PlaybackText::rateForCode(19), 10.0);
    QCOMPARE(PlaybackText::rateForCode(14), 5.0);
    QCOMPARE(PlaybackText::rateForCode(2), 0.2);
}

void TestPlaybackText::frameRate()
{
    QCOMPARE(PlaybackText::frameRate(25), QStringLiteral(" 25.00 FPS "));
    QCOMPARE(PlaybackText::frameRate(30000.0 / 1001), QStringLiteral(" 29.97 FPS "));
}

void TestPlaybackText::title()
{
    QCOMPARE(PlaybackText::title(QStringLiteral("/m/clip.mpg")), QStringLiteral("clip.mpg            "));
    QCOMPARE(PlaybackText::title(QStringLiteral("/m/clip.mpg")).size(), 20);
    QCOMPARE(PlaybackText::title(QStringLiteral("/m/nineteen-chars.ab")), QStringLiteral("nineteen-chars.ab   "));
    QCOMPARE(PlaybackText::title(QStringLiteral("/m/a-name-of-twenty-one.avi")),
             QStringLiteral("a-name-of-twenty-one.avi "));
    QCOMPARE(PlaybackText::title(QStringLiteral("exactly-nineteen-ch")), QStringLiteral("exactly-nineteen-ch "));
}

QTEST_GUILESS_MAIN(TestPlaybackText)
#include "test_playback_text.moc"
