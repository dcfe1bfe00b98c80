#include "MixerFader.h"

#include "MixerLog.h"

MixerFader::MixerFader(MixerDevice &device, QObject *parent) : QObject(parent), m_mixer(device)
{
    connect(&device, &MixerDevice::changed, this, [this](MixerDevice::Changes what) {
        if (m_mixer.notifies(what) && m_mixer.getDetails())
            setHVSliderPos();
    });
}

void MixerFader::show(int minimum, int maximum, int position, bool enabled)
{
    if (minimum == m_minimum && maximum == m_maximum && position == m_position && enabled == m_enabled)
        return;
    m_minimum = minimum;
    m_maximum = maximum;
    m_position = position;
    m_enabled = enabled;
    Q_EMIT sliderChanged();
}

bool MixerFader::fail()
{
    m_mixer.close();
    return false;
}

bool MixerFader::init(quint32 destination, quint32 source, quint32 controlType, int subType)
{
    m_mixer.close();
    m_ratio = 0;
    show(m_minimum, m_maximum, m_position, false);
    if (subType == FaderMath::Balance)
        show(m_minimum, m_maximum, (m_maximum - m_minimum) / 2, false);
    if ((controlType & MixerType::ClassMask) != MixerType::FaderClass || subType < 0 || subType > 3)
        return fail();
    m_subType = SubType(subType);
    if (!m_mixer.init(destination, source, controlType))
        return fail();
    const MixerControl &c = m_mixer.control();
    m_scale = FaderMath::scale(c.minimum, c.maximum, c.steps, m_scale.vertical);
    show(0, m_scale.steps, m_position, false);
    if (m_mixer.channels() < 2 && m_subType != FaderMath::Main) {
        MixerLog::report("MixerFader::Init",
                         QStringLiteral("Only one channel available on this line. Use Fader type MAIN only.\n"
                                        "Windows control will be disabled.\n\nItem: %1.\n\n( Line: %2 )")
                             .arg(c.name, m_mixer.line().name));
        if (m_subType == FaderMath::Balance)
            show(0, m_scale.steps, m_scale.steps / 2, false);
        return fail();
    }
    if (m_mixer.getDetails()) {
        show(0, m_scale.steps, m_position, true);
        setHVSliderPos();
    }
    return true;
}

void MixerFader::close()
{
    m_mixer.close();
}

void MixerFader::setHVSliderPos()
{
    if (const auto p = FaderMath::position(m_subType, m_scale, m_mixer.values(), m_ratio))
        show(m_minimum, m_maximum, *p, m_enabled);
}

void MixerFader::setFaderValue(int position)
{
    m_mixer.values() = FaderMath::values(m_subType, m_scale, position, m_mixer.values(), m_ratio);
    m_mixer.setDetails();
}

void MixerFader::userMoved(int position)
{
    if (!m_mixer.isOpen()) {
        MixerLog::report("MixerFader", QStringLiteral("Error: Did you call Init() first?"));
        return;
    }
    m_position = position; // where the user put it, until the server says otherwise
    setFaderValue(position);
}
