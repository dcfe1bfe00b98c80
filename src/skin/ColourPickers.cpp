#include "ColourPickers.h"

#include "ColourImages.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionGroupBox>

#include <algorithm>

using namespace ColourMath;

namespace {

// From the box's rectangle: 5 in on every side, then the cube 3 left and 10 down, the
// wheel 10 right and 20 down.
constexpr QPoint CubeAt(5 - 3, 5 + 10);
constexpr QPoint WheelAt(5 + 10, 5 + 20);
constexpr int BarGap = 20, BarWidth = 20;
constexpr int BarHeight = ColourImages::WheelSize.height();
// A wheel marker reaches 5 past the rim, the bar's 2 past its sides and 4 past its ends.
constexpr int Reach = 6;

constexpr QSize CubeBox(194, 238);
constexpr QSize WheelBox(266, 238);

QRect square(QPoint centre)
{
    return {centre - QPoint(5, 5), QSize(10, 10)};
}

// The wheel picker's canvas, in the box's coordinates.
constexpr QRect WheelCanvas(WheelAt.x() - Reach, WheelAt.y() - Reach,
                            ColourImages::WheelSize.width() + BarGap + BarWidth + 2 * Reach,
                            ColourImages::WheelSize.height() + 2 * Reach);
constexpr QPoint WheelCentre = WheelAt + QPoint(WheelRadius, WheelRadius);
constexpr QRect Bar(WheelAt.x() + ColourImages::WheelSize.width() + BarGap, WheelAt.y(), BarWidth, BarHeight);

} // namespace

PictureBox::PictureBox(const QString &title, QSize room, QWidget *parent) : QGroupBox(title, parent)
{
    QStyleOptionGroupBox opt;
    initStyleOption(&opt);
    opt.rect = QRect(QPoint(), room);
    const QRect inside = style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxContents, this);
    // The geometry was drawn for a 2-pixel frame with its contents 14 below the box's top.
    m_base = QPoint(std::max(0, inside.left() - 2), std::max(0, inside.top() - 14));
    setFixedSize(room + QSize(2 * m_base.x(), m_base.y()));
}

QColor PictureBox::surround() const
{
    return palette().color(QPalette::Button);
}

void PictureBox::paintInside(QPainter &p)
{
    QStyleOptionGroupBox opt;
    initStyleOption(&opt);
    // A style may tint a box's inside; the pictures' surround would show as a patch on it.
    p.fillRect(style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxContents, this), surround());
    p.translate(m_base);
}

QPoint PictureBox::pointer(const QMouseEvent *event) const
{
    return event->position().toPoint() - m_base;
}

void PictureBox::changeEvent(QEvent *event)
{
    QGroupBox::changeEvent(event);
    // The next paint draws the pictures again in the new button colour.
    if (event->type() == QEvent::PaletteChange)
        update();
}

CubePicker::CubePicker(QWidget *parent) : PictureBox(QStringLiteral("RGB"), CubeBox, parent), m_axes(cubeAxes())
{
}

ColourMath::CubeAxes CubePicker::axes() const
{
    return cubeAxes(CubeAt + base());
}

QRect CubePicker::imageRect() const
{
    return {CubeAt + base(), ColourImages::CubeSize};
}

QPoint CubePicker::squareCentre(Channel c) const
{
    const int values[3] = {m_rgb.red, m_rgb.green, m_rgb.blue};
    return axisPoint(m_axes, c, values[c]) + CubeAt + base();
}

bool CubePicker::canvasCurrent() const
{
    return !m_canvas.isNull() && m_surround == surround();
}

void CubePicker::buildCanvas()
{
    m_surround = surround();
    m_canvas = ColourImages::cube();
    ColourImages::replaceSurround(m_canvas, m_surround);
    ++m_builds;
    invertMarkers(m_rgb);
}

void CubePicker::setRgb(Rgb c)
{
    if (c == m_rgb)
        return;
    if (!m_canvas.isNull())
        invertMarkers(m_rgb);
    m_rgb = c;
    if (!m_canvas.isNull())
        invertMarkers(m_rgb);
    update(imageRect());
}

void CubePicker::invertMarkers(Rgb c)
{
    const QPoint r = axisPoint(m_axes, Red, c.red);
    const QPoint g = axisPoint(m_axes, Green, c.green);
    const QPoint b = axisPoint(m_axes, Blue, c.blue);
    for (const QPoint p : {r, g, b})
        ColourImages::xorFrame(m_canvas, square(p));
    // The box's three edges from the origin lie on the axes.
    const BoxCorners k = boxCorners(m_axes, r, g, b);
    const QPoint edges[9][2] = {{r, k.rg}, {k.rg, g},     {g, k.gb}, {k.gb, k.rgb}, {k.rgb, k.rg},
                                {k.rgb, k.rb}, {k.rb, b}, {b, k.gb}, {r, k.rb}};
    for (const auto &e : edges)
        ColourImages::xorLine(m_canvas, e[0], e[1]);
}

void CubePicker::paintEvent(QPaintEvent *event)
{
    QGroupBox::paintEvent(event);
    if (!canvasCurrent())
        buildCanvas();
    QPainter p(this);
    paintInside(p);
    p.drawImage(CubeAt, m_canvas);
}

