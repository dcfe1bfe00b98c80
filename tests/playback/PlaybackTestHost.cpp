#include "PlaybackTestHost.h"

PlaybackTestHost::PlaybackTestHost()
{
    QObject::connect(&timer, &QTimer::timeout, [this] {
        if (autoTick && graph)
            graph->transport().playbackTick();
    });
}

PlaybackTestHost::~PlaybackTestHost()
{
    delete window;
}

void PlaybackTestHost::startPlaybackTimer(int periodMs)
{
    timerRunning = true;
    timerPeriod = periodMs;
    timer.start(periodMs);
}

void PlaybackTestHost::stopPlaybackTimer()
{
    timerRunning = false;
    timer.stop();
}

PictureHost *PlaybackTestHost::ensurePictureHost()
{
    if (!window)
        window = new VideoWindow;
    return window;
}

void PlaybackTestHost::sizeVideoWindow()
{
    if (!window || !graph)
        return;
    if (graph->noVideo() || graph->videoWidth() == 0) {
        window->hide();
        return;
    }
    // Normal size: the picture at 100 %, a one-pixel margin around it.
    const int w = 10 * (graph->videoWidth() / 10);
    const int h = 10 * (graph->videoHeight() / 10);
    window->resize(w + 2, h + 2);
    window->placeRenderer(QRect(1, 1, w, h));
    window->show();
}

QStringList testEngineOptions()
{
    return {QStringLiteral("ao=null")};
}
