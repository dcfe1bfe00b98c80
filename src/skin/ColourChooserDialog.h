#pragma once

#include <QDialog>

#include <memory>

// "Choose a colour": the RGB cube, the HSB wheel with its brightness bar, six numbers with
// spin buttons, and the colour it opened with beside the one being chosen. Every way of
// editing updates all the others at once, in one refresh that nothing feeds back into.
// It opens over its parent and stays there; with no parent it opens on top, centred on the
// screen under the pointer.
//
// Parts by object name: the spin boxes "red", "green", "blue", "hue", "saturation" and
// "brightness"; the pickers "rgbPicker" (a CubePicker) and "hsbPicker" (a WheelPicker); the
// swatches "currentColour" and "newColour" (ColourSwatch).
class ColourChooserDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ColourChooserDialog(int colourRef, QWidget *parent = nullptr); // 0x00BBGGRR
    ~ColourChooserDialog() override;

    // The chosen colour, to be read after exec() returns Accepted.
    int red() const;
    int green() const;
    int blue() const;
    int hue() const;
    int saturation() const;
    int brightness() const;

    // How often everything was brought up to date, and how often a picker drew its picture.
    int refreshCount() const;
    int imageBuildCount() const;

    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
