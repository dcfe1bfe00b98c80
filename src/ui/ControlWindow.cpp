#include "ControlWindow.h"

#include "AboutDialog.h"
#include "ControlLayout.h"
#include "ControlSet.h"
#include "MprisBridge.h"
#include "PlaybackBridge.h"
#include "QueueBridge.h"
#include "ReadoutFormat.h"
#include "Readouts.h"
#include "ScreenModes.h"
#include "SkinSetup.h"
#include "VideoCdBridge.h"
#include "VideoWindow.h"
#include "ViewGeometry.h"
#include "app/HandOff.h"
#include "app/ProcessState.h"
#include "app/Prompt.h"
#include "app/SettingsStore.h"
#include "disc/VideoCdSearch.h"
#include "mixer/MixerDevice.h"
#include "mixer/MixerFader.h"
#include "mixer/SystemVolume.h"
#include "playback/MediaEngine.h"
#include "playback/MediaGraph.h"
#include "skin/SkinButton.h"
#include "skin/SkinSlider.h"
#include "playback/Transport.h"
#include "playlist/FileDialogs.h"
#include "playlist/PlayList.h"
#include "net/Connectivity.h"
#include "net/UpdateCheck.h"
#include "skin/ScrollingDisplay.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {
const QString TrayTip = QStringLiteral("Kinetrope V3.33");
const QString ExitQuestion = QStringLiteral(
    "Would you prefer to hide instead of closing?\rIf yes, the preference will be set for you.\r\r"
    "This question will only be asked once");
const QString NoStatusArea = QStringLiteral(
    "This desktop has no status area (system tray) to hide Kinetrope in.\r"
    "Kinetrope is minimized instead: bring it back from the task bar.");

// With a status area the window lives there and stays out of the task bar; without one it
// needs the task bar to come back from.
Qt::WindowFlags windowKind()
{
    return Qt::FramelessWindowHint | (QSystemTrayIcon::isSystemTrayAvailable() ? Qt::Tool : Qt::Window);
}
} // namespace

