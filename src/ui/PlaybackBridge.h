#pragma once

#include "playback/PlaybackHost.h"

class ControlWindow;

// The playback's view of the control window: its readouts, sliders, playback timer, video
// window and screen modes, toggles and preferences.
class PlaybackBridge : public PlaybackHost
{
public:
    explicit PlaybackBridge(ControlWindow &window) : m_window(window) {}

    void showReadout(Readout which, const QString &text) override;
    void showClockText(const QString &text) override;
    void scrollClockText(const QString &text, int cells, int periodMs) override;
    void stopClockScroll() override;
    void scrollTitle(const QString &text, int cells, int periodMs) override;
    void stopTitleScroll() override;
    void refreshDate() override;
    void refreshFileNumber() override;
    void refreshControls() override;
    void setSetButtonsEnabled(bool enabled) override;
    void positionJumped() override;
    void startPlaybackTimer(int periodMs) override;
    void stopPlaybackTimer() override;
    PictureHost *pictureHost() override;
    PictureHost *ensurePictureHost() override;
    void sizeVideoWindow() override;
    bool fullScreenView() const override;
    bool fillScreenView() const override;
    bool windowedView() const override;
    void reapplyFullScreen() override;
    void reapplyFillScreen() override;
    void enterAutoFull() override;
    QString currentPath() const override;
    int preference(const IntKey &key) const override;
    PlayQueue *playQueue() override;
    Prompt &prompt() override;
    ProcessState &processState() override;
    void openFileDialog() override;
    void quitProgram() override;
    void nextVideoCdTrack() override;

private:
    ControlWindow &m_window;
};
