#pragma once

#include "playback/PictureHost.h"

#include <QPointer>
#include <QWidget>

// The borderless, sizable window the picture plays in. It has no behaviour of its own:
// what the user does on it is passed on as signals (connect them queued to post them),
// except that dragging the picture moves the window and dragging its edge sizes it.
class VideoWindow : public QWidget, public PictureHost
{
    Q_OBJECT
public:
    // owner: the control window; the video window stays a top-level window of its own.
    explicit VideoWindow(QWidget *owner = nullptr);

    // The picture widget, a child of this window (put there by the media graph).
    void setRenderer(QWidget *renderer);
    QWidget *renderer() const { return m_renderer; }
    // Places the picture inside the window; (1,1) and the picture size as a rule.
    void placeRenderer(const QRect &rect);

    // PictureHost
    QWidget *pictureParent() override { return this; }
    void setPicture(QWidget *picture) override { setRenderer(picture); }
    QPoint windowPosition() const override { return pos(); }
    void bringPictureForward() override;

    // While on (from construction), a resize is reported with resized().
    bool resizeNotification() const { return m_notifyResize; }
    void setResizeNotification(bool on) { m_notifyResize = on; }

Q_SIGNALS:
    void leftButtonReleased(const QPoint &pos);
    void leftDoubleClicked(const QPoint &pos);
    void middlePressed(const QPoint &pos);
    void middleDoubleClicked(const QPoint &pos);
    // delta in eighths of a degree (120 per notch)
    void wheelTurned(int delta, Qt::KeyboardModifiers modifiers, const QPoint &globalPos);
    void resized(const QSize &clientSize);
    void moved(const QPoint &topLeft);
    void escapePressed(const QPoint &globalCursorPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    Qt::Edges edgesAt(const QPoint &pos) const;
    void activateOwner();

    QPointer<QWidget> m_renderer;
    QWidget *m_owner;
    bool m_notifyResize = true;
    // Fallback drag and size when the window manager does not do it for us.
    enum class Drag { None, Move, Size } m_drag = Drag::None;
    Qt::Edges m_dragEdges;
    QPoint m_dragStart;
    QRect m_startGeometry;
};
