// The volume and balance sliders and the mute button, bound to the sound server's mixer.
#include "ControlSet.h"
#include "ControlWindow.h"
#include "SkinSetup.h"
#include "mixer/MixerFader.h"
#include "mixer/PulseMixerDevice.h"
#include "mixer/SystemVolume.h"

void ControlWindow::connectMixer()
{
    m_mixerDevice = std::make_unique<PulseMixerDevice>();
    m_systemVolume = std::make_unique<SystemVolume>(*m_mixerDevice);
    m_balance = std::make_unique<MixerFader>(*m_mixerDevice);
    // What the server reports moves the controls and is never written back.
    connect(m_systemVolume.get(), &SystemVolume::muteChanged, this,
            [this](bool muted) { showMute(muted); });
    connect(m_systemVolume.get(), &SystemVolume::volumeChanged, this, [this](int value) {
        m_controls->showMixerSlider(SliderId::Volume, m_systemVolume->minimum(), m_systemVolume->maximum(), value,
                                    true);
        notifyDesktop();
    });
    connect(m_balance.get(), &MixerFader::sliderChanged, this, [this] {
        const MixerFader &f = *m_balance;
        m_controls->showMixerSlider(SliderId::Balance, f.minimum(), f.maximum(), f.position(), f.isEnabled());
        m_skin->showBalance(false);
    });
    // Bound, lost, or another default sink: bound again as at start-up, writing nothing.
    connect(m_mixerDevice.get(), &MixerDevice::changed, this, [this](MixerDevice::Changes what) {
        if (what.testFlag(MixerDevice::Line))
            setUpMixer();
    });
}

void ControlWindow::showMute(bool muted)
{
    m_controls->showChecked(ButtonId::Mute, muted);
    m_skin->showMute(muted);
}

void ControlWindow::setUpMixer()
{
    if (m_closing)
        return;
    SystemVolume &v = *m_systemVolume;
    v.open();
    v.findMute();
    showMute(v.muted());
    int value = 0;
    if (v.findVolume() && v.getVolume(value))
        m_controls->showMixerSlider(SliderId::Volume, v.minimum(), v.maximum(), value, true);
    m_balance->init(MixerType::Speakers, MixerType::NoSource, MixerType::VolumeControl, FaderMath::Balance);
    const MixerFader &f = *m_balance;
    m_controls->showMixerSlider(SliderId::Balance, f.minimum(), f.maximum(), f.position(), f.isEnabled());
    notifyDesktop();
}
