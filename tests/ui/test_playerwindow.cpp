// The control window with real playback: views, docking, input and the desktop controls.
#include "SessionBus.h"
#include "StatusArea.h"
#include "TestEnv.h"
#include "WindowTest.h"
#include "TestMedia.h"
#include "app/ProcessState.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "playback/MediaEngine.h"
#include "playback/MediaGraph.h"
#include "playback/Transport.h"
#include "playlist/PlayList.h"
#include "ui/AboutDialog.h"
#include "skin/SkinButton.h"
#include "skin/SkinSlider.h"
#include "ui/ControlSet.h"
#include "ui/ControlWindow.h"
#include "ui/Readouts.h"
#include "ui/ScreenModes.h"
#include "ui/ReadoutFormat.h"
#include "ui/VideoWindow.h"

#include <QDBusConnection>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QScreen>
#include <QSlider>
#include <QtTest>

// Receives the desktop's Seeked signal.
class SeekWatcher : public QObject
{
    Q_OBJECT
public:
    explicit SeekWatcher(std::function<void(qint64)> f) : m_f(std::move(f)) {}
public Q_SLOTS:
    void seeked(qlonglong us) { m_f(us); }

private:
    std::function<void(qint64)> m_f;
};

class TestPlayerWindow : public WindowTest
{
    Q_OBJECT
    std::unique_ptr<SessionBus> bus;
    StatusArea tray;

    VideoWindow *video() { return w->videoWindow(); }
    QSize screenSize() { return QGuiApplication::primaryScreen()->geometry().size(); }

    QString playerctl(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral("playerctl"), QStringList{"-p", "kinetrope"} + args);
        // The player answers on this thread: keep its event loop turning meanwhile.
        QElapsedTimer t;
        t.start();
        while (p.state() != QProcess::NotRunning && t.elapsed() < 10000)
            QTest::qWait(20);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

private Q_SLOTS:
    void initTestCase()
    {
        env = std::make_unique<TestEnv>();
        bus = std::make_unique<SessionBus>();
        QVERIFY(bus->start(env->path("tmp")));
        QVERIFY(tray.start());
        QVERIFY(QDBusConnection::sessionBus().registerService("org.mpris.MediaPlayer2.kinetrope"));
        QVERIFY(!TestMedia::mpeg1Ps().isEmpty());
        QVERIFY(!TestMedia::mp3Audio().isEmpty());
    }

    void init() { freshStore(); }

    void cleanup() { closeWindow(); }

    void openedVideoDocksOnTheRightAtNormalSize()
    {
        open(TestMedia::mpeg1Ps());
        QVERIFY(w->graph().loaded());
        QVERIFY(video() && video()->isVisible());
        QCOMPARE(video()->size(), QSize(352, 282));   // 350 x 280 and the edge
        QCOMPARE(video()->renderer()->geometry(), QRect(1, 1, 350, 280));
        QTRY_COMPARE(video()->pos(), QPoint(50 + 268, 50));
        QCOMPARE(w->readouts().text(DisplayId::FileNumber), QStringLiteral("   1"));
        QVERIFY(w->readouts().text(DisplayId::TotalTime).startsWith(QStringLiteral("  :  : 4:0")));
        QVERIFY(w->controls().button(ButtonId::SetStart)->isEnabled());
    }

    void scaleButtonsResizeThePicture()
    {
        open(TestMedia::mpeg1Ps());
        const std::pair<Action, QSize> cases[] = {{Action{Command::SetScale, 50}, {175, 140}},
                                                   {Action{Command::SetScale, 200}, {700, 560}},
                                                   {Action{Command::SetScale, 100}, {350, 280}}};
        for (const auto &[action, pic] : cases) {
            w->execute(action);
            QCOMPARE(video()->size(), pic + QSize(2, 2));
            QCOMPARE(video()->renderer()->size(), pic);
        }
    }

    void dockingFollowsBothWaysWithoutBouncing()
    {
        open(TestMedia::mpeg1Ps());
        QTRY_COMPARE(video()->pos(), QPoint(318, 50));
        w->move(100, 200);
        QTRY_COMPARE(video()->pos(), QPoint(368, 200));
        video()->move(700, 300);
        QTRY_COMPARE(w->pos(), QPoint(700 - 268, 300));
        QTest::qWait(200);
        QCOMPARE(video()->pos(), QPoint(700, 300)); // no bounce back
        // Undocked the windows move apart.
        w->execute({Command::DockToggle});
        w->move(60, 60);
        QTest::qWait(200);
        QCOMPARE(video()->pos(), QPoint(700, 300));
    }

