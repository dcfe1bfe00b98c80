#include "ScreenModes.h"

#include "VideoWindow.h"
#include "ViewGeometry.h"
#include "app/SettingsStore.h"
#include "playback/MediaGraph.h"
#include "playback/Transport.h"
#include "prefs/Preferences.h"

#include <QScreen>

ScreenModes::ScreenModes(QWidget &control, MediaGraph &graph, const Preferences &prefs, SettingsStore &settings)
    : QObject(&control), m_control(control), m_graph(graph), m_prefs(prefs), m_settings(settings)
{
}

ScreenModes::~ScreenModes()
{
    delete m_video;
}

bool ScreenModes::docked() const
{
    return m_mode == Mode::Docked || (m_mode == Mode::FullScreen && m_returnMode == Mode::Docked);
}

void ScreenModes::setStaysOnTop(QWidget &window, bool onTop)
{
    if (window.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    const bool visible = window.isVisible();
    window.setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (visible)
        window.show(); // a change of flags hides a top-level window
}

bool ScreenModes::hasPicture() const
{
    return m_video && m_graph.loaded() && !m_graph.noVideo();
}

QSize ScreenModes::pictureSize() const
{
    return ViewGeometry::scaledPicture(m_scale, {m_graph.videoWidth(), m_graph.videoHeight()});
}

VideoWindow *ScreenModes::videoWindow() const
{
    return m_video;
}

VideoWindow *ScreenModes::ensureVideoWindow()
{
    if (m_video)
        return m_video;
    auto *v = new VideoWindow(&m_control);
    m_video = v;
    // Posted, as the window messages were: the window has settled when they are handled.
    connect(v, &VideoWindow::resized, this, &ScreenModes::videoResized, Qt::QueuedConnection);
    connect(v, &VideoWindow::moved, this, &ScreenModes::videoMoved, Qt::QueuedConnection);
    Q_EMIT videoWindowCreated(v);
    return v;
}

void ScreenModes::destroyVideoWindow()
{
    m_fitToWindow = false;
    if (!m_video)
        return;
    VideoWindow *v = m_video;
    m_video = nullptr;
    v->hide();
    v->deleteLater();
}

void ScreenModes::setScale(int percent)
{
    m_scale = percent;
    if (m_graph.loaded() || percent == 300) {
        m_fitToWindow = false;
        sizeVideoWindow(true);
    }
}

void ScreenModes::placeRenderer()
{
    if (!m_video)
        return;
    if (m_fitToWindow)
        m_video->placeRenderer(QRect(1, 1, m_video->width() - 2, m_video->height() - 2));
    else
        m_video->placeRenderer(QRect(QPoint(1, 1), pictureSize()));
}

void ScreenModes::sizeVideoWindow(bool viewChange)
{
    if (!m_video || !m_graph.loaded())
        return;
    const QSize pic = pictureSize();
    if (pic.isEmpty() || m_graph.noVideo()) {
        m_video->hide();
        return;
    }
    if (!windowed())
        return;
    m_placingVideo = true;
    m_video->setResizeNotification(false);
    if (m_fitToWindow) {
        placeRenderer();
    } else {
        const QSize outer = pic + QSize(2, 2); // a one-pixel edge round the picture
        m_video->resize(outer);
        placeRenderer();
        const QRect c = m_control.frameGeometry();
        const int x = viewChange && m_prefs.isOn(Key::OpenOnLeft) ? c.left() - outer.width() : c.left() + c.width();
        m_video->move(x, c.top());
    }
    m_placingVideo = false;
    if (m_mode == Mode::Docked)
        placeVideoDocked(false);
    else
        placeVideoUndocked();
    // Shown only once in place: some window managers (Weston's) place an X window where it
    // asks to be when it maps and ignore its later moves.
    m_video->show();
    m_video->setResizeNotification(true);
}

void ScreenModes::placeVideoDocked(bool forced)
{
    if (!m_video || m_mode != Mode::Docked || m_graph.noVideo() || m_graph.videoWidth() == 0)
        return;
    const bool onLeft = m_prefs.isOn(Key::OpenOnLeft);
    const int clientExtra = m_video->width() - pictureSize().width() - 2;
    const auto d = ViewGeometry::dockVideo(m_control.frameGeometry(), m_video->frameGeometry().size(),
                                           onLeft ? clientExtra : 0, ViewGeometry::virtualScreen().width(), onLeft,
                                           forced);
    m_placingVideo = true;
    if (m_video->pos() != d.video)
        m_video->move(d.video);
    m_placingVideo = false;
    if (d.control && m_control.pos() != *d.control) {
        m_placingControl = true;
        m_control.move(*d.control);
        m_placingControl = false;
    }
    m_control.activateWindow();
}

void ScreenModes::moveControlBesideVideo()
{
    if (!m_video || m_mode != Mode::Docked)
        return;
    const QPoint p = ViewGeometry::controlBeside(m_video->frameGeometry(), m_control.frameGeometry().width(),
                                                 m_prefs.isOn(Key::OpenOnLeft));
    // Where the control window already sits beside the picture there is nothing to follow.
    if (p == m_control.pos())
        return;
    m_placingControl = true;
    m_control.move(p);
    m_placingControl = false;
    m_control.activateWindow();
}

void ScreenModes::placeVideoUndocked()
{
    if (!m_video)
        return;
    const QPoint stored(m_settings.read(Key::VideoWindowLeft), m_settings.read(Key::VideoWindowTop));
    const auto place = ViewGeometry::undockedPlace(stored, m_video->frameGeometry().size(), ViewGeometry::virtualScreen());
    if (place.reset) {
        m_settings.write(Key::VideoWindowLeft, 0);
        m_settings.write(Key::VideoWindowTop, 0);
    }
    m_placingVideo = true;
    m_video->move(place.topLeft);
    m_placingVideo = false;
}

void ScreenModes::toggleDock()
{
    Mode &windowedMode = windowed() ? m_mode : m_returnMode;
    windowedMode = windowedMode == Mode::Docked ? Mode::Floating : Mode::Docked;
    placeVideoDocked(false);
}

void ScreenModes::controlWindowMoved()
{
    // A move of ours made while placing beside the video window does not place it back.
    if (!m_placingControl && m_mode == Mode::Docked)
        placeVideoDocked(true);
}

void ScreenModes::videoMoved()
{
    if (!m_placingVideo && m_mode == Mode::Docked)
        moveControlBesideVideo();
}

void ScreenModes::videoResized()
{
    if (!m_video || m_placingVideo || !windowed() || !m_graph.loaded())
        return;
    if (m_video->size() == pictureSize() + QSize(2, 2) && !m_fitToWindow)
        return; // our own sizing, not the user's
    m_fitToWindow = true;
    placeRenderer();
}

void ScreenModes::enterFullScreen()
{
    if (!hasPicture() || m_mode == Mode::FullScreen)
        return;
    reapplyFullScreen();
    m_video->raise();
    m_video->activateWindow();
    if (!m_graph.playing())
        m_graph.transport().play();
}

void ScreenModes::reapplyFullScreen()
{
    if (!m_video || m_graph.noVideo())
        return;
    if (m_mode == Mode::FillScreen)
        leaveFillScreen();
    if (windowed())
        m_returnMode = m_mode;
    m_mode = Mode::FullScreen;
    m_video->setResizeNotification(false);
    if (!m_video->isFullScreen())
        m_video->showFullScreen();
    const QRect screen = m_video->screen()->geometry();
    m_video->setGeometry(screen);
    m_video->placeRenderer(QRect(QPoint(0, 0), screen.size()));
    // A file opened while in full screen leaves its picture to us.
    if (QWidget *picture = m_graph.picture())
        picture->show();
}

void ScreenModes::leaveFullScreen(bool activate)
{
    m_fullScreenArmed = false;
    if (m_mode != Mode::FullScreen)
        return;
    m_mode = m_returnMode;
    if (m_video) {
        m_video->showNormal();
        m_video->setResizeNotification(true);
    }
    sizeVideoWindow(true);
    if (activate) {
        m_control.activateWindow();
        Q_EMIT windowedViewRestored();
    }
    m_control.update();
}

void ScreenModes::enterFillScreen()
{
    if (!hasPicture() || !windowed())
        return;
    m_returnMode = m_mode;
    m_mode = Mode::FillScreen;
    setStaysOnTop(m_control, false);
    m_control.show();
    m_video->setResizeNotification(false);
    m_video->setCursor(Qt::BlankCursor);
    reapplyFillScreen();
    m_video->raise();
    if (!m_graph.playing())
        m_graph.transport().play();
}

void ScreenModes::reapplyFillScreen()
{
    if (!m_video)
        return;
    const QRect area = m_video->screen()->availableGeometry();
    m_video->setGeometry(QRect(QPoint(0, 0), area.size()));
    m_video->placeRenderer(QRect(0, 0, area.width() - 2, area.height() - 2));
}

void ScreenModes::leaveFillScreen()
{
    if (m_mode != Mode::FillScreen)
        return;
    m_mode = m_returnMode;
    setStaysOnTop(m_control, m_prefs.isOn(Key::AlwaysOnTop));
    m_fitToWindow = false;
    if (m_video) {
        m_video->unsetCursor();
        m_video->setResizeNotification(true);
    }
    sizeVideoWindow(true);
}

void ScreenModes::leaveScreenModes()
{
    if (m_mode == Mode::FullScreen)
        leaveFullScreen();
    else if (m_mode == Mode::FillScreen)
        leaveFillScreen();
}
