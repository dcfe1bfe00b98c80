#include "SystemVolume.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {
quint32 loudest(const MixerValues &v)
{
    return v.isEmpty() ? 0 : *std::max_element(v.begin(), v.end());
}
} // namespace

SystemVolume::SystemVolume(MixerDevice &device, QObject *parent) : QObject(parent), m_device(device)
{
    connect(&device, &MixerDevice::changed, this, &SystemVolume::deviceChanged);
}

bool SystemVolume::open()
{
    close();
    if (!m_device.present())
        return true;
    m_open = true;
    m_lineName = m_device.speakers().name;
    return true;
}

bool SystemVolume::findMute()
{
    m_muteFound = m_open && m_device.speakers().channels > 0;
    m_muted = false;
    if (m_muteFound)
        getMute(m_muted);
    return m_muteFound;
}

bool SystemVolume::findVolume()
{
    m_volumeFound = m_open && m_device.speakers().channels > 0;
    if (!m_volumeFound)
        return false;
    const MixerLine line = m_device.speakers();
    m_minimum = line.minimum;
    m_maximum = line.maximum;
    MixerValues v;
    if (m_device.getVolume(v))
        keepShape(v);
    return true;
}

void SystemVolume::close()
{
    m_open = false;
    m_muted = false;
    m_muteFound = false;
    m_volumeFound = false;
    m_shape.clear();
    m_written.clear();
}

bool SystemVolume::getMute(bool &muted) const
{
    return m_muteFound && m_device.getMute(muted);
}

bool SystemVolume::setMute(bool muted)
{
    return m_muteFound && m_device.setMute(muted);
}

bool SystemVolume::getVolume(int &value) const
{
    MixerValues v;
    if (!m_volumeFound || !m_device.getVolume(v) || v.isEmpty())
        return false;
    value = int(std::min<quint32>(loudest(v), INT_MAX));
    return true;
}

bool SystemVolume::setVolume(int value)
{
    MixerValues v;
    if (!m_volumeFound || !m_device.getVolume(v) || v.isEmpty())
        return false;
    const quint32 level = quint32(std::clamp<qint64>(value, m_minimum, m_maximum));
    for (qsizetype i = 0; i < v.size(); ++i)
        v[i] = m_shape.size() == v.size() ? quint32(std::lround(m_shape[i] * level)) : level;
    m_written = v;
    return m_device.setVolume(v);
}

bool SystemVolume::toggleMute()
{
    if (!m_muteFound)
        return false;
    m_muted = !m_muted;
    setMute(m_muted);
    return true;
}

void SystemVolume::keepShape(const MixerValues &values)
{
    const quint32 top = loudest(values);
    if (top == 0 || values == m_written)
        return;
    m_shape.clear();
    for (quint32 x : values)
        m_shape << double(x) / top;
}

void SystemVolume::deviceChanged(MixerDevice::Changes what)
{
    // A change of the line itself is bound again by the owner, as at start-up.
    if (what.testFlag(MixerDevice::Line))
        return;
    bool muted = false;
    if (what.testFlag(MixerDevice::Mute) && getMute(muted)) {
        m_muted = muted;
        Q_EMIT muteChanged(muted);
    }
    int value = 0;
    if (what.testFlag(MixerDevice::Volume) && getVolume(value)) {
        MixerValues v;
        m_device.getVolume(v);
        keepShape(v);
        Q_EMIT volumeChanged(value);
    }
}
