#pragma once

#include "MixerDevice.h"

#include <memory>

// The default sink of the PulseAudio (or PipeWire) server as the mixer device. libpulse
// runs on a thread of its own; its callbacks only copy what the server said and queue it
// to this object's thread, which never waits on the server. Without a server, when it goes
// away or when a connection does not become ready, it tries again every 5 s, and binds the
// default sink again whenever the server names another one.
class PulseMixerDevice : public MixerDevice
{
    Q_OBJECT
public:
    static constexpr int ReconnectMs = 5000;

    explicit PulseMixerDevice(QObject *parent = nullptr);
    ~PulseMixerDevice() override;

protected:
    bool sendVolume(const MixerValues &values) override;
    bool sendMute(bool muted) override;
    void reread() override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
