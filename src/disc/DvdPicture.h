#pragma once
// The DVD picture: shows the navigator's frames and reports the pointer in video pixels.
// Inside the player dialog it fills its place; on its own, full screen, it keeps the
// picture's shape.
#include <QImage>
#include <QPointF>
#include <QWidget>

class DvdPicture : public QWidget
{
    Q_OBJECT
public:
    explicit DvdPicture(QWidget *parent = nullptr);

    void setFrame(const QImage &frame, double displayAspect);
    void clear();
    const QImage &frame() const { return m_frame; }
    // Where the frame is drawn, in this widget.
    QRectF pictureRect() const;
    // A point of this widget in video pixels; outside the picture, the nearest edge.
    QPointF toVideo(QPointF widgetPoint) const;

Q_SIGNALS:
    void pointerMoved(QPointF video, QPoint global, Qt::MouseButtons buttons);
    void pressed(QPointF video, QPoint global, Qt::MouseButton button);
    void released();
    void keyPressed(int key);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    QImage m_frame;
    double m_aspect = 4.0 / 3.0;
};
