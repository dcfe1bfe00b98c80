// The control window driven as a user drives it: real X input (xdotool) for held buttons and
// for the wheel and the middle button over the sliders; the keypad's speed keys; rewinding at
// NTSC frame rates; eject; the playback tick's period; hiding on a desktop without a tray.
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
#include "skin/SkinButton.h"
#include "skin/SkinSlider.h"
#include "ui/ControlSet.h"
#include "ui/ControlWindow.h"
#include "ui/Readouts.h"
#include "ui/VideoWindow.h"

#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QtTest>

namespace {

QString clip(const QString &name, const QString &rate, int seconds)
{
    const QString d = QString::number(seconds);
    return TestMedia::make(name, {"-f", "lavfi", "-i", "testsrc=size=160x120:rate=" + rate + ":duration=" + d,
                                  "-f", "lavfi", "-i", "sine=frequency=440:duration=" + d, "-c:v", "libx264",
                                  "-preset", "ultrafast", "-g", "12", "-pix_fmt", "yuv420p", "-c:a", "aac",
                                  "-shortest"});
}

QString longClip() { return clip(QStringLiteral("long-12s.mp4"), QStringLiteral("25"), 12); }

// Runs xdotool on the test's display while this thread keeps handling the events it causes.
bool xdo(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    if (!p.waitForStarted(5000))
        return false;
    QElapsedTimer t;
    t.start();
    while (p.state() != QProcess::NotRunning && t.elapsed() < 15000)
        QTest::qWait(10);
    QTest::qWait(100); // the last events reach the window
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QStringList at(QWidget *w)
{
    const QPoint c = w->mapToGlobal(w->rect().center());
    return {QStringLiteral("mousemove"), QString::number(c.x()), QString::number(c.y())};
}

} // namespace

class TestControlInput : public WindowTest
{
    Q_OBJECT

