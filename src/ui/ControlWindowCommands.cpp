// The control window's input: its controls, menu, keys, mouse and drops, and the one
// dispatch of commands.
#include "ControlLayout.h"
#include "ControlWindow.h"
#include "VideoWindow.h"
#include "app/SettingsStore.h"
#include "playback/MediaEngine.h"
#include "playback/MediaGraph.h"
#include "playback/Transport.h"
#include "playlist/FileDialogs.h"
#include "playlist/FileListEditorDialog.h"
#include "playlist/PlayList.h"
#include "skin/DigitalDisplay.h"
#include "skin/ScrollingDisplay.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace {
QStringList localFiles(const QMimeData *mime)
{
    QStringList files;
    for (const QUrl &u : mime->urls()) {
        if (u.isLocalFile())
            files << u.toLocalFile();
    }
    return files;
}
} // namespace

QWidget *ControlWindow::buildDisplay(int id)
{
    if (id == 1088 || id == 1089) {
        auto *s = new ScrollingDisplay(this);
        s->setWindowLength(id == 1088 ? 12 : 19);
        return s;
    }
    return new DigitalDisplay(this);
}

void ControlWindow::buildControls()
{
    for (const ControlEntry &c : Commands::controls()) {
        const ControlPlace *p = ControlLayout::place(c.id);
        QWidget *w = nullptr;
        const QString caption = QString::fromUtf8(c.caption ? c.caption : (p && p->text ? p->text : ""));
        switch (c.kind) {
        case ControlKind::Button: {
            auto *b = new QPushButton(caption, this);
            b->setAutoDefault(false);
            const Command cmd = c.command;
            if (cmd == Command::Cue || cmd == Command::Review) {
                // One step on the press, then one every 100 ms while held.
                b->setAutoRepeat(true);
                b->setAutoRepeatDelay(100);
                b->setAutoRepeatInterval(100);
                connect(b, &QPushButton::pressed, this, [this, cmd] { execute(cmd); });
                connect(b, &QPushButton::clicked, this, [this, cmd, b] {
                    if (b->isDown())
                        execute(cmd);
                });
            } else {
                connect(b, &QPushButton::clicked, this, [this, cmd] { execute(cmd); });
            }
            if (c.id == 16)
                b->setAcceptDrops(true);
            w = b;
            break;
        }
        case ControlKind::Label: {
            auto *l = new QLabel(caption, this);
            QFont f = l->font();
            f.setPointSizeF(7);
            l->setFont(f);
            w = l;
            break;
        }
        case ControlKind::Display:
            w = buildDisplay(c.id);
            break;
        case ControlKind::Slider: {
            auto *s = new QSlider(Qt::Horizontal, this);
            s->setFocusPolicy(Qt::NoFocus); // transport keys belong to the window
            s->setPageStep(1);
            w = s;
            break;
        }
        case ControlKind::CheckBox:
            w = new QCheckBox(this);
            break;
        }
        w->setObjectName(QString::number(c.id));
        if (p && !p->rect.isEmpty())
            w->setGeometry(p->rect);
        else
            w->hide();
        w->installEventFilter(this);
        m_controls.insert(c.id, w);
    }
    for (int id : {1015, 1014})
        m_controls.value(id)->setEnabled(false);
}

void ControlWindow::buildMenu()
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("135"));
    for (const MenuEntry &m : Commands::menu()) {
        if (m.id == 0) {
            m_menu->addSeparator();
            continue;
        }
        QAction *a = m_menu->addAction(QString::fromUtf8(m.text));
        a->setObjectName(QString::number(m.id));
        const Command cmd = m.command;
        connect(a, &QAction::triggered, this, [this, cmd] { execute(cmd); });
    }
}

