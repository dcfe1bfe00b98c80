// The control window as the playback's host: readouts, sliders, the video window and the
// view modes (scale, docking, full screen, fill screen).
#include "ControlWindow.h"
#include "MprisBridge.h"
#include "ReadoutFormat.h"
#include "VideoWindow.h"
#include "ViewGeometry.h"
#include "app/SettingsStore.h"
#include "playback/MediaEngine.h"
#include "playback/MediaGraph.h"
#include "playback/Transport.h"
#include "playlist/FileDialogs.h"
#include "playlist/PlayList.h"
#include "skin/DigitalDisplay.h"
#include "skin/ScrollingDisplay.h"

#include <QDate>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMoveEvent>
#include <QScreen>
#include <QSlider>
#include <QTimer>

namespace {

int readoutId(PlaybackHost::Readout r)
{
    using R = PlaybackHost::Readout;
    switch (r) {
    case R::CurrentTime: return 1085;
    case R::StartTime: return 1084;
    case R::EndTime: return 1086;
    case R::TotalTime: return 1087;
    case R::Speed: return 1083;
    }
    return 0;
}
} // namespace

void ControlWindow::applyDisplayColours()
{
    struct Group {
        const Key::ColourKeys &keys;
        std::initializer_list<int> ids;
    };
    const Group groups[] = {{Key::DDColours, {1082, 1084, 1085, 1086, 1087}},
                            {Key::ClockColours, {1088}},
                            {Key::DateColours, {1089}},
                            {Key::SpeedColours, {1083}}};
    for (const Group &g : groups) {
        const int back = m_settings.read(g.keys.back);
        const int on = m_settings.read(g.keys.on);
        const int off = m_settings.read(g.keys.off);
        for (int id : g.ids) {
            auto *d = static_cast<DigitalDisplay *>(m_controls.value(id));
            d->setColours(off, on);
            d->setBackColour(back);
        }
    }
    // The file number, clock and title show their digits in fourteen segments.
    for (int id : {1082, 1088, 1089})
        static_cast<DigitalDisplay *>(m_controls.value(id))->modifyStyle(0, DigitalDisplay::FourteenSegmentDigits);
}

QString ControlWindow::readoutText(int id) const
{
    if (auto *d = qobject_cast<DigitalDisplay *>(m_controls.value(id)))
        return d->text();
    return {};
}

void ControlWindow::showReadout(Readout which, const QString &text)
{
    static_cast<DigitalDisplay *>(m_controls.value(readoutId(which)))->setText(text);
}

void ControlWindow::showClockText(const QString &text)
{
    auto *clock = static_cast<ScrollingDisplay *>(m_controls.value(1088));
    clock->stopScrolling();
    clock->setText(text);
}

void ControlWindow::scrollClockText(const QString &text, int cells, int periodMs)
{
    auto *clock = static_cast<ScrollingDisplay *>(m_controls.value(1088));
    clock->stopScrolling();
    clock->setWindowLength(cells);
    clock->setScrollPeriod(periodMs);
    clock->setScrollText(text);
    clock->startScrolling();
}

void ControlWindow::stopClockScroll()
{
    static_cast<ScrollingDisplay *>(m_controls.value(1088))->stopScrolling();
}

void ControlWindow::scrollTitle(const QString &text, int cells, int periodMs)
{
    auto *title = static_cast<ScrollingDisplay *>(m_controls.value(1089));
    title->stopScrolling();
    title->setWindowLength(cells);
    title->setScrollPeriod(periodMs);
    title->setScrollText(text);
    title->startScrolling();
}

void ControlWindow::stopTitleScroll()
{
    static_cast<ScrollingDisplay *>(m_controls.value(1089))->stopScrolling();
}

void ControlWindow::refreshDate()
{
    auto *title = static_cast<ScrollingDisplay *>(m_controls.value(1089));
    if (!title->isScrolling())
        title->setText(::Readout::dateText(QDate::currentDate(), m_prefs.isOn(Key::USDateFormat)));
}

void ControlWindow::refreshFileNumber()
{
    m_playList->showFileNumber();
}

