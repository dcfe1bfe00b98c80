// The video window: the picture's place, and what it passes on of the user's actions.
#include "PlaybackRig.h"
#include "TestMedia.h"

#include "ui/VideoWindow.h"

#include <QSignalSpy>
#include <QtTest>

class TestVideoWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void forwardsWhatTheUserDoes();
    void dragMovesAndReportsGeometry();
    void pictureClicksReachTheWindow();
};

void TestVideoWindow::forwardsWhatTheUserDoes()
{
    testHome();
    QWidget owner;
    VideoWindow w(&owner);
    QVERIFY(w.isWindow());
    w.resize(200, 150);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QWindow *win = w.windowHandle();

    QSignalSpy released(&w, &VideoWindow::leftButtonReleased);
    QSignalSpy doubled(&w, &VideoWindow::leftDoubleClicked);
    QSignalSpy middle(&w, &VideoWindow::middlePressed);
    QSignalSpy middleDoubled(&w, &VideoWindow::middleDoubleClicked);
    QSignalSpy wheel(&w, &VideoWindow::wheelTurned);
    QSignalSpy esc(&w, &VideoWindow::escapePressed);

    QTest::mouseClick(win, Qt::LeftButton, {}, QPoint(60, 40));
    QCOMPARE(released.size(), 1);
    QCOMPARE(released.at(0).at(0).toPoint(), QPoint(60, 40));
    QTest::mouseDClick(win, Qt::LeftButton, {}, QPoint(60, 40));
    QCOMPARE(doubled.size(), 1);
    QTest::mousePress(win, Qt::MiddleButton, {}, QPoint(70, 50));
    QTest::mouseRelease(win, Qt::MiddleButton, {}, QPoint(70, 50));
    QCOMPARE(middle.size(), 1);
    QTest::mouseDClick(win, Qt::MiddleButton, {}, QPoint(70, 50));
    QCOMPARE(middleDoubled.size(), 1);

    QWheelEvent turn(QPointF(50, 50), w.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -240),
                     Qt::NoButton, Qt::ShiftModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w, &turn);
    QCOMPARE(wheel.size(), 1);
    QCOMPARE(wheel.at(0).at(0).toInt(), -240);
    QCOMPARE(wheel.at(0).at(1).value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);

    w.activateWindow();
    w.setFocus();
    QTest::keyClick(&w, Qt::Key_Escape);
    QCOMPARE(esc.size(), 1);
    QTest::keyClick(&w, Qt::Key_A);
    QCOMPARE(esc.size(), 1);
}

void TestVideoWindow::dragMovesAndReportsGeometry()
{
    testHome();
    VideoWindow w;
    w.setGeometry(100, 100, 200, 150);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QSignalSpy moved(&w, &VideoWindow::moved);
    QSignalSpy resized(&w, &VideoWindow::resized);

    w.move(140, 120);
    QTRY_VERIFY(!moved.isEmpty());
    QCOMPARE(moved.last().at(0).toPoint(), QPoint(140, 120));
    w.resize(300, 200);
    QTRY_VERIFY(!resized.isEmpty());
    QCOMPARE(resized.last().at(0).toSize(), QSize(300, 200));
    w.setResizeNotification(false);
    resized.clear();
    w.resize(310, 210);
    QTest::qWait(50);
    QVERIFY(resized.isEmpty());

    // The renderer goes where it is put.
    QWidget picture;
    w.setRenderer(&picture);
    QCOMPARE(picture.parentWidget(), &w);
    w.placeRenderer(QRect(1, 1, 308, 208));
    QCOMPARE(picture.geometry(), QRect(1, 1, 308, 208));
    w.setRenderer(nullptr);
    picture.setParent(nullptr);

    // Dragging the picture moves the window (by the window manager, or by itself without one).
    const QPoint before = w.pos();
    QWindow *win = w.windowHandle();
    QTest::mousePress(win, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseMove(win, QPoint(130, 120));
    QTRY_COMPARE(w.pos(), before + QPoint(30, 20));
    QTest::mouseRelease(win, Qt::LeftButton, {}, QPoint(100, 100)); // the same point on the screen
    QTest::qWait(50);
    QCOMPARE(w.pos(), before + QPoint(30, 20));
}

void TestVideoWindow::pictureClicksReachTheWindow()
{
    PlaybackRig rig;
    QVERIFY(rig.open(TestMedia::h264Mp4()));
    VideoWindow *w = rig.host.window;
    QVERIFY(w && w->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QWidget *picture = rig.graph->picture();
    QVERIFY(picture && picture->geometry().contains(QPoint(160, 120)));
    QSignalSpy doubled(w, &VideoWindow::leftDoubleClicked);
    QTest::mouseDClick(w->windowHandle(), Qt::LeftButton, {}, QPoint(160, 120));
    QCOMPARE(doubled.size(), 1);

    // The picture is drawn in a native window of its own that follows the widget; what
    // reaches that window all the same goes to the video window, in its coordinates.
    QWindow *surface = nullptr;
    for (QWindow *candidate : QGuiApplication::allWindows())
        if (candidate->objectName() == QLatin1String("PictureSurface"))
            surface = candidate;
    QVERIFY(surface);
    w->placeRenderer(QRect(1, 1, 200, 150));
    QTRY_COMPARE(surface->size(), QSize(200, 150));
    QTRY_VERIFY(surface->isExposed());
    QSignalSpy released(w, &VideoWindow::leftButtonReleased);
    QSignalSpy middle(w, &VideoWindow::middlePressed);
    QSignalSpy wheel(w, &VideoWindow::wheelTurned);
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(50, 40));
    QCOMPARE(released.size(), 1);
    QCOMPARE(released.at(0).at(0).toPoint(), QPoint(51, 41));
    QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(50, 40), surface->mapToGlobal(QPointF(50, 40)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QGuiApplication::sendEvent(surface, &twice);
    QCOMPARE(doubled.size(), 2);
    QCOMPARE(doubled.at(1).at(0).toPoint(), QPoint(51, 41));
    QTest::mousePress(surface, Qt::MiddleButton, {}, QPoint(60, 60));
    QTest::mouseRelease(surface, Qt::MiddleButton, {}, QPoint(60, 60));
    QCOMPARE(middle.size(), 1);
    QWheelEvent turn(QPointF(20, 20), surface->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, 120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QGuiApplication::sendEvent(surface, &turn);
    QCOMPARE(wheel.size(), 1);
    QCOMPARE(wheel.at(0).at(0).toInt(), 120);
    QSignalSpy esc(w, &VideoWindow::escapePressed);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QGuiApplication::sendEvent(surface, &escape);
    QCOMPARE(esc.size(), 1);
}

QTEST_MAIN(TestVideoWindow)
#include "test_video_window.moc"
