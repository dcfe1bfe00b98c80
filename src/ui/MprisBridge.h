#pragma once

#include "app/MediaPlayerControl.h"

#include <memory>

class ControlWindow;
class MprisService;

// The desktop's media controls, answered by the control window's own commands.
class MprisBridge : public MediaPlayerControl
{
public:
    explicit MprisBridge(ControlWindow &window);
    ~MprisBridge() override;

    // Tells the desktop what changed since the last call, and that the position jumped
    // when seeked() was called meanwhile.
    void notify();
    // The transport moved the position by a command (not by playing on).
    void seeked() { m_seekPending = true; }
    bool isRegistered() const;

    void playPause() override;
    void play() override;
    void pause() override;
    void stop() override;
    void next() override;
    void previous() override;
    void seekBy(qint64 offsetUs) override;
    void setPositionUs(qint64 positionUs) override;
    void openUri(const QString &uri) override;
    void raise() override;
    void quit() override;
    Status status() const override;
    Metadata metadata() const override;
    qint64 positionUs() const override;
    double rate() const override;
    void setRate(double rate) override;
    double volume() const override;
    void setVolume(double volume) override;
    bool isLoaded() const override;

private:
    ControlWindow &m_window;
    std::unique_ptr<MprisService> m_service;
    bool m_seekPending = false;
};
