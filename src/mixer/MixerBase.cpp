#include "MixerBase.h"

#include "MixerLog.h"

#include <algorithm>

namespace {

constexpr const char *InitCaption = "CMixerBase::Init";

struct Name {
    quint32 value;
    const char *name;
};

constexpr Name ControlTypes[] = {
    {0x00000000, "MIXERCONTROL_CONTROLTYPE_CUSTOM"},
    {0x10010000, "MIXERCONTROL_CONTROLTYPE_BOOLEANMETER"},
    {0x10020000, "MIXERCONTROL_CONTROLTYPE_SIGNEDMETER"},
    {0x10020001, "MIXERCONTROL_CONTROLTYPE_PEAKMETER"},
    {0x10030000, "MIXERCONTROL_CONTROLTYPE_UNSIGNEDMETER"},
    {0x20010000, "MIXERCONTROL_CONTROLTYPE_BOOLEAN"},
    {0x20010001, "MIXERCONTROL_CONTROLTYPE_ONOFF"},
    {0x20010002, "MIXERCONTROL_CONTROLTYPE_MUTE"},
    {0x20010003, "MIXERCONTROL_CONTROLTYPE_MONO"},
    {0x20010004, "MIXERCONTROL_CONTROLTYPE_LOUDNESS"},
    {0x20010005, "MIXERCONTROL_CONTROLTYPE_STEREOENH"},
    {0x20012277, "MIXERCONTROL_CONTROLTYPE_BASS_BOOST"},
    {0x21010000, "MIXERCONTROL_CONTROLTYPE_BUTTON"},
    {0x30040000, "MIXERCONTROL_CONTROLTYPE_DECIBELS"},
    {0x30020000, "MIXERCONTROL_CONTROLTYPE_SIGNED"},
    {0x30030000, "MIXERCONTROL_CONTROLTYPE_UNSIGNED"},
    {0x30050000, "MIXERCONTROL_CONTROLTYPE_PERCENT"},
    {0x40020000, "MIXERCONTROL_CONTROLTYPE_SLIDER"},
    {0x40020001, "MIXERCONTROL_CONTROLTYPE_PAN"},
    {0x40020002, "MIXERCONTROL_CONTROLTYPE_QSOUNDPAN"},
    {0x50030000, "MIXERCONTROL_CONTROLTYPE_FADER"},
    {0x50030001, "MIXERCONTROL_CONTROLTYPE_VOLUME"},
    {0x50030002, "MIXERCONTROL_CONTROLTYPE_BASS"},
    {0x50030003, "MIXERCONTROL_CONTROLTYPE_TREBLE"},
    {0x50030004, "MIXERCONTROL_CONTROLTYPE_EQUALIZER"},
    {0x70010000, "MIXERCONTROL_CONTROLTYPE_SINGLESELECT"},
    {0x70010001, "MIXERCONTROL_CONTROLTYPE_MUX"},
    {0x71010000, "MIXERCONTROL_CONTROLTYPE_MULTIPLESELECT"},
    {0x71010001, "MIXERCONTROL_CONTROLTYPE_MIXER"},
    {0x61030000, "MIXERCONTROL_CONTROLTYPE_MILLITIME"},
    {0x60030000, "MIXERCONTROL_CONTROLTYPE_MICROTIME"},
};

constexpr Name LineTypes[] = {
    {0x0000, "MIXERLINE_COMPONENTTYPE_DST_UNDEFINED"},
    {0x0001, "MIXERLINE_COMPONENTTYPE_DST_DIGITAL"},
    {0x0002, "MIXERLINE_COMPONENTTYPE_DST_LINE"},
    {0x0003, "MIXERLINE_COMPONENTTYPE_DST_MONITOR"},
    {0x0004, "MIXERLINE_COMPONENTTYPE_DST_SPEAKERS"},
    {0x0005, "MIXERLINE_COMPONENTTYPE_DST_HEADPHONES"},
    {0x0006, "MIXERLINE_COMPONENTTYPE_DST_TELEPHONE"},
    {0x0007, "MIXERLINE_COMPONENTTYPE_DST_WAVEIN"},
    {0x0008, "MIXERLINE_COMPONENTTYPE_DST_VOICEIN"},
    {0x1000, "MIXERLINE_COMPONENTTYPE_SRC_UNDEFINED"},
    {0x1001, "MIXERLINE_COMPONENTTYPE_SRC_DIGITAL"},
    {0x1002, "MIXERLINE_COMPONENTTYPE_SRC_LINE"},
    {0x1003, "MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE"},
    {0x1004, "MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER"},
    {0x1005, "MIXERLINE_COMPONENTTYPE_SRC_COMPACTDISC"},
    {0x1006, "MIXERLINE_COMPONENTTYPE_SRC_TELEPHONE"},
    {0x1007, "MIXERLINE_COMPONENTTYPE_SRC_PCSPEAKER"},
    {0x1008, "MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT"},
    {0x1009, "MIXERLINE_COMPONENTTYPE_SRC_AUXILIARY"},
    {0x100A, "MIXERLINE_COMPONENTTYPE_SRC_ANALOG"},
    {MixerType::NoSource, "No source line"},
};

template <std::size_t N>
QString lookUp(const Name (&table)[N], quint32 value, const char *unknown)
{
    for (const Name &n : table) {
        if (n.value == value)
            return QString::fromLatin1(n.name);
    }
    return QString::fromLatin1(unknown);
}

} // namespace

