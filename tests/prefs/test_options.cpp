// The Options dialog driven by the mouse: what it shows, what OK and Cancel write (checked in
// the settings file itself), the boxes that exclude each other, the period slider's ends.
// KT_SHOTS=<folder> also saves a screenshot of it there.
#include "TestEnv.h"
#include "app/SettingsStore.h"
#include "prefs/OptionsDialog.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

class TestOptions : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    std::unique_ptr<SettingsStore> store;

    QByteArray file() const
    {
        QFile f(store->fileName());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void click(OptionsDialog &d, int control)
    {
        QTest::mouseClick(d.box(control), Qt::LeftButton, {}, QPoint(6, d.box(control)->height() / 2));
    }
    static void press(OptionsDialog &d, const char *button)
    {
        QTest::mouseClick(d.findChild<QPushButton *>(QString::fromLatin1(button)), Qt::LeftButton);
    }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<TestEnv>();
        store = std::make_unique<SettingsStore>(QStringLiteral("kinetrope"));
        QFile::remove(store->fileName());
    }

    void okWritesItsOwnKeysAndNoOther()
    {
        store->write(Key::SquareCorners, 7); // any value but 0 is set
        store->write(Key::UpdatePeriod, 120);
        store->write(Key::Current, 1);       // not the dialog's
        Preferences live;
        live.load(*store);
        OptionsDialog d(live, *store);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QCOMPARE(d.windowTitle(), QStringLiteral("Options"));
        QCOMPARE(d.focusWidget(), d.findChild<QPushButton *>(QStringLiteral("1")));
        QVERIFY(d.box(1046)->isChecked());
        QCOMPARE(d.periodText()->text(), QStringLiteral("120"));
        // Pause and eject on hiding exclude each other.
        QVERIFY(d.box(1050)->isChecked());
        click(d, 1054);
        QVERIFY(d.box(1054)->isChecked());
        QVERIFY(!d.box(1050)->isChecked());
        click(d, 1050);
        QVERIFY(!d.box(1054)->isChecked());
        // The slider's ends, shown in its read-only text.
        d.periodSlider()->setFocus();
        QTest::keyClick(d.periodSlider(), Qt::Key_Home);
        QCOMPARE(d.periodText()->text(), QStringLiteral("40"));
        QTest::keyClick(d.periodSlider(), Qt::Key_End);
        QCOMPARE(d.periodText()->text(), QStringLiteral("500"));
        QVERIFY(d.periodText()->isReadOnly());
        click(d, 1045);
        // Nothing is stored before OK.
        QCOMPARE(store->read(Key::Hour24Format), 0);
        QCOMPARE(live.updatePeriod(), 120);
        press(d, "1");
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(store->read(Key::SquareCorners), 1);
        QCOMPARE(store->read(Key::AutoPause), 1);
        QCOMPARE(store->read(Key::EjectOnMinimize), 0);
        QCOMPARE(store->read(Key::Hour24Format), 1);
        QCOMPARE(store->read(Key::UpdatePeriod), 500);
        QCOMPARE(live.updatePeriod(), 500);
        QVERIFY(live.isOn(Key::Hour24Format));
        for (const OptionsDialog::Row &row : OptionsDialog::rows())
            QVERIFY2(file().contains(row.key->name), row.key->name);
        QCOMPARE(store->read(Key::Current), 1);
        QVERIFY(!file().contains("AskExitQuestion"));
    }

    void cancelWritesOnlyTheExitQuestion()
    {
        Preferences live;
        live.load(*store);
        const Preferences before = live;
        OptionsDialog d(live, *store);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        click(d, 1047);
        click(d, 1027);
        press(d, "3"); // Set Defaults fills the controls only
        // Choosing how closing behaves settles the one-time question at once.
        click(d, 1052);
        QCOMPARE(store->read(Key::AskExitQuestion), 1);
        const QByteArray written = file();
        press(d, "2");
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QCOMPARE(file(), written);
        for (const OptionsDialog::Row &row : OptionsDialog::rows())
            QCOMPARE(live.value(*row.key), before.value(*row.key));
        QCOMPARE(live.value(Key::AskExitQuestion), 1);
    }

    void lastSavedAndDefaults()
    {
        store->write(Key::UpdatePeriod, 300);
        store->write(Key::OpenOnLeft, 1);
        Preferences live;
        live.load(*store);
        {
            OptionsDialog d(live, *store);
            d.show();
            click(d, 1038);
            d.periodSlider()->setValue(55);
            QCOMPARE(d.periodText()->text(), QStringLiteral("55"));
            press(d, "5");
            QVERIFY(d.box(1038)->isChecked());
            QCOMPARE(d.periodSlider()->value(), 300);
            QCOMPARE(d.periodText()->text(), QStringLiteral("300"));
            // Defaults, then OK: the table's defaults are written.
            press(d, "3");
            QCOMPARE(d.periodText()->text(), QStringLiteral("80"));
            press(d, "1");
        }
        for (const OptionsDialog::Row &row : OptionsDialog::rows())
            QCOMPARE(store->read(*row.key), row.key->def);
        QCOMPARE(store->read(Key::UpdatePeriod), 80);
    }

    void screenshot()
    {
        const QString dir = qEnvironmentVariable("KT_SHOTS");
        if (dir.isEmpty())
            QSKIP("KT_SHOTS names no folder");
        Preferences live;
        live.load(*store);
        OptionsDialog d(live, *store);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QVERIFY(d.grab().save(dir + QStringLiteral("/options.png")));
    }
};

QTEST_MAIN(TestOptions)
#include "test_options.moc"
