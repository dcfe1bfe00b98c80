#include "TestEnv.h"
#include "ui/ReadoutFormat.h"

#include <QtTest>

using namespace Readout;

class TestReadoutFormat : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;

private Q_SLOTS:
    void init() { env = std::make_unique<TestEnv>(); }

    void timeOfDay_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<bool>("hour24");
        QTest::addColumn<QString>("text");
        QTest::newRow("morning") << QTime(9, 5, 7) << false << "   9:05:07  ";
        QTest::newRow("half past twelve") << QTime(12, 30, 0) << false << "  12:30:00  ";
        QTest::newRow("24h just past midnight") << QTime(0, 10, 0) << true << "   0:10:00  ";
        QTest::newRow("afternoon 12h") << QTime(13, 5, 9) << false << "   1:05:09  ";
        QTest::newRow("afternoon 24h") << QTime(13, 5, 9) << true << "  13:05:09  ";
        QTest::newRow("midnight 12h") << QTime(0, 0, 0) << false << "  12:00:00  ";
        QTest::newRow("midnight 24h") << QTime(0, 0, 0) << true << "   0:00:00  ";
        QTest::newRow("noon 12h") << QTime(12, 0, 0) << false << "  12:00:00  ";
        QTest::newRow("noon 24h") << QTime(12, 0, 0) << true << "  12:00:00  ";
        QTest::newRow("ten in the evening") << QTime(22, 59, 59) << false << "  10:59:59  ";
        QTest::newRow("late 24h") << QTime(23, 59, 59) << true << "  23:59:59  ";
        QTest::newRow("milliseconds ignored") << QTime(7, 0, 1, 999) << false << "   7:00:01  ";
    }
    void timeOfDay()
    {
        QFETCH(QTime, time);
        QFETCH(bool, hour24);
        QFETCH(QString, text);
        QCOMPARE(formatTimeOfDay(time, hour24), text);
    }

    void clockTextIsAlwaysTwelve()
    {
        for (int s = 0; s < 24 * 3600; s += 7)
            for (bool hour24 : {false, true}) {
                const QString t = formatTimeOfDay(QTime(0, 0).addSecs(s), hour24);
                QCOMPARE(t.size(), qsizetype(ClockPlaces));
                QVERIFY(t.startsWith(QStringLiteral("  ")) && t.endsWith(QStringLiteral("  ")));
                QCOMPARE(t[4], QLatin1Char(':'));
                QCOMPARE(t[7], QLatin1Char(':'));
            }
    }

    void dateInBothOrders()
    {
        QCOMPARE(dateText(QDate(2001, 12, 7), true), QStringLiteral(" December 7 2001   "));
        QCOMPARE(dateText(QDate(2001, 12, 7), false), QStringLiteral(" 7 December 2001   "));
        QCOMPARE(dateText(QDate(2001, 5, 5), false), QStringLiteral(" 5    May 2001     "));
        QCOMPARE(dateText(QDate(2001, 5, 5), true), QStringLiteral("    May 5 2001     "));
        QCOMPARE(dateText(QDate(2023, 9, 30), true), QStringLiteral(" September 30 2023 "));
        QCOMPARE(dateText(QDate(2024, 1, 1), false), QStringLiteral(" 1  January 2024   "));
    }

    void monthTable()
    {
        const QStringList names{" January", "February", "  March",   "  April",   "   May",   "  June",
                                "  July",   " August",  "September", " October", "November", "December"};
        for (int m = 1; m <= 12; ++m)
            QCOMPARE(monthName(m), names[m - 1]);
        QCOMPARE(monthName(0), QString());
        QCOMPARE(monthName(13), QString());
    }

    void dateTextIsAlwaysNineteen()
    {
        for (QDate d(2001, 1, 1); d.year() < 2003; d = d.addDays(1))
            for (bool american : {false, true})
                QCOMPARE(dateText(d, american).size(), qsizetype(DatePlaces));
        // Even a year that needs more places than four digits stays inside the display.
        QCOMPARE(dateText(QDate(123456, 9, 30), false).size(), qsizetype(DatePlaces));
    }

    void dateBufferSizes()
    {
        QString out = QStringLiteral("untouched");
        QVERIFY(!formatDate(QDate(2001, 12, 7), out, 19, true));
        QVERIFY(!formatDate(QDate(2001, 12, 7), out, 0, false));
        QCOMPARE(out, QStringLiteral("untouched"));
        QVERIFY(formatDate(QDate(2001, 12, 7), out, 20, true));
        QCOMPARE(out, QStringLiteral(" December 7 2001   "));
        QVERIFY(formatDate(QDate(2001, 12, 7), out, 26, false));
        QCOMPARE(out, QStringLiteral(" 7 December 2001         "));
    }

    void clockOwnership()
    {
        // stopped, playing audio only: the time of day; paused, or playing video: not.
        QVERIFY(clockShowsTimeOfDay(false, false, false));
        QVERIFY(clockShowsTimeOfDay(false, false, true));
        QVERIFY(clockShowsTimeOfDay(false, true, false));
        QVERIFY(!clockShowsTimeOfDay(false, true, true));
        QVERIFY(!clockShowsTimeOfDay(true, false, false));
        QVERIFY(!clockShowsTimeOfDay(true, false, true));
    }

    void startUpTexts()
    {
        QCOMPARE(clockIdleText(), QStringLiteral("    :  :    "));
        QCOMPARE(clockIdleText().size(), qsizetype(ClockPlaces));
        QCOMPARE(titleIdleText(), QString(19, QLatin1Char(' ')));
        QCOMPARE(titleScrollText(), QStringLiteral("   Kinetrope V3.33  "));
    }
};

QTEST_GUILESS_MAIN(TestReadoutFormat)
#include "test_readout_format.moc"
