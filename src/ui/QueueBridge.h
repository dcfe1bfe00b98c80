#pragma once

#include "playlist/QueueHost.h"

class ControlWindow;

// The play queue's view of the control window.
class QueueBridge : public QueueHost
{
public:
    explicit QueueBridge(ControlWindow &window) : m_window(window) {}

    QString currentPath() const override;
    void setCurrentPath(const QString &path) override;
    bool openMedia() override;
    void closeMedia() override;
    bool isLoaded() const override;
    bool isPlaying() const override;
    void play() override;
    void showFileNumber(const QString &text) override;
    void bringToFront() override;
    void closeVideoWindow() override;
    bool randomOrder() const override;
    bool loopPlaylist() const override;
    bool showRemaining() const override;
    void setShowRemaining(bool on) override;
    bool autoPlay() const override;

private:
    ControlWindow &m_window;
};
