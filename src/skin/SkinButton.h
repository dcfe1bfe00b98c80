#pragma once

#include <QAbstractButton>
#include <QPixmap>
#include <QTimer>

// A flat button drawn as a pair of images over whatever lies behind it: the lit image while
// the pointer is over it or it is pressed, the rest image otherwise (the lit one when there is
// no rest image). Pure key green in an image shows the window behind. It may carry a caption,
// act as a two-state toggle, repeat while held, and take dropped files.
class SkinButton : public QAbstractButton
{
    Q_OBJECT
public:
    static constexpr QRgb KeyColour = 0xFF00FF00;
    // An image as a skin draws it: opaque, its key-coloured pixels clear.
    static QPixmap keyed(const QImage &image);

    explicit SkinButton(QWidget *parent = nullptr);
    ~SkinButton() override;

    // A toggle flips its checked state on every click and is drawn pressed while checked.
    void setToggleMode(bool on);
    bool toggleMode() const { return m_toggle; }

    // 0 on success, and with a null lit image (the button then shows no image). Images are
    // taken as opaque RGB (a file's alpha means nothing here); the key mask is made once here.
    // An image of any size is centred, a larger one clipped on both sides.
    int setImages(const QImage &lit, const QImage &rest);
    bool hasImage() const { return !m_images[0].isNull(); }
    // The images as prepared, key pixels clear (tests).
    QPixmap image(int slot) const { return m_images[slot]; }

    // Paint no background of its own: the window behind shows through the key pixels.
    void makeTransparent(bool repaint);
    bool drawsTransparent() const { return m_transparent; }
    void setHoverBorder(bool on) { m_hoverBorder = on; update(); }
    bool hoverBorder() const { return m_hoverBorder; }
    // While held with the left button, repeatStep() comes at the press and then every period.
    void setAutoRepeatPeriod(int ms);
    int autoRepeatPeriod() const { return m_repeatMs; }
    void setDropTarget(bool on);

    bool isMouseOver() const { return m_mouseOver; }
    // The slot the next paint draws: 0 lit, 1 rest, -1 none.
    int shownSlot() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void repeatStep();
    void filesDropped(const QStringList &paths);

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool pressedLook() const;
    void setMouseOver(bool on);

    QPixmap m_images[2];
    bool m_toggle = false;
    bool m_transparent = false;
    bool m_hoverBorder = true;
    bool m_mouseOver = false;
    int m_repeatMs = 0;
    QTimer m_repeat;
};
