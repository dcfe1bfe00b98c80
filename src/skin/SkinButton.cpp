#include "SkinButton.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

// Made once per image, never per paint.
QPixmap SkinButton::keyed(const QImage &source)
{
    QImage rgb = source.convertToFormat(QImage::Format_RGB32);
    QImage out(rgb.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb px = in[x] | 0xFF000000; // whatever a file says of alpha, it is opaque here
            line[x] = px == SkinButton::KeyColour ? 0 : px;
        }
    }
    out.setDevicePixelRatio(source.devicePixelRatio());
    return QPixmap::fromImage(std::move(out));
}

SkinButton::SkinButton(QWidget *parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    connect(&m_repeat, &QTimer::timeout, this, [this] {
        if (isDown())
            Q_EMIT repeatStep();
        else
            m_repeat.stop();
    });
}

SkinButton::~SkinButton() = default;

void SkinButton::setToggleMode(bool on)
{
    m_toggle = on;
    setCheckable(on);
}

int SkinButton::setImages(const QImage &lit, const QImage &rest)
{
    m_images[0] = QPixmap();
    m_images[1] = QPixmap();
    if (lit.isNull()) {
        update();
        return 0;
    }
    for (int slot = 0; slot < 2; ++slot) {
        const QImage &source = slot == 0 ? lit : rest;
        if (source.isNull())
            continue;
        m_images[slot] = keyed(source);
        if (m_images[slot].isNull()) {
            m_images[0] = m_images[1] = QPixmap();
            update();
            return 2;
        }
    }
    repaint();
    return 0;
}

void SkinButton::makeTransparent(bool repaint)
{
    m_transparent = true;
    if (repaint)
        update();
}

void SkinButton::setAutoRepeatPeriod(int ms)
{
    m_repeatMs = ms;
    m_repeat.setInterval(ms);
}

void SkinButton::setDropTarget(bool on)
{
    setAcceptDrops(on);
}

bool SkinButton::pressedLook() const
{
    return m_toggle ? (isDown() || isChecked()) : isDown();
}

int SkinButton::shownSlot() const
{
    if (m_images[0].isNull())
        return -1;
    const bool rest = (m_toggle || !m_mouseOver) && !pressedLook() && !m_images[1].isNull();
    return rest ? 1 : 0;
}

QSize SkinButton::sizeHint() const
{
    if (!m_images[0].isNull())
        return m_images[0].deviceIndependentSize().toSize() + QSize(2, 2);
    return fontMetrics().size(Qt::TextShowMnemonic, text()) + QSize(8, 4);
}

void SkinButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    const bool pressed = pressedLook();
    const QPalette &pal = palette();
    if (!m_transparent)
        p.fillRect(r, pal.color(QPalette::Button));
    // The one-pixel edge: sunken while pressed, raised while the pointer is over it.
    if (m_hoverBorder && (pressed || m_mouseOver)) {
        const QColor topLeft = pal.color(pressed ? QPalette::Dark : QPalette::Light);
        const QColor bottomRight = pal.color(pressed ? QPalette::Light : QPalette::Dark);
        p.setPen(topLeft);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(bottomRight);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
    }
    const QPoint shift = pressed && !m_toggle ? QPoint(1, 1) : QPoint();
    if (const int slot = shownSlot(); slot >= 0) {
        const QPixmap &img = m_images[slot];
        const QSize size = img.deviceIndependentSize().toSize();
        // Halving a signed difference: a larger image is centred and clipped on both sides.
        const QPoint at((r.width() - size.width()) / 2, (r.height() - size.height()) / 2);
        p.drawPixmap(at + shift, img);
    }
    if (!text().isEmpty()) {
        const int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
        const QRect box = r.translated(shift);
        if (!isEnabled()) {
            p.setPen(pal.color(QPalette::Light));
            p.drawText(box.translated(1, 1), flags, text());
            p.setPen(pal.color(QPalette::Dark));
        } else {
            p.setPen(pal.color(QPalette::ButtonText));
        }
        p.drawText(box, flags, text());
    }
}

void SkinButton::setMouseOver(bool on)
{
    if (m_mouseOver == on)
        return;
    m_mouseOver = on;
    update();
}

void SkinButton::enterEvent(QEnterEvent *event)
{
    QAbstractButton::enterEvent(event);
    // Coming in with the left button already down (a drag from elsewhere) does not light it.
    if (QApplication::mouseButtons() & Qt::LeftButton)
        return;
    setMouseOver(true);
}

void SkinButton::leaveEvent(QEvent *event)
{
    QAbstractButton::leaveEvent(event);
    setMouseOver(false);
}

void SkinButton::focusOutEvent(QFocusEvent *event)
{
    QAbstractButton::focusOutEvent(event);
    setMouseOver(false);
}

void SkinButton::mousePressEvent(QMouseEvent *event)
{
    QAbstractButton::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && m_repeatMs > 0 && isDown()) {
        Q_EMIT repeatStep();
        m_repeat.start();
    }
}

void SkinButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_repeat.stop();
    QAbstractButton::mouseReleaseEvent(event);
}

void SkinButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second click of a double click is a click of its own.
    mousePressEvent(event);
}

void SkinButton::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void SkinButton::dropEvent(QDropEvent *event)
{
    QStringList files;
    for (const QUrl &u : event->mimeData()->urls()) {
        if (u.isLocalFile())
            files << u.toLocalFile();
    }
    event->acceptProposedAction();
    if (!files.isEmpty())
        Q_EMIT filesDropped(files);
}

void SkinButton::changeEvent(QEvent *event)
{
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::EnabledChange)
        update();
}
