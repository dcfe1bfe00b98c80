#pragma once
// The benchmarks' stand-in for the control window.
#include "app/ProcessState.h"
#include "app/Prompt.h"
#include "app/SettingsKeys.h"
#include "playback/MediaGraph.h"
#include "playback/PlaybackHost.h"
#include "ui/VideoWindow.h"

#include <QPointer>
#include <QTimer>

// The control window reduced to what playback needs: a video window at normal size.
class BenchHost : public PlaybackHost
{
public:
    ~BenchHost() override { delete window; }
    void showReadout(Readout, const QString &) override {}
    void showClockText(const QString &) override {}
    void scrollClockText(const QString &, int, int) override {}
    void stopClockScroll() override {}
    void scrollTitle(const QString &, int, int) override {}
    void stopTitleScroll() override {}
    void refreshDate() override {}
    void refreshFileNumber() override {}
    void refreshControls() override {}
    void setSetButtonsEnabled(bool) override {}
    void positionJumped() override {}
    void startPlaybackTimer(int periodMs) override { timer.start(periodMs); }
    void stopPlaybackTimer() override { timer.stop(); }
    PictureHost *pictureHost() override { return window; }
    PictureHost *ensurePictureHost() override
    {
        if (!window)
            window = new VideoWindow;
        return window;
    }
    void sizeVideoWindow() override
    {
        if (!window || graph->noVideo())
            return;
        const int w = graph->videoWidth(), h = graph->videoHeight();
        window->setGeometry(0, 0, w + 2, h + 2);
        window->placeRenderer(QRect(1, 1, w, h));
        window->show();
    }
    bool fullScreenView() const override { return false; }
    bool fillScreenView() const override { return false; }
    bool windowedView() const override { return true; }
    void reapplyFullScreen() override {}
    void reapplyFillScreen() override {}
    void enterAutoFull() override {}
    QString currentPath() const override { return path; }
    int preference(const IntKey &key) const override { return key.def; }
    PlayQueue *playQueue() override { return nullptr; }
    Prompt &prompt() override { return prompter; }
    ProcessState &processState() override { return process; }
    void openFileDialog() override {}
    void quitProgram() override {}
    void nextVideoCdTrack() override {}

    MediaGraph *graph = nullptr;
    QPointer<VideoWindow> window;
    QString path;
    QTimer timer;
    ScriptedPrompt prompter;
    ProcessState process;
};
