#pragma once

#include <QSlider>

// A horizontal slider drawn straight on the window behind it: no background of its own, its
// tick marks in black so they show over any background, its channel and thumb on top.
class SkinSlider : public QSlider
{
    Q_OBJECT
public:
    explicit SkinSlider(QWidget *parent = nullptr);

    static constexpr QRgb TickColour = 0xFF000000;

protected:
    void paintEvent(QPaintEvent *event) override;
};