QString MixerBase::controlTypeName(quint32 type)
{
    return lookUp(ControlTypes, type, "---- UNKNOWN CONTROL TYPE ----");
}

QString MixerBase::lineTypeName(quint32 type)
{
    return lookUp(LineTypes, type, "---- UNKNOWN LINE TYPE ----");
}

bool MixerBase::fail(const char *caption, const QString &text)
{
    MixerLog::report(caption, text);
    close();
    return false;
}

bool MixerBase::init(quint32 destination, quint32 source, quint32 controlType)
{
    close();
    if (!m_device.present())
        return fail(InitCaption, QStringLiteral("No mixer device present"));
    // The device has one destination, the speakers, and no source lines on it.
    if (destination != MixerType::Speakers)
        return fail(InitCaption, QStringLiteral("Warning: the destination line \n%1\nwas not found.")
                                     .arg(lineTypeName(destination)));
    m_line = m_device.speakers();
    if (source != MixerType::NoSource)
        return fail(InitCaption,
                    QStringLiteral("Warning: the source line \n%1\n not found.\n\n(Associated to Destination line \n%2)")
                        .arg(lineTypeName(source), m_line.name));
    m_channels = m_line.channels;
    if (m_channels < 1)
        return fail(InitCaption, QStringLiteral("No controls available for this audio line: %1").arg(m_line.name));
    m_control = {};
    m_control.type = controlType;
    if (controlType == MixerType::VolumeControl) {
        m_control.id = MixerDevice::Volume;
        m_control.uniform = m_line.uniform;
        m_control.minimum = m_line.minimum;
        m_control.maximum = m_line.maximum;
        m_control.steps = m_line.steps;
        m_control.name = QStringLiteral("Volume");
    } else if (controlType == MixerType::MuteControl) {
        m_control.id = MixerDevice::Mute;
        m_control.uniform = true;
        m_control.maximum = 1;
        m_control.steps = 1;
        m_control.name = QStringLiteral("Mute");
    } else {
        return fail(InitCaption,
                    QStringLiteral("Could not find specified mixer control. Associated Windows control will be "
                                   "disabled.\nControl type: %1,\n\nDest line type: %2,\nSrc  line type: %3\n")
                        .arg(controlTypeName(controlType), lineTypeName(destination), lineTypeName(source)));
    }
    if (!initDetails())
        return false;
    m_open = true;
    return true;
}

bool MixerBase::initDetails()
{
    switch (m_control.type & MixerType::UnitsMask) {
    case 0x00010000: // boolean
    case 0x00020000: // signed
    case 0x00030000: // unsigned
    case 0x00040000: // decibels
    case 0x00050000: // percent
        break;
    default:
        return fail("CMixerBase::InitMXDetails", QStringLiteral("Control uses unknown units."));
    }
    m_values = MixerValues(m_control.uniform ? 1 : m_channels, 0);
    return true;
}

void MixerBase::close()
{
    m_open = false;
    m_values.clear();
}

bool MixerBase::notifies(MixerDevice::Changes what) const
{
    return m_open && !what.testFlag(MixerDevice::Line) && what.testFlag(m_control.id);
}

bool MixerBase::getDetails()
{
    if (!m_open)
        return false;
    if (m_control.id == MixerDevice::Mute) {
        bool muted = false;
        if (!m_device.getMute(muted))
            return false;
        m_values = {muted ? 1u : 0u};
        return true;
    }
    MixerValues v;
    if (!m_device.getVolume(v) || v.isEmpty())
        return false;
    if (m_control.uniform)
        v = {*std::max_element(v.begin(), v.end())};
    if (v.size() != m_values.size())
        return false;
    m_values = v;
    return true;
}

bool MixerBase::setDetails()
{
    if (!m_open || m_values.isEmpty())
        return false;
    if (m_control.id == MixerDevice::Mute)
        return m_device.setMute(m_values[0] != 0);
    // One uniform value is every channel's.
    const MixerValues v = m_control.uniform ? MixerValues(m_channels, m_values[0]) : m_values;
    return m_device.setVolume(v);
}