void ControlWindow::bindSliders()
{
    auto bind = [this](int id, auto onMove) {
        auto *s = static_cast<QSlider *>(m_controls.value(id));
        connect(s, &QSlider::valueChanged, this, [this, s, onMove](int v) {
            if (s->property("syncing").toBool())
                return;
            onMove(v);
            notifyDesktop();
        });
    };
    bind(1008, [this](int v) { transport().startSliderDragged(v); });
    bind(1005, [this](int v) { transport().positionSliderDragged(v); });
    bind(1007, [this](int v) { transport().stopSliderDragged(v); });
    bind(1010, [this](int v) { transport().speedSliderMoved(v); });
    refreshControls();
}

void ControlWindow::refreshControls()
{
    const Transport &t = m_graph->transport();
    const std::pair<int, const SliderModel *> sliders[] = {
        {1008, &t.startSlider()}, {1005, &t.positionSlider()}, {1007, &t.stopSlider()}, {1010, &t.speedSlider()}};
    for (const auto &[id, model] : sliders) {
        auto *s = static_cast<QSlider *>(m_controls.value(id));
        // The models are the truth; showing them is not a user's move.
        s->setProperty("syncing", true);
        s->setRange(model->minimum(), model->maximum());
        s->setValue(model->value());
        s->setPageStep(model->pageSize());
        if (model->tickFrequency() > 0) {
            s->setTickInterval(model->tickFrequency());
            s->setTickPosition(QSlider::TicksBelow);
        }
        s->setProperty("syncing", false);
    }
}

void ControlWindow::setSetButtonsEnabled(bool enabled)
{
    m_controls.value(1015)->setEnabled(enabled);
    m_controls.value(1014)->setEnabled(enabled);
}

void ControlWindow::startPlaybackTimer(int periodMs)
{
    m_timers[PlaybackTimer]->start(periodMs);
}

void ControlWindow::stopPlaybackTimer()
{
    m_timers[PlaybackTimer]->stop();
}

int ControlWindow::preference(const IntKey &key) const
{
    // The toggles live on the window; everything else is a preference.
    const std::string_view name(key.name);
    if (name == Key::AutoLoop.name)
        return m_autoLoop;
    if (name == Key::LoopPlaylist.name)
        return m_loopPlaylist;
    if (name == Key::RandomState.name)
        return m_randomState;
    if (name == Key::Remain.name)
        return m_remain;
    if (name == Key::Current.name)
        return m_timeRemaining;
    return m_prefs.value(key);
}

PlayQueue *ControlWindow::playQueue()
{
    return m_playList.get();
}

void ControlWindow::openFileDialog()
{
    m_fileDialogs->openFiles();
}

void ControlWindow::notifyDesktop()
{
    if (m_mpris)
        m_mpris->notify();
}

// --- The video window

QSize ControlWindow::pictureSize() const
{
    return ViewGeometry::scaledPicture(m_videoScale, {m_graph->videoWidth(), m_graph->videoHeight()});
}

VideoWindow *ControlWindow::videoWindow() const
{
    return m_videoWindow;
}

PictureHost *ControlWindow::pictureHost()
{
    return m_videoWindow;
}

PictureHost *ControlWindow::ensurePictureHost()
{
    if (m_videoWindow)
        return m_videoWindow;
    auto *v = new VideoWindow(this);
    m_videoWindow = v;
    v->installEventFilter(this);
    connect(v, &VideoWindow::leftDoubleClicked, this, [this] {
        if (m_fullScreen || m_fillScreen)
            leaveScreenModes();
        else
            enterFullScreen();
    });
    auto middle = [this](bool doubleClick) {
        if (m_prefs.isOn(Key::MiddleDouble) != doubleClick)
            return;
        if (!m_fullScreen)
            m_controls.value(1105)->setFocus();
        execute(Command::PlayPause);
    };
    connect(v, &VideoWindow::middlePressed, this, [middle] { middle(false); });
    connect(v, &VideoWindow::middleDoubleClicked, this, [middle] { middle(true); });
    connect(v, &VideoWindow::wheelTurned, this, [this](int delta) {
        m_controls.value(1105)->setFocus();
        transport().jog(delta);
        notifyDesktop();
    });
    connect(v, &VideoWindow::escapePressed, this, [this] {
        if (m_fullScreen || m_fillScreen)
            handleEscape();
        else
            setScale(100);
    });
    // Posted, as the window messages were: the window has settled when they are handled.
    connect(v, &VideoWindow::resized, this, [this] { videoResized(); }, Qt::QueuedConnection);
    connect(v, &VideoWindow::moved, this, [this] { videoMoved(); }, Qt::QueuedConnection);
    return v;
}

