#pragma once

#include "MixerDevice.h"

#include <QString>

// What a mixer binding asks for, in the values the mixer layers have always used: a
// destination line by component type, a source line on it (or none) and a control type.
namespace MixerType {
inline constexpr quint32 Speakers = 4;       // the speakers destination: the default sink
inline constexpr quint32 NoSource = 0x100B;  // one beyond the last source: bind the destination itself
inline constexpr quint32 VolumeControl = 0x50030001;
inline constexpr quint32 MuteControl = 0x20010002;
inline constexpr quint32 ClassMask = 0xF0000000;
inline constexpr quint32 FaderClass = 0x50000000;
inline constexpr quint32 UnitsMask = 0x00FF0000;
} // namespace MixerType

struct MixerControl {
    quint32 type = 0;
    MixerDevice::Change id = MixerDevice::Volume; // the device's notification for it
    bool uniform = false;
    quint32 minimum = 0;
    quint32 maximum = 0;
    int steps = 0;
    QString name;
};

// One control of one line of the device, and a buffer of its per-channel values to read
// into and write from. Every failure to bind leaves it closed, with a diagnostic.
class MixerBase
{
public:
    explicit MixerBase(MixerDevice &device) : m_device(device) {}

    bool init(quint32 destination, quint32 source, quint32 controlType);
    void close();
    bool isOpen() const { return m_open; }

    // The buffer from the device, and back; false when closed or the device says no.
    bool getDetails();
    bool setDetails();
    MixerValues &values() { return m_values; }
    const MixerValues &values() const { return m_values; }

    // Whether a notification of the device is about this control's values (a change of
    // the line itself is the owner's to bind again).
    bool notifies(MixerDevice::Changes what) const;

    MixerDevice &device() const { return m_device; }
    const MixerControl &control() const { return m_control; }
    int channels() const { return m_channels; } // of the line
    const MixerLine &line() const { return m_line; }

    // The mixer API's constant names, for diagnostics.
    static QString controlTypeName(quint32 type);
    static QString lineTypeName(quint32 type);

private:
    bool fail(const char *caption, const QString &text);
    bool initDetails();

    MixerDevice &m_device;
    bool m_open = false;
    MixerControl m_control;
    MixerLine m_line;
    int m_channels = 0;
    MixerValues m_values;
};