    void dockingStopsAtTheRightScreenEdge()
    {
        open(TestMedia::mpeg1Ps());
        const int sw = screenSize().width();
        // A move of the control window takes the docked picture along, even off the screen;
        // docking again keeps it on the screen.
        w->execute({Command::DockToggle});
        w->move(sw - 300, 100);
        QTRY_COMPARE(w->pos(), QPoint(sw - 300, 100));
        w->execute({Command::DockToggle});
        QTRY_COMPARE(video()->pos(), QPoint(sw - 352, 100));
        QTRY_COMPARE(w->pos(), QPoint(sw - 352 - 268, 100));
    }

    void openOnLeftAtTheLeftEdge()
    {
        store->write(Key::OpenOnLeft, 1);
        store->write(Key::WindowLeft, 0);
        store->write(Key::WindowTop, 40);
        store->write(Key::WindowRight, 268);
        store->write(Key::WindowBottom, 531);
        open(TestMedia::mpeg1Ps());
        QTRY_COMPARE(video()->pos(), QPoint(0, 40));
        QTRY_COMPARE(w->pos(), QPoint(352, 40));
    }

    void userResizeFitsThePicture()
    {
        open(TestMedia::mpeg1Ps());
        video()->resize(500, 400);
        QTRY_VERIFY(w->screenModes().fitToWindow());
        QCOMPARE(video()->renderer()->geometry(), QRect(1, 1, 498, 398));
        // Esc over the picture returns to normal size.
        QTest::keyClick(video(), Qt::Key_Escape);
        QVERIFY(!w->screenModes().fitToWindow());
        QCOMPARE(video()->size(), QSize(352, 282));
    }

