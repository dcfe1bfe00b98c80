#include "MixerDevice.h"

#include "MixerLog.h"

MixerDevice::MixerDevice(QObject *parent) : QObject(parent)
{
}

bool MixerDevice::getVolume(MixerValues &values) const
{
    if (!m_present)
        return false;
    values = m_values;
    return true;
}

bool MixerDevice::getMute(bool &muted) const
{
    if (!m_present)
        return false;
    muted = m_muted;
    return true;
}

bool MixerDevice::setVolume(const MixerValues &values)
{
    if (!m_present || values.size() != m_values.size())
        return false;
    send(Volume, values);
    return true;
}

bool MixerDevice::setMute(bool muted)
{
    if (!m_present)
        return false;
    send(Mute, {muted ? 1u : 0u});
    return true;
}

void MixerDevice::send(Change kind, const MixerValues &values)
{
    Queue &q = kind == Volume ? m_volumeQueue : m_muteQueue;
    if (q.inFlight) {
        q.waiting = values; // a thumb drag sends only what the server can keep up with
        return;
    }
    q.inFlight = true;
    ++m_writesSent;
    const bool sent = kind == Volume ? sendVolume(values) : sendMute(values.value(0) != 0);
    if (!sent)
        writeDone(kind, false);
}

void MixerDevice::writeDone(Change kind, bool accepted)
{
    Queue &q = kind == Volume ? m_volumeQueue : m_muteQueue;
    if (!q.inFlight)
        return; // a write of a connection since lost
    q.inFlight = false;
    if (!accepted) {
        // What the user wanted next is as unlikely to be taken: show what the server has.
        qCInfo(lcMixer, "the server refused a %s write", kind == Volume ? "volume" : "mute");
        q.waiting.reset();
        m_refused |= kind;
        reread();
        return;
    }
    if (q.waiting) {
        const MixerValues next = *q.waiting;
        q.waiting.reset();
        if (m_present && (kind == Mute || next.size() == m_values.size()))
            send(kind, next);
    }
}

void MixerDevice::report(const MixerLine &line, const MixerValues &values, bool muted)
{
    Changes what = m_refused;
    m_refused = {};
    if (!m_present || line != m_line) {
        what |= Line;
        // Writes meant for another line are not for this one.
        m_volumeQueue.waiting.reset();
        m_muteQueue.waiting.reset();
    }
    if (what.testFlag(Line) || values != m_values)
        what |= Volume;
    if (what.testFlag(Line) || muted != m_muted)
        what |= Mute;
    m_present = true;
    m_line = line;
    m_values = values;
    m_muted = muted;
    if (what.toInt() != 0)
        Q_EMIT changed(what);
}

void MixerDevice::lost()
{
    m_refused = {};
    m_volumeQueue = {};
    m_muteQueue = {};
    if (!m_present)
        return;
    m_present = false;
    m_values.clear();
    m_muted = false;
    Q_EMIT changed(Line | Volume | Mute);
}