ControlWindow::ControlWindow(SettingsStore &settings, Prompt &prompt, ProcessState &process, QWidget *parent,
                             Connectivity *connectivity)
    : QDialog(parent, windowKind()), m_settings(settings), m_prompt(prompt), m_process(process)
{
    setObjectName(QStringLiteral("ControlWindow"));
    setWindowTitle(QStringLiteral("Kinetrope"));
    setWindowIcon(QIcon(QStringLiteral(":/kinetrope.png")));
    setFixedSize(DesignWidth, DesignHeight);
    setAcceptDrops(true);
    for (int id = PlaybackTimer; id <= UpdateTimer; ++id) {
        auto *t = new QTimer(this);
        t->setObjectName(QStringLiteral("timer%1").arg(id));
        connect(t, &QTimer::timeout, this, [this, id] { onTimer(id); });
        m_timers[id] = t;
    }
    m_timers[StartFileTimer]->setSingleShot(true);
    m_timers[SplashTimer]->setSingleShot(true);

    m_controls = new ControlSet(this);
    m_readouts = new Readouts(this, m_settings);
    m_skin = new SkinSetup(*this, m_settings, m_prompt, m_process);
    m_playbackHost = std::make_unique<PlaybackBridge>(*this);
    m_queueHost = std::make_unique<QueueBridge>(*this);
    m_graph = std::make_unique<MediaGraph>(*m_playbackHost, m_settings);
    m_screenModes = new ScreenModes(*this, *m_graph, m_prefs, m_settings);
    m_videoCdHost = std::make_unique<VideoCdBridge>(*this);
    m_videoCd = std::make_unique<VideoCdSearch>(*m_videoCdHost, *m_graph);
    // The DVD button plays a VideoCD when no drive holds a DVD.
    m_videoCdFallback = [this] { return m_videoCd->playIfFound(); };
    m_playList = std::make_unique<PlayList>(*m_queueHost, m_prompt);
    m_fileDialogs = std::make_unique<FileDialogs>(m_settings, m_prompt, *m_playList, *m_queueHost);
    if (!connectivity) {
        m_connectivity = std::make_unique<Connectivity>();
        connectivity = m_connectivity.get();
    }
    m_update = new UpdateCheck(m_settings, m_prompt, *connectivity, this);
    connect(m_update, &UpdateCheck::progress, this, [this](const QString &text) {
        m_readouts->scrollClockText(text, ::Readout::ClockPlaces, 3 * m_prefs.updatePeriod());
    });
    connect(m_update, &UpdateCheck::finished, this, [this] { m_readouts->stopClockScroll(); });
    connectMixer();
    buildMenu();
    connect(m_controls, &ControlSet::actionRequested, this, &ControlWindow::execute);
    connect(m_readouts, &Readouts::actionRequested, this, &ControlWindow::execute);
    connect(m_controls, &ControlSet::wheelTurned, this, [this](int delta) { execute({Command::Jog, double(delta)}); });
    connect(m_controls, &ControlSet::middleClicked, this, &ControlWindow::middleClick);
    connect(m_controls, &ControlSet::filesDroppedOnQueue, this, [this](const QStringList &files) {
        dropFiles(files, true);
    });
    connect(m_screenModes, &ScreenModes::videoWindowCreated, this, &ControlWindow::connectVideoWindow);
    connect(m_screenModes, &ScreenModes::windowedViewRestored, this,
            [this] { m_controls->slider(SliderId::Position)->setFocus(); });

    // Initialisation, in its fixed order.
    setUpMixer();
    m_skin->loadBackground();
    m_readouts->colours().load();
    readSettings();
    m_playbackHost->refreshDate();
    applyAlwaysOnTop();
    m_initialRect = QRect(QPoint(0, 0), size());
    m_playbackHost->refreshControls();
    m_playList->showFileNumber();
    m_skin->applySkin(true, skinToggles());
    m_dockShown = m_screenModes->docked();
    restoreWindow();
    if (!m_prefs.isOn(Key::SplashDisable))
        m_timers[SplashTimer]->start(100);
    // Unseen, and retried every ten minutes until a check gets through; only an offer shows.
    if (m_prefs.isOn(Key::AutoUpdateNotification) && !m_update->busy()) {
        m_update->start(false);
        m_timers[UpdateTimer]->start(600000);
    }
    m_controls->button(ButtonId::OpenFile)->setFocus();
    m_timers[ClockTimer]->start(100);
    m_readouts->showClockText(::Readout::clockIdleText());
    m_readouts->title()->setText(::Readout::titleIdleText());
    m_readouts->scrollTitle(::Readout::titleScrollText(), ::Readout::DatePlaces, 3 * m_prefs.updatePeriod());

    m_tray = new QSystemTrayIcon(windowIcon(), this);
    m_tray->setToolTip(TrayTip);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger || r == QSystemTrayIcon::DoubleClick)
            trayActivated(true);
        else if (r == QSystemTrayIcon::Context)
            trayActivated(false);
    });
    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_tray->show();
    m_timers[StartFileTimer]->start(100);
}

ControlWindow::~ControlWindow()
{
    // The graph talks to the window while it tears down; take it down first.
    m_mpris.reset();
    m_graph.reset();
    m_screenModes->destroyVideoWindow();
}

int ControlWindow::run()
{
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::exit);
    show();
    return loop.exec();
}

Transport &ControlWindow::transport()
{
    return m_graph->transport();
}

VideoWindow *ControlWindow::videoWindow() const
{
    return m_screenModes->videoWindow();
}

void ControlWindow::notifyDesktop()
{
    if (m_mpris)
        m_mpris->notify();
}

void ControlWindow::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    // Registered once shown, when the window this one replaced has let go of the bus path.
    if (!m_mpris)
        m_mpris = std::make_unique<MprisBridge>(*this);
}

