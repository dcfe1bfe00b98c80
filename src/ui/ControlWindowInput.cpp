// What the user does on the control window and on the picture: keys, mouse, wheel, drops.
// Each becomes an action for execute().
#include "ControlSet.h"
#include "ControlWindow.h"
#include "ScreenModes.h"
#include "VideoWindow.h"
#include "playback/MediaGraph.h"
#include "playback/Transport.h"
#include "playlist/PlayList.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>

void ControlWindow::connectVideoWindow(VideoWindow *v)
{
    v->installEventFilter(this);
    connect(v, &VideoWindow::leftDoubleClicked, this, [this] {
        if (m_screenModes->windowed())
            execute({Command::FullScreen});
        else
            execute({Command::LeaveScreenModes});
    });
    connect(v, &VideoWindow::middlePressed, this, [this] { middleClick(false); });
    connect(v, &VideoWindow::middleDoubleClicked, this, [this] { middleClick(true); });
    connect(v, &VideoWindow::wheelTurned, this, [this](int delta) { execute({Command::Jog, double(delta)}); });
    connect(v, &VideoWindow::escapePressed, this, [this] {
        if (m_screenModes->windowed())
            execute({Command::SetScale, 100});
        else
            execute({Command::EscapeKey});
    });
}

void ControlWindow::keyPressEvent(QKeyEvent *e)
{
    Action a = Commands::forKey(e->key(), e->modifiers());
    if (a.command == Command::None)
        a = Commands::forMediaKey(e->key());
    if (a.command == Command::None) {
        e->ignore();
        return;
    }
    execute(a);
    e->accept();
}

bool ControlWindow::eventFilter(QObject *watched, QEvent *e)
{
    if (watched != videoWindow())
        return QDialog::eventFilter(watched, e);
    switch (e->type()) {
    case QEvent::KeyPress:
        // Esc over the picture is the video window's own; every other key is ours.
        if (static_cast<QKeyEvent *>(e)->key() != Qt::Key_Escape) {
            keyPressEvent(static_cast<QKeyEvent *>(e));
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        // In full and fill screen the picture's mouse belongs to the control window.
        if (!m_screenModes->windowed()) {
            auto *m = static_cast<QMouseEvent *>(e);
            if (e->type() == QEvent::MouseButtonPress)
                mousePressEvent(m);
            else if (e->type() == QEvent::MouseButtonDblClick)
                mouseDoubleClickEvent(m);
            else
                mouseReleaseEvent(m);
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
        if (!m_screenModes->windowed()) {
            execute({Command::LeaveScreenModes});
        } else {
            m_dragging = true;
            m_dragOffset = e->globalPosition().toPoint() - frameGeometry().topLeft();
        }
        break;
    case Qt::MiddleButton:
        middleClick(false);
        break;
    case Qt::RightButton:
        if (!m_screenModes->windowed())
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
    if (e->button() == Qt::RightButton && m_screenModes->windowed()) {
        showContextMenu(e->globalPosition().toPoint());
        e->accept();
        return;
    }
    QDialog::mouseReleaseEvent(e);
}

void ControlWindow::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        execute({m_screenModes->windowed() ? Command::FullScreen : Command::LeaveScreenModes});
    else if (e->button() == Qt::MiddleButton)
        middleClick(true);
    e->accept();
}

void ControlWindow::wheelEvent(QWheelEvent *e)
{
    execute({Command::Jog, double(e->angleDelta().y())});
    e->accept();
}

void ControlWindow::dragEnterEvent(QDragEnterEvent *e)
{
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void ControlWindow::dropEvent(QDropEvent *e)
{
    e->acceptProposedAction();
    const QStringList files = droppedFiles(e->mimeData());
    QTimer::singleShot(0, this, [this, files] { dropFiles(files, false); });
}

void ControlWindow::dropFiles(const QStringList &paths, bool onDropButton)
{
    if (paths.isEmpty())
        return;
    if (m_graph->opening()) {
        afterOpen([this, paths, onDropButton] { dropFiles(paths, onDropButton); });
        return;
    }
    if (onDropButton)
        m_playList->addDroppedFiles(paths);
    else
        m_playList->dropOnWindow(paths);
    notifyDesktop();
}
