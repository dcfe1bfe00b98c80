#pragma once

#include "app/Prompt.h"
#include "app/SettingsKeys.h"
#include "playback/MediaGraph.h"
#include "playback/PlayQueue.h"
#include "playback/PlaybackHost.h"
#include "playback/Transport.h"
#include "ui/VideoWindow.h"

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include "app/ProcessState.h"

#include <map>

// The control window as the playback engine sees it: records what it is told, keeps a
// real video window, and runs timer 1 on a real timer when autoTick is on.
class PlaybackTestHost : public PlaybackHost
{
public:
    PlaybackTestHost();
    ~PlaybackTestHost() override;

    void attach(MediaGraph *g) { graph = g; }

    ProcessState process;

    ProcessState &processState() override { return process; }
    void showReadout(Readout which, const QString &text) override { readouts[which] = text; }
    void showClockText(const QString &text) override
    {
        clock = text;
        clockScrolling = false;
    }
    void scrollClockText(const QString &text, int cells, int periodMs) override
    {
        clock = text;
        clockScrolling = true;
        clockCells = cells;
        clockPeriod = periodMs;
    }
    void stopClockScroll() override { clockScrolling = false; }
    void scrollTitle(const QString &text, int cells, int periodMs) override
    {
        title = text;
        titleCells = cells;
        titlePeriod = periodMs;
        titleScrolling = true;
    }
    void stopTitleScroll() override { titleScrolling = false; }
    void refreshDate() override { ++dateRefreshes; }
    void refreshFileNumber() override { ++fileNumberRefreshes; }
    void refreshControls() override { ++controlRefreshes; }
    void setSetButtonsEnabled(bool enabled) override { setButtons = enabled; }
    void positionJumped() override { ++jumps; }

    void startPlaybackTimer(int periodMs) override;
    void stopPlaybackTimer() override;

    PictureHost *pictureHost() override { return window; }
    PictureHost *ensurePictureHost() override;
    void sizeVideoWindow() override;
    bool fullScreenView() const override { return fullScreen; }
    bool fillScreenView() const override { return fillScreen; }
    bool windowedView() const override { return !fullScreen && !fillScreen; }
    void reapplyFullScreen() override { ++fullScreenReapplied; }
    void reapplyFillScreen() override { ++fillScreenReapplied; }
    void enterAutoFull() override { ++autoFullEntered; }

    QString currentPath() const override { return path; }
    int preference(const IntKey &key) const override { return prefs.value(QByteArray(key.name), key.def); }
    PlayQueue *playQueue() override { return queue; }
    Prompt &prompt() override { return prompter; }

    void openFileDialog() override { ++fileDialogs; }
    void quitProgram() override { ++quitRequests; }
    void nextVideoCdTrack() override { ++nextTrackRequests; }

    MediaGraph *graph = nullptr;
    ScriptedPrompt prompter;
    QString path;
    QHash<QByteArray, int> prefs;
    PlayQueue *queue = nullptr;

    std::map<Readout, QString> readouts;
    QString clock, title;
    int clockCells = 0, clockPeriod = 0, titleCells = 0, titlePeriod = 0;
    bool clockScrolling = false, titleScrolling = false, setButtons = false;
    int dateRefreshes = 0, fileNumberRefreshes = 0, controlRefreshes = 0;

    bool autoTick = false;
    QTimer timer;
    bool timerRunning = false;
    int timerPeriod = 0;

    QPointer<VideoWindow> window;
    bool fullScreen = false, fillScreen = false;
    int fullScreenReapplied = 0, fillScreenReapplied = 0, autoFullEntered = 0;
    int fileDialogs = 0, quitRequests = 0, nextTrackRequests = 0, jumps = 0;
};

// A play queue over a list of paths; counts how often the end of play consulted it.
class TestQueue : public PlayQueue
{
public:
    TestQueue(PlaybackTestHost &host, QStringList paths) : m_host(host), entries(std::move(paths))
    {
        if (!entries.isEmpty())
            m_host.path = entries.first();
    }
    int entryCount() const override
    {
        ++endChecks;
        return int(entries.size());
    }
    bool isActive() const override { return active; }
    bool advance() override
    {
        ++index;
        ++advances;
        if (index >= entries.size()) {
            index = 0;
            m_host.path = entries.first();
            return loopList;
        }
        m_host.path = entries.at(index);
        return true;
    }

    PlaybackTestHost &m_host;
    QStringList entries;
    int index = 0;
    bool active = true;
    bool loopList = false;
    int advances = 0;
    mutable int endChecks = 0;
};

// Test options for libmpv: no sound server is needed.
QStringList testEngineOptions();