    void fullScreenAndBack()
    {
        open(TestMedia::mpeg1Ps());
        QVERIFY(!w->graph().playing());
        w->execute({Command::FullScreen});
        QVERIFY(w->screenModes().fullScreen());
        QVERIFY(!w->screenModes().windowed());
        QVERIFY(w->graph().playing()); // not playing: full screen starts it
        QTRY_COMPARE(video()->geometry(), QRect(QPoint(0, 0), screenSize()));
        // Esc leaves it; so does a click on the control window.
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(!w->screenModes().fullScreen());
        QVERIFY(w->screenModes().windowed());
        QTRY_COMPARE(video()->size(), QSize(352, 282));
        QTest::mouseDClick(w.get(), Qt::LeftButton, {}, QPoint(200, 20));
        QVERIFY(w->screenModes().fullScreen());
        QTest::mousePress(w.get(), Qt::LeftButton, {}, QPoint(200, 20));
        QVERIFY(!w->screenModes().fullScreen());
        // In full screen a click on the picture is a click on the control window.
        QTest::mouseDClick(video(), Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(w->screenModes().fullScreen());
        QTest::mousePress(video(), Qt::LeftButton, {}, QPoint(30, 30));
        QVERIFY(!w->screenModes().fullScreen());
    }

    void autoFullOpensInFullScreenAndPlays()
    {
        store->write(Key::AutoFull, 1);
        open(TestMedia::mpeg1Ps());
        QVERIFY(w->screenModes().fullScreen());
        QVERIFY(w->graph().playing());
        QTRY_COMPARE(video()->geometry(), QRect(QPoint(0, 0), screenSize()));
        QVERIFY(video()->renderer()->isVisible());
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(!w->screenModes().fullScreen());
        QTRY_COMPARE(video()->size(), QSize(352, 282));
        // Sound alone never goes full screen.
        w->playList().startFromSelection({TestMedia::mp3Audio()});
        w->transport().play();
        QVERIFY(w->graph().playing());
        QVERIFY(w->screenModes().windowed());
        QVERIFY(!video() || !video()->isVisible());
    }

    void fillScreenAndBack()
    {
        open(TestMedia::mpeg1Ps());
        w->execute({Command::FillScreen});
        QVERIFY(w->screenModes().fillScreen());
        QVERIFY(!w->screenModes().docked());
        QCOMPARE(video()->pos(), QPoint(0, 0));
        const QSize area = QGuiApplication::primaryScreen()->availableGeometry().size();
        QCOMPARE(video()->size(), area);
        QCOMPARE(video()->renderer()->size(), area - QSize(2, 2));
        QVERIFY(w->graph().playing());
        QTest::keyClick(w.get(), Qt::Key_Escape);
        QVERIFY(!w->screenModes().fillScreen());
        QVERIFY(w->screenModes().docked());
        QCOMPARE(video()->size(), QSize(352, 282));
    }

    void rightClickInFullScreenEndsPlayHere()
    {
        open(TestMedia::mpeg1Ps());
        w->execute({Command::FullScreen});
        QTest::qWait(500);
        QTest::mousePress(w.get(), Qt::RightButton, {}, QPoint(100, 100));
        // The next tick finds the stop position reached: a one-file list stops at the start.
        QTRY_VERIFY_WITH_TIMEOUT(!w->graph().playing(), 3000);
        QCOMPARE(w->transport().positionSlider().value(), 0);
    }

    void keysReachTheirActions()
    {
        open(TestMedia::mpeg1Ps());
        QTest::keyClick(w.get(), Qt::Key_P);
        QVERIFY(w->graph().playing());
        QTest::keyClick(w.get(), Qt::Key_P);
        QVERIFY(w->graph().paused());
        QTest::keyClick(w.get(), Qt::Key_S); // stop while paused does nothing
        QVERIFY(w->graph().paused());
        QTest::keyClick(w.get(), Qt::Key_End);
        QCOMPARE(w->transport().positionSlider().value(), w->transport().stopSlider().value());
        QTest::keyClick(w.get(), Qt::Key_Home);
        QCOMPARE(w->transport().positionSlider().value(), 0);
        QTest::keyClick(w.get(), Qt::Key_2);
        QCOMPARE(w->readouts().text(DisplayId::Speed), QStringLiteral(" 2.0"));
        QTest::keyClick(w.get(), Qt::Key_7);
        QCOMPARE(w->readouts().text(DisplayId::Speed), QStringLiteral(" 0.7"));
        QCOMPARE(w->controls().slider(SliderId::Speed)->value(), 7);
        QTest::keyClick(w.get(), Qt::Key_Plus, Qt::KeypadModifier);
        QCOMPARE(w->readouts().text(DisplayId::Speed), QStringLiteral(" 0.8"));
        QTest::keyClick(w.get(), Qt::Key_1);
        QCOMPARE(w->readouts().text(DisplayId::Speed), QStringLiteral(" 1.0"));
        QTest::keyClick(w.get(), Qt::Key_Minus, Qt::KeypadModifier);
        QCOMPARE(w->readouts().text(DisplayId::Speed), QStringLiteral(" 0.9"));
        auto mediaKey = [this](int key) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(w.get(), &press);
        };
        mediaKey(Qt::Key_MediaTogglePlayPause);
        QVERIFY(w->graph().playing());
        mediaKey(Qt::Key_MediaStop);
        QVERIFY(!w->graph().playing());
        // Enter is play/pause.
        QTest::keyClick(w.get(), Qt::Key_Return);
        QVERIFY(w->graph().playing());
    }