void CubePicker::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    for (Channel c : {Red, Green, Blue}) {
        if (square(squareCentre(c)).contains(event->position().toPoint())) {
            m_drag = c;
            return;
        }
    }
}

void CubePicker::mouseMoveEvent(QMouseEvent *event)
{
    if (m_drag < 0)
        return;
    const auto c = static_cast<Channel>(m_drag);
    Q_EMIT channelDragged(c, dragValue(m_axes, c, pointer(event) - CubeAt));
}

void CubePicker::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_drag = -1;
}

WheelPicker::WheelPicker(QWidget *parent) : PictureBox(QStringLiteral("HSB"), WheelBox, parent)
{
}

QPoint WheelPicker::centre() const
{
    return WheelCentre + base();
}

QRect WheelPicker::imageRect() const
{
    return {WheelAt + base(), ColourImages::WheelSize};
}

QRect WheelPicker::barRect() const
{
    return Bar.translated(base());
}

bool WheelPicker::canvasCurrent() const
{
    return !m_canvas.isNull() && m_surround == surround();
}

void WheelPicker::buildCanvas()
{
    m_surround = surround();
    m_canvas = QImage(WheelCanvas.size(), QImage::Format_RGB32);
    m_canvas.fill(m_surround);
    QImage wheel = ColourImages::wheel();
    ColourImages::replaceSurround(wheel, m_surround);
    QPainter(&m_canvas).drawImage(WheelAt - WheelCanvas.topLeft(), wheel);
    // Each row keeps the brightness a press on it picks; only the colours follow the hue.
    m_barLevels.resize(BarHeight);
    for (int k = 0; k < BarHeight; ++k)
        m_barLevels[k] = barBrightness(Bar.top(), BarHeight, Bar.top() + k);
    ++m_builds;
    fillBar(m_hsb);
    invertMarkers(m_hsb);
}

void WheelPicker::fillBar(Hsb c)
{
    const QRect bar = Bar.translated(-WheelCanvas.topLeft());
    for (int k = 0; k < BarHeight; ++k) {
        const Rgb rgb = toRgb({c.hue, c.saturation, m_barLevels[k]});
        auto *line = reinterpret_cast<QRgb *>(m_canvas.scanLine(bar.top() + k)) + bar.left();
        std::fill(line, line + bar.width(), qRgb(rgb.red, rgb.green, rgb.blue));
    }
    ++m_barFills;
}

void WheelPicker::invertMarkers(Hsb c)
{
    const QPoint shift = -WheelCanvas.topLeft();
    ColourImages::xorFrame(m_canvas, square(wheelPoint(WheelCentre, c.hue, c.saturation) + shift));
    const int row = barMarkerRow(Bar.top(), BarHeight, c.brightness);
    const QRect marker(Bar.left() - 2, row - 4, Bar.width() + 4, 8);
    ColourImages::xorFrame(m_canvas, marker.translated(shift), 2);
}

void WheelPicker::setHsb(Hsb c)
{
    if (c == m_hsb)
        return;
    if (!m_canvas.isNull()) {
        invertMarkers(m_hsb);
        if (c.hue != m_hsb.hue || c.saturation != m_hsb.saturation)
            fillBar(c);
        invertMarkers(c);
    }
    m_hsb = c;
    update(WheelCanvas.translated(base()));
}

void WheelPicker::paintEvent(QPaintEvent *event)
{
    QGroupBox::paintEvent(event);
    if (!canvasCurrent())
        buildCanvas();
    QPainter p(this);
    paintInside(p);
    p.drawImage(WheelCanvas.topLeft(), m_canvas);
}

void WheelPicker::pick(QPoint p)
{
    if (m_drag == Drag::Wheel) {
        const Hsb c = wheelPick(WheelCentre, p);
        Q_EMIT hueSaturationPicked(c.hue, c.saturation);
    } else if (m_drag == Drag::Bar) {
        Q_EMIT brightnessPicked(barBrightness(Bar.top(), BarHeight, p.y()));
    }
}

void WheelPicker::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = pointer(event);
    if (onWheel(WheelCentre, p))
        m_drag = Drag::Wheel;
    else if (Bar.contains(p))
        m_drag = Drag::Bar;
    pick(p);
}

void WheelPicker::mouseMoveEvent(QMouseEvent *event)
{
    pick(pointer(event));
}

void WheelPicker::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_drag = Drag::None;
}

ColourSwatch::ColourSwatch(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ColourSwatch::setColour(QColor c)
{
    if (c == m_colour)
        return;
    m_colour = c;
    update();
}

void ColourSwatch::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    p.fillRect(r, m_colour);
    p.setPen(Qt::black);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    const QRect in = r.adjusted(1, 1, -1, -1);
    p.setPen(QColor(0xC0, 0xC0, 0xC0));
    p.drawLine(in.topLeft(), in.topRight());
    p.drawLine(in.topLeft(), in.bottomLeft());
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(in.bottomLeft(), in.bottomRight());
    p.drawLine(in.topRight(), in.bottomRight());
}
