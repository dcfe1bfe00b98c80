#include "VideoWindow.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWindow>

namespace {
constexpr int SizingBorder = 4;
}

VideoWindow::VideoWindow(QWidget *owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint), m_owner(owner)
{
    setObjectName(QStringLiteral("VideoWindow"));
    setWindowTitle(QStringLiteral("Kinetrope Video"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(16, 16);
    resize(116, 74); // the dialog template's size; the first open sizes it for the picture
}

void VideoWindow::setRenderer(QWidget *renderer)
{
    m_renderer = renderer;
    if (renderer && renderer->parentWidget() != this)
        renderer->setParent(this);
}

void VideoWindow::placeRenderer(const QRect &rect)
{
    if (m_renderer)
        m_renderer->setGeometry(rect);
}

void VideoWindow::bringPictureForward()
{
    if (isVisible())
        raise();
}

void VideoWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    // A sunken edge around the one-pixel margin of the picture.
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(0, 0, width() - 1, 0);
    p.drawLine(0, 0, 0, height() - 1);
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(1, height() - 1, width() - 1, height() - 1);
    p.drawLine(width() - 1, 1, width() - 1, height() - 1);
}

Qt::Edges VideoWindow::edgesAt(const QPoint &pos) const
{
    Qt::Edges edges;
    if (pos.x() < SizingBorder)
        edges |= Qt::LeftEdge;
    if (pos.x() >= width() - SizingBorder)
        edges |= Qt::RightEdge;
    if (pos.y() < SizingBorder)
        edges |= Qt::TopEdge;
    if (pos.y() >= height() - SizingBorder)
        edges |= Qt::BottomEdge;
    return edges;
}

void VideoWindow::activateOwner()
{
    if (m_owner)
        m_owner->activateWindow();
}

void VideoWindow::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        // Dragging the picture moves the window, dragging the edge sizes it.
        const Qt::Edges edges = edgesAt(pos);
        QWindow *w = windowHandle();
        const bool done = w && (edges ? w->startSystemResize(edges) : w->startSystemMove());
        if (!done) {
            m_drag = edges ? Drag::Size : Drag::Move;
            m_dragEdges = edges;
            m_dragStart = event->globalPosition().toPoint();
            m_startGeometry = geometry();
        }
        return;
    }
    if (event->button() == Qt::MiddleButton) {
        Q_EMIT middlePressed(pos);
        activateOwner();
    }
}

void VideoWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (m_drag == Drag::None) {
        const Qt::Edges e = edgesAt(event->position().toPoint());
        if ((e & (Qt::LeftEdge | Qt::RightEdge)) && (e & (Qt::TopEdge | Qt::BottomEdge)))
            setCursor(((e & Qt::LeftEdge) != 0) == ((e & Qt::TopEdge) != 0) ? Qt::SizeFDiagCursor
                                                                            : Qt::SizeBDiagCursor);
        else if (e & (Qt::LeftEdge | Qt::RightEdge))
            setCursor(Qt::SizeHorCursor);
        else if (e)
            setCursor(Qt::SizeVerCursor);
        else
            unsetCursor();
        return;
    }
    const QPoint delta = event->globalPosition().toPoint() - m_dragStart;
    if (m_drag == Drag::Move) {
        move(m_startGeometry.topLeft() + delta);
        return;
    }
    QRect g = m_startGeometry;
    if (m_dragEdges & Qt::LeftEdge)
        g.setLeft(std::min(g.left() + delta.x(), g.right() - minimumWidth()));
    if (m_dragEdges & Qt::RightEdge)
        g.setRight(g.right() + delta.x());
    if (m_dragEdges & Qt::TopEdge)
        g.setTop(std::min(g.top() + delta.y(), g.bottom() - minimumHeight()));
    if (m_dragEdges & Qt::BottomEdge)
        g.setBottom(g.bottom() + delta.y());
    setGeometry(g);
}

void VideoWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_drag = Drag::None;
    Q_EMIT leftButtonReleased(event->position().toPoint());
    activateOwner();
}

void VideoWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        Q_EMIT leftDoubleClicked(pos);
        activateOwner();
    } else if (event->button() == Qt::MiddleButton) {
        Q_EMIT middleDoubleClicked(pos);
        activateOwner();
    }
}

void VideoWindow::wheelEvent(QWheelEvent *event)
{
    Q_EMIT wheelTurned(event->angleDelta().y(), event->modifiers(), event->globalPosition().toPoint());
    activateOwner();
}

void VideoWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT escapePressed(QCursor::pos());
        activateOwner();
    }
    QWidget::keyPressEvent(event); // the key goes on as usual
}

void VideoWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_notifyResize) {
        Q_EMIT resized(size());
        activateOwner();
    }
}

void VideoWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    Q_EMIT moved(pos());
    activateOwner();
}