void ControlWindow::execute(Command command)
{
    using enum Command;
    Transport &t = transport();
    switch (command) {
    case EnterKey:
    case PlayPause: t.playPause(); break;
    case Play:
        if (m_graph->loaded() && !m_graph->playing())
            m_graph->paused() ? t.playPause() : t.play();
        break;
    case Pause:
        if (m_graph->playing())
            t.playPause();
        break;
    case Stop: t.stopPlayback(); break;
    case Eject: eject(); break;
    case Rewind: t.rewind(); break;
    case FastForward: t.fastForward(); break;
    case Review: t.reviewStep(); break;
    case Cue: t.cueStep(); break;
    case FrameReverse: t.frameReverse(); break;
    case FrameAdvance: t.frameAdvance(); break;
    case Rate02: t.speedPreset(0.2); break;
    case Rate05: t.speedPreset(0.5); break;
    case Rate07: t.speedPreset(0.71); break;
    case Rate1: t.speedPreset(1.0); break;
    case Rate2: t.speedPreset(2.0); break;
    case Rate5: t.speedPreset(5.0); break;
    case Faster: t.keypadPlus(); break;
    case Slower: t.keypadMinus(); break;
    case SetStart: t.setStartPoint(); break;
    case SetStop: t.setStopPoint(); break;
    case ResetPoints: t.resetPoints(); break;
    case OpenFile: m_fileDialogs->openFiles(); break;
    case CreateEmptyPlaylist: m_fileDialogs->createEmptyPlaylist(); break;
    case SaveFileAs:
        if (m_graph->loaded())
            m_fileDialogs->saveFileAs();
        break;
    case SavePlaylistAs:
        if (m_graph->loaded())
            m_fileDialogs->savePlaylistAs();
        break;
    case EditPlaylist: {
        // The editor may rewrite the list being played: nothing stays loaded meanwhile.
        if (m_graph->playing())
            t.stopPlayback();
        m_graph->closeMedia();
        destroyVideoWindow();
        FileListEditorDialog editor(m_settings, m_prompt, this);
        editor.run();
        break;
    }
    case FullScreen: enterFullScreen(); break;
    case FillScreen: enterFillScreen(); break;
    case LeaveScreenModes: leaveScreenModes(); break;
    case Scale50: setScale(50); break;
    case Scale100: setScale(100); break;
    case Scale200: setScale(200); break;
    case Scale300: setScale(300); break;
    case CompactView: toggleHeight(true); break;
    case MinimalView: toggleHeight(false); break;
    case DockToggle: toggleDock(); break;
    case StatusAreaView: hideToStatusArea(); break;
    case RandomToggle: m_randomState = !m_randomState; break;
    case LoopFileToggle: m_autoLoop = !m_autoLoop; break;
    case LoopListToggle: m_loopPlaylist = !m_loopPlaylist; break;
    case ShowCurrentNumber: m_playList->showCurrentNumber(); break;
    case ShowRemaining: m_playList->showRemaining(); break;
    case ToggleTimeRemaining:
        m_timeRemaining = !m_timeRemaining;
        break;
    case ExitButton: exitButton(); break;
    case Exit: closeProgram(); break;
    case About: showAbout(); break;
    case EscapeKey: handleEscape(); break;
    case ContextMenu: showContextMenu(QCursor::pos()); break;
    default: break; // features not built yet
    }
    notifyDesktop();
}

void ControlWindow::eject()
{
    m_graph->closeMedia();
    transport().resetPoints();
    for (Readout r : {Readout::StartTime, Readout::TotalTime, Readout::CurrentTime, Readout::EndTime})
        showReadout(r, QStringLiteral("  :  :  : 0"));
    m_playList->resetQueue();
    m_fitToWindow = false;
    destroyVideoWindow();
}

void ControlWindow::handleEscape()
{
    if (m_prefs.isOn(Key::EscFunction)) {
        closeProgram();
        return;
    }
    leaveScreenModes();
}

void ControlWindow::leaveScreenModes()
{
    if (m_fullScreen)
        leaveFullScreen();
    else if (m_fillScreen)
        leaveFillScreen();
}

void ControlWindow::keyPressEvent(QKeyEvent *e)
{
    Command c = Commands::forKey(e->key(), e->modifiers());
    if (c == Command::None)
        c = Commands::forMediaKey(e->key());
    if (c == Command::None) {
        e->ignore();
        return;
    }
    execute(c);
    e->accept();
}

void ControlWindow::keyFromVideo(QKeyEvent *e)
{
    keyPressEvent(e);
}