    ControlSet &controls() { return w->controls(); }
    MediaEngine &engine() { return w->graph().engine(); }
    QString readout(DisplayId id) { return w->readouts().text(id); }

private Q_SLOTS:
    void initTestCase()
    {
        env = std::make_unique<TestEnv>();
        QVERIFY(!longClip().isEmpty());
        QVERIFY2(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("version")}) == 0, "xdotool missing");
    }

    void init() { freshStore(); }

    void cleanup() { closeWindow(); }

    void heldCueStepsOncePerRepeat()
    {
        open(longClip());
        SkinButton *cue = controls().button(ButtonId::Cue);
        QSignalSpy actions(&controls(), &ControlSet::actionRequested);
        // A quick click is one step of half a second.
        QTest::mouseClick(cue, Qt::LeftButton);
        QCOMPARE(actions.size(), 1);
        QVERIFY2(std::abs(engine().position() - 0.5) < 0.05, qPrintable(QString::number(engine().position())));
        // Held for a second by the real pointer: a step at the press, then one every 100 ms,
        // 11 in all (fewer when the machine is too busy to keep time, never more).
        actions.clear();
        const double before = engine().position();
        QVERIFY(xdo(at(cue) << "mousedown" << "1" << "sleep" << "1" << "mouseup" << "1"));
        const qsizetype steps = actions.size();
        QVERIFY2(steps >= 1 && steps <= 12, qPrintable(QString::number(steps)));
        for (const QList<QVariant> &a : std::as_const(actions))
            QCOMPARE(a.at(0).value<Action>().command, Command::Cue);
        // Each is one step of half a second (less the part of a frame a seek rounds away).
        const double moved = engine().position() - before;
        QVERIFY2(std::abs(moved - 0.5 * steps) <= 0.04 * steps, qPrintable(QString("%1 in %2").arg(moved).arg(steps)));
        QCOMPARE(controls().slider(SliderId::Position)->value(), int(engine().position()));
        // Released, it stays.
        const double after = engine().position();
        QTest::qWait(300);
        QCOMPARE(engine().position(), after);
        // Review held briefly goes back the same way.
        actions.clear();
        QVERIFY(xdo(at(controls().button(ButtonId::Review)) << "mousedown" << "1" << "sleep" << "0.25" << "mouseup"
                                                             << "1"));
        const double back = after - engine().position();
        QVERIFY2(actions.size() >= 1 && actions.size() <= 4, qPrintable(QString::number(actions.size())));
        QVERIFY2(std::abs(back - 0.5 * actions.size()) <= 0.04 * actions.size(),
                 qPrintable(QString("%1 in %2").arg(back).arg(actions.size())));
    }

    void wheelAndMiddleButtonOverSlidersNeverMoveThem()
    {
        open(longClip());
        w->execute({Command::MovePosition, 5});
        w->execute({Command::PlayPause});
        w->execute({Command::PlayPause});
        QVERIFY(w->graph().paused());
        QSlider *speed = controls().slider(SliderId::Speed);
        QSlider *position = controls().slider(SliderId::Position);
        QSlider *start = controls().slider(SliderId::Start);
        QSlider *stop = controls().slider(SliderId::Stop);
        const int stopEnd = stop->value();
        const int place = position->value();
        const qint64 units = engine().positionUnits();
        // Two notches up over the speed slider jog two frames; the speed stays normal.
        QVERIFY(xdo(at(speed) << "click" << "4" << "click" << "4"));
        QCOMPARE(engine().positionUnits(), units + 2);
        QCOMPARE(speed->value(), 10);
        QCOMPARE(readout(DisplayId::Speed), QStringLiteral(" 1.0"));
        // Over the other three sliders a notch down jogs back; none of them moves.
        for (QSlider *s : {position, start, stop})
            QVERIFY(xdo(at(s) << "click" << "5"));
        QCOMPARE(engine().positionUnits(), units - 1);
        QCOMPARE(position->value(), place);
        QCOMPARE(start->value(), 0);
        QCOMPARE(stop->value(), stopEnd);
        // "MiddleDouble": a single middle click does nothing, a double one plays; the slider
        // under the pointer never jumps to it.
        QVERIFY(xdo(at(stop) << "click" << "2"));
        QVERIFY(w->graph().paused());
        QVERIFY(xdo(at(stop) << "click" << "--repeat" << "2" << "--delay" << "60" << "2"));
        QVERIFY(w->graph().playing());
        QCOMPARE(stop->value(), stopEnd);
        w->preferences().set(Key::MiddleDouble, 0);
        QVERIFY(xdo(at(start) << "click" << "2"));
        QVERIFY(w->graph().paused());
        QCOMPARE(start->value(), 0);
    }

    void ejectPutsTheSlidersBack()
    {
        open(longClip());
        w->execute({Command::MovePosition, 3});
        w->execute({Command::SetStart});
        QCOMPARE(controls().slider(SliderId::Start)->value(), 3);
        w->execute({Command::Eject});
        QVERIFY(!w->graph().loaded());
        QCOMPARE(controls().slider(SliderId::Start)->value(), 0);
        QCOMPARE(controls().slider(SliderId::Position)->value(), 0);
        QCOMPARE(controls().slider(SliderId::Stop)->value(), controls().slider(SliderId::Stop)->maximum());
        QCOMPARE(readout(DisplayId::CurrentTime), QStringLiteral("  :  :  : 0"));
    }

    void rewindTwiceReachesZeroAtNtscRates_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("29.97") << clip(QStringLiteral("ntsc-6s.mp4"), QStringLiteral("30000/1001"), 6);
        QTest::newRow("23.976") << clip(QStringLiteral("film-6s.mp4"), QStringLiteral("24000/1001"), 6);
    }

    void rewindTwiceReachesZeroAtNtscRates()
    {
        QFETCH(QString, file);
        open(file);
        w->execute({Command::MoveStart, 2});
        w->execute({Command::MovePosition, 4});
        QTest::keyClick(w.get(), Qt::Key_Home);
        QCOMPARE(controls().slider(SliderId::Position)->value(), 2);
        QVERIFY(std::abs(engine().position() - 2) < 0.05);
        QTest::keyClick(w.get(), Qt::Key_Home);
        QCOMPARE(controls().slider(SliderId::Position)->value(), 0);
        QCOMPARE(engine().positionUnits(), 0);
        // And the third goes back to the start point.
        QTest::keyClick(w.get(), Qt::Key_Home);
        QCOMPARE(controls().slider(SliderId::Position)->value(), 2);
    }

    void keypadSpeedsAgreeWithTheReadout()
    {
        open(longClip());
        QTest::mouseClick(controls().button(ButtonId::Rate05), Qt::LeftButton);
        auto plus = [this] { QTest::keyClick(w.get(), Qt::Key_Plus, Qt::KeypadModifier); };
        auto minus = [this] { QTest::keyClick(w.get(), Qt::Key_Minus, Qt::KeypadModifier); };
        struct Step {
            std::function<void()> press;
            const char *text;
            int code;
        };
        const Step steps[] = {{plus, " 0.6", 6},  {plus, " 0.7", 7},  {plus, " 0.8", 8},  {plus, " 0.9", 9},
                              {plus, " 1.0", 10}, {plus, " 2.0", 11}, {plus, " 3.0", 12}, {minus, " 2.0", 11},
                              {minus, " 1.0", 10}, {minus, " 0.9", 9}};
        for (const Step &s : steps) {
            s.press();
            QCOMPARE(readout(DisplayId::Speed), QString::fromLatin1(s.text));
            QCOMPARE(controls().slider(SliderId::Speed)->value(), s.code);
        }
        QCOMPARE(w->transport().rate(), 0.9);
        for (int i = 0; i < 8; ++i)
            minus();
        QCOMPARE(readout(DisplayId::Speed), QStringLiteral(" 0.1"));
        // Below 0.1 is refused: normal speed again, without a message.
        minus();
        QCOMPARE(readout(DisplayId::Speed), QStringLiteral(" 1.0"));
        QCOMPARE(w->transport().rate(), 1.0);
        QVERIFY(prompt.messages.empty());
    }

    void updatePeriodOutOfRangeIsClamped_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("period");
        QTest::newRow("-1") << -1 << 40;
        QTest::newRow("0") << 0 << 40;
        QTest::newRow("9999") << 9999 << 500;
        QTest::newRow("120") << 120 << 120;
    }

    void updatePeriodOutOfRangeIsClamped()
    {
        QFETCH(int, stored);
        QFETCH(int, period);
        store->write(Key::UpdatePeriod, stored);
        open(longClip());
        w->execute({Command::PlayPause});
        QTimer *tick = w->timer(ControlWindow::PlaybackTimer);
        QVERIFY(tick->isActive());
        QCOMPARE(tick->interval(), period);
        // The readouts follow play.
        QTRY_VERIFY(w->transport().positionSlider().value() >= 1);
        QVERIFY(readout(DisplayId::CurrentTime) != QStringLiteral("  :  :  : 1"));
    }

    void requestsDuringAnOpenWaitForIt()
    {
        w = std::make_unique<ControlWindow>(*store, prompt, process);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTRY_VERIFY(!w->timer(ControlWindow::StartFileTimer)->isActive());
        // A drop and a desktop request arrive while a slow, broken file opens: both are done
        // after the open, in order, and nothing opens inside it.
        bool sentDuringOpen = false;
        QTimer::singleShot(100, w.get(), [&] {
            sentDuringOpen = w->graph().opening();
            w->dropFiles({longClip()}, false);
            w->execute({Command::PlayPause});
        });
        w->playList().startFromSelection({TestMedia::noiseAsMkv()});
        QVERIFY(sentDuringOpen);
        QTRY_COMPARE(w->currentPath(), longClip());
        QTRY_VERIFY(w->graph().playing());
        QCOMPARE(prompt.messages.size(), size_t(2));
        QVERIFY(prompt.messages[0].text.startsWith(QStringLiteral("No suitable codec found to decode file")));
        QCOMPARE(prompt.messages[1].text, QStringLiteral("File not found in Playlist file - "));
    }

    void hidingWithoutAStatusAreaMinimizes()
    {
        // This display has no tray: the window must stay reachable from the task bar.
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        open(longClip());
        QVERIFY(!w->windowFlags().testFlag(Qt::Tool));
        QVERIFY(w->videoWindow()->isVisible());
        w->execute({Command::StatusAreaView});
        QVERIFY(w->isMinimized());
        QVERIFY(!w->videoWindow()->isVisible());
        QCOMPARE(prompt.messages.size(), size_t(1));
        QVERIFY(prompt.messages[0].text.contains(QStringLiteral("minimized")));
        w->bringForward();
        QTRY_VERIFY(!w->isMinimized());
        QVERIFY(w->videoWindow()->isVisible());
        // Closing to hide does the same, and is not explained twice.
        store->write(Key::AskExitQuestion, 1);
        w->preferences().set(Key::CloseHides, 1);
        QSignalSpy finished(w.get(), &QDialog::finished);
        w->execute({Command::ExitButton});
        QVERIFY(w->isMinimized());
        QCOMPARE(finished.size(), 0);
        QCOMPARE(prompt.messages.size(), size_t(1));
    }
};

QTEST_MAIN(TestControlInput)
#include "test_controlinput.moc"
