#include "MprisService.h"

#include "MprisAdaptors.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <cmath>
#include <limits>

namespace {
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString TrackPathPrefix = QStringLiteral("/org/kinetrope/track/");

QString statusText(MediaPlayerControl::Status status)
{
    switch (status) {
    case MediaPlayerControl::Status::Playing:
        return QStringLiteral("Playing");
    case MediaPlayerControl::Status::Paused:
        return QStringLiteral("Paused");
    case MediaPlayerControl::Status::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

qint64 saturatingAdd(qint64 a, qint64 b)
{
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    constexpr qint64 min = std::numeric_limits<qint64>::min();
    if (b > 0 && a > max - b)
        return max;
    if (b < 0 && a < min - b)
        return min;
    return a + b;
}
} // namespace

// One request from the bus. Whatever the control does meanwhile (including telling us
// about it) is gathered and published once, when the outermost request is done.
class MprisService::Call
{
public:
    explicit Call(MprisService &service) : m_service(&service) { ++service.m_callDepth; }
    ~Call()
    {
        if (m_service && --m_service->m_callDepth == 0)
            m_service->finishCall();
    }
    Call(const Call &) = delete;
    Call &operator=(const Call &) = delete;

private:
    QPointer<MprisService> m_service; // the control may tear us down while serving
};

MprisService::MprisService(const QDBusConnection &bus, MediaPlayerControl &control, QObject *parent)
    : QObject(parent), m_bus(bus), m_control(control)
{
    m_root = new MprisRootAdaptor(this);
    m_player = new MprisPlayerAdaptor(this);
    m_last = snapshot();
    m_registered = m_bus.isConnected()
        && m_bus.registerObject(ObjectPath, this, QDBusConnection::ExportAdaptors);
}

MprisService::~MprisService()
{
    if (m_registered)
        m_bus.unregisterObject(ObjectPath);
}

QStringList MprisService::supportedMimeTypes()
{
    return {
        QStringLiteral("audio/aac"), QStringLiteral("audio/ac3"), QStringLiteral("audio/flac"),
        QStringLiteral("audio/mp4"), QStringLiteral("audio/mpeg"), QStringLiteral("audio/ogg"),
        QStringLiteral("audio/opus"), QStringLiteral("audio/wav"), QStringLiteral("audio/webm"),
        QStringLiteral("audio/x-flac"), QStringLiteral("audio/x-matroska"),
        QStringLiteral("audio/x-ms-wma"), QStringLiteral("audio/x-vorbis+ogg"),
        QStringLiteral("audio/x-wav"), QStringLiteral("application/ogg"),
        QStringLiteral("video/3gpp"), QStringLiteral("video/mp2t"), QStringLiteral("video/mp4"),
        QStringLiteral("video/mpeg"), QStringLiteral("video/ogg"), QStringLiteral("video/quicktime"),
        QStringLiteral("video/vnd.avi"), QStringLiteral("video/webm"), QStringLiteral("video/x-flv"),
        QStringLiteral("video/x-matroska"), QStringLiteral("video/x-ms-asf"),
        QStringLiteral("video/x-ms-wmv"), QStringLiteral("video/x-msvideo"),
    };
}

bool MprisService::isSupportedUri(const QString &uri)
{
    const QUrl url(uri, QUrl::StrictMode);
    if (!url.isValid())
        return false;
    // Streams the desktop hands over, as the user's own Open URL would take them.
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return !url.host().isEmpty();
    return url.isLocalFile() && !url.toLocalFile().isEmpty();
}

QDBusObjectPath MprisService::trackId()
{
    const bool loaded = m_control.isLoaded();
    // A reload of the same file after an unload is a new track too.
    const QString key = loaded ? QStringLiteral("loaded:") + m_control.metadata().url : QString();
    if (key != m_trackKey) {
        m_trackKey = key;
        if (loaded)
            ++m_trackNumber;
    }
    if (!loaded)
        return QDBusObjectPath(NoTrack);
    return QDBusObjectPath(TrackPathPrefix + QString::number(m_trackNumber));
}

MprisService::Snapshot MprisService::snapshot()
{
    Snapshot s;
    s.loaded = m_control.isLoaded();
    s.status = s.loaded ? statusText(m_control.status()) : statusText(MediaPlayerControl::Status::Stopped);
    s.rate = m_control.rate();
    s.volume = m_control.volume();
    if (s.loaded)
        s.metadata = m_control.metadata();
    s.trackId = trackId().path();
    s.canSeek = s.loaded && s.metadata.lengthUs > 0;
    return s;
}

QVariantMap MprisService::metadataMap(const Snapshot &s)
{
    QVariantMap map;
    map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(s.trackId)));
    if (!s.loaded)
        return map;
    if (s.metadata.lengthUs > 0)
        map.insert(QStringLiteral("mpris:length"), QVariant::fromValue(qlonglong(s.metadata.lengthUs)));
    if (!s.metadata.title.isEmpty())
        map.insert(QStringLiteral("xesam:title"), s.metadata.title);
    if (!s.metadata.url.isEmpty())
        map.insert(QStringLiteral("xesam:url"), s.metadata.url);
    return map;
}