    void wheelJogsThePausedPicture()
    {
        open(TestMedia::mpeg1Ps());
        w->execute({Command::PlayPause});
        w->execute({Command::PlayPause});
        QVERIFY(w->graph().paused());
        MediaEngine &e = w->graph().engine();
        const qint64 before = e.positionUnits();
        QWheelEvent up(QPointF(100, 100), w->mapToGlobal(QPointF(100, 100)), {}, QPoint(0, 360), Qt::NoButton,
                       {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w.get(), &up);
        QCOMPARE(e.positionUnits(), before + 3);
        // The same over the picture.
        QWheelEvent down(QPointF(10, 10), video()->mapToGlobal(QPointF(10, 10)), {}, QPoint(0, -120),
                         Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(video(), &down);
        QCOMPARE(e.positionUnits(), before + 2);
    }

    void middleButtonFollowsItsPreference()
    {
        open(TestMedia::mpeg1Ps());
        QTest::mousePress(w.get(), Qt::MiddleButton, {}, QPoint(150, 250));
        QVERIFY(!w->graph().playing()); // "MiddleDouble": a single press does nothing
        QTest::mouseDClick(w.get(), Qt::MiddleButton, {}, QPoint(150, 250));
        QVERIFY(w->graph().playing());
        w->preferences().set(Key::MiddleDouble, 0);
        QTest::mousePress(w.get(), Qt::MiddleButton, {}, QPoint(150, 250));
        QVERIFY(w->graph().paused());
    }

    void audioOnlyShowsNoVideoWindow()
    {
        open(TestMedia::mp3Audio());
        QVERIFY(w->graph().loaded());
        QVERIFY(w->graph().noVideo());
        QVERIFY(!video() || !video()->isVisible());
        w->execute({Command::SetScale, 200});
        QVERIFY(!video() || !video()->isVisible());
        w->execute({Command::FullScreen});
        QVERIFY(!w->screenModes().fullScreen());
    }

    void hidingPausesAndEjectUnloads()
    {
        open(TestMedia::mpeg1Ps());
        w->execute({Command::PlayPause});
        QVERIFY(w->graph().playing());
        w->execute({Command::StatusAreaView});
        QVERIFY(!w->isVisible());
        QVERIFY(!video()->isVisible());
        QVERIFY(w->graph().paused());
        w->trayActivated(true);
        QVERIFY(w->isVisible());
        QVERIFY(video()->isVisible());
        w->execute({Command::Eject});
        QVERIFY(!w->graph().loaded());
        QTRY_VERIFY(!video());
        QCOMPARE(w->readouts().text(DisplayId::CurrentTime), QStringLiteral("  :  :  : 0"));
        QCOMPARE(w->readouts().text(DisplayId::FileNumber), QStringLiteral("----"));
    }

    void readoutsFollowPlayback()
    {
        w = std::make_unique<ControlWindow>(*store, prompt, process);
        w->show();
        // Stopped: the clock shows the time of day.
        const QRegularExpression timeOfDay(QStringLiteral("^ {2,3}\\d{1,2}:\\d\\d:\\d\\d  $"));
        QTRY_VERIFY(timeOfDay.match(w->readouts().text(DisplayId::Clock)).hasMatch());
        w->playList().startFromSelection({TestMedia::mpeg1Ps()});
        QCOMPARE(w->readouts().text(DisplayId::Clock), QStringLiteral(" 25.00 FPS "));
        w->execute({Command::PlayPause});
        QTest::qWait(300);
        QCOMPARE(w->readouts().text(DisplayId::Clock), QStringLiteral(" 25.00 FPS ")); // a playing video keeps it
        // Closing the file gives the clock back and shows the date.
        w->execute({Command::Eject});
        QTRY_VERIFY(timeOfDay.match(w->readouts().text(DisplayId::Clock)).hasMatch());
        QCOMPARE(w->readouts().text(DisplayId::Title), Readout::dateText(QDate::currentDate(), true));
        QCOMPARE(w->readouts().text(DisplayId::Title).size(), 19);
    }

    void audioOnlyPlaybackKeepsTheTimeOfDay()
    {
        open(TestMedia::mp3Audio());
        w->execute({Command::PlayPause});
        QVERIFY(w->graph().playing());
        const QRegularExpression timeOfDay(QStringLiteral("^ {2,3}\\d{1,2}:\\d\\d:\\d\\d  $"));
        QTRY_VERIFY(timeOfDay.match(w->readouts().text(DisplayId::Clock)).hasMatch());
    }

    void splashShowsTheAboutBoxUnlessDisabled()
    {
        store->write(Key::SplashDisable, 0);
        w = std::make_unique<ControlWindow>(*store, prompt, process);
        // The splash runs modally: look at it and close it from inside its own loop.
        QString title;
        bool hasLink = false;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            auto *about = w->findChild<AboutDialog *>();
            if (!about || !about->isVisible())
                return;
            title = about->findChild<QLabel *>("title")->text();
            hasLink = about->findChild<QWidget *>("1079") != nullptr;
            about->findChild<QPushButton *>("1019")->click();
        });
        closer.start(50);
        w->show();
        QTRY_COMPARE(title, QStringLiteral("Kinetrope V3.33"));
        QVERIFY(hasLink);
    }

    void trayIconAndItsButtons()
    {
        open(TestMedia::mpeg1Ps());
        QCOMPARE(w->trayIcon()->toolTip(), QStringLiteral("Kinetrope V3.33"));
        w->execute({Command::StatusAreaView});
        QVERIFY(!w->isVisible());
        w->trayActivated(false); // right button: the window comes forward with its menu
        QVERIFY(w->isVisible());
        QTRY_VERIFY(w->contextMenu()->isVisible());
        w->contextMenu()->hide();
    }

    void hidingEjectsWhenAsked()
    {
        store->write(Key::EjectOnMinimize, 1);
        open(TestMedia::mpeg1Ps());
        w->execute({Command::PlayPause});
        w->execute({Command::StatusAreaView});
        QVERIFY(!w->graph().loaded());
        QTRY_VERIFY(!video());
    }

