#include "DigitalDisplay.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace Segments;

namespace {
// Room round a cell image for the outline's pen and its antialiased edge.
constexpr int Margin = 2;
constexpr qsizetype MaxCellImages = 512;
} // namespace

DigitalDisplay::DigitalDisplay(QWidget *parent) : QWidget(parent)
{
    // Every pixel comes from the cached picture: no background erase, so no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

DigitalDisplay::~DigitalDisplay() = default;

bool DigitalDisplay::setText(const QString &text)
{
    // Compared with the text as the caller gave it, so that a caller setting the same
    // lower-case text every tick costs nothing either.
    if (text == m_text)
        return false;
    m_text = text;
    m_rebuildNeeded = true;
    invalidatePicture();
    return true;
}

QString DigitalDisplay::shownText() const
{
    if (m_rebuildNeeded)
        rebuildCells();
    return m_shown;
}

void DigitalDisplay::setColours(ColourRef off, ColourRef on)
{
    if (off == m_off && on == m_on)
        return;
    m_off = off;
    m_on = on;
    dropCellImages();
    invalidatePicture();
}

ColourRef DigitalDisplay::setBackColour(ColourRef colour)
{
    const ColourRef previous = m_back;
    if (colour != m_back) {
        m_back = colour;
        dropCellImages();
        invalidatePicture();
    }
    return previous;
}

bool DigitalDisplay::modifyStyle(int remove, int add)
{
    if (remove & add)
        return false;
    const int style = (m_style | add) & ~remove;
    if (style != m_style) {
        m_style = style;
        m_rebuildNeeded = true;
        dropCellImages();
        invalidatePicture();
    }
    return true;
}

const std::vector<Cell> &DigitalDisplay::cells() const
{
    if (m_rebuildNeeded)
        rebuildCells();
    return m_cells;
}

int DigitalDisplay::designWidth() const
{
    if (m_rebuildNeeded)
        rebuildCells();
    return m_designWidth;
}

QSize DigitalDisplay::sizeHint() const
{
    // Cells at a quarter of their design size.
    const int width = std::max(designWidth(), WideCellWidth);
    return QSize((width + 3) / 4, (CellHeight + 3) / 4);
}

void DigitalDisplay::rebuildCells() const
{
    m_cells.clear();
    m_shown = (m_text == QLatin1String("?") ? windowTitle() : m_text).toUpper();
    const bool smooth = m_style & SmoothSegments;
    const bool fourteen = m_style & FourteenSegmentDigits;
    m_designWidth = 0;
    for (char32_t ch : m_shown.toUcs4()) {
        m_cells.push_back(cellFor(ch, smooth, fourteen));
        m_designWidth += m_cells.back().designWidth;
    }
    m_rebuildNeeded = false;
}

QSize DigitalDisplay::deviceSize() const
{
    const qreal dpr = devicePixelRatioF();
    return QSize(qRound(width() * dpr), qRound(height() * dpr));
}

void DigitalDisplay::invalidatePicture()
{
    m_pictureValid = false;
    update();
}

void DigitalDisplay::dropCellImages()
{
    m_cellImages.clear();
}

void DigitalDisplay::layoutSegments(QSize device)
{
    m_places.clear();
    m_segmentsSize = device;
    ++m_layoutCount;
    const int total = m_designWidth;
    if (total == 0 || device.isEmpty())
        return;
    double sx = double(device.width()) / total;
    double sy = double(device.height()) / CellHeight;
    double left = 0, top = 0;
    if (m_style & KeepProportions) {
        sx = sy = std::min(sx, sy);
        left = (device.width() - total * sx) / 2;
        top = (device.height() - CellHeight * sy) / 2;
    }
    if (device.height() != m_imageHeight) {
        dropCellImages();
        m_imageHeight = device.height();
    }
    m_places.reserve(m_cells.size());
    double x = left;
    for (size_t i = 0; i < m_cells.size(); ++i) {
        const Cell &cell = m_cells[i];
        m_places.push_back({i, {x, top, cell.designWidth * sx, CellHeight * sy, cell.designWidth}});
        x += cell.designWidth * sx;
    }
}

QImage DigitalDisplay::cellImage(const Cell &cell, const Placement &place, int height)
{
    // Points round half up from the cell's left edge, so a whole-pixel shift moves every
    // point by exactly that: a cell drawn at its fraction of a pixel matches it drawn in place.
    Placement local = place;
    local.left = place.left - std::floor(place.left);
    QImage image(int(std::ceil(local.left + place.width)) + 2 * Margin + 1, height,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Segment corners sit on pixel centres, so a one-pixel outline covers whole pixels.
    p.translate(Margin + 0.5, 0.5);
    const QPen pens[2] = {QPen(edgeColour(m_off, m_back), 1), QPen(edgeColour(m_on, m_back), 1)};
    const QBrush brushes[2] = {QBrush(colourFromRef(m_off)), QBrush(colourFromRef(m_on))};
    for (int i = 0; i < cell.segmentCount; ++i) {
        p.setPen(pens[cell.lit(i)]);
        p.setBrush(brushes[cell.lit(i)]);
        p.drawPath(outlinePath((*cell.outlines)[static_cast<size_t>(i)], local, m_curves));
    }
    return image;
}

void DigitalDisplay::renderPicture(QSize device)
{
    if (m_rebuildNeeded) {
        rebuildCells();
        m_segmentsSize = QSize();
    }
    if (m_segmentsSize != device)
        layoutSegments(device);
    if (m_picture.size() != device)
        m_picture = QImage(device, QImage::Format_RGB32);
    m_picture.setDevicePixelRatio(1);
    m_picture.fill(colourFromRef(m_back));
    if (m_cellImages.size() > MaxCellImages)
        dropCellImages();
    QPainter p(&m_picture);
    for (const CellPlace &c : m_places) {
        const Cell &cell = m_cells[c.cell];
        const double whole = std::floor(c.place.left);
        const auto q = [](double v) { return int(std::lround(v * 1024)); };
        const CellKey key{cell.outlines,  cell.mask, cell.designWidth,         q(c.place.left - whole),
                          q(c.place.width), q(c.place.height), q(c.place.top)};
        auto it = m_cellImages.constFind(key);
        if (it == m_cellImages.constEnd())
            it = m_cellImages.insert(key, cellImage(cell, c.place, device.height()));
        p.drawImage(int(whole) - Margin, 0, *it);
    }
    p.end();
    m_picture.setDevicePixelRatio(devicePixelRatioF());
    m_pictureValid = true;
}

void DigitalDisplay::paintEvent(QPaintEvent *event)
{
    const QSize device = deviceSize();
    if (!m_pictureValid || m_picture.size() != device)
        renderPicture(device);
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    const QRect r = event->rect();
    const qreal dpr = m_picture.devicePixelRatio();
    p.drawImage(r, m_picture,
                QRectF(r.x() * dpr, r.y() * dpr, r.width() * dpr, r.height() * dpr));
}

void DigitalDisplay::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_pictureValid = false;
}

void DigitalDisplay::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange && m_text == QLatin1String("?")) {
        m_rebuildNeeded = true;
        invalidatePicture();
    }
}
