#pragma once

#include "FaderMath.h"
#include "MixerBase.h"

#include <QObject>

// A slider bound to a fader control of the mixer: the user's moves of the slider set the
// control's values, and changes made elsewhere move the slider without writing anything.
// It keeps what its slider is to show (range, position, whether it works) and tells when
// that changes; the window's slider shows it.
class MixerFader : public QObject
{
    Q_OBJECT
public:
    using SubType = FaderMath::SubType;

    explicit MixerFader(MixerDevice &device, QObject *parent = nullptr);

    // Binds the fader; false leaves the slider disabled (a balance slider centred).
    bool init(quint32 destination, quint32 source, quint32 controlType, int subType);
    void close();
    bool isOpen() const { return m_mixer.isOpen(); }

    // The slider's track runs from the top down (a vertical track bar): up is louder.
    void setVertical(bool vertical) { m_scale.vertical = vertical; }

    // SetHVSliderPos: the slider from the control's values.
    void setHVSliderPos();
    // SetFaderValue: the control's values from the slider's position, written.
    void setFaderValue(int position);
    // A move of the slider by the user: a page step or the thumb dragged.
    void userMoved(int position);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int position() const { return m_position; }
    bool isEnabled() const { return m_enabled; }
    const MixerValues &values() const { return m_mixer.values(); }

Q_SIGNALS:
    void sliderChanged();

private:
    void show(int minimum, int maximum, int position, bool enabled);
    bool fail();

    MixerBase m_mixer;
    SubType m_subType = FaderMath::Main;
    FaderMath::Scale m_scale;
    double m_ratio = 0; // (right - left) / max of the last reading
    int m_minimum = 0;
    int m_maximum = 256;
    int m_position = 0;
    bool m_enabled = false;
};