void ControlWindow::buildMenu()
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("135"));
    QHash<QString, QMenu *> submenus;
    for (const MenuEntry &m : Commands::menu()) {
        QMenu *menu = m_menu;
        if (m.submenu) {
            const QString title = QString::fromUtf8(m.submenu);
            menu = submenus.value(title);
            if (!menu) {
                menu = m_menu->addMenu(title);
                submenus.insert(title, menu);
            }
        }
        if (m.id == 0) {
            menu->addSeparator();
            continue;
        }
        QString text = QString::fromUtf8(m.text);
        if (const KeyEntry *k = Commands::keyFor(m.action))
            text += QLatin1Char('\t') + QKeySequence(k->key | k->modifiers).toString(QKeySequence::NativeText);
        QAction *a = menu->addAction(text);
        a->setObjectName(QString::number(m.id));
        if (m.listsTracks) {
            // Filled with the open file's tracks each time the sub-menu opens.
            a->setEnabled(false);
            const Command command = m.action.command;
            connect(menu, &QMenu::aboutToShow, this, [this, menu, a, command] { listTracks(menu, a, command); });
            continue;
        }
        const Action action = m.action;
        connect(a, &QAction::triggered, this, [this, action] { execute(action); });
    }
}

void ControlWindow::readSettings()
{
    // Preferences start at the built-in values, then every stored preference replaces them.
    m_prefs = Preferences();
    m_toggles.loopFile = m_settings.read(Key::AutoLoop) != 0;
    m_toggles.loopList = m_settings.read(Key::LoopPlaylist) != 0;
    m_toggles.remaining = m_settings.read(Key::Remain) != 0;
    m_toggles.timeRemaining = m_settings.read(Key::Current) != 0;
    // Only the four scales exist; anything else stored would hide the picture for good.
    const int scale = m_settings.read(Key::VideoSize);
    m_screenModes->setScale(scale == 50 || scale == 200 || scale == 300 ? scale : 100);
    m_prefs.load(m_settings);
    if (m_prefs.isOn(Key::AutoFull))
        m_screenModes->armFullScreen();
}

void ControlWindow::restoreWindow()
{
    using namespace ViewGeometry;
    const QSize screen = ViewGeometry::virtualScreen();
    SavedRect r{m_settings.read(Key::WindowLeft), m_settings.read(Key::WindowTop), m_settings.read(Key::WindowRight),
                m_settings.read(Key::WindowBottom)};
    if (outsideScreen(r, screen)) {
        r = resetRect(m_initialRect.size());
        m_settings.write(Key::WindowLeft, r.left);
        m_settings.write(Key::WindowTop, r.top);
        m_settings.write(Key::WindowRight, r.right);
        m_settings.write(Key::WindowBottom, r.bottom);
    }
    if (m_prefs.isOn(Key::RememberSize)) {
        const int mode = m_settings.read(Key::WindowSize);
        if (mode == 1)
            toggleHeight(true);
        else if (mode == 2)
            toggleHeight(false);
    }
    if (r.right != 0 && r.bottom != 0 && m_prefs.isOn(Key::RememberCoords))
        move(r.left, r.top);
    else
        move(50, 50);
}

void ControlWindow::applyAlwaysOnTop()
{
    ScreenModes::setStaysOnTop(*this, m_prefs.isOn(Key::AlwaysOnTop));
}

void ControlWindow::applyCorners()
{
    if (m_settings.read(Key::SquareCorners) != 0) {
        clearMask();
        return;
    }
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, width(), height()), 25, 25);
    setMask(QRegion(path.toFillPolygon().toPolygon()));
}

void ControlWindow::resizeEvent(QResizeEvent *e)
{
    QDialog::resizeEvent(e);
    applyCorners();
}

void ControlWindow::moveEvent(QMoveEvent *e)
{
    QDialog::moveEvent(e);
    m_screenModes->controlWindowMoved();
}

void ControlWindow::toggleHeight(bool compact)
{
    if (m_initialRect.isEmpty())
        return;
    bool &toggle = compact ? m_process.compactToggle : m_process.minimalToggle;
    int h = ViewGeometry::FullHeight;
    if (!toggle) {
        m_windowSizeMode = compact ? 1 : 2;
        h = compact ? ViewGeometry::CompactHeight : ViewGeometry::MinimalHeight;
    } else {
        m_windowSizeMode = 0;
    }
    toggle = !toggle;
    setFixedSize(m_initialRect.width(), h);
    m_skin->applySkin(false, skinToggles());
    update();
}

