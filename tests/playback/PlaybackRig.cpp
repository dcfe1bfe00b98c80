#include "PlaybackRig.h"

TestEnv &testHome()
{
    static TestEnv home;
    return home;
}

PlaybackRig::PlaybackRig(QStringList options)
{
    auto e = std::make_unique<MpvEngine>(std::move(options));
    engine = e.get();
    graph = std::make_unique<MediaGraph>(host, settings, std::move(e));
    host.attach(graph.get());
}

PlaybackRig::PlaybackRig(std::unique_ptr<MediaEngine> e)
{
    graph = std::make_unique<MediaGraph>(host, settings, std::move(e));
    host.attach(graph.get());
}

bool PlaybackRig::open(const QString &path)
{
    host.path = path;
    return graph->openMedia();
}
