#pragma once

#include "ColourMath.h"

#include <QGroupBox>
#include <QImage>

#include <vector>

// The colour chooser's two graphical pickers. Each is the group box it sits in: its picture
// is placed from the box's own rectangle, and a press anywhere in the box reaches it. The
// picture and its markers live in one image of our own; a marker moves by inverting it at
// the old place and again at the new one, so nothing else is redrawn for a drag, and the
// picture itself is drawn only when the box is first shown or the palette changes.
// Coordinates in the interface are the box's own.

// A picker's box. Its pictures are placed as if its title were as tall as the one their
// geometry was drawn for, its contents 14 below its top: a style with a taller title moves
// them down with its frame. The inside is flat in the pictures' surround colour.
class PictureBox : public QGroupBox
{
    Q_OBJECT
public:
    PictureBox(const QString &title, QSize room, QWidget *parent);

protected:
    // Where the pictures' geometry starts, in the box.
    QPoint base() const { return m_base; }
    QColor surround() const;
    void paintInside(QPainter &p);
    QPoint pointer(const QMouseEvent *event) const;
    void changeEvent(QEvent *event) override;

private:
    QPoint m_base;
};

// The RGB cube: a press on one of the three axis squares drags that channel along its axis.
class CubePicker : public PictureBox
{
    Q_OBJECT
public:
    explicit CubePicker(QWidget *parent = nullptr);

    void setRgb(ColourMath::Rgb c);
    ColourMath::CubeAxes axes() const;
    QRect imageRect() const;
    // The centre of a channel's square.
    QPoint squareCentre(ColourMath::Channel c) const;
    int imageBuilds() const { return m_builds; }

Q_SIGNALS:
    void channelDragged(int channel, int value);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool canvasCurrent() const;
    void buildCanvas();
    void invertMarkers(ColourMath::Rgb c);

    ColourMath::CubeAxes m_axes; // in the image's coordinates, which are the canvas's
    ColourMath::Rgb m_rgb;
    QImage m_canvas;
    QColor m_surround;
    int m_drag = -1;
    int m_builds = 0;
};

// The HSB wheel and its brightness bar. A press within the wheel's radius drags hue and
// saturation, one on the bar drags brightness; a press elsewhere in the box does nothing.
class WheelPicker : public PictureBox
{
    Q_OBJECT
public:
    explicit WheelPicker(QWidget *parent = nullptr);

    void setHsb(ColourMath::Hsb c);
    QPoint centre() const;
    QRect imageRect() const;
    QRect barRect() const;
    int imageBuilds() const { return m_builds; }
    // How often the bar took on a new hue or saturation: its colours change, its rows do not.
    int barFills() const { return m_barFills; }

Q_SIGNALS:
    void hueSaturationPicked(int hue, int saturation);
    void brightnessPicked(int brightness);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    enum class Drag { None, Wheel, Bar };
    bool canvasCurrent() const;
    void buildCanvas();
    void fillBar(ColourMath::Hsb c);
    void invertMarkers(ColourMath::Hsb c);
    void pick(QPoint p);

    ColourMath::Hsb m_hsb;
    QImage m_canvas;                  // covers the wheel, the bar and their markers' reach
    std::vector<int> m_barLevels;     // the brightness of each row of the bar
    QColor m_surround;
    Drag m_drag = Drag::None;
    int m_builds = 0;
    int m_barFills = 0;
};

// A swatch: the colour in a black line and a 3-D frame.
class ColourSwatch : public QWidget
{
    Q_OBJECT
public:
    explicit ColourSwatch(QWidget *parent = nullptr);
    void setColour(QColor c);
    QColor colour() const { return m_colour; }
    QSize sizeHint() const override { return {64, 34}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_colour;
};
