#include "TestEnv.h"
#include "app/ProcessState.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "ui/Commands.h"
#include "ui/ControlWindow.h"
#include "ui/ViewGeometry.h"

#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

class TestControlWindow : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestEnv> env;
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
        QVERIFY(w->isDocked());
        QCOMPARE(w->videoScale(), 100);
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
        w->execute(Command::CompactView);
        QCOMPARE(w->height(), 189);
        QCOMPARE(w->windowSizeMode(), 1);
        w->execute(Command::CompactView);
        QCOMPARE(w->height(), 491);
        QCOMPARE(w->windowSizeMode(), 0);
        // The two toggles are independent: compact, minimal, then compact restores.
        w->execute(Command::CompactView);
        w->execute(Command::MinimalView);
        QCOMPARE(w->height(), 104);
        QCOMPARE(w->windowSizeMode(), 2);
        w->execute(Command::CompactView);
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
            w->execute(Command::ExitButton);
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
        w->execute(Command::ExitButton);
        QCOMPARE(prompt.messages.size(), size_t(1)); // not asked again
        QCOMPARE(finished.size(), 1);
    }

    void answeringYesHidesFromNowOn()
    {
        prompt.queueAnswer(PromptKind::AnswerYes);
        auto w = make();
        QSignalSpy finished(w.get(), &QDialog::finished);
        w->execute(Command::ExitButton);
        QCOMPARE(store->read(Key::CloseHides), 1);
        QVERIFY(!w->isVisible());
        QCOMPARE(finished.size(), 0);
        w->bringForward();
        QVERIFY(w->isVisible());
        w->execute(Command::ExitButton);
        QVERIFY(!w->isVisible());
        QCOMPARE(prompt.messages.size(), size_t(1));
        // The menu's Exit closes without asking.
        w->execute(Command::Exit);
        QCOMPARE(finished.size(), 1);
    }

    void shutdownSavesWindowStateAndToggles()
    {
        auto w = make();
        w->move(200, 100);
        QTRY_COMPARE(w->pos(), QPoint(200, 100));
        w->execute(Command::CompactView);
        w->execute(Command::Scale200);
        w->execute(Command::RandomToggle);
        w->execute(Command::LoopListToggle);
        w->execute(Command::ShowRemaining);
        w->execute(Command::ToggleTimeRemaining);
        w->execute(Command::DockToggle);
        w->execute(Command::Exit);
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
        int tips = 0;
        QSet<QString> texts;
        for (const ControlEntry &c : Commands::controls()) {
            QWidget *widget = w->findChild<QWidget *>(QString::number(c.id));
            QVERIFY2(widget, qPrintable(QString::number(c.id)));
            if (c.tooltip) {
                QCOMPARE(widget->toolTip(), QString::fromUtf8(c.tooltip));
                ++tips;
                texts.insert(widget->toolTip());
            }
        }
        QCOMPARE(tips, 49);
        QCOMPARE(texts.size(), 48);
        QCOMPARE(w->control(3)->toolTip(), QStringLiteral("Stop -  Stop the file"));
        QCOMPARE(w->control(1061)->toolTip(),
                 QStringLiteral("FillScreen View - Fills Screen && keeps border (press P to Play)"));
        QCOMPARE(w->control(1050)->property("text").toString(), QStringLiteral(".&7"));
    }

    void normalControlsStayInTheMinimalBand()
    {
        auto w = make();
        for (int id : {1105, 3, 4, 5, 6, 7, 8, 9, 12, 1023, 1024})
            QVERIFY2(w->control(id)->geometry().bottom() < 104, qPrintable(QString::number(id)));
        for (int id : {1084, 1085, 1086, 1087})
            QVERIFY(w->control(id)->geometry().bottom() < 189);
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
        QTest::keyClick(w->control(1105), Qt::Key_Escape);
        QCOMPARE(finished.size(), 1);
    }

    void keyAndMediaKeyTables()
    {
        QCOMPARE(Commands::forKey(Qt::Key_P, {}), Command::PlayPause);
        QCOMPARE(Commands::forKey(Qt::Key_Pause, {}), Command::PlayPause);
        QCOMPARE(Commands::forKey(Qt::Key_7, Qt::KeypadModifier), Command::Rate07);
        QCOMPARE(Commands::forKey(Qt::Key_Plus, {}), Command::None);
        QCOMPARE(Commands::forKey(Qt::Key_Plus, Qt::KeypadModifier), Command::Faster);
        QCOMPARE(Commands::forKey(Qt::Key_Minus, Qt::KeypadModifier), Command::Slower);
        QCOMPARE(Commands::forMediaKey(Qt::Key_MediaNext), Command::FastForward);
        QCOMPARE(Commands::forMediaKey(Qt::Key_MediaPrevious), Command::Rewind);
        QCOMPARE(Commands::forMediaKey(Qt::Key_MediaStop), Command::Stop);
        QCOMPARE(Commands::forMediaKey(Qt::Key_MediaTogglePlayPause), Command::PlayPause);
        QCOMPARE(Commands::forMediaKey(Qt::Key_VolumeUp), Command::None);
    }

    void contextMenuItems()
    {
        auto w = make();
        QStringList texts;
        for (QAction *a : w->contextMenu()->actions()) {
            if (!a->isSeparator())
                texts << a->text();
        }
        QCOMPARE(texts, (QStringList{"&Open a File or Play List", "&Create an empty Play List",
                                     "&Edit a Play List", "Save &File As", "&Save Current as Play List",
                                     "&About", "E&xit"}));
        // The open item runs the open dialog; cancelled, nothing changes.
        w->contextMenu()->findChild<QAction *>("57601")->trigger();
        QCOMPARE(prompt.fileRequests.size(), size_t(1));
        QCOMPARE(prompt.fileRequests[0].title, QStringLiteral("Open a multimedia or playlist file... "));
        QSignalSpy finished(w.get(), &QDialog::finished);
        w->contextMenu()->findChild<QAction *>("32772")->trigger();
        QCOMPARE(finished.size(), 1);
        QVERIFY(prompt.messages.empty()); // the menu's Exit never asks
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
