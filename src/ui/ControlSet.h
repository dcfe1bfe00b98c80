#pragma once

#include "Commands.h"

#include <QHash>
#include <QObject>
#include <QStringList>

class SkinButton;
class SkinSlider;
class QWidget;
class Transport;

// The control window's buttons, labels and sliders, built from the command table and
// placed by the layout. It knows what each control asks for, never how it is done: clicks,
// held buttons and user moves of the sliders come out as actions; the wheel and the middle
// button anywhere over a control come out as their own signals, as they do on the window.
class ControlSet : public QObject
{
    Q_OBJECT
public:
    explicit ControlSet(QWidget *window);

    SkinButton *button(ButtonId id) const;
    SkinSlider *slider(SliderId id) const;
    // Caption labels are skin buttons too, which toggle on every click.
    SkinButton *label(LabelId id) const;

    // Brings the sliders to the transport's slider models; not a move of the user's.
    void syncSliders(const Transport &transport);
    // Shows a value from outside on a slider that only the user's moves act on (the
    // mixer's); while the user holds its thumb it waits for the thumb to be let go.
    void showMixerSlider(SliderId id, int minimum, int maximum, int value, bool enabled);
    void showChecked(ButtonId id, bool checked);
    // The Set buttons beside the start and stop sliders work only with a file loaded.
    void setSetButtonsEnabled(bool enabled);

Q_SIGNALS:
    void actionRequested(const Action &action);
    void wheelTurned(int delta);
    void middleClicked(bool doubleClick);
    void filesDroppedOnQueue(const QStringList &paths);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildButton(QWidget *window, const ButtonEntry &entry);
    void buildSlider(QWidget *window, const SliderEntry &entry);
    void buildLabel(QWidget *window, const LabelEntry &entry);

    QHash<ButtonId, SkinButton *> m_buttons;
    QHash<SliderId, SkinSlider *> m_sliders;
    QHash<LabelId, SkinButton *> m_labels;
    bool m_syncing = false;
    struct Shown {
        int minimum, maximum, value;
        bool enabled;
    };
    QHash<SliderId, Shown> m_heldBack;
};

// Local files named by a drag's data.
QStringList droppedFiles(const class QMimeData *mime);
