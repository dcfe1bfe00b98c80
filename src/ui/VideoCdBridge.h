#pragma once

#include "disc/VideoCdHost.h"

class ControlWindow;

// The VideoCD search's view of the control window.
class VideoCdBridge : public VideoCdHost
{
public:
    explicit VideoCdBridge(ControlWindow &window) : m_window(window) {}

    void setCurrentPath(const QString &path) override;
    Prompt &prompt() override;
    int preference(const IntKey &key) const override;
    void showClockText(const QString &text) override;
    void scrollTitleText(const QString &text, int periodMs) override;
    void restoreDisplays() override;
    void refreshFileNumber() override;
    bool fullScreenView() const override;
    void leaveFullScreen() override;
    void resetQueue() override;

private:
    ControlWindow &m_window;
};
