#pragma once

#include "MediaEngine.h"

#include <QObject>
#include <QStringList>

#include <memory>

// The media engine on libmpv. libmpv is driven from the user-interface thread and its
// events are taken there; an open waits in a nested event loop that handles everything
// but user input, seeks wait for their frame outright. The picture is drawn through
// libmpv's OpenGL render API into a widget of ours.
class MpvEngine : public QObject, public MediaEngine
{
    Q_OBJECT
public:
    // extraOptions: libmpv settings over the program's own, as MpvOptions::create takes
    // them (tests and benches use them; one that is refused makes start() fail).
    explicit MpvEngine(QStringList extraOptions = {}, QObject *parent = nullptr);
    ~MpvEngine() override;

    bool start() override;
    OpenResult open(const QString &path) override;
    void close() override;
    bool isOpen() const override;

    QSize videoSize() const override;
    double frameDuration() const override;
    bool frameFormat() const override;

    double duration() const override;
    qint64 durationUnits() const override;
    double position() const override;
    qint64 positionUnits() const override;
    void seek(double seconds) override;
    void seekUnits(qint64 units) override;

    double stopPosition() const override;
    qint64 stopUnits() const override;
    void setStop(double seconds) override;
    void setStopUnits(qint64 units) override;

    void run() override;
    void pause() override;
    void stop() override;
    bool setRate(double rate) override;

    void setAutoSubtitles(bool on) override;
    void setHardwareDecoding(bool on) override;
    QList<MediaTrack> tracks(TrackKind kind) const override;
    bool selectTrack(TrackKind kind, int id) override;
    bool addSubtitleFile(const QString &path) override;
    QImage frameImage() override;
    OpenResult openUrl(const QUrl &url) override;
    bool isStream() const override;
    bool busy() const override;
    QString lastError() const override;

    QWidget *hostPicture(QWidget *owner) override;
    void releasePicture() override;

    // The demuxer seek offset in force for the open file, in seconds.
    double seekOffset() const;
    // The engine's raw playback time, unclamped (tests and benches).
    double playbackTime() const;
    // The play speed libmpv is using.
    double appliedRate() const;

private:
    OpenResult load(const QByteArray &target, bool stream);

    struct Private;
    std::unique_ptr<Private> d;
};
