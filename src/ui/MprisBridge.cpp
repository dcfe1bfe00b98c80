#include "MprisBridge.h"

#include "ControlWindow.h"
#include "app/MprisService.h"
#include "mixer/SystemVolume.h"
#include "playback/MediaEngine.h"
#include "playback/MediaGraph.h"
#include "playback/Transport.h"

#include <QDBusConnection>
#include <QFileInfo>
#include <QUrl>

#include <cmath>

MprisBridge::MprisBridge(ControlWindow &window)
    : m_window(window),
      m_service(std::make_unique<MprisService>(QDBusConnection::sessionBus(), *this))
{
}

MprisBridge::~MprisBridge() = default;

bool MprisBridge::isRegistered() const
{
    return m_service->isRegistered();
}

void MprisBridge::notify()
{
    m_service->notifyStateChanged();
    if (m_seekPending && isLoaded())
        m_service->notifySeeked(positionUs());
    m_seekPending = false;
}

void MprisBridge::playPause() { m_window.execute({Command::PlayPause}); }
void MprisBridge::play() { m_window.execute({Command::Play}); }
void MprisBridge::pause() { m_window.execute({Command::Pause}); }
void MprisBridge::stop() { m_window.execute({Command::Stop}); }
void MprisBridge::next() { m_window.execute({Command::FastForward}); }
void MprisBridge::previous() { m_window.execute({Command::Rewind}); }

void MprisBridge::seekBy(qint64 offsetUs)
{
    setPositionUs(positionUs() + offsetUs);
}

void MprisBridge::setPositionUs(qint64 positionUs)
{
    m_window.execute({Command::SeekTo, std::max<qint64>(0, positionUs) / 1e6});
}

void MprisBridge::openUri(const QString &uri)
{
    const QUrl url(uri);
    if (url.isLocalFile())
        m_window.dropFiles({url.toLocalFile()}, false);
    else if (MediaGraph::isAddress(uri))
        m_window.openAddress(uri);
}

void MprisBridge::raise() { m_window.bringForward(); }
void MprisBridge::quit() { m_window.execute({Command::Exit}); }

MediaPlayerControl::Status MprisBridge::status() const
{
    MediaGraph &g = m_window.graph();
    if (g.loaded() && g.playing())
        return Status::Playing;
    if (g.loaded() && g.paused())
        return Status::Paused;
    // A file moved away from its beginning while stopped shows that place; told "Stopped",
    // desktop clients take the position for 0.
    if (g.loaded() && g.engine().positionUnits() > 0)
        return Status::Paused;
    return Status::Stopped;
}

MediaPlayerControl::Metadata MprisBridge::metadata() const
{
    MediaGraph &g = m_window.graph();
    if (!g.loaded())
        return {};
    const QString path = m_window.currentPath();
    if (MediaGraph::isAddress(path))
        return {QUrl(path).fileName(), qint64(std::llround(g.engine().duration() * 1e6)), path};
    return {QFileInfo(path).fileName(), qint64(std::llround(g.engine().duration() * 1e6)),
            QUrl::fromLocalFile(path).toString()};
}

qint64 MprisBridge::positionUs() const
{
    MediaGraph &g = m_window.graph();
    return g.loaded() ? qint64(std::llround(g.engine().position() * 1e6)) : 0;
}

double MprisBridge::rate() const
{
    return m_window.transport().rate();
}

void MprisBridge::setRate(double rate)
{
    m_window.execute({Command::SetRate, rate});
}

double MprisBridge::volume() const
{
    const SystemVolume &v = m_window.systemVolume();
    int value = 0;
    // Without a sink to ask, the player itself takes nothing away.
    if (v.maximum() <= 0 || !v.getVolume(value))
        return 1.0;
    return double(value) / v.maximum();
}

void MprisBridge::setVolume(double volume)
{
    const SystemVolume &v = m_window.systemVolume();
    if (v.maximum() > 0 && v.isOpen())
        m_window.execute({Command::SetVolume, std::max(0.0, volume) * v.maximum()});
}

bool MprisBridge::isLoaded() const
{
    return m_window.graph().loaded();
}
