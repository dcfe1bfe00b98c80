#include "StatusArea.h"
#include "TestEnv.h"
#include "TestMedia.h"
#include "app/ProcessState.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "playback/MediaGraph.h"
#include "playlist/PlayList.h"
#include "ui/Commands.h"
#include "skin/DigitalDisplay.h"
#include "skin/SkinButton.h"
#include "skin/SkinSlider.h"
#include "ui/ControlSet.h"
#include "ui/ControlWindow.h"
#include "ui/Readouts.h"
#include "ui/ScreenModes.h"
#include "ui/ViewGeometry.h"
#include "prefs/OptionsDialog.h"
#include "skin/ColourChooserDialog.h"
#include "skin/ScrollingDisplay.h"
#include <QSpinBox>
#include <QCheckBox>
#include <QSlider>

#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

class TestControlWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
    StatusArea tray;
    std::unique_ptr<SettingsStore> store;
    ScriptedPrompt prompt;
    ProcessState process;

    std::unique_ptr<ControlWindow> make()
    {
        auto w = std::make_unique<ControlWindow>(*store, prompt, process);
        w->show();
        if (!QTest::qWaitForWindowExposed(w.get()))
            qWarning("control window not exposed");
        return w;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(tray.start()); }

    void init()
    {
        env = std::make_unique<TestEnv>();
        store = std::make_unique<SettingsStore>(QStringLiteral("kinetrope"));
        store->write(Key::SplashDisable, 1);
        store->write(Key::AutoUpdateNotification, 0);
        prompt = ScriptedPrompt();
        process = ProcessState();
    }

    void firstRunPlacesTheWindowAt50WithRoundCorners()
    {
        auto w = make();
        QCOMPARE(w->pos(), QPoint(50, 50));
        QCOMPARE(w->size(), QSize(268, 491));
        QVERIFY(!w->mask().isEmpty());
        QVERIFY(!w->mask().contains(QPoint(1, 1)));          // the corner is cut off
        QVERIFY(w->mask().contains(QPoint(134, 245)));
        QVERIFY(!w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(w->screenModes().docked());
        QCOMPARE(w->screenModes().scale(), 100);
    }

    void alwaysOnTopFollowsItsPreference()
    {
        store->write(Key::AlwaysOnTop, 1);
        auto w = make();
        QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(w->isVisible());
    }

    void squareCornersKeepThePlainRectangle()
    {
        store->write(Key::SquareCorners, 1);
        auto w = make();
        QVERIFY(w->mask().isEmpty());
    }

    void savedPositionOutsideTheScreenIsReset()
    {
        const QSize screen = QGuiApplication::primaryScreen()->virtualGeometry().size();
        store->write(Key::WindowLeft, screen.width() + 100);
        store->write(Key::WindowTop, 10);
        store->write(Key::WindowRight, 200);
        store->write(Key::WindowBottom, 300);
        auto w = make();
        QCOMPARE(store->read(Key::WindowLeft), 50);
        QCOMPARE(store->read(Key::WindowTop), 50);
        QCOMPARE(store->read(Key::WindowRight), 50 + 268);
        QCOMPARE(store->read(Key::WindowBottom), 50 + 491);
        QCOMPARE(w->pos(), QPoint(50, 50));

        store->write(Key::WindowLeft, -10);
        QVERIFY(ViewGeometry::outsideScreen({-10, 50, 300, 500}, screen));
    }

    void savedPositionIsRestored()
    {
        store->write(Key::WindowLeft, 300);
        store->write(Key::WindowTop, 120);
        store->write(Key::WindowRight, 568);
        store->write(Key::WindowBottom, 611);
        auto w = make();
        QCOMPARE(w->pos(), QPoint(300, 120));
        store->write(Key::RememberCoords, 0);
        auto w2 = make();
        QCOMPARE(w2->pos(), QPoint(50, 50));
    }

    void compactAndMinimalHeights()
    {
        auto w = make();
        w->execute({Command::CompactView});
        QCOMPARE(w->height(), 189);
        QCOMPARE(w->windowSizeMode(), 1);
        w->execute({Command::CompactView});
        QCOMPARE(w->height(), 491);
        QCOMPARE(w->windowSizeMode(), 0);
        // The two toggles are independent: compact, minimal, then compact restores.
        w->execute({Command::CompactView});
        w->execute({Command::MinimalView});
        QCOMPARE(w->height(), 104);
        QCOMPARE(w->windowSizeMode(), 2);
        w->execute({Command::CompactView});
        QCOMPARE(w->height(), 491);
        QCOMPARE(w->width(), 268);
        QCOMPARE(w->pos(), QPoint(50, 50));
    }

    void rememberedSizeApplies()
    {
        store->write(Key::WindowSize, 2);
        {
            auto w = make();
            QCOMPARE(w->height(), 104);
        }
        process = ProcessState();
        store->write(Key::RememberSize, 0);
        auto w = make();
        QCOMPARE(w->height(), 491);
    }

    void exitAsksCloseOrHideOnce()
    {
        prompt.queueAnswer(PromptKind::AnswerNo);
        {
            auto w = make();
            QSignalSpy finished(w.get(), &QDialog::finished);
            w->execute({Command::ExitButton});
            QCOMPARE(prompt.messages.size(), size_t(1));
            QCOMPARE(prompt.messages[0].caption, QStringLiteral("Close or Hide?"));
            QVERIFY(prompt.messages[0].text.startsWith("Would you prefer to hide instead of closing?\r"));
            QCOMPARE(prompt.messages[0].buttons, PromptKind::YesNo);
            QCOMPARE(finished.size(), 1);
            QCOMPARE(finished[0][0].toInt(), 0);
        }
        QCOMPARE(store->read(Key::AskExitQuestion), 1);
        QCOMPARE(store->read(Key::CloseHides), 0);
        auto w = make();
        QSignalSpy finished(w.get(), &QDialog::finished);
        w->execute({Command::ExitButton});
        QCOMPARE(prompt.messages.size(), size_t(1)); // not asked again
        QCOMPARE(finished.size(), 1);
    }

    void answeringYesHidesFromNowOn()
    {
        prompt.queueAnswer(PromptKind::AnswerYes);
        auto w = make();
        QSignalSpy finished(w.get(), &QDialog::finished);
        w->execute({Command::ExitButton});
        QCOMPARE(store->read(Key::CloseHides), 1);
        QVERIFY(!w->isVisible());
        QCOMPARE(finished.size(), 0);
        w->bringForward();
        QVERIFY(w->isVisible());
        w->execute({Command::ExitButton});
        QVERIFY(!w->isVisible());
        QCOMPARE(prompt.messages.size(), size_t(1));
        // The menu's Exit closes without asking.
        w->execute({Command::Exit});
        QCOMPARE(finished.size(), 1);
    }

    void shutdownSavesWindowStateAndToggles()
    {
        auto w = make();
        w->move(200, 100);
        QTRY_COMPARE(w->pos(), QPoint(200, 100));
        w->execute({Command::CompactView});
        w->execute({Command::SetScale, 200});
        w->execute({Command::RandomToggle});
        w->execute({Command::LoopListToggle});
        w->execute({Command::ShowRemaining});
        w->execute({Command::ToggleTimeRemaining});
        w->execute({Command::DockToggle});
        w->execute({Command::Exit});
        QCOMPARE(store->read(Key::WindowLeft), 200);
        QCOMPARE(store->read(Key::WindowTop), 100);
        QCOMPARE(store->read(Key::WindowRight), 468);
        QCOMPARE(store->read(Key::WindowBottom), 289);
        QCOMPARE(store->read(Key::WindowSize), 1);
        QCOMPARE(store->read(Key::VideoSize), 200);
        QCOMPARE(store->read(Key::RandomState), 1);
        QCOMPARE(store->read(Key::AutoLoop), 0);
        QCOMPARE(store->read(Key::LoopPlaylist), 1);
        QCOMPARE(store->read(Key::DockWindow), 0);
        QCOMPARE(store->read(Key::Remain), 1);
        QCOMPARE(store->read(Key::Current), 1);
    }

    void everyControlHasItsIdAndTooltip()
    {
        auto w = make();
        QSet<int> ids;
        auto check = [&](int id, const char *tooltip) {
            QWidget *widget = w->findChild<QWidget *>(QString::number(id));
            QVERIFY2(widget, qPrintable(QString::number(id)));
            QCOMPARE(widget->toolTip(), QString::fromUtf8(tooltip ? tooltip : ""));
            QVERIFY2(!ids.contains(id), qPrintable(QString::number(id)));
            ids.insert(id);
        };
        for (const ButtonEntry &b : Commands::buttons())
            check(idNumber(b.id), b.tooltip);
        for (const SliderEntry &s : Commands::sliders())
            check(idNumber(s.id), s.tooltip);
        for (const LabelEntry &l : Commands::labels())
            check(idNumber(l.id), l.tooltip);
        for (const DisplayEntry &d : Commands::displays())
            check(idNumber(d.id), d.tooltip);
        QCOMPARE(w->controls().button(ButtonId::Stop)->toolTip(), QStringLiteral("Stop -  Stop the file"));
        QCOMPARE(w->controls().button(ButtonId::FillScreen)->toolTip(),
                 QStringLiteral("FillScreen View - Fills Screen && keeps border (press P to Play)"));
        QCOMPARE(w->controls().button(ButtonId::Rate07)->text(), QStringLiteral(".&7"));
    }

    void normalControlsStayInTheMinimalBand()
    {
        auto w = make();
        using B = ButtonId;
        for (B id : {B::PlayPause, B::Stop, B::Eject, B::Rewind, B::Review, B::FastForward, B::Cue, B::Exit,
                     B::StatusArea, B::MinimalView, B::CompactView})
            QVERIFY2(w->controls().button(id)->geometry().bottom() < 104, qPrintable(QString::number(idNumber(id))));
        using D = DisplayId;
        for (D id : {D::StartTime, D::CurrentTime, D::EndTime, D::TotalTime})
            QVERIFY(w->readouts().display(id)->geometry().bottom() < 189);
    }

    void escapeFollowsItsPreference()
    {
        {
            auto w = make();
            QSignalSpy finished(w.get(), &QDialog::finished);
            QTest::keyClick(w.get(), Qt::Key_Escape);
            QCOMPARE(finished.size(), 0); // nothing happens in the windowed view
            QVERIFY(w->isVisible());
        }
        store->write(Key::EscFunction, 1);
        auto w = make();
        QSignalSpy finished(w.get(), &QDialog::finished);
        QTest::keyClick(w->controls().button(ButtonId::PlayPause), Qt::Key_Escape);
        QCOMPARE(finished.size(), 1);
    }

    void keyAndMediaKeyTables()
    {
        QCOMPARE(Commands::forKey(Qt::Key_P, {}), Action{Command::PlayPause});
        QCOMPARE(Commands::forKey(Qt::Key_Pause, {}), Action{Command::PlayPause});
        QCOMPARE(Commands::forKey(Qt::Key_7, Qt::KeypadModifier), (Action{Command::SetRate, 0.71}));
        QCOMPARE(Commands::forKey(Qt::Key_Plus, {}), Action{});
        QCOMPARE(Commands::forKey(Qt::Key_Plus, Qt::KeypadModifier), Action{Command::Faster});
        QCOMPARE(Commands::forKey(Qt::Key_Minus, Qt::KeypadModifier), Action{Command::Slower});
        QCOMPARE(Commands::forMediaKey(Qt::Key_MediaNext), Action{Command::FastForward});
        QCOMPARE(Commands::forMediaKey(Qt::Key_MediaPrevious), Action{Command::Rewind});
        QCOMPARE(Commands::forMediaKey(Qt::Key_MediaStop), Action{Command::Stop});
        QCOMPARE(Commands::forMediaKey(Qt::Key_MediaTogglePlayPause), Action{Command::PlayPause});
        QCOMPARE(Commands::forMediaKey(Qt::Key_VolumeUp), Action{});
    }

    void contextMenuItems()
    {
        auto w = make();
        QStringList texts;
        for (QAction *a : w->contextMenu()->actions()) {
            if (!a->isSeparator())
                texts << a->text();
        }
        QCOMPARE(texts, (QStringList{"&Open a File or Play List", "Open &URL…\tCtrl+U", "&Create an empty Play List",
                                     "&Edit a Play List", "Save &File As", "&Save Current as Play List",
                                     "Subtitles", "Audio track", "Save a Screens&hot\tF12", "&Options", "&Digital Display Colours", "C&lock Display Colours",
                                     "D&ate Display Colours", "S&peed Display Colours", "Button &Images",
                                     "&Background", "&Help", "&Internet", "&About", "E&xit"}));
        // The colour sub-menus: every item with its command number and text, as the user's
        // documentation of the colour schemes lists them.
        const QList<std::pair<QString, QStringList>> colours = {
            {"&Digital Display Colours",
             {"32793 Change digital displays &background colour", "32795 Change digital displays o&n colour",
              "32794 Change digital displays o&ff colour", "32796 &Restore default digital displays colours",
              "32797 Load last &saved digital display colours"}},
            {"C&lock Display Colours",
             {"32821 Change clock display background colour", "32822 Change clock display on colour",
              "32823 Change clock display off colour", "32824 Load last saved clock display colours",
              "32825 Restore default clock display colours"}},
            {"D&ate Display Colours",
             {"32843 Change date display background colour", "32842 Change date display on colour",
              "32841 Change date display off colour", "32840 Load last saved date display colours",
              "32839 Restore default date display colours"}},
            {"S&peed Display Colours",
             {"32826 Change speed display background colour", "32827 Change speed display on colour",
              "32828 Change speed display off colour", "32829 Load last saved speed display colours",
              "32830 Restore default speed display colours"}},
        };
        for (const auto &[title, items] : colours) {
            QMenu *sub = nullptr;
            for (QAction *a : w->contextMenu()->actions()) {
                if (a->text() == title)
                    sub = a->menu();
            }
            QVERIFY2(sub, qPrintable(title));
            QStringList shown;
            for (QAction *a : sub->actions())
                shown << a->objectName() + u' ' + a->text();
            QCOMPARE(shown, items);
        }
        // The open item runs the open dialog; cancelled, nothing changes.
        w->contextMenu()->findChild<QAction *>("57601")->trigger();
        QCOMPARE(prompt.fileRequests.size(), size_t(1));
        QCOMPARE(prompt.fileRequests[0].title, QStringLiteral("Open a multimedia or playlist file... "));
        QSignalSpy finished(w.get(), &QDialog::finished);
        w->contextMenu()->findChild<QAction *>("32772")->trigger();
        QCOMPARE(finished.size(), 1);
        QVERIFY(prompt.messages.empty()); // the menu's Exit never asks
    }

    void optionsTakeEffectWithoutARestart()
    {
        auto w = make();
        QVERIFY(!w->mask().isEmpty());
        QTimer *tick = w->timer(ControlWindow::PlaybackTimer);
        w->playList().startFromSelection({TestMedia::mpeg1Ps()});
        QTRY_VERIFY(w->graph().loaded());
        w->execute({Command::PlayPause});
        QTRY_VERIFY(w->graph().playing());
        QVERIFY(tick->isActive());
        QCOMPARE(tick->interval(), Key::UpdatePeriod.def);
        w->execute({Command::PlayPause});
        QTRY_VERIFY(!tick->isActive());
        QSignalSpy finished(w.get(), &QDialog::finished);
        // The dialog runs modally: work it from inside its own loop.
        QTimer::singleShot(100, w.get(), [&] {
            auto *d = w->findChild<OptionsDialog *>();
            QVERIFY(d && d->isVisible());
            for (int control : {1047, 1046, 1045, 1048})
                d->box(control)->click();
            d->periodSlider()->setValue(200);
            d->accept();
        });
        w->contextMenu()->findChild<QAction *>("32773")->trigger();
        QCOMPARE(finished.size(), 0);
        QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(w->mask().isEmpty()); // square corners, re-shaped in place
        QVERIFY(w->preferences().isOn(Key::Hour24Format));
        QCOMPARE(w->preferences().updatePeriod(), 200);
        QCOMPARE(store->read(Key::USDateFormat), 0);
        QVERIFY(!w->preferences().isOn(Key::USDateFormat));
        // The playback timer's next start runs at the new period.
        QVERIFY(!tick->isActive());
        w->execute({Command::PlayPause});
        QVERIFY(tick->isActive());
        QCOMPARE(tick->interval(), 200);
    }

    void displayColourCommandsUseTheChooser()
    {
        auto w = make();
        auto choose = [&](int red, int green, int blue, bool ok) {
            QTimer::singleShot(100, w.get(), [&, red, green, blue, ok] {
                auto *d = w->findChild<ColourChooserDialog *>();
                QVERIFY(d && d->isVisible());
                d->findChild<QSpinBox *>("red")->setValue(red);
                d->findChild<QSpinBox *>("green")->setValue(green);
                d->findChild<QSpinBox *>("blue")->setValue(blue);
                ok ? d->accept() : d->reject();
            });
        };
        const QByteArray before = [&] {
            QFile f(store->fileName());
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        choose(10, 20, 30, false); // cancelled: nothing stored, nothing shown
        w->contextMenu()->findChild<QAction *>("32821")->trigger();
        QFile f(store->fileName());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        f.close();
        QCOMPARE(w->readouts().clock()->backColour(), Key::DefaultBackColour);
        choose(255, 0, 0, true);
        w->contextMenu()->findChild<QAction *>("32821")->trigger();
        QCOMPARE(w->readouts().clock()->backColour(), 0x0000FF); // red is the low byte
        QCOMPARE(store->read(Key::ClockColours.back), 0x0000FF);
        QCOMPARE(store->read(Key::ClockColours.prevBack), Key::DefaultBackColour);
        // The digital displays' on colour reaches all five of them.
        choose(0, 0, 200, true);
        w->contextMenu()->findChild<QAction *>("32795")->trigger();
        for (DisplayId id : {DisplayId::FileNumber, DisplayId::StartTime, DisplayId::CurrentTime, DisplayId::EndTime,
                             DisplayId::TotalTime})
            QCOMPARE(w->readouts().display(id)->onColour(), 200 << 16);
        w->contextMenu()->findChild<QAction *>("32824")->trigger(); // load last saved clock colours
        QCOMPARE(w->readouts().clock()->backColour(), Key::DefaultBackColour);
    }

    void scaledPictureSizes()
    {
        using ViewGeometry::scaledPicture;
        QCOMPARE(scaledPicture(100, {352, 288}), QSize(350, 280));
        QCOMPARE(scaledPicture(50, {352, 288}), QSize(175, 140));
        QCOMPARE(scaledPicture(200, {352, 288}), QSize(700, 560));
        QCOMPARE(scaledPicture(300, {352, 288}), QSize(1050, 840));
        QCOMPARE(scaledPicture(50, {320, 240}), QSize(160, 120));
        QCOMPARE(scaledPicture(50, {330, 250}), QSize(165, 125));
    }

    void dockingStopsAtTheScreenEdge()
    {
        using namespace ViewGeometry;
        // Room on the right: the video starts at the control window's right edge.
        auto d = dockVideo(QRect(50, 50, 268, 491), QSize(354, 284), 0, 1920, false, false);
        QCOMPARE(d.video, QPoint(318, 50));
        QVERIFY(!d.control);
        // No room on the right: the video stops at the edge, the control window moves.
        d = dockVideo(QRect(1700, 50, 268, 491), QSize(354, 284), 0, 1920, false, false);
        QCOMPARE(d.video, QPoint(1920 - 354, 50));
        QCOMPARE(*d.control, QPoint(1920 - 354 - 268, 50));
        // On the left at the screen's left edge: video at 0, control window to its right.
        d = dockVideo(QRect(0, 50, 268, 491), QSize(354, 284), 0, 1920, true, false);
        QCOMPARE(d.video, QPoint(0, 50));
        QCOMPARE(*d.control, QPoint(354, 50));
        // Forced placement ignores the edge.
        d = dockVideo(QRect(0, 50, 268, 491), QSize(354, 284), 0, 1920, true, true);
        QCOMPARE(d.video, QPoint(-354, 50));
        QCOMPARE(controlBeside(QRect(400, 80, 354, 284), 268, false), QPoint(132, 80));
        // Undocked corners off the screen reset to 0,0.
        QCOMPARE(undockedPlace({100, 100}, {354, 284}, {1920, 1080}).reset, false);
        QCOMPARE(undockedPlace({1800, 100}, {354, 284}, {1920, 1080}).topLeft, QPoint(0, 0));
        QCOMPARE(undockedPlace({-1, 100}, {354, 284}, {1920, 1080}).reset, true);
    }
};

QTEST_MAIN(TestControlWindow)
#include "test_controlwindow.moc"