void ControlWindow::destroyVideoWindow()
{
    m_fitToWindow = false;
    if (!m_videoWindow)
        return;
    VideoWindow *v = m_videoWindow;
    m_videoWindow = nullptr;
    v->hide();
    v->deleteLater();
}

void ControlWindow::setScale(int percent)
{
    m_videoScale = percent;
    if (m_graph->loaded() || percent == 300) {
        m_fitToWindow = false;
        sizeVideoWindowFor(true);
    }
}

void ControlWindow::placeRenderer()
{
    if (!m_videoWindow)
        return;
    if (m_fitToWindow) {
        m_videoWindow->placeRenderer(QRect(1, 1, m_videoWindow->width() - 2, m_videoWindow->height() - 2));
        return;
    }
    const QSize pic = pictureSize();
    m_videoWindow->placeRenderer(QRect(QPoint(1, 1), pic));
}

void ControlWindow::sizeVideoWindowFor(bool viewChange)
{
    if (!m_videoWindow || !m_graph->loaded())
        return;
    const QSize pic = pictureSize();
    const QSize outer = pic + QSize(2, 2); // a one-pixel edge round the picture
    if (pic.isEmpty() || m_graph->noVideo()) {
        m_videoWindow->hide();
        return;
    }
    if (m_fullScreen || m_fillScreen)
        return;
    m_placingVideo = true;
    m_videoWindow->setResizeNotification(false);
    m_videoWindow->show();
    if (m_fitToWindow) {
        placeRenderer();
    } else {
        m_videoWindow->resize(outer);
        placeRenderer();
        const QRect c = frameGeometry();
        const int x = viewChange && m_prefs.isOn(Key::OpenOnLeft) ? c.left() - outer.width()
                                                                  : c.left() + c.width();
        m_videoWindow->move(x, c.top());
    }
    m_videoWindow->setResizeNotification(true);
    m_placingVideo = false;
    if (m_docked)
        placeVideoDocked(false);
    else
        placeVideoUndocked();
}

void ControlWindow::placeVideoDocked(bool forced)
{
    if (!m_videoWindow || !m_docked || m_fullScreen || m_fillScreen || m_graph->noVideo()
        || m_graph->videoWidth() == 0)
        return;
    const QSize pic = pictureSize();
    const int clientExtra = m_videoWindow->width() - pic.width() - 2;
    const auto d = ViewGeometry::dockVideo(frameGeometry(), m_videoWindow->frameGeometry().size(),
                                           m_prefs.isOn(Key::OpenOnLeft) ? clientExtra : 0,
                                           ViewGeometry::virtualScreen().width(), m_prefs.isOn(Key::OpenOnLeft), forced);
    m_placingVideo = true;
    if (m_videoWindow->pos() != d.video)
        m_videoWindow->move(d.video);
    m_placingVideo = false;
    if (d.control && pos() != *d.control) {
        m_placingControl = true;
        move(*d.control);
        m_placingControl = false;
    }
    activateWindow();
}

void ControlWindow::moveControlBesideVideo()
{
    if (!m_videoWindow || !m_docked || m_fullScreen || m_fillScreen)
        return;
    const QPoint p = ViewGeometry::controlBeside(m_videoWindow->frameGeometry(), frameGeometry().width(),
                                                 m_prefs.isOn(Key::OpenOnLeft));
    if (p == pos())
        return;
    m_placingControl = true;
    move(p);
    m_placingControl = false;
    activateWindow();
}

void ControlWindow::placeVideoUndocked()
{
    if (!m_videoWindow)
        return;
    const QPoint stored(m_settings.read(Key::VideoWindowLeft), m_settings.read(Key::VideoWindowTop));
    const auto place = ViewGeometry::undockedPlace(stored, m_videoWindow->frameGeometry().size(), ViewGeometry::virtualScreen());
    if (place.reset) {
        m_settings.write(Key::VideoWindowLeft, 0);
        m_settings.write(Key::VideoWindowTop, 0);
    }
    m_placingVideo = true;
    m_videoWindow->move(place.topLeft);
    m_placingVideo = false;
}

