#include "SkinSlider.h"

#include <QPainter>
#include <QStyleOptionSlider>

SkinSlider::SkinSlider(QWidget *parent) : QSlider(Qt::Horizontal, parent)
{
    setAutoFillBackground(false);
    setAttribute(Qt::WA_NoSystemBackground, false);
}

void SkinSlider::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this);
    const int interval = tickInterval() > 0 ? tickInterval() : pageStep();
    if (tickPosition() != NoTicks && interval > 0 && maximum() > minimum()) {
        // Ticks first and in black, as the channel and the thumb lie over them.
        p.setPen(QColor::fromRgb(TickColour));
        const int span = width() - handle.width();
        const int top = groove.bottom() + 2;
        const int bottom = std::min(height() - 1, top + 3);
        const qint64 count = (qint64(maximum()) - minimum()) / interval;
        // A tick every pixel or closer would paint a bar: thin them to one per two pixels.
        const qint64 step = std::max<qint64>(1, count / std::max(1, span / 2));
        for (qint64 i = 0; i <= count; i += step) {
            const int v = int(minimum() + i * interval);
            const int x = QStyle::sliderPositionFromValue(minimum(), maximum(), v, span, opt.upsideDown)
                          + handle.width() / 2;
            p.drawLine(x, top, x, bottom);
        }
    }
    opt.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    style()->drawComplexControl(QStyle::CC_Slider, &opt, &p, this);
}
