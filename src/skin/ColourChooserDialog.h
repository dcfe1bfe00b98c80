#pragma once

#include <QDialog>

// Placeholder until the chooser lands: opens on a colour and gives it back unchanged.
class ColourChooserDialog : public QDialog
{
public:
    explicit ColourChooserDialog(int colourRef, QWidget *parent = nullptr) : QDialog(parent), m_colour(colourRef) {}
    int red() const { return m_colour & 0xFF; }
    int green() const { return (m_colour >> 8) & 0xFF; }
    int blue() const { return (m_colour >> 16) & 0xFF; }

private:
    int m_colour;
};
