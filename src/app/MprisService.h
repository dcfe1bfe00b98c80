#pragma once

#include "MediaPlayerControl.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class MprisRootAdaptor;
class MprisPlayerAdaptor;

// The player as seen by the desktop's media keys and media controls: an MPRIS2 object at
// /org/mpris/MediaPlayer2 on the given connection. The bus name itself belongs to
// PlayerApp; this object only answers at the path and forwards every request to the
// control. The owner tells it when the player's state may have changed.
// (The bus sets the call context on the adaptors' parent, hence QDBusContext here.)
class MprisService : public QObject, protected QDBusContext
{
    Q_OBJECT
public:
    static inline const QString ObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
    static inline const QString RootInterface = QStringLiteral("org.mpris.MediaPlayer2");
    static inline const QString PlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
    // The track id clients see while nothing is loaded.
    static inline const QString NoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
    static constexpr double MinimumRate = 0.1;
    static constexpr double MaximumRate = 10.0;

    MprisService(const QDBusConnection &bus, MediaPlayerControl &control, QObject *parent = nullptr);
    ~MprisService() override;

    // False when the path could not be exported (no bus, or the path is taken).
    bool isRegistered() const { return m_registered; }

    // Call whenever status, file, rate, volume or the loaded state may have changed: properties
    // that differ from what clients were last told go out in one PropertiesChanged.
    void notifyStateChanged();
    // Call after any jump of the position that playback itself did not make.
    void notifySeeked(qint64 positionUs);

    // /org/kinetrope/track/<n>, a new n for every file loaded; NoTrack when none is.
    QDBusObjectPath trackId();

    static QStringList supportedMimeTypes();
    static bool isSupportedUri(const QString &uri);

private:
    friend class MprisRootAdaptor;
    friend class MprisPlayerAdaptor;
    class Call;

    struct Snapshot {
        QString status;
        double rate = 1.0;
        double volume = 1.0;
        bool loaded = false;
        MediaPlayerControl::Metadata metadata;
        QString trackId;
        bool canSeek = false;
    };
    Snapshot snapshot();
    static QVariantMap metadataMap(const Snapshot &s);
    void finishCall();

    // Requests from the bus.
    void raise();
    void quit();
    void playPause();
    void play();
    void pause();
    void stop();
    void next();
    void previous();
    void seek(qint64 offsetUs);
    void setPosition(const QDBusObjectPath &track, qint64 positionUs);
    void openUri(const QString &uri);
    void setRate(double rate);
    void setVolume(double volume);

    QDBusConnection m_bus;
    MediaPlayerControl &m_control;
    MprisRootAdaptor *m_root = nullptr;
    MprisPlayerAdaptor *m_player = nullptr;
    bool m_registered = false;

    Snapshot m_last;            // what clients were last told
    QString m_trackKey;         // the file the current track number belongs to
    quint64 m_trackNumber = 0;

    int m_callDepth = 0;        // requests from the bus being served right now
    bool m_seekPending = false;
    bool m_seekReported = false;
    qint64 m_seekPosition = 0;
};