void ControlWindow::onTimer(int id)
{
    // While a file opens the event loop turns inside the open: only the clock goes on;
    // what would open, close or show a dialog waits for the open to end.
    if (m_graph->opening()) {
        if (id == StartFileTimer || id == SplashTimer)
            m_timers[id]->start(100);
        if (id != ClockTimer)
            return;
    } else {
        pollHandOff();
    }
    switch (id) {
    case PlaybackTimer:
        if (m_graph->loaded())
            transport().playbackTick();
        notifyDesktop();
        break;
    case ClockTimer:
        m_readouts->showTimeOfDay(m_graph->loaded(), m_graph->paused(), m_graph->playing(), !m_graph->noVideo(),
                                  m_prefs.isOn(Key::Hour24Format));
        break;
    case SplashTimer:
        showAbout();
        break;
    case StartFileTimer:
        openStartFile();
        break;
    case UpdateTimer:
        if (m_update->wantsRetry())
            m_update->start(false);
        break;
    }
}

void ControlWindow::openStartFile()
{
    if (m_graph->loaded())
        return;
    if (m_currentPath.isEmpty()) {
        // Without a file to start, "AutoPlayVcd" plays a disc found, unasked and silently.
        if (m_prefs.isOn(Key::AutoPlayVcd))
            m_videoCd->search(true);
        return;
    }
    if (m_startFiles.size() > 1)
        m_playList->startFromSelection(m_startFiles);
    else
        m_playList->startFromPath();
    m_startFiles.clear();
    notifyDesktop();
}

void ControlWindow::bringForward()
{
    VideoWindow *video = videoWindow();
    if (video && m_graph->loaded() && !m_graph->noVideo())
        video->show();
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
    applyAlwaysOnTop();
    if (video && video->isVisible())
        video->raise();
}

void ControlWindow::pollHandOff()
{
    // An offer that comes while a file opens is taken at the first tick after it.
    if (m_graph->opening() || m_settings.read(Key::MultipleInstanceRunTimeFlag) == 0)
        return;
    bringForward();
    m_settings.write(Key::MultipleInstanceRunTimeFlag, 0);
    m_currentPath = m_settings.read(Key::MultipleInstanceRunTimeStr);
    if (m_currentPath.isEmpty())
        return;
    m_videoCd->end();
    const QStringList several = HandOff::severalFiles(m_settings);
    if (!several.isEmpty()) {
        // Several files become the list, as on the command line of a first start.
        m_playList->startFromSelection(several);
    } else if (PlayList::isPlaylistPath(m_currentPath)) {
        // Opened as a medium a list only fails; it plays as the list it is.
        m_playList->startFromPlaylistFile(m_currentPath);
    } else {
        if (m_graph->loaded())
            m_graph->closeMedia();
        m_graph->openAndStart();
    }
    m_settings.write({{Key::MultipleInstanceRunTimeStr, QString()}, {Key::MultipleInstanceRunTimeList, QString()}});
    notifyDesktop();
}

void ControlWindow::trayActivated(bool leftButton)
{
    if (leftButton) {
        bringForward();
        return;
    }
    show();
    raise();
    activateWindow();
    showContextMenu(QCursor::pos());
}

void ControlWindow::showAbout()
{
    AboutDialog about(&m_prompt, this);
    about.exec();
}

void ControlWindow::showContextMenu(const QPoint &globalPos)
{
    m_menu->popup(globalPos);
}

void ControlWindow::hideToStatusArea()
{
    if (m_prefs.isOn(Key::EjectOnMinimize) && m_graph->loaded())
        eject();
    else if (m_prefs.isOn(Key::AutoPause) && m_graph->playing())
        transport().pause();
    if (VideoWindow *video = videoWindow())
        video->hide();
    if (m_tray && m_tray->isVisible()) {
        hide();
    } else {
        // Hidden without an icon to bring it back, the player would be lost to the user.
        if (!m_process.noStatusAreaToldOnce) {
            m_process.noStatusAreaToldOnce = true;
            m_prompt.message({NoStatusArea, QString(), PromptKind::Ok, PromptKind::Information});
        }
        showMinimized();
    }
    notifyDesktop();
}

