// Display colour schemes against the settings file: what each command stores under which key,
// and what the displays then show.
#include "TestEnv.h"
#include "app/SettingsStore.h"
#include "skin/DigitalDisplay.h"
#include "skin/DisplayColours.h"

#include <QtTest>

class TestDisplayColours : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    std::unique_ptr<SettingsStore> store;

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<TestEnv>();
        store = std::make_unique<SettingsStore>(QStringLiteral("kinetrope"));
        QFile::remove(store->fileName());
    }

    void storedColoursShowInTheirChannels()
    {
        DigitalDisplay time, clock;
        time.resize(120, 30);
        time.setText(QStringLiteral("8"));
        store->write(Key::DDColours.back, 255);       // 0x0000FF is red: 0x00BBGGRR
        store->writeProfileString(Key::Section, QString::fromLatin1(Key::DDColours.on.name), QStringLiteral("blue"));
        store->write(Key::ClockColours.off, 0x7F00FF00); // bits above the low 24 mean nothing
        DisplayColours c(*store);
        c.setDisplays(DisplayColours::Digital, {&time});
        c.setDisplays(DisplayColours::Clock, {&clock});
        c.load();
        QCOMPARE(time.backColour(), 255);
        QCOMPARE(time.grab().toImage().pixel(1, 1) | 0xFF000000, qRgb(255, 0, 0));
        QCOMPARE(time.onColour(), Key::DefaultOnColour); // text reads as the default
        QCOMPARE(clock.offColour(), 0x00FF00);
        QCOMPARE(clock.backColour(), Key::DefaultBackColour);
    }

    void changeRestoreAndLastSaved()
    {
        DigitalDisplay clock, date;
        DisplayColours c(*store);
        c.setDisplays(DisplayColours::Clock, {&clock});
        c.setDisplays(DisplayColours::Date, {&date});
        c.load();
        const DisplayColours::Set defaults = DisplayColours::defaults();
        // Twice the clock's back colour: each change moves only that colour's old value.
        c.change(DisplayColours::Clock, DisplayColours::Back, 0x112233);
        c.change(DisplayColours::Clock, DisplayColours::Back, 0x445566);
        QCOMPARE(store->read(Key::ClockColours.back), 0x445566);
        QCOMPARE(store->read(Key::ClockColours.prevBack), 0x112233);
        QCOMPARE(clock.backColour(), 0x445566);
        // Load last saved: the first choice, on and off untouched; a second use goes back.
        c.loadLastSaved(DisplayColours::Clock);
        QCOMPARE(clock.backColour(), 0x112233);
        QCOMPARE(clock.onColour(), defaults.on);
        QCOMPARE(clock.offColour(), defaults.off);
        QCOMPARE(store->read(Key::ClockColours.prevBack), 0x445566);
        c.loadLastSaved(DisplayColours::Clock);
        QCOMPARE(clock.backColour(), 0x445566);
        // Restoring the date's defaults keeps what it showed as the previous set.
        c.change(DisplayColours::Date, DisplayColours::On, 0x0000AA);
        c.restoreDefaults(DisplayColours::Date);
        QCOMPARE(date.onColour(), defaults.on);
        QCOMPARE(store->read(Key::DateColours.prevOn), 0x0000AA);
        QCOMPARE(store->read(Key::DateColours.on), defaults.on);
        // And a new run shows what was stored.
        DigitalDisplay again;
        DisplayColours fresh(*store);
        fresh.setDisplays(DisplayColours::Clock, {&again});
        fresh.load();
        QCOMPARE(again.backColour(), 0x445566);
        // Load last saved with nothing stored loads the defaults.
        QFile::remove(store->fileName());
        DisplayColours empty(*store);
        empty.setDisplays(DisplayColours::Clock, {&again});
        empty.load();
        empty.loadLastSaved(DisplayColours::Clock);
        QCOMPARE(empty.current(DisplayColours::Clock), defaults);
    }
};

QTEST_MAIN(TestDisplayColours)
#include "test_display_colours.moc"
