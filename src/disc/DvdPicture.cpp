#include "disc/DvdPicture.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

DvdPicture::DvdPicture(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("DvdPicture"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void DvdPicture::setFrame(const QImage &frame, double displayAspect)
{
    m_frame = frame;
    if (displayAspect > 0)
        m_aspect = displayAspect;
    update();
}

void DvdPicture::clear()
{
    m_frame = QImage();
    update();
}

QRectF DvdPicture::pictureRect() const
{
    const QRectF all(rect());
    if (!isWindow() || m_aspect <= 0 || all.isEmpty())
        return all;
    // On its own the picture keeps its shape, centred.
    QSizeF s(all.width(), all.width() / m_aspect);
    if (s.height() > all.height())
        s = QSizeF(all.height() * m_aspect, all.height());
    return QRectF(QPointF(all.center().x() - s.width() / 2, all.center().y() - s.height() / 2), s);
}

QPointF DvdPicture::toVideo(QPointF p) const
{
    const QRectF r = pictureRect();
    if (m_frame.isNull() || r.isEmpty())
        return p;
    const double x = std::clamp((p.x() - r.left()) * m_frame.width() / r.width(), 0.0, m_frame.width() - 1.0);
    const double y = std::clamp((p.y() - r.top()) * m_frame.height() / r.height(), 0.0, m_frame.height() - 1.0);
    return {x, y};
}

void DvdPicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRectF r = pictureRect();
    if (m_frame.isNull() || r != QRectF(rect()))
        p.fillRect(rect(), Qt::black);
    if (!m_frame.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(r, m_frame);
    }
}

void DvdPicture::mouseMoveEvent(QMouseEvent *e)
{
    Q_EMIT pointerMoved(toVideo(e->position()), e->globalPosition().toPoint(), e->buttons());
}

void DvdPicture::mousePressEvent(QMouseEvent *e)
{
    Q_EMIT pressed(toVideo(e->position()), e->globalPosition().toPoint(), e->button());
}

void DvdPicture::mouseReleaseEvent(QMouseEvent *)
{
    Q_EMIT released();
}

void DvdPicture::keyPressEvent(QKeyEvent *e)
{
    // Full screen the picture has the keyboard; the dialog decides what each key does.
    Q_EMIT keyPressed(e->key());
}