void MprisService::notifyStateChanged()
{
    if (m_callDepth > 0)
        return; // published when the request is done

    const Snapshot now = snapshot();
    QVariantMap changed;
    if (now.status != m_last.status)
        changed.insert(QStringLiteral("PlaybackStatus"), now.status);
    if (now.rate != m_last.rate)
        changed.insert(QStringLiteral("Rate"), now.rate);
    if (now.volume != m_last.volume)
        changed.insert(QStringLiteral("Volume"), now.volume);
    if (now.loaded != m_last.loaded || now.trackId != m_last.trackId
        || now.metadata.title != m_last.metadata.title || now.metadata.url != m_last.metadata.url
        || now.metadata.lengthUs != m_last.metadata.lengthUs)
        changed.insert(QStringLiteral("Metadata"), metadataMap(now));
    if (now.loaded != m_last.loaded) {
        for (const char *name : {"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause"})
            changed.insert(QString::fromLatin1(name), now.loaded);
    }
    if (now.canSeek != m_last.canSeek)
        changed.insert(QStringLiteral("CanSeek"), now.canSeek);
    m_last = now;
    if (changed.isEmpty() || !m_registered)
        return;

    QDBusMessage signal =
        QDBusMessage::createSignal(ObjectPath, PropertiesInterface, QStringLiteral("PropertiesChanged"));
    signal << PlayerInterface << changed << QStringList();
    m_bus.send(signal);
}

void MprisService::notifySeeked(qint64 positionUs)
{
    if (m_callDepth > 0) {
        m_seekPending = true;
        m_seekReported = true;
        m_seekPosition = positionUs;
        return;
    }
    m_player->emitSeeked(positionUs);
}

void MprisService::finishCall()
{
    notifyStateChanged();
    if (m_seekPending) {
        const qint64 position = m_seekReported ? m_seekPosition : m_control.positionUs();
        m_seekPending = false;
        m_seekReported = false;
        m_player->emitSeeked(position);
    }
}

// Raising, quitting and opening may show windows or end the control; they run after the
// reply is out, so the caller never waits on a dialog and we are not deleted mid-call.
void MprisService::raise()
{
    QTimer::singleShot(0, this, [this] {
        Call call(*this);
        m_control.raise();
    });
}

void MprisService::quit()
{
    QTimer::singleShot(0, this, [this] {
        Call call(*this);
        m_control.quit();
    });
}

void MprisService::openUri(const QString &uri)
{
    if (!isSupportedUri(uri)) {
        if (calledFromDBus())
            sendErrorReply(QDBusError::InvalidArgs,
                           QStringLiteral("Only local file, http and https URIs can be opened: %1").arg(uri));
        return;
    }
    QTimer::singleShot(0, this, [this, uri] {
        Call call(*this);
        m_control.openUri(uri);
    });
}

void MprisService::playPause()
{
    if (!m_control.isLoaded()) {
        // With nothing loaded the control asks the user for a file.
        QTimer::singleShot(0, this, [this] {
            Call call(*this);
            m_control.playPause();
        });
        return;
    }
    Call call(*this);
    m_control.playPause();
}

void MprisService::play()
{
    Call call(*this);
    m_control.play();
}

void MprisService::pause()
{
    Call call(*this);
    m_control.pause();
}

void MprisService::stop()
{
    Call call(*this);
    m_control.stop();
}

void MprisService::next()
{
    if (!m_control.isLoaded())
        return;
    Call call(*this);
    m_control.next();
}

void MprisService::previous()
{
    if (!m_control.isLoaded())
        return;
    Call call(*this);
    m_control.previous();
}

void MprisService::seek(qint64 offsetUs)
{
    const Snapshot s = snapshot();
    if (!s.canSeek)
        return;
    Call call(*this);
    const qint64 target = saturatingAdd(m_control.positionUs(), offsetUs);
    if (target > s.metadata.lengthUs) {
        m_control.next(); // past the end counts as the next-track request
        return;
    }
    if (target < 0)
        m_control.setPositionUs(0);
    else
        m_control.seekBy(offsetUs);
    m_seekPending = true;
}

void MprisService::setPosition(const QDBusObjectPath &track, qint64 positionUs)
{
    const Snapshot s = snapshot();
    // A stale id means the request was meant for a file no longer loaded.
    if (!s.canSeek || track.path() != s.trackId)
        return;
    if (positionUs < 0 || positionUs > s.metadata.lengthUs)
        return;
    Call call(*this);
    m_control.setPositionUs(positionUs);
    m_seekPending = true;
}

void MprisService::setRate(double rate)
{
    if (std::isnan(rate))
        return;
    Call call(*this);
    if (rate == 0.0) {
        m_control.pause(); // a rate of zero is a pause request
        return;
    }
    if (rate < MinimumRate || rate > MaximumRate)
        return;
    m_control.setRate(rate);
}

void MprisService::setVolume(double volume)
{
    if (std::isnan(volume))
        return;
    Call call(*this);
    m_control.setVolume(volume);
}