void ControlWindow::changeEvent(QEvent *e)
{
    QDialog::changeEvent(e);
    // Back from the task bar: the picture comes back with the controls.
    if (e->type() == QEvent::WindowStateChange && !isMinimized() && isVisible()) {
        VideoWindow *video = videoWindow();
        if (video && m_graph->loaded() && !m_graph->noVideo() && !video->isVisible())
            video->show();
    }
}

void ControlWindow::exitButton()
{
    if (m_prefs.isOn(Key::CloseHides)) {
        hideToStatusArea();
        return;
    }
    if (m_settings.read(Key::AskExitQuestion) == 0) {
        m_settings.write(Key::AskExitQuestion, 1);
        m_prefs.set(Key::AskExitQuestion, 1);
        const auto answer =
            m_prompt.message({ExitQuestion, QStringLiteral("Close or Hide?"), PromptKind::YesNo, PromptKind::Question});
        if (answer == PromptKind::AnswerYes) {
            m_settings.write(Key::CloseHides, 1);
            m_prefs.set(Key::CloseHides, 1);
            hideToStatusArea();
            return;
        }
    }
    closeProgram();
}

void ControlWindow::closeProgram()
{
    m_timers[UpdateTimer]->stop();
    shutdown(false);
}

void ControlWindow::quitProgram()
{
    QTimer::singleShot(0, this, [this] { closeProgram(); });
}

void ControlWindow::closeEvent(QCloseEvent *e)
{
    closeProgram();
    e->accept();
}

void ControlWindow::shutdown(bool restart)
{
    if (m_closing)
        return;
    m_closing = true;
    m_screenModes->leaveFullScreen(false);
    m_graph->closeMedia();
    m_screenModes->destroyVideoWindow();
    if (m_tray)
        m_tray->hide();
    const QRect r = frameGeometry();
    m_settings.write(Key::WindowLeft, r.left());
    m_settings.write(Key::WindowTop, r.top());
    m_settings.write(Key::WindowRight, r.left() + r.width());
    m_settings.write(Key::WindowBottom, r.top() + r.height());
    m_settings.write(Key::WindowSize, m_windowSizeMode);
    m_settings.write(Key::VideoSize, m_screenModes->scale());
    m_settings.write(Key::RandomState, m_toggles.random);
    m_settings.write(Key::AutoLoop, m_toggles.loopFile);
    m_settings.write(Key::LoopPlaylist, m_toggles.loopList);
    m_settings.write(Key::DockWindow, m_screenModes->docked());
    m_settings.write(Key::Remain, m_toggles.remaining);
    m_settings.write(Key::Current, m_toggles.timeRemaining);
    m_timers[ClockTimer]->stop();
    m_timers[PlaybackTimer]->stop();
    m_systemVolume->close();
    m_balance->close();
    m_mpris.reset();
    done(restart ? RestartResult : 0);
}

SkinSetup::Toggles ControlWindow::skinToggles() const
{
    return {m_toggles.random, m_screenModes->docked(), m_toggles.loopFile, m_toggles.loopList};
}

void ControlWindow::showDockState()
{
    // Full and fill screen change docking too: the dock button follows whatever did.
    const bool docked = m_screenModes->docked();
    if (docked == m_dockShown)
        return;
    m_dockShown = docked;
    m_skin->showToggle(idNumber(ButtonId::Dock), docked);
}

void ControlWindow::paintEvent(QPaintEvent *e)
{
    QPainter p(this);
    // Tiled from the window's top-left corner; without a background the dialog's colour.
    if (!m_skin->background().isNull())
        p.fillRect(e->rect(), QBrush(m_skin->background()));
    else
        p.fillRect(e->rect(), palette().color(QPalette::Window));
    p.drawPixmap(ControlLayout::LogoRect.topLeft(), m_skin->title());
}
