#pragma once

#include "MixerDevice.h"

#include <QObject>
#include <QString>

// The speakers line's master volume, as one value (the louder channel), and its mute
// switch: the control window's volume slider and mute button. Changes made elsewhere are
// told by signals and never written back.
class SystemVolume : public QObject
{
    Q_OBJECT
public:
    explicit SystemVolume(MixerDevice &device, QObject *parent = nullptr);

    // True with no device, and nothing opened.
    bool open();
    bool findMute(); // and reads the muted flag
    bool findVolume();
    void close();
    bool isOpen() const { return m_open; }

    // False when nothing is open or the device says no.
    bool getMute(bool &muted) const;
    bool setMute(bool muted);
    bool getVolume(int &value) const;
    // Sets the louder channel to the value, the others in the ratio they had.
    bool setVolume(int value);

    // The mute button: inverts the muted flag and writes it; nothing without a mute control.
    bool toggleMute();
    bool muted() const { return m_muted; }

    int minimum() const { return int(m_minimum); }
    int maximum() const { return int(m_maximum); }
    QString lineName() const { return m_lineName; }

Q_SIGNALS:
    void muteChanged(bool muted);
    void volumeChanged(int value);

private:
    void deviceChanged(MixerDevice::Changes what);
    void keepShape(const MixerValues &values);

    MixerDevice &m_device;
    bool m_open = false;
    bool m_muteFound = false;
    bool m_volumeFound = false;
    QString m_lineName;
    quint32 m_minimum = 0;
    quint32 m_maximum = 0;
    bool m_muted = false;
    // Each channel against the louder one, from the last reading that was not our own
    // write: moving the volume down to silence and back up keeps the balance.
    QList<double> m_shape;
    MixerValues m_written;
};
