#include "TestEnv.h"
#include "app/SettingsStore.h"

#include <QProcess>
#include <QSettings>
#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;

private Q_SLOTS:
    void init() { env = std::make_unique<TestEnv>(); }

    void emptyStoreGivesTableDefaults()
    {
        SettingsStore s(QStringLiteral("kinetrope"));
        QCOMPARE(s.read(Key::WindowLeft), 50);
        QCOMPARE(s.read(Key::WindowTop), 50);
        QCOMPARE(s.read(Key::UpdatePeriod), 80);
        QCOMPARE(s.read(Key::USDateFormat), 1);
        QCOMPARE(s.read(Key::DDColours.back), 0x8BB7B3);
        QCOMPARE(s.read(Key::ClockColours.on), 0);
        QCOMPARE(s.read(Key::SpeedColours.off), 0x6CA49E);
        QCOMPARE(s.read(Key::LastDirectory, QStringLiteral("/x")), QStringLiteral("/x"));
        // A read writes nothing back.
        QVERIFY(!QFile::exists(s.fileName()));
    }

    void keysIgnoreCaseAndKeepTheirFirstSpelling()
    {
        SettingsStore s(QStringLiteral("kinetrope"));
        s.writeProfileString("Kinetrope", "RANDOMButtonBMP", "/img/a.bmp");
        QCOMPARE(s.getProfileString("Kinetrope", "RandomButtonBMP", "x"), QStringLiteral("/img/a.bmp"));
        s.writeProfileString("Kinetrope", QString::fromLatin1(Key::ButtonImage::RandomReset), "");
        QCOMPARE(s.getProfileString("Kinetrope", "RANDOMButtonBMP", "x"), QString());

        QSettings raw(s.fileName(), QSettings::IniFormat);
        raw.beginGroup("Kinetrope");
        QCOMPARE(raw.childKeys(), QStringList{"RANDOMButtonBMP"});
        // The empty string is stored, not deleted.
        QVERIFY(raw.contains("RANDOMButtonBMP"));

        s.write(Key::WindowLeft, 7);
        QCOMPARE(s.getProfileInt("KINETROPE", "window left", 0), 7);
    }

    void wrongTypeReadsAsDefault()
    {
        SettingsStore s(QStringLiteral("kinetrope"));
        s.writeProfileString("Kinetrope", "UpdatePeriod", "fast");
        QCOMPARE(s.read(Key::UpdatePeriod), 80);
        s.writeProfileString("Kinetrope", "UpdatePeriod", " 120 ");
        QCOMPARE(s.read(Key::UpdatePeriod), 120);
        // Colours round-trip including values with the top byte of a 32-bit word.
        s.write(Key::DDColours.on, 0x00FFFFFF);
        QCOMPARE(s.read(Key::DDColours.on), 0x00FFFFFF);
        s.write(Key::VideoWindowLeft, -40);
        QCOMPARE(s.read(Key::VideoWindowLeft), -40);
        // A list is not a string.
        {
            QSettings raw(s.fileName(), QSettings::IniFormat);
            raw.setValue("Kinetrope/BackgroundBMP", QStringList{"a", "b"});
        }
        QCOMPARE(s.read(Key::BackgroundBMP, "dflt"), QStringLiteral("dflt"));
    }

    void pathsWithSpecialCharactersRoundTrip()
    {
        SettingsStore s(QStringLiteral("kinetrope"));
        const QString path = QStringLiteral("/home/u/Vidéos/a \"b\"; c=d, [e].mpg");
        s.write(Key::MultipleInstanceRunTimeStr, path);
        QCOMPARE(s.read(Key::MultipleInstanceRunTimeStr), path);
    }

    void anotherProcessesWriteIsSeenAtOnce()
    {
        SettingsStore s(QStringLiteral("kinetrope"));
        QCOMPARE(s.read(Key::MultipleInstanceRunTimeFlag), 0);
        s.write(Key::MultipleInstanceRunTimeFlag, 0); // warm any cache of ours
        // Later rounds replace the file with one of the same size and modification time,
        // which is all QSettings compares before it trusts its cache.
        for (int round = 1; round <= 6; ++round) {
            QProcess p;
            p.setProgram(QStringLiteral(KT_SETTINGS_WRITER));
            p.setArguments({QStringLiteral("MultipleInstanceRunTimeFlag"), QString::number(round)});
            if (round > 3)
                p.setArguments(p.arguments() << QStringLiteral("--keep-time"));
            const QDateTime stamp = QFileInfo(s.fileName()).lastModified();
            p.start();
            QVERIFY(p.waitForFinished(20000));
            QCOMPARE(p.exitCode(), 0);
            if (round > 3)
                QCOMPARE(QFileInfo(s.fileName()).lastModified(), stamp);
            QCOMPARE(s.read(Key::MultipleInstanceRunTimeFlag), round);
        }
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