void ControlWindow::toggleDock()
{
    m_docked = !m_docked;
    placeVideoDocked(false);
}

void ControlWindow::moveEvent(QMoveEvent *e)
{
    QDialog::moveEvent(e);
    // A move of ours made while placing beside the video window does not place it back.
    if (!m_placingControl && m_docked)
        placeVideoDocked(true);
}

void ControlWindow::videoMoved()
{
    if (m_placingVideo || !m_docked || !m_videoWindow)
        return;
    // Where the control window already sits beside the picture there is nothing to follow.
    moveControlBesideVideo();
}

void ControlWindow::videoResized()
{
    if (!m_videoWindow || m_placingVideo || m_fullScreen || m_fillScreen || !m_graph->loaded())
        return;
    const QSize pic = pictureSize();
    if (m_videoWindow->size() == pic + QSize(2, 2) && !m_fitToWindow)
        return; // our own sizing, not the user's
    m_fitToWindow = true;
    placeRenderer();
}

// --- Full screen and fill screen

void ControlWindow::enterFullScreen()
{
    if (!m_graph->loaded() || m_fullScreen || !m_videoWindow || m_graph->noVideo())
        return;
    reapplyFullScreen();
    m_videoWindow->raise();
    m_videoWindow->activateWindow();
    if (!m_graph->playing())
        transport().play();
}

void ControlWindow::reapplyFullScreen()
{
    if (!m_videoWindow || m_graph->noVideo())
        return;
    m_fullScreen = true;
    m_windowedView = false;
    m_videoWindow->setResizeNotification(false);
    if (!m_videoWindow->isFullScreen())
        m_videoWindow->showFullScreen();
    const QRect screen = m_videoWindow->screen()->geometry();
    m_videoWindow->setGeometry(screen);
    m_videoWindow->placeRenderer(QRect(QPoint(0, 0), screen.size()));
    // A file opened while in full screen leaves its picture to us.
    if (QWidget *picture = m_graph->picture())
        picture->show();
}

void ControlWindow::enterAutoFull()
{
    if (!m_videoWindow || m_graph->noVideo())
        return;
    m_windowedView = false;
    reapplyFullScreen();
}

void ControlWindow::leaveFullScreen(bool activate)
{
    m_fullScreen = false;
    if (m_videoWindow) {
        m_videoWindow->showNormal();
        m_videoWindow->setResizeNotification(true);
    }
    if (m_fillScreen)
        leaveFillScreen();
    m_windowedView = true;
    sizeVideoWindowFor(true);
    if (activate) {
        activateWindow();
        m_controls.value(1005)->setFocus();
    }
    update();
}

void ControlWindow::enterFillScreen()
{
    if (!m_videoWindow || !m_graph->loaded() || m_graph->noVideo() || m_fillScreen)
        return;
    m_dockedBeforeFill = m_docked;
    if (m_docked)
        toggleDock();
    m_fillScreen = true;
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    show();
    m_windowedView = false;
    m_videoWindow->setResizeNotification(false);
    m_videoWindow->setCursor(Qt::BlankCursor);
    reapplyFillScreen();
    m_videoWindow->raise();
    if (!m_graph->playing())
        transport().play();
}

void ControlWindow::reapplyFillScreen()
{
    if (!m_videoWindow)
        return;
    const QRect area = m_videoWindow->screen()->availableGeometry();
    m_videoWindow->setGeometry(QRect(QPoint(0, 0), area.size()));
    m_videoWindow->placeRenderer(QRect(0, 0, area.width() - 2, area.height() - 2));
}

void ControlWindow::leaveFillScreen()
{
    if (m_dockedBeforeFill && !m_docked)
        m_docked = true;
    m_fillScreen = false;
    applyAlwaysOnTop();
    m_windowedView = true;
    m_fitToWindow = false;
    if (m_videoWindow) {
        m_videoWindow->unsetCursor();
        m_videoWindow->setResizeNotification(true);
    }
    sizeVideoWindowFor(true);
}