bool ControlWindow::eventFilter(QObject *watched, QEvent *e)
{
    switch (e->type()) {
    case QEvent::KeyPress: {
        auto *k = static_cast<QKeyEvent *>(e);
        // Enter in an edit control goes to the default button; Esc never reaches a child.
        if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) && qobject_cast<QLineEdit *>(watched)) {
            if (QWidget *play = m_controls.value(1105))
                play->setFocus();
            return true;
        }
        if (k->key() == Qt::Key_Escape && watched != m_videoWindow) {
            execute(Command::EscapeKey);
            return true;
        }
        if (watched == m_videoWindow && k->key() != Qt::Key_Escape) {
            keyFromVideo(k);
            return true;
        }
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        // In full and fill screen the picture's mouse belongs to the control window.
        if (watched == m_videoWindow && (m_fullScreen || m_fillScreen)) {
            auto *m = static_cast<QMouseEvent *>(e);
            if (e->type() == QEvent::MouseButtonPress)
                mousePressEvent(m);
            else if (e->type() == QEvent::MouseButtonDblClick)
                mouseDoubleClickEvent(m);
            else
                mouseReleaseEvent(m);
            return true;
        }
        if (e->type() == QEvent::MouseButtonPress
            && (watched == m_controls.value(1085) || watched == m_controls.value(1095))) {
            execute(Command::ToggleTimeRemaining);
            return true;
        }
        break;
    case QEvent::DragEnter:
        if (watched == m_controls.value(16)) {
            auto *d = static_cast<QDragEnterEvent *>(e);
            if (d->mimeData()->hasUrls())
                d->acceptProposedAction();
            return true;
        }
        break;
    case QEvent::Drop:
        if (watched == m_controls.value(16)) {
            auto *d = static_cast<QDropEvent *>(e);
            d->acceptProposedAction();
            const QStringList files = localFiles(d->mimeData());
            // Handled after the drop returns, as a posted message would be.
            QTimer::singleShot(0, this, [this, files] { dropFiles(files, true); });
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, e);
}

void ControlWindow::reject()
{
    // Esc is a command of its own here, never "close the dialog".
}

void ControlWindow::mousePressEvent(QMouseEvent *e)
{
    switch (e->button()) {
    case Qt::LeftButton:
        if (m_fullScreen) {
            leaveFullScreen();
        } else if (m_fillScreen) {
            leaveFillScreen();
        } else {
            m_dragging = true;
            m_dragOffset = e->globalPosition().toPoint() - frameGeometry().topLeft();
        }
        break;
    case Qt::MiddleButton:
        if (!m_prefs.isOn(Key::MiddleDouble)) {
            if (!m_fullScreen)
                m_controls.value(1105)->setFocus();
            execute(Command::PlayPause);
        }
        break;
    case Qt::RightButton:
        if (!m_windowedView)
            transport().stopHere();
        break;
    default:
        break;
    }
    e->accept();
}

void ControlWindow::mouseMoveEvent(QMouseEvent *e)
{
    if (m_dragging && (e->buttons() & Qt::LeftButton)) {
        move(e->globalPosition().toPoint() - m_dragOffset);
        e->accept();
        return;
    }
    QDialog::mouseMoveEvent(e);
}

void ControlWindow::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        m_dragging = false;
    if (e->button() == Qt::RightButton && m_windowedView) {
        showContextMenu(e->globalPosition().toPoint());
        e->accept();
        return;
    }
    QDialog::mouseReleaseEvent(e);
}

void ControlWindow::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        if (m_fullScreen || m_fillScreen)
            leaveScreenModes();
        else
            enterFullScreen();
    } else if (e->button() == Qt::MiddleButton && m_prefs.isOn(Key::MiddleDouble)) {
        if (!m_fullScreen)
            m_controls.value(1105)->setFocus();
        execute(Command::PlayPause);
    }
    e->accept();
}

void ControlWindow::wheelEvent(QWheelEvent *e)
{
    m_controls.value(1105)->setFocus();
    transport().jog(e->angleDelta().y());
    notifyDesktop();
    e->accept();
}

void ControlWindow::showContextMenu(const QPoint &globalPos)
{
    m_menu->popup(globalPos);
}

void ControlWindow::dragEnterEvent(QDragEnterEvent *e)
{
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void ControlWindow::dropEvent(QDropEvent *e)
{
    e->acceptProposedAction();
    const QStringList files = localFiles(e->mimeData());
    QTimer::singleShot(0, this, [this, files] { dropFiles(files, false); });
}

void ControlWindow::dropFiles(const QStringList &paths, bool onDropButton)
{
    if (paths.isEmpty())
        return;
    if (onDropButton)
        m_playList->addDroppedFiles(paths);
    else
        m_playList->dropOnWindow(paths);
    notifyDesktop();
}
