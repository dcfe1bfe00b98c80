#pragma once

#include "PlaybackTestHost.h"
#include "TestEnv.h"

#include "app/SettingsStore.h"
#include "playback/MpvEngine.h"

#include <memory>

// One private home for the whole run: libraries keep the folders they first saw.
TestEnv &testHome();

// A media graph on the real engine with a recording host.
struct PlaybackRig {
    explicit PlaybackRig(QStringList options = testEngineOptions());
    // A graph on an engine of the test's own making.
    explicit PlaybackRig(std::unique_ptr<MediaEngine> engine);
    bool open(const QString &path);
    Transport &transport() { return graph->transport(); }

    TestEnv &home = testHome();
    SettingsStore settings;
    PlaybackTestHost host;
    MpvEngine *engine = nullptr; // null when the test brought its own
    std::unique_ptr<MediaGraph> graph;
};