    void dropsReplaceOrJoinTheList()
    {
        open(TestMedia::mpeg1Ps());
        w->execute({Command::PlayPause});
        // On the drop button the files join the running list; play goes on.
        w->dropFiles({TestMedia::mp3Audio(), TestMedia::h264Mp4()}, true);
        QVERIFY(w->graph().playing());
        QCOMPARE(w->currentPath(), TestMedia::mpeg1Ps());
        QCOMPARE(w->playList().entryCount(), 3);
        QCOMPARE(w->readouts().text(DisplayId::FileNumber), QStringLiteral("   1"));
        // On the window they replace it.
        w->dropFiles({TestMedia::h264Mp4()}, false);
        QTRY_COMPARE(w->currentPath(), TestMedia::h264Mp4());
        QVERIFY(w->graph().loaded());
        QCOMPARE(w->playList().entryCount(), 1);
    }

    void restartEndsWithOne()
    {
        open(TestMedia::mpeg1Ps());
        QSignalSpy finished(w.get(), &QDialog::finished);
        w->restartControlWindow();
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished[0][0].toInt(), ControlWindow::RestartResult);
        QVERIFY(!w->graph().loaded());
        QCOMPARE(w->currentPath(), TestMedia::mpeg1Ps()); // carried into the new window
    }

    void queueSkipsWhatCannotBeOpened()
    {
        const QString missing = env->path(QStringLiteral("home/gone.mpg"));
        w = std::make_unique<ControlWindow>(*store, prompt, process);
        w->show();
        w->playList().startFromSelection({missing, TestMedia::textAsAvi(), TestMedia::mpeg1Ps()});
        QVERIFY(w->graph().loaded());
        QCOMPARE(w->currentPath(), TestMedia::mpeg1Ps());
        QCOMPARE(prompt.messages.size(), size_t(2));
        QCOMPARE(prompt.messages[0].text, QStringLiteral("File ''%1'' not found!").arg(missing));
        QCOMPARE(prompt.messages[0].caption, QStringLiteral("Error"));
        QVERIFY(prompt.messages[1].text.startsWith(QStringLiteral("No suitable codec found to decode file\n")));
        QCOMPARE(w->readouts().text(DisplayId::FileNumber), QStringLiteral("   3"));
    }

    void endOfPlayAdvancesThroughTheList()
    {
        store->write(Key::AutoDropPlay, 1);
        open(TestMedia::mp3Audio());
        w->dropFiles({TestMedia::mpeg1Ps()}, true);
        QVERIFY(w->graph().playing());
        QCOMPARE(w->playList().entryCount(), 2);
        w->transport().positionSliderDragged(2);
        // The tick finds the end of the first file and the queue opens and plays the next.
        QTRY_COMPARE_WITH_TIMEOUT(w->currentPath(), TestMedia::mpeg1Ps(), 15000);
        QTRY_VERIFY(w->graph().playing());
        QCOMPARE(w->readouts().text(DisplayId::FileNumber), QStringLiteral("   2"));
        QVERIFY(video() && video()->isVisible());
    }

    void jogHintShowsOncePerProcess()
    {
        open(TestMedia::mpeg1Ps());
        w->execute({Command::PlayPause});
        w->execute({Command::PlayPause});
        QVERIFY(process.jogHintShown);
        QVERIFY(w->readouts().text(DisplayId::Clock) != QStringLiteral(" 25.00 FPS ")); // the hint scrolls
        // A rebuilt control window in the same process does not show it again.
        open(TestMedia::mpeg1Ps());
        w->execute({Command::PlayPause});
        w->execute({Command::PlayPause});
        QVERIFY(w->graph().paused());
        QCOMPARE(w->readouts().text(DisplayId::Clock), QStringLiteral(" 25.00 FPS "));
    }

    void positionSetBeforeFirstPlayReadsBack()
    {
        // Started with a file: loaded, stopped, never run.
        w = std::make_unique<ControlWindow>(*store, prompt, process);
        w->setCurrentPath(TestMedia::mpeg1Ps());
        w->show();
        QTRY_VERIFY(w->graph().loaded());
        QTRY_VERIFY_WITH_TIMEOUT(playerctl({"-l"}).contains("kinetrope"), 10000);
        QCOMPARE(playerctl({"status"}), QStringLiteral("Stopped"));
        playerctl({"position", "2"});
        QCOMPARE(w->readouts().text(DisplayId::CurrentTime), QStringLiteral("  :  : 2:01"));
        QCOMPARE(w->controls().slider(SliderId::Position)->value(), 2);
        // Shown away from its beginning, the file is paused there for the desktop too.
        QCOMPARE(playerctl({"status"}), QStringLiteral("Paused"));
        QCOMPARE(playerctl({"position"}).left(3), QStringLiteral("2.0"));
        // Play goes on from there.
        w->execute({Command::PlayPause});
        QTest::qWait(300);
        QVERIFY(w->graph().engine().position() > 2.1);
    }

    void smallMovesAreSeeksForTheDesktop()
    {
        open(TestMedia::mpeg1Ps());
        QDBusConnection client = QDBusConnection::connectToBus(bus->address(), QStringLiteral("seek-watcher"));
        QList<qint64> seeks;
        SeekWatcher watcher([&](qint64 us) { seeks << us; });
        QVERIFY(client.connect(QStringLiteral("org.mpris.MediaPlayer2.kinetrope"), QStringLiteral("/org/mpris/MediaPlayer2"),
                               QStringLiteral("org.mpris.MediaPlayer2.Player"), QStringLiteral("Seeked"), &watcher,
                               SLOT(seeked(qlonglong))));
        QTest::qWait(200);
        w->execute({Command::FrameAdvance});
        QTRY_COMPARE(seeks.size(), 1);
        QCOMPARE(seeks.last(), 40000);
        w->execute({Command::Cue});
        QTRY_COMPARE(seeks.size(), 2);
        QCOMPARE(seeks.last(), 520000);
        w->execute({Command::PlayPause});
        w->execute({Command::PlayPause});
        const qint64 paused = qint64(std::llround(w->graph().engine().position() * 1e6));
        w->execute({Command::Jog, 120});
        QTRY_COMPARE(seeks.size(), 3);
        QCOMPARE(seeks.last(), paused + 40000);
        // Playing on is no seek.
        w->execute({Command::PlayPause});
        QTest::qWait(500);
        QCOMPARE(seeks.size(), 3);
        QDBusConnection::disconnectFromBus(QStringLiteral("seek-watcher"));
    }

    void handOffSwitchesTheRunningPlayer()
    {
        open(TestMedia::mpeg1Ps());
        store->write(Key::MultipleInstanceRunTimeStr, TestMedia::h264Mp4());
        store->write(Key::MultipleInstanceRunTimeFlag, 1);
        QElapsedTimer t;
        t.start();
        QTRY_COMPARE_WITH_TIMEOUT(w->currentPath(), TestMedia::h264Mp4(), 2000);
        QTRY_VERIFY(w->graph().loaded());
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));
        // Without "AutoDropPlay" the new file shows paused.
        QVERIFY(w->graph().paused());
        QCOMPARE(store->read(Key::MultipleInstanceRunTimeFlag), 0);
        QCOMPARE(store->read(Key::MultipleInstanceRunTimeStr), QString());
        QCOMPARE(video()->size(), QSize(322, 242));
    }

    void playerctlDrivesAndReadsThePlayer()
    {
        open(TestMedia::mpeg1Ps());
        QTRY_VERIFY_WITH_TIMEOUT(playerctl({"-l"}).contains("kinetrope"), 10000);
        QCOMPARE(playerctl({"status"}), QStringLiteral("Stopped"));
        playerctl({"play"});
        QTRY_VERIFY(w->graph().playing());
        QCOMPARE(playerctl({"status"}), QStringLiteral("Playing"));
        playerctl({"pause"});
        QTRY_VERIFY(w->graph().paused());
        QCOMPARE(playerctl({"status"}), QStringLiteral("Paused"));
        playerctl({"position", "2"});
        QTRY_COMPARE(w->transport().positionSlider().value(), 2);
        QCOMPARE(playerctl({"position"}).left(3), QStringLiteral("2.0"));
        QCOMPARE(playerctl({"metadata", "xesam:title"}), QStringLiteral("clip-mpeg1.mpg"));
        QCOMPARE(playerctl({"metadata", "mpris:length"}).toLongLong() / 100000, 40);
        QCOMPARE(playerctl({"metadata", "xesam:url"}), QUrl::fromLocalFile(TestMedia::mpeg1Ps()).toString());
        playerctl({"play"});
        QTRY_VERIFY(w->graph().playing());
        playerctl({"stop"});
        QTRY_VERIFY(!w->graph().playing());
        QCOMPARE(playerctl({"status"}), QStringLiteral("Stopped"));
    }
};

QTEST_MAIN(TestPlayerWindow)
#include "test_playerwindow.moc"
